#include "audio/EffectBus.h"

#include "audio/EngineGraph.h"
#include "audio/Log.h"

#include <cmath>
#include <cstring>

namespace Daz {

namespace {

float clampMix(float mix)
{
    if (!(mix > 0.0f)) return 0.0f;
    return mix > 1.0f ? 1.0f : mix;
}

// out := dry cos(m pi/2) + wet sin(m pi/2), into `wet`.
template <typename S> void blend(const Kernels<S>& kernels, S* wet, const S* dry, float mix, int samples)
{
    const float c = std::cos(mix * 3.14159265f);
    kernels.weightedSum(wet, std::sqrt(0.5f - 0.5f * c), dry, std::sqrt(0.5f + 0.5f * c), samples);
}

// A copy of `from` in a fresh pool buffer; empty when the pool has none.
template <typename S> MixBuffer copyOf(const Kernels<S>& kernels, const MixBuffer& from, int samples)
{
    MixBuffer copy = RenderContext::get().pool->acquire();
    if (copy) kernels.copy(from.samples<S>(), copy.samples<S>(), samples);
    return copy;
}

} // namespace

void Effect::setWetDryMix(float mix)
{
    m_mix = clampMix(mix);
}

// ---- the render node

EffectBusNode::~EffectBusNode()
{
    removeAll();
}

void EffectBusNode::execute(int command, CommandArg first, CommandArg)
{
    switch (command) {
    case kAddEffect:
        addEffect(first.to<Effect>());
        break;
    case kRemoveEffect:
        removeEffect(first.to<Effect>());
        break;
    case kRemoveAll:
        removeAll();
        break;
    case kReset:
        resetAll();
        break;
    case kSetBypassed: {
        const bool bypassed = first.i != 0;
        if (bypassed && !m_bypassed) resetAll();
        m_bypassed = bypassed;
        break;
    }
    case kSetWetDryMix:
        m_mix = clampMix(first.f);
        break;
    default:
        break;
    }
}

void EffectBusNode::addEffect(Effect* effect)
{
    if (!effect) return;
    if (effect->m_node) effect->m_node->removeEffect(effect);
    effect->reset();
    effect->m_node = this;
    effect->m_nextEffect = nullptr;
    Effect** link = &m_firstEffect;
    while (*link) link = &(*link)->m_nextEffect;
    *link = effect;
}

void EffectBusNode::removeEffect(Effect* effect)
{
    if (!effect || effect->m_node != this) return;
    for (Effect** link = &m_firstEffect; *link; link = &(*link)->m_nextEffect) {
        if (*link == effect) {
            *link = effect->m_nextEffect;
            break;
        }
    }
    effect->m_node = nullptr;
    effect->m_nextEffect = nullptr;
}

void EffectBusNode::removeAll()
{
    while (m_firstEffect) removeEffect(m_firstEffect);
}

void EffectBusNode::resetAll()
{
    for (Effect* effect = m_firstEffect; effect; effect = effect->m_nextEffect) effect->reset();
}

MixBuffer EffectBusNode::render(int frames, bool followUp, bool& followUpDue)
{
    return process<float>(frames, followUp, followUpDue);
}

MixBuffer EffectBusNode::renderFixed(int frames, bool followUp, bool& followUpDue)
{
    return process<Fixed>(frames, followUp, followUpDue);
}

template <typename S> MixBuffer EffectBusNode::process(int frames, bool followUp, bool& followUpDue)
{
    MixBuffer in = m_input ? m_input->renderAs<S>(frames, followUp, followUpDue) : MixBuffer();
    if (!in) {
        // The effects' tails end with the input.
        if (m_producing) resetAll();
        m_producing = false;
        return MixBuffer();
    }
    m_producing = true;
    if (m_bypassed || !m_firstEffect || m_mix < 0.01f) return in;

    const Kernels<S>& kernels = RenderContext::get().kernels<S>();
    const int samples = 2 * frames;
    // Without a buffer for the dry copy the chain's output is taken unblended.
    MixBuffer busDry = m_mix < 0.99f ? copyOf(kernels, in, samples) : MixBuffer();
    MixBuffer block = std::move(in);
    for (Effect* effect = m_firstEffect; effect; effect = effect->m_nextEffect) {
        if (effect->isBypassed()) continue;
        const float mix = effect->getWetDryMix();
        MixBuffer dry = mix < 0.99f ? copyOf(kernels, block, samples) : MixBuffer();
        if (effect->isInPlace()) {
            effect->process(block.samples<S>(), block.samples<S>(), samples);
        } else {
            MixBuffer out = RenderContext::get().pool->acquire();
            if (!out) continue;
            effect->process(block.samples<S>(), out.samples<S>(), samples);
            block = std::move(out);
        }
        if (dry) blend(kernels, block.samples<S>(), dry.samples<S>(), mix, samples);
    }
    if (busDry) blend(kernels, block.samples<S>(), busDry.samples<S>(), m_mix, samples);
    return block;
}

// ---- the program-side bus

EffectBus::EffectBus(bool global) : m_global(global), m_node(&m_input)
{
    if (!m_global) post(EngineGraph::get(), MixNode::kAddInput, static_cast<AudioNode*>(&m_node));
}

EffectBus::~EffectBus() = default;

void EffectBus::post(CommandObject* target, int command, CommandArg first, CommandArg second) const
{
    if (CommandQueue* queue = CommandQueue::get()) {
        queue->postCommand(target, command, first, second);
    } else if (target) {
        // Without an engine nothing renders, so the change can be made at once.
        target->execute(command, first, second);
    }
}

MixNode* EffectBus::feedNode() const
{
    if (m_output) return &m_output->m_input;
    return EngineGraph::get();
}

void EffectBus::addEffect(CkEffect* effect)
{
    Effect* own = static_cast<Effect*>(effect);
    if (!own) return;
    if (own->m_bus == this) return;
    if (own->m_bus) own->m_bus->removeEffect(own);
    own->m_bus = this;
    Effect** link = &m_firstEffect;
    while (*link) link = &(*link)->m_nextOnBus;
    *link = own;
    own->m_nextOnBus = nullptr;
    post(&m_node, EffectBusNode::kAddEffect, static_cast<void*>(own));
}

void EffectBus::removeEffect(CkEffect* effect)
{
    Effect* own = static_cast<Effect*>(effect);
    if (!own || own->m_bus != this) return;
    for (Effect** link = &m_firstEffect; *link; link = &(*link)->m_nextOnBus) {
        if (*link == own) {
            *link = own->m_nextOnBus;
            break;
        }
    }
    own->m_bus = nullptr;
    own->m_nextOnBus = nullptr;
    post(&m_node, EffectBusNode::kRemoveEffect, static_cast<void*>(own));
}

void EffectBus::removeAllEffects()
{
    while (Effect* effect = m_firstEffect) {
        m_firstEffect = effect->m_nextOnBus;
        effect->m_bus = nullptr;
        effect->m_nextOnBus = nullptr;
    }
    post(&m_node, EffectBusNode::kRemoveAll);
}

void EffectBus::setOutputBus(CkEffectBus* bus)
{
    EffectBus* output = static_cast<EffectBus*>(bus);
    if (m_global && output) {
        Log::error("Can't set the output on the global output effect bus");
        return;
    }
    if (output == this) {
        Log::error("Can't set effect bus's output to itself");
        return;
    }
    // A loop of buses would render itself without end.
    for (const EffectBus* up = output; up; up = up->m_output) {
        if (up == this) {
            Log::error("Can't set effect bus's output to one of its own input buses");
            return;
        }
    }
    if (output == m_output) return;
    leaveOutput();
    m_output = output;
    if (output) {
        m_nextInputBus = output->m_firstInputBus;
        output->m_firstInputBus = this;
    }
    post(feedNode(), MixNode::kAddInput, static_cast<AudioNode*>(&m_node));
}

void EffectBus::leaveOutput()
{
    post(feedNode(), MixNode::kRemoveInput, static_cast<AudioNode*>(&m_node));
    if (m_output) {
        for (EffectBus** link = &m_output->m_firstInputBus; *link; link = &(*link)->m_nextInputBus) {
            if (*link == this) {
                *link = m_nextInputBus;
                break;
            }
        }
    }
    m_nextInputBus = nullptr;
    m_output = nullptr;
}

void EffectBus::reset()
{
    post(&m_node, EffectBusNode::kReset);
}

void EffectBus::setBypassed(bool bypassed)
{
    m_bypassed = bypassed;
    post(&m_node, EffectBusNode::kSetBypassed, bypassed);
}

void EffectBus::setWetDryMix(float mix)
{
    m_mix = clampMix(mix);
    post(&m_node, EffectBusNode::kSetWetDryMix, m_mix);
}

void EffectBus::destroy()
{
    if (m_global) {
        Log::error("Can't destroy the global effect bus");
        return;
    }
    removeAllEffects();
    post(&m_input, MixNode::kWithdrawBuffer);
    // Leaves the node it feeds (the graph root or its output's input) for good.
    leaveOutput();
    while (EffectBusMember* member = m_firstMember) {
        member->moveToBus(nullptr);
        // A member that stayed would keep pointing at a deleted bus.
        if (m_firstMember == member) detach(member);
    }
    while (EffectBus* input = m_firstInputBus) input->setOutputBus(nullptr);
    if (CommandQueue* queue = CommandQueue::get())
        queue->postDestroy(this);
    else
        delete this;
}

void EffectBus::attach(EffectBusMember* member)
{
    if (!member || member->m_memberBus == this) return;
    if (member->m_memberBus) member->m_memberBus->detach(member);
    member->m_memberBus = this;
    member->m_prevMember = m_lastMember;
    member->m_nextMember = nullptr;
    if (m_lastMember)
        m_lastMember->m_nextMember = member;
    else
        m_firstMember = member;
    m_lastMember = member;
}

void EffectBus::detach(EffectBusMember* member)
{
    if (!member || member->m_memberBus != this) return;
    if (member->m_prevMember)
        member->m_prevMember->m_nextMember = member->m_nextMember;
    else
        m_firstMember = member->m_nextMember;
    if (member->m_nextMember)
        member->m_nextMember->m_prevMember = member->m_prevMember;
    else
        m_lastMember = member->m_prevMember;
    member->m_memberBus = nullptr;
    member->m_prevMember = member->m_nextMember = nullptr;
}

} // namespace Daz

CkEffectBus* CkEffectBus::createEffectBus()
{
    if (!Daz::EngineGraph::get()) return nullptr;
    return new Daz::EffectBus(false);
}

CkEffectBus* CkEffectBus::getGlobalEffectBus()
{
    Daz::EngineGraph* graph = Daz::EngineGraph::get();
    return graph ? graph->getGlobalBus() : nullptr;
}
