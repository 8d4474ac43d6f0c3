#include "audio/MixBuffer.h"

#include "audio/Memory.h"

namespace Daz {

MixBufferPool* MixBufferPool::s_instance = nullptr;

MixBuffer::MixBuffer(Entry* entry) : m_entry(entry)
{
    if (m_entry) ++m_entry->refs;
}

MixBuffer::MixBuffer(const MixBuffer& other) : MixBuffer(other.m_entry) {}

MixBuffer& MixBuffer::operator=(const MixBuffer& other)
{
    if (other.m_entry) ++other.m_entry->refs;
    release();
    m_entry = other.m_entry;
    return *this;
}

MixBuffer::MixBuffer(MixBuffer&& other) noexcept : m_entry(other.m_entry)
{
    other.m_entry = nullptr;
}

MixBuffer& MixBuffer::operator=(MixBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        m_entry = other.m_entry;
        other.m_entry = nullptr;
    }
    return *this;
}

void MixBuffer::release()
{
    if (!m_entry) return;
    Entry* entry = m_entry;
    m_entry = nullptr;
    if (--entry->refs == 0) entry->pool->giveBack(entry);
}

MixBufferPool::MixBufferPool(int capacity, int buffers) : m_capacity(capacity)
{
    for (int i = 0; i < buffers; ++i) {
        void* data = allocBuffer();
        if (!data) break;
        if (!lend(data)) {
            Memory::free(data);
            break;
        }
        m_all->owned = true;
    }
}

MixBufferPool::~MixBufferPool()
{
    while (MixBuffer::Entry* entry = m_all) {
        m_all = entry->nextAll;
        if (entry->owned) Memory::free(entry->data);
        delete entry;
    }
}

void* MixBufferPool::allocBuffer() const
{
    return Memory::allocAligned(sizeof(float) * static_cast<std::size_t>(m_capacity), 64);
}

MixBuffer MixBufferPool::acquire()
{
    MixBuffer::Entry* entry = m_free;
    if (!entry) return MixBuffer();
    m_free = entry->nextFree;
    entry->nextFree = nullptr;
    return MixBuffer(entry);
}

bool MixBufferPool::lend(void* buffer)
{
    MixBuffer::Entry* entry = new MixBuffer::Entry;
    if (!entry) return false;
    entry->data = buffer;
    entry->pool = this;
    entry->nextAll = m_all;
    m_all = entry;
    entry->nextFree = m_free;
    m_free = entry;
    return true;
}

void MixBufferPool::withdraw(void* buffer)
{
    for (MixBuffer::Entry** link = &m_all; *link; link = &(*link)->nextAll) {
        MixBuffer::Entry* entry = *link;
        if (entry->data != buffer || entry->owned) continue;
        *link = entry->nextAll;
        for (MixBuffer::Entry** free = &m_free; *free; free = &(*free)->nextFree) {
            if (*free == entry) {
                *free = entry->nextFree;
                break;
            }
        }
        delete entry;
        return;
    }
}

void MixBufferPool::giveBack(MixBuffer::Entry* entry)
{
    entry->nextFree = m_free;
    m_free = entry;
}

int MixBufferPool::getFreeCount() const
{
    int count = 0;
    for (const MixBuffer::Entry* entry = m_free; entry; entry = entry->nextFree) ++count;
    return count;
}

int MixBufferPool::getBufferCount() const
{
    int count = 0;
    for (const MixBuffer::Entry* entry = m_all; entry; entry = entry->nextAll) ++count;
    return count;
}

} // namespace Daz
