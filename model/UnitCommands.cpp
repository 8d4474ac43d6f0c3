// How a side's command input becomes a change of the battle: the check that
// every command passes whatever its source, the executors of each command, the
// action records and the automatic refuel after each action.
#include "model/Unit.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/CommandableDirection.h"
#include "model/Directions.h"
#include "model/MessageCodes.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Torpedo.h"

#include <algorithm>
#include <cstdlib>

namespace Marevane {

namespace {

constexpr MessageCode CodeValid = 90;

// Directions a command may take. Commands that walk nothing (Pass, Refuel,
// codes without an executor) still need some direction, but never one the
// walkers do not know.
bool IsDirectionAllowed(std::uint32_t command, std::uint32_t direction)
{
    const std::vector<Direction>& allowed =
        CCommandableDirection::GetInstance().Get(static_cast<CommandCode>(command));
    if (allowed.empty()) return direction >= DirectionNorth && direction <= DirectionCenter;
    return std::find(allowed.begin(), allowed.end(), static_cast<Direction>(direction)) != allowed.end();
}

std::uint32_t Distance(const CPanel& a, const MapPos& b)
{
    const auto dx = static_cast<std::int64_t>(a.GetX()) - static_cast<std::int64_t>(b.x);
    const auto dy = static_cast<std::int64_t>(a.GetY()) - static_cast<std::int64_t>(b.y);
    return static_cast<std::uint32_t>(std::llabs(dx) + std::llabs(dy));
}

bool IsNeighbor(const CPanel& center, const CPanel* other)
{
    for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d) {
        if (center.GetNeighbor(static_cast<Direction>(d)) == other && other != &center) return true;
    }
    return false;
}

} // namespace

void CUnit::SetCommandInput(const CommandInput& input)
{
    m_command = input;
    m_command.UnitId = m_profile.Id;
}

void CUnit::ClearCommandInput()
{
    m_command.Command = CommandNone;
    m_command.ShipType = ShipTypeNone;
    m_command.Direction = DirectionNone;
    m_command.Distance = 0;
    m_command.Target = MapPos();
    m_command.Text.clear();
}

MessageCode CUnit::CheckCommandInput()
{
    CommandInput& input = m_command;
    auto it = m_ships.find(input.ShipId);
    CShip* ship = it == m_ships.end() ? nullptr : it->second;
    input.ShipType = ship != nullptr ? ship->GetProfile().Type : ShipTypeNone;

    if (!IsActive() && input.Command == CommandNone) {
        input.Command = CommandPass;
        return CodeValid;
    }
    if (m_timer->HasLimit() && m_timer->GetTimeLimit() <= 0) {
        input.Command = CommandPass;
        return TimeUp;
    }
    if (input.Command != CommandResign && !CanAct()) {
        input.Command = CommandPass;
        return CodeValid;
    }
    if (input.Command == CommandNone) return 96;
    if (input.Command == CommandResign) {
        input.Text = CutResignText(input.Text);
        return CodeValid;
    }
    if (ship == nullptr) return 97;

    const MessageCode target = CheckTarget(*ship);
    if (target != CodeValid) return target;
    if (input.Command == CommandMove &&
        (input.Distance < 1 || input.Distance > ship->GetProfile().Config.MoveRange)) {
        return 100;
    }
    if (input.Command == CommandAttack) {
        const CPanel* neighbor =
            ship->GetCurrentPanel()->GetNeighbor(static_cast<Direction>(input.Direction));
        if (neighbor == nullptr || neighbor->GetType() == PanelBoundary) return 104;
    }
    if (ship->IsSinking() && input.Command != CommandReinforce) return 98;

    CompleteCommandInput();
    return CodeValid;
}

// Targets arrive from the network and the console as they were typed: a
// position outside the ring or a direction the walkers do not know is refused
// before anything walks.
MessageCode CUnit::CheckTarget(const CShip& ship)
{
    const CommandInput& input = m_command;
    switch (input.Command) {
    case CommandTorpedo: {
        const CPanel* panel = FindPlayPanel(input.Target);
        if (panel == nullptr || panel->GetType() == PanelBoundary || panel == ship.GetCurrentPanel())
            return 109;
        return CodeValid;
    }
    case CommandReinforce: {
        const CPanel* panel = FindPlayPanel(input.Target);
        if (panel == nullptr || panel->GetType() == PanelBoundary) return 116;
        return CodeValid;
    }
    case CommandChangeFlagship: {
        const CPanel* panel = FindPlayPanel(input.Target);
        if (panel == nullptr || panel->GetType() == PanelBoundary) return 97;
        // Handing the flag to itself would only cost fuel.
        if (IsFlagship(ship.GetProfile().ShipId) && panel == ship.GetCurrentPanel()) return 97;
        return CodeValid;
    }
    default:
        if (input.Direction == DirectionNone || !IsDirectionAllowed(input.Command, input.Direction))
            return 99;
        return CodeValid;
    }
}

