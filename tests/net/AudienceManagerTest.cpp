#include "net/AudienceManager.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/TurnManager.h"
#include "model/UnitFactory.h"
#include "tests/net/InMemoryTransport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

using namespace Marevane;

namespace {

class CTestTurnManager : public CTurnManager {
  public:
    void Update(MessageCode) override {}
    void SetLogCache(CLogger*) override {}
    CLogger* GetLogCache() const override { return nullptr; }
};

// Gives the worker a task, as a subclass that serves an audience would.
class CWorkingAudienceManager : public CAudienceManager {
  public:
    explicit CWorkingAudienceManager(std::atomic<bool>& ended) : m_ended(ended) {}
    // The worker uses this part of the object: it ends before this part goes.
    ~CWorkingAudienceManager() override { Stop(); }

    // Seats two watchers and runs until told to stop.
    bool Run()
    {
        {
            std::lock_guard<std::mutex> lock(GetMutex());
            GetAudience()[11] = UnitProfile(5, UnitWatching, 1, L"W1", L"");
            GetAudience()[12] = UnitProfile(6, UnitWatching, 1, L"W2", L"");
        }
        return StartWorker([this] {
            while (IsRunning()) std::this_thread::sleep_for(std::chrono::microseconds(100));
            m_ended = true;
        });
    }
    bool RunThrowing()
    {
        return StartWorker([this] {
            m_ended = true;
            throw std::runtime_error("worker");
        });
    }

  private:
    std::atomic<bool>& m_ended;
};

struct Services {
    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CInMemoryTcpServer server;
    CTestTurnManager turns;

    void Give(CAudienceManager& manager)
    {
        manager.SetRules(&rules);
        manager.SetUnitFactory(&units);
        manager.SetServer(&server);
        manager.SetSource(&turns);
    }
};

TEST(AudienceManager, StartsEmptyAndIdle)
{
    CAudienceManager manager;
    EXPECT_EQ(manager.GetRules(), nullptr);
    EXPECT_EQ(manager.GetUnitFactory(), nullptr);
    EXPECT_EQ(manager.GetServer(), nullptr);
    EXPECT_EQ(manager.GetSource(), nullptr);
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_EQ(manager.CountAudience(), 0u);
}

TEST(AudienceManager, StopOnAManagerThatNeverRanKeepsTheServices)
{
    Services services;
    CAudienceManager manager;
    services.Give(manager);
    manager.Stop();
    manager.Stop();
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_EQ(manager.GetRules(), &services.rules);
    EXPECT_EQ(manager.GetUnitFactory(), &services.units);
    EXPECT_EQ(manager.GetServer(), &services.server);
    EXPECT_EQ(manager.GetSource(), &services.turns);
}

TEST(AudienceManager, NullSourceClearsTheSource)
{
    Services services;
    CAudienceManager manager;
    services.Give(manager);
    manager.SetSource(nullptr);
    EXPECT_EQ(manager.GetSource(), nullptr);
    EXPECT_EQ(manager.GetServer(), &services.server);
}

TEST(AudienceManager, StopEndsTheWorkerAndEmptiesTheAudience)
{
    std::atomic<bool> ended{false};
    CWorkingAudienceManager manager(ended);
    ASSERT_TRUE(manager.Run());
    EXPECT_TRUE(manager.IsRunning());
    EXPECT_EQ(manager.CountAudience(), 2u);
    EXPECT_FALSE(manager.Run());
    manager.Stop();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_EQ(manager.CountAudience(), 0u);
    // Once joined, a new worker may start.
    ended = false;
    ASSERT_TRUE(manager.Run());
    manager.Stop();
    EXPECT_TRUE(ended);
}

TEST(AudienceManager, DestroyingARunningManagerJoinsTheWorker)
{
    std::atomic<bool> ended{false};
    auto manager = std::make_unique<CWorkingAudienceManager>(ended);
    ASSERT_TRUE(manager->Run());
    manager.reset();
    EXPECT_TRUE(ended);
}

TEST(AudienceManager, WorkerFailureStaysOnItsThread)
{
    std::atomic<bool> ended{false};
    {
        CWorkingAudienceManager manager(ended);
        ASSERT_TRUE(manager.RunThrowing());
    }
    EXPECT_TRUE(ended);
}

TEST(AudienceManager, StopsFromTwoThreadsJoinOnce)
{
    std::atomic<bool> ended{false};
    CWorkingAudienceManager manager(ended);
    ASSERT_TRUE(manager.Run());
    std::thread other([&manager] { manager.Stop(); });
    manager.Stop();
    other.join();
    EXPECT_FALSE(manager.IsRunning());
}

} // namespace
