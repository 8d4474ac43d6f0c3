// An effect bus sums the sounds (and buses) routed to it and passes the sum
// through an ordered chain of effects on to its output bus, or to the final
// mix when it has none. One global output bus carries everything to the output.
#pragma once

// An effect of a bus's chain; the engine's own effects derive from it.
class CkEffect {
  protected:
    virtual ~CkEffect() = default;
};

class CkEffectBus {
  public:
    // Appended to the end of the chain; an effect sits in one chain at a time.
    virtual void addEffect(CkEffect* effect) = 0;
    virtual void removeEffect(CkEffect* effect) = 0;
    virtual void removeAllEffects() = 0;

    // Null: the final mix. The global bus takes no output.
    virtual void setOutputBus(CkEffectBus* bus) = 0;
    virtual CkEffectBus* getOutputBus() const = 0;

    // Clears the state of every effect of the chain.
    virtual void reset() = 0;
    virtual void setBypassed(bool bypassed) = 0;
    virtual bool isBypassed() const = 0;
    // 0 dry .. 1 wet; kept in that range.
    virtual void setWetDryMix(float mix) = 0;
    virtual float getWetDryMix() const = 0;

    // Its sounds go to no bus and its input buses to the final mix; the global bus stays.
    virtual void destroy() = 0;

    // Null while the engine does not run.
    static CkEffectBus* createEffectBus();
    static CkEffectBus* getGlobalEffectBus();

  protected:
    virtual ~CkEffectBus() = default;
};
