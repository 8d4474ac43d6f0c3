// The balance of the battle: one record per side against the own side, and
// the sums over the allies and over the rivals, each with its four scores.
#include "ai/SideAssessment.h"
#include "ai/VirtualGame.h"

#include "model/Board.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <set>

namespace Marevane::ComputerAI {

namespace {

// Ratios that differ by less than this are equal: a ratio exactly 0.3 above
// another must not fall on either side by a rounding error.
constexpr double Epsilon = 1e-9;

bool IsSunk(const ShipProfile& p)
{
    return p.Status == ShipStatusSinking || p.Condition == ShipStatusSinking;
}

bool IsShortOfFuel(const ShipProfile& p)
{
    return p.Status == ShipStatusFuelShortage || p.Condition == ShipStatusFuelShortage;
}

// What the side's own records among the recent ones show, the newest last:
// its last command and the follow-ups of that record.
void TakeLastOwnRecord(InferenceRecord& record, std::uint32_t unitId,
                       const std::vector<const ResultMessage*>& recent)
{
    record.LastCommand = 0;
    record.LastShip = 0;
    record.FollowUpFlag = false;
    record.FollowUps.clear();
    for (const ResultMessage* r : recent) {
        if (r->Sender.Id != unitId) continue;
        const ActionInfo* primary = r->GetPrimaryAction();
        record.LastCommand = primary != nullptr ? static_cast<std::int32_t>(primary->Command) : 0;
        record.LastShip = primary != nullptr ? static_cast<std::int32_t>(primary->ShipId) : 0;
        const std::vector<const ActionInfo*> followUps = CResultManager::GetTurnEffectActions(*r);
        record.FollowUpFlag = !followUps.empty();
        record.FollowUps.clear();
        for (const ActionInfo* a : followUps) record.FollowUps.emplace(a, a);
    }
}

// The entry the stance looks for: a follow-up of one side that damaged or
// sank a ship of the other.
bool HasFollowUpHurting(const InferenceRecord& record, std::uint32_t victimId)
{
    for (const auto& entry : record.FollowUps) {
        const auto ships = entry.first->Ships.find(victimId);
        if (ships == entry.first->Ships.end()) continue;
        for (const ShipProfile& p : ships->second) {
            if (p.LastEvent == 2 || p.LastEvent == 3) return true;
        }
    }
    return false;
}

} // namespace

std::int32_t SideHealthScore(double r, double q)
{
    if (r > q + 0.3 + Epsilon) return 8;
    if (r > q + Epsilon) return 4;
    if (r >= q - Epsilon) return 1;
    if (r >= q - 0.3 - Epsilon) return -4;
    return -8;
}

std::int32_t SideAttackScore(std::uint32_t a, std::uint32_t b)
{
    const auto sa = static_cast<std::int64_t>(a);
    const auto sb = static_cast<std::int64_t>(b);
    if (sa > sb + 1) return 6;
    if (sa == sb + 1) return 2;
    if (sb > sa + 1) return -6;
    if (sb == sa + 1) return -2;
    return 1;
}

namespace {

// The stance once neither side's follow-ups decide it.
std::int32_t PlainStance(std::int32_t health, std::int32_t attack, std::uint32_t ownMedian,
                         std::uint32_t otherMedian)
{
    if (health < 1) return -2;
    if (health > 1) return 2;
    if (attack < 1 || ownMedian < otherMedian) return -2;
    if (attack > 1 || ownMedian > otherMedian) return 2;
    return 1;
}

void AddInto(InferenceRecord& sum, const InferenceRecord& part)
{
    sum.ActiveShips += part.ActiveShips;
    sum.AttackShips += part.AttackShips;
    sum.HitPoints += part.HitPoints;
    sum.Damage += part.Damage;
    sum.RecordCount += part.RecordCount;
    sum.HealthRatio += part.HealthRatio;
    sum.ReachFlag = sum.ReachFlag || part.ReachFlag;
    sum.FollowUpFlag = sum.FollowUpFlag || part.FollowUpFlag;
    sum.FirstKindFlag = sum.FirstKindFlag || part.FirstKindFlag;
    sum.SecondKindFlag = sum.SecondKindFlag || part.SecondKindFlag;
    sum.FollowUps.insert(part.FollowUps.begin(), part.FollowUps.end());
}

} // namespace

void CVirtualGame::AssessSides(std::uint32_t kind)
{
    CInferenceTable& table = m_inference;
    table.SetAssessedKind(kind);
    table.SetFirstFlag(false);
    table.SetSecondFlag(false);
    if (m_unit == nullptr) return;

    const std::uint32_t ownId = OwnUnitId();
    const std::vector<const ResultMessage*> recent =
        m_results != nullptr ? m_results->GetRecentLogs() : std::vector<const ResultMessage*>{};
    const std::uint32_t logCount = m_results != nullptr ? m_results->GetLogCount() : 0;

    // 1. The own side from its real ships.
    InferenceRecord& own = table.GetRecord(ownId);
    own.ActiveShips = 0;
    own.AttackShips = 0;
    own.StealthedShips = 0;
    std::uint32_t hitPoints = 0;
    std::uint32_t fullHitPoints = 0;
    std::uint32_t fullFuel = 0;
    for (const auto& entry : m_unit->GetShips()) {
        const CShip& ship = *entry.second;
        const ShipProfile& p = ship.GetProfile();
        const ShipConfigSet& c = p.Config;
        hitPoints += p.Hp > 0 ? static_cast<std::uint32_t>(p.Hp) : 0;
        fullHitPoints += c.Hp;
        fullFuel += c.Fp;
        if (IsSunk(p)) continue;
        // Fuel running out for a ship that hides on it (a type without fuel
        // never runs out); an oiler that can still give.
        if (c.CanStealth && c.Fp != 0 && p.Fp <= 2 * c.MoveFp) table.SetFirstFlag(true);
        if (c.CanRefuel && c.Fp != 0 && !IsShortOfFuel(p) && p.Fp != 0) table.SetSecondFlag(true);
        const bool inAction = !IsShortOfFuel(p);
        const auto pays = [&](std::uint32_t cost) { return cost != 0 && cost <= p.Fp; };
        if (c.Fp == 0 || (inAction && (pays(c.AttackFp) || pays(c.MoveFp))) || ship.CanFireTorpedo())
            ++own.ActiveShips;
        if (inAction && c.AttackFp != 0 && (c.Fp == 0 || c.AttackFp <= p.Fp)) ++own.AttackShips;
        if (p.Status == ShipStatusStealth || p.Condition == ShipStatusStealth) ++own.StealthedShips;
    }
    const double fuelRatio =
        fullFuel == 0 ? 1.0 : static_cast<double>(m_unit->GetWeightedFp()) / static_cast<double>(fullFuel);

    // 2.
    CVirtualPlayer& ownPlayer = *GetOwnPlayer();
    own.HitPoints = hitPoints;
    own.Damage = fullHitPoints > hitPoints ? fullHitPoints - hitPoints : 0;
    own.RecordCount = static_cast<std::uint32_t>(ownPlayer.GetTorpedoRecords().size());
    own.HealthRatio = fullHitPoints == 0 ? 0.0 : static_cast<double>(hitPoints) / fullHitPoints;
    own.FirstKindFlag = kind == 4;
    own.SecondKindFlag = kind == 5;
    own.ReachFlag = false;
    TakeLastOwnRecord(own, ownId, recent);
    const std::uint32_t ownMedian = ownPlayer.GetMedianCandidateCount();

    // The ship whose safety the reach flag watches: the flagship, or the
    // last ship that can still act.
    const CShip* watched = nullptr;
    if (const CShip* flagship = m_unit->GetFlagship();
        flagship != nullptr && !IsSunk(flagship->GetProfile())) {
        watched = flagship;
    } else if (own.ActiveShips == 1) {
        for (const auto& entry : m_unit->GetShips()) {
            if (!IsSunk(entry.second->GetProfile()) && entry.second->CanAct()) watched = entry.second;
        }
    }

    // 3. Every other side against the own side.
    for (const auto& entry : m_players) {
        if (entry.first == ownId) continue;
        const CVirtualPlayer& side = *entry.second;
        InferenceRecord& x = table.GetRecord(entry.first);
        x.ActiveShips = side.CountShipsAfloat();
        x.AttackShips = side.CountAbleShips();
        x.StealthedShips = side.CountHiddenShips();
        x.HitPoints = 0;
        x.Damage = 0;
        for (const auto& board : side.GetShipBoards()) {
            const ShipProfile* p = board.second->GetTrackedProfile();
            if (p == nullptr) continue;
            const std::uint32_t hp = p->Hp > 0 ? static_cast<std::uint32_t>(p->Hp) : 0;
            x.HitPoints += hp;
            x.Damage += p->Config.Hp > hp ? p->Config.Hp - hp : 0;
        }
        x.RecordCount = static_cast<std::uint32_t>(side.GetTorpedoRecords().size());
        x.HealthRatio = side.GetHitPointRatio();
        TakeLastOwnRecord(x, entry.first, recent);

        x.HealthScore = SideHealthScore(own.HealthRatio, x.HealthRatio);
        x.AttackScore = SideAttackScore(own.AttackShips, x.AttackShips);
        const std::uint32_t sideMedian = side.GetMedianCandidateCount();
        if (own.HitPoints <= 2 || own.ActiveShips <= 1 || x.HitPoints <= 2 || x.ActiveShips <= 1 ||
            fuelRatio <= 0.2) {
            x.Phase = 4;
        } else if (own.Damage == 0 && x.Damage == 0 && ownMedian >= 5 && sideMedian >= 5 && logCount < 10) {
            x.Phase = 0;
        } else {
            x.Phase = 2;
        }
        if (x.FollowUpFlag && HasFollowUpHurting(x, ownId) && (x.HealthScore < 1 || x.AttackScore < 1)) {
            x.Stance = -4;
        } else if (own.FollowUpFlag && HasFollowUpHurting(own, entry.first) &&
                   (x.HealthScore > 1 || x.AttackScore > 1)) {
            x.Stance = 4;
        } else {
            x.Stance = PlainStance(x.HealthScore, x.AttackScore, ownMedian, sideMedian);
        }

        // Own ships next to a panel where a located or hidden ship of the side may be.
        std::set<std::uint32_t> threatened;
        for (const auto& board : side.GetShipBoards()) {
            const CVirtualBoard& b = *board.second;
            if (b.GetTrackedProfile() == nullptr || b.IsTrackedShipSunk()) continue;
            const std::uint32_t candidates = b.GetCandidateCount();
            const bool precise = candidates >= 1 && candidates <= 8;
            if (!precise && !b.IsTrackedShipHidden()) continue;
            for (const auto& ownEntry : m_unit->GetShips()) {
                const CShip& ship = *ownEntry.second;
                if (IsSunk(ship.GetProfile()) || b.CountPositiveNeighbors(ship.GetCurrentPanel()) == 0)
                    continue;
                threatened.insert(ownEntry.first);
                if (&ship != watched) continue;
                // The watched ship is located and within reach of a ship that
                // is well located and can strike.
                const ShipStatus status = b.GetTrackedShipStatus();
                const bool live = status != ShipStatusFuelShortage && status != ShipStatusStealthDisabled &&
                                  (fuelRatio >= 0.25 || precise);
                if (ownPlayer.GetBoard(ownEntry.first)->GetCandidateCount() <= 8 &&
                    b.GetCandidateRatio() > 0.6 && live) {
                    own.ReachFlag = true;
                }
            }
        }
        x.ThreatCount = static_cast<std::uint32_t>(threatened.size());
    }

    // 4. The allies' and the rivals' sums.
    InferenceRecord& allies = table.GetAllies();
    InferenceRecord& rivals = table.GetRivals();
    allies = InferenceRecord{};
    rivals = InferenceRecord{};
    std::uint32_t allyCount = 0;
    std::uint32_t rivalCount = 0;
    std::uint32_t allyMedians = 0;
    std::uint32_t rivalMedians = 0;
    for (const auto& entry : m_players) {
        const InferenceRecord& record = table.GetRecord(entry.first);
        const std::uint32_t median = entry.second->GetMedianCandidateCount();
        if (IsOwnOrTeamMate(*entry.second)) {
            AddInto(allies, record);
            ++allyCount;
            allyMedians += median;
        } else {
            AddInto(rivals, record);
            rivals.ThreatCount += record.ThreatCount;
            ++rivalCount;
            rivalMedians += median;
        }
    }
    const auto perSide = [](std::uint32_t value, std::uint32_t sides) {
        return sides == 0 ? 0 : value / sides;
    };
    if (allyCount != 0) allies.HealthRatio /= allyCount;
    if (rivalCount != 0) rivals.HealthRatio /= rivalCount;
    const std::uint32_t allyMedian = perSide(allyMedians, allyCount);
    const std::uint32_t rivalMedian = perSide(rivalMedians, rivalCount);

    // 5. The scores of the two groups.
    rivals.HealthScore = SideHealthScore(allies.HealthRatio, rivals.HealthRatio);
    rivals.AttackScore = SideAttackScore(allies.AttackShips, rivals.AttackShips);
    if (perSide(allies.HitPoints, allyCount) <= 2 || perSide(allies.ActiveShips, allyCount) <= 1 ||
        perSide(rivals.HitPoints, rivalCount) <= 2 || perSide(rivals.ActiveShips, rivalCount) <= 1 ||
        fuelRatio <= 0.2) {
        rivals.Phase = 4;
    } else if (perSide(allies.Damage, allyCount) == 0 && perSide(rivals.Damage, rivalCount) == 0 &&
               allyMedian >= 6 && rivalMedian >= 6 && logCount < 10) {
        rivals.Phase = 0;
    } else {
        rivals.Phase = 2;
    }
    if (rivals.FollowUpFlag && (rivals.HealthScore < 1 || rivals.AttackScore < 1)) {
        rivals.Stance = -4;
    } else if (allies.FollowUpFlag && (rivals.HealthScore > 1 || rivals.AttackScore > 1)) {
        rivals.Stance = 4;
    } else {
        rivals.Stance = PlainStance(rivals.HealthScore, rivals.AttackScore, allyMedian, rivalMedian);
    }
    allies.HealthScore = rivals.HealthScore;
    allies.AttackScore = rivals.AttackScore;
    allies.Phase = rivals.Phase;
    allies.Stance = rivals.Stance;
}

} // namespace Marevane::ComputerAI
