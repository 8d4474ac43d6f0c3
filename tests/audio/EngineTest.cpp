#include "audio/Ck.h"
#include "audio/CommandQueue.h"
#include "audio/Deletable.h"
#include "audio/Log.h"
#include "audio/System.h"

#include "AudioTestSupport.h"
#include "CountingAllocator.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace Daz;

namespace {

// Every test leaves the engine stopped and the log at its defaults. The
// engine renders to a pumped output, never to the machine's sound card.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override { usePumpedOutput(); }
    void TearDown() override
    {
        CkShutdown();
        OutputChoice::setOverride(nullptr);
        Log::set(kCkLog_All, nullptr);
    }

    // A configuration whose log lines land in `log`.
    CkConfig capturedConfig() const
    {
        CkConfig config;
        config.logFunc = Log::getFunc();
        return config;
    }

    std::vector<LogLine> linesAt(int level) const
    {
        std::vector<LogLine> found;
        for (const LogLine& line : log.lines())
            if (line.level == level) found.push_back(line);
        return found;
    }

    LogCapture log;
};

TEST_F(EngineTest, ConfigDefaults)
{
    CkConfig config;
    EXPECT_EQ(nullptr, config.allocFunc);
    EXPECT_EQ(nullptr, config.freeFunc);
    EXPECT_EQ(7u, config.logMask);
    EXPECT_EQ(nullptr, config.logFunc);
    EXPECT_EQ(5.0f, config.audioUpdateMs);
    EXPECT_EQ(500.0f, config.streamBufferMs);
    EXPECT_EQ(100.0f, config.streamFileUpdateMs);
    EXPECT_EQ(500, config.maxAudioTasks);
    EXPECT_EQ(0.8f, config.renderLoadLimit);
    EXPECT_EQ(2, config.pipeline);
}

struct InvalidCase {
    const char* name;
    std::function<void(CkConfig&)> spoil;
    std::function<bool(const CkConfig&)> restored;
    const char* line; // null: the text is not checked
};

TEST_F(EngineTest, EveryInvalidValueIsReplacedWithItsWarning)
{
    const std::vector<InvalidCase> cases = {
        {"audioUpdateMs 0", [](CkConfig& c) { c.audioUpdateMs = 0.0f; },
         [](const CkConfig& c) { return c.audioUpdateMs == 5.0f; },
         "Config.audioUpdateMs set to invalid value (0.000000); setting to default (5.000000) instead."},
        {"streamBufferMs -1", [](CkConfig& c) { c.streamBufferMs = -1.0f; },
         [](const CkConfig& c) { return c.streamBufferMs == 500.0f; },
         "Config.streamBufferMs set to invalid value (-1.000000); setting to default (500.000000) instead."},
        {"streamFileUpdateMs -0.5", [](CkConfig& c) { c.streamFileUpdateMs = -0.5f; },
         [](const CkConfig& c) { return c.streamFileUpdateMs == 100.0f; },
         "Config.streamFileUpdateMs set to invalid value (-0.500000); setting to default (100.000000) "
         "instead."},
        {"maxAudioTasks 9", [](CkConfig& c) { c.maxAudioTasks = 9; },
         [](const CkConfig& c) { return c.maxAudioTasks == 500; },
         "Config.maxAudioTasks set to invalid value (9); setting to default (500) instead."},
        {"maxAudioTasks -3", [](CkConfig& c) { c.maxAudioTasks = -3; },
         [](const CkConfig& c) { return c.maxAudioTasks == 500; },
         "Config.maxAudioTasks set to invalid value (-3); setting to default (500) instead."},
        // Not a number compares false both ways; it must not slip through as a period.
        {"audioUpdateMs NaN", [](CkConfig& c) { c.audioUpdateMs = std::numeric_limits<float>::quiet_NaN(); },
         [](const CkConfig& c) { return c.audioUpdateMs == 5.0f; }, nullptr},
    };
    for (const InvalidCase& test : cases) {
        SCOPED_TRACE(test.name);
        log.lines().clear();
        CkConfig config = capturedConfig();
        test.spoil(config);
        ASSERT_NE(0, CkInit(&config));
        EXPECT_TRUE(test.restored(config));
        EXPECT_TRUE(test.restored(System::get()->getConfig()));
        const std::vector<LogLine> errors = linesAt(kCkLog_Error);
        ASSERT_EQ(1u, errors.size());
        if (test.line) {
            EXPECT_EQ(test.line, errors[0].text);
        }
        CkShutdown();
    }
}

