#include "model/Directions.h"

#include <cmath>

namespace Marevane {

Direction GetOppositeDirection(std::uint32_t direction)
{
    switch (direction) {
    case DirectionNorth:
        return DirectionSouth;
    case DirectionSouth:
        return DirectionNorth;
    case DirectionEast:
        return DirectionWest;
    case DirectionWest:
        return DirectionEast;
    case DirectionNorthEast:
        return DirectionSouthWest;
    case DirectionSouthWest:
        return DirectionNorthEast;
    case DirectionNorthWest:
        return DirectionSouthEast;
    case DirectionSouthEast:
        return DirectionNorthWest;
    default:
        return DirectionNone;
    }
}

Direction GetDirection(std::int64_t dx, std::int64_t dy)
{
    if (dx < 0) return dy == 0 ? DirectionNorth : (dy > 0 ? DirectionNorthEast : DirectionNorthWest);
    if (dx == 0) return dy == 0 ? DirectionCenter : (dy > 0 ? DirectionEast : DirectionWest);
    return dy == 0 ? DirectionSouth : (dy > 0 ? DirectionSouthEast : DirectionSouthWest);
}

Direction GetOffsetDirection(const MapOffset& offset)
{
    return GetDirection(offset.x, offset.y);
}

Direction GetRoundedDirection(double dx, double dy)
{
    auto sign = [](double value) -> std::int64_t {
        const double rounded = std::round(value);
        return rounded > 0 ? 1 : (rounded < 0 ? -1 : 0); // NaN counts as 0
    };
    return GetDirection(sign(dx), sign(dy));
}

Direction GetRowDirection(std::int64_t dx)
{
    return dx < 0 ? DirectionNorth : (dx > 0 ? DirectionSouth : DirectionCenter);
}

Direction GetColumnDirection(std::int64_t dy)
{
    return dy < 0 ? DirectionWest : (dy > 0 ? DirectionEast : DirectionCenter);
}

std::pair<Direction, Direction> GetAdjacentDirections(std::uint32_t direction)
{
    switch (direction) {
    case DirectionNorth:
        return {DirectionNorthEast, DirectionNorthWest};
    case DirectionEast:
        return {DirectionSouthEast, DirectionNorthEast};
    case DirectionWest:
        return {DirectionSouthWest, DirectionNorthWest};
    case DirectionSouth:
        return {DirectionSouthEast, DirectionSouthWest};
    case DirectionNorthEast:
        return {DirectionEast, DirectionNorth};
    case DirectionNorthWest:
        return {DirectionWest, DirectionNorth};
    case DirectionSouthEast:
        return {DirectionEast, DirectionSouth};
    case DirectionSouthWest:
        return {DirectionWest, DirectionSouth};
    default:
        return {DirectionNone, DirectionNone};
    }
}

MapOffset GetDirectionStep(std::uint32_t direction)
{
    switch (direction) {
    case DirectionNorth:
        return {-1, 0};
    case DirectionEast:
        return {0, 1};
    case DirectionWest:
        return {0, -1};
    case DirectionSouth:
        return {1, 0};
    case DirectionNorthEast:
        return {-1, 1};
    case DirectionNorthWest:
        return {-1, -1};
    case DirectionSouthEast:
        return {1, 1};
    case DirectionSouthWest:
        return {1, -1};
    default:
        return {0, 0};
    }
}

} // namespace Marevane
