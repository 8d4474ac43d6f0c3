#include "model/Random.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace Marevane {

namespace {

std::uint32_t StartSeed()
{
    if (const char* text = std::getenv("MAREVANE_SEED"); text != nullptr && *text != '\0') {
        errno = 0;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(text, &end, 0);
        if (errno == 0 && end != text && *end == '\0' && value <= 0xFFFFFFFFull) {
            return static_cast<std::uint32_t>(value);
        }
        std::fprintf(stderr, "MAREVANE_SEED \"%s\" is not a 32-bit number; using a random seed\n", text);
    }
    return std::random_device{}();
}

struct SharedEngine {
    std::mutex Mutex;
    std::mt19937 Engine{StartSeed()};
};

SharedEngine& Shared()
{
    static SharedEngine shared;
    return shared;
}

// Seeds the engine during static initialisation, as the game always has.
[[maybe_unused]] const bool SeededAtStart = (Shared(), true);

template <typename T> T Draw(T a, T b)
{
    if (a > b) std::swap(a, b);
    std::uniform_int_distribution<T> distribution(a, b);
    SharedEngine& shared = Shared();
    std::lock_guard<std::mutex> lock(shared.Mutex);
    return distribution(shared.Engine);
}

} // namespace

std::int32_t RandomInt(std::int32_t a, std::int32_t b)
{
    return Draw(a, b);
}

std::uint32_t RandomUInt(std::uint32_t a, std::uint32_t b)
{
    return Draw(a, b);
}

bool RandomCoin()
{
    return RandomUInt(0, 99) < 50;
}

bool RandomChance(std::uint32_t percent)
{
    return RandomUInt(0, 99) < (percent < 100 ? percent : 100);
}

void SeedRandom(std::uint32_t seed)
{
    SharedEngine& shared = Shared();
    std::lock_guard<std::mutex> lock(shared.Mutex);
    shared.Engine.seed(seed);
}

std::uint32_t SeedRandomFromEnvironment()
{
    const std::uint32_t seed = StartSeed();
    SeedRandom(seed);
    return seed;
}

std::mt19937 MakeRandomEngine()
{
    SharedEngine& shared = Shared();
    std::lock_guard<std::mutex> lock(shared.Mutex);
    std::seed_seq seeds{shared.Engine(), shared.Engine(), shared.Engine(), shared.Engine()};
    return std::mt19937(seeds);
}

} // namespace Marevane
