#include "audio/Thread.h"

#include "audio/Log.h"

#include <cstring>
#include <pthread.h>
#include <system_error>

namespace Daz {

Thread::Thread(EntryFunc entry, int priority) : m_entry(entry), m_priority(priority) {}

Thread::~Thread()
{
    join();
}

void Thread::setName(const char* name)
{
    std::memset(m_name, 0, sizeof m_name);
    if (name) std::strncpy(m_name, name, sizeof m_name - 1);
}

bool Thread::start(void* arg)
{
    join();
    m_arg = arg;
    m_running = true;
    try {
        m_thread = std::thread(&Thread::run, this);
    } catch (const std::system_error& error) {
        m_running = false;
        Log::error("Could not start thread %s: %s", m_name, error.what());
        return false;
    }
    // Named from here, so the name shows as soon as start returns.
    if (m_name[0]) pthread_setname_np(m_thread.native_handle(), m_name);
    return true;
}

void Thread::join()
{
    if (m_thread.joinable()) m_thread.join();
}

void Thread::run(Thread* self)
{
    unsigned result = 0;
    try {
        result = self->m_entry(self->m_arg);
    } catch (...) {
        // Nothing may leave an engine thread; the entry's work simply ends.
        Log::error("Thread %s ended on an exception", self->m_name);
    }
    self->m_result = result;
    self->m_running = false;
}

void Thread::sleepMs(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Timer::start()
{
    if (m_running) return;
    m_start = Clock::now();
    m_running = true;
}

void Timer::stop()
{
    if (!m_running) return;
    m_accumulated += Clock::now() - m_start;
    m_running = false;
}

void Timer::reset()
{
    m_accumulated = Clock::duration(0);
    if (m_running) m_start = Clock::now();
}

float Timer::getElapsedMs() const
{
    Clock::duration total = m_accumulated;
    if (m_running) total += Clock::now() - m_start;
    return std::chrono::duration<float, std::milli>(total).count();
}

} // namespace Daz
