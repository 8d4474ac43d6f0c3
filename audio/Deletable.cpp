#include "audio/Deletable.h"

#include "audio/Log.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace Daz {

namespace {

std::mutex g_mutex;
Deletable* g_first = nullptr;

} // namespace

void DeletionList::add(Deletable* object)
{
    if (!object) return;
    std::lock_guard<std::mutex> lock(g_mutex);
    object->m_nextDeleted = g_first;
    g_first = object;
}

void DeletionList::update()
{
    Deletable* ready = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        Deletable** link = &g_first;
        while (Deletable* object = *link) {
            if (object->isReadyToDelete()) {
                *link = object->m_nextDeleted;
                object->m_nextDeleted = ready;
                ready = object;
            } else {
                link = &object->m_nextDeleted;
            }
        }
    }
    // Destructors run outside the lock: they may queue further deletions.
    while (ready) {
        Deletable* next = ready->m_nextDeleted;
        delete ready;
        ready = next;
    }
}

void DeletionList::drain(int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        update();
        const int left = getCount();
        if (left == 0) return;
        if (std::chrono::steady_clock::now() >= deadline) {
            // An object that never lets go must not hold up the program's exit.
            Log::warning("%d engine objects were still in use at shutdown; deleting them", left);
            Deletable* object;
            {
                std::lock_guard<std::mutex> lock(g_mutex);
                object = g_first;
                g_first = nullptr;
            }
            while (object) {
                Deletable* next = object->m_nextDeleted;
                delete object;
                object = next;
            }
            // Their destructors may have listed more.
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

int DeletionList::getCount()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    int count = 0;
    for (Deletable* object = g_first; object; object = object->m_nextDeleted) ++count;
    return count;
}

} // namespace Daz
