#include "audio/Ck.h"
#include "audio/CkEffectBus.h"
#include "audio/EffectBus.h"
#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/GraphOutputAlsa.h"
#include "audio/Log.h"
#include "audio/MixBuffer.h"
#include "audio/Pan.h"
#include "audio/SourceNode.h"
#include "audio/SystemLinux.h"

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "TestSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace Daz;

namespace {

// Every test starts the engine itself and leaves it stopped, with the
// environment and the output choice as it found them.
class OutputTest : public ::testing::Test {
  protected:
    void TearDown() override
    {
        CkShutdown();
        OutputChoice::setOverride(nullptr);
        unsetenv("MAREVANE_AUDIO_OUTPUT");
        unsetenv("MAREVANE_AUDIO_CAPTURE");
        Log::set(kCkLog_All, nullptr);
    }

    bool start(CkConfig config = CkConfig())
    {
        config.logFunc = Log::getFunc();
        return CkInit(&config) != 0;
    }

    std::vector<LogLine> linesAt(int level) const
    {
        std::vector<LogLine> found;
        for (const LogLine& line : log.lines())
            if (line.level == level) found.push_back(line);
        return found;
    }

    static GraphOutputPumped* pumped()
    {
        return static_cast<GraphOutputPumped*>(EngineGraph::get()->getOutput());
    }

