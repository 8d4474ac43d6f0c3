#include "sound/SoundTimer.h"

#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <utility>

namespace Marevane {
namespace Sound {

namespace {

CManualClock* g_clock = nullptr;

// Long waits need no precision; short ones (fades, ducks) do.
constexpr int CoarseFromMs = 2000;

} // namespace

CSoundTimer::CSoundTimer(std::function<void()> timeout) : m_timeout(std::move(timeout)) {}

CSoundTimer::~CSoundTimer()
{
    Stop();
}

void CSoundTimer::Start()
{
    Stop();
    if (m_interval < 0) return;
    if (CManualClock* clock = CManualClock::GetCurrent()) {
        clock->Add(this, m_interval);
        return;
    }
    if (!m_qtTimer) {
        m_qtTimer = std::make_unique<QTimer>();
        QObject::connect(m_qtTimer.get(), &QTimer::timeout, [this] { Expire(); });
    }
    m_qtTimer->setSingleShot(m_isSingleShot);
    m_qtTimer->setTimerType(m_interval >= CoarseFromMs ? Qt::CoarseTimer : Qt::PreciseTimer);
    m_qtTimer->start(m_interval);
}

void CSoundTimer::Stop()
{
    if (m_clock) m_clock->Remove(this);
    if (m_qtTimer) m_qtTimer->stop();
}

bool CSoundTimer::IsActive() const
{
    return m_clock != nullptr || (m_qtTimer && m_qtTimer->isActive());
}

void CSoundTimer::Expire()
{
    // Runs from the event loop or the clock: nothing may escape.
    try {
        if (m_timeout) m_timeout();
    } catch (const std::exception& error) {
        qWarning("A sound timer's action failed: %s", error.what());
    } catch (...) {
        qWarning("A sound timer's action failed");
    }
}

void CSingleShots::After(int ms, std::function<void()> action)
{
    // Those that ran are dropped here, never from inside their own expiry.
    m_timers.remove_if([](const std::unique_ptr<CSoundTimer>& timer) { return !timer->IsActive(); });
    if (ms < 0) return;
    auto timer = std::make_unique<CSoundTimer>(std::move(action));
    timer->SetSingleShot(true);
    timer->SetInterval(ms);
    timer->Start();
    m_timers.push_back(std::move(timer));
}

int CSingleShots::GetPendingCount() const
{
    return static_cast<int>(
        std::count_if(m_timers.begin(), m_timers.end(),
                      [](const std::unique_ptr<CSoundTimer>& t) { return t->IsActive(); }));
}

CManualClock::CManualClock()
{
    if (g_clock == nullptr) g_clock = this;
}

CManualClock::~CManualClock()
{
    while (!m_active.empty()) Remove(m_active.back());
    if (g_clock == this) g_clock = nullptr;
}

CManualClock* CManualClock::GetCurrent()
{
    return g_clock;
}

void CManualClock::Add(CSoundTimer* timer, int ms)
{
    timer->m_clock = this;
    timer->m_due = m_now + ms;
    timer->m_order = m_nextOrder++;
    m_active.push_back(timer);
}

void CManualClock::Remove(CSoundTimer* timer)
{
    m_active.erase(std::remove(m_active.begin(), m_active.end(), timer), m_active.end());
    timer->m_clock = nullptr;
}

void CManualClock::Advance(int ms)
{
    const std::int64_t end = m_now + std::max(ms, 0);
    for (;;) {
        // Timers come and go while others run: the next one is looked for anew each time.
        const auto next =
            std::min_element(m_active.begin(), m_active.end(), [](CSoundTimer* a, CSoundTimer* b) {
                return a->m_due != b->m_due ? a->m_due < b->m_due : a->m_order < b->m_order;
            });
        if (next == m_active.end() || (*next)->m_due > end) break;
        CSoundTimer* timer = *next;
        m_now = std::max(m_now, timer->m_due);
        Remove(timer);
        // A repeating timer is due again before it runs, as a Qt timer is; a
        // zero interval still moves it on, so that the loop ends.
        if (!timer->m_isSingleShot) Add(timer, std::max(timer->m_interval, 1));
        timer->Expire();
    }
    m_now = end;
}

} // namespace Sound
} // namespace Marevane
