#include "audio/SystemLinux.h"

#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/GraphOutputAlsa.h"
#include "audio/Log.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace Daz {

namespace {

std::mutex g_overrideLock;
bool g_hasOverride = false;
OutputChoice g_override;

} // namespace

bool OutputChoice::parse(const char* text, OutputChoice& choice)
{
    choice = OutputChoice();
    if (!text || !*text || std::strcmp(text, "alsa") == 0) return true;
    if (std::strcmp(text, "dummy") == 0) {
        choice.kind = kDummy;
        return true;
    }
    if (std::strncmp(text, "alsa:", 5) == 0 && text[5] && std::strlen(text + 5) < sizeof choice.device) {
        std::strcpy(choice.device, text + 5);
        return true;
    }
    return false;
}

OutputChoice OutputChoice::current()
{
    {
        std::lock_guard<std::mutex> lock(g_overrideLock);
        if (g_hasOverride) return g_override;
    }
    OutputChoice choice;
    const char* text = std::getenv("MAREVANE_AUDIO_OUTPUT");
    if (!parse(text, choice))
        Log::warning("MAREVANE_AUDIO_OUTPUT \"%s\" names no output; using \"alsa\"", text);
    return choice;
}

void OutputChoice::setOverride(const OutputChoice* choice)
{
    std::lock_guard<std::mutex> lock(g_overrideLock);
    g_hasOverride = choice != nullptr;
    if (choice) g_override = *choice;
}

System* System::create(const CkConfig& config)
{
    return new (std::nothrow) SystemLinux(config);
}

SystemLinux::SystemLinux(const CkConfig& config) : System(config)
{
#if defined(__x86_64__) || defined(__i386__)
    m_simdSupported = __builtin_cpu_supports("sse2");
#endif
}

SystemLinux::~SystemLinux()
{
    delete m_pcm;
}

bool SystemLinux::startup()
{
    m_output = OutputChoice::current();
    const int blockFrames = GraphOutput::blockFramesFor(getConfig().audioUpdateMs);
    if (m_output.kind == OutputChoice::kAlsa) {
        const char* reason = "";
        m_pcm = AlsaPcm::open(m_output.device, blockFrames, &reason);
        if (!m_pcm) {
            // No sound card is no reason to stop the program: it runs on, silent.
            Log::warning("Could not open audio device \"%s\" (%s); using the dummy output", m_output.device,
                         reason);
            m_output.kind = OutputChoice::kDummy;
        }
    } else if (m_output.kind == OutputChoice::kDummy) {
        Log::info("using the dummy output; nothing will be heard");
    }
    return true;
}

GraphOutput* SystemLinux::createOutput(int blockFrames)
{
    GraphOutput* output = nullptr;
    switch (m_output.kind) {
    case OutputChoice::kAlsa:
        output = GraphOutputAlsa::create(m_pcm, blockFrames);
        m_pcm = nullptr;
        break;
    case OutputChoice::kDummy:
        output = GraphOutputDummy::create(blockFrames, false);
        break;
    case OutputChoice::kPumped:
        output = new GraphOutputPumped(blockFrames);
        break;
    }
    if (!output) return nullptr;
    if (const char* path = std::getenv("MAREVANE_AUDIO_CAPTURE")) {
        if (*path && output->openCapture(path)) Log::info("capturing the output to \"%s\"", path);
    }
    return output;
}

void SystemLinux::shutdown()
{
    delete m_pcm;
    m_pcm = nullptr;
}

void SystemLinux::platformSuspend()
{
    if (EngineGraph* graph = EngineGraph::get()) graph->stop();
}

void SystemLinux::platformResume()
{
    if (EngineGraph* graph = EngineGraph::get()) graph->start();
}

} // namespace Daz
