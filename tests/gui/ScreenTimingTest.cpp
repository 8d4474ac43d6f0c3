#include "gui/ScreenTiming.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

using namespace Marevane;

namespace {

class ScreenTimingTest : public ::testing::Test {
  protected:
    void TearDown() override { ScreenTiming::SetScale(0.0); }
};

TEST_F(ScreenTimingTest, TestsRunAtTheFactorOfTheirEnvironment)
{
    // The test programs set MAREVANE_TIME_SCALE=0.05 unless told otherwise.
    EXPECT_DOUBLE_EQ(ScreenTiming::Scale(), qEnvironmentVariable("MAREVANE_TIME_SCALE").toDouble());
}

TEST_F(ScreenTimingTest, DelaysScaleRoundedAndStayPositive)
{
    const struct {
        double scale;
        int ms;
        int expected;
    } table[] = {
        {1.0, ScreenTiming::TurnEndPrompt, 10000},
        {0.05, ScreenTiming::FadeOut, 5},
        {0.05, ScreenTiming::EffectFrame, 2}, // 1.65 rounds up
        {0.05, ScreenTiming::ItemFade, 75},
        {0.001, ScreenTiming::FadeIn, 1}, // never rounds to 0
        {0.05, 0, 0},
        {2.0, ScreenTiming::EndingPage, 22000},
        {1e9, ScreenTiming::EndingPage, 2147483647},
    };
    for (const auto& row : table) {
        ScreenTiming::SetScale(row.scale);
        EXPECT_EQ(ScreenTiming::Scaled(row.ms), row.expected) << row.scale << " x " << row.ms;
    }
}

TEST_F(ScreenTimingTest, EnvironmentTextThatIsNoPositiveNumberMeansNormalSpeed)
{
    const struct {
        const char* text;
        double scale;
    } table[] = {{"0.05", 0.05}, {" 2 ", 2.0},  {"", 1.0},   {"0", 1.0},
                 {"-0.5", 1.0},  {"fast", 1.0}, {"inf", 1.0}};
    for (const auto& row : table) EXPECT_DOUBLE_EQ(ScreenTiming::ParseScale(row.text), row.scale) << row.text;
}

TEST_F(ScreenTimingTest, AFactorThatIsNotPositiveBringsBackTheEnvironments)
{
    const double fromEnvironment = ScreenTiming::Scale();
    ScreenTiming::SetScale(3.0);
    EXPECT_DOUBLE_EQ(ScreenTiming::Scale(), 3.0);
    ScreenTiming::SetScale(-1.0);
    EXPECT_DOUBLE_EQ(ScreenTiming::Scale(), fromEnvironment);
}

} // namespace
