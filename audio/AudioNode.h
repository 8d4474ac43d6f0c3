// The render graph: nodes that the output pulls a block at a time, and the
// mix nodes that sum their inputs. Nodes are changed only by commands that
// the render thread carries out between blocks.
#pragma once

#include "audio/Allocatable.h"
#include "audio/CommandQueue.h"
#include "audio/Kernels.h"
#include "audio/MixBuffer.h"

namespace Daz {

class MixNode;
class Timer;

// What every node reads while it renders; set up at start-up (or by a test).
struct RenderContext {
    MixBufferPool* pool = nullptr;
    const Kernels<float>* floatKernels = &plainFloatKernels();
    const Kernels<Fixed>* fixedKernels = &plainFixedKernels();
    bool fixedPoint = false;
    // Render time one output callback may take before mix nodes drop inputs.
    float budgetMs = 4.0f;
    // The timer of the callback rendering now; null: no budget is kept.
    const Timer* renderTimer = nullptr;

    static RenderContext& get();
    // The plain or SSE2 kernels of both pipelines.
    void useKernels(bool simd);
    template <typename S> const Kernels<S>& kernels() const;
};

template <> inline const Kernels<float>& RenderContext::kernels<float>() const
{
    return *floatKernels;
}
template <> inline const Kernels<Fixed>& RenderContext::kernels<Fixed>() const
{
    return *fixedKernels;
}

// A node of the render graph. Rendering gives a stereo block of `frames`
// frames in a pool buffer, or an empty handle when the node produced nothing.
// `followUp` is false for the main pass of a block; in a follow-up pass only
// source nodes with a pending start offset produce sound. A source node sets
// `followUpDue` when a chained sound must still be rendered in this block.
class AudioNode : public CommandObject, public Allocatable {
  public:
    ~AudioNode() override;
    void execute(int, CommandArg, CommandArg) override {}
    virtual MixBuffer render(int frames, bool followUp, bool& followUpDue) = 0;
    virtual MixBuffer renderFixed(int frames, bool followUp, bool& followUpDue) = 0;

    template <typename S> MixBuffer renderAs(int frames, bool followUp, bool& followUpDue);

    // The mix node this node is an input of, if any.
    MixNode* getOutputMix() const { return m_outputMix; }

  private:
    friend class MixNode;
    MixNode* m_outputMix = nullptr;
    AudioNode* m_prevInput = nullptr;
    AudioNode* m_nextInput = nullptr;
};

template <> inline MixBuffer AudioNode::renderAs<float>(int frames, bool followUp, bool& followUpDue)
{
    return render(frames, followUp, followUpDue);
}
template <> inline MixBuffer AudioNode::renderAs<Fixed>(int frames, bool followUp, bool& followUpDue)
{
    return renderFixed(frames, followUp, followUpDue);
}

// Sums its inputs, newest first. Its own buffer joins the pool at its first
// render, so that each level of the graph has a buffer to sum into.
class MixNode : public AudioNode {
  public:
    enum Command {
        kAddInput = 0,       // AudioNode*: to the front; one already listed moves there
        kRemoveInput = 1,    // AudioNode*
        kWithdrawBuffer = 2, // before the node is destroyed
    };

    MixNode();
    // Leaves its own output, drops its inputs and takes its buffer back from the pool.
    ~MixNode() override;

    void execute(int command, CommandArg first, CommandArg second) override;
    MixBuffer render(int frames, bool followUp, bool& followUpDue) override;
    MixBuffer renderFixed(int frames, bool followUp, bool& followUpDue) override;

    // The command's work, for the render thread (or before rendering starts).
    void addInput(AudioNode* input);
    void removeInput(AudioNode* input);
    void withdrawBuffer();

    AudioNode* getFirstInput() const { return m_firstInput; }
    static AudioNode* getNextInput(const AudioNode* input) { return input->m_nextInput; }
    int getInputCount() const;
    bool isBufferLent() const { return m_lent; }

  private:
    template <typename S> MixBuffer mix(int frames, bool followUp, bool& followUpDue);
    bool isOverBudget() const;

    AudioNode* m_firstInput = nullptr;
    void* m_buffer = nullptr;
    bool m_lent = false;
};

} // namespace Daz