TEST_F(EngineTest, SeveralInvalidValuesWarnInFieldOrderAndTheLowestTaskCountIsAccepted)
{
    CkConfig config = capturedConfig();
    config.audioUpdateMs = 0.0f;
    config.streamBufferMs = -1.0f;
    config.maxAudioTasks = 9;
    ASSERT_NE(0, CkInit(&config));
    const std::vector<LogLine> errors = linesAt(kCkLog_Error);
    ASSERT_EQ(3u, errors.size());
    EXPECT_EQ(0u, errors[0].text.find("Config.audioUpdateMs"));
    EXPECT_EQ(0u, errors[1].text.find("Config.streamBufferMs"));
    EXPECT_EQ(0u, errors[2].text.find("Config.maxAudioTasks"));
    EXPECT_EQ(500, CommandQueue::get()->getCapacity());
    CkShutdown();

    log.lines().clear();
    config = capturedConfig();
    config.maxAudioTasks = 10;
    config.renderLoadLimit = -4.0f; // not checked
    ASSERT_NE(0, CkInit(&config));
    EXPECT_TRUE(linesAt(kCkLog_Error).empty());
    EXPECT_EQ(10, CommandQueue::get()->getCapacity());
    EXPECT_EQ(-4.0f, System::get()->getConfig().renderLoadLimit);
}

TEST_F(EngineTest, PipelineChoiceIsLogged)
{
    struct Case {
        int pipeline;
        int fixedPoint;
        const char* line;
    };
    const Case cases[] = {
        {2, 0, "using floating-point pipeline "},
        {0, 0, "using floating-point pipeline (overriding default)"},
        {1, 1, "using fixed-point pipeline (overriding default)"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.pipeline);
        log.lines().clear();
        CkConfig config = capturedConfig();
        config.pipeline = test.pipeline;
        ASSERT_NE(0, CkInit(&config));
        EXPECT_EQ(test.fixedPoint, System::get()->getFixedPoint());
        bool found = false;
        for (const LogLine& line : linesAt(kCkLog_Info)) found = found || line.text == test.line;
        EXPECT_TRUE(found);
        CkShutdown();
    }
}

TEST_F(EngineTest, SecondInitIgnoresItsConfiguration)
{
    CkConfig config = capturedConfig();
    config.maxAudioTasks = 64;
    ASSERT_NE(0, CkInit(&config));
    System* system = System::get();

    CkConfig other;
    other.maxAudioTasks = 1; // would be replaced with a warning if it were looked at
    other.logMask = 0;
    log.lines().clear();
    EXPECT_NE(0, CkInit(&other));
    EXPECT_EQ(system, System::get());
    EXPECT_EQ(64, System::get()->getConfig().maxAudioTasks);
    EXPECT_EQ(1, other.maxAudioTasks);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(7u, Log::getMask());
}

