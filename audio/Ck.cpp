#include "audio/Ck.h"

#include "audio/AsyncLoader.h"
#include "audio/AudioNode.h"
#include "audio/Deletable.h"
#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/Log.h"
#include "audio/Memory.h"
#include "audio/MixBuffer.h"
#include "audio/Mixer.h"
#include "audio/StreamFileThread.h"
#include "audio/System.h"

#include <atomic>
#include <cstdio>
#include <new>

using Daz::Log;
using Daz::System;

namespace {

constexpr float kDefaultAudioUpdateMs = 5.0f;
constexpr float kDefaultStreamBufferMs = 500.0f;
constexpr float kDefaultStreamFileUpdateMs = 100.0f;
constexpr int kDefaultMaxAudioTasks = 500;
constexpr int kMinAudioTasks = 10;
constexpr int kDefaultPipeline = 2;

// Written by the program's thread, read by the render thread: a lone 32-bit value.
std::atomic<float> g_volumeRampMs{40.0f};

void validate(CkConfig& config)
{
    if (!(config.audioUpdateMs > 0.0f)) {
        Log::error("Config.audioUpdateMs set to invalid value (%f); setting to default (%f) instead.",
                   static_cast<double>(config.audioUpdateMs), static_cast<double>(kDefaultAudioUpdateMs));
        config.audioUpdateMs = kDefaultAudioUpdateMs;
    }
    if (!(config.streamBufferMs > 0.0f)) {
        Log::error("Config.streamBufferMs set to invalid value (%f); setting to default (%f) instead.",
                   static_cast<double>(config.streamBufferMs), static_cast<double>(kDefaultStreamBufferMs));
        config.streamBufferMs = kDefaultStreamBufferMs;
    }
    if (!(config.streamFileUpdateMs > 0.0f)) {
        Log::error("Config.streamFileUpdateMs set to invalid value (%f); setting to default (%f) instead.",
                   static_cast<double>(config.streamFileUpdateMs),
                   static_cast<double>(kDefaultStreamFileUpdateMs));
        config.streamFileUpdateMs = kDefaultStreamFileUpdateMs;
    }
    if (config.maxAudioTasks < kMinAudioTasks) {
        Log::error("Config.maxAudioTasks set to invalid value (%d); setting to default (%d) instead.",
                   config.maxAudioTasks, kDefaultMaxAudioTasks);
        config.maxAudioTasks = kDefaultMaxAudioTasks;
    }
}

// The engine-wide parts that start-up brings up beside the system object.
struct EngineParts {
    Daz::StreamFileThread* streamThread = nullptr;
    Daz::MixBufferPool* pool = nullptr;
    Daz::AsyncLoader* loader = nullptr;
};
EngineParts g_parts;

// Brings up, in order, the stream file thread, the mix buffer pool, the
// render graph with its output, the master mixer and the asynchronous loader.
bool startEngine(System& system, const CkConfig& config)
{
    g_parts.streamThread = new (std::nothrow) Daz::StreamFileThread(config.streamFileUpdateMs);
    if (!g_parts.streamThread) return false;
    g_parts.streamThread->start();

    Daz::RenderContext& context = Daz::RenderContext::get();
    context.fixedPoint = system.getFixedPoint() != 0;
    context.useKernels(system.isSimdSupported());
    context.budgetMs = config.renderLoadLimit * config.audioUpdateMs;
    int poolFrames =
        static_cast<int>(static_cast<float>(System::kSampleRate) * config.audioUpdateMs * 0.001f);
    if (poolFrames < 1) poolFrames = 1;
    g_parts.pool = new (std::nothrow) Daz::MixBufferPool(4 * poolFrames, 2);
    if (!g_parts.pool) return false;
    Daz::MixBufferPool::setInstance(g_parts.pool);
    context.pool = g_parts.pool;

    Daz::GraphOutput* output = system.createOutput(Daz::GraphOutput::blockFramesFor(config.audioUpdateMs));
    if (!Daz::EngineGraph::create(config.maxAudioTasks, output)) return false;
    Daz::Mixer::createMaster();

    g_parts.loader = new Daz::AsyncLoader;
    if (!g_parts.loader) return false;
    g_parts.loader->start();
    Daz::AsyncLoader::setInstance(g_parts.loader);
    return true;
}

// Stops what start-up brought up, in reverse; safe on a half-started engine.
void stopEngine()
{
    System* system = System::get();
    if (!system) return;
    Log::info("audio engine shutting down");
    Daz::AsyncLoader::setInstance(nullptr);
    delete g_parts.loader;
    g_parts.loader = nullptr;
    // Sounds moved off the master may still post; the drain below carries that out.
    Daz::Mixer::destroyMaster();
    if (Daz::EngineGraph* graph = Daz::EngineGraph::get()) {
        // The render thread is joined first, so the last commands run here.
        graph->stop();
        Daz::DeletionList::drain();
        Daz::EngineGraph::destroy();
    }
    Daz::DeletionList::drain();
    Daz::RenderContext::get().pool = nullptr;
    Daz::MixBufferPool::setInstance(nullptr);
    delete g_parts.pool;
    g_parts.pool = nullptr;
    system->shutdown();
    delete g_parts.streamThread;
    g_parts.streamThread = nullptr;
    System::setInstance(nullptr);
    delete system;
    Daz::Memory::setAllocator(nullptr);
    std::fflush(stdout);
}

} // namespace

