#include "audio/Deletable.h"

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

void DeletionList::drain()
{
    for (;;) {
        update();
        if (getCount() == 0) return;
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
