#include "ai/AssessmentEngine.h"

#include "ai/AISharedData.h"
#include "ai/TaskPool.h"
#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/ResultManager.h"
#include "model/Score.h"
#include "model/Ship.h"
#include "model/TextUtil.h"
#include "model/Unit.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace Marevane::ComputerAI {

namespace {

constexpr std::uint32_t Last = 0xFFFFFFFFu;

bool CanPay(std::uint32_t cost, std::uint32_t fuel)
{
    return cost != 0 && cost <= fuel;
}

bool CanLayMineNow(const CShip& ship)
{
    return ship.GetConfig().CanLayMine && ship.GetProfile().WeaponStock > 0 && !ship.IsSinking();
}

bool IsOutOfBattle(const CVirtualPlayer& player)
{
    const UnitProfile* profile = player.GetProfile();
    return profile != nullptr && (profile->IsResigned || profile->IsTimedOut);
}

// Neither resigned nor timed out, with a ship afloat.
bool IsLive(const CVirtualPlayer& player)
{
    return !IsOutOfBattle(player) && player.CountShipsAfloat() != 0;
}

bool HasNoFlagship(const CVirtualPlayer& player)
{
    const UnitProfile* profile = player.GetProfile();
    return profile == nullptr || profile->FlagshipId == 0 || player.IsFlagshipSunk();
}

// 1 to 15 for a candidate ratio of 0 to 1: the better located, the sooner.
std::uint32_t SmallPriority(std::uint32_t from, double ratio)
{
    const double clamped = std::min(1.0, std::max(0.0, ratio));
    return std::min<std::uint32_t>(15, from + static_cast<std::uint32_t>(clamped * (15 - from)));
}

} // namespace

void CAssessmentEngine::Run()
{
    CAISharedData* shared = GetSharedData();
    if (shared == nullptr || GetVirtualGame() == nullptr) throw std::out_of_range(MissingKeyText);
    if (shared->RetryCount == 0) {
        SelectTarget();
        // The side assessment reads the kind of the decision before.
        GetVirtualGame()->AssessSides(shared->DecisionKind);
        GetVirtualGame()->EvaluateShipPairs();
        AssessFirstPass();
    } else {
        AssessPlans();
    }
}

void CAssessmentEngine::SortOpponents() const
{
    std::vector<CVirtualPlayer*>& opponents = GetOpponents();
    opponents = GetVirtualGame()->GetRivals();
    std::sort(opponents.begin(), opponents.end(), CVirtualPlayer::CompareThreats);
}

void CAssessmentEngine::SelectTarget()
{
    SortOpponents();
    const std::vector<CVirtualPlayer*>& opponents = GetOpponents();
    CVirtualPlayer* target = nullptr;
    if (!GetUnit()->HasTeamMates() && IsTargetDecided()) {
        target = opponents.front();
    } else {
        target = ChooseTarget();
    }
    GetSharedData()->Target = target;
}

bool CAssessmentEngine::IsTargetDecided() const
{
    const std::vector<CVirtualPlayer*>& opponents = GetOpponents();
    if (opponents.empty()) return false;
    const double own = GetUnit()->GetHpRate();
    return std::none_of(opponents.begin(), opponents.end(),
                        [own](const CVirtualPlayer* p) { return p->GetHitPointRatio() > own; });
}

CVirtualPlayer* CAssessmentEngine::ChooseTarget() const
{
    const std::vector<CVirtualPlayer*>& opponents = GetOpponents();
    for (auto it = opponents.rbegin(); it != opponents.rend(); ++it) {
        if (IsLive(**it)) return *it;
    }
    return opponents.empty() ? nullptr : opponents.front();
}

bool CAssessmentEngine::IsMineChance(std::uint32_t percent) const
{
    CUnit* unit = GetUnit();
    if (unit->GetLevel() < 0) return false;
    bool layer = false;
    for (const auto& [id, ship] : unit->GetShips()) layer = layer || CanLayMineNow(*ship);
    if (!layer) return false;
    return TaskRandomUInt(0, 99) < std::min<std::uint32_t>(percent, 100);
}

