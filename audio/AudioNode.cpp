#include "audio/AudioNode.h"

#include "audio/Log.h"
#include "audio/Thread.h"

#include <atomic>
#include <chrono>

namespace Daz {

namespace {

// The budget warning is written at most this often.
constexpr auto kBudgetWarningPeriod = std::chrono::milliseconds(500);
std::atomic<std::int64_t> g_lastBudgetWarning{INT64_MIN / 2};

} // namespace

RenderContext& RenderContext::get()
{
    static RenderContext context;
    return context;
}

void RenderContext::useKernels(bool simd)
{
    floatKernels = simd ? &simdFloatKernels() : &plainFloatKernels();
    fixedKernels = simd ? &simdFixedKernels() : &plainFixedKernels();
}

AudioNode::~AudioNode()
{
    if (m_outputMix) m_outputMix->removeInput(this);
}

MixNode::MixNode()
{
    if (MixBufferPool* pool = RenderContext::get().pool) m_buffer = pool->allocBuffer();
}

MixNode::~MixNode()
{
    while (m_firstInput) removeInput(m_firstInput);
    // Normally withdrawn by command before the node goes; at shutdown nothing renders any more.
    withdrawBuffer();
    Memory::free(m_buffer);
}

void MixNode::execute(int command, CommandArg first, CommandArg)
{
    switch (command) {
    case kAddInput:
        addInput(first.to<AudioNode>());
        break;
    case kRemoveInput:
        removeInput(first.to<AudioNode>());
        break;
    case kWithdrawBuffer:
        withdrawBuffer();
        break;
    default:
        break;
    }
}

void MixNode::addInput(AudioNode* input)
{
    if (!input || input == this) return;
    if (input->m_outputMix) input->m_outputMix->removeInput(input);
    input->m_outputMix = this;
    input->m_prevInput = nullptr;
    input->m_nextInput = m_firstInput;
    if (m_firstInput) m_firstInput->m_prevInput = input;
    m_firstInput = input;
}

void MixNode::removeInput(AudioNode* input)
{
    if (!input || input->m_outputMix != this) return;
    if (input->m_prevInput)
        input->m_prevInput->m_nextInput = input->m_nextInput;
    else
        m_firstInput = input->m_nextInput;
    if (input->m_nextInput) input->m_nextInput->m_prevInput = input->m_prevInput;
    input->m_outputMix = nullptr;
    input->m_prevInput = nullptr;
    input->m_nextInput = nullptr;
}

void MixNode::withdrawBuffer()
{
    if (!m_lent) return;
    if (MixBufferPool* pool = RenderContext::get().pool) pool->withdraw(m_buffer);
    m_lent = false;
}

int MixNode::getInputCount() const
{
    int count = 0;
    for (const AudioNode* input = m_firstInput; input; input = input->m_nextInput) ++count;
    return count;
}

MixBuffer MixNode::render(int frames, bool followUp, bool& followUpDue)
{
    return mix<float>(frames, followUp, followUpDue);
}

MixBuffer MixNode::renderFixed(int frames, bool followUp, bool& followUpDue)
{
    return mix<Fixed>(frames, followUp, followUpDue);
}

bool MixNode::isOverBudget() const
{
    const RenderContext& context = RenderContext::get();
    if (!context.renderTimer) return false;
    const float elapsed = context.renderTimer->getElapsedMs();
    if (elapsed <= context.budgetMs) return false;
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    if (now - g_lastBudgetWarning.load() >= kBudgetWarningPeriod.count()) {
        g_lastBudgetWarning = now;
        Log::warning("Audio rendering is taking too long (%f ms); some sounds will not be played.",
                     static_cast<double>(elapsed));
    }
    return true;
}

template <typename S> MixBuffer MixNode::mix(int frames, bool followUp, bool& followUpDue)
{
    MixBufferPool* pool = RenderContext::get().pool;
    if (!pool) return MixBuffer();
    if (!m_buffer) {
        m_buffer = pool->allocBuffer();
        if (!m_buffer) Log::error("Could not allocate mix buffer");
    }
    if (m_buffer && !m_lent) m_lent = pool->lend(m_buffer);

    const Kernels<S>& kernels = RenderContext::get().kernels<S>();
    MixBuffer sum;
    for (AudioNode* input = m_firstInput; input;) {
        if (sum && isOverBudget()) break;
        MixBuffer block = input->renderAs<S>(frames, followUp, followUpDue);
        if (block) {
            if (!sum)
                sum = std::move(block);
            else
                kernels.add(sum.samples<S>(), block.samples<S>(), 2 * frames);
        }
        // Read after rendering: a node that ended may have put its next sound
        // at the front, which the follow-up pass renders.
        input = input->m_nextInput;
    }
    return sum;
}

} // namespace Daz
