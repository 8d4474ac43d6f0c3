#include "app/SequenceManager.h"

#include "app/GameSequence.h"
#include "gui/ScreenFadeAnimation.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStackedLayout>
#include <QWidget>
#include <QtGlobal>

#include <algorithm>
#include <stdexcept>

namespace Marevane {

namespace {

const char* const MoveToError = "CSequenceManager::MoveTo(int): index is invalid.";
const char* const ReturnToError = "CSequenceManager::ReturnTo(int): index is invalid.";

CSequenceManager* g_instance = nullptr;

void ShutdownAtExit()
{
    CSequenceManager::Shutdown();
}

} // namespace

CSequenceManager* CSequenceManager::GetInstance()
{
    if (g_instance == nullptr) {
        if (QCoreApplication::instance() == nullptr)
            qFatal("The sequence manager needs the application object");
        g_instance = new CSequenceManager;
        // Post routines run while the application object still exists.
        qAddPostRoutine(ShutdownAtExit);
    }
    return g_instance;
}

void CSequenceManager::Shutdown()
{
    if (g_instance == nullptr) return;
    qRemovePostRoutine(ShutdownAtExit);
    CSequenceManager* manager = g_instance;
    g_instance = nullptr;
    delete manager;
}

CSequenceManager::CSequenceManager() : m_container(new QWidget)
{
    m_layout = new QStackedLayout(m_container);
    m_layout->setStackingMode(QStackedLayout::StackAll);
    m_fade = new CScreenFadeAnimation(m_layout, this);
    connect(m_fade, &CAnimation::Finished, this, &CSequenceManager::UpdateIndex);
}

CSequenceManager::~CSequenceManager()
{
    // No change may run on a stack being taken down.
    delete m_fade;
    m_fade = nullptr;
    if (m_layout != nullptr) DeleteFrom(0);
    m_current = nullptr;
    // Sequences whose change never ran belong to nobody else.
    for (const QPointer<CGameSequence>& sequence : m_handed) {
        if (sequence != nullptr && IndexOf(sequence) < 0) delete sequence.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_container.data();
}

void CSequenceManager::Hand(CGameSequence* pSequence)
{
    m_handed.erase(std::remove(m_handed.begin(), m_handed.end(), nullptr), m_handed.end());
    if (std::find(m_handed.begin(), m_handed.end(), pSequence) == m_handed.end())
        m_handed.emplace_back(pSequence);
}

QWidget* CSequenceManager::GetContainer() const
{
    return m_container;
}

QStackedLayout* CSequenceManager::GetLayout() const
{
    return m_layout;
}

int CSequenceManager::GetCurrentIndex() const
{
    return IndexOf(m_current);
}

int CSequenceManager::GetMaxIndex() const
{
    if (m_layout == nullptr) return -1;
    int count = m_layout->count();
    // The fade's overlay sits on top of the sequences while it runs.
    if (count > 0 && qobject_cast<CGameSequence*>(m_layout->widget(count - 1)) == nullptr) --count;
    return count - 1;
}

CGameSequence* CSequenceManager::GetSequence(int index) const
{
    if (index < 0 || index > GetMaxIndex()) return nullptr;
    return qobject_cast<CGameSequence*>(m_layout->widget(index));
}

int CSequenceManager::IndexOf(const CGameSequence* pSequence) const
{
    if (pSequence == nullptr || m_layout == nullptr) return -1;
    return m_layout->indexOf(const_cast<CGameSequence*>(pSequence));
}

CGameSequence* CSequenceManager::GetPrevSequence() const
{
    return GetSequence(GetCurrentIndex() - 1);
}

bool CSequenceManager::IsChanging() const
{
    return m_fade != nullptr && m_fade->IsRunning();
}

bool CSequenceManager::IsSequenceIndex(int index) const
{
    return GetSequence(index) != nullptr;
}

int CSequenceManager::ClampIndex(int index) const
{
    const int max = GetMaxIndex();
    return max < 0 ? -1 : std::clamp(index, 0, max);
}

std::function<bool()> CSequenceManager::StillCurrent(const CGameSequence* pFrom, CGameSequence* pNew) const
{
    if (pFrom == nullptr) return {};
    const QPointer<const CGameSequence> from(pFrom);
    const QPointer<CGameSequence> created(pNew);
    return [this, from, created] {
        if (from && from == m_current) return true;
        // Made for the dropped change only.
        if (created && IndexOf(created) < 0) created->deleteLater();
        return false;
    };
}

void CSequenceManager::RequestMove(const Resolver& target, bool isReturn, const char* error,
                                   const CGameSequence* pFrom)
{
    // Checked against the stack as it stands; the index itself is worked
    // out again when the change runs, after any change still waiting.
    if (!IsSequenceIndex(target())) throw std::invalid_argument(error);
    m_fade->Request(
        [this, target, isReturn] {
            const int index = target();
            if (!IsSequenceIndex(index)) {
                qWarning("A screen change found no sequence at index %d", index);
                return GetCurrentIndex();
            }
            return MoveStep(index, isReturn);
        },
        KnownSequenceCode, StillCurrent(pFrom));
}

void CSequenceManager::RequestInsert(CGameSequence* pSequence, const Resolver& index,
                                     const CGameSequence* pFrom)
{
    if (pSequence == nullptr) return;
    Hand(pSequence);
    const QPointer<CGameSequence> sequence(pSequence);
    m_fade->Request(
        [this, sequence, index] { return sequence ? InsertStep(sequence, index()) : GetCurrentIndex(); },
        NewSequenceCode, StillCurrent(pFrom, pSequence));
}

void CSequenceManager::MoveTo(int index)
{
    RequestMove([index] { return index; }, false, MoveToError);
}

void CSequenceManager::MoveTo(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    if (IndexOf(pSequence) < 0) {
        ReplaceWith(pSequence);
        return;
    }
    const QPointer<CGameSequence> sequence(pSequence);
    RequestMove([this, sequence] { return IndexOf(sequence); }, false, MoveToError);
}

void CSequenceManager::MoveToFirst()
{
    RequestMove([] { return 0; }, false, MoveToError);
}

void CSequenceManager::MoveToLast()
{
    RequestMove([this] { return GetMaxIndex(); }, false, MoveToError);
}

void CSequenceManager::MoveToPrev()
{
    RequestMove([this] { return GetCurrentIndex() - 1; }, false, MoveToError);
}

void CSequenceManager::MoveToNext()
{
    RequestMove([this] { return GetCurrentIndex() + 1; }, false, MoveToError);
}

void CSequenceManager::MoveBy(int num)
{
    RequestMove([this, num] { return ClampIndex(GetCurrentIndex() + num); }, false, MoveToError);
}

void CSequenceManager::ReturnTo(int index, const CGameSequence* pFrom)
{
    RequestMove([index] { return index; }, true, ReturnToError, pFrom);
}

void CSequenceManager::ReturnTo(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    if (IndexOf(pSequence) < 0) Hand(pSequence);
    const QPointer<CGameSequence> sequence(pSequence);
    m_fade->Request(
        [this, sequence] {
            if (!sequence) return GetCurrentIndex();
            const int index = IndexOf(sequence);
            if (index >= 0) return MoveStep(index, true);
            DeleteFrom(GetCurrentIndex() + 1);
            return ReplaceStep(sequence);
        },
        IndexOf(pSequence) >= 0 ? KnownSequenceCode : NewSequenceCode,
        [this, sequence] {
            return sequence && !(sequence == m_current && IndexOf(sequence) == GetMaxIndex());
        });
}

void CSequenceManager::ReturnToFirst()
{
    RequestMove([] { return 0; }, true, ReturnToError);
}

void CSequenceManager::ReturnToPrev()
{
    RequestMove([this] { return GetCurrentIndex() - 1; }, true, ReturnToError);
}

void CSequenceManager::ReturnBy(int num)
{
    RequestMove([this, num] { return ClampIndex(GetCurrentIndex() - num); }, true, ReturnToError);
}

void CSequenceManager::ReplaceWith(CGameSequence* pSequence, const CGameSequence* pFrom)
{
    if (pSequence == nullptr) return;
    Hand(pSequence);
    const QPointer<CGameSequence> sequence(pSequence);
    m_fade->Request([this, sequence] { return sequence ? ReplaceStep(sequence) : GetCurrentIndex(); },
                    NewSequenceCode, StillCurrent(pFrom, pSequence));
}

void CSequenceManager::Add(CGameSequence* pSequence)
{
    Push(pSequence);
}

void CSequenceManager::Push(CGameSequence* pSequence, const CGameSequence* pFrom)
{
    RequestInsert(
        pSequence, [this] { return GetMaxIndex() + 1; }, pFrom);
}

void CSequenceManager::Insert(int index, CGameSequence* pSequence)
{
    if (index != GetMaxIndex() + 1 && !IsSequenceIndex(index)) {
        qWarning("CSequenceManager::Insert: index %d is outside the stack; ignored", index);
        return;
    }
    RequestInsert(pSequence, [index] { return index; });
}

void CSequenceManager::Pop()
{
    const int top = GetMaxIndex();
    CGameSequence* sequence = GetSequence(top);
    if (sequence == nullptr) return;
    if (sequence != m_current) {
        Remove(sequence); // hidden already
    } else if (top == 0) {
        Remove(sequence);
    } else {
        ReturnTo(top - 1);
    }
}

void CSequenceManager::Clear()
{
    DeleteFrom(0);
    m_current = nullptr;
}

void CSequenceManager::Remove(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    m_layout->removeWidget(pSequence);
    if (m_current == pSequence) m_current = nullptr;
    // Stopping it hides it; its stop deletes it later.
    pSequence->Stop();
}

void CSequenceManager::DeleteFrom(int index)
{
    for (int i = GetMaxIndex(); i >= std::max(index, 0); --i) Remove(GetSequence(i));
}

void CSequenceManager::UpdateIndex(MessageCode)
{
    // After the fade in the layout shows the sequence changed to; while the
    // screen is black it shows the overlay, and the target stays current.
    if (auto* shown =
            qobject_cast<CGameSequence*>(m_layout != nullptr ? m_layout->currentWidget() : nullptr)) {
        m_current = shown;
    }
}

int CSequenceManager::MoveStep(int target, bool isReturn)
{
    const QPointer<CGameSequence> next = GetSequence(target);
    if (m_current != nullptr && m_current != next) m_current->hide();
    m_current = next;
    emit SequenceChanged();
    if (!next) return GetCurrentIndex();
    if (isReturn) DeleteFrom(IndexOf(next) + 1);
    return IndexOf(next);
}

int CSequenceManager::InsertStep(CGameSequence* pSequence, int index)
{
    if (IndexOf(pSequence) >= 0) {
        qWarning("A sequence already on the stack cannot be put on it again");
        return GetCurrentIndex();
    }
    const QPointer<CGameSequence> sequence(pSequence);
    if (m_current != nullptr) m_current->hide();
    connect(pSequence, &CGameSequence::SequenceStopped, pSequence, &QObject::deleteLater,
            Qt::UniqueConnection);
    m_layout->insertWidget(std::clamp(index, 0, GetSequenceCount()), pSequence);
    m_handed.erase(std::remove(m_handed.begin(), m_handed.end(), sequence), m_handed.end());
    m_current = pSequence;
    emit NewSequenceSet();
    return sequence ? IndexOf(sequence) : GetCurrentIndex();
}

int CSequenceManager::ReplaceStep(CGameSequence* pSequence)
{
    if (IndexOf(pSequence) >= 0) {
        qWarning("A sequence already on the stack cannot replace another");
        return GetCurrentIndex();
    }
    int target = GetSequenceCount();
    if (m_current != nullptr) {
        target = IndexOf(m_current);
        Remove(m_current);
    }
    return InsertStep(pSequence, target);
}

} // namespace Marevane
