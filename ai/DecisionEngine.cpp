// The decision engine's entry, its dispatch by decision kind, the
// reconsideration rules, the shared predicates and the ranked ship lists.
#include "ai/DecisionEngine.h"

#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <cmath>

namespace Marevane::ComputerAI {

CDecisionEngine::CDecisionEngine(CUnit* unit, CBoard* board, CResultManager* results)
    : CAIEngine(unit, board, results)
{
}

CDecisionEngine::~CDecisionEngine() = default;

// --- entry ---------------------------------------------------------------

void CDecisionEngine::Run()
{
    m_written = false;
    if (CheckSpecialSituations()) {
        Decide();
        if (GetSharedData()->RetryCount > RetryLimit) {
            Trace("ErrorOverRetryCountLimit");
            ShipList fresh = ActiveShips();
            MoveSimply(fresh);
        }
    }
    // A search that ended without a command (no target to reconsider) would
    // leave the last, refused command in place and the turn could not end.
    if (!m_written) WritePass();
    Trace("DumpComputerAI");
}

bool CDecisionEngine::CheckSpecialSituations()
{
    CUnit& unit = *GetUnit();
    if (unit.RefreshShipStatuses()) return true;
    if (HasRescuableSinkingShip(unit)) {
        ShipList sinking = GetSinkingShipsRanked();
        if (ReadFigures().Level > 2) {
            DefendSinkingShip(sinking);
        } else {
            RescueSinkingShip(sinking);
        }
        return false;
    }
    if (HasMineLayingShip(unit)) {
        LayMineNearFlagship(ActiveShips());
        return false;
    }
    ResignOrPass();
    return false;
}

void CDecisionEngine::Decide()
{
    Trace("DumpComputerAI");
    ShipList ships = ActiveShips();
    Dispatch(ships);
}

void CDecisionEngine::Dispatch(ShipList& ships)
{
    CAISharedData& shared = *GetSharedData();
    switch (shared.DecisionKind) {
    case 1:
    case 2:
        EvaluateMainCommand(ships);
        break;
    case 4:
        Approach(ships);
        break;
    case 5:
        Escape(ships);
        break;
    case 6:
        Cover(ships);
        break;
    case 7:
        MoveForRefuelling(ships, nullptr);
        break;
    case 9:
        LayMineTrap(ships);
        break;
    case 10:
        LayMineNearFlagship(ships);
        break;
    case 11:
        LayMine({});
        break;
    case 12:
    case 13:
    case 14:
    case 15:
        ChooseRangeCommand(ships);
        break;
    case 16:
    case 18: {
        ShipList sinking = GetSinkingShipsRanked();
        DefendSinkingShip(sinking);
        break;
    }
    case 17: {
        ShipList sinking = GetSinkingShipsRanked();
        RescueSinkingShip(sinking);
        break;
    }
    case 19:
        RefuelPartner(ships);
        break;
    case 20:
        RefuelForDefence(ships);
        break;
    case 24:
        CommandAroundFlagship(ships);
        break;
    default: // 3, 8, 21, 22, 23 and unknown kinds
        MoveSimply(ships);
        break;
    }
}

void CDecisionEngine::Reconsider(ShipList& ships)
{
    CAISharedData& shared = *GetSharedData();
    if (shared.Target == nullptr || shared.RetryCount > RetryLimit) return;
    Trace("Reconsider");
    shared.RetryCount += 1;
    const std::uint32_t previous = shared.DecisionKind;
    CUnit& unit = *GetUnit();

    bool fromQueue = false;
    if (!shared.PlanQueue.empty()) {
        shared.PlanQueue.pop_front();
        if (!shared.PlanQueue.empty()) {
            const PlanRecord& front = *shared.PlanQueue.front();
            SetTarget(front.SideId);
            shared.DecisionKind = front.Kind;
            ships = ActiveShips();
            fromQueue = true;
        }
    }
    if (!fromQueue) {
        // The first ranked opponent, or the first rival when none is ranked.
        CVirtualGame& game = *GetVirtualGame();
        const std::vector<CVirtualPlayer*>& ranked = GetOpponents();
        if (!ranked.empty() && ranked.front() != nullptr) {
            SetTarget(ranked.front()->GetUnitId());
        } else if (!game.GetRivals().empty()) {
            SetTarget(game.GetRivals().front()->GetUnitId());
        }
        ships = ActiveShips();
        if (HasRescuableSinkingShip(unit)) {
            shared.DecisionKind = 18;
        } else if (ships.empty()) {
            shared.DecisionKind = 21;
        } else {
            shared.DecisionKind = 3;
        }
    }

    bool lastHitPoint = false;
    for (CShip* ship : ships) {
        if (PlanOf(*ship).IsLastHitPoint) lastHitPoint = true;
    }
    const std::size_t n = ships.size();
    const Figures figures = ReadFigures();
    CVirtualPlayer& target = *shared.Target;
    const bool targetCanAttack = target.CanAnyShipAttackLocatedShip();

    switch (shared.DecisionKind) {
    case 1:
        if (previous == 5 && lastHitPoint && n > 1 && !targetCanAttack && !ships.empty()) {
            Cover(ships);
        } else {
            EvaluateMainCommand(ships);
        }
        return;
    case 2:
        EvaluateMainCommand(ships);
        return;
    case 4:
        if (ships.empty() || !lastHitPoint || figures.Strength < 4 || previous != 5) {
            Approach(ships);
        } else {
            Cover(ships);
        }
        return;
    case 5:
        Escape(ships);
        return;
    case 6:
        Cover(ships);
        return;
    case 7:
    case 21:
        MoveForRefuelling(ships, nullptr);
        return;
    case 9:
        LayMineTrap(ships);
        return;
    case 10:
        LayMineNearFlagship(ships);
        return;
    case 11:
        LayMine({});
        return;
    case 20:
        RefuelForDefence(ships);
        return;
    case 24:
        CommandAroundFlagship(ships);
        return;
    case 16:
    case 18: {
        shared.DecisionKind = 16;
        ShipList sinking = GetSinkingShipsRanked();
        DefendSinkingShip(sinking);
        return;
    }
    case 17: {
        ShipList sinking = GetSinkingShipsRanked();
        RescueSinkingShip(sinking);
        return;
    }
    case 22:
    case 23: {
        ShipList fresh = ActiveShips();
        if (fresh.empty()) {
            ResignOrPass();
        } else {
            MoveSimply(fresh);
        }
        return;
    }
    default:
        break;
    }

    // 3, 8, 12-15, 19 and unknown kinds: the first test that holds.
    bool inReach = false;
    for (const auto& [shipId, plan] : target.GetAssessments()) {
        if (plan.IsInRange) inReach = true;
    }
    if (inReach || targetCanAttack || (GetVirtualGame()->CanAttackAnyRival() && figures.Level == 4)) {
        EvaluateMainCommand(ships);
    } else if (previous == 5 && lastHitPoint && !ships.empty() &&
               (figures.Level <= 2 || figures.Strength > 1) && n > 1) {
        Cover(ships);
    } else if (HasMineLayingShip(unit)) {
        LayMineNearFlagship(ships);
    } else if (unit.CanAnyShipAttack()) {
        EvaluateMainCommand(ships);
    } else {
        Escape(ships);
    }
}

// --- predicates ------------------------------------------------------------

bool CDecisionEngine::HasMineLayingShip(const CUnit& unit)
{
    for (const auto& [id, ship] : unit.GetShips()) {
        if (ship->GetConfig().CanLayMine && ship->GetProfile().WeaponStock > 0 && !ship->IsSinking())
            return true;
    }
    return false;
}

bool CDecisionEngine::HasRescuableSinkingShip(const CUnit& unit)
{
    const std::uint32_t round = unit.GetCurrentRound();
    if (round > CUnit::LastReinforceRound || unit.GetReinforcementsLeft() == 0 || unit.IsDefeated())
        return false;
    for (const auto& [id, ship] : unit.GetShips()) {
        if (ship->IsFuelShortage() && ship->GetReinforcementCost(1) != 0) continue;
        if (!ship->IsSinking() || unit.IsFlagship(id)) continue;
        if (!ship->IsFpInUse()) return true;
        const std::uint32_t cost = ship->GetReinforcementCost(round);
        const std::uint32_t fp = ship->GetProfile().Fp;
        const std::uint32_t rest = fp > cost ? fp - cost : 0;
        if (rest == 0) continue;
        for (std::uint32_t command = CommandAttack; command <= CommandPass; ++command) {
            if (!ship->HasCommandAbility(command)) continue;
            const std::uint32_t c = ship->GetCommandCost(command, 1);
            if (c > 0 && c <= rest) return true;
        }
    }
    return false;
}

bool CDecisionEngine::CanFireTorpedo(const CUnit& unit, std::uint32_t shipId)
{
    const CShip& ship = *unit.GetShip(shipId);
    const ShipConfigSet& config = ship.GetConfig();
    return unit.GetLevel() >= ModeEasy && !ship.IsFuelShortage() && config.CanFireTorpedo &&
           (config.Fp == 0 || config.TorpedoFp <= ship.GetProfile().Fp) &&
           ship.GetProfile().WeaponStock != 0 && unit.CountTorpedoes() < CUnit::TorpedoLimit;
}

bool CDecisionEngine::CanMoveNow(const CShip& ship)
{
    const ShipConfigSet& config = ship.GetConfig();
    return !ship.IsFuelShortage() && !ship.IsSinking() && config.MoveFp != 0 &&
           (config.Fp == 0 || config.MoveFp <= ship.GetProfile().Fp);
}

bool CDecisionEngine::CanPayAttack(const CShip& ship)
{
    const ShipConfigSet& config = ship.GetConfig();
    return !ship.IsSinking() && !ship.IsFuelShortage() && config.AttackFp != 0 &&
           (config.Fp == 0 || config.AttackFp <= ship.GetProfile().Fp);
}

bool CDecisionEngine::HasReadyStealthShip() const
{
    for (const auto& [id, ship] : GetUnit()->GetShips()) {
        if (!ship->IsStealthed() || ship->IsSinking()) continue;
        if (!ship->IsFpInUse()) return true;
        if (!ship->IsFuelShortage() &&
            (ship->CanExecuteCommand(CommandAttack) || ship->CanExecuteCommand(Marevane::CommandMove) ||
             ship->CanFireTorpedo()))
            return true;
    }
    return false;
}

bool CDecisionEngine::WantsMineTrap() const
{
    return GetUnit()->GetLevel() >= 0 && HasMineLayingShip(*GetUnit()) && TaskRandomUInt(0, 99) < 15;
}

// --- engine-base helpers ---------------------------------------------------

PlanRecord& CDecisionEngine::PlanOf(const CShip& ship) const
{
    const CVirtualPlayer* target = GetSharedData()->Target;
    if (target == nullptr) throw std::out_of_range(MissingKeyText);
    return GetPlan(target->GetUnitId(), ship.GetShipId());
}

bool CDecisionEngine::HasPlan(std::uint32_t opponentId, std::uint32_t shipId) const
{
    const CVirtualGame* game = GetVirtualGame();
    if (game == nullptr || !game->HasPlayer(opponentId)) return false;
    return game->GetPlayer(opponentId)->GetAssessments().count(shipId) != 0;
}

CDecisionEngine::ShipList CDecisionEngine::ActiveShips() const
{
    if (GetSharedData()->Target != nullptr) return GetActiveShipsRanked();
    ShipList ships;
    for (const auto& [id, ship] : GetUnit()->GetShips()) {
        if (ship->IsSinking()) continue;
        const ShipConfigSet& config = ship->GetConfig();
        const std::uint32_t fp = ship->GetProfile().Fp;
        const bool able = config.Fp == 0 ||
                          (!ship->IsFuelShortage() &&
                           ((config.AttackFp != 0 && config.AttackFp <= fp) ||
                            (config.MoveFp != 0 && config.MoveFp <= fp) || ship->CanFireTorpedo())) ||
                          (config.CanLayMine && ship->GetProfile().WeaponStock > 0);
        if (able) ships.push_back(ship);
    }
    return ships;
}

// The plan records hold what the side assessment learnt of each own ship;
// the strategies test these facts under their own names.
CDecisionEngine::PlanFacts CDecisionEngine::ReadFacts(const PlanRecord& plan)
{
    PlanFacts facts;
    facts.Kind = plan.Kind;
    facts.Priority = plan.Priority;
    facts.LastHitPoint = plan.IsLastHitPoint;
    facts.CanMoveAndAttack = plan.CanAttackAndMove;
    facts.InReach = plan.IsInRange;
    facts.FlagA = plan.IsAttackAdvised;
    facts.FlagB = plan.HasAdjacentTarget;
    facts.FlagC = plan.HasCloseTarget;
    facts.CountWord = plan.CloseCount;
    facts.FlagD = plan.Verdict;
    facts.FlagE = plan.IsInRange;
    facts.FlagF = plan.CanAttackAndMove;
    facts.PositionWord = plan.ApproachMoves;
    facts.ReserveWord = plan.Fuel;
    // How far the side has found the ship: its panel among how many.
    if (plan.IsClose) {
        facts.StateWord = 5;
    } else if (plan.IsPositive) {
        facts.StateWord = plan.CandidateCount <= 4 ? 3 : plan.CandidateCount <= 8 ? 2 : 1;
    }
    facts.WordZ = plan.CloseCount;
    facts.ValueA = plan.CandidateCount;
    facts.ValueB = plan.IsSeen ? 1 : 0;
    facts.ValueC = static_cast<std::uint32_t>(std::max(plan.HitPoints, 0));
    facts.ValueD = plan.MinOverlap;
    facts.ValueF = plan.Fuel;
    facts.Flags[0] = plan.IsSunk;
    facts.Flags[1] = plan.IsSeen;
    facts.Flags[3] = plan.IsClose;
    facts.Flags[5] = plan.IsPositive;
    facts.Flags[6] = plan.IsSeen;                        // exposed: wants cover
    facts.Flags[7] = plan.IsLastHitPoint;                // weak: wants cover
    facts.Flags[8] = plan.IsLastHitPoint && plan.IsSeen; // both
    facts.Flags[9] = plan.IsFleetFuelLow;
    facts.Flags[11] = plan.CanAttack;
    facts.Flags[16] = plan.ApproachPanel != nullptr;
    facts.Flags[19] = plan.CanRefuelOthers;
    facts.Flags[22] = plan.IsAttackAdvised;
    facts.Flags[23] = plan.HasCloseTarget;
    // A side that has nearly found the ship threatens it; fewer candidate
    // panels weigh less, as a closer threat.
    if (plan.IsClose) facts.Threats.emplace_back(plan.SideId, plan.CandidateCount);
    return facts;
}

CDecisionEngine::ShipRecord CDecisionEngine::RecordOf(const CShip& ship) const
{
    ShipRecord record;
    const CVirtualGame* game = GetVirtualGame();
    if (game == nullptr) return record;
    const std::uint32_t id = ship.GetShipId();
    if (const CVirtualPlayer* own = game->GetOwnPlayer()) {
        if (const CVirtualBoard* board = own->GetBoard(id)) record.ReachEntries = board->GetCandidateCount();
    }
    const CVirtualPlayer* target = GetSharedData() != nullptr ? GetSharedData()->Target : nullptr;
    for (const CVirtualPlayer* rival : game->GetRivals()) {
        const auto& plans = rival->GetAssessments();
        auto it = plans.find(id);
        if (it == plans.end()) continue;
        const PlanRecord& plan = it->second;
        record.Alert1 = record.Alert1 || plan.HasAdjacentTarget;
        record.Alert2 = record.Alert2 || plan.IsClose;
        record.Mark = record.Mark || plan.IsAttackAdvised;
        record.ReachValue = std::max(record.ReachValue, plan.BestScoreNear);
        if (plan.IsClose) record.Threats.push_back(rival->GetUnitId());
        if (rival == target) {
            record.Alert3 = plan.ApproachPanel != nullptr;
            record.RouteCost = plan.ApproachCost;
        }
    }
    record.RefuelReady = game->IsRefuelReady(id);
    return record;
}

std::uint32_t CDecisionEngine::PairClass(const PairInputs& in)
{
    const std::uint32_t d = in.D;
    const std::uint32_t k = in.K;
    const PlanFacts& r = in.R;
    if (in.One && in.Low) return 0;
    if (in.Hit && in.Low) return 1;
    if (in.One && d == 1 && k == 1) return 2;
    if ((r.FlagA || r.LastHitPoint) && k <= 4 && (r.FlagC || r.StateWord == 5)) return 3;
    if (in.Low) return 4;
    if (in.One && d == k) return 5;
    if (in.Hit && d == 1 && k == 1) return 6;
    if (!in.Hit && d == 1 && k == 1) return r.CountWord >= 4 ? 7 : 8;
    if (in.Hit && d == k) return 9;
    if (in.One && k < 5) return 10;
    if (in.Hit && k <= 4) return 11;
    if (in.One && k < 9) return 12;
    if (in.Hit && k <= 8) return 13;
    if (in.One) return 14;
    if (in.Hit) return 15;
    if (d == k) return 16;
    return 17;
}

std::int32_t CDecisionEngine::RangeWeight(const PlanFacts& facts, bool canAct)
{
    if (facts.StateWord != 0) return 20;
    return canAct ? 10 : 5;
}

std::uint32_t CDecisionEngine::RangeFigure(const CVirtualBoard& enemy, const CPanel* panel)
{
    if (panel == nullptr || enemy.GetCandidates().empty()) return 0;
    const double first = std::round(enemy.GetWeightedMeanFirst() - static_cast<double>(panel->GetX()));
    const double second = std::round(enemy.GetWeightedMeanSecond() - static_cast<double>(panel->GetY()));
    return static_cast<std::uint32_t>(std::fabs(first) + std::fabs(second));
}

CDecisionEngine::Figures CDecisionEngine::ReadFigures() const
{
    Figures figures;
    const CUnit& unit = *GetUnit();
    std::uint32_t own = 0;
    for (const auto& [id, ship] : unit.GetShips()) {
        if (!ship->IsSinking()) ++own;
    }
    figures.Balance = GetBalance();
    figures.Level = GetPhase();
    figures.Strength = own;
    figures.OwnerCount = own;
    figures.R1 = GetRuleValue1();
    figures.R2 = GetRuleValue2();
    return figures;
}

bool CDecisionEngine::IsOwnShipOn(const CPanel* panel, const CShip* except) const
{
    for (const auto& [id, ship] : GetUnit()->GetShips()) {
        if (ship != except && !ship->IsSinking() && ship->GetCurrentPanel() == panel) return true;
    }
    return false;
}

} // namespace Marevane::ComputerAI
