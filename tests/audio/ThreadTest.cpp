#include "audio/Thread.h"
#include "audio/AsyncLoader.h"
#include "audio/Deletable.h"
#include "audio/StreamFileThread.h"

#include "AudioTestSupport.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace Daz;

namespace {

std::atomic<bool> g_release{false};

unsigned waitForRelease(void*)
{
    while (!g_release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 7;
}

TEST(ThreadTest, ANamedThreadShowsItsNameAndAnUnnamedOneRunsToo)
{
    g_release = false;
    Thread named(&waitForRelease);
    named.setName("CK test worker");
    Thread unnamed(&waitForRelease);
    ASSERT_TRUE(named.start(nullptr));
    ASSERT_TRUE(unnamed.start(nullptr));
    EXPECT_TRUE(named.isRunning());
    EXPECT_TRUE(waitFor([] { return hasThread("CK test worker"); }));
    g_release = true;
    named.join();
    unnamed.join();
    EXPECT_FALSE(named.isRunning());
    EXPECT_EQ(7u, named.getResult());
    EXPECT_EQ(7u, unnamed.getResult());
    EXPECT_EQ(nullptr, unnamed.getName());
}

TEST(ThreadTest, JoiningAThreadThatNeverStartedReturnsAtOnce)
{
    Thread idle(&waitForRelease);
    idle.join();
    EXPECT_FALSE(idle.isRunning());
}

TEST(ThreadTest, AMovingAverageKeepsTheLastValues)
{
    MovingAverage<50> average;
    EXPECT_EQ(0.0f, average.getAverage());
    for (int i = 0; i < 10; ++i) average.add(2.0f);
    EXPECT_EQ(2.0f, average.getAverage());
    for (int i = 0; i < 50; ++i) average.add(4.0f);
    EXPECT_EQ(4.0f, average.getAverage());
    EXPECT_EQ(50, average.getCount());
    average.clear();
    EXPECT_EQ(0, average.getCount());
}

TEST(ThreadTest, ATimerCountsOnlyWhileRunning)
{
    Timer timer;
    EXPECT_EQ(0.0f, timer.getElapsedMs());
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    timer.stop();
    const float stopped = timer.getElapsedMs();
    EXPECT_GT(stopped, 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(stopped, timer.getElapsedMs());
    timer.reset();
    EXPECT_EQ(0.0f, timer.getElapsedMs());
}

TEST(StreamFileThreadTest, ThePeriodIsRoundedToWholeMilliseconds)
{
    struct Case {
        float ms;
        int period;
    };
    for (const Case& c : {Case{100.0f, 100}, Case{0.4f, 0}, Case{0.5f, 1}, Case{99.5f, 100}}) {
        EXPECT_EQ(c.period, StreamFileThread::periodFor(c.ms)) << c.ms;
    }
}

class CountingStream : public StreamListMember {
  public:
    explicit CountingStream(std::vector<int>& order, int id) : m_order(order), m_id(id)
    {
        StreamList::add(this);
    }
    ~CountingStream() override { StreamList::remove(this); }
    void fileUpdate() override
    {
        m_order.push_back(m_id); // under the list lock
        ++updates;
    }
    std::atomic<int> updates{0};

  private:
    std::vector<int>& m_order;
    int m_id;
};

TEST(StreamFileThreadTest, EachPassRefillsEveryStreamInListOrder)
{
    std::vector<int> order;
    CountingStream first(order, 1);
    CountingStream second(order, 2);
    EXPECT_EQ(2, StreamList::getCount());
    StreamFileThread thread(0.4f); // back to back
    thread.start();
    EXPECT_TRUE(hasThread("CK stream file") || waitFor([] { return hasThread("CK stream file"); }));
    EXPECT_TRUE(waitFor([&] { return second.updates.load() >= 3; }));
    thread.stop();
    EXPECT_FALSE(thread.isRunning());
    ASSERT_GE(order.size(), 6u);
    for (std::size_t i = 0; i + 1 < order.size(); i += 2) {
        EXPECT_EQ(1, order[i]);
        EXPECT_EQ(2, order[i + 1]);
    }
}

TEST(StreamFileThreadTest, AStopDoesNotWaitOutTheSleep)
{
    StreamFileThread thread(60000.0f);
    thread.start();
    EXPECT_TRUE(waitFor([&] { return thread.getPassCount() >= 1; }));
    thread.stop(); // would hang for a minute if the pause were a plain sleep
    EXPECT_FALSE(thread.isRunning());
}

struct LoadResult {
    std::atomic<int> calls{0};
    std::atomic<bool> success{false};
};

void recordLoad(bool success, void* user)
{
    LoadResult* result = static_cast<LoadResult*>(user);
    result->success = success;
    ++result->calls;
}

TEST(AsyncLoaderTest, ReadsARangeOrReportsAMissingFileOnce)
{
    const std::string path = ::testing::TempDir() + "loader_range.bin";
    {
        std::ofstream file(path, std::ios::binary);
        file << "0123456789";
    }
    AsyncLoader loader;
    loader.start();
    EXPECT_TRUE(waitFor([] { return hasThread("CK async loader"); }));

    char buffer[4] = {'x', 'x', 'x', 'x'};
    LoadResult found;
    ASSERT_TRUE(loader.load(path.c_str(), kCkPathType_AsGiven, 3, 4, buffer, &recordLoad, &found));
    EXPECT_TRUE(waitFor([&] { return found.calls.load() == 1; }));
    EXPECT_TRUE(found.success);
    EXPECT_EQ(std::string("3456"), std::string(buffer, 4));

    char untouched[4] = {'x', 'x', 'x', 'x'};
    LoadResult missing;
    ASSERT_TRUE(loader.load((path + ".missing").c_str(), kCkPathType_AsGiven, 0, 4, untouched, &recordLoad,
                            &missing));
    EXPECT_TRUE(waitFor([&] { return missing.calls.load() == 1; }));
    EXPECT_FALSE(missing.success);
    EXPECT_EQ(std::string("xxxx"), std::string(untouched, 4));

    LoadResult tooLong;
    char spare[16];
    ASSERT_TRUE(loader.load(path.c_str(), kCkPathType_AsGiven, 8, 16, spare, &recordLoad, &tooLong));
    EXPECT_TRUE(waitFor([&] { return tooLong.calls.load() == 1; }));
    EXPECT_FALSE(tooLong.success);
    loader.stop();
    EXPECT_EQ(1, missing.calls.load());
    std::remove(path.c_str());
}

TEST(AsyncLoaderTest, StoppingDropsQueuedRequestsUnreported)
{
    AsyncLoader loader; // never started: its requests stay queued
    LoadResult result;
    char buffer[4];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(loader.load("/nonexistent", kCkPathType_AsGiven, 0, 4, buffer, &recordLoad, &result));
    EXPECT_EQ(3, loader.getQueuedCount());
    loader.stop();
    EXPECT_EQ(0, loader.getQueuedCount());
    EXPECT_EQ(0, result.calls.load());
}

struct Tracked : Deletable {
    explicit Tracked(bool ready, int& deleted) : m_ready(ready), m_deleted(deleted) {}
    ~Tracked() override { ++m_deleted; }
    bool isReadyToDelete() const override { return m_ready; }
    bool m_ready;
    int& m_deleted;
};

TEST(DeletionListTest, OnlyReadyObjectsGoAndShutdownDoesNotWaitForeverForTheRest)
{
    LogCapture log;
    int deleted = 0;
    DeletionList::add(new Tracked(true, deleted));
    DeletionList::add(new Tracked(false, deleted));
    DeletionList::update();
    EXPECT_EQ(1, deleted);
    EXPECT_EQ(1, DeletionList::getCount());
    DeletionList::drain(50);
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(0, DeletionList::getCount());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Warning, "1 engine objects were still in use at shutdown; deleting them"}),
              log.lines()[0]);
}

} // namespace
