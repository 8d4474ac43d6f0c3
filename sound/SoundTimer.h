// The timers of the sound managers. In the program they are Qt timers on the
// GUI thread; while a manual clock is installed (tests, rendering ahead of
// real time) they run on that clock instead, so time moves only when its
// holder moves it and every step is known.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <vector>

class QTimer;

namespace Marevane {
namespace Sound {

class CManualClock;

class CSoundTimer {
  public:
    // `timeout` runs on every expiry; an exception from it is reported, not passed on.
    explicit CSoundTimer(std::function<void()> timeout);
    ~CSoundTimer();
    CSoundTimer(const CSoundTimer&) = delete;
    CSoundTimer& operator=(const CSoundTimer&) = delete;

    void SetInterval(int ms) { m_interval = ms; }
    int GetInterval() const { return m_interval; }
    void SetSingleShot(bool isSingleShot) { m_isSingleShot = isSingleShot; }
    bool IsSingleShot() const { return m_isSingleShot; }

    // (Re)starts with the interval; a negative one starts nothing, as with Qt.
    void Start();
    void Stop();
    bool IsActive() const;

  private:
    friend class CManualClock;
    void Expire();

    std::function<void()> m_timeout;
    int m_interval = 0;
    bool m_isSingleShot = false;
    std::unique_ptr<QTimer> m_qtTimer;
    // On a manual clock: the clock, the time due and the order of starting.
    CManualClock* m_clock = nullptr;
    std::int64_t m_due = 0;
    std::uint64_t m_order = 0;
};

// Actions run once after a delay, owned by the object that asked for them:
// whatever has not run when the owner goes never runs.
class CSingleShots {
  public:
    // A negative delay never runs the action, as with Qt's single shots.
    void After(int ms, std::function<void()> action);
    void CancelAll() { m_timers.clear(); }
    int GetPendingCount() const;

  private:
    std::list<std::unique_ptr<CSoundTimer>> m_timers;
};

// A clock moved by hand. While one exists, timers started from then on run
// on it. One at a time, on the GUI thread.
class CManualClock {
  public:
    CManualClock();
    ~CManualClock();
    CManualClock(const CManualClock&) = delete;
    CManualClock& operator=(const CManualClock&) = delete;

    static CManualClock* GetCurrent();

    // Milliseconds since the clock was made.
    std::int64_t Now() const { return m_now; }
    // Moves on by `ms`, running each timer as it falls due: in time order,
    // timers due together in the order they were started.
    void Advance(int ms);
    int GetActiveCount() const { return static_cast<int>(m_active.size()); }

  private:
    friend class CSoundTimer;
    void Add(CSoundTimer* timer, int ms);
    void Remove(CSoundTimer* timer);

    std::int64_t m_now = 0;
    std::uint64_t m_nextOrder = 0;
    std::vector<CSoundTimer*> m_active;
};

} // namespace Sound
} // namespace Marevane
