#include "model/CommandableDirection.h"

#include "model/CodeTables.h"
#include "model/Ship.h"

#include <algorithm>

namespace Marevane {

namespace {

// Direction numbers run in the order the lists are shown in.
template <typename Table> std::vector<Direction> DirectionsOf(const Table& table)
{
    std::vector<Direction> directions;
    for (Direction direction : table.GetValuesInOrder()) directions.push_back(direction);
    std::sort(directions.begin(), directions.end());
    directions.erase(std::unique(directions.begin(), directions.end()), directions.end());
    return directions;
}

} // namespace

const CCommandableDirection& CCommandableDirection::GetInstance()
{
    static const CCommandableDirection instance;
    return instance;
}

CCommandableDirection::CCommandableDirection()
{
    const std::vector<Direction> all = DirectionsOf(CDirectionMap::GetInstance());
    const std::vector<Direction> straight = DirectionsOf(CMoveDirectionMap::GetInstance());
    const std::vector<Direction> withCentre = DirectionsOf(CMineDirectionMap::GetInstance());
    Fill({{CommandAttack, all},
          {CommandMove, straight},
          {CommandTorpedo, all},
          {CommandMine, withCentre},
          {CommandReinforce, withCentre}},
         {});
}

CCommandableDistance::CCommandableDistance(const CShip* ship)
{
    const int moveReach = ship ? static_cast<int>(ship->GetMoveRange()) : 0;
    Fill({{CommandAttack, 1},
          {CommandMove, moveReach},
          {CommandTorpedo, -1},
          {CommandMine, 1},
          {CommandReinforce, -1}},
         0);
}

} // namespace Marevane
