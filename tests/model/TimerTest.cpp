#include "model/Timer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <future>
#include <set>
#include <string>
#include <vector>

using namespace Marevane;
using namespace std::chrono_literals;

namespace {

// A clock whose time moves only when the test says so. It also tells when
// the worker loop has caught up: waiting for a time still ahead, with
// nothing else to wake it.
class CFakeClock : public CTimerClock {
  public:
    TimePoint Now() override
    {
        std::lock_guard<std::mutex> own(m_own);
        return m_now;
    }

    bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                 std::chrono::milliseconds timeout, const std::function<bool()>& done) override
    {
        TimePoint deadline;
        {
            std::lock_guard<std::mutex> own(m_own);
            m_timerMutex = lock.mutex();
            m_wake = &wake;
            m_waiters.insert(std::this_thread::get_id());
            deadline = m_now + timeout;
        }
        while (!done() && Now() < deadline) {
            SetWaiting(true, deadline, &done);
            wake.wait(lock);
            SetWaiting(false, deadline, nullptr);
        }
        return done();
    }

    void Advance(std::chrono::milliseconds step)
    {
        std::mutex* timerMutex = nullptr;
        std::condition_variable* wake = nullptr;
        {
            std::lock_guard<std::mutex> own(m_own);
            timerMutex = m_timerMutex;
            wake = m_wake;
        }
        if (timerMutex == nullptr) {
            std::lock_guard<std::mutex> own(m_own);
            m_now += step;
            return;
        }
        std::lock_guard<std::mutex> timer(*timerMutex);
        {
            std::lock_guard<std::mutex> own(m_own);
            m_now += step;
        }
        wake->notify_all();
    }

    bool Settled()
    {
        std::mutex* timerMutex = nullptr;
        {
            std::lock_guard<std::mutex> own(m_own);
            timerMutex = m_timerMutex;
        }
        if (timerMutex == nullptr) return false;
        std::lock_guard<std::mutex> timer(*timerMutex);
        std::lock_guard<std::mutex> own(m_own);
        return m_waiting && m_deadline > m_now && !(*m_done)();
    }

    // Threads that have waited on this clock since the last call.
    std::set<std::thread::id> TakeWaiters()
    {
        std::lock_guard<std::mutex> own(m_own);
        std::set<std::thread::id> waiters;
        waiters.swap(m_waiters);
        return waiters;
    }

  private:
    void SetWaiting(bool waiting, TimePoint deadline, const std::function<bool()>* done)
    {
        std::lock_guard<std::mutex> own(m_own);
        m_waiting = waiting;
        m_deadline = deadline;
        m_done = done;
    }

    std::mutex m_own;
    TimePoint m_now{};
    std::mutex* m_timerMutex = nullptr;
    std::condition_variable* m_wake = nullptr;
    bool m_waiting = false;
    TimePoint m_deadline{};
    const std::function<bool()>* m_done = nullptr;
    std::set<std::thread::id> m_waiters;
};

template <typename Condition> bool WaitUntil(Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(100us);
    }
    return true;
}

int ThreadCount()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Threads:") {
            int count = 0;
            status >> count;
            return count;
        }
    }
    return -1;
}

class TimerTest : public ::testing::Test {
  protected:
    std::unique_ptr<CTimer> MakeTimer(std::int64_t limitMs)
    {
        return std::make_unique<CTimer>(limitMs, clock);
    }

    // Moves the clock and waits until the worker has taken the step.
    void Advance(CTimer& timer, std::chrono::milliseconds step)
    {
        clock->Advance(step);
        ASSERT_TRUE(WaitUntil([&] { return clock->Settled() || !timer.IsRunning(); }));
    }

    void Settle(CTimer& timer)
    {
        ASSERT_TRUE(WaitUntil([&] { return clock->Settled() || !timer.IsRunning(); }));
    }

    std::shared_ptr<CFakeClock> clock = std::make_shared<CFakeClock>();
};

} // namespace