void CUnit::CompleteCommandInput()
{
    CommandInput& input = m_command;
    auto it = m_ships.find(input.ShipId);
    CShip* ship = it == m_ships.end() ? nullptr : it->second;
    input.ShipType = ship != nullptr ? ship->GetProfile().Type : ShipTypeNone;
    if (ship == nullptr || ship->GetCurrentPanel() == nullptr) return;
    const CPanel& from = *ship->GetCurrentPanel();

    switch (input.Command) {
    case CommandAttack:
    case CommandMine: {
        if (!IsDirectionAllowed(input.Command, input.Direction)) return;
        const CPanel* neighbor = from.GetNeighbor(static_cast<Direction>(input.Direction));
        if (neighbor == nullptr) return;
        input.Target = neighbor->GetPos();
        input.Distance = Distance(from, input.Target);
        input.UnitId = m_profile.Id;
        break;
    }
    case CommandMove: {
        if (!IsDirectionAllowed(input.Command, input.Direction)) return;
        const CPanel* destination = from.GetPanelAlong(static_cast<Direction>(input.Direction),
                                                       static_cast<std::int32_t>(input.Distance));
        if (destination == nullptr) return;
        input.Target = destination->GetPos();
        input.UnitId = m_profile.Id;
        break;
    }
    case CommandTorpedo:
        input.Distance = Distance(from, input.Target);
        break;
    default:
        break;
    }
}

MessageCode CUnit::ExecuteCommand(const std::vector<CUnit*>& units)
{
    MessageCode result = CheckCommandInput();
    if (result != CodeValid && result != TimeUp) return result;

    if (result == TimeUp) {
        m_timer->SetTimeLimit(0);
        m_profile.IsTimedOut = true;
    } else if (m_command.Command == CommandResign) {
        m_profile.IsResigned = true;
        UpdateStatistics();
        result = CommandSuccess;
    } else if (!IsActive() || m_command.Command == CommandPass) {
        result = NothingToCommand;
    } else {
        CShip& ship = *GetShip(m_command.ShipId);
        switch (m_command.Command) {
        case CommandAttack:
            result = ExecuteAttack(ship, units);
            break;
        case CommandMove:
            result = ExecuteMove(ship);
            break;
        case CommandMine:
            result = ExecuteMine(ship);
            break;
        case CommandTorpedo:
            result = ExecuteTorpedo(ship, units);
            break;
        case CommandReinforce:
            result = ExecuteReinforce(ship);
            break;
        case CommandChangeFlagship:
            result = ExecuteChangeFlagship(ship);
            break;
        default:
            result = 95;
            break;
        }
    }

    if (!IsErrorCode(result)) RecordAction(1, units);
    return result;
}

void CUnit::UpdateAllTotals(const std::vector<CUnit*>& units)
{
    UpdateFpTotals();
    UpdateStatistics();
    for (CUnit* unit : units) {
        if (unit == nullptr) continue;
        unit->UpdateFpTotals();
        unit->UpdateStatistics();
    }
}

MessageCode CUnit::ExecuteMove(CShip& ship)
{
    if (!ship.CanExecuteCommand(CommandMove)) return 75;

    const auto direction = static_cast<Direction>(m_command.Direction);
    const auto distance = m_command.Distance;
    const CPanel* destination =
        ship.GetCurrentPanel()->GetPanelAlong(direction, static_cast<std::int32_t>(distance));
    if (destination == nullptr || destination->GetType() == PanelBoundary) return 101;

    std::vector<const CPanel*> taken;
    for (const auto& [id, other] : m_ships) {
        if (other != &ship && !other->IsSinking()) taken.push_back(other->GetCurrentPanel());
    }
    auto isTaken = [&taken](const CPanel* panel) {
        return std::find(taken.begin(), taken.end(), panel) != taken.end();
    };
    if (isTaken(destination)) return 102;

    const MessageCode result = ship.Move(direction, distance);

    // A walk cut short (reef, high wave, mine) may end on a panel of an own
    // ship; the ship backs off along its own track, which it came over.
    const Direction back = GetOppositeDirection(direction);
    for (std::uint32_t step = 0; step < distance && isTaken(ship.GetCurrentPanel()); ++step) {
        CPanel* previous = ship.GetCurrentPanel()->GetNeighbor(back);
        if (previous == nullptr || !previous->IsPassable()) break;
        ship.SetPanel(previous);
    }

    UpdateFpTotals();
    UpdateStatistics();
    return result;
}

