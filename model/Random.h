// The one random engine of the process. Every draw takes a lock, so the GUI
// thread, the computer's thread and set-up tasks may draw at once. The seed
// comes from std::random_device, or from MAREVANE_SEED so that a run with
// computer sides replays identically.
#pragma once

#include <cstdint>
#include <random>

namespace Marevane {

// Uniform in [a, b], both ends included; the ends may come in either order.
std::int32_t RandomInt(std::int32_t a, std::int32_t b);
std::uint32_t RandomUInt(std::uint32_t a, std::uint32_t b);

// A draw in 0..99 below 50.
bool RandomCoin();

// A draw in 0..99 below min(percent, 100).
bool RandomChance(std::uint32_t percent);

// Restarts the shared engine from a fixed seed (tests, replays).
void SeedRandom(std::uint32_t seed);

// Restarts the shared engine as at start: from MAREVANE_SEED when it holds a
// 32-bit number, else from std::random_device. Answers the seed.
std::uint32_t SeedRandomFromEnvironment();

// A private engine seeded from the shared one, for a task that draws a lot
// on its own thread; a fixed shared seed makes it reproducible too.
std::mt19937 MakeRandomEngine();

} // namespace Marevane
