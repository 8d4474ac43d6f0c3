#include "ai/TaskPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace Marevane::ComputerAI {
namespace {

// Every batch spread over the workers at once; the default pool afterwards.
class TaskPoolTest : public ::testing::TestWithParam<std::size_t> {
  protected:
    void SetUp() override
    {
        m_saved = GetTaskWorkerCount();
        SetTaskWorkerCount(GetParam(), std::chrono::microseconds{0});
    }
    void TearDown() override { SetTaskWorkerCount(m_saved); }

  private:
    std::size_t m_saved = 0;
};

TEST_P(TaskPoolTest, RunsEveryTaskOnceAndReturnsEachFailureByNumber)
{
    std::vector<std::atomic<int>> runs(50);
    const auto failures = RunTasks(runs.size(), [&](std::size_t i) {
        ++runs[i];
        if (i % 7 == 3) throw std::runtime_error("task failed");
    });
    ASSERT_EQ(failures.size(), runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].load(), 1) << i;
        EXPECT_EQ(failures[i] != nullptr, i % 7 == 3) << i;
    }
    EXPECT_THROW(std::rethrow_exception(failures[3]), std::runtime_error);
}

TEST_P(TaskPoolTest, BatchesNestAndRunFromSeveralThreadsAtOnce)
{
    std::atomic<int> total{0};
    auto nested = [&] { RunTasks(6, [&](std::size_t) { RunTasks(5, [&](std::size_t) { ++total; }); }); };
    std::vector<std::thread> callers;
    for (int i = 0; i < 3; ++i) callers.emplace_back(nested);
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(total.load(), 3 * 6 * 5);
    EXPECT_TRUE(RunTasks(0, [&](std::size_t) { ++total; }).empty());
    EXPECT_EQ(total.load(), 90);
}

INSTANTIATE_TEST_SUITE_P(Workers, TaskPoolTest, ::testing::Values(0u, 1u, 4u));

} // namespace
} // namespace Marevane::ComputerAI
