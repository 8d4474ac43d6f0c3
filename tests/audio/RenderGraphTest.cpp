#include "audio/AudioNode.h"
#include "audio/Pan.h"
#include "audio/SourceNode.h"
#include "audio/Thread.h"

#include "LogCapture.h"
#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Daz;

namespace {

// A node that yields a block of one value, or nothing.
class ConstantNode : public AudioNode {
  public:
    explicit ConstantNode(float value) : m_value(value) {}
    MixBuffer render(int frames, bool followUp, bool&) override
    {
        ++renders;
        if (followUp) return MixBuffer();
        MixBuffer block = RenderContext::get().pool->acquire();
        for (int i = 0; i < 2 * frames; ++i) block.floats()[i] = m_value;
        return block;
    }
    MixBuffer renderFixed(int, bool, bool&) override { return MixBuffer(); }
    int renders = 0;

  private:
    float m_value;
};

typedef RenderFixture MixNodeTest;

TEST_F(MixNodeTest, InputsAreKeptNewestFirstAndSummed)
{
    ConstantNode a(0.25f), b(0.5f), c(1.0f);
    root->addInput(&a);
    root->addInput(&b);
    root->addInput(&c);
    root->addInput(&a); // already an input: moves to the front
    std::vector<const AudioNode*> order;
    for (const AudioNode* n = root->getFirstInput(); n; n = MixNode::getNextInput(n)) order.push_back(n);
    EXPECT_EQ((std::vector<const AudioNode*>{&a, &c, &b}), order);

    root->execute(MixNode::kRemoveInput, static_cast<AudioNode*>(&c), 0);
    EXPECT_EQ(nullptr, c.getOutputMix());
    bool due = false;
    MixBuffer sum = root->render(kBlock, false, due);
    ASSERT_TRUE(sum);
    EXPECT_EQ(0.75f, sum.floats()[0]);
    EXPECT_EQ(0.75f, sum.floats()[2 * kBlock - 1]);
}

TEST_F(MixNodeTest, EachMixNodeLendsItsBufferToThePoolUntilWithdrawn)
{
    EXPECT_EQ(2, pool.getBufferCount());
    ConstantNode a(0.5f);
    root->addInput(&a);
    bool due = false;
    root->render(kBlock, false, due);
    EXPECT_EQ(3, pool.getBufferCount());
    EXPECT_TRUE(root->isBufferLent());
    root->execute(MixNode::kWithdrawBuffer, 0, 0);
    EXPECT_EQ(2, pool.getBufferCount());
    EXPECT_EQ(2, pool.getFreeCount());
}

TEST_F(MixNodeTest, AnEmptyMixRendersNothing)
{
    bool due = false;
    EXPECT_FALSE(root->render(kBlock, false, due));
}

TEST_F(MixNodeTest, OverTheBudgetLaterInputsAreDroppedWithOneWarning)
{
    LogCapture log;
    ConstantNode a(0.25f), b(0.5f);
    root->addInput(&a);
    root->addInput(&b);
    Timer timer;
    timer.start();
    RenderContext::get().renderTimer = &timer;
    RenderContext::get().budgetMs = -1.0f; // every pass is over it
    bool due = false;
    for (int i = 0; i < 3; ++i) {
        MixBuffer sum = root->render(kBlock, false, due);
        ASSERT_TRUE(sum);
        EXPECT_EQ(0.5f, sum.floats()[0]); // only the first input
    }
    EXPECT_EQ(0, a.renders);
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(kCkLog_Warning, log.lines()[0].level);
    EXPECT_EQ(0u, log.lines()[0].text.find("Audio rendering is taking too long ("));
}

// The render tests run in both pipelines and both kernel forms.
struct Pipeline {
    bool fixedPoint;
    bool simd;
};

class SourceNodeTest : public RenderFixture, public ::testing::WithParamInterface<Pipeline> {
  protected:
    void SetUp() override
    {
        setUpPipeline(GetParam().fixedPoint, GetParam().simd);
        startOutput();
    }
    // The pipelines differ by their quantisation only.
    static constexpr float kTolerance = 1e-6f;
};

INSTANTIATE_TEST_SUITE_P(Pipelines, SourceNodeTest,
                         ::testing::Values(Pipeline{false, false}, Pipeline{false, true},
                                           Pipeline{true, false}, Pipeline{true, true}),
                         [](const ::testing::TestParamInfo<Pipeline>& info) {
                             return std::string(info.param.fixedPoint ? "Fixed" : "Float") +
                                    (info.param.simd ? "Simd" : "Plain");
                         });

TEST_P(SourceNodeTest, AMonoToneAtCentrePanPlaysAtItsPowerGain)
{
    TestSource tone(1, 48000, -1, TestSource::sine(0.5f, 1000.0f, 48000));
    float gains[4];
    Pan::toGains(0.0f, false, gains);
    play(tone, gains[0], gains[1], gains[2], gains[3]);
    const std::vector<float> out = pump(4);
    for (int j = 0; j < 4 * kBlock; ++j) {
        const float expected =
            0.5f * static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * j / 48000.0)) * 0.70710678f;
        ASSERT_NEAR(expected, out[2 * j], kTolerance) << j;
        ASSERT_NEAR(expected, out[2 * j + 1], kTolerance) << j;
    }
}