MessageCode CUnit::ExecuteAttack(CShip& ship, const std::vector<CUnit*>& units)
{
    if (!ship.CanExecuteCommand(CommandAttack)) return 77;
    std::vector<CShip*> candidates;
    for (CUnit* unit : units) {
        if (unit == nullptr || !unit->IsActive()) continue;
        for (const auto& [id, other] : unit->m_ships) {
            if (!other->IsSinking()) candidates.push_back(other);
        }
    }
    CPanel* target = ship.GetCurrentPanel()->GetNeighbor(static_cast<Direction>(m_command.Direction));
    const MessageCode result = ship.Attack(candidates, target);
    if (result == 77) return result;
    UpdateAllTotals(units);
    return result;
}

MessageCode CUnit::ExecuteMine(CShip& ship)
{
    CPanel* target = ship.GetCurrentPanel()->GetNeighbor(static_cast<Direction>(m_command.Direction));
    const MessageCode result = ship.LayMine(target);
    if (result == CommandSuccess) UpdateStatistics();
    return result;
}

MessageCode CUnit::ExecuteTorpedo(CShip& ship, const std::vector<CUnit*>& units)
{
    if (!ship.GetConfig().CanFireTorpedo) return 108;
    if (ship.GetProfile().WeaponStock <= 0) return 110;
    if (!ship.CanExecuteCommand(CommandTorpedo)) return 78;
    if (CountTorpedoes() > TorpedoLimit) return 79;

    std::vector<CShip*> candidates;
    for (CUnit* unit : units) {
        if (unit == nullptr || !unit->IsActive()) continue;
        for (const auto& [id, other] : unit->m_ships) candidates.push_back(other);
    }
    CPanel* target = FindPlayPanel(m_command.Target);
    const MessageCode result = ship.FireTorpedo(candidates, target);
    if (result != CommandSuccess) return result;

    UpdateAllTotals(units);
    const std::uint32_t fired = ship.GetProfile().Statistics[ShipStatTorpedoes];
    if (fired != 0) {
        if (auto launched = ship.GetTorpedo(fired - 1))
            m_command.Direction = launched->GetProfile().Direction;
    }
    return CommandSuccess;
}

MessageCode CUnit::ExecuteReinforce(CShip& ship)
{
    if (m_profile.ReinforcementsLeft == 0 || IsDefeated()) return 112;
    const std::uint32_t round = GetCurrentRound();
    if (round > LastReinforceRound) return 113;
    if (!ship.IsSinking()) return 111;
    if (!ship.CanAct()) return 80;

    CPanel* panel = FindPlayPanel(m_command.Target);
    if (panel == nullptr) return 116;
    if (!panel->IsKnownBy(m_profile.Id)) return 115;
    if (!panel->IsPassable()) return 116;
    if (IsPanelOccupied(panel, &ship)) return 114;

    const MessageCode result = ship.Reinforce(panel, round);
    if (result != CommandSuccess) return result;

    m_profile.ReinforcementsLeft -= 1;
    m_profile.Statistics[0][StatMinesHeld] = GetMineTotal();
    UpdateFpTotals();
    UpdateStatistics();
    return CommandSuccess;
}

MessageCode CUnit::ExecuteChangeFlagship(CShip& ship)
{
    const CPanel* panel = FindPlayPanel(m_command.Target);
    CShip* candidate = FindShipOnPanel(panel);
    if (candidate == nullptr && panel != nullptr) {
        // A sunk ship of the side on that panel is a choice, just a wrong one.
        for (const auto& [id, other] : m_ships) {
            if (other != &ship && other->GetCurrentPanel() == panel) {
                candidate = other;
                break;
            }
        }
    }
    if (!IsFlagship(ship.GetProfile().ShipId)) return 119;
    if (candidate == nullptr) return 97;
    if (candidate->IsSinking()) return 120;

    const MessageCode result = ship.ChangeFlagship(candidate, m_profile.Statistics[0][StatFlagshipChanges]);
    if (result == CommandSuccess) {
        m_profile.FlagshipId = candidate->GetProfile().ShipId;
        UpdateFpTotals();
        UpdateStatistics();
    }
    return result;
}

