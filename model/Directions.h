// Conversions between directions and position differences. Rows grow
// southwards and columns eastwards, so north is a negative row difference.
#pragma once

#include "model/Types.h"

#include <cstdint>
#include <utility>

namespace Marevane {

// A signed difference between two positions: rows, then columns.
struct MapOffset {
    std::int32_t x = 0;
    std::int32_t y = 0;

    MapOffset() = default;
    MapOffset(std::int32_t rows, std::int32_t columns) : x(rows), y(columns) {}

    friend bool operator==(const MapOffset& a, const MapOffset& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const MapOffset& a, const MapOffset& b) { return !(a == b); }
};

// 1 <-> 4, 2 <-> 3, 5 <-> 8, 6 <-> 7; anything else (centre included) 0.
Direction GetOppositeDirection(std::uint32_t direction);

// The direction of a difference; 9 for none.
Direction GetDirection(std::int64_t dx, std::int64_t dy);
Direction GetOffsetDirection(const MapOffset& offset);
Direction GetRoundedDirection(double dx, double dy);

// 1 north for negative, 4 south for positive, 9 for 0.
Direction GetRowDirection(std::int64_t dx);
// 3 west for negative, 2 east for positive, 9 for 0.
Direction GetColumnDirection(std::int64_t dy);

// The two directions beside a direction; (0, 0) for none and centre.
std::pair<Direction, Direction> GetAdjacentDirections(std::uint32_t direction);

// One step in the direction; (0, 0) for none, centre and unknown values.
MapOffset GetDirectionStep(std::uint32_t direction);

} // namespace Marevane
