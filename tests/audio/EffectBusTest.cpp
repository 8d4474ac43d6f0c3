#include "audio/EffectBus.h"
#include "audio/Ck.h"
#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/SystemLinux.h"

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Daz;

namespace {

// The test's own effect: it doubles its input.
class DoublingEffect : public Effect {
  public:
    void reset() override { ++resets; }
    bool isInPlace() const override { return inPlace; }
    void process(const float* in, float* out, int samples) override
    {
        for (int i = 0; i < samples; ++i) out[i] = 2.0f * in[i];
    }
    void process(const Fixed* in, Fixed* out, int samples) override
    {
        for (int i = 0; i < samples; ++i) out[i] = 2 * in[i];
    }
    int resets = 0;
    bool inPlace = true;
};

// A bus node over a mix node that one constant source feeds.
class EffectBusNodeTest : public RenderFixture {
  protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        play(source);
    }

    float renderOne()
    {
        bool due = false;
        MixBuffer block = busNode.render(kBlock, false, due);
        return block ? block.floats()[0] : NAN;
    }

    TestSource source{1, 48000, -1, TestSource::constant(0.25f)};
    DoublingEffect effect; // outlives the node whose chain holds it
    EffectBusNode busNode{root.get()};
};

TEST_F(EffectBusNodeTest, TheBusMixBlendsDryAndWetByPower)
{
    struct Case {
        float mix;
        float out;
    };
    const Case cases[] = {
        {0.005f, 0.25f},                                  // too dry to run the chain
        {0.995f, 0.5f},                                   // the chain's output, unblended
        {0.5f, 0.25f * 0.70710678f + 0.5f * 0.70710678f}, // cos and sin of a quarter turn's half
        {1.0f, 0.5f},
    };
    busNode.execute(EffectBusNode::kAddEffect, static_cast<Effect*>(&effect), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mix);
        busNode.execute(EffectBusNode::kSetWetDryMix, c.mix, 0);
        EXPECT_NEAR(c.out, renderOne(), 1e-6f);
    }
}

TEST_F(EffectBusNodeTest, AnEffectsOwnMixBypassAndTheBusBypassApply)
{
    busNode.execute(EffectBusNode::kAddEffect, static_cast<Effect*>(&effect), 0);
    EXPECT_EQ(1, effect.resets);
    effect.setWetDryMix(0.5f);
    EXPECT_NEAR(0.25f * 0.70710678f + 0.5f * 0.70710678f, renderOne(), 1e-6f);
    effect.setWetDryMix(7.0f);
    EXPECT_EQ(1.0f, effect.getWetDryMix());
    effect.inPlace = false;
    EXPECT_NEAR(0.5f, renderOne(), 1e-6f);
    effect.setBypassed(true);
    EXPECT_NEAR(0.25f, renderOne(), 1e-6f);
    effect.setBypassed(false);
    busNode.execute(EffectBusNode::kSetBypassed, true, 0);
    EXPECT_EQ(2, effect.resets); // turning bypass on resets the chain
    EXPECT_NEAR(0.25f, renderOne(), 1e-6f);
    busNode.execute(EffectBusNode::kSetBypassed, false, 0);
    busNode.execute(EffectBusNode::kRemoveEffect, static_cast<Effect*>(&effect), 0);
    EXPECT_NEAR(0.25f, renderOne(), 1e-6f);
    EXPECT_EQ(nullptr, busNode.getFirstEffect());
}

TEST_F(EffectBusNodeTest, EffectsResetWhenTheInputFallsSilent)
{
    busNode.execute(EffectBusNode::kAddEffect, static_cast<Effect*>(&effect), 0);
    renderOne();
    EXPECT_TRUE(busNode.isProducing());
    nodes[0]->execute(SourceNode::kSetPlayState, 0, 0);
    EXPECT_TRUE(std::isnan(renderOne()));
    EXPECT_FALSE(busNode.isProducing());
    EXPECT_EQ(2, effect.resets);
}

// A sound as a bus sees it.
class BusSound : public EffectBusMember {
  public:
    explicit BusSound(EffectBus* bus) { bus->attach(this); }
    ~BusSound() override
    {
        if (EffectBus* bus = getMemberBus()) bus->detach(this);
    }
    int moves = 0;

  private:
    void moveToBus(EffectBus* bus) override
    {
        ++moves;
        getMemberBus()->detach(this);
        if (bus) bus->attach(this);
    }
};

// Buses in a running engine with a pumped output.
class EffectBusTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(startPumpedEngine());
        log.lines().clear();
    }
    void TearDown() override { stopPumpedEngine(); }
    // Carries out the queued commands as the next block would.
    void drain() { CommandQueue::get()->processAudioCommands(); }
    static EffectBus* bus(CkEffectBus* b) { return static_cast<EffectBus*>(b); }

    LogCapture log;
};