TEST_P(SourceNodeTest, AStereoSoundAtCentrePanPlaysEachChannelAtHalf)
{
    TestSource stereo(2, 48000, -1, [](int, int channel) { return channel == 0 ? 0.8f : -0.4f; });
    float gains[4];
    Pan::toGains(0.0f, true, gains);
    EXPECT_EQ(0.5f, gains[0]);
    EXPECT_EQ(0.0f, gains[1]);
    EXPECT_EQ(0.0f, gains[2]);
    EXPECT_EQ(0.5f, gains[3]);
    play(stereo, gains[0], gains[1], gains[2], gains[3]);
    const std::vector<float> out = pump(1);
    EXPECT_NEAR(0.4f, out[0], kTolerance);
    EXPECT_NEAR(-0.2f, out[1], kTolerance);
    EXPECT_NEAR(0.4f, out[2 * kBlock - 2], kTolerance);
}

TEST_P(SourceNodeTest, AStereoMatrixMixesTheChannels)
{
    TestSource stereo(2, 48000, -1, [](int, int channel) { return channel == 0 ? 0.5f : 0.25f; });
    play(stereo, 0.5f, 1.0f, 0.25f, -1.0f);
    const std::vector<float> out = pump(1);
    EXPECT_NEAR(0.5f * 0.5f + 0.25f * 1.0f, out[10], kTolerance);
    EXPECT_NEAR(0.5f * 0.25f - 0.25f, out[11], kTolerance);
}

TEST_P(SourceNodeTest, AGainChangeRampsOverTheRampTime)
{
    TestSource ones(1, 48000, -1, TestSource::constant(0.5f));
    SourceNode* node = play(ones, 0.0f, 0.0f, 0.0f, 0.0f);
    pump(1);
    node->execute(SourceNode::kSetGains12, 1.0f, 0.0f);
    node->execute(SourceNode::kSetGains34, 0.0f, 1.0f);
    const std::vector<float> out = pump(9);
    EXPECT_NEAR(0.5f / 1920.0f, out[0], 1e-6f);
    EXPECT_NEAR(0.25f, out[2 * 959], 1e-4f);
    EXPECT_LT(out[2 * 1900], 0.5f);
    EXPECT_NEAR(0.5f, out[2 * 1919], 1e-6f);
    EXPECT_NEAR(0.5f, out[2 * 2159 + 1], 1e-6f);
}

TEST_P(SourceNodeTest, AtTheOutputRateNothingIsResampled)
{
    TestSource ramp(1, 48000, -1, [](int frame, int) { return frame * 0.001f; });
    play(ramp);
    const std::vector<float> out = pump(2);
    for (int j = 0; j < 2 * kBlock; ++j) ASSERT_NEAR(j * 0.001f, out[2 * j], kTolerance) << j;
}

TEST_P(SourceNodeTest, AtHalfTheRateEveryOtherFrameLiesHalfWayAndTheStateCarriesAcrossBlocks)
{
    // Inputs 1, 2, 3, ... (scaled): with the state starting at 0 each output frame j is j / 2.
    TestSource ramp(1, 24000, -1, [](int frame, int) { return (frame + 1) * 0.001f; });
    play(ramp);
    const std::vector<float> out = pump(3);
    for (int j = 0; j < 3 * kBlock; ++j) ASSERT_NEAR(j * 0.0005f, out[2 * j], kTolerance) << j;
}

TEST_P(SourceNodeTest, SpeedScalesTheRateRead)
{
    TestSource ramp(1, 48000, -1, [](int frame, int) { return (frame + 1) * 0.001f; });
    SourceNode* node = play(ramp);
    node->execute(SourceNode::kSetSpeed, 0.5f, 0);
    const std::vector<float> out = pump(2);
    for (int j = 0; j < 2 * kBlock; ++j) ASSERT_NEAR(j * 0.0005f, out[2 * j], kTolerance) << j;
}

