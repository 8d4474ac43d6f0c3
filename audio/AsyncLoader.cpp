#include "audio/AsyncLoader.h"

#include "audio/ReadStream.h"

namespace Daz {

AsyncLoader* AsyncLoader::s_instance = nullptr;

AsyncLoader::AsyncLoader() : m_thread(&AsyncLoader::threadEntry)
{
    m_thread.setName("CK async loader");
}

AsyncLoader::~AsyncLoader()
{
    stop();
}

void AsyncLoader::start()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = false;
    }
    m_thread.start(this);
}

void AsyncLoader::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_condition.signal();
    m_thread.join();
    while (Request* request = popFront()) delete request;
}

bool AsyncLoader::load(const char* path, int pathType, int offset, int bytes, void* buffer, Callback callback,
                       void* user)
{
    Request* request = new Request;
    if (!request) return false;
    request->path.set(path);
    request->pathType = pathType;
    request->callback = callback;
    request->user = user;
    request->buffer = buffer;
    request->offset = offset;
    request->bytes = bytes;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        request->prev = m_tail;
        if (m_tail)
            m_tail->next = request;
        else
            m_head = request;
        m_tail = request;
        ++m_count;
    }
    m_condition.signal();
    return true;
}

int AsyncLoader::getQueuedCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count;
}

unsigned AsyncLoader::threadEntry(void* arg)
{
    static_cast<AsyncLoader*>(arg)->run();
    return 0;
}

void AsyncLoader::run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_lock);
            while (!m_stop && !m_head) m_condition.wait(lock);
            // A stop drops what is still queued rather than reading it first.
            if (m_stop) return;
        }
        // Only this thread takes requests while it runs; the file is read
        // outside the lock, so that queuing never waits for a disk.
        if (Request* request = popFront()) {
            serve(*request);
            delete request;
        }
    }
}

AsyncLoader::Request* AsyncLoader::popFront()
{
    std::lock_guard<std::mutex> lock(m_lock);
    Request* request = m_head;
    if (!request) return nullptr;
    m_head = request->next;
    if (m_head)
        m_head->prev = nullptr;
    else
        m_tail = nullptr;
    --m_count;
    return request;
}

void AsyncLoader::serve(const Request& request)
{
    ReadStream stream(request.path.getBuffer(), request.pathType);
    bool success = false;
    if (stream.isValid()) {
        stream.setPos(request.offset);
        success = stream.read(request.buffer, request.bytes) == request.bytes;
    }
    if (request.callback) request.callback(success, request.user);
}

} // namespace Daz
