#include "audio/SystemLinux.h"

#include "audio/CommandQueue.h"

#include <new>

namespace Daz {

System* System::create(const CkConfig& config)
{
    return new (std::nothrow) SystemLinux(config);
}

SystemLinux::SystemLinux(const CkConfig& config) : System(config)
{
#if defined(__SSE2__) || defined(__ARM_NEON)
    m_simdSupported = true;
#endif
}

bool SystemLinux::startup()
{
    // Only the dummy output exists so far; the device choice, the stream
    // file thread and the asynchronous loader join here once they are built.
    m_outputRunning = true;
    return true;
}

void SystemLinux::shutdown()
{
    m_outputRunning = false;
}

void SystemLinux::platformSuspend()
{
    m_outputRunning = false;
    if (CommandQueue* queue = CommandQueue::get()) queue->processAudioCommands();
}

void SystemLinux::platformResume()
{
    m_outputRunning = true;
}

} // namespace Daz
