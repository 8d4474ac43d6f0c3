// The command writers of the decision engine. Each writes only a command the
// unit's check accepts: the ship may give it, the direction is one the
// command takes, and the target panel is on the board and free where it must
// be. A writer that cannot answers false and writes nothing.
#include "ai/DecisionEngine.h"

#include "ai/TaskRandom.h"
#include "model/CommandableDirection.h"
#include "model/Directions.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <cstdlib>

namespace Marevane::ComputerAI {

namespace {

bool TakesDirection(CommandCode command, Direction direction)
{
    const std::vector<Direction>& allowed = CCommandableDirection::GetInstance().Get(command);
    return std::find(allowed.begin(), allowed.end(), direction) != allowed.end();
}

bool IsPlayPanel(const CPanel* panel)
{
    return panel != nullptr && panel->GetType() != PanelBoundary;
}

std::uint32_t Ceil(std::uint32_t a, std::uint32_t b)
{
    return b == 0 ? a : (a + b - 1) / b;
}

} // namespace

bool CDecisionEngine::PlanMove(const CShip& ship, const CPanel* panel, MovePlan& plan)
{
    const CPanel* from = ship.GetCurrentPanel();
    CUnit& unit = *GetUnit();
    if (from == nullptr || panel == nullptr ||
        !unit.CanShipExecuteCommand(ship.GetShipId(), Marevane::CommandMove))
        return false;
    const std::uint32_t bound = ship.GetConfig().MoveRange;
    const std::int64_t dr = static_cast<std::int64_t>(panel->GetX()) - from->GetX();
    const std::int64_t dc = static_cast<std::int64_t>(panel->GetY()) - from->GetY();
    const auto ar = static_cast<std::uint32_t>(std::llabs(dr));
    const auto ac = static_cast<std::uint32_t>(std::llabs(dc));
    const std::uint32_t rowMoves = Ceil(ar, bound);
    const std::uint32_t columnMoves = Ceil(ac, bound);

    Direction direction = DirectionNone;
    std::uint32_t offset = 0;
    if (dr == 0 || rowMoves < columnMoves) {
        direction = GetColumnDirection(dc);
        offset = ac;
    } else if (dc != 0 && rowMoves == columnMoves && !TaskRandomCoin()) {
        direction = GetColumnDirection(dc);
        offset = ac;
    } else {
        direction = GetRowDirection(dr);
        offset = ar;
    }
    if (offset == 0 || !TakesDirection(Marevane::CommandMove, direction)) return false;

    // Within the bound and what the fuel pays; a landing panel that an own
    // ship holds or that is not open water would be refused, so stop short.
    std::uint32_t distance = std::min({offset, bound, ship.GetMoveRange()});
    const CPanel* landing = nullptr;
    for (; distance >= 1; --distance) {
        landing = from->GetPanelAlong(direction, distance);
        if (IsPlayPanel(landing) && landing->IsPassable() && !IsOwnShipOn(landing, &ship)) break;
    }
    if (distance == 0) return false;
    plan.Way = direction;
    plan.Distance = distance;
    plan.Landing = landing;
    plan.Target = panel;
    return true;
}

bool CDecisionEngine::WriteMove(const CShip& ship, const MovePlan& plan)
{
    if (plan.Target == nullptr || plan.Distance == 0) return false;
    CommandInput input;
    input.Command = Marevane::CommandMove;
    input.ShipId = ship.GetShipId();
    input.ShipType = ship.GetType();
    input.Direction = plan.Way;
    input.Distance = plan.Distance;
    input.Target = plan.Target->GetPos();
    Write(input, "CommandMove");
    return true;
}

bool CDecisionEngine::CommandMove(const CShip& ship, const CPanel* panel)
{
    MovePlan plan;
    return PlanMove(ship, panel, plan) && WriteMove(ship, plan);
}

bool CDecisionEngine::WriteAttackCommand(const CShip& ship, Direction direction)
{
    const CPanel* from = ship.GetCurrentPanel();
    CUnit& unit = *GetUnit();
    if (from == nullptr || !unit.CanShipExecuteCommand(ship.GetShipId(), CommandAttack) ||
        !TakesDirection(CommandAttack, direction))
        return false;
    const CPanel* target = from->GetNeighbor(direction);
    if (!IsPlayPanel(target) || target == from) return false;
    CommandInput input;
    input.Command = CommandAttack;
    input.ShipId = ship.GetShipId();
    input.ShipType = ship.GetType();
    input.Direction = direction;
    input.Distance = 0;
    input.Target = target->GetPos();
    Write(input, "CommandAttack");
    return true;
}

bool CDecisionEngine::CommandAttackAt(const CShip& ship, const CPanel* panel)
{
    const CPanel* from = ship.GetCurrentPanel();
    if (from == nullptr || panel == nullptr) return false;
    const Direction direction = GetOffsetDirection(from->GetOffsetTo(panel->GetPos()));
    if (from->GetNeighbor(direction) != panel) return false;
    return WriteAttackCommand(ship, direction);
}

bool CDecisionEngine::CommandMine(const CShip& ship, Direction direction)
{
    const CPanel* from = ship.GetCurrentPanel();
    CUnit& unit = *GetUnit();
    if (from == nullptr || !unit.CanShipExecuteCommand(ship.GetShipId(), Marevane::CommandMine) ||
        !TakesDirection(Marevane::CommandMine, direction))
        return false;
    const CPanel* target = from->GetNeighbor(direction);
    if (!IsPlayPanel(target)) return false;
    CommandInput input;
    input.Command = Marevane::CommandMine;
    input.ShipId = ship.GetShipId();
    input.ShipType = ship.GetType();
    input.Direction = direction;
    input.Target = target->GetPos();
    Write(input, "CommandMine");
    return true;
}

bool CDecisionEngine::CommandTorpedo(const CShip& ship, const CPanel* panel)
{
    const CPanel* from = ship.GetCurrentPanel();
    CUnit& unit = *GetUnit();
    if (from == nullptr || !IsPlayPanel(panel) || panel == from ||
        !unit.CanShipExecuteCommand(ship.GetShipId(), Marevane::CommandTorpedo) ||
        unit.CountTorpedoes() > CUnit::TorpedoLimit)
        return false;
    CommandInput input;
    input.Command = Marevane::CommandTorpedo;
    input.ShipId = ship.GetShipId();
    input.ShipType = ship.GetType();
    input.Distance = from->GetDistance(*panel);
    input.Target = panel->GetPos();
    Write(input, "CommandTorpedo");
    return true;
}

bool CDecisionEngine::CommandReinforce(const CShip& ship, const CPanel* panel)
{
    CUnit& unit = *GetUnit();
    if (!IsPlayPanel(panel) || !panel->IsPassable() || !panel->IsKnownBy(unit.GetId()) ||
        IsOwnShipOn(panel, &ship) ||
        !unit.CanShipExecuteCommand(ship.GetShipId(), Marevane::CommandReinforce))
        return false;
    CommandInput input;
    input.Command = Marevane::CommandReinforce;
    input.ShipId = ship.GetShipId();
    input.ShipType = ship.GetType();
    input.Distance = ship.GetCurrentPanel() != nullptr ? ship.GetCurrentPanel()->GetDistance(*panel) : 0;
    input.Target = panel->GetPos();
    Write(input, "CommandReinforce");
    return true;
}

bool CDecisionEngine::CommandRefuel(const CShip& oiler, const CShip& ship)
{
    if (oiler.IsSinking() || ship.IsSinking() || !oiler.GetConfig().CanRefuel) return false;
    CommandInput input;
    input.Command = Marevane::CommandRefuel;
    input.ShipId = oiler.GetShipId();
    input.ShipType = oiler.GetType();
    input.Direction = ship.GetShipId();
    // The unit may refuse a refuel order (its oilers refuel their neighbours
    // by themselves after every action). A refused order is not given again
    // in the same turn, so the search moves on to another plan.
    const CommandInput& last = GetUnit()->GetCommandInput();
    if (GetSharedData()->RetryCount > 0 && last.Command == input.Command && last.ShipId == input.ShipId &&
        last.Direction == input.Direction)
        return false;
    Write(input, "CommandRefuel");
    return true;
}

bool CDecisionEngine::CommandChangeFlagship(const CShip& flagship, const CPanel* panel)
{
    CUnit& unit = *GetUnit();
    if (!IsPlayPanel(panel) || panel == flagship.GetCurrentPanel() ||
        !unit.CanShipExecuteCommand(flagship.GetShipId(), Marevane::CommandChangeFlagship) ||
        !IsOwnShipOn(panel, &flagship))
        return false;
    CommandInput input;
    input.Command = Marevane::CommandChangeFlagship;
    input.ShipId = flagship.GetShipId();
    input.ShipType = flagship.GetType();
    input.Target = panel->GetPos();
    Write(input, "CommandChangeFlagship");
    return true;
}

} // namespace Marevane::ComputerAI
