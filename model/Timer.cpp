#include "model/Timer.h"

#include <QMetaType>
#include <QTimer>

#include <algorithm>

namespace Marevane {

namespace {

constexpr std::chrono::milliseconds IdlePoll{200};
constexpr std::chrono::milliseconds CountStep{100};
constexpr std::int64_t GraceMs = 60000;

class CSteadyTimerClock final : public CTimerClock {
  public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }

    bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                 std::chrono::milliseconds timeout, const std::function<bool()>& done) override
    {
        return wake.wait_for(lock, timeout, done);
    }
};

std::int64_t WholeMs(CTimerClock::TimePoint::duration d)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

// Callbacks run on the worker; nothing they throw may end the process.
template <typename F, typename... Args> void InvokeQuietly(const F& f, Args... args)
{
    if (!f) return;
    try {
        f(args...);
    } catch (...) {
    }
}

} // namespace

TimeSpan SplitMilliseconds(std::uint64_t ms)
{
    TimeSpan span;
    span.Hours = ms / 3600000;
    ms %= 3600000;
    span.Minutes = ms / 60000;
    ms %= 60000;
    span.Seconds = ms / 1000;
    return span;
}

std::shared_ptr<CTimerClock> CTimerClock::Steady()
{
    static const std::shared_ptr<CTimerClock> clock = std::make_shared<CSteadyTimerClock>();
    return clock;
}

CTimer::CTimer(std::int64_t limitMs, std::shared_ptr<CTimerClock> clock)
    : m_clock(clock ? std::move(clock) : CTimerClock::Steady()), m_initialLimit(limitMs),
      m_remaining(limitMs), m_hasLimit(limitMs > 0)
{
}

CTimer::~CTimer()
{
    Stop();
    EndLoop();
    if (m_retired.joinable()) {
        if (m_retired.get_id() == std::this_thread::get_id())
            m_retired.detach();
        else
            m_retired.join();
    }
}

void CTimer::Reset(std::int64_t limitMs)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_initialLimit = limitMs;
        m_remaining = limitMs;
        m_totalElapsed = 0;
        m_active = true;
        m_running = false;
        m_started = false;
        m_hasLimit = limitMs > 0;
    }
    m_wake.notify_all();
}

void CTimer::Start()
{
    StartCounting(true);
}

void CTimer::Restart()
{
    StartCounting(false);
}

void CTimer::StartCounting(bool withGrace)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto now = m_clock->Now();
        m_startTime = now;
        m_notedTime = now;
        if (m_hasLimit) {
            m_active = true;
            if (withGrace && m_remaining > 0 && m_remaining < GraceMs)
                m_remaining = std::min(m_initialLimit, GraceMs);
            m_savedRemaining = m_remaining;
        }
        m_started = m_running;
    }
    m_wake.notify_all();
}

void CTimer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_started) return;
        m_active = false;
        AccountStretch(m_clock->Now());
    }
    m_wake.notify_all();
}

void CTimer::Pause()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_active = false;
}

void CTimer::Halt()
{
    Stop();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
    }
    m_wake.notify_all();
}

void CTimer::Launch()
{
    LaunchWithCallback(nullptr);
}

void CTimer::LaunchWithCallback(TickAction tick)
{
    EndLoop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tick = std::move(tick);
    m_running = true;
    // Without a limit nothing counts down; the flag alone lets Start and
    // Stop measure the time taken.
    if (!m_hasLimit) return;
    try {
        m_thread = std::thread(&CTimer::Loop, this, m_generation);
    } catch (...) {
        m_running = false;
        throw;
    }
}

void CTimer::EndLoop()
{
    std::thread old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
        ++m_generation;
        old = std::move(m_thread);
    }
    m_wake.notify_all();
    if (!old.joinable()) return;
    if (old.get_id() != std::this_thread::get_id()) {
        old.join();
        return;
    }
    // Relaunched from one of our own callbacks: that loop sees the new
    // generation and ends as soon as the callback returns.
    if (m_retired.joinable()) m_retired.join();
    m_retired = std::move(old);
}

void CTimer::AccountStretch(CTimerClock::TimePoint now)
{
    m_started = false;
    m_lastLap = WholeMs(now - m_startTime);
    m_totalElapsed += m_lastLap;
    if (m_hasLimit)
        m_remaining = (m_remaining > 0 && m_savedRemaining >= m_lastLap) ? m_savedRemaining - m_lastLap : 0;
}

void CTimer::Loop(std::uint64_t generation)
{
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto alive = [&] { return m_running && m_generation == generation && m_hasLimit; };
        while (alive()) {
            if (!m_started) {
                m_clock->WaitFor(lock, m_wake, IdlePoll, [&] { return !alive() || m_started; });
                continue;
            }
            m_clock->WaitFor(lock, m_wake, CountStep, [&] { return !alive() || !m_started; });
            if (!alive() || !m_started) continue;
            if (!Step(lock)) return;
        }
    } catch (...) {
    }
}

