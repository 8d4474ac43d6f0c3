#include "ai/VirtualGame.h"

#include "ai/TaskPool.h"
#include "ai/TaskRandom.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace Marevane::ComputerAI {

// Boards and players point into records the result manager keeps; its
// storage may grow, which must move the records, never copy them.
static_assert(std::is_nothrow_move_constructible_v<ResultMessage>,
              "a stored record's inner data must stay in place when the storage grows");

std::uint32_t TorpedoContribution(const TorpedoTestInput& in)
{
    const std::uint32_t d = in.Offset;
    const std::uint32_t n = in.RunDistance;
    if (d < 2 || n > in.RunLimit) return 0;
    // Unsigned 32-bit arithmetic that wraps, as the test has always done.
    const std::uint32_t e = d > n ? d - n - 1 : n - d + 1;
    const std::uint32_t c = in.Candidates == 0 ? 1 : in.Candidates;
    std::uint32_t s = (static_cast<std::uint32_t>(in.HitPoints) - 1 + e) * 5 * c;
    if (in.OwnMoves != 0) s = s * in.OwnMoves * 2;
    const auto t = static_cast<std::uint32_t>(static_cast<double>(s / 2) * (1.0 - in.FuelRate));
    const std::uint32_t p = s - t;
    return p <= in.Base ? in.Base - p : 0;
}

CVirtualGame::CVirtualGame(CUnit* pUnit, CBoard* map, CResultManager* pResults)
    : m_unit(pUnit), m_map(map), m_results(pResults),
      m_inference(pUnit != nullptr ? pUnit->GetId() : CInferenceTable::NoUnit)
{
}

CVirtualGame::~CVirtualGame() = default;

// --- lifecycle ---------------------------------------------------------------

void CVirtualGame::Build()
{
    auto record = std::make_unique<ResultMessage>(NewestRecord());
    m_rivals.clear();
    m_players.clear();
    m_buildRecord = std::move(record);
    // A record without actions names no side.
    if (!m_buildRecord->Actions.empty()) {
        for (const auto& side : m_buildRecord->Actions.front().Ships) {
            auto player = std::make_unique<CVirtualPlayer>(side.first, m_unit, m_map);
            CVirtualPlayer& added = *player;
            m_players.emplace_back(side.first, std::move(player));
            added.SetUp(*m_buildRecord);
        }
    }
    m_rivals.reserve(m_players.size());
    for (const auto& entry : m_players) {
        if (entry.first != OwnUnitId() && !entry.second->IsTeamMate()) m_rivals.push_back(entry.second.get());
    }
    SortRivals();
    for (const auto& entry : m_players) m_inference.AddRecord(entry.first);
}

void CVirtualGame::Refresh()
{
    m_refuelReady.clear();
    if (m_results == nullptr || m_results->GetLogCount() == 0) return;
    const ResultMessage& newest = m_results->GetLog(1);
    for (const auto& entry : m_players) entry.second->Refresh(newest);
}

void CVirtualGame::UpdatePlayersFromLog(const std::vector<const ResultMessage*>& records)
{
    if (records.empty()) return;
    for (const auto& entry : m_players) entry.second->UpdateFromLog(records);
}

void CVirtualGame::SortRivals()
{
    std::sort(m_rivals.begin(), m_rivals.end(), CVirtualPlayer::CompareRivals);
}

// --- pair evaluation -------------------------------------------------------------

void CVirtualGame::EvaluateShipPairs()
{
    if (m_unit == nullptr) return;
    std::vector<std::pair<CShip*, std::uint32_t>> pairs;
    for (const auto& entry : m_players) {
        if (entry.first == OwnUnitId()) continue;
        for (const auto& own : m_unit->GetShips()) pairs.emplace_back(own.second, entry.first);
    }
    // Own engines seeded in pair order: the draws replay under a fixed seed.
    std::vector<std::mt19937> engines = MakeTaskEngines(pairs.size());
    // A failed task's exception is dropped: that pair keeps no verdict.
    RunTasks(pairs.size(), [&](std::size_t i) {
        CShip* ship = pairs[i].first;
        const std::uint32_t unitId = pairs[i].second;
        CTaskRandomScope draws(engines[i]);
        CVirtualPlayer& player = *GetPlayer(unitId);
        player.AssessShip(ship, *GetOwnShipBoard(ship->GetShipId()), m_inference);
        const bool verdict = GetPairVerdict(ship, unitId);
        player.GetAssessment(ship->GetShipId()).Verdict = verdict;
    });
}

