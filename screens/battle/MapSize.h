// The size of a board as the battle map shows it. The map's layer and
// background are laid out for at most 9 panels each way, so a size from a
// host or a settings screen is checked before anything is built from it.
#pragma once

#include <cstdint>

namespace Marevane {

struct MapSize {
    std::uint32_t rows = 5;
    std::uint32_t columns = 5;
};

inline constexpr std::uint32_t MinMapSide = 3;
inline constexpr std::uint32_t MaxMapSide = 9;

// Both sides within MinMapSide..MaxMapSide.
bool IsShownMapSize(const MapSize& size);

} // namespace Marevane
