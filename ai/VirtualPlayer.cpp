#include "ai/VirtualPlayer.h"

#include "ai/DirectionOrder.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <stdexcept>

namespace Marevane::ComputerAI {

namespace {

// The first, second and third status words of a profile.
bool IsSunkWord(const ShipProfile& p)
{
    return p.Condition == ShipStatusSinking;
}

bool IsSunk(const ShipProfile& p)
{
    return p.Status == ShipStatusSinking || p.Condition == ShipStatusSinking;
}

bool IsShortOfFuel(const ShipProfile& p)
{
    return p.Status == ShipStatusFuelShortage || p.Condition == ShipStatusFuelShortage;
}

// A cost of 0 pays for nothing; a type without fuel pays any other cost.
bool CanPay(const ShipProfile& p, std::uint32_t cost)
{
    return cost != 0 && (p.Config.Fp == 0 || cost <= p.Fp);
}

const ShipProfile& Tracked(const CVirtualBoard& board)
{
    const ShipProfile* profile = board.GetTrackedProfile();
    if (profile == nullptr) throw std::logic_error("The board tracks no ship.");
    return *profile;
}

std::uint32_t HitPointsOf(const ShipProfile& p)
{
    return p.Hp > 0 ? static_cast<std::uint32_t>(p.Hp) : 0;
}

bool IsNextTo(const CPanel* a, const CPanel* b)
{
    for (Direction d : CompassDirections()) {
        const CPanel* n = a->GetNeighbor(d);
        if (n == b && n != a) return true;
    }
    return false;
}

} // namespace

CVirtualPlayer::CVirtualPlayer(std::uint32_t unitId, CUnit* ownUnit, CBoard* map)
    : m_ownUnit(ownUnit), m_map(map), m_unitId(unitId)
{
}

CVirtualPlayer::~CVirtualPlayer() = default;

// --- lifecycle ---------------------------------------------------------------

void CVirtualPlayer::SetUp(const ResultMessage& record)
{
    if (const UnitProfile* profile = FindSideProfile(record)) m_profile = profile;
    if (record.Actions.empty()) throw std::out_of_range(MissingKeyText);
    const auto side = record.Actions.front().Ships.find(m_unitId);
    if (side == record.Actions.front().Ships.end()) throw std::out_of_range(MissingKeyText);
    for (const ShipProfile& p : side->second) {
        if (p.ShipId == 0 || p.Type == ShipTypeNone) continue;
        m_shipBoards[p.ShipId] = MakeBoard(&p);
        m_secondBoards[p.ShipId] = MakeBoard(&p);
        m_torpedoBoards[p.ShipId] = MakeBoard(&p);
    }
    if (m_ownUnit != nullptr) {
        for (const auto& entry : m_ownUnit->GetShips())
            m_assessments.emplace(entry.first, AssessmentRecord{});
    }
    m_secondaryBoard = MakeBoard(nullptr);
    m_sortedBoards.reserve(m_shipBoards.size());
}

void CVirtualPlayer::Refresh(const ResultMessage& record)
{
    if (const UnitProfile* profile = FindSideProfile(record)) m_profile = profile;
    if (!record.Actions.empty()) {
        const auto& ships = record.Actions.back().Ships;
        const auto side = ships.find(m_unitId);
        if (side != ships.end()) {
            for (const ShipProfile& p : side->second) {
                // Such profiles got no board at set-up; looking them up would
                // end every decision.
                if (p.ShipId == 0 || p.Type == ShipTypeNone) continue;
                GetBoard(p.ShipId)->SetTrackedProfile(&p);
            }
        }
    }
    if (!m_secondaryBoard) throw std::logic_error("The player has not been set up.");
    m_secondaryBoard->ClearFlag();
    for (const auto& entry : m_shipBoards) {
        entry.second->Reset();
        GetSecondBoard(entry.first)->Reset();
        GetTorpedoBoard(entry.first)->Reset();
    }
}

void CVirtualPlayer::TakeInRecords(const RecordList& recent)
{
    if (recent.empty()) return;
    for (const auto& entry : m_shipBoards) entry.second->MarkOwnMines();
}

void CVirtualPlayer::UpdateFromLog(const RecordList&) {}

void CVirtualPlayer::SortBoards()
{
    m_sortedBoards.clear();
    for (const auto& entry : m_shipBoards) {
        if (!IsSunkWord(Tracked(*entry.second))) m_sortedBoards.push_back(entry.second.get());
    }
    const bool ownSide = IsOwnSide();
    std::sort(m_sortedBoards.begin(), m_sortedBoards.end(),
              [&](const CVirtualBoard* a, const CVirtualBoard* b) {
                  const std::uint32_t ca = a->GetCandidateCount();
                  const std::uint32_t cb = b->GetCandidateCount();
                  if (ca != cb) return ca < cb;
                  if (ownSide) {
                      return OwnShip(a->GetTrackedShipId()).GetProfile().Fp >
                             OwnShip(b->GetTrackedShipId()).GetProfile().Fp;
                  }
                  return a->IsTrackedShipActive() && !b->IsTrackedShipActive();
              });
}

void CVirtualPlayer::AssessShip(CShip* ownShip, const CVirtualBoard& board, const CInferenceTable& table)
{
    if (ownShip == nullptr) throw std::invalid_argument("No ship to assess.");
    AssessmentRecord& record = GetAssessment(ownShip->GetShipId());
    const ShipProfile& p = ownShip->GetProfile();
    const CPanel* panel = ownShip->GetCurrentPanel();
    const std::int32_t mode = OwnMode();

    // 1. Identity and state.
    record = AssessmentRecord{};
    record.OwnUnitId = OwnUnitId();
    record.ShipId = p.ShipId;
    record.ShipType = p.Type;
    record.SideId = m_unitId;
    record.PanelType = panel != nullptr ? panel->GetType() : PanelUnknown;
    record.HitPoints = p.Hp;
    record.Damage = static_cast<std::int32_t>(p.Config.Hp) - p.Hp;
    record.Fuel = p.Fp;
    record.CandidateCount = board.GetCandidateCount();
    record.PossibleCount = board.GetPossibleCount();
    record.PositiveNeighbors = m_secondaryBoard ? m_secondaryBoard->CountPositiveNeighbors(panel) : 0;
    record.BestScoreNear = GetBestScoreNear(*ownShip);
    record.HasScoreNear = record.BestScoreNear != 0;

    // 2. Flags of the ship.
    record.IsSunk = IsSunk(p);
    const CVirtualPanel* own = board.GetVirtualPanel(panel);
    record.IsPositive = own != nullptr && own->GetFlag() > 0;
    const bool stealthed = p.Status == ShipStatusStealth || p.Condition == ShipStatusStealth;
    record.IsSeen = record.IsPositive && record.CandidateCount <= 4 && stealthed && mode >= 0;
    record.IsClose = (record.IsPositive && record.CandidateCount <= 2) || record.IsSeen;
    record.IsSecondStatus = board.GetTrackedProfile() != nullptr && board.GetTrackedProfile()->LastEvent == 2;
    record.IsLastHitPoint = p.Hp == 1 && p.Config.Hp > 1;
    const bool inAction = !IsShortOfFuel(p);
    record.CanAttack = p.Type != ShipTypeOiler && inAction && CanPay(p, p.Config.AttackFp);
    record.CanMove = p.Type != ShipTypeOiler && inAction && CanPay(p, p.Config.MoveFp);
    const auto attackAndMove = static_cast<std::uint64_t>(p.Config.AttackFp) + p.Config.MoveFp;
    record.CanAttackAndMove = p.Config.Fp == 0 || attackAndMove <= p.Fp;
    record.CanRefuelOthers = p.Config.CanRefuel && p.Config.Fp != 0 && p.Fp != 0 && inAction && !IsSunk(p);
    const auto refuelAndMove = static_cast<std::uint64_t>(p.Config.RefuelFp) + p.Config.MoveFp;
    record.CanRefuelAndMove = record.CanRefuelOthers && refuelAndMove <= p.Fp;

    // 3. The side's ships against this one.
    std::uint32_t fewest = CVirtualBoard::NoCost;
    for (const auto& [shipId, b] : m_shipBoards) {
        const CVirtualBoard& target = *b;
        const ShipProfile& t = Tracked(target);
        const std::uint32_t candidates = target.GetCandidateCount();
        const double ratio = target.GetCandidateRatio();
        record.TargetRatios[shipId] = ratio;

        const std::uint32_t overlap = CountOverlap(board, shipId);
        record.TargetOverlaps[shipId] = overlap;
        if (overlap != 0 && (record.MinOverlap == 0 || overlap < record.MinOverlap))
            record.MinOverlap = overlap;
        if (candidates < fewest) {
            fewest = candidates;
            record.FewestRatio = ratio;
        }

        const bool adjacent = record.CanAttack && IsTargetAdjacent(target, *ownShip);
        if (adjacent) {
            record.HasAdjacentTarget = true;
            if (target.GetBestScoreAround(panel, target.GetTrackedShipStatus()) >= record.BestScoreNear) {
                record.AttackTarget = shipId;
                record.AttackRatio = ratio;
            }
        }

        const std::uint32_t positives = target.CountPositiveNeighbors(panel);
        if (positives >= 1 && positives <= 2 && candidates < 3) {
            ++record.CloseCount;
            record.HasCloseTarget = true;
            if (ShouldAttack(*ownShip, shipId)) record.IsAttackAdvised = true;
            bool take = record.PrimaryTarget == 0;
            if (!take) {
                const std::uint32_t primaryHp = HitPointsOf(Tracked(*GetBoard(record.PrimaryTarget)));
                take =
                    (HitPointsOf(t) < primaryHp && ratio > 0.5) ||
                    (HitPointsOf(t) == primaryHp && candidates == 1 && target.GetTrackedShipDamage() != 0) ||
                    ratio > record.PrimaryRatio;
            }
            if (take) {
                record.PrimaryTarget = shipId;
                record.PrimaryRatio = ratio;
            }
        }

        bool approach = true;
        if (adjacent && candidates >= 1 && candidates <= 8) {
            record.IsInRange = true;
            record.TargetHitPoints[shipId] = HitPointsOf(t);
            record.TargetCandidates[shipId] = candidates;
            approach = record.IsSeen || target.IsTrackedShipOutOfAction() || IsSunkWord(t) ||
                       t.Type == ShipTypeOiler;
        }
        if (approach && !record.HasCloseTarget && record.CanAttackAndMove) {
            ConsiderApproach(record, *ownShip, board, shipId, target, table);
        }
    }

    // 4. Fuel of the rest of the fleet and of the ships next to this one.
    std::uint64_t fleetFp = 0;
    std::uint64_t fleetMax = 0;
    std::uint64_t nearFp = 0;
    std::uint64_t nearMax = 0;
    bool nearNeedsFuel = false;
    if (m_ownUnit != nullptr) {
        for (const auto& [id, other] : m_ownUnit->GetShips()) {
            if (other == ownShip || IsSunk(other->GetProfile())) continue;
            const ShipProfile& o = other->GetProfile();
            fleetFp += o.Fp;
            fleetMax += o.Config.Fp;
            if (panel != nullptr && IsNextTo(panel, other->GetCurrentPanel())) {
                nearFp += o.Fp;
                nearMax += o.Config.Fp;
                if (o.Fp < o.Config.Fp) nearNeedsFuel = true;
            }
        }
    }
    record.FleetFuelRatio =
        fleetMax == 0 ? 1.0 : static_cast<double>(fleetFp) / static_cast<double>(fleetMax);
    // Ships that use no fuel are never low on it.
    record.IsFleetFuelLow =
        fleetMax != 0 && static_cast<double>(fleetFp) <= 0.4 * static_cast<double>(fleetMax);
    record.HasRefuelNeighbor = record.CanRefuelOthers && nearNeedsFuel;
    record.IsNeighborFuelLow =
        record.HasRefuelNeighbor && static_cast<double>(nearFp) <= 0.4 * static_cast<double>(nearMax);
}

void CVirtualPlayer::ConsiderApproach(AssessmentRecord& record, const CShip& ownShip,
                                      const CVirtualBoard& given, std::uint32_t shipId,
                                      const CVirtualBoard& board, const CInferenceTable& table) const
{
    const CPanel* from = ownShip.GetCurrentPanel();
    const std::uint32_t range = ownShip.GetMoveRange();
    const std::uint32_t status = ownShip.GetProfile().Status;
    const bool wide = OwnMode() >= 0;
    const CPanel* a = board.ChooseApproachPanel(wide ? given : board, from, range, status);
    if (a == nullptr || a == from) return;
    if (m_ownUnit != nullptr && m_ownUnit->IsPanelOccupied(a, &ownShip)) return;
    const std::uint32_t cost = wide ? board.GetSimulatedTravelCost(given, from, a, range, status)
                                    : board.GetTravelCost(from, a, range, status);
    record.ApproachCosts[shipId] = cost;
    if (!TakesApproachTarget(record, ownShip, shipId, board, a, cost, table)) return;
    record.ApproachTarget = shipId;
    record.ApproachCandidates = board.GetCandidateCount();
    record.ApproachPanel = a;
    record.ApproachCost = cost;
    record.ApproachMoves = board.GetMoveCount(from, a);
}

bool CVirtualPlayer::TakesApproachTarget(const AssessmentRecord& record, const CShip& ownShip,
                                         std::uint32_t shipId, const CVirtualBoard& board,
                                         const CPanel* panel, std::uint32_t cost,
                                         const CInferenceTable& table) const
{
    if (FindShipType(record.ApproachTarget) == 0) return true;
    const std::uint32_t c = record.ApproachTarget;
    const ShipProfile& t = Tracked(board);
    const ShipProfile& stored = Tracked(*GetBoard(c));
    const std::uint32_t ownId = ownShip.GetShipId();
    const std::uint32_t candidates = board.GetCandidateCount();
    const bool tOutOfAction = board.IsTrackedShipOutOfAction();
    const bool stronger = IsOwnShipStronger(ownId, shipId) && !tOutOfAction;

    if (stronger && candidates <= record.ApproachCandidates) {
        if (candidates < record.ApproachCandidates) return true;
        if (cost < record.ApproachCost) return true;
        if (cost > record.ApproachCost) return false;
        if (board.GetTrackedShipDamage() != 0 &&
            (HitPointsOf(t) <= HitPointsOf(stored) || ownShip.IsStealthed())) {
            return true;
        }
        return HitPointsOf(t) < HitPointsOf(stored) && candidates <= 2;
    }

    if (!tOutOfAction && board.CanTrackedShipAct()) return false;
    // A side the assessment counts with ships that can attack is not worth
    // a detour towards a ship near others of its own.
    const InferenceRecord& side = table.GetRecord(m_unitId);
    if (CountNearShips(panel) != 1 && side.AttackShips != 0) return false;
    if (IsOwnShipStronger(ownId, c) && IsShipActive(c) && !CanShipAct(c)) return false;
    if (HitPointsOf(t) < HitPointsOf(stored)) return true;
    // On equal hit points, a ship that can still strike back is taken while
    // the side has no more attack ships than the computer's own sides.
    if (HitPointsOf(t) == HitPointsOf(stored) && t.WeaponStock > 0 &&
        side.AttackShips <= table.GetAllies().AttackShips) {
        return true;
    }
    return t.Config.CanRefuel && !stored.Config.CanRefuel;
}

// --- fields ------------------------------------------------------------------

AssessmentRecord& CVirtualPlayer::GetAssessment(std::uint32_t ownShipId)
{
    auto it = m_assessments.find(ownShipId);
    if (it == m_assessments.end()) throw std::out_of_range(MissingKeyText);
    return it->second;
}

const AssessmentRecord& CVirtualPlayer::GetAssessment(std::uint32_t ownShipId) const
{
    auto it = m_assessments.find(ownShipId);
    if (it == m_assessments.end()) throw std::out_of_range(MissingKeyText);
    return it->second;
}

// --- side-level queries --------------------------------------------------------

std::uint32_t CVirtualPlayer::CountShipsAfloat() const
{
    std::uint32_t n = 0;
    for (const auto& entry : m_shipBoards) {
        if (!IsSunkWord(Tracked(*entry.second))) ++n;
    }
    return n;
}

bool CVirtualPlayer::IsAlive() const
{
    if (m_profile != nullptr && (m_profile->IsResigned || m_profile->IsTimedOut)) return false;
    return CountShipsAfloat() != 0;
}

std::uint32_t CVirtualPlayer::GetHitPointSum() const
{
    if (!IsAlive()) return 0;
    std::uint32_t sum = 0;
    for (const auto& entry : m_shipBoards) sum += HitPointsOf(Tracked(*entry.second));
    return sum;
}

double CVirtualPlayer::GetHitPointRatio() const
{
    if (!IsAlive()) return 0.0;
    std::uint64_t full = 0;
    for (const auto& entry : m_shipBoards) full += Tracked(*entry.second).Config.Hp;
    // Ships without hit points would give NaN, which no sort can order.
    if (full == 0) return 0.0;
    return static_cast<double>(GetHitPointSum()) / static_cast<double>(full);
}

std::uint32_t CVirtualPlayer::CountShipsAfloatIn(const ResultMessage& record) const
{
    if (record.Actions.empty()) throw std::out_of_range(MissingKeyText);
    const auto& ships = record.Actions.back().Ships;
    const auto side = ships.find(m_unitId);
    if (side == ships.end()) throw std::out_of_range(MissingKeyText);
    return static_cast<std::uint32_t>(std::count_if(side->second.begin(), side->second.end(),
                                                    [](const ShipProfile& p) { return !IsSunkWord(p); }));
}

std::uint32_t CVirtualPlayer::CountAbleShips() const
{
    std::uint32_t n = 0;
    for (const auto& entry : m_shipBoards) {
        if (entry.second->CanTrackedShipAct()) ++n;
    }
    return n;
}

std::uint32_t CVirtualPlayer::CountHiddenShips() const
{
    std::uint32_t n = 0;
    for (const auto& entry : m_shipBoards) {
        const CVirtualBoard& b = *entry.second;
        if (b.IsTrackedShipActive() && !b.IsTrackedShipSunk() && b.IsTrackedShipHidden()) ++n;
    }
    return n;
}

bool CVirtualPlayer::HasActiveShip() const
{
    return std::any_of(m_shipBoards.begin(), m_shipBoards.end(), [](const auto& entry) {
        return entry.second->IsTrackedShipActive() && !entry.second->IsTrackedShipSunk();
    });
}

bool CVirtualPlayer::IsTeamMate() const
{
    if (m_profile == nullptr || m_ownUnit == nullptr) return false;
    return m_ownUnit->GetProfile().TeamMates.count(m_profile->HostId) != 0;
}

bool CVirtualPlayer::IsRival() const
{
    return !IsOwnSide() && !IsTeamMate();
}

bool CVirtualPlayer::IsFlagshipSunk() const
{
    if (m_profile == nullptr || m_profile->FlagshipId == 0) return false;
    return GetBoard(m_profile->FlagshipId)->IsTrackedShipSunk();
}

std::uint32_t CVirtualPlayer::GetLeastCandidateCount() const
{
    return m_sortedBoards.empty() ? 0 : m_sortedBoards.front()->GetCandidateCount();
}

std::uint32_t CVirtualPlayer::GetMedianCandidateCount() const
{
    const std::size_t n = m_sortedBoards.size();
    if (n == 0) return 0;
    return m_sortedBoards[n % 2 == 1 ? n / 2 : n / 2 - 1]->GetCandidateCount();
}

CVirtualBoard* CVirtualPlayer::GetLeastLocatedBoard() const
{
    if (m_sortedBoards.empty()) return nullptr;
    CVirtualBoard* last = m_sortedBoards.back();
    for (auto it = m_sortedBoards.rbegin(); it != m_sortedBoards.rend(); ++it) {
        if ((*it)->GetCandidateCount() != last->GetCandidateCount()) break;
        if ((*it)->IsTrackedShipActive()) return *it;
    }
    return last;
}

std::uint32_t CVirtualPlayer::CountNearShips(const CPanel* panel) const
{
    std::uint32_t n = 0;
    for (const auto& entry : m_shipBoards) {
        const CVirtualBoard& b = *entry.second;
        if (!b.IsTrackedShipSunk() && b.GetCandidateCount() < 9 && b.CountPositiveNeighbors(panel) >= 1) ++n;
    }
    return n;
}

std::vector<CVirtualBoard*> CVirtualPlayer::FilterBoards(const BoardPredicate& predicate) const
{
    std::vector<CVirtualBoard*> boards;
    for (const auto& entry : m_shipBoards) {
        if (predicate(entry.second.get())) boards.push_back(entry.second.get());
    }
    return boards;
}

// --- ship-level queries --------------------------------------------------------

const ShipProfile* CVirtualPlayer::FindShipProfile(std::uint32_t shipId) const
{
    auto it = m_shipBoards.find(shipId);
    return it == m_shipBoards.end() ? nullptr : it->second->GetTrackedProfile();
}

std::uint32_t CVirtualPlayer::FindShipType(std::uint32_t shipId) const
{
    auto it = m_shipBoards.find(shipId);
    return it == m_shipBoards.end() ? ShipTypeNone : it->second->GetTrackedShipType();
}

bool CVirtualPlayer::IsShipSunk(std::uint32_t shipId) const
{
    return GetBoard(shipId)->IsTrackedShipSunk();
}

bool CVirtualPlayer::IsShipActive(std::uint32_t shipId) const
{
    return GetBoard(shipId)->IsTrackedShipActive();
}

bool CVirtualPlayer::CanShipAct(std::uint32_t shipId) const
{
    return GetBoard(shipId)->CanTrackedShipAct();
}

ShipStatus CVirtualPlayer::GetShipStatus(std::uint32_t shipId) const
{
    return GetBoard(shipId)->GetTrackedShipStatus();
}

bool CVirtualPlayer::IsShipNear(std::uint32_t shipId, const CPanel* panel) const
{
    const CVirtualBoard* b = GetBoard(shipId);
    return b->GetCandidateCount() < 9 && b->CountPositiveNeighbors(panel) >= 1;
}

bool CVirtualPlayer::IsOwnShipStronger(std::uint32_t ownShipId, std::uint32_t shipId) const
{
    return OwnShip(ownShipId).GetProfile().Hp > Tracked(*GetBoard(shipId)).Hp;
}

bool CVirtualPlayer::IsOwnShipWeaker(std::uint32_t ownShipId, std::uint32_t shipId) const
{
    return OwnShip(ownShipId).GetProfile().Hp < Tracked(*GetBoard(shipId)).Hp;
}

bool CVirtualPlayer::IsOwnShipEqual(std::uint32_t ownShipId, std::uint32_t shipId) const
{
    return !IsOwnShipStronger(ownShipId, shipId) && !IsOwnShipWeaker(ownShipId, shipId);
}

std::uint32_t CVirtualPlayer::CountOverlap(const CVirtualBoard& other, std::uint32_t shipId) const
{
    CVirtualBoard spread(*GetBoard(shipId));
    spread.SpreadFlag(0);
    CVirtualBoard mixed(other);
    mixed.MixFlag(spread);
    return mixed.GetCandidateCount();
}

// --- attack queries --------------------------------------------------------------

bool CVirtualPlayer::CanOwnShipAttack(const CShip& ship)
{
    const ShipProfile& p = ship.GetProfile();
    return !IsSunk(p) && !IsShortOfFuel(p) && CanPay(p, p.Config.AttackFp);
}

bool CVirtualPlayer::IsTargetAdjacent(const CVirtualBoard& board, const CShip& ship) const
{
    return CanOwnShipAttack(ship) && board.CountPositiveNeighbors(ship.GetCurrentPanel()) >= 1;
}

bool CVirtualPlayer::CanAttackAnyShip(const CShip& ship) const
{
    if (!CanOwnShipAttack(ship)) return false;
    return std::any_of(m_shipBoards.begin(), m_shipBoards.end(),
                       [&](const auto& entry) { return IsTargetAdjacent(*entry.second, ship); });
}

bool CVirtualPlayer::CanAttackLocatedShip(const CShip& ship) const
{
    if (!CanOwnShipAttack(ship)) return false;
    return std::any_of(m_shipBoards.begin(), m_shipBoards.end(), [&](const auto& entry) {
        const CVirtualBoard& b = *entry.second;
        return b.GetBestScoreAround(ship.GetCurrentPanel(), b.GetTrackedShipStatus()) > 1;
    });
}

bool CVirtualPlayer::CanAnyShipAttackLocatedShip() const
{
    if (m_ownUnit == nullptr) return false;
    const auto& ships = m_ownUnit->GetShips();
    return std::any_of(ships.begin(), ships.end(),
                       [&](const auto& entry) { return CanAttackLocatedShip(*entry.second); });
}

bool CVirtualPlayer::ShouldAttack(const CShip& ship, std::uint32_t shipId) const
{
    if (!CanOwnShipAttack(ship) || IsOwnSide()) return false;
    const CVirtualBoard& b = *GetBoard(shipId);
    if (b.IsTrackedShipSunk()) return false;
    if (b.IsTrackedShipOutOfAction()) return true;
    const ShipProfile& own = ship.GetProfile();
    const ShipProfile& t = Tracked(b);
    // A type that uses no fuel can pay for any number of attacks.
    const bool affordable =
        own.Config.Fp == 0 || static_cast<std::uint64_t>(own.Config.AttackFp) * HitPointsOf(t) <= own.Fp;
    if (b.GetCandidateCount() < 3 && t.Hp <= own.Hp && affordable) return IsTargetAdjacent(b, ship);
    return false;
}

std::uint32_t CVirtualPlayer::GetBestAttackScore(std::uint32_t shipId) const
{
    const CVirtualBoard* first = GetBoard(shipId);
    const std::uint32_t candidates = first->GetCandidateCount();
    const CVirtualBoard* chosen =
        (OwnMode() >= 10 && candidates >= 3 && candidates <= 8) ? first : GetSecondBoard(shipId);
    const ShipStatus status = first->GetTrackedShipStatus();
    std::uint32_t best = 0;
    if (m_ownUnit == nullptr) return best;
    for (const auto& entry : m_ownUnit->GetShips()) {
        best = std::max(best, chosen->GetBestScoreAround(entry.second->GetCurrentPanel(), status));
    }
    return best;
}

std::uint32_t CVirtualPlayer::GetBestScoreNear(const CShip& ship) const
{
    std::uint32_t best = 0;
    for (const auto& entry : m_shipBoards) {
        const CVirtualBoard& b = *entry.second;
        best = std::max(best, b.GetBestScoreAround(ship.GetCurrentPanel(), b.GetTrackedShipStatus()));
    }
    return best;
}

bool CVirtualPlayer::IsSinkingIn(const ResultMessage& record, std::uint32_t shipId) const
{
    const ShipProfile* p = record.FindShipProfileInLastAction(m_unitId, shipId);
    return p != nullptr && p->Status == ShipStatusSinking;
}

// --- orders of sides ---------------------------------------------------------------

bool CVirtualPlayer::CompareRivals(const CVirtualPlayer* a, const CVirtualPlayer* b)
{
    return a->GetHitPointSum() > b->GetHitPointSum();
}

bool CVirtualPlayer::CompareThreats(const CVirtualPlayer* a, const CVirtualPlayer* b)
{
    const bool aSunk = a->IsFlagshipSunk();
    const bool bSunk = b->IsFlagshipSunk();
    if (aSunk || bSunk) return bSunk && !aSunk;
    return a->GetHitPointRatio() > b->GetHitPointRatio();
}

// --- helpers -------------------------------------------------------------------------

CVirtualBoard* CVirtualPlayer::Lookup(const BoardTable& table, std::uint32_t shipId)
{
    auto it = table.find(shipId);
    if (it == table.end()) throw std::out_of_range(MissingKeyText);
    return it->second.get();
}

std::uint32_t CVirtualPlayer::OwnUnitId() const
{
    return m_ownUnit != nullptr ? m_ownUnit->GetId() : CInferenceTable::NoUnit;
}

std::int32_t CVirtualPlayer::OwnMode() const
{
    return m_ownUnit != nullptr ? m_ownUnit->GetLevel() : 0;
}

bool CVirtualPlayer::IsOwnSide() const
{
    return m_ownUnit != nullptr && m_ownUnit->GetId() == m_unitId;
}

const UnitProfile* CVirtualPlayer::FindSideProfile(const ResultMessage& record) const
{
    for (const UnitProfile& profile : record.Units) {
        if (profile.Id == m_unitId) return &profile;
    }
    return nullptr;
}

std::unique_ptr<CVirtualBoard> CVirtualPlayer::MakeBoard(const ShipProfile* tracked) const
{
    if (m_map == nullptr) throw std::logic_error("The player has no map.");
    auto board = std::make_unique<CVirtualBoard>(OwnUnitId(), *m_map);
    board->SetTrackedProfile(tracked);
    return board;
}

const CShip& CVirtualPlayer::OwnShip(std::uint32_t ownShipId) const
{
    if (m_ownUnit == nullptr || !m_ownUnit->HasShip(ownShipId)) throw std::out_of_range(MissingKeyText);
    return *m_ownUnit->GetShip(ownShipId);
}

} // namespace Marevane::ComputerAI