bool CVirtualGame::GetPairVerdict(CShip* ship, std::uint32_t unitId)
{
    CVirtualPlayer& player = *GetPlayer(unitId);
    const AssessmentRecord& e = player.GetAssessment(ship->GetShipId());
    const InferenceRecord& inference = m_inference.GetRecord(unitId);

    if (GetPairVerdictCore(ship, unitId)) return true;

    bool attackAdvised = false;
    bool targetAble = false;
    for (const auto& target : e.TargetCandidates) {
        if (e.TargetHitPoints.count(target.first) == 0) throw std::out_of_range(MissingKeyText);
        if (player.ShouldAttack(*ship, target.first)) attackAdvised = true;
        if (player.IsShipActive(target.first) && player.CanShipAct(target.first)) targetAble = true;
    }
    const std::uint32_t h = (inference.Phase == 4 && inference.HealthScore >= 4) ? 4 : 6;
    const bool pressed =
        !attackAdvised && targetAble &&
        (inference.Phase == 4 || e.TargetCandidates.size() > 2 || e.Damage != 0 || e.MinOverlap < h);

    if (e.IsSunk || !e.CanMove || !targetAble) return false;
    if (e.IsClose && e.IsInRange && pressed) return true;
    if (e.IsLastHitPoint && e.IsPositive && e.IsInRange && pressed) return true;
    if (e.IsLastHitPoint && e.IsSecondStatus) return true;
    return e.IsSeen && e.MinOverlap < h;
}

bool CVirtualGame::GetPairVerdictCore(CShip* ship, std::uint32_t unitId)
{
    CVirtualPlayer& player = *GetPlayer(unitId);
    const CVirtualBoard& own = *GetOwnShipBoard(ship->GetShipId());
    const std::uint32_t candidates = own.GetCandidateCount();
    const ShipProfile& p = ship->GetProfile();
    const auto out = [](std::uint32_t word) {
        return word == ShipStatusSinking || word == ShipStatusFuelShortage;
    };
    if (out(p.Status) || out(p.Condition) || candidates > 2) return false;
    if (p.Config.MoveFp == 0 || (p.Config.Fp != 0 && p.Fp < p.Config.MoveFp)) return false;
    const auto& runs = player.GetRunDistances();
    if (runs.empty()) return false;

    TorpedoTestInput in;
    in.Base = ship->IsStealthed() ? 65 : 80;
    in.Candidates = candidates;
    in.HitPoints = p.Hp;
    in.FuelRate = ship->GetFpRate();
    in.RunLimit = m_map != nullptr ? m_map->GetRows() + m_map->GetColumns() + 2 : 2;
    std::uint32_t sum = 0;
    for (const auto& [record, n] : runs) {
        if (record->Sender.Id == ship->GetUnitId()) continue;
        const ActionInfo* primary = record->GetPrimaryAction();
        // A record without a command names no firing ship to measure from.
        if (primary == nullptr) continue;
        in.Offset = static_cast<std::uint32_t>(
            player.GetBoard(primary->ShipId)->GetCentreOffset(ship->GetCurrentPanel()));
        in.RunDistance = n;
        in.OwnMoves = CountOwnMovesSince(*record, ship->GetShipId());
        sum += TorpedoContribution(in);
    }
    const std::uint32_t q = std::min<std::uint32_t>(sum / static_cast<std::uint32_t>(runs.size()), 100);
    return static_cast<std::uint32_t>(TaskRandomInt(0, 99)) < q;
}

std::uint32_t CVirtualGame::CountOwnMovesSince(const ResultMessage& record, std::uint32_t shipId) const
{
    if (m_results == nullptr) return 0;
    std::uint32_t m = 0;
    for (unsigned k = 1; k <= m_results->GetLogCount(); ++k) {
        const ResultMessage& older = m_results->GetLog(k);
        if (&older == &record) break;
        const ActionInfo* primary = older.GetPrimaryAction();
        if (older.Sender.Id == OwnUnitId() && primary != nullptr && primary->Command == CommandMove &&
            primary->ShipId == shipId) {
            ++m;
        }
    }
    return m;
}

