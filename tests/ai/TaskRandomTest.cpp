#include "ai/TaskRandom.h"
#include "model/Random.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

using namespace Marevane;
using namespace Marevane::ComputerAI;

namespace {

// Twenty draws of each of `count` tasks, the tasks started all at once.
std::vector<std::vector<std::uint32_t>> DrawInTasks(std::uint32_t seed, std::size_t count)
{
    SeedRandom(seed);
    std::vector<std::mt19937> engines = MakeTaskEngines(count);
    std::vector<std::future<std::vector<std::uint32_t>>> tasks;
    for (std::size_t i = 0; i < count; ++i) {
        tasks.push_back(std::async(std::launch::async, [engine = &engines[i]] {
            CTaskRandomScope draws(*engine);
            std::vector<std::uint32_t> values;
            for (int k = 0; k < 20; ++k) values.push_back(TaskRandomUInt(0, 1000000));
            return values;
        }));
    }
    std::vector<std::vector<std::uint32_t>> results;
    for (auto& task : tasks) results.push_back(task.get());
    return results;
}

} // namespace

TEST(TaskRandom, ParallelTasksReplayUnderAFixedSeedAndLeaveTheSharedEngineInStep)
{
    const auto first = DrawInTasks(77, 8);
    const std::uint32_t after = RandomUInt(0, 1000000);
    const auto second = DrawInTasks(77, 8);
    EXPECT_EQ(first, second);
    // The tasks drew nothing from the shared engine: only the seeds did.
    EXPECT_EQ(RandomUInt(0, 1000000), after);
    EXPECT_NE(first[0], first[1]);
}

TEST(TaskRandom, ScopesRouteThisThreadsDrawsAndNest)
{
    std::mt19937 outer(1);
    std::mt19937 inner(2);
    EXPECT_EQ(GetTaskEngine(), nullptr);
    {
        CTaskRandomScope a(outer);
        EXPECT_EQ(GetTaskEngine(), &outer);
        {
            CTaskRandomScope b(inner);
            EXPECT_EQ(GetTaskEngine(), &inner);
        }
        EXPECT_EQ(GetTaskEngine(), &outer);
        // Outside any scope, another thread still draws from the shared engine.
        EXPECT_EQ(std::async(std::launch::async, [] { return GetTaskEngine(); }).get(), nullptr);
    }
    EXPECT_EQ(GetTaskEngine(), nullptr);

    SeedRandom(5);
    const std::int32_t shared = RandomInt(-50, 50);
    SeedRandom(5);
    EXPECT_EQ(TaskRandomInt(50, -50), shared);
    for (int k = 0; k < 100; ++k) {
        const std::int32_t v = TaskRandomInt(3, -3);
        EXPECT_GE(v, -3);
        EXPECT_LE(v, 3);
    }
    std::mt19937 fixed(9);
    CTaskRandomScope draws(fixed);
    EXPECT_FALSE(TaskRandomChance(0));
    EXPECT_TRUE(TaskRandomChance(150));
}
