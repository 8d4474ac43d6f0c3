#include "screens/battle/FleetLimit.h"

#include "model/Records.h"
#include "model/Unit.h"
#include "session/PlayerEdit.h"

namespace Marevane {

std::uint32_t FleetLimit(const GameEditInfo& rules, const CUnit* pUnit)
{
    return CountFleetShips(rules, rules.Map.Size.x * rules.Map.Size.y,
                           pUnit != nullptr && pUnit->HasTeamMates());
}

} // namespace Marevane