TEST_F(EngineTest, CallsWithoutARunningEngineLogErrorsAndDoNothing)
{
    Log::set(kCkLog_All, nullptr);
    ::testing::internal::CaptureStdout();
    CkShutdown();
    CkUpdate();
    CkSuspend();
    CkResume();
    EXPECT_EQ("CK ERROR: You must call CkInit() before calling CkUpdate()!\n"
              "CK ERROR: You must call CkInit() before calling CkSuspend()!\n"
              "CK ERROR: You must call CkInit() before calling CkResume()!\n",
              ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(nullptr, System::get());
}

TEST_F(EngineTest, AfterShutdownTheEngineBehavesAsBeforeInit)
{
    CkConfig config = capturedConfig();
    ASSERT_NE(0, CkInit(&config));
    CkShutdown();
    EXPECT_EQ(nullptr, System::get());
    EXPECT_EQ(nullptr, CommandQueue::get());
    log.lines().clear();
    CkUpdate();
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Error, "You must call CkInit() before calling CkUpdate()!"}), log.lines()[0]);
}

TEST_F(EngineTest, LogMaskAndSinkApplyFromInit)
{
    CkConfig config = capturedConfig();
    config.logMask = kCkLog_Error;
    config.audioUpdateMs = -2.0f;
    ::testing::internal::CaptureStdout();
    ASSERT_NE(0, CkInit(&config));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::string::npos, out.find("CK ")); // only the banner
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(kCkLog_Error, log.lines()[0].level);
}

TEST_F(EngineTest, SuspendTwiceThenResumeOnceLeavesTheEngineRunning)
{
    CkConfig config = capturedConfig();
    ASSERT_NE(0, CkInit(&config));
    CkSuspend();
    CkSuspend();
    EXPECT_TRUE(System::get()->isSuspended());
    CkResume();
    EXPECT_FALSE(System::get()->isSuspended());
    ASSERT_NE(nullptr, System::get());
    CkUpdate();
    EXPECT_TRUE(linesAt(kCkLog_Error).empty());
}

struct Recorder : CommandObject {
    std::vector<int> seen;
    void execute(int command, CommandArg, CommandArg) override { seen.push_back(command); }
};

struct Doomed : Deletable {
    static int deleted;
    ~Doomed() override { ++deleted; }
};
int Doomed::deleted = 0;

TEST_F(EngineTest, UpdateSuspendAndShutdownCarryOutQueuedCommands)
{
    CkConfig config = capturedConfig();
    ASSERT_NE(0, CkInit(&config));
    Recorder recorder;
    CommandQueue::get()->postCommand(&recorder, 1);
    CkUpdate();
    CommandQueue::get()->postCommand(&recorder, 2);
    CkSuspend();
    CommandQueue::get()->postCommand(&recorder, 3);
    Doomed::deleted = 0;
    CommandQueue::get()->postDestroy(new Doomed);
    CkShutdown();
    EXPECT_EQ((std::vector<int>{1, 2, 3}), recorder.seen);
    EXPECT_EQ(1, Doomed::deleted);
}

TEST_F(EngineTest, TheProgramsMemoryPairServesOnlyWhenBothAreGiven)
{
    CountingAllocs::allocs = CountingAllocs::frees = 0;
    CkConfig config = capturedConfig();
    config.allocFunc = &CountingAllocs::alloc;
    ASSERT_NE(0, CkInit(&config));
    EXPECT_EQ(0, CountingAllocs::allocs);
    CkShutdown();

    config.freeFunc = &CountingAllocs::free;
    ASSERT_NE(0, CkInit(&config));
    EXPECT_GT(CountingAllocs::allocs, 0); // the command ring
    CkShutdown();
    EXPECT_EQ(CountingAllocs::allocs, CountingAllocs::frees);
}

TEST_F(EngineTest, NullConfigurationStartsWithDefaults)
{
    ASSERT_NE(0, CkInit(nullptr));
    EXPECT_EQ(500, System::get()->getConfig().maxAudioTasks);
}

TEST_F(EngineTest, VolumeRampTimeHasNoBounds)
{
    EXPECT_EQ(40.0f, CkGetVolumeRampMs());
    CkSetVolumeRampMs(-3.5f);
    EXPECT_EQ(-3.5f, CkGetVolumeRampMs());
    CkSetVolumeRampMs(40.0f);
}

} // namespace
