#include "ai/TaskPool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include <sched.h>

namespace Marevane::ComputerAI {

namespace {

struct Batch {
    const std::function<void(std::size_t)>* Task = nullptr;
    std::size_t Count = 0;
    // The next task number to hand out.
    std::atomic<std::size_t> Next{0};
    std::vector<std::exception_ptr> Errors;
    std::mutex Mutex;
    std::condition_variable Finished;
    std::size_t Done = 0;

    // Takes the next task number; false when none is left.
    bool Take(std::size_t& index)
    {
        index = Next.fetch_add(1);
        return index < Count;
    }

    void RunOne(std::size_t index)
    {
        try {
            (*Task)(index);
        } catch (...) {
            Errors[index] = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(Mutex);
        if (++Done == Count) Finished.notify_all();
    }

    // Runs tasks of this batch until none is left to take.
    void Work()
    {
        for (std::size_t i = 0; Take(i);) RunOne(i);
    }
};

// A caller works through its batch alone for a while before it wakes
// workers: waking one costs tens of microseconds of processor time on
// either side, more than short batches gain.

class CTaskPool {
  public:
    CTaskPool() { Start(DefaultCount()); }
    ~CTaskPool() { Stop(); }
    CTaskPool(const CTaskPool&) = delete;
    CTaskPool& operator=(const CTaskPool&) = delete;

    std::vector<std::exception_ptr> Run(std::size_t count, const std::function<void(std::size_t)>& task)
    {
        auto batch = std::make_shared<Batch>();
        batch->Task = &task;
        batch->Count = count;
        batch->Errors.resize(count);
        const auto start = std::chrono::steady_clock::now();
        bool shared = false;
        for (std::size_t i = 0; batch->Take(i);) {
            batch->RunOne(i);
            if (!shared && i + 1 < count && std::chrono::steady_clock::now() - start >= m_shareAfter.load()) {
                shared = true;
                Share(batch, count - i - 1);
            }
        }
        {
            std::unique_lock<std::mutex> lock(batch->Mutex);
            batch->Finished.wait(lock, [&] { return batch->Done == batch->Count; });
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find(m_queue.begin(), m_queue.end(), batch);
        if (it != m_queue.end()) {
            m_queue.erase(it);
            if (--m_running == 0) m_idle.notify_all();
        }
        return std::move(batch->Errors);
    }

    // Queues the batch and wakes as many workers as it has tasks left.
    void Share(const std::shared_ptr<Batch>& batch, std::size_t left)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_workers.empty()) return;
        m_queue.push_back(batch);
        ++m_running;
        const std::size_t helpers = std::min(left, m_workers.size());
        for (std::size_t i = 0; i < helpers; ++i) m_wake.notify_one();
    }

    void Resize(std::size_t count, std::chrono::microseconds shareAfter)
    {
        Stop();
        m_shareAfter = shareAfter;
        Start(count);
    }

    std::size_t Size()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_workers.size();
    }

  private:
    // The processors this process may run on, less the caller's.
    static std::size_t DefaultCount()
    {
        cpu_set_t set;
        CPU_ZERO(&set);
        std::size_t processors = 0;
        if (sched_getaffinity(0, sizeof(set), &set) == 0)
            processors = static_cast<std::size_t>(CPU_COUNT(&set));
        if (processors == 0) processors = std::thread::hardware_concurrency();
        return processors > 1 ? processors - 1 : 0;
    }

    void Start(std::size_t count)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
        for (std::size_t i = 0; i < count; ++i) m_workers.emplace_back([this] { Loop(); });
    }

    // Waits for the queued batches to end, then joins every worker.
    void Stop()
    {
        std::vector<std::thread> workers;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_idle.wait(lock, [&] { return m_running == 0; });
            m_stopping = true;
            m_wake.notify_all();
            workers.swap(m_workers);
        }
        for (std::thread& worker : workers) worker.join();
    }

    void Loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) return;
            std::shared_ptr<Batch> batch = m_queue.front();
            // A batch with every task handed out leaves the queue; its
            // caller waits for the tasks still running.
            if (batch->Next.load() >= batch->Count) {
                m_queue.pop_front();
                if (--m_running == 0) m_idle.notify_all();
                continue;
            }
            lock.unlock();
            batch->Work();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::shared_ptr<Batch>> m_queue;
    std::size_t m_running = 0;
    std::vector<std::thread> m_workers;
    bool m_stopping = false;
    std::atomic<std::chrono::microseconds> m_shareAfter{DefaultTaskShareAfter};
};

CTaskPool& Pool()
{
    static CTaskPool pool;
    return pool;
}

} // namespace

std::vector<std::exception_ptr> RunTasks(std::size_t count, const std::function<void(std::size_t)>& task)
{
    return Pool().Run(count, task);
}

void SetTaskWorkerCount(std::size_t count, std::chrono::microseconds shareAfter)
{
    Pool().Resize(count, shareAfter);
}

std::size_t GetTaskWorkerCount()
{
    return Pool().Size();
}

} // namespace Marevane::ComputerAI
