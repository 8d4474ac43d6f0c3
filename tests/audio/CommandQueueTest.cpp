#include "audio/CommandQueue.h"
#include "audio/Deletable.h"
#include "audio/Log.h"
#include "audio/Memory.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using namespace Daz;

namespace {

const char* const kGrowLine =
    "Reallocating audio task buffer to size %d; consider increasing CkConfig.maxAudioTasks "
    "at startup.";

std::string growLine(int size)
{
    char text[200];
    std::snprintf(text, sizeof text, kGrowLine, size);
    return text;
}

struct Recorder : CommandObject {
    std::vector<int> commands;
    std::vector<float> firsts;
    std::vector<int> seconds;
    void execute(int command, CommandArg first, CommandArg second) override
    {
        commands.push_back(command);
        firsts.push_back(first.f);
        seconds.push_back(second.i);
    }
};

std::vector<int> range(int from, int to)
{
    std::vector<int> values;
    for (int i = from; i < to; ++i) values.push_back(i);
    return values;
}

TEST(CommandQueueTest, CarriesOutEveryKindInPostingOrder)
{
    LogCapture log;
    CommandQueue queue(16);
    Recorder recorder;

    struct Doomed : Deletable {
        bool* ready;
        bool* deleted;
        bool isReadyToDelete() const override { return *ready; }
        ~Doomed() override { *deleted = true; }
    };
    bool ready = false;
    bool deleted = false;
    Doomed* doomed = new Doomed;
    doomed->ready = &ready;
    doomed->deleted = &deleted;

    void* block = Memory::alloc(32);
    queue.postCommand(&recorder, 7, 0.25f, -3);
    queue.postFree(block);
    queue.postDestroy(doomed);
    queue.postCommand(&recorder, 8);
    EXPECT_EQ(4, queue.getCount());
    queue.processAudioCommands();
    EXPECT_EQ(0, queue.getCount());
    EXPECT_EQ((std::vector<int>{7, 8}), recorder.commands);
    EXPECT_EQ(0.25f, recorder.firsts[0]);
    EXPECT_EQ(-3, recorder.seconds[0]);

    // A destroyed object waits on the deferred-deletion list until it lets go.
    EXPECT_EQ(1, DeletionList::getCount());
    DeletionList::update();
    EXPECT_FALSE(deleted);
    ready = true;
    DeletionList::update();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(0, DeletionList::getCount());
    EXPECT_TRUE(log.lines().empty());
}

TEST(CommandQueueTest, TheTenthPostIntoTenSlotsDoublesTheRingOnce)
{
    LogCapture log;
    CommandQueue queue(10);
    Recorder recorder;
    for (int i = 0; i < 9; ++i) queue.postCommand(&recorder, i);
    EXPECT_EQ(10, queue.getCapacity());
    EXPECT_TRUE(log.lines().empty());
    queue.postCommand(&recorder, 9);
    EXPECT_EQ(20, queue.getCapacity());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Warning, growLine(20)}), log.lines()[0]);
    queue.processAudioCommands();
    EXPECT_EQ(range(0, 10), recorder.commands);
    // It never shrinks.
    EXPECT_EQ(20, queue.getCapacity());
}

TEST(CommandQueueTest, GrowthKeepsTheOrderOfEntriesThatWrapAroundTheEnd)
{
    LogCapture log;
    CommandQueue queue(10);
    Recorder recorder;
    for (int i = 0; i < 6; ++i) queue.postCommand(&recorder, -1);
    queue.processAudioCommands();
    recorder.commands.clear();
    // Read index 6: the next nine entries run over the end of the ring, the tenth grows it.
    for (int i = 0; i < 12; ++i) queue.postCommand(&recorder, i);
    EXPECT_EQ(20, queue.getCapacity());
    queue.processAudioCommands();
    EXPECT_EQ(range(0, 12), recorder.commands);
}