// One countdown step; runs with the lock held and calls back without it.
// Answers false once the time is up and the loop must end.
bool CTimer::Step(std::unique_lock<std::mutex>& lock)
{
    const auto now = m_clock->Now();
    const std::int64_t elapsed = std::max<std::int64_t>(0, WholeMs(now - m_notedTime));
    m_notedTime += std::chrono::milliseconds(elapsed);
    const std::int64_t next = elapsed >= m_remaining ? 0 : m_remaining - elapsed;
    if (m_cuesEnabled) {
        const TimerCue cue = CountdownCue(m_remaining, next);
        if (cue.Code != 0) m_cue = cue;
    }
    m_remaining = next;

    TickAction tick;
    if (m_active) tick = m_tick;
    const bool timedOut = m_remaining <= 0;
    TimeOutCallback timeOut;
    if (timedOut) {
        timeOut = m_timeOut;
        AccountStretch(now);
        m_active = false;
        m_running = false;
    }
    lock.unlock();

    InvokeQuietly(tick);
    if (timedOut) {
        InvokeQuietly(timeOut, TimeOutCode);
        return false;
    }
    lock.lock();
    return true;
}

TimerCue CTimer::CountdownCue(std::int64_t previous, std::int64_t next)
{
    const auto reaches = [&](std::int64_t mark) {
        return (previous > mark && next <= mark) || (previous == mark && next < mark);
    };
    if (reaches(60000)) return {9, 1};
    if (reaches(30000)) return {9, 2};
    if (reaches(15000)) return {9, 3};
    if (next / 60000 < previous / 60000) return {8, 1};
    return {};
}

void CTimer::SetTimeLimit(std::int64_t ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_remaining = std::min(ms, m_initialLimit);
}

void CTimer::CapTimeLimit(std::int64_t ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_initialLimit = ms;
    m_remaining = std::min(m_remaining, ms);
}

void CTimer::SetTimeOutCallback(TimeOutCallback callback)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timeOut = std::move(callback);
}

std::int64_t CTimer::GetTimeLimit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::max<std::int64_t>(0, m_remaining);
}

TimeSpan CTimer::GetTimeLimitHms() const
{
    return SplitMilliseconds(static_cast<std::uint64_t>(GetTimeLimit()));
}

std::wstring CTimer::GetTimeLimitText() const
{
    const TimeSpan span = GetTimeLimitHms();
    std::wstring text;
    if (span.Hours != 0) text += std::to_wstring(span.Hours) + L"\u6642\u9593";
    if (span.Minutes != 0) text += std::to_wstring(span.Minutes) + L"\u5206";
    if (span.Seconds != 0) text += std::to_wstring(span.Seconds) + L"\u79d2";
    return text;
}

std::int64_t CTimer::GetInitialLimit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_initialLimit;
}

std::int64_t CTimer::GetLastLap() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastLap;
}

std::int64_t CTimer::GetTotalElapsed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_totalElapsed;
}

bool CTimer::HasLimit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hasLimit;
}

bool CTimer::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running;
}

bool CTimer::IsStarted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_started;
}

bool CTimer::IsActive() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_active;
}

void CTimer::EnableCues(bool enabled)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cuesEnabled = enabled;
}

bool CTimer::AreCuesEnabled() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cuesEnabled;
}

TimerCue CTimer::GetCue() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cue;
}

void CTimer::ClearCue()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cue = {};
}

CTimer& GetSharedTimer()
{
    static CTimer timer(1200000);
    return timer;
}

void CapSharedTimeLimit(std::uint32_t minutes)
{
    GetSharedTimer().CapTimeLimit(static_cast<std::int64_t>(minutes) * 60000);
}

CScheduledExecution::CScheduledExecution(MessageCode code, QObject* parent)
    : QObject(parent), m_code(code), m_countTimer(new QTimer(this)), m_stopTimer(new QTimer(this))
{
    static const int registered = qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
    (void)registered;
    m_countTimer->setSingleShot(false);
    m_countTimer->setInterval(0);
    m_stopTimer->setSingleShot(true);
    m_stopTimer->setInterval(0);
    connect(m_countTimer, &QTimer::timeout, this, &CScheduledExecution::Count);
    connect(m_stopTimer, &QTimer::timeout, this, &CScheduledExecution::Stop);
}

CScheduledExecution::~CScheduledExecution()
{
    m_countAction = nullptr;
    m_stopAction = nullptr;
    delete m_countTimer;
    delete m_stopTimer;
}

void CScheduledExecution::SetCountInterval(int ms)
{
    m_countTimer->setInterval(ms);
}

void CScheduledExecution::SetStopInterval(int ms)
{
    m_stopTimer->setInterval(ms);
}

int CScheduledExecution::GetCountInterval() const
{
    return m_countTimer->interval();
}

int CScheduledExecution::GetStopInterval() const
{
    return m_stopTimer->interval();
}

bool CScheduledExecution::IsCounting() const
{
    return m_countTimer->isActive();
}

bool CScheduledExecution::IsStopPending() const
{
    return m_stopTimer->isActive();
}

void CScheduledExecution::Run()
{
    if (m_countTimer->interval() > 0) m_countTimer->start();
    if (m_stopTimer->interval() > 0) m_stopTimer->start();
}

void CScheduledExecution::Stop()
{
    m_countTimer->stop();
    m_stopTimer->stop();
    InvokeQuietly(m_stopAction);
    emit Stopped(m_code);
}

void CScheduledExecution::Count()
{
    InvokeQuietly(m_countAction);
    emit Counted(m_code);
}

void CScheduledExecution::Clear()
{
    if (m_countTimer->isActive() || m_stopTimer->isActive()) Stop();
    m_countTimer->setInterval(0);
    m_stopTimer->setInterval(0);
    m_countAction = nullptr;
    m_stopAction = nullptr;
}

} // namespace Marevane
