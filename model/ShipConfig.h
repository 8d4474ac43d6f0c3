// Parameters of the ship types and the fresh ship records built from them
// under the rule settings of a battle.
#pragma once

#include "model/MappingObject.h"
#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>

namespace Marevane {

// The fixed row of every ship type; a missing type answers the default row.
class CShipConfigMap : public CMappingObject<ShipType, ShipConfigSet> {
  public:
    static const CShipConfigMap& GetInstance();

  private:
    CShipConfigMap();
};

// The type's row adjusted by the rules: fuel percentage, stealth switch and
// the weapon stocks of destroyers and submarines. Every ship is built on it.
ShipConfigSet MakeShipConfig(ShipType type, const GameEditInfo& info);

// A fresh ship of the type as the ship selection shows it: ship id 0, at
// (0, 0), full hit points and fuel, in stealth when it may stealth.
ShipProfile MakeShipProfile(std::uint32_t unitId, ShipType type, const GameEditInfo& info);

} // namespace Marevane
