#include "ai/AIEngine.h"

#include "ai/AISharedData.h"
#include "ai/VirtualGame.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/ResultManager.h"
#include "model/Score.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <stdexcept>

namespace Marevane::ComputerAI {

namespace {

bool CanPay(std::uint32_t cost, std::uint32_t fuel)
{
    return cost != 0 && cost <= fuel;
}

// Enough fuel and no shortage for an attack, a move or a torpedo; a type
// without fuel always qualifies.
bool HasMeans(const CShip& ship)
{
    if (!ship.IsFpInUse()) return true;
    if (ship.IsFuelShortage()) return false;
    const ShipProfile& p = ship.GetProfile();
    return CanPay(p.Config.AttackFp, p.Fp) || CanPay(p.Config.MoveFp, p.Fp) || ship.CanFireTorpedo();
}

} // namespace

CAIEngine::CAIEngine(CUnit* unit, CBoard* board, CResultManager* results)
    : m_unit(unit), m_board(board), m_results(results)
{
}

CAIEngine::~CAIEngine() = default;

std::vector<const ResultMessage*> CAIEngine::GetLog() const
{
    std::vector<const ResultMessage*> records;
    if (m_unit == nullptr || m_results == nullptr) return records;
    const std::int32_t wanted = m_unit->GetLevel() + 20;
    if (wanted <= 0) return records;
    const unsigned k = std::min(static_cast<unsigned>(wanted), m_results->GetLogCount());
    records.reserve(k);
    for (unsigned i = k; i >= 1; --i) records.push_back(&m_results->GetLog(i));
    return records;
}

PlanRecord& CAIEngine::GetPlan(std::uint32_t opponentId, std::uint32_t shipId) const
{
    PlanTable& plans = GetPlans(opponentId);
    auto it = plans.find(shipId);
    if (it == plans.end()) throw std::out_of_range(MissingKeyText);
    return it->second;
}

CAIEngine::PlanTable& CAIEngine::GetPlans(std::uint32_t opponentId) const
{
    if (m_game == nullptr) throw std::out_of_range(MissingKeyText);
    return m_game->GetPlayer(opponentId)->GetAssessments();
}

void CAIEngine::SetTarget(std::uint32_t opponentId) const
{
    if (m_game == nullptr) throw std::out_of_range(MissingKeyText);
    CVirtualPlayer* player = m_game->GetPlayer(opponentId);
    if (m_shared != nullptr) m_shared->Target = player;
}

void CAIEngine::SortPlanQueue() const
{
    if (m_shared == nullptr) return;
    std::sort(m_shared->PlanQueue.begin(), m_shared->PlanQueue.end(),
              [](const PlanRecord* a, const PlanRecord* b) { return a->Priority < b->Priority; });
}

std::vector<CShip*> CAIEngine::GetActiveShipsRanked() const
{
    std::vector<CShip*> ships;
    if (m_unit == nullptr) return ships;
    ships.reserve(m_unit->ShipCount());
    for (const auto& [id, ship] : m_unit->GetShips()) {
        if (ship->IsSinking()) continue;
        const bool mines = ship->GetConfig().CanLayMine && ship->GetProfile().WeaponStock > 0;
        if (HasMeans(*ship) || mines) ships.push_back(ship);
    }
    if (ships.empty()) return ships;
    if (m_shared == nullptr || m_shared->Target == nullptr) throw std::out_of_range(MissingKeyText);
    const std::uint32_t target = m_shared->Target->GetUnitId();
    // Look every plan up first, so a missing one throws before any sorting.
    std::map<const CShip*, std::uint32_t> priority;
    for (CShip* ship : ships) priority[ship] = GetPlan(target, ship->GetShipId()).Priority;
    std::sort(ships.begin(), ships.end(),
              [&priority](const CShip* a, const CShip* b) { return priority[a] < priority[b]; });
    return ships;
}

std::vector<CShip*> CAIEngine::GetSinkingShipsRanked() const
{
    std::vector<CShip*> ships;
    if (m_unit == nullptr) return ships;
    ships.reserve(m_unit->ShipCount());
    for (const auto& [id, ship] : m_unit->GetShips()) {
        if (ship->IsSinking() && HasMeans(*ship)) ships.push_back(ship);
    }
    // A type whose attack costs nothing pays any number of attacks; it is
    // counted as 0 rather than divided by zero.
    auto attacks = [](const CShip* ship) {
        const std::uint32_t cost = ship->GetConfig().AttackFp;
        return cost == 0 ? 0u : ship->GetProfile().Fp / cost;
    };
    auto hp = [](const CShip* ship) { return ship->GetConfig().Hp; };
    const bool byHp = m_game == nullptr || GetRuleValue1() < 2 || GetRuleValue2() > 0;
    std::sort(ships.begin(), ships.end(), [&](const CShip* a, const CShip* b) {
        if (byHp) {
            if (hp(a) != hp(b)) return hp(a) > hp(b);
            return attacks(a) > attacks(b);
        }
        if (attacks(a) != attacks(b)) return attacks(a) > attacks(b);
        return hp(a) > hp(b);
    });
    return ships;
}

std::vector<CPanel*> CAIEngine::GetKnownFreePanels() const
{
    std::vector<CPanel*> panels;
    if (m_unit == nullptr || m_board == nullptr) return panels;
    ActionStatistics& stats = m_unit->GetStatistics();
    stats.Score = CalculateScore(stats);
    panels.reserve(stats[StatPanelCount]);
    for (CSeaPanel& panel : m_board->GetSeaPanels()) {
        if (!panel.IsPassable()) continue;
        if (!panel.IsRevealed() && !panel.IsKnownBy(m_unit->GetId())) continue;
        bool taken = false;
        for (const auto& [id, ship] : m_unit->GetShips()) {
            if (!ship->IsSinking() && ship->GetCurrentPanel() == &panel) taken = true;
        }
        if (!taken) panels.push_back(&panel);
    }
    return panels;
}

std::vector<CVirtualPlayer*>& CAIEngine::GetOpponents() const
{
    if (m_game == nullptr) throw std::out_of_range(MissingKeyText);
    return m_game->GetFirstList();
}

std::int32_t CAIEngine::GetRuleValue1() const
{
    return m_game != nullptr ? m_game->GetInferenceTable().GetRivals().AttackScore : 1;
}

std::int32_t CAIEngine::GetRuleValue2() const
{
    return m_game != nullptr ? m_game->GetInferenceTable().GetRivals().HealthScore : 1;
}

std::int32_t CAIEngine::GetBalance() const
{
    return m_game != nullptr ? m_game->GetInferenceTable().GetRivals().Stance : 1;
}

std::int32_t CAIEngine::GetPhase() const
{
    return m_game != nullptr ? m_game->GetInferenceTable().GetRivals().Phase : 0;
}

} // namespace Marevane::ComputerAI
