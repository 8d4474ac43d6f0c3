// Which directions a command may take and how far it reaches for one ship;
// the battle map marks the panels a player may target from them.
#pragma once

#include "model/MappingObject.h"
#include "model/Types.h"

#include <vector>

namespace Marevane {

class CShip;

// Command to the directions it may go in, each list in the fixed order
// north, east, west, south, north-east, north-west, south-east, south-west,
// centre. Commands without a direction answer an empty list.
class CCommandableDirection : public CMappingObject<CommandCode, std::vector<Direction>> {
  public:
    static const CCommandableDirection& GetInstance();

  private:
    CCommandableDirection();
};

// Command to its reach in panels for one ship (which may be null); -1 means
// no limit. The move reach is taken when built: build a new table whenever
// the ship's fuel may have changed.
class CCommandableDistance : public CMappingObject<CommandCode, int> {
  public:
    explicit CCommandableDistance(const CShip* ship);
};

} // namespace Marevane
