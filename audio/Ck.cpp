#include "audio/Ck.h"

#include "audio/CommandQueue.h"
#include "audio/Deletable.h"
#include "audio/Log.h"
#include "audio/Memory.h"
#include "audio/Mixer.h"
#include "audio/System.h"

#include <atomic>
#include <cstdio>
#include <new>

using Daz::CommandQueue;
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

// Stops what start-up brought up, in reverse; safe on a half-started engine.
void stopEngine()
{
    System* system = System::get();
    if (!system) return;
    Log::info("audio engine shutting down");
    // Sounds moved off the master may still post; the drain below carries that out.
    Daz::Mixer::destroyMaster();
    if (CommandQueue* queue = CommandQueue::get()) {
        // The output is stopped first, so the last commands run here.
        system->shutdown();
        queue->processAudioCommands();
        Daz::DeletionList::drain();
        CommandQueue::setInstance(nullptr);
        delete queue;
    } else {
        system->shutdown();
    }
    Daz::DeletionList::drain();
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
    bool ok = system->startup();
    if (ok) {
        // The mix buffer pool and the render graph join the start-up once they exist;
        // for now the command queue stands alone.
        CommandQueue* queue = new (std::nothrow) CommandQueue(config->maxAudioTasks);
        if (queue && queue->isValid()) {
            CommandQueue::setInstance(queue);
            Daz::Mixer::createMaster();
        } else {
            delete queue;
            ok = false;
        }
    }
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