TEST(SplitMilliseconds, SplitsIntoHoursMinutesSeconds)
{
    struct Case {
        std::uint64_t ms;
        std::uint64_t h, m, s;
    };
    const Case cases[] = {
        {0, 0, 0, 0}, {999, 0, 0, 0}, {90000, 0, 1, 30}, {3723999, 1, 2, 3}, {90061000, 25, 1, 1},
    };
    for (const Case& c : cases) {
        const TimeSpan span = SplitMilliseconds(c.ms);
        EXPECT_EQ(span.Hours, c.h) << c.ms;
        EXPECT_EQ(span.Minutes, c.m) << c.ms;
        EXPECT_EQ(span.Seconds, c.s) << c.ms;
    }
}

TEST(TimerCue, CountdownCuesPerStep)
{
    struct Case {
        std::int64_t previous, next;
        TimerCue cue;
    };
    const Case cases[] = {
        {61000, 59900, {9, 1}},   {60000, 59900, {9, 1}}, {60100, 60000, {9, 1}},  {130000, 119900, {8, 1}},
        {120000, 119900, {8, 1}}, {30500, 29900, {9, 2}}, {30000, 29999, {9, 2}},  {15050, 14950, {9, 3}},
        {15000, 14900, {9, 3}},   {59000, 58900, {0, 0}}, {100000, 99900, {0, 0}}, {14000, 13900, {0, 0}},
        {200, 0, {0, 0}},         {61000, 29000, {9, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTimer::CountdownCue(c.previous, c.next), c.cue) << c.previous << "->" << c.next;
}

TEST_F(TimerTest, StartGivesAMinuteOfGraceAndRestartDoesNot)
{
    struct Case {
        std::int64_t initial, remaining;
        bool restart;
        std::int64_t expected;
    };
    const Case cases[] = {
        {300000, 45000, false, 60000}, {50000, 45000, false, 50000},  {300000, 45000, true, 45000},
        {300000, 0, false, 0},         {300000, 70000, false, 70000}, {300000, 59999, true, 59999},
    };
    for (const Case& c : cases) {
        auto timer = MakeTimer(c.initial);
        timer->SetTimeLimit(c.remaining);
        c.restart ? timer->Restart() : timer->Start();
        EXPECT_EQ(timer->GetTimeLimit(), c.expected) << c.initial << " " << c.remaining << " " << c.restart;
    }
}

TEST_F(TimerTest, CapAndSetTimeLimitKeepRemainingWithinInitialLimit)
{
    auto timer = MakeTimer(300000);
    struct Step {
        bool cap;
        std::int64_t ms;
        std::int64_t initial, remaining;
    };
    const Step steps[] = {
        {true, 100000, 100000, 100000}, {false, 200000, 100000, 100000}, {false, 50000, 100000, 50000},
        {true, 200000, 200000, 50000},  {true, 20000, 20000, 20000},     {false, -5, 20000, 0},
    };
    for (const Step& s : steps) {
        s.cap ? timer->CapTimeLimit(s.ms) : timer->SetTimeLimit(s.ms);
        EXPECT_EQ(timer->GetInitialLimit(), s.initial) << s.cap << " " << s.ms;
        EXPECT_EQ(timer->GetTimeLimit(), s.remaining) << s.cap << " " << s.ms;
    }
}

TEST_F(TimerTest, TimesOutOnceWithCodeTen)
{
    auto timer = MakeTimer(1000);
    std::mutex mutex;
    std::vector<MessageCode> codes;
    timer->SetTimeOutCallback([&](MessageCode code) {
        std::lock_guard<std::mutex> lock(mutex);
        codes.push_back(code);
    });
    timer->Launch();
    timer->Start();
    EXPECT_TRUE(timer->IsStarted()); // counts at once, however late the worker begins
    Settle(*timer);
    Advance(*timer, 600ms);
    EXPECT_EQ(timer->GetTimeLimit(), 400);
    Advance(*timer, 600ms);
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> lock(mutex);
        return !codes.empty();
    }));
    EXPECT_FALSE(timer->IsRunning());
    EXPECT_FALSE(timer->IsStarted());
    EXPECT_EQ(timer->GetTimeLimit(), 0);
    EXPECT_EQ(timer->GetTotalElapsed(), 1200);
    clock->Advance(1000ms);
    timer.reset();
    EXPECT_EQ(codes, std::vector<MessageCode>{10});
}