// Queues more commands while it runs; they are carried out in the same pass.
struct Chain : CommandObject {
    CommandQueue* queue;
    std::vector<int> seen;
    void execute(int command, CommandArg, CommandArg) override
    {
        seen.push_back(command);
        if (command < 30) queue->postCommand(this, command + 1);
    }
};

TEST(CommandQueueTest, CommandsQueuedDuringThePassRunInTheSamePass)
{
    LogCapture log;
    CommandQueue queue(10);
    Chain chain;
    chain.queue = &queue;
    queue.postCommand(&chain, 0);
    queue.processAudioCommands();
    EXPECT_EQ(range(0, 31), chain.seen);
}

// Holds a lock on a thread of its own until told to let go.
class Holder {
  public:
    explicit Holder(CommandQueue& queue)
        : m_thread([this, &queue] {
              queue.lockAudio();
              {
                  std::unique_lock<std::mutex> lock(m_mutex);
                  m_holding = true;
                  m_changed.notify_all();
                  m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_release; });
              }
              queue.unlockAudio();
          })
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_holding; });
    }
    ~Holder() { release(); }

    bool isHolding()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_holding;
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_release = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable()) m_thread.join();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_holding = false;
    bool m_release = false;
    std::thread m_thread;
};

TEST(CommandQueueTest, APassSkipsWhileAnotherThreadHoldsTheAudioLock)
{
    LogCapture log;
    CommandQueue queue(10);
    Recorder recorder;
    queue.postCommand(&recorder, 1);
    {
        Holder holder(queue);
        ASSERT_TRUE(holder.isHolding());
        queue.processAudioCommands();
        queue.processAudioCommands();
        EXPECT_TRUE(recorder.commands.empty());
        const LogLine warning{kCkLog_Warning,
                              "Audio thread could not aquire lock; did you call CkLockAudio() but "
                              "forget to call CkUnlockAudio()?"};
        EXPECT_EQ((std::vector<LogLine>{warning, warning}), log.lines());
    }
    queue.processAudioCommands();
    EXPECT_EQ((std::vector<int>{1}), recorder.commands);

    // The lock is recursive: the thread that holds it may still carry out commands.
    queue.lockAudio();
    queue.postCommand(&recorder, 2);
    queue.processAudioCommands();
    queue.unlockAudio();
    EXPECT_EQ((std::vector<int>{1, 2}), recorder.commands);
}

// Notes each command and the thread it ran on, and tells the waiter when all have come.
struct ThreadRecorder : CommandObject {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<int> commands;
    std::vector<std::thread::id> threads;
    void execute(int command, CommandArg, CommandArg) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        commands.push_back(command);
        threads.push_back(std::this_thread::get_id());
        arrived.notify_all();
    }
};

TEST(CommandQueueTest, CommandsPostedOnOneThreadRunInOrderOnTheRenderThread)
{
    LogCapture log;
    CommandQueue queue(10); // small, so the ring also grows while the render thread drains it
    ThreadRecorder recorder;
    constexpr int kCount = 2000;

    std::mutex stopMutex;
    bool stop = false;
    std::thread render([&] {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(stopMutex);
                if (stop) break;
            }
            queue.processAudioCommands();
            std::this_thread::yield();
        }
    });
    const std::thread::id renderId = render.get_id();

    for (int i = 0; i < kCount; ++i) queue.postCommand(&recorder, i);
    bool all;
    {
        std::unique_lock<std::mutex> lock(recorder.mutex);
        all = recorder.arrived.wait_for(lock, std::chrono::seconds(10),
                                        [&] { return recorder.commands.size() == std::size_t(kCount); });
    }
    {
        std::lock_guard<std::mutex> lock(stopMutex);
        stop = true;
    }
    render.join();

    ASSERT_TRUE(all);
    EXPECT_EQ(range(0, kCount), recorder.commands);
    for (std::thread::id id : recorder.threads) ASSERT_EQ(renderId, id);
    for (const LogLine& line : log.lines()) EXPECT_EQ(kCkLog_Warning, line.level) << line;
}

} // namespace
