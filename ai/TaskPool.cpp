#include "ai/TaskPool.h"

#include <algorithm>
#include <atomic>
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

    // Runs tasks of this batch until none is left to take.
    void Work()
    {
        for (std::size_t i = Next.fetch_add(1); i < Count; i = Next.fetch_add(1)) {
            try {
                (*Task)(i);
            } catch (...) {
                Errors[i] = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(Mutex);
            if (++Done == Count) Finished.notify_all();
        }
    }
};

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
        if (count > 1) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_workers.empty()) {
                m_queue.push_back(batch);
                ++m_running;
                m_wake.notify_all();
            }
        }
        batch->Work();
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

    void Resize(std::size_t count)
    {
        Stop();
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

void SetTaskWorkerCount(std::size_t count)
{
    Pool().Resize(count);
}

std::size_t GetTaskWorkerCount()
{
    return Pool().Size();
}

} // namespace Marevane::ComputerAI
