// Effect buses: the program-side bus object and the render node that runs
// its effect chain.
#pragma once

#include "audio/AudioNode.h"
#include "audio/CkEffectBus.h"
#include "audio/Deletable.h"

#include <atomic>

namespace Daz {

class EffectBus;
class EffectBusNode;

// An effect: settings the program may change at any time and a processor that
// runs on the render thread.
class Effect : public CkEffect, public Allocatable {
  public:
    ~Effect() override = default;

    void setBypassed(bool bypassed) { m_bypassed = bypassed; }
    bool isBypassed() const { return m_bypassed.load(); }
    // 0 dry .. 1 wet, kept in that range.
    void setWetDryMix(float mix);
    float getWetDryMix() const { return m_mix.load(); }

    // The processor: cleared state, whether it may write over its input, and one block.
    virtual void reset() = 0;
    virtual bool isInPlace() const = 0;
    virtual void process(const float* in, float* out, int samples) = 0;
    virtual void process(const Fixed* in, Fixed* out, int samples) = 0;

    // The bus whose chain holds it, on the program's side.
    EffectBus* getBus() const { return m_bus; }

  private:
    friend class EffectBus;
    friend class EffectBusNode;
    std::atomic<bool> m_bypassed{false};
    std::atomic<float> m_mix{1.0f};
    // The chain as the program side knows it.
    EffectBus* m_bus = nullptr;
    Effect* m_nextOnBus = nullptr;
    // The chain, on the render side.
    Effect* m_nextEffect = nullptr;
    EffectBusNode* m_node = nullptr;
};

class EffectBusNode : public AudioNode {
  public:
    enum Command {
        kAddEffect = 0,    // Effect*: appended, reset, linked to this bus
        kRemoveEffect = 1, // Effect*
        kRemoveAll = 2,
        kReset = 3,
        kSetBypassed = 4,  // bool; turning bypass on resets every effect
        kSetWetDryMix = 5, // float, kept in 0..1
    };

    explicit EffectBusNode(AudioNode* input) : m_input(input) {}
    ~EffectBusNode() override;

    void execute(int command, CommandArg first, CommandArg second) override;
    MixBuffer render(int frames, bool followUp, bool& followUpDue) override;
    MixBuffer renderFixed(int frames, bool followUp, bool& followUpDue) override;

    AudioNode* getInput() const { return m_input; }
    Effect* getFirstEffect() const { return m_firstEffect; }
    bool isBypassed() const { return m_bypassed; }
    float getWetDryMix() const { return m_mix; }
    bool isProducing() const { return m_producing; }

  private:
    template <typename S> MixBuffer process(int frames, bool followUp, bool& followUpDue);
    void addEffect(Effect* effect);
    void removeEffect(Effect* effect);
    void removeAll();
    void resetAll();

    AudioNode* m_input;
    Effect* m_firstEffect = nullptr;
    bool m_bypassed = false;
    float m_mix = 1.0f;
    bool m_producing = false;
};

// A sound as an effect bus sees it: the bus keeps its sounds in a list and
// moves them elsewhere when it goes.
class EffectBusMember {
  public:
    EffectBus* getMemberBus() const { return m_memberBus; }

  protected:
    EffectBusMember() = default;
    EffectBusMember(const EffectBusMember&) = delete;
    EffectBusMember& operator=(const EffectBusMember&) = delete;
    // A member must have left its bus (EffectBus::detach) before it dies.
    virtual ~EffectBusMember() = default;

  private:
    friend class EffectBus;
    // The bus is going away: the member routes itself to no bus (its own
    // set-effect-bus with null), which detaches it.
    virtual void moveToBus(EffectBus* bus) = 0;

    EffectBus* m_memberBus = nullptr;
    EffectBusMember* m_prevMember = nullptr;
    EffectBusMember* m_nextMember = nullptr;
};

class EffectBus : public CkEffectBus, public Deletable {
  public:
    // The global bus feeds the output; any other feeds the graph root until routed elsewhere.
    explicit EffectBus(bool global);
    ~EffectBus() override;

    void addEffect(CkEffect* effect) override;
    void removeEffect(CkEffect* effect) override;
    void removeAllEffects() override;
    void setOutputBus(CkEffectBus* bus) override;
    CkEffectBus* getOutputBus() const override { return m_output; }
    void reset() override;
    void setBypassed(bool bypassed) override;
    bool isBypassed() const override { return m_bypassed; }
    void setWetDryMix(float mix) override;
    float getWetDryMix() const override { return m_mix; }
    void destroy() override;

    bool isGlobal() const { return m_global; }
    // Where sounds routed to this bus send their blocks.
    MixNode* getInputNode() { return &m_input; }
    EffectBusNode* getBusNode() { return &m_node; }

    // The sounds routed here, in routing order.
    void attach(EffectBusMember* member);
    void detach(EffectBusMember* member);
    EffectBusMember* getFirstMember() const { return m_firstMember; }
    static EffectBusMember* getNextMember(const EffectBusMember* member) { return member->m_nextMember; }
    EffectBus* getFirstInputBus() const { return m_firstInputBus; }

  private:
    // The mix node the bus node feeds now: the output's input, or the graph root.
    MixNode* feedNode() const;
    void post(CommandObject* target, int command, CommandArg first = CommandArg(),
              CommandArg second = CommandArg()) const;
    void leaveOutput();

    bool m_global;
    MixNode m_input;
    EffectBusNode m_node;
    EffectBus* m_output = nullptr;
    bool m_bypassed = false;
    float m_mix = 1.0f;
    Effect* m_firstEffect = nullptr;
    EffectBusMember* m_firstMember = nullptr;
    EffectBusMember* m_lastMember = nullptr;
    // The buses whose output is this one.
    EffectBus* m_firstInputBus = nullptr;
    EffectBus* m_nextInputBus = nullptr;
};

} // namespace Daz
