// The engine graph: the root mix node of the render graph, which every sound
// and bus without an output bus feeds. It owns the command queue, the global
// output effect bus and the output device, and exists while the engine runs.
#pragma once

#include "audio/AudioNode.h"
#include "audio/CommandQueue.h"

namespace Daz {

class EffectBus;
class GraphOutput;

class EngineGraph : public MixNode {
  public:
    // Built in storage of its own around `output` (which it takes over) and
    // started; null, with nothing left behind, when a part cannot be had.
    static EngineGraph* create(int maxAudioTasks, GraphOutput* output);
    // Stops the output if that has not happened, carries out what is still
    // queued and releases the graph.
    static void destroy();
    static EngineGraph* get() { return s_instance; }

    CommandQueue& getQueue() { return m_queue; }
    EffectBus* getGlobalBus() const { return m_globalBus; }
    GraphOutput* getOutput() const { return m_output; }
    bool rendersOnThread() const;

    bool start();
    // The output stops (its thread is joined), then the queued commands run.
    void stop();
    // The program's per-frame step: carries out the commands when no thread renders.
    void update();

  private:
    EngineGraph(int maxAudioTasks, GraphOutput* output);
    ~EngineGraph() override;
    static void drain(void* arg);

    EffectBus* m_globalBus;
    CommandQueue m_queue;
    GraphOutput* m_output;

    static EngineGraph* s_instance;
};

} // namespace Daz
