#include "audio/RingBuffer.h"

#include "audio/Memory.h"

#include <cstring>

namespace Daz {

RingBuffer::~RingBuffer()
{
    Memory::free(m_memory);
}

bool RingBuffer::allocate(int capacity)
{
    Memory::free(m_memory);
    m_memory = capacity > 0 ? static_cast<unsigned char*>(Memory::alloc(static_cast<std::size_t>(capacity)))
                            : nullptr;
    m_capacity = m_memory ? capacity : 0;
    clear();
    return m_memory != nullptr;
}

int RingBuffer::getFilled() const
{
    std::lock_guard<std::mutex> lock(m_countLock);
    return m_filled;
}

void RingBuffer::clear()
{
    std::lock_guard<std::mutex> lock(m_countLock);
    m_read = m_write = m_filled = 0;
}

int RingBuffer::take(unsigned char* out, int bytes)
{
    const int filled = getFilled();
    if (bytes > filled) bytes = filled;
    if (bytes <= 0) return 0;
    const int first = bytes < m_capacity - m_read ? bytes : m_capacity - m_read;
    if (out) {
        std::memcpy(out, m_memory + m_read, static_cast<std::size_t>(first));
        std::memcpy(out + first, m_memory, static_cast<std::size_t>(bytes - first));
    }
    m_read = (m_read + bytes) % m_capacity;
    std::lock_guard<std::mutex> lock(m_countLock);
    m_filled -= bytes;
    return bytes;
}

int RingBuffer::read(void* out, int bytes)
{
    return take(static_cast<unsigned char*>(out), bytes);
}

int RingBuffer::skip(int bytes)
{
    return take(nullptr, bytes);
}

int RingBuffer::getWriteSpan(unsigned char*& span) const
{
    const int free = m_capacity - getFilled();
    span = m_memory + m_write;
    return free < m_capacity - m_write ? free : m_capacity - m_write;
}

void RingBuffer::commitWrite(int bytes)
{
    if (bytes <= 0) return;
    m_write = (m_write + bytes) % m_capacity;
    std::lock_guard<std::mutex> lock(m_countLock);
    m_filled += bytes;
}

} // namespace Daz
