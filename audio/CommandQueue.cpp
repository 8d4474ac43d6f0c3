#include "audio/CommandQueue.h"

#include "audio/Deletable.h"
#include "audio/Log.h"
#include "audio/Memory.h"

#include <cstring>

namespace Daz {

CommandQueue* CommandQueue::s_instance = nullptr;

CommandQueue::CommandQueue(int capacity) : m_capacity(capacity < 2 ? 2 : capacity)
{
    m_ring = static_cast<Entry*>(Memory::allocAligned(sizeof(Entry) * m_capacity, alignof(Entry)));
}

CommandQueue::~CommandQueue()
{
    Memory::free(m_ring);
}

void CommandQueue::postCommand(CommandObject* object, int command, CommandArg first, CommandArg second)
{
    Entry entry;
    entry.kind = kCall;
    entry.target = object;
    entry.command = command;
    entry.first = first;
    entry.second = second;
    post(entry);
}

void CommandQueue::postFree(void* memory)
{
    Entry entry;
    entry.kind = kFree;
    entry.memory = memory;
    entry.command = 0;
    post(entry);
}

void CommandQueue::postDestroy(Deletable* object)
{
    Entry entry;
    entry.kind = kDestroy;
    entry.deletable = object;
    entry.command = 0;
    post(entry);
}

void CommandQueue::post(const Entry& entry)
{
    int grownTo = 0;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (!m_ring) {
            Log::error("out of memory!");
            return;
        }
        int next = m_write + 1 == m_capacity ? 0 : m_write + 1;
        if (next == m_read) {
            // Full: one ring of twice the size, the held entries moved to its start in order.
            const int capacity = m_capacity * 2;
            Entry* ring = static_cast<Entry*>(Memory::allocAligned(sizeof(Entry) * capacity, alignof(Entry)));
            if (!ring) return; // the allocation has logged it; the command is lost
            int count;
            if (m_read <= m_write) {
                count = m_write - m_read;
                std::memcpy(ring, m_ring + m_read, sizeof(Entry) * count);
            } else {
                const int tail = m_capacity - m_read;
                std::memcpy(ring, m_ring + m_read, sizeof(Entry) * tail);
                std::memcpy(ring + tail, m_ring, sizeof(Entry) * m_write);
                count = tail + m_write;
            }
            Memory::free(m_ring);
            m_ring = ring;
            m_read = 0;
            m_write = count;
            m_capacity = capacity;
            next = m_write + 1 == m_capacity ? 0 : m_write + 1;
            grownTo = capacity;
        }
        m_ring[m_write] = entry;
        m_write = next;
    }
    if (grownTo) {
        Log::warning(
            "Reallocating audio task buffer to size %d; consider increasing CkConfig.maxAudioTasks at "
            "startup.",
            grownTo);
    }
}

void CommandQueue::processAudioCommands()
{
    if (!m_audioLock.try_lock()) {
        Log::warning("Audio thread could not aquire lock; did you call CkLockAudio() but forget to call "
                     "CkUnlockAudio()?");
        return;
    }
    runQueued();
    m_audioLock.unlock();
}

void CommandQueue::processAudioCommandsWaiting()
{
    std::lock_guard<std::recursive_mutex> lock(m_audioLock);
    runQueued();
}

void CommandQueue::runQueued()
{
    for (;;) {
        Entry entry;
        {
            std::lock_guard<std::mutex> lock(m_queueLock);
            if (!m_ring || m_read == m_write) break;
            entry = m_ring[m_read];
            m_read = m_read + 1 == m_capacity ? 0 : m_read + 1;
        }
        // Outside the queue lock, so that a command may queue further commands.
        switch (entry.kind) {
        case kCall:
            if (entry.target) entry.target->execute(entry.command, entry.first, entry.second);
            break;
        case kFree:
            Memory::free(entry.memory);
            break;
        case kDestroy:
            DeletionList::add(entry.deletable);
            break;
        default:
            break;
        }
    }
}

int CommandQueue::getCapacity() const
{
    std::lock_guard<std::mutex> lock(m_queueLock);
    return m_capacity;
}

int CommandQueue::getCount() const
{
    std::lock_guard<std::mutex> lock(m_queueLock);
    return m_write >= m_read ? m_write - m_read : m_capacity - m_read + m_write;
}

} // namespace Daz