TEST_F(TimerTest, NothingLeftTimesOutAtTheNextStep)
{
    auto timer = MakeTimer(300000);
    std::atomic<int> timeOuts{0};
    timer->SetTimeOutCallback([&](MessageCode) { ++timeOuts; });
    timer->SetTimeLimit(0);
    timer->Launch();
    timer->Start();
    EXPECT_EQ(timer->GetTimeLimit(), 0);
    Settle(*timer);
    Advance(*timer, 100ms);
    ASSERT_TRUE(WaitUntil([&] { return timeOuts == 1; }));
}

TEST_F(TimerTest, LoopWritesTheCueOnlyWhenCuesAreEnabled)
{
    for (bool enabled : {false, true}) {
        auto timer = MakeTimer(300000);
        timer->SetTimeLimit(61000);
        timer->EnableCues(enabled);
        timer->Launch();
        timer->Start();
        Settle(*timer);
        Advance(*timer, 1100ms);
        EXPECT_EQ(timer->GetTimeLimit(), 59900);
        EXPECT_EQ(timer->GetCue(), (enabled ? TimerCue{9, 1} : TimerCue{})) << enabled;
        timer->ClearCue();
        EXPECT_EQ(timer->GetCue(), TimerCue{});
    }
}

TEST_F(TimerTest, StopAccountsTheStretchAndPauseOnlySilencesTicks)
{
    auto timer = MakeTimer(300000);
    std::atomic<int> ticks{0};
    timer->LaunchWithCallback([&] { ++ticks; });
    timer->Start();
    Settle(*timer);
    Advance(*timer, 100ms);
    EXPECT_EQ(ticks, 1);
    timer->Pause();
    Advance(*timer, 2400ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer->GetTimeLimit(), 297500);
    timer->Stop();
    EXPECT_EQ(timer->GetLastLap(), 2500);
    Advance(*timer, 1000ms);
    EXPECT_EQ(timer->GetTimeLimit(), 297500);
    timer->Restart();
    Settle(*timer);
    Advance(*timer, 500ms);
    timer->Stop();
    EXPECT_EQ(timer->GetTimeLimit(), 297000);
    EXPECT_EQ(timer->GetTotalElapsed(), 3000);
}

TEST_F(TimerTest, CallbacksRunWithoutTheLockAndMayFail)
{
    // A callback that reads the timer would deadlock if it ran under the lock.
    auto timer = MakeTimer(200);
    std::atomic<int> ticks{0};
    std::atomic<std::int64_t> seenAtTimeOut{-1};
    timer->SetTimeOutCallback([&](MessageCode) { seenAtTimeOut = timer->GetTimeLimit(); });
    timer->LaunchWithCallback([&] {
        ++ticks;
        (void)timer->GetTimeLimit();
        throw std::runtime_error("tick failed");
    });
    timer->Start();
    Settle(*timer);
    Advance(*timer, 100ms);
    Advance(*timer, 100ms);
    ASSERT_TRUE(WaitUntil([&] { return seenAtTimeOut == 0; }));
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, EmptyCallbacksDoNothing)
{
    auto quiet = MakeTimer(100);
    quiet->SetTimeOutCallback(nullptr);
    quiet->LaunchWithCallback(nullptr);
    quiet->Start();
    Settle(*quiet);
    Advance(*quiet, 100ms);
    EXPECT_TRUE(WaitUntil([&] { return !quiet->IsRunning(); }));
}

TEST_F(TimerTest, HaltAndDestructionNeverWaitForTime)
{
    // The fake clock never moves here: a loop that slept instead of waking
    // on the change would keep the destructor waiting.
    auto timer = MakeTimer(300000);
    timer->Launch();
    timer->Start();
    Settle(*timer);
    timer->Halt();
    EXPECT_FALSE(timer->IsRunning());
    EXPECT_FALSE(timer->IsStarted());
    timer->Launch();
    timer->Start();
    Settle(*timer);
    auto done = std::async(std::launch::async, [&] { timer.reset(); });
    EXPECT_EQ(done.wait_for(5s), std::future_status::ready);
}

