#include "model/Score.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

using namespace Marevane;

namespace {
ActionStatistics With(std::initializer_list<std::pair<std::size_t, std::uint32_t>> counters)
{
    ActionStatistics statistics;
    for (const auto& [index, value] : counters) statistics[index] = value;
    return statistics;
}
} // namespace

TEST(Score, Examples)
{
    struct Case {
        const char* Name;
        ActionStatistics Statistics;
        double Expected;
    };
    const Case cases[] = {
        {"zero record", ActionStatistics{}, 0.0},
        // A = 14 * 2/4, B = 1.5 * 2, C = min(1.5 * 8/4, 4).
        {"hits and near misses", With({{0, 4}, {1, 2}, {2, 8}}), 13.0},
        // C is capped at 4.
        {"near misses capped", With({{0, 1}, {2, 10}}), 4.0},
        {"ships sunk", With({{3, 2}}), 2.0},
        // D = 7 * 3/6.
        {"hit points", With({{17, 3}, {18, 6}}), 3.5},
        // E = min(8 / 0.75, 8).
        {"full fuel", With({{19, 100}, {20, 100}}), 8.0},
        // r = 0.5 is not above s = 0.6 and stays: E = 0.5 * 8 / 0.75.
        {"fuel given stays", With({{19, 50}, {15, 60}, {20, 100}}), 0.5 * 8 / 0.75},
        // r = 0.5 above s = 0.2: E = 0.3 * 8 / 0.75.
        {"fuel given taken off", With({{19, 50}, {15, 20}, {20, 100}}), (0.5 - 0.2) * 8 / 0.75},
        {"no mines held", With({{10, 5}}), 0.0},
        // F = 5 * (6 - (1 + 2 * 1 + 0.5 * 2)) / 4.
        {"mines", With({{6, 4}, {10, 6}, {8, 1}, {7, 1}, {9, 2}}), 2.5},
        // c8 + 2 * c7 wraps as a 32-bit counter: 2 + 2 * 0x80000000 = 2.
        {"mine counter wraps", With({{6, 1}, {8, 2}, {7, 0x80000000u}}), 5.0 * (0.0 - 2.0)},
        {"reinforcements and flagship changes", With({{13, 2}, {16, 3}}), -7.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(CalculateScore(c.Statistics), c.Expected) << c.Name;
}
