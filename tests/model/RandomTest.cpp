#include "model/Random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <thread>
#include <vector>

using namespace Marevane;

namespace {
std::vector<std::uint32_t> Draws(int n)
{
    std::vector<std::uint32_t> values;
    for (int i = 0; i < n; ++i) values.push_back(RandomUInt(0, 1000000));
    return values;
}
} // namespace

TEST(Random, SameSeedGivesSameSequence)
{
    SeedRandom(1234);
    const auto first = Draws(20);
    SeedRandom(1234);
    EXPECT_EQ(Draws(20), first);
    SeedRandom(1235);
    EXPECT_NE(Draws(20), first);
}

TEST(Random, StaysInsideClosedRangeAndReachesBothEnds)
{
    SeedRandom(7);
    std::set<std::int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::int32_t value = RandomInt(-3, 3);
        ASSERT_GE(value, -3);
        ASSERT_LE(value, 3);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(RandomUInt(5, 5), 5u);
    // Reversed ends draw from the same range instead of misbehaving.
    for (int i = 0; i < 100; ++i) {
        const std::uint32_t value = RandomUInt(9, 4);
        ASSERT_GE(value, 4u);
        ASSERT_LE(value, 9u);
    }
}

TEST(Random, FullRangeIsOneRawDraw)
{
    SeedRandom(99);
    const std::int32_t drawn =
        RandomInt(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    std::mt19937 reference(99);
    const std::uint32_t raw = reference();
    EXPECT_EQ(static_cast<std::uint32_t>(drawn) - 0x80000000u, raw);
}

TEST(Random, ChanceIsClampedAtHundredAndNeverAtZero)
{
    SeedRandom(3);
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(RandomChance(150));
        ASSERT_TRUE(RandomChance(100));
        ASSERT_FALSE(RandomChance(0));
    }
    int heads = 0;
    for (int i = 0; i < 1000; ++i) heads += RandomCoin() ? 1 : 0;
    EXPECT_GT(heads, 400);
    EXPECT_LT(heads, 600);
}

TEST(Random, TaskEnginesFollowTheSharedSeed)
{
    SeedRandom(42);
    std::mt19937 a = MakeRandomEngine();
    std::mt19937 b = MakeRandomEngine();
    SeedRandom(42);
    std::mt19937 again = MakeRandomEngine();
    EXPECT_EQ(a(), again());
    EXPECT_NE(a, b);
}

TEST(Random, ConcurrentDrawsStayInRange)
{
    SeedRandom(5);
    std::vector<std::thread> threads;
    std::vector<int> bad(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &bad] {
            for (int i = 0; i < 20000; ++i) {
                const std::uint32_t value = RandomUInt(10, 20);
                if (value < 10 || value > 20) ++bad[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int count : bad) EXPECT_EQ(count, 0);
}

TEST(Random, EnvironmentSeedFixesTheSequence)
{
    ::setenv("MAREVANE_SEED", "77", 1);
    EXPECT_EQ(SeedRandomFromEnvironment(), 77u);
    const auto fromEnvironment = Draws(10);
    SeedRandom(77);
    EXPECT_EQ(Draws(10), fromEnvironment);

    ::setenv("MAREVANE_SEED", "0x10", 1);
    EXPECT_EQ(SeedRandomFromEnvironment(), 16u);
    ::unsetenv("MAREVANE_SEED");
}
