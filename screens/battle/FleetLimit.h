// How many ships one side places before a battle. The ship list, the map's
// placement and the computer's fleet all count with the same rule.
#pragma once

#include <cstdint>

namespace Marevane {

class CUnit;
struct GameEditInfo;

// The rules' fleet size; in a tag match a side without a team mate commands
// the fleets of the missing partners too (see CountFleetShips).
std::uint32_t FleetLimit(const GameEditInfo& rules, const CUnit* pUnit);

} // namespace Marevane
