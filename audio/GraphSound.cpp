#include "audio/GraphSound.h"

#include "audio/CommandQueue.h"
#include "audio/EngineGraph.h"
#include "audio/Log.h"

#include <cmath>

namespace Daz {

namespace {

constexpr int kLastPlayId = 2147483646;

} // namespace

GraphSound::GraphSound(AudioSource* source) : m_node(source), m_source(source) {}

GraphSound::~GraphSound()
{
    if (EffectBus* bus = getMemberBus()) bus->detach(this);
    delete m_decoder;
}

void GraphSound::post(int command, CommandArg first, CommandArg second)
{
    if (CommandQueue* queue = CommandQueue::get())
        queue->postCommand(&m_node, command, first, second);
    else
        m_node.execute(command, first, second);
}

MixNode* GraphSound::outputFor(EffectBus* bus)
{
    if (bus) return bus->getInputNode();
    return EngineGraph::get();
}

bool GraphSound::initialize()
{
    if (m_initialized) return true;
    if (!m_source->isReady()) return false;
    const SampleInfo& info = m_source->getSampleInfo();
    takeInfoVolume(static_cast<float>(info.volume) / 65535.0f);
    takeInfoPan(static_cast<float>(info.pan) / 32767.0f);
    // The source took the same values, unless the program's went to it first.
    if (!m_loopSet) {
        m_loopStart = info.loopStart;
        m_loopEnd = info.loopEnd;
    }
    if (!m_loopCountSet) m_loopCount = info.loopCount;
    m_outputNode = outputFor(getMemberBus());
    post(SourceNode::kSetOutput, static_cast<void*>(m_outputNode));
    m_decoder = createDecoder(m_source);
    post(SourceNode::kSetDecoder, static_cast<void*>(m_decoder));
    post(SourceNode::kSetPaused, getMixedPauseState() ? 1 : 0);
    m_initialized = true;
    volumeChanged();
    speedChanged();
    return true;
}

bool GraphSound::isPlaying() const
{
    return (m_playing && m_node.getStoppedPlayId() != m_playId) ||
           m_node.getPlayState() == SourceNode::kStartedAsNext;
}

void GraphSound::updateSelf()
{
    if (!m_initialized) initialize();
    // The node reports the end of the current play only: a late report of an earlier one is no stop.
    if (m_playing && m_node.getStoppedPlayId() == m_playId) m_playing = false;
    if (isPlaying() && m_source->isFailed()) stopNode();
}

void GraphSound::startNode()
{
    if (!initialize()) return;
    beforeStart();
    m_playId = m_playId >= kLastPlayId ? 1 : m_playId + 1;
    post(SourceNode::kSetPlayState, m_playId);
    if (!getMixedPauseState()) post(SourceNode::kAttach);
    m_playing = true;
}

void GraphSound::stopNode()
{
    if (isPlaying()) post(SourceNode::kSetPlayState, 0);
    m_playing = false;
    m_loopReleased = false;
}

void GraphSound::volumeChanged()
{
    if (!m_initialized) return;
    float gains[4];
    getOutputGains(gains);
    post(SourceNode::kSetGains12, gains[0], gains[1]);
    post(SourceNode::kSetGains34, gains[2], gains[3]);
}

void GraphSound::speedChanged()
{
    if (m_initialized) post(SourceNode::kSetSpeed, getEffectiveSpeed());
}

void GraphSound::pauseChanged()
{
    const bool paused = getMixedPauseState();
    post(SourceNode::kSetPaused, paused ? 1 : 0);
    if (isPlaying()) post(paused ? SourceNode::kDetach : SourceNode::kAttach);
}

void GraphSound::nextChanged()
{
    auto* next = static_cast<GraphSound*>(getNextSound());
    // The next sound must be able to render the moment this one ends.
    if (next) next->initialize();
    post(SourceNode::kSetNext, next ? static_cast<void*>(&next->m_node) : nullptr);
}

void GraphSound::setLoop(int startFrame, int endFrame)
{
    if (startFrame < 0) startFrame = 0;
    if (endFrame >= 0 && startFrame >= endFrame) {
        Log::error("loop start frame must be less than end frame");
        return;
    }
    if (refusesLoopChange() && isPlaying()) {
        Log::error("Can't set loop points on a playing stream");
        return;
    }
    m_loopSet = true;
    if (startFrame == m_loopStart && endFrame == m_loopEnd) return;
    m_loopStart = startFrame;
    m_loopEnd = endFrame;
    post(SourceNode::kSetLoop, startFrame, endFrame);
}

void GraphSound::getLoop(int& startFrame, int& endFrame) const
{
    startFrame = m_loopStart;
    endFrame = m_loopEnd;
}

void GraphSound::setLoopCount(int count)
{
    m_loopCountSet = true;
    if (count == m_loopCount) return;
    m_loopCount = count;
    post(SourceNode::kSetLoopCount, count);
}

int GraphSound::getCurrentLoop() const
{
    return m_initialized ? m_source->getCurrentLoop() : 0;
}

void GraphSound::releaseLoop()
{
    m_loopReleased = true;
    post(SourceNode::kReleaseLoop);
}

int GraphSound::getPlayPosition() const
{
    return m_initialized && m_decoder ? m_decoder->getFramePos() : 0;
}

float GraphSound::getPlayPositionMs() const
{
    const int rate = getSampleRate();
    return rate > 0 ? static_cast<float>(getPlayPosition()) * 1000.0f / static_cast<float>(rate) : 0.0f;
}

int GraphSound::getLength() const
{
    return m_source->isReady() ? m_source->getSampleInfo().getFrames() : -1;
}

float GraphSound::getLengthMs() const
{
    return m_source->isReady() ? m_source->getSampleInfo().getLengthMs() : -1.0f;
}

int GraphSound::getSampleRate() const
{
    return m_source->isReady() ? m_source->getSampleInfo().sampleRate : -1;
}

int GraphSound::getChannels() const
{
    return m_source->isReady() ? m_source->getSampleInfo().channels : -1;
}

void GraphSound::setEffectBus(CkEffectBus* bus)
{
    auto* target = static_cast<EffectBus*>(bus);
    EffectBus* old = getMemberBus();
    if (target == old) return;
    if (old) old->detach(this);
    if (target) target->attach(this);
    if (!m_initialized) return;
    MixNode* output = outputFor(target);
    if (output == m_outputNode) return;
    m_outputNode = output;
    post(SourceNode::kSetOutput, static_cast<void*>(output));
}

void GraphSound::moveToBus(EffectBus* bus)
{
    setEffectBus(bus);
}

void GraphSound::destroy()
{
    leaveEverything();
    setEffectBus(nullptr);
    leaveOwner();
    // However it was left, the node ends detached, so that it counts as released.
    post(SourceNode::kSetPlayState, 0);
    post(SourceNode::kDetach);
    if (CommandQueue* queue = CommandQueue::get())
        queue->postDestroy(this);
    else
        delete this;
}

} // namespace Daz