// --- fields ----------------------------------------------------------------------

CVirtualPlayer* CVirtualGame::GetPlayer(std::uint32_t unitId) const
{
    CVirtualPlayer* player = Find(unitId);
    if (player == nullptr) throw std::out_of_range(MissingKeyText);
    return player;
}

// --- queries -----------------------------------------------------------------------

CVirtualPlayer* CVirtualGame::GetOwnPlayer() const
{
    return GetPlayer(OwnUnitId());
}

CVirtualBoard* CVirtualGame::GetShipBoard(std::uint32_t unitId, std::uint32_t shipId) const
{
    return GetPlayer(unitId)->GetBoard(shipId);
}

CVirtualBoard* CVirtualGame::GetOwnShipBoard(std::uint32_t shipId) const
{
    return GetOwnPlayer()->GetBoard(shipId);
}

bool CVirtualGame::IsShipSunk(std::uint32_t unitId, std::uint32_t shipId) const
{
    return GetShipBoard(unitId, shipId)->IsTrackedShipSunk();
}

bool CVirtualGame::IsShipSunkInAction(std::uint32_t unitId, std::uint32_t shipId,
                                      const ActionInfo& action) const
{
    GetPlayer(unitId);
    const ShipProfile* p = action.FindShipProfile(unitId, shipId);
    return p != nullptr && p->Status == ShipStatusSinking;
}

std::vector<CVirtualPlayer*> CVirtualGame::GetTeamMates(std::uint32_t unitId) const
{
    const UnitProfile* profile = GetPlayer(unitId)->GetProfile();
    std::vector<CVirtualPlayer*> mates;
    if (profile == nullptr) return mates;
    mates.reserve(profile->TeamMates.size());
    for (const auto& entry : m_players) {
        const UnitProfile* other = entry.second->GetProfile();
        if (other != nullptr && profile->TeamMates.count(other->HostId) != 0)
            mates.push_back(entry.second.get());
    }
    return mates;
}

CVirtualPlayer* CVirtualGame::GetLastLiveRival() const
{
    for (auto it = m_rivals.rbegin(); it != m_rivals.rend(); ++it) {
        if ((*it)->IsAlive()) return *it;
    }
    return m_rivals.empty() ? nullptr : m_rivals.front();
}

std::uint32_t CVirtualGame::CountStrongerRivals() const
{
    const double own = m_unit != nullptr ? m_unit->GetHpRate() : 0.0;
    std::uint32_t n = 0;
    for (const CVirtualPlayer* rival : m_rivals) {
        if (IsOwnOrTeamMate(*rival)) continue;
        if (rival->GetHitPointRatio() < own) break;
        ++n;
    }
    return n;
}

bool CVirtualGame::CanAttackAnyRival() const
{
    if (m_unit == nullptr) return false;
    for (const auto& entry : m_players) {
        const CVirtualPlayer& player = *entry.second;
        if (IsOwnOrTeamMate(player)) continue;
        for (const auto& own : m_unit->GetShips()) {
            if (player.CanAttackAnyShip(*own.second)) return true;
        }
    }
    return false;
}

// --- helpers -------------------------------------------------------------------------

CVirtualPlayer* CVirtualGame::Find(std::uint32_t unitId) const
{
    for (const auto& entry : m_players) {
        if (entry.first == unitId) return entry.second.get();
    }
    return nullptr;
}

std::uint32_t CVirtualGame::OwnUnitId() const
{
    return m_inference.GetOwnUnitId();
}

bool CVirtualGame::IsOwnOrTeamMate(const CVirtualPlayer& player) const
{
    return player.GetUnitId() == OwnUnitId() || player.IsTeamMate();
}

const ResultMessage& CVirtualGame::NewestRecord() const
{
    if (m_results == nullptr) throw std::logic_error("The virtual game has no result manager.");
    return m_results->GetLogCount() != 0 ? m_results->GetLog(1) : m_results->GetCurrentLog();
}

} // namespace Marevane::ComputerAI