CkConfig::CkConfig()
    : allocFunc(nullptr), freeFunc(nullptr), logMask(kCkLog_All), logFunc(nullptr),
      audioUpdateMs(kDefaultAudioUpdateMs), streamBufferMs(kDefaultStreamBufferMs),
      streamFileUpdateMs(kDefaultStreamFileUpdateMs), maxAudioTasks(kDefaultMaxAudioTasks),
      renderLoadLimit(0.8f), pipeline(kDefaultPipeline)
{
}

int CkInit(CkConfig* config)
{
    if (System::get()) return 1;
    CkConfig defaults;
    // A null record starts the engine with the defaults rather than crashing.
    if (!config) config = &defaults;

    std::fputs("Marevane audio engine starting\n", stdout);
    Log::set(config->logMask, config->logFunc);
    validate(*config);

    System* system = System::create(*config);
    if (!system) {
        Log::error("CkInit FAILED!");
        return 0;
    }
    System::setInstance(system);

    system->setFixedPoint(config->pipeline == kDefaultPipeline ? 0 : config->pipeline);
    Log::info("using %s pipeline %s", system->getFixedPoint() ? "fixed-point" : "floating-point",
              config->pipeline != kDefaultPipeline ? "(overriding default)" : "");
    Log::info("SIMD %s", system->isSimdSupported() ? "enabled" : "not supported");

    system->setQuiet(false);
    const bool ok = system->startup() && startEngine(*system, *config);
    if (!ok) {
        Log::error("CkInit FAILED!");
        stopEngine();
        return 0;
    }
    return 1;
}

void CkShutdown()
{
    stopEngine();
}

void CkUpdate()
{
    if (System* system = System::get()) {
        system->update();
        return;
    }
    Log::error("You must call CkInit() before calling CkUpdate()!");
}

void CkSuspend()
{
    if (System* system = System::get()) {
        system->suspend();
        return;
    }
    Log::error("You must call CkInit() before calling CkSuspend()!");
}

void CkResume()
{
    if (System* system = System::get()) {
        system->resume();
        return;
    }
    Log::error("You must call CkInit() before calling CkResume()!");
}

float CkGetVolumeRampMs()
{
    return g_volumeRampMs.load(std::memory_order_relaxed);
}

void CkSetVolumeRampMs(float ms)
{
    g_volumeRampMs.store(ms, std::memory_order_relaxed);
}
