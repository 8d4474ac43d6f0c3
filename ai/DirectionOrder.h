// The fixed orders in which the computer walks directions, read once from the
// model's direction tables.
#pragma once

#include "model/CodeTables.h"

#include <vector>

namespace Marevane::ComputerAI {

// North, east, west, south, north-east, north-west, south-east, south-west.
inline const std::vector<Direction>& CompassDirections()
{
    static const std::vector<Direction> directions = CDirectionMap::GetInstance().GetValuesInOrder();
    return directions;
}

// North, east, west, south.
inline const std::vector<Direction>& MoveDirections()
{
    static const std::vector<Direction> directions = CMoveDirectionMap::GetInstance().GetValuesInOrder();
    return directions;
}

} // namespace Marevane::ComputerAI
