// Random draws of the computer's engines. The engines run parallel tasks
// whose draws from the shared engine would come in thread-race order, so a
// fixed seed would not replay a battle. Each task gets an engine of its own,
// seeded from the shared one before any task starts; inside a
// CTaskRandomScope the draws on that thread come from it, elsewhere from
// the shared engine.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace Marevane::ComputerAI {

// One private engine per task, seeded from the shared engine in order.
std::vector<std::mt19937> MakeTaskEngines(std::size_t count);

// Routes this thread's draws to `engine` until it ends; scopes nest.
class CTaskRandomScope {
  public:
    explicit CTaskRandomScope(std::mt19937& engine);
    ~CTaskRandomScope();
    CTaskRandomScope(const CTaskRandomScope&) = delete;
    CTaskRandomScope& operator=(const CTaskRandomScope&) = delete;

  private:
    std::mt19937* m_previous;
};

// The engine of the scope this thread is in; null outside one.
std::mt19937* GetTaskEngine();

// As RandomUInt, RandomInt, RandomCoin and RandomChance of model/Random.h.
std::uint32_t TaskRandomUInt(std::uint32_t a, std::uint32_t b);
std::int32_t TaskRandomInt(std::int32_t a, std::int32_t b);
bool TaskRandomCoin();
bool TaskRandomChance(std::uint32_t percent);

} // namespace Marevane::ComputerAI