TEST_F(TimerTest, EveryResetLaunchHaltCycleRunsOneLoopAndLeaksNoThread)
{
    std::thread([] {}).join(); // sanitizers start a helper thread with the first thread
    const int threadsBefore = ThreadCount();
    auto timer = MakeTimer(1000);
    std::mutex mutex;
    std::set<std::thread::id> tickThreads;
    for (int cycle = 0; cycle < 200; ++cycle) {
        timer->Reset(1000);
        timer->LaunchWithCallback([&] {
            std::lock_guard<std::mutex> lock(mutex);
            tickThreads.insert(std::this_thread::get_id());
        });
        timer->Start();
        ASSERT_TRUE(timer->IsStarted()) << cycle;
        Settle(*timer);
        clock->TakeWaiters();
        Advance(*timer, 100ms);
        EXPECT_EQ(timer->GetTimeLimit(), 900) << cycle;
        EXPECT_EQ(clock->TakeWaiters().size(), 1u) << cycle;
        {
            std::lock_guard<std::mutex> lock(mutex);
            EXPECT_EQ(tickThreads.size(), 1u) << cycle;
            tickThreads.clear();
        }
        if (cycle % 2 == 0) timer->Halt(); // odd cycles leave the loop to Reset and Launch
    }
    timer.reset();
    EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(TimerTest, RelaunchWhileCountingKeepsCountingOnANewLoop)
{
    auto timer = MakeTimer(300000);
    timer->Launch();
    timer->Start();
    Settle(*timer);
    Advance(*timer, 1000ms);
    timer->Launch();
    Settle(*timer);
    clock->TakeWaiters();
    Advance(*timer, 1000ms);
    const auto second = clock->TakeWaiters();
    EXPECT_EQ(second.size(), 1u);
    EXPECT_EQ(timer->GetTimeLimit(), 298000);
}

TEST_F(TimerTest, WithoutLimitOnlyMeasuresTime)
{
    auto timer = MakeTimer(0);
    timer->Launch();
    timer->Start();
    EXPECT_TRUE(timer->IsStarted());
    clock->Advance(700ms);
    timer->Stop();
    EXPECT_FALSE(timer->HasLimit());
    EXPECT_EQ(timer->GetLastLap(), 700);
    EXPECT_EQ(timer->GetTotalElapsed(), 700);
    EXPECT_EQ(timer->GetTimeLimit(), 0);
}

TEST_F(TimerTest, RemainingTimeTextLeavesOutZeroParts)
{
    auto timer = MakeTimer(3605000);
    EXPECT_EQ(timer->GetTimeLimitText(), L"1\u6642\u95935\u79d2");
    timer->SetTimeLimit(90000);
    EXPECT_EQ(timer->GetTimeLimitText(), L"1\u520630\u79d2");
}

namespace {
QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "timer-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}
} // namespace

TEST(ScheduledExecution, RunWithZeroIntervalsStartsNothing)
{
    App();
    CScheduledExecution execution(31);
    int emitted = 0;
    QObject::connect(&execution, &CScheduledExecution::Counted, [&](MessageCode) { ++emitted; });
    QObject::connect(&execution, &CScheduledExecution::Stopped, [&](MessageCode) { ++emitted; });
    execution.Run();
    EXPECT_FALSE(execution.IsCounting());
    EXPECT_FALSE(execution.IsStopPending());
    QCoreApplication::processEvents();
    EXPECT_EQ(emitted, 0);
}

TEST(ScheduledExecution, StopTimerStopsOnceAndClearEmptiesIt)
{
    App();
    CScheduledExecution execution(31);
    std::vector<MessageCode> stopped;
    int stopActions = 0;
    QObject::connect(&execution, &CScheduledExecution::Stopped,
                     [&](MessageCode code) { stopped.push_back(code); });
    execution.SetStopAction([&] { ++stopActions; });
    execution.SetCountInterval(1000000);
    execution.SetStopInterval(1);
    execution.Run();
    EXPECT_TRUE(execution.IsCounting());
    ASSERT_TRUE(WaitUntil([&] {
        QCoreApplication::processEvents();
        return !stopped.empty();
    }));
    EXPECT_EQ(stopped, std::vector<MessageCode>{31});
    EXPECT_EQ(stopActions, 1);
    EXPECT_FALSE(execution.IsCounting());

    execution.Run();
    execution.Clear(); // stops the pending run first
    EXPECT_EQ(stopActions, 2);
    EXPECT_EQ(execution.GetCountInterval(), 0);
    EXPECT_EQ(execution.GetStopInterval(), 0);
    execution.Stop(); // the cleared, empty stop action does nothing
    EXPECT_EQ(stopActions, 2);
    EXPECT_EQ(stopped.size(), 3u);
}