TEST_F(EffectBusTest, ANewBusFeedsTheGraphRootAndTheGlobalBusFeedsTheOutput)
{
    EffectBus* global = bus(CkEffectBus::getGlobalEffectBus());
    ASSERT_NE(nullptr, global);
    EXPECT_TRUE(global->isGlobal());
    EngineGraph* graph = EngineGraph::get();
    EXPECT_EQ(global->getBusNode(), graph->getOutput()->getRoot());
    EXPECT_EQ(global->getInputNode(), graph->getOutputMix());

    EffectBus* a = bus(CkEffectBus::createEffectBus());
    drain();
    EXPECT_EQ(graph, a->getBusNode()->getOutputMix());
    EffectBus* b = bus(CkEffectBus::createEffectBus());
    b->setOutputBus(a);
    drain();
    EXPECT_EQ(a->getInputNode(), b->getBusNode()->getOutputMix());
    EXPECT_EQ(a, b->getOutputBus());
    b->setOutputBus(nullptr);
    drain();
    EXPECT_EQ(graph, b->getBusNode()->getOutputMix());
    EXPECT_TRUE(log.lines().empty());
    a->destroy();
    b->destroy();
}

TEST_F(EffectBusTest, RefusedChangesLogAnErrorAndChangeNothing)
{
    EffectBus* global = bus(CkEffectBus::getGlobalEffectBus());
    EffectBus* a = bus(CkEffectBus::createEffectBus());
    EffectBus* b = bus(CkEffectBus::createEffectBus());
    b->setOutputBus(a);
    drain();
    struct Case {
        std::function<void()> act;
        const char* line;
    };
    const Case cases[] = {
        {[&] { a->setOutputBus(a); }, "Can't set effect bus's output to itself"},
        {[&] { global->setOutputBus(a); }, "Can't set the output on the global output effect bus"},
        {[&] { global->destroy(); }, "Can't destroy the global effect bus"},
        // A loop of buses would never finish rendering.
        {[&] { a->setOutputBus(b); }, "Can't set effect bus's output to one of its own input buses"},
    };
    for (const Case& c : cases) {
        log.lines().clear();
        c.act();
        drain();
        ASSERT_EQ(1u, log.lines().size()) << c.line;
        EXPECT_EQ((LogLine{kCkLog_Error, c.line}), log.lines()[0]);
    }
    EXPECT_EQ(nullptr, a->getOutputBus());
    EXPECT_EQ(EngineGraph::get(), a->getBusNode()->getOutputMix());
    EXPECT_EQ(nullptr, global->getOutputBus());
    EXPECT_EQ(EngineGraph::get(), global->getInputNode()->getFirstInput());
    b->destroy();
    a->destroy();
}

TEST_F(EffectBusTest, DestroyingABusSendsItsSoundsToNoBusAndItsInputBusesToTheRoot)
{
    EffectBus* a = bus(CkEffectBus::createEffectBus());
    EffectBus* child = bus(CkEffectBus::createEffectBus());
    child->setOutputBus(a);
    BusSound first(a), second(a);
    DoublingEffect effect;
    a->addEffect(&effect);
    drain();
    ASSERT_EQ(a, effect.getBus());
    a->destroy();
    EXPECT_EQ(1, first.moves);
    EXPECT_EQ(1, second.moves);
    EXPECT_EQ(nullptr, first.getMemberBus());
    EXPECT_EQ(nullptr, child->getOutputBus());
    EXPECT_EQ(nullptr, effect.getBus());
    CkUpdate(); // the drain and the deletion walk
    CkUpdate();
    EXPECT_EQ(EngineGraph::get(), child->getBusNode()->getOutputMix());
    EXPECT_EQ(0, DeletionList::getCount());
    EXPECT_TRUE(log.lines().empty());
    child->destroy();
}

TEST_F(EffectBusTest, ASoundOnABusIsHeardThroughItsEffects)
{
    EffectBus* a = bus(CkEffectBus::createEffectBus());
    DoublingEffect effect;
    a->addEffect(&effect);
    TestSource tone(1, 48000, -1, TestSource::constant(0.125f));
    SourceNode node(&tone);
    postPlay(node, &tone, a->getInputNode());
    GraphOutputPumped* output = static_cast<GraphOutputPumped*>(EngineGraph::get()->getOutput());
    std::vector<float> out(2 * 240);
    ASSERT_TRUE(output->pump(out.data(), 240));
    EXPECT_EQ(0.25f, out[0]);
    EXPECT_EQ(0.25f, out[479]);
    // The node is left to the shutdown: detached first, as a sound would.
    CommandQueue::get()->postCommand(&node, SourceNode::kDetach);
    a->removeEffect(&effect);
    a->destroy();
    CkUpdate();
}

} // namespace
