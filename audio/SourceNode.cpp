#include "audio/SourceNode.h"

#include "audio/Ck.h"
#include "audio/System.h"

#include <cmath>
#include <cstring>

namespace Daz {

namespace {

int roundHalfAway(float value)
{
    return static_cast<int>(std::round(value));
}

template <typename S> void zero(S* samples, int count)
{
    if (count > 0) std::memset(samples, 0, sizeof(S) * static_cast<std::size_t>(count));
}

bool near(float a, float b)
{
    return std::fabs(a - b) <= 0.001f;
}

} // namespace

SourceNode::SourceNode(AudioSource* source) : m_source(source) {}

SourceNode::~SourceNode() = default;

float SourceNode::rampStepFor(float rampMs)
{
    // A ramp no longer than one output frame lands at once.
    if (!(rampMs > 1000.0f / static_cast<float>(System::kSampleRate))) return 10.0f;
    return 1.0f / (rampMs * 0.001f * static_cast<float>(System::kSampleRate));
}

void SourceNode::getCurrentGains(float gains[4]) const
{
    std::memcpy(gains, m_current, sizeof m_current);
}

template <> float* SourceNode::prev<float>()
{
    return m_prevFloat;
}

template <> Fixed* SourceNode::prev<Fixed>()
{
    return m_prevFixed;
}

void SourceNode::clearResampler()
{
    m_prevFloat[0] = m_prevFloat[1] = 0.0f;
    m_prevFixed[0] = m_prevFixed[1] = 0;
}

void SourceNode::resetSource()
{
    if (m_source) m_source->reset();
    // A decoder may keep frames of its own; it starts over with the source.
    if (m_decoder) m_decoder->setFramePos(0);
}

void SourceNode::attach()
{
    if (m_output) m_output->addInput(this);
    m_attached = true;
}

void SourceNode::detach()
{
    if (MixNode* mix = getOutputMix()) mix->removeInput(this);
    m_attached = false;
}

void SourceNode::execute(int command, CommandArg first, CommandArg second)
{
    switch (command) {
    case kSetLoopCount:
        if (m_source) m_source->setLoopCount(static_cast<int>(first.i));
        break;
    case kReleaseLoop:
        if (m_source) m_source->releaseLoop();
        break;
    case kSetLoop:
        if (m_source) m_source->setLoop(static_cast<int>(first.i), static_cast<int>(second.i));
        break;
    case kDecoderSeek:
        if (m_decoder) m_decoder->setFramePos(static_cast<int>(first.i));
        break;
    case kSetDecoder:
        m_decoder = first.to<Decoder>();
        break;
    case kSetOutput: {
        MixNode* output = first.to<MixNode>();
        if (output == m_output) break;
        m_output = output;
        if (m_attached) {
            detach();
            attach();
        }
        break;
    }
    case kAttach:
        if (!m_attached) attach();
        break;
    case kDetach:
        if (m_attached) detach();
        break;
    case kDetachAtEnd:
        if (m_attached) detach();
        --m_endDetaches;
        break;
    case kSetNext:
        m_next = first.to<SourceNode>();
        break;
    case kSetSpeed:
        m_speed = first.f;
        break;
    case kSetGains12:
        m_target[0] = first.f;
        m_target[1] = second.f;
        break;
    case kSetGains34:
        m_target[2] = first.f;
        m_target[3] = second.f;
        break;
    case kSetPlayState: {
        const int state = static_cast<int>(first.i);
        if (state == m_playState.load()) break;
        if (state == 0) {
            resetSource();
            detach();
        }
        m_playState = state;
        std::memcpy(m_current, m_target, sizeof m_current);
        clearResampler();
        break;
    }
    case kSetPaused: {
        const bool paused = first.i != 0;
        if (paused == m_paused) break;
        m_paused = paused;
        std::memcpy(m_current, m_target, sizeof m_current);
        break;
    }
    case kSeekFrames:
        m_seekFrames = static_cast<int>(first.i);
        m_seekMs = -1.0f;
        break;
    case kSeekMs:
        m_seekMs = first.f;
        m_seekFrames = -1;
        break;
    default:
        break;
    }
}

void SourceNode::applySeek()
{
    if (m_seekFrames < 0 && m_seekMs < 0.0f) return;
    // Kept until there is something to seek in.
    if (!m_decoder || !m_source || !m_source->isReady()) return;
    int frame = m_seekFrames;
    if (frame < 0)
        frame = roundHalfAway(static_cast<float>(m_source->getSampleInfo().sampleRate) * m_seekMs * 0.001f);
    if (frame >= 0) m_decoder->setFramePos(frame);
    m_seekFrames = -1;
    m_seekMs = -1.0f;
}

void SourceNode::startAsNext(const SourceNode& from, int startOffset)
{
    m_playState = kStartedAsNext;
    if (!m_attached) attach();
    std::memcpy(m_current, m_target, sizeof m_current);
    if (&from != this) {
        std::memcpy(m_prevFloat, from.m_prevFloat, sizeof m_prevFloat);
        std::memcpy(m_prevFixed, from.m_prevFixed, sizeof m_prevFixed);
    }
    m_startOffset = startOffset;
}

MixBuffer SourceNode::render(int frames, bool followUp, bool& followUpDue)
{
    return renderAs<float>(frames, followUp, followUpDue);
}

MixBuffer SourceNode::renderFixed(int frames, bool followUp, bool& followUpDue)
{
    return renderAs<Fixed>(frames, followUp, followUpDue);
}

template <typename S> MixBuffer SourceNode::renderAs(int frames, bool followUp, bool& followUpDue)
{
    if (followUp && m_startOffset < 0) return MixBuffer();
    const int offset = m_startOffset > 0 ? m_startOffset : 0;
    m_startOffset = -1;
    applySeek();

    if (m_playState.load() == 0 || m_paused || !m_source || !m_decoder || !(m_speed > 0.0f))
        return MixBuffer();
    if (!m_source->isReady()) return MixBuffer();
    const SampleInfo& info = m_source->getSampleInfo();
    const int channels = info.channels;
    if ((channels != 1 && channels != 2) || info.sampleRate == 0 || offset >= frames) return MixBuffer();

    const RenderContext& context = RenderContext::get();
    MixBufferPool* pool = context.pool;
    if (!pool) return MixBuffer();
    const Kernels<S>& kernels = context.kernels<S>();
    const int maxFrames = pool->getMaxFrames();
    if (frames > maxFrames) return MixBuffer();

    // Output frames to produce and input frames to read for them.
    const int wanted = frames - offset;
    float ratio = static_cast<float>(info.sampleRate) * m_speed / static_cast<float>(System::kSampleRate);
    const float exact = static_cast<float>(wanted) * ratio;
    int inFrames = exact < static_cast<float>(maxFrames) ? roundHalfAway(exact) : maxFrames;
    if (offset + inFrames > maxFrames) {
        inFrames = maxFrames - offset;
        ratio = static_cast<float>(inFrames) / static_cast<float>(wanted);
    }
    // However slow, a playing sound moves on by at least one frame a block.
    if (inFrames < 1) inFrames = 1;

    MixBuffer input = pool->acquire();
    if (!input) return MixBuffer();
    S* read = input.samples<S>() + offset * channels;
    int got = m_decoder->decode(read, inFrames);
    if (got < 0) got = 0;
    if (got > inFrames) got = inFrames;

    MixBuffer block = input;
    S* samples = read;
    // The output frames these input frames make: the rest of the block, or
    // fewer where the sound ended short of it.
    int produced = got < inFrames ? roundHalfAway(static_cast<float>(got) / ratio) : wanted;
    if (produced > wanted) produced = wanted;
    if (got > 0 && got == produced) {
        for (int c = 0; c < channels; ++c) prev<S>()[c] = read[(got - 1) * channels + c];
    } else if (got > 0 && produced > 0) {
        MixBuffer resampled = pool->acquire();
        if (!resampled) return MixBuffer();
        samples = resampled.samples<S>() + offset * channels;
        kernels.resample(read, got, samples, produced, channels, prev<S>());
        block = std::move(resampled);
        input.release();
    } else {
        produced = 0;
    }

    if (produced > 0) {
        const GainRamp ramp = GainRamp::make(m_current, m_target, rampStepFor(CkGetVolumeRampMs()), produced);
        ramp.endValues(m_current);
        S* out = block.samples<S>() + 2 * offset;
        if (channels == 1) {
            MixBuffer stereo = pool->acquire();
            if (!stereo) return MixBuffer();
            out = stereo.samples<S>() + 2 * offset;
            if (ramp.isConstant() && near(ramp.target[0], ramp.target[3])) {
                // Equal gains: one factor for both sides, and none at all near 1.
                GainRamp equal = ramp;
                float gain = (ramp.target[0] + ramp.target[3]) * 0.5f;
                if (near(gain, 1.0f)) gain = 1.0f;
                equal.target[0] = equal.target[3] = gain;
                equal.targetFixed[0] = equal.targetFixed[3] = toFixedGain(gain);
                kernels.monoGains(samples, out, produced, equal);
            } else {
                kernels.monoGains(samples, out, produced, ramp);
            }
            block = std::move(stereo);
        } else if (ramp.isConstant() && near(ramp.target[0], ramp.target[3]) && near(ramp.target[1], 0.0f) &&
                   near(ramp.target[2], 0.0f)) {
            const float gain = (ramp.target[0] + ramp.target[3]) * 0.5f;
            if (!near(gain, 1.0f)) kernels.scale(out, 2 * produced, gain);
        } else {
            kernels.stereoGains(out, produced, ramp);
        }
        S* all = block.samples<S>();
        zero(all, 2 * offset);
        zero(all + 2 * (offset + produced), 2 * (frames - offset - produced));
    } else {
        block.release();
    }

    // The decoder's end: the source's, with no decoded frame left over.
    if (m_decoder->isAtEnd()) {
        SourceNode* next = m_next;
        if (next) {
            const int start = offset + produced;
            next->startAsNext(*this, start < frames ? start : -1);
            if (start < frames) followUpDue = true;
        }
        resetSource();
        // A sound chained to itself plays on from its start in the same block.
        if (next != this) {
            // Counted before it is queued, so that the node never looks released with it pending.
            if (CommandQueue* queue = CommandQueue::get()) {
                ++m_endDetaches;
                queue->postCommand(this, kDetachAtEnd);
            }
            m_stoppedPlayId = m_playState.load();
            m_playState = 0;
            clearResampler();
        }
    }
    return block;
}

template MixBuffer SourceNode::renderAs<float>(int, bool, bool&);
template MixBuffer SourceNode::renderAs<Fixed>(int, bool, bool&);

} // namespace Daz
