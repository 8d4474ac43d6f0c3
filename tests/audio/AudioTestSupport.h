// Helpers of the engine tests: waiting on a condition, the names of this
// process's threads, and an engine that renders to a pumped output.
#pragma once

#include "audio/Ck.h"
#include "audio/CommandQueue.h"
#include "audio/Log.h"
#include "audio/SourceNode.h"
#include "audio/SystemLinux.h"

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// Polls `condition` for at most `seconds`; false when it never held.
template <typename F> bool waitFor(F condition, double seconds = 5.0)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The names of this process's threads as the system shows them.
inline std::vector<std::string> threadNames()
{
    std::vector<std::string> names;
    DIR* dir = opendir("/proc/self/task");
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        names.push_back(name);
    }
    closedir(dir);
    return names;
}

inline bool hasThread(const std::string& name)
{
    for (const std::string& n : threadNames())
        if (n == name) return true;
    return false;
}

// Start-ups render to a pumped output: no render thread, never the sound card.
inline void usePumpedOutput()
{
    Daz::OutputChoice pumped;
    pumped.kind = Daz::OutputChoice::kPumped;
    Daz::OutputChoice::setOverride(&pumped);
}

// The engine on a pumped output, its log lines going to the current sink.
inline bool startPumpedEngine(CkConfig config = CkConfig())
{
    usePumpedOutput();
    config.logFunc = Daz::Log::getFunc();
    return CkInit(&config) != 0;
}

inline void stopPumpedEngine()
{
    CkShutdown();
    Daz::OutputChoice::setOverride(nullptr);
}

// Queues what a sound sends to start its node playing `decoder` into `output`
// at the given gains, as a running engine's render side will carry it out.
inline void postPlay(Daz::SourceNode& node, Daz::Decoder* decoder, Daz::MixNode* output,
                     const float gains[4] = nullptr)
{
    Daz::CommandQueue* queue = Daz::CommandQueue::get();
    queue->postCommand(&node, Daz::SourceNode::kSetDecoder, decoder);
    queue->postCommand(&node, Daz::SourceNode::kSetOutput, output);
    if (gains) {
        queue->postCommand(&node, Daz::SourceNode::kSetGains12, gains[0], gains[1]);
        queue->postCommand(&node, Daz::SourceNode::kSetGains34, gains[2], gains[3]);
    }
    queue->postCommand(&node, Daz::SourceNode::kSetPlayState, 1);
    queue->postCommand(&node, Daz::SourceNode::kAttach);
}
