#include "ConsoleGame.h"

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

TEST(ConsoleOptions, TakeTheRulesAndRefuseWhatCannotBePlayed)
{
    struct Case {
        std::vector<std::string> args;
        const char* error; // the start of the reason, or null when accepted
    };
    const Case cases[] = {
        {{}, nullptr},
        {{"--size", "3x9", "--sides", "4", "--mission", "0x10000004", "--level", "hard", "--seed", "7"},
         nullptr},
        {{"--level", "-6", "--no-countdown", "--log-dir", "/tmp/x"}, nullptr},
        {{"--size", "2x5"}, "--size takes 3 to 9"},
        {{"--size", "10x3"}, "--size takes 3 to 9"},
        {{"--size", "5"}, "--size takes RxC"},
        {{"--size", "5x"}, "invalid column count"},
        {{"--size", "-5x5"}, "invalid row count"},
        {{"--sides", "1"}, "--sides takes 2 to 4"},
        {{"--sides", "5"}, "--sides takes 2 to 4"},
        {{"--mission", "0x12345"}, "unknown mission code"},
        {{"--level", "7"}, "invalid level"},
        {{"--seed", "4294967296"}, "--seed takes a 32-bit number"},
        {{"--seed"}, "missing value for --seed"},
        {{"--speed", "3"}, "unknown option --speed"},
        {{"--help"}, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += arg + " ";
        if (c.error == nullptr) {
            EXPECT_NO_THROW(ParseConsoleOptions(c.args)) << joined;
            continue;
        }
        try {
            ParseConsoleOptions(c.args);
            ADD_FAILURE() << joined << "was accepted";
        } catch (const ConsoleUsageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.error, 0), 0u) << joined << ": " << error.what();
        }
    }
}

TEST(ConsoleOptions, ValuesReachTheOptions)
{
    const ConsoleOptions options = ParseConsoleOptions(
        {"--size", "4X7", "--sides", "3", "--mission", "0x50000010", "--level", "extreme", "--countdown"});
    EXPECT_EQ(options.Rows, 4u);
    EXPECT_EQ(options.Columns, 7u);
    EXPECT_EQ(options.Sides, 3u);
    EXPECT_EQ(options.Mission, MissionType(0x50000010));
    EXPECT_EQ(options.Level, 30);
    EXPECT_EQ(options.Countdown, true);
    EXPECT_FALSE(options.Seed.has_value());
}

TEST(ConsoleCountdown, RewritesTheLineOnlyWhenTheTextChanges)
{
    CTimer timer(1200000);
    std::wostringstream out;
    std::mutex lock;
    const CTimer::TickAction tick = MakeCountdownTick(timer, out, lock);

    tick();
    tick();
    EXPECT_EQ(out.str(), L"\r現在の残り時間: 20分\u3000");
    timer.SetTimeLimit(65000);
    tick();
    EXPECT_EQ(out.str(), L"\r現在の残り時間: 20分\u3000\r現在の残り時間: 1分5秒\u3000");
}
