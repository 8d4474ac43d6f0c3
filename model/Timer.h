// A side's think-time clock with a worker loop of its own, and a pair of Qt
// timers for timed sequences on the GUI thread.
#pragma once

#include "model/Types.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class QTimer;

namespace Marevane {

struct TimeSpan {
    std::uint64_t Hours = 0;
    std::uint64_t Minutes = 0;
    std::uint64_t Seconds = 0;
};

// Whole hours, then minutes and seconds of the rest.
TimeSpan SplitMilliseconds(std::uint64_t ms);

// Time source and waiting of a timer's worker loop. Tests substitute one
// whose time they move by hand.
class CTimerClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~CTimerClock() = default;
    virtual TimePoint Now() = 0;
    // Called with `lock` held; waits on `wake` until `done` holds or
    // `timeout` has passed on this clock. Answers `done()`.
    virtual bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                         std::chrono::milliseconds timeout, const std::function<bool()>& done) = 0;

    // The process's monotonic clock.
    static std::shared_ptr<CTimerClock> Steady();
};

// A countdown sound the time bar plays: code 9 the alarm at 60, 30 and 15
// seconds (levels 1 to 3), code 8 the tick of each whole minute.
struct TimerCue {
    std::uint32_t Code = 0;
    std::uint32_t Level = 0;
    friend bool operator==(const TimerCue& a, const TimerCue& b)
    {
        return a.Code == b.Code && a.Level == b.Level;
    }
};

class CTimer {
  public:
    using TickAction = std::function<void()>;
    using TimeOutCallback = std::function<void(MessageCode)>;

    static constexpr MessageCode TimeOutCode = 10;

    explicit CTimer(std::int64_t limitMs, std::shared_ptr<CTimerClock> clock = nullptr);
    virtual ~CTimer();

    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    void Reset(std::int64_t limitMs);
    // Begins counting; a short remainder is raised to a minute of grace.
    void Start();
    void Restart();
    void Stop();
    void Pause();
    // Stops counting and ends the worker loop without waiting for it.
    void Halt();
    // Ends any previous loop and starts one; the tick action runs on the
    // worker after every step while the timer is active.
    void Launch();
    void LaunchWithCallback(TickAction tick);

    void SetTimeLimit(std::int64_t ms);
    void CapTimeLimit(std::int64_t ms);
    void SetTimeOutCallback(TimeOutCallback callback);

    std::int64_t GetTimeLimit() const;
    TimeSpan GetTimeLimitHms() const;
    std::wstring GetTimeLimitText() const;
    std::int64_t GetInitialLimit() const;
    std::int64_t GetLastLap() const;
    std::int64_t GetTotalElapsed() const;

    bool HasLimit() const;
    bool IsRunning() const;
    bool IsStarted() const;
    bool IsActive() const;

    void EnableCues(bool enabled);
    bool AreCuesEnabled() const;
    TimerCue GetCue() const;
    void ClearCue();

    // The cue for one countdown step from `previous` to `next` ms, or none.
    static TimerCue CountdownCue(std::int64_t previous, std::int64_t next);

  private:
    void StartCounting(bool withGrace);
    void AccountStretch(CTimerClock::TimePoint now);
    void EndLoop();
    void Loop(std::uint64_t generation);
    bool Step(std::unique_lock<std::mutex>& lock);

    std::shared_ptr<CTimerClock> m_clock;
    CTimerClock::TimePoint m_startTime{};
    CTimerClock::TimePoint m_notedTime{};
    std::int64_t m_initialLimit = 0;
    std::int64_t m_remaining = 0;
    std::int64_t m_savedRemaining = 0;
    std::int64_t m_lastLap = 0;
    std::int64_t m_totalElapsed = 0;
    TimerCue m_cue;
    bool m_hasLimit = false;
    bool m_running = false;
    bool m_started = false;
    bool m_active = false;
    bool m_cuesEnabled = false;
    TimeOutCallback m_timeOut;
    TickAction m_tick;
    std::uint64_t m_generation = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::thread m_retired; // a loop that relaunched its own timer from a callback
};

// The timer the battle log formats its time values with (1,200,000 ms).
CTimer& GetSharedTimer();
void CapSharedTimeLimit(std::uint32_t minutes);

// Runs a count action on a repeating timer and a stop action on a one-shot
// timer, both on the thread the object lives on.
class CScheduledExecution : public QObject {
    Q_OBJECT
  public:
    using Action = std::function<void()>;

    explicit CScheduledExecution(MessageCode code = 0, QObject* parent = nullptr);
    ~CScheduledExecution() override;

    void SetCode(MessageCode code) { m_code = code; }
    MessageCode GetCode() const { return m_code; }
    void SetCountInterval(int ms);
    void SetStopInterval(int ms);
    int GetCountInterval() const;
    int GetStopInterval() const;
    void SetCountAction(Action action) { m_countAction = std::move(action); }
    void SetStopAction(Action action) { m_stopAction = std::move(action); }
    bool IsCounting() const;
    bool IsStopPending() const;

  signals:
    void Stopped(Marevane::MessageCode code);
    void Counted(Marevane::MessageCode code);

  public slots:
    void Run();
    void Stop();
    void Clear();

  private slots:
    void Count();

  private:
    MessageCode m_code = 0;
    QTimer* m_countTimer = nullptr;
    QTimer* m_stopTimer = nullptr;
    Action m_countAction;
    Action m_stopAction;
};

} // namespace Marevane