    LogCapture log;
};

TEST_F(OutputTest, TheBlockFollowsTheUpdatePeriod)
{
    struct Case {
        float ms;
        int frames;
        int bytes;
    };
    for (const Case& c : {Case{5.0f, 240, 1920}, Case{5.02f, 241, 1936}, Case{10.0f, 480, 3840}}) {
        EXPECT_EQ(c.frames, GraphOutput::blockFramesFor(c.ms)) << c.ms;
        EXPECT_EQ(c.bytes, GraphOutput::blockBytesFor(c.frames)) << c.ms;
    }
}

TEST_F(OutputTest, TheOutputIsChosenByItsName)
{
    struct Case {
        const char* text;
        bool valid;
        OutputChoice::Kind kind;
        const char* device;
    };
    const Case cases[] = {
        {nullptr, true, OutputChoice::kAlsa, "default"},   {"", true, OutputChoice::kAlsa, "default"},
        {"alsa", true, OutputChoice::kAlsa, "default"},    {"alsa:null", true, OutputChoice::kAlsa, "null"},
        {"dummy", true, OutputChoice::kDummy, "default"},  {"alsa:", false, OutputChoice::kAlsa, "default"},
        {"pumped", false, OutputChoice::kAlsa, "default"}, {"pulse", false, OutputChoice::kAlsa, "default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(unset)");
        OutputChoice choice;
        EXPECT_EQ(c.valid, OutputChoice::parse(c.text, choice));
        EXPECT_EQ(c.kind, choice.kind);
        EXPECT_STREQ(c.device, choice.device);
    }
}

TEST_F(OutputTest, StartUpBuildsTheEngineGraphAndShutdownTearsItDown)
{
    usePumpedOutput();
    ASSERT_TRUE(start());
    EngineGraph* graph = EngineGraph::get();
    ASSERT_NE(nullptr, graph);
    EXPECT_EQ(&graph->getQueue(), CommandQueue::get());
    EXPECT_EQ(graph->getGlobalBus(), CkEffectBus::getGlobalEffectBus());
    EXPECT_EQ(graph->getGlobalBus()->getBusNode(), graph->getOutput()->getRoot());
    EXPECT_EQ(graph, graph->getGlobalBus()->getInputNode()->getFirstInput());
    EXPECT_TRUE(graph->getOutput()->isRunning());
    EXPECT_FALSE(System::get()->rendersOnThread());
    ASSERT_NE(nullptr, MixBufferPool::get());
    EXPECT_EQ(960, MixBufferPool::get()->getCapacity());
    EXPECT_EQ(2, MixBufferPool::get()->getBufferCount());
    EXPECT_EQ(RenderContext::get().pool, MixBufferPool::get());

    CkShutdown();
    EXPECT_EQ(nullptr, EngineGraph::get());
    EXPECT_EQ(nullptr, CommandQueue::get());
    EXPECT_EQ(nullptr, MixBufferPool::get());
    EXPECT_EQ(nullptr, RenderContext::get().pool);
    EXPECT_EQ(nullptr, CkEffectBus::getGlobalEffectBus());
    EXPECT_EQ(nullptr, CkEffectBus::createEffectBus());
}

struct PipelineCase {
    int pipeline;
    bool fixedPoint;
};

TEST_F(OutputTest, APumpedToneComesOutAtItsLevelInBothPipelines)
{
    for (const PipelineCase& c : {PipelineCase{2, false}, PipelineCase{1, true}}) {
        SCOPED_TRACE(c.pipeline);
        usePumpedOutput();
        CkConfig config;
        config.pipeline = c.pipeline;
        ASSERT_TRUE(start(config));
        EXPECT_EQ(c.fixedPoint, RenderContext::get().fixedPoint);

        TestSource tone(1, 48000, -1, TestSource::sine(0.5f, 440.0f, 48000));
        SourceNode node(&tone);
        float gains[4];
        Pan::toGains(0.0f, false, gains);
        postPlay(node, &tone, EngineGraph::get(), gains);

        // A second of tone, a block at a time, as an output device would ask.
        std::vector<float> out(2 * 48000);
        for (int b = 0; b < 200; ++b) ASSERT_TRUE(pumped()->pump(out.data() + 2 * 240 * b, 240));
        double sum = 0.0;
        float peak = 0.0f;
        for (int j = 0; j < 48000; ++j) {
            sum += static_cast<double>(out[2 * j]) * out[2 * j];
            peak = std::fmax(peak, std::fabs(out[2 * j + 1]));
        }
        // A sine of amplitude 0.5 x 0.7071 has an RMS of a quarter.
        EXPECT_NEAR(0.25, std::sqrt(sum / 48000.0), 1e-4);
        EXPECT_NEAR(0.35355f, peak, 1e-3f);
        EXPECT_FALSE(pumped()->isClipped());
        EXPECT_EQ(200, pumped()->getBlockCount());

        CommandQueue::get()->postCommand(&node, SourceNode::kDetach);
        CkShutdown();
    }
}

TEST_F(OutputTest, ASuspendedEngineRendersNothingUntilResumed)
{
    usePumpedOutput();
    ASSERT_TRUE(start());
    std::vector<float> out(480, 5.0f);
    CkSuspend();
    EXPECT_FALSE(pumped()->pump(out.data(), 240));
    EXPECT_EQ(5.0f, out[0]);
    CkResume();
    EXPECT_TRUE(pumped()->pump(out.data(), 240));
    EXPECT_EQ(0.0f, out[0]);
}

TEST_F(OutputTest, ACaptureHoldsEveryRenderedFrame)
{
    const std::string path = ::testing::TempDir() + "marevane_capture.f32";
    setenv("MAREVANE_AUDIO_CAPTURE", path.c_str(), 1);
    usePumpedOutput();
    ASSERT_TRUE(start());
    TestSource ramp(1, 48000, -1, [](int frame, int) { return (frame % 1000) * 0.0005f; });
    SourceNode node(&ramp);
    postPlay(node, &ramp, EngineGraph::get());
    std::vector<float> rendered(2 * 240 * 10);
    for (int b = 0; b < 10; ++b) ASSERT_TRUE(pumped()->pump(rendered.data() + 2 * 240 * b, 240));
    CommandQueue::get()->postCommand(&node, SourceNode::kDetach);
    CkShutdown();

    std::ifstream file(path, std::ios::binary);
    std::vector<float> captured(rendered.size() + 1);
    file.read(reinterpret_cast<char*>(captured.data()), static_cast<std::streamsize>(captured.size() * 4));
    ASSERT_EQ(static_cast<std::streamsize>(rendered.size() * 4), file.gcount());
    captured.pop_back();
    EXPECT_EQ(rendered, captured);
    EXPECT_NEAR(0.4995f, rendered[2 * 999], 1e-6f);
    std::remove(path.c_str());
}

TEST_F(OutputTest, WithoutADeviceTheEngineRunsOnTheDummyOutputAfterOneWarning)
{
    struct Case {
        const char* output;
        int warnings;
    };
    for (const Case& c : {Case{"alsa:marevane_no_such_device", 1}, Case{"dummy", 0}}) {
        SCOPED_TRACE(c.output);
        log.lines().clear();
        setenv("MAREVANE_AUDIO_OUTPUT", c.output, 1);
        ASSERT_TRUE(start());
        EXPECT_FALSE(System::get()->rendersOnThread());
        EXPECT_FALSE(EngineGraph::get()->getOutput()->hasThread());
        for (int i = 0; i < 5; ++i) CkUpdate();
        CkShutdown();
        const std::vector<LogLine> warnings = linesAt(kCkLog_Warning);
        ASSERT_EQ(static_cast<std::size_t>(c.warnings), warnings.size());
        if (c.warnings) {
            EXPECT_EQ(0u, warnings[0].text.find("Could not open audio device \"marevane_no_such_device\" ("));
            EXPECT_NE(std::string::npos, warnings[0].text.find("); using the dummy output"));
        }
        EXPECT_TRUE(linesAt(kCkLog_Error).empty());
    }
}

TEST_F(OutputTest, TheDummyOutputsOwnThreadRendersWhileRunning)
{
    GraphOutputDummy* dummy = GraphOutputDummy::create(240, true);
    ASSERT_NE(nullptr, dummy);
    EXPECT_EQ(nullptr, GraphOutputDummy::create(240, false)); // one at a time
    ASSERT_TRUE(dummy->start());
    EXPECT_TRUE(waitFor([&] { return dummy->getBlockCount() >= 1; }));
    dummy->stop();
    const long long blocks = dummy->getBlockCount();
    EXPECT_EQ(blocks, dummy->getBlockCount());
    delete dummy;
    GraphOutputDummy* again = GraphOutputDummy::create(240, false);
    EXPECT_NE(nullptr, again);
    delete again;
}

// ALSA's "null" device takes every block at once, with or without a sound card.
TEST_F(OutputTest, OnTheNullDeviceBlocksArePacedByTheClockAndShutdownIsPrompt)
{
    if (!AlsaPcm::probe("null")) GTEST_SKIP() << "ALSA's \"null\" device is not available here";
    setenv("MAREVANE_AUDIO_OUTPUT", "alsa:null", 1);
    ASSERT_TRUE(start());
    GraphOutput* output = EngineGraph::get()->getOutput();
    EXPECT_TRUE(output->hasThread());
    EXPECT_TRUE(System::get()->rendersOnThread());
    EXPECT_TRUE(linesAt(kCkLog_Warning).empty());
    ASSERT_TRUE(waitFor([&] { return output->getBlockCount() >= 1; }));
    const std::vector<std::string> names = threadNames();
    for (const char* name : {"CK render", "CK stream file", "CK async loader"})
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), name)) << name;

    // Commands reach the render thread without an update.
    TestSource tone(1, 48000, -1, TestSource::constant(0.25f));
    SourceNode node(&tone);
    postPlay(node, &tone, EngineGraph::get());
    EXPECT_TRUE(waitFor([&] { return tone.getFramePos() > 0; }));

    // Never more than the clock allows (no busy spin). A loaded machine may starve the render
    // thread for a while, so fewer blocks are allowed in some windows, but not in all of them.
    bool paced = false;
    for (int window = 0; window < 5 && !paced; ++window) {
        const auto t0 = std::chrono::steady_clock::now();
        const long long b0 = output->getBlockCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const long long blocks = output->getBlockCount() - b0;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        const double expected = ms / 5.0;
        EXPECT_LE(blocks, expected * 1.2) << ms << " ms";
        paced = blocks >= expected * 0.8;
    }
    EXPECT_TRUE(paced) << "every window rendered fewer than 80 % of the blocks its time allows";

    CommandQueue::get()->postCommand(&node, SourceNode::kDetach);
    const auto s0 = std::chrono::steady_clock::now();
    CkShutdown();
    const double shutdownMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s0).count();
    EXPECT_LT(shutdownMs, 200.0);
    EXPECT_FALSE(node.isAttached());
}

} // namespace