void CAssessmentEngine::AssessPlans()
{
    CUnit* unit = GetUnit();
    // Refreshed once here, so the tasks never write it at the same time.
    ActionStatistics& stats = unit->GetStatistics();
    stats.Score = CalculateScore(stats);
    const bool strong = unit->GetLevel() >= 0;

    std::vector<std::pair<CShip*, CVirtualPlayer*>> pairs;
    for (CVirtualPlayer* opponent : GetOpponents()) {
        if (opponent == nullptr || !IsLive(*opponent)) continue;
        for (const auto& [id, ship] : unit->GetShips()) pairs.emplace_back(ship, opponent);
    }
    // Every task draws from its own engine, seeded in pair order, so a fixed
    // seed replays whatever order the tasks run in.
    std::vector<std::mt19937> engines = MakeTaskEngines(pairs.size());
    const std::vector<std::exception_ptr> failures = RunTasks(pairs.size(), [&](std::size_t i) {
        CTaskRandomScope draws(engines[i]);
        AssessPlan(*pairs[i].first, *pairs[i].second, strong);
    });
    // Only now, with every task done, may a failure end the decision.
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

void CAssessmentEngine::AssessPlan(CShip& ship, CVirtualPlayer& opponent, bool strong)
{
    PlanRecord& plan = opponent.GetAssessment(ship.GetShipId());
    plan.SideId = opponent.GetUnitId();
    plan.ShipId = ship.GetShipId();
    if (ship.IsSinking()) {
        AssessSinkingPlan(ship, opponent, plan);
    } else {
        AssessAfloatPlan(ship, opponent, plan, strong);
    }
}

std::uint32_t CAssessmentEngine::GetLatestRound() const
{
    CResultManager* results = GetResultManager();
    if (results == nullptr || results->GetLogCount() == 0) return 1;
    const PlayOrder& order = results->GetLog(1).Order;
    return order.Round + (order.Position < 2 ? 1 : 0);
}

void CAssessmentEngine::AssessSinkingPlan(CShip& ship, CVirtualPlayer& opponent, PlanRecord& plan)
{
    CUnit* unit = GetUnit();
    if (!unit->CanShipExecuteCommand(ship.GetShipId(), CommandReinforce)) {
        plan.Kind = 23;
        return;
    }
    const std::uint32_t r = GetLatestRound();
    const std::int32_t r1 = GetRuleValue1();
    const std::int32_t r2 = GetRuleValue2();
    const InferenceRecord& summary = GetVirtualGame()->GetInferenceTable().GetRecord(opponent.GetUnitId());
    std::int64_t priority = 0;
    if (r1 < 3) {
        plan.Kind = opponent.GetSortedBoards().size() < 3 ? 16 : 17;
        priority = r2 >= 1 ? 123 : 120;
        const double fp = ship.GetFpRate();
        if (fp > 0.8) priority -= 2;
        if (fp < 0.4) priority += 3;
        if (!ship.GetConfig().CanStealth) priority += 3;
        if (r < 18 && r % 5 != 4) {
            priority += 7;
        } else if (r >= 18) {
            priority -= 10;
        }
    } else {
        plan.Kind = r2 >= 5 && HasNoFlagship(opponent) && TaskRandomChance(60) ? 17 : 18;
        if (summary.FollowUpFlag && summary.FirstKindFlag) {
            plan.Priority = unit->HasFlagship() ? 1 : 0;
            return;
        }
        priority = 106 + (r2 >= 1 ? 2 : 0) - (r > 17 ? 3 : 0);
    }
    if (summary.FirstKindFlag) priority -= 5;
    if (summary.SecondKindFlag) priority = 3;
    plan.Priority = static_cast<std::uint32_t>(std::max<std::int64_t>(priority, 0));
}

void CAssessmentEngine::AssessAfloatPlan(CShip& ship, CVirtualPlayer& opponent, PlanRecord& plan, bool strong)
{
    CUnit* unit = GetUnit();
    auto set = [&plan](std::uint32_t kind, std::uint32_t priority) {
        plan.Kind = kind;
        plan.Priority = priority;
    };
    const double fuel = ship.GetFpRate();
    const bool isFlagship = unit->IsFlagship(ship.GetShipId());
    const bool canTorpedo = ship.CanFireTorpedo();
    const bool canMine = CanLayMineNow(ship);
    const bool oilerHelps = GetVirtualGame()->GetInferenceTable().GetSecondFlag();
    (void)opponent;

    // A ship that cannot give any command only waits.
    if (!ship.CanAct()) return set(22, 200);
    // The side's last hope against a ship that knows where it is: away first.
    if (plan.Verdict && plan.IsLastHitPoint && plan.CanMove && (plan.IsClose || plan.IsSeen))
        return set(5, 0);
    // A target next to the ship that is worth the hit.
    if (plan.HasAdjacentTarget && plan.CanAttack && plan.IsAttackAdvised)
        return set(2, SmallPriority(1, plan.AttackRatio));
    if (plan.HasAdjacentTarget && plan.CanAttack && plan.AttackRatio <= 0.3)
        return set(2, SmallPriority(6, plan.AttackRatio));
    // The flagship under threat gives way to commands around it.
    if (isFlagship && plan.Verdict && plan.CanMove) return set(24, 0);
    if (isFlagship && plan.IsPositive && TaskRandomChance(30)) return set(24, 130);
    // Under threat without a blow to strike back: escape.
    if (plan.Verdict && plan.CanMove && !(plan.HasAdjacentTarget && plan.CanAttack)) {
        if (strong || TaskRandomChance(70)) return set(5, 0);
    }
    // Fuel: stranded ships wait for an oiler; low ones head for one.
    if (ship.IsFpInUse() && !plan.CanMove && fuel < 0.2) return set(21, Last);
    if (ship.IsFpInUse() && plan.CanMove && fuel < 0.3 && !plan.CanRefuelOthers && oilerHelps)
        return set(7, 110);
    if (plan.CanRefuelOthers && !plan.CanAttack) {
        if (plan.CanRefuelAndMove && (plan.IsFleetFuelLow || plan.IsNeighborFuelLow)) return set(7, 105);
        return set(21, Last);
    }
    // Mines where a rival ship is close, or around the own flagship.
    if (canMine && plan.HasCloseTarget && IsMineChance(30)) return set(9, 120);
    if (canMine && plan.IsInRange && IsMineChance(static_cast<std::uint32_t>((1.0 - plan.FewestRatio) * 100)))
        return set(9, 124);
    if (canMine && unit->HasFlagship() && !isFlagship && IsMineChance(5)) {
        const CPanel* here = ship.GetCurrentPanel();
        const CPanel* flag = unit->GetFlagship()->GetCurrentPanel();
        if (here != nullptr && flag != nullptr && here->GetDistance(*flag) <= 2) return set(10, 125);
    }
    // Blows by range at a ship located well enough.
    if (canTorpedo && plan.PrimaryTarget != 0 && plan.PrimaryRatio <= 0.45)
        return set(13, strong ? 115 : 118);
    if (plan.CanAttack && plan.PrimaryTarget != 0 && plan.PrimaryRatio <= 0.5 && TaskRandomChance(50))
        return set(12, 112);
    // Closing in on a ship an approach panel was found for.
    if (plan.CanMove && plan.ApproachTarget != 0 && plan.ApproachPanel != nullptr) {
        const std::uint32_t moves = plan.ApproachMoves == CVirtualBoard::NoCost ? 36 : plan.ApproachMoves;
        return set(4, 100 + std::min<std::uint32_t>(moves, 36));
    }
    // Hidden well enough and out of reach: keep away rather than blunder in.
    if (plan.CanMove && plan.FewestRatio > 0.6 && plan.Damage != 0 && TaskRandomChance(15)) return set(5, 0);
    if (plan.CanAttack && plan.HasScoreNear) return set(1, 130);
    if (plan.CanMove && fuel > 0.2) return set(4, 136);
    set(1, 200);
}

bool CAssessmentEngine::IsUnableToAct(const CShip& ship) const
{
    if (ship.IsSinking()) return true;
    if (!ship.IsFpInUse()) return false;
    if (ship.IsFuelShortage()) return true;
    const ShipProfile& p = ship.GetProfile();
    return !CanPay(p.Config.AttackFp, p.Fp) && !CanPay(p.Config.MoveFp, p.Fp) && !ship.CanFireTorpedo() &&
           !ship.CanLayMine();
}

bool CAssessmentEngine::CanBeBroughtBack(const CShip& ship) const
{
    // The unit's reinforcement check holds the round, the reinforcements
    // left, defeat, the flagship and the fuel that stays after it.
    return ship.IsSinking() && GetUnit()->CanShipExecuteCommand(ship.GetShipId(), CommandReinforce);
}

void CAssessmentEngine::AssessFirstPass()
{
    AssessPlans();
    QueuePlans();
}

void CAssessmentEngine::QueuePlans()
{
    CUnit* unit = GetUnit();
    CAISharedData& shared = *GetSharedData();
    const std::vector<CVirtualPlayer*>& opponents = GetOpponents();
    const std::size_t n = opponents.size();
    const bool spread = !((!unit->HasTeamMates() || GetRuleValue2() < 2) && IsTargetDecided());
    std::uint64_t factor = n > 1 && spread ? Pow10(static_cast<std::uint32_t>(n - 1)) : 1;

    for (CVirtualPlayer* opponent : opponents) {
        if (opponent == nullptr || !IsLive(*opponent)) continue;
        for (const auto& [id, ship] : unit->GetShips()) {
            PlanRecord& plan = GetPlan(opponent->GetUnitId(), id);
            if (n > 1 && plan.Kind != 2 && plan.Kind != 5 && plan.Priority != Last) {
                // Saturates: a weighed-down plan must not wrap to the front.
                plan.Priority =
                    static_cast<std::uint32_t>(std::min<std::uint64_t>(plan.Priority * factor, Last));
            }
            if (IsUnableToAct(*ship) && !CanBeBroughtBack(*ship)) continue;
            shared.PlanQueue.push_back(&plan);
        }
        if (n > 1) factor = spread ? factor / 10 : factor * 10;
    }

    const bool hasMain =
        std::any_of(shared.PlanQueue.begin(), shared.PlanQueue.end(),
                    [](const PlanRecord* plan) { return plan->Kind >= 1 && plan->Kind <= 18; });
    if (hasMain) {
        SortPlanQueue();
        SetTarget(shared.PlanQueue.front()->SideId);
        shared.DecisionKind = shared.PlanQueue.front()->Kind;
        return;
    }
    QueueWithoutMainPlan();
}

void CAssessmentEngine::QueueWithoutMainPlan()
{
    CUnit* unit = GetUnit();
    CAISharedData& shared = *GetSharedData();
    if (shared.Target == nullptr) {
        const std::vector<CVirtualPlayer*>& opponents = GetOpponents();
        shared.Target = !opponents.empty() && opponents.front() != nullptr ? opponents.front()
                                                                           : GetVirtualGame()->GetOwnPlayer();
        shared.DecisionKind = 8;
        return;
    }

    bool queued = false;
    std::vector<PlanRecord*> refuellers;
    std::vector<PlanRecord*> waiting21;
    std::vector<PlanRecord*> waiting22;
    for (auto& [id, plan] : GetPlans(shared.Target->GetUnitId())) {
        if (!unit->HasShip(id)) continue;
        const CShip& ship = *unit->GetShip(id);
        if (ship.IsSinking() && (plan.Kind < 16 || plan.Kind > 18) &&
            unit->CanShipExecuteCommand(id, CommandReinforce)) {
            plan.Kind = 18;
            shared.PlanQueue.push_back(&plan);
            queued = true;
        } else if (plan.CanRefuelAndMove) {
            refuellers.push_back(&plan);
        } else if (plan.Kind == 21) {
            waiting21.push_back(&plan);
        } else if (plan.Kind == 22) {
            waiting22.push_back(&plan);
        }
    }

    auto ship = [unit](const PlanRecord* plan) { return unit->GetShip(plan->ShipId); };
    auto isAbleMover = [&](const PlanRecord* plan) {
        const CShip& s = *ship(plan);
        const std::uint32_t cost = s.GetConfig().MoveFp * (s.GetConfig().CanStealth ? 2 : 1);
        return !s.IsSinking() && !s.IsFuelShortage() && s.GetProfile().Fp >= cost && s.GetMoveRange() > 0;
    };
    auto isStealthed = [&](const PlanRecord* plan) {
        return ship(plan)->GetProfile().Status == ShipStatusStealth;
    };

    if (!refuellers.empty() && (!waiting21.empty() || !waiting22.empty())) {
        PlanRecord* mover = nullptr;
        for (PlanRecord* plan : waiting21)
            if (!mover && isStealthed(plan) && isAbleMover(plan)) mover = plan;
        for (PlanRecord* plan : refuellers)
            if (!mover && isStealthed(plan) && isAbleMover(plan)) mover = plan;
        for (PlanRecord* plan : refuellers)
            if (!mover && isAbleMover(plan)) mover = plan;
        if (mover != nullptr) {
            // The partner that reaches the ship in the fewest turns.
            const CPanel* at = ship(mover)->GetCurrentPanel();
            std::uint32_t best = Last;
            for (PlanRecord* plan : refuellers) {
                const CShip& partner = *ship(plan);
                if (plan == mover || at == nullptr || partner.GetCurrentPanel() == nullptr) continue;
                const std::uint32_t range = std::max<std::uint32_t>(1, partner.GetMoveRange());
                const std::uint32_t turns = (partner.GetCurrentPanel()->GetDistance(*at) + range - 1) / range;
                if (turns < best) {
                    best = turns;
                    mover->RefuelPartner = plan->ShipId;
                }
            }
            mover->Kind = 7;
            shared.PlanQueue.push_back(mover);
        }
    } else {
        for (PlanRecord* plan : refuellers) {
            if (!plan->CanAttack) continue;
            plan->Kind = 1;
            shared.PlanQueue.push_back(plan);
            queued = true;
        }
        if (!queued) {
            shared.DecisionKind = 8;
            return;
        }
    }
    SortPlanQueue();
    if (!shared.PlanQueue.empty()) shared.DecisionKind = shared.PlanQueue.front()->Kind;
}

} // namespace Marevane::ComputerAI