bool CUnit::CanShipExecuteCommand(std::uint32_t shipId, std::uint32_t command) const
{
    const CShip& ship = *GetShip(shipId);
    switch (command) {
    case CommandAttack:
    case CommandMove:
    case CommandMine:
    case CommandTorpedo:
    case CommandRefuel:
        return ship.CanExecute(static_cast<CommandCode>(command), 1);
    case CommandReinforce:
        return CanReinforceNow() && ship.CanExecute(CommandReinforce, GetCurrentRound());
    case CommandChangeFlagship: {
        if (!IsFlagship(shipId)) return false;
        if (!ship.CanExecute(CommandChangeFlagship, m_profile.Statistics[0][StatFlagshipChanges]))
            return false;
        std::uint32_t afloat = 0;
        for (const auto& [id, other] : m_ships) {
            if (!other->IsSinking()) ++afloat;
        }
        return afloat > 1;
    }
    default:
        return false;
    }
}

std::uint32_t CUnit::GetReinforceCost(std::uint32_t shipId) const
{
    return GetShip(shipId)->GetReinforcementCost(GetCurrentRound());
}

void CUnit::RecordAction(std::uint32_t kind, const std::vector<CUnit*>& units)
{
    if (kind == 2) {
        for (const auto& [id, ship] : m_ships) {
            for (ActionInfo& result : ship->TakePendingActions()) m_actions.push_back(std::move(result));
        }
        return;
    }
    if (kind != 1 && kind != 3) return;

    ActionInfo info;
    info.Kind = kind;
    info.Command = m_command.Command;
    info.UnitId = m_profile.Id;
    info.ShipId = m_command.ShipId;
    info.ShipType = m_command.ShipType;
    info.Direction = m_command.Direction;
    info.Distance = m_command.Distance;
    info.Target = m_command.Target;
    std::vector<ShipProfile>& own = info.Ships[m_profile.Id];
    for (const auto& [id, ship] : m_ships) own.push_back(ship->GetProfile());
    for (CUnit* unit : units) {
        if (unit == nullptr || unit == this) continue;
        for (const auto& [id, ship] : unit->m_ships) {
            info.Ships[ship->GetProfile().UnitId].push_back(ship->GetProfile());
            // What the action did to them is recorded now; the next action
            // starts from a clean slate.
            ship->GetProfile().LastEvent = 0;
            ship->GetProfile().PendingStatus = 0;
            ship->GetProfile().FpChange = 0;
        }
    }
    m_actions.push_back(std::move(info));
}

MessageCode CUnit::RefuelFrom(CShip* oiler)
{
    if (oiler == nullptr || !oiler->GetProfile().Config.CanRefuel) return 117;
    if (oiler->IsSinking()) return 98;
    if (oiler->IsFuelShortage() || !oiler->IsFpInUse() || oiler->GetProfile().Fp == 0) return 81;
    if (oiler->GetCurrentPanel() == nullptr) return 82;

    // Walked by ship id, so equal needs keep the id order.
    std::vector<CShip*> targets;
    for (const auto& [id, ship] : m_ships) {
        if (ship == oiler || ship->IsSinking() || ship->GetProfile().Type == ShipTypeOiler) continue;
        if (!IsNeighbor(*oiler->GetCurrentPanel(), ship->GetCurrentPanel())) continue;
        if (ship->HasStatus(ShipStatusStealth) && ship->GetProfile().Config.CanStealth) continue;
        targets.push_back(ship);
    }
    if (targets.empty()) return 82;

    auto missing = [](const CShip* ship) {
        const std::uint32_t capacity = ship->GetProfile().Config.Fp;
        return ship->GetProfile().Fp >= capacity ? 0u : capacity - ship->GetProfile().Fp;
    };
    std::stable_sort(targets.begin(), targets.end(),
                     [&missing](const CShip* a, const CShip* b) { return missing(a) > missing(b); });

    const MessageCode result = oiler->Refuel(targets);
    if (result == CommandSuccess) {
        UpdateFpTotals();
        UpdateStatistics();
    }
    return result;
}

} // namespace Marevane
