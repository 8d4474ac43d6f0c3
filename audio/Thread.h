// The engine's threads and timing: a named thread, a condition to wait on,
// a steady-clock timer and a moving average.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace Daz {

class Thread {
  public:
    typedef unsigned (*EntryFunc)(void* arg);

    // Every engine thread runs at the normal priority, 0.
    explicit Thread(EntryFunc entry, int priority = 0);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Joins first.
    ~Thread();

    // Shown by the system's thread tools; at most 15 characters are kept. Null: unnamed.
    void setName(const char* name);
    const char* getName() const { return m_name[0] ? m_name : nullptr; }

    // False when the thread could not be made; the wrapper then stays not running.
    bool start(void* arg);
    // Waits for the entry to return; at once when it does not run.
    void join();
    bool isRunning() const { return m_running.load(); }
    unsigned getResult() const { return m_result; }
    int getPriority() const { return m_priority; }

    static void sleepMs(int ms);

  private:
    static void run(Thread* self);

    EntryFunc m_entry;
    int m_priority;
    char m_name[16] = {};
    void* m_arg = nullptr;
    unsigned m_result = 0;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

// A condition that wakes one waiter; the waiter holds the outer lock around the wait.
class Condition {
  public:
    void wait(std::unique_lock<std::mutex>& lock) { m_condition.wait(lock); }
    // False when the time ran out first; like wait, it may also return early.
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline)
    {
        return m_condition.wait_until(lock, deadline) == std::cv_status::no_timeout;
    }
    void signal() { m_condition.notify_one(); }

  private:
    std::condition_variable m_condition;
};

// Accumulates the time it runs, on the steady clock.
class Timer {
  public:
    void start();
    void stop();
    // Clears the accumulated time; a running timer goes on from now.
    void reset();
    bool isRunning() const { return m_running; }
    float getElapsedMs() const;

  private:
    typedef std::chrono::steady_clock Clock;

    Clock::time_point m_start;
    Clock::duration m_accumulated{0};
    bool m_running = false;
};

// The mean of the last N values added.
template <int N> class MovingAverage {
  public:
    void add(float value)
    {
        if (m_count == N)
            m_sum -= m_values[m_index];
        else
            ++m_count;
        m_values[m_index] = value;
        m_sum += value;
        m_index = m_index + 1 == N ? 0 : m_index + 1;
    }
    float getAverage() const { return m_count ? m_sum / static_cast<float>(m_count) : 0.0f; }
    int getCount() const { return m_count; }
    void clear()
    {
        m_index = 0;
        m_count = 0;
        m_sum = 0.0f;
    }

  private:
    float m_values[N] = {};
    int m_index = 0;
    int m_count = 0;
    float m_sum = 0.0f;
};

} // namespace Daz
