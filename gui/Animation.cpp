#include "gui/Animation.h"

#include "model/settings/SystemConfig.h"

namespace Marevane {

CAnimation::CAnimation(QObject* target, MessageCode code, QObject* parent)
    : QPropertyAnimation(parent), m_target(target), m_code(code)
{
    static const int registered = qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
    (void)registered;
    connect(this, &QAbstractAnimation::finished, this, &CAnimation::SendCode);
}

CAnimation::~CAnimation() = default;

bool CAnimation::IsAnimationEnabled()
{
    return CSystemConfig::GetInstance().Animation;
}

bool CAnimation::IsRunning() const
{
    return state() == QAbstractAnimation::Running;
}

void CAnimation::Start()
{
    StartImpl(m_code, QAbstractAnimation::KeepWhenStopped);
}

void CAnimation::StartOnce()
{
    StartImpl(m_code, QAbstractAnimation::DeleteWhenStopped);
}

void CAnimation::Stop()
{
    StopImpl(m_code);
}

void CAnimation::SendCode()
{
    ++m_reports;
    emit Finished(m_code);
}

void CAnimation::StartImpl(MessageCode, QAbstractAnimation::DeletionPolicy policy)
{
    if (IsRunning()) return;
    if (!IsAnimationEnabled() || !IsValid()) {
        FinishAtOnce(policy);
        return;
    }
    Init();
    start(policy);
}

void CAnimation::StopImpl(MessageCode)
{
    if (state() == QAbstractAnimation::Stopped) return;
    const int before = m_reports;
    stop();
    // Qt reports only a run that reached its end or has no end.
    if (m_reports == before) emit finished();
}

void CAnimation::FinishAtOnce(QAbstractAnimation::DeletionPolicy policy)
{
    emit finished();
    if (policy == QAbstractAnimation::DeleteWhenStopped) deleteLater();
}

void CAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    // A property animation without an object to move warns on every start;
    // animations driven by their own timers have none.
    if (targetObject() == nullptr) {
        QVariantAnimation::updateState(newState, oldState);
        return;
    }
    QPropertyAnimation::updateState(newState, oldState);
}

CEffectAnimation::CEffectAnimation(MessageCode code, QObject* parent) : CAnimation(nullptr, code, parent) {}

void CEffectAnimation::PrepareBeforeRunning() {}

void CEffectAnimation::PrepareBeforeStopping() {}

void CEffectAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    if (newState == QAbstractAnimation::Running && oldState == QAbstractAnimation::Stopped) {
        PrepareBeforeRunning();
    } else if (newState == QAbstractAnimation::Stopped) {
        PrepareBeforeStopping();
    }
    CAnimation::updateState(newState, oldState);
}

} // namespace Marevane
