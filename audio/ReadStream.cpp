#include "audio/ReadStream.h"

#include "audio/FileStream.h"

#include <atomic>
#include <new>

namespace Daz {

namespace {

// Installed before any stream reads; the stream threads only look it up.
std::atomic<CkCustomFileFunc> g_handlerFunc{nullptr};
std::atomic<void*> g_handlerData{nullptr};

CkCustomFile* openCustom(const char* resolvedPath)
{
    const CkCustomFileFunc func = g_handlerFunc.load();
    return func ? func(resolvedPath, g_handlerData.load()) : nullptr;
}

} // namespace

void setCustomFileHandler(CkCustomFileFunc func, void* data)
{
    g_handlerData = data;
    g_handlerFunc = func;
}

int CustomStream::read(void* buffer, int bytes)
{
    if (!isValid() || bytes <= 0) return 0;
    return m_file->read(buffer, bytes);
}

void CustomStream::setPos(int pos)
{
    if (m_file) m_file->setPos(pos);
}

void CustomStream::close()
{
    delete m_file;
    m_file = nullptr;
}

ReadStream::ReadStream(const char* path, int pathType) : m_path(path, pathType)
{
    if (CkCustomFile* custom = openCustom(m_path.getBuffer())) {
        m_stream = new (m_storage) CustomStream(custom);
    } else {
        m_stream = new (m_storage) FileStream(m_path.getBuffer(), FileStream::kRead);
    }
}

ReadStream::~ReadStream()
{
    m_stream->~BinaryStream();
}

int getFileSize(const char* path, int pathType)
{
    const Path resolved(path, pathType);
    if (CkCustomFile* custom = openCustom(resolved.getBuffer())) {
        CustomStream stream(custom);
        return stream.getSize();
    }
    return FileStream::getFileSize(resolved.getBuffer());
}

bool fileExists(const char* path, int pathType)
{
    return getFileSize(path, pathType) >= 0;
}

} // namespace Daz
