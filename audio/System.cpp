#include "audio/System.h"

#include "audio/CommandQueue.h"
#include "audio/Deletable.h"
#include "audio/EngineGraph.h"
#include "audio/Log.h"
#include "audio/Sound.h"

namespace Daz {

System* System::s_instance = nullptr;

namespace {

const char* byteOrderWord()
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return "big-endian";
#else
    return "little-endian";
#endif
}

const char* buildWord()
{
#ifdef NDEBUG
    return "release";
#else
    return "debug";
#endif
}

} // namespace

System::System(const CkConfig& config) : m_config(config), m_allocator(config.allocFunc, config.freeFunc)
{
    // A lone function of the pair cannot serve: both or the C runtime's.
    Memory::setAllocator(config.allocFunc && config.freeFunc ? &m_allocator : nullptr);
    Log::info("%s %d-bit %s %s", "linux", static_cast<int>(sizeof(void*) * 8), buildWord(), byteOrderWord());
}

System::~System() = default;

void System::update()
{
    Sound::updateAll();
    if (EngineGraph* graph = EngineGraph::get()) graph->update();
    DeletionList::update();
}

bool System::rendersOnThread() const
{
    const EngineGraph* graph = EngineGraph::get();
    return graph && graph->rendersOnThread();
}

void System::suspend()
{
    platformSuspend();
    if (!m_suspended) m_suspended = true;
}

void System::resume()
{
    platformResume();
    if (m_suspended) m_suspended = false;
}

} // namespace Daz
