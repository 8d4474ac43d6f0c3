#include "gui/SpriteAnimation.h"

#include "gui/ScreenTiming.h"
#include "model/Timer.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>

namespace Marevane {

CSpriteAnimation::CSpriteAnimation(const QPixmap& sheet, int frameWidth, int interval, MessageCode code,
                                   QObject* parent)
    : CAnimation(nullptr, code, parent), m_interval(interval), m_frameWidth(frameWidth), m_sheet(sheet),
      m_scheduler(new CScheduledExecution(code, this))
{
    setLoopCount(-1);
    CreateItem();
    if (IsValid()) Init();
}

CSpriteAnimation::~CSpriteAnimation()
{
    m_scheduler->Clear();
    if (m_ownsItem) delete m_item;
}

void CSpriteAnimation::CreateItem()
{
    if (m_item != nullptr) return;
    m_item = new QGraphicsPixmapItem;
    m_item->hide();
    m_ownsItem = true;
}

bool CSpriteAnimation::IsValid() const
{
    return !m_sheet.isNull() && m_frameWidth > 0 && m_interval > 0 && m_sheet.width() / m_frameWidth >= 1;
}

void CSpriteAnimation::CutFrames()
{
    if (!m_frames.isEmpty() || m_frameWidth <= 0) return;
    const int count = m_sheet.width() / m_frameWidth;
    for (int i = 0; i < count; ++i)
        m_frames.append(m_sheet.copy(i * m_frameWidth, 0, m_frameWidth, FrameHeight()));
}

void CSpriteAnimation::Init()
{
    CutFrames();
    m_scheduler->SetCountInterval(ScreenTiming::Scaled(m_interval));
    m_scheduler->SetCountAction([this] { ChangeNextFrame(); });
}

void CSpriteAnimation::StartImpl(MessageCode, QAbstractAnimation::DeletionPolicy policy)
{
    if (IsRunning()) return;
    if (!IsValid()) {
        FinishAtOnce(policy);
        return;
    }
    // The Animation setting is looked at on entering the running state.
    start(policy);
}

void CSpriteAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (newState == QAbstractAnimation::Running && oldState == QAbstractAnimation::Stopped) {
        if (IsAnimationEnabled() && IsValid()) {
            PrepareBeforeRunning();
        } else {
            StopImpl(GetCode());
        }
    } else if (newState == QAbstractAnimation::Stopped) {
        // Qt itself reports the stop: the animation has no end of its own.
        PrepareBeforeStopping();
    }
}

void CSpriteAnimation::PrepareBeforeRunning()
{
    Init();
    m_scheduler->SetCode(GetCode());
    m_item->setPos(m_offset);
    m_item->setPixmap(m_frames.value(0));
    m_item->show();
    m_frameIndex = 1;
    m_scheduler->Run();
}

void CSpriteAnimation::PrepareBeforeStopping()
{
    m_frameIndex = 0;
    if (m_item != nullptr) m_item->hide();
    m_scheduler->Stop();
}

void CSpriteAnimation::ChangeNextFrame()
{
    if (m_frames.isEmpty()) return;
    if (m_frameIndex >= m_frames.size()) {
        if (!m_isLoop) {
            StopImpl(GetCode());
            return;
        }
        m_frameIndex = 0;
    }
    m_item->setPixmap(m_frames.at(m_frameIndex));
    m_item->update();
    ++m_frameIndex;
}

void CSpriteAnimation::AttachTo(QGraphicsPixmapItem* target)
{
    CreateItem();
    if (target == nullptr) return;
    m_item->setParentItem(target);
    m_ownsItem = false;
    const QPixmap picture = target->pixmap();
    m_offset = QPoint((picture.width() - m_frameWidth) / 2, (picture.height() - FrameHeight()) / 2);
    m_item->setPos(m_offset);
}

void CSpriteAnimation::Detach()
{
    if (m_item == nullptr || m_ownsItem) return;
    m_item->setParentItem(nullptr);
    if (QGraphicsScene* scene = m_item->scene()) scene->removeItem(m_item);
    m_ownsItem = true;
}

void CSpriteAnimation::SetPixmap(const QPixmap& sheet)
{
    m_sheet = sheet;
    m_frames.clear();
    CutFrames();
    CreateItem();
    m_item->setPixmap(m_frames.value(0));
}

CSpriteAnimation* CSpriteAnimation::Clone() const
{
    auto* copy = new CSpriteAnimation(QPixmap(), m_frameWidth, m_interval, GetCode(), parent());
    copy->m_sheet = m_sheet;
    copy->m_frames = m_frames;
    copy->m_isLoop = m_isLoop;
    copy->m_offset = m_offset;
    copy->m_item->setPixmap(m_frames.value(0));
    if (copy->IsValid()) copy->Init();
    return copy;
}

} // namespace Marevane
