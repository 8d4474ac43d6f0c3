#include "audio/StreamFileThread.h"

#include <cmath>

namespace Daz {

namespace {

std::mutex g_listLock;
StreamListMember* g_first = nullptr;
StreamListMember* g_last = nullptr;
int g_count = 0;

} // namespace

void StreamList::add(StreamListMember* member)
{
    std::lock_guard<std::mutex> lock(g_listLock);
    if (!member || member->m_listed) return;
    member->m_prevStream = g_last;
    member->m_nextStream = nullptr;
    if (g_last)
        g_last->m_nextStream = member;
    else
        g_first = member;
    g_last = member;
    member->m_listed = true;
    ++g_count;
}

void StreamList::remove(StreamListMember* member)
{
    std::lock_guard<std::mutex> lock(g_listLock);
    if (!member || !member->m_listed) return;
    if (member->m_prevStream)
        member->m_prevStream->m_nextStream = member->m_nextStream;
    else
        g_first = member->m_nextStream;
    if (member->m_nextStream)
        member->m_nextStream->m_prevStream = member->m_prevStream;
    else
        g_last = member->m_prevStream;
    member->m_prevStream = member->m_nextStream = nullptr;
    member->m_listed = false;
    --g_count;
}

void StreamList::fileUpdateAll()
{
    std::lock_guard<std::mutex> lock(g_listLock);
    for (StreamListMember* member = g_first; member; member = member->m_nextStream) member->fileUpdate();
}

int StreamList::getCount()
{
    std::lock_guard<std::mutex> lock(g_listLock);
    return g_count;
}

std::mutex& StreamList::getLock()
{
    return g_listLock;
}

int StreamFileThread::periodFor(float periodMs)
{
    const float rounded = std::round(periodMs);
    return rounded > 0.0f ? static_cast<int>(rounded) : 0;
}

StreamFileThread::StreamFileThread(float periodMs)
    : m_thread(&StreamFileThread::threadEntry), m_periodMs(periodFor(periodMs))
{
    m_thread.setName("CK stream file");
}

StreamFileThread::~StreamFileThread()
{
    stop();
}

void StreamFileThread::start()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = false;
    }
    m_thread.start(this);
}

void StreamFileThread::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.signal();
    m_thread.join();
}

int StreamFileThread::getPassCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_passes;
}

unsigned StreamFileThread::threadEntry(void* arg)
{
    static_cast<StreamFileThread*>(arg)->run();
    return 0;
}

void StreamFileThread::run()
{
    for (;;) {
        StreamList::fileUpdateAll();
        std::unique_lock<std::mutex> lock(m_lock);
        ++m_passes;
        // The pause is a wait, so that a stop need not sit out a whole period.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_periodMs);
        while (!m_stop && std::chrono::steady_clock::now() < deadline) m_wake.waitUntil(lock, deadline);
        if (m_stop) return;
    }
}

} // namespace Daz
