#include "ai/TaskRandom.h"

#include "model/Random.h"

#include <utility>

namespace Marevane::ComputerAI {

namespace {

thread_local std::mt19937* t_engine = nullptr;

template <typename T> T Draw(T a, T b)
{
    if (a > b) std::swap(a, b);
    return std::uniform_int_distribution<T>(a, b)(*t_engine);
}

} // namespace

std::vector<std::mt19937> MakeTaskEngines(std::size_t count)
{
    std::vector<std::mt19937> engines;
    engines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) engines.push_back(MakeRandomEngine());
    return engines;
}

CTaskRandomScope::CTaskRandomScope(std::mt19937& engine) : m_previous(t_engine)
{
    t_engine = &engine;
}

CTaskRandomScope::~CTaskRandomScope()
{
    t_engine = m_previous;
}

std::mt19937* GetTaskEngine()
{
    return t_engine;
}

std::uint32_t TaskRandomUInt(std::uint32_t a, std::uint32_t b)
{
    return t_engine != nullptr ? Draw(a, b) : RandomUInt(a, b);
}

std::int32_t TaskRandomInt(std::int32_t a, std::int32_t b)
{
    return t_engine != nullptr ? Draw(a, b) : RandomInt(a, b);
}

bool TaskRandomCoin()
{
    return TaskRandomUInt(0, 99) < 50;
}

bool TaskRandomChance(std::uint32_t percent)
{
    return TaskRandomUInt(0, 99) < (percent < 100 ? percent : 100);
}

} // namespace Marevane::ComputerAI