TEST_P(SourceNodeTest, AChainedNextSoundStartsInTheSameBlockRightAfterTheEnd)
{
    TestSource first(1, 48000, 100, TestSource::constant(0.5f));
    TestSource second(1, 48000, -1, TestSource::constant(0.25f));
    SourceNode* a = play(first);
    SourceNode* b = play(second);
    b->execute(SourceNode::kDetach, 0, 0);
    b->execute(SourceNode::kSetPlayState, 0, 0);
    a->execute(SourceNode::kSetNext, b, 0);
    std::vector<float> out = pump(1);
    // Ended, but its detach waits in the queue: the sound may not delete it yet.
    EXPECT_FALSE(a->isReleased());
    const std::vector<float> next = pump(1);
    out.insert(out.end(), next.begin(), next.end());
    for (int j = 0; j < 100; ++j) ASSERT_NEAR(0.5f, out[2 * j], kTolerance) << j;
    for (int j = 100; j < 2 * kBlock; ++j) ASSERT_NEAR(0.25f, out[2 * j], kTolerance) << j;
    EXPECT_EQ(SourceNode::kStartedAsNext, b->getPlayState());
    EXPECT_EQ(0, a->getPlayState());
    EXPECT_EQ(1, a->getStoppedPlayId());
    EXPECT_FALSE(a->isAttached()); // its detach was queued and ran before the second block
    EXPECT_TRUE(a->isReleased());
    EXPECT_FALSE(b->isReleased());
    EXPECT_EQ(1, first.resets);
}

TEST_P(SourceNodeTest, ASoundChainedToItselfLoopsWithoutAGap)
{
    TestSource loop(1, 48000, 100, [](int frame, int) { return frame * 0.001f; });
    SourceNode* node = play(loop);
    node->execute(SourceNode::kSetNext, node, 0);
    const std::vector<float> out = pump(2);
    for (int j = 0; j < 2 * kBlock; ++j) ASSERT_NEAR((j % 100) * 0.001f, out[2 * j], kTolerance) << j;
    EXPECT_TRUE(node->isAttached());
}

TEST_P(SourceNodeTest, AStopResetsTheSourceAndDetaches)
{
    TestSource tone(1, 48000, -1, TestSource::constant(0.5f));
    SourceNode* node = play(tone);
    pump(1);
    node->execute(SourceNode::kSetPlayState, 0, 0);
    EXPECT_FALSE(node->isAttached());
    EXPECT_EQ(1, tone.resets);
    const std::vector<float> out = pump(1);
    EXPECT_EQ(0.0f, out[0]);
}

TEST_P(SourceNodeTest, APausedNodeAndAStoppedOutputRenderNothing)
{
    TestSource tone(1, 48000, -1, TestSource::constant(0.5f));
    SourceNode* node = play(tone);
    node->execute(SourceNode::kSetPaused, true, 0);
    std::vector<float> out = pump(1);
    EXPECT_EQ(0.0f, out[0]);
    EXPECT_EQ(0, tone.getFramePos());
    node->execute(SourceNode::kSetPaused, false, 0);
    out = pump(1);
    EXPECT_NEAR(0.5f, out[0], kTolerance);

    output.stop();
    std::vector<float> after(2 * kBlock, 9.0f);
    EXPECT_FALSE(output.pump(after.data(), kBlock));
    EXPECT_EQ(9.0f, after[0]);
    EXPECT_EQ(kBlock, tone.getFramePos());
}

TEST_P(SourceNodeTest, ASeekLandsAtTheNextBlock)
{
    TestSource ramp(1, 48000, -1, [](int frame, int) { return frame * 0.0001f; });
    SourceNode* node = play(ramp);
    node->execute(SourceNode::kSeekMs, 100.0f, 0);
    std::vector<float> out = pump(1);
    EXPECT_NEAR(4800 * 0.0001f, out[0], kTolerance);
    node->execute(SourceNode::kSeekFrames, 10, 0);
    out = pump(1);
    EXPECT_NEAR(10 * 0.0001f, out[0], kTolerance);
}

TEST_P(SourceNodeTest, OutputBeyondFullScaleIsClampedAndFlagged)
{
    TestSource loud(1, 48000, -1, TestSource::constant(0.99f));
    SourceNode* node = play(loud);
    std::vector<float> out = pump(1);
    EXPECT_NEAR(0.99f, out[0], kTolerance);
    EXPECT_FALSE(output.isClipped());
    node->execute(SourceNode::kSetGains12, 1.5f, 0.0f);
    node->execute(SourceNode::kSetGains34, 0.0f, 1.5f);
    node->execute(SourceNode::kSetPaused, true, 0);
    node->execute(SourceNode::kSetPaused, false, 0); // lands the gains at once
    out = pump(1);
    EXPECT_NEAR(1.0f, out[0], kTolerance);
    EXPECT_TRUE(output.isClipped());
}

TEST(PanTest, PanAndGainsRoundTrip)
{
    for (bool stereo : {false, true}) {
        for (float pan : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
            SCOPED_TRACE(pan);
            float gains[4];
            Pan::toGains(pan, stereo, gains);
            EXPECT_NEAR(pan, Pan::fromGains(gains, stereo), 1e-5f) << stereo;
        }
    }
    float gains[4];
    Pan::toGains(0.0f, false, gains);
    EXPECT_FLOAT_EQ(0.70710678f, gains[0]);
    EXPECT_FLOAT_EQ(0.70710678f, gains[3]);
    Pan::toGains(3.0f, false, gains);
    EXPECT_NEAR(0.0f, gains[0], 1e-7f);
    const float silent[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(0.0f, Pan::fromGains(silent, true));
}

} // namespace
