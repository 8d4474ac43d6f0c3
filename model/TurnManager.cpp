#include "model/TurnManager.h"

#include "model/Board.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Random.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"

#include <algorithm>
#include <limits>
#include <set>
#include <stdexcept>

namespace Marevane {

CTurnManager::CTurnManager() : m_results(&CResultManager::GetInstance())
{
    m_units.reserve(4);
}

CTurnManager::~CTurnManager()
{
    ForgetArbiter();
}

void CTurnManager::ForgetArbiter()
{
    // The result manager outlives every battle; it must not keep an arbiter
    // that goes with this manager.
    if (m_results && m_arbiter && m_results->GetArbiter() == m_arbiter.get()) m_results->SetArbiter(nullptr);
}

std::int64_t CTurnManager::ShuffleTurnOrder()
{
    return -1;
}

void CTurnManager::SetUnits(const std::vector<CUnit*>& units)
{
    m_units = units;
    EnsureTurnOrder();
    if (!m_current && !m_units.empty()) m_current = m_units.front();
}

void CTurnManager::CreateArbiter(CGameEdit* rules)
{
    m_rules = rules;
    auto arbiter = std::make_unique<CArbiter>();
    arbiter->SetRules(rules);
    arbiter->SetMission(rules ? rules->GetInfo().Mission : MissionSeaControl);
    ForgetArbiter();
    m_arbiter = std::move(arbiter);
}

CUnit* CTurnManager::FindUnit(std::uint32_t id) const
{
    for (CUnit* unit : m_units) {
        if (unit && unit->GetId() == id) return unit;
    }
    return nullptr;
}

void CTurnManager::EnsureTurnOrder()
{
    std::multiset<std::uint32_t> listed;
    for (CUnit* unit : m_units) {
        if (unit) listed.insert(unit->GetId());
    }
    const std::multiset<std::uint32_t> ordered(m_turnOrder.begin(), m_turnOrder.end());
    if (listed == ordered) return;
    m_turnOrder.clear();
    for (CUnit* unit : m_units) {
        if (unit) m_turnOrder.push_back(unit->GetId());
    }
}

const std::vector<CUnit*>& CTurnManager::GetOpponents(std::uint32_t unitId) const
{
    auto it = m_opponents.find(unitId);
    if (it == m_opponents.end()) throw std::out_of_range(MissingKeyText);
    return it->second;
}

const std::vector<CUnit*>& CTurnManager::GetCurrentUnitEntry() const
{
    if (!m_current) throw std::out_of_range(MissingKeyText);
    return GetOpponents(m_current->GetId());
}

bool CTurnManager::IsGameDecided() const
{
    return m_timersStopped || (m_arbiter && m_arbiter->GetMission().GetWinner() != nullptr);
}

void CTurnManager::SetCurrentUnitById(std::uint32_t id)
{
    // An id no listed unit has leaves the current unit as it is.
    if (CUnit* unit = FindUnit(id)) m_current = unit;
}

bool CTurnManager::IsUnderTimePressure() const
{
    if (!m_rules || !m_rules->HasRule(GameModeVersus | GameModeDeathMatch)) return false;
    for (CUnit* unit : m_units) {
        // A side without ships has lost nothing to time pressure.
        if (!unit || unit->GetShips().empty()) continue;
        if (unit->GetTotalHp() <= unit->GetTotalMaxHp() / 2) return true;
    }
    if (!m_board) return false;
    return static_cast<std::uint64_t>(m_order.Round) >=
           static_cast<std::uint64_t>(m_board->GetRows()) + 1 + m_board->GetColumns();
}

void CTurnManager::ApplyTimePressure()
{
    if (!IsUnderTimePressure()) return;
    const std::int64_t limit = m_rules->GetInfo().TimeLimit / 2;
    for (CUnit* unit : m_units) {
        if (unit) unit->GetTimer().CapTimeLimit(limit);
    }
}

void CTurnManager::BuildOpponents()
{
    m_opponents.clear();
    m_teamGroups.clear();
    for (CUnit* unit : m_units) {
        if (!unit) continue;
        auto inserted = m_opponents.emplace(unit->GetId(), std::vector<CUnit*>{});
        if (!inserted.second) continue;
        auto& entry = inserted.first->second;
        entry.reserve(m_units.size() - 1);
        for (CUnit* other : m_units) {
            if (other && other != unit && !unit->IsTeamMate(*other)) entry.push_back(other);
        }
    }
    // Team groups exist only when some side has team mates.
    const bool anyTeam = std::any_of(m_units.begin(), m_units.end(),
                                     [](const CUnit* unit) { return unit && unit->HasTeamMates(); });
    if (!anyTeam) return;
    for (CUnit* unit : m_units) {
        std::vector<CUnit*> group;
        if (unit) {
            for (CUnit* other : m_units) {
                if (other && unit->IsTeamMate(*other)) group.push_back(other);
            }
        }
        m_teamGroups.push_back(std::move(group));
    }
}

void CTurnManager::Start()
{
    m_turnRunning = false;
    m_timersStopped = false;
    BuildOpponents();
    ShuffleTurnOrder();

    const std::uint32_t panels = m_board ? m_board->GetRows() * m_board->GetColumns() : 0;
    for (CUnit* unit : m_units) {
        if (!unit) continue;
        ActionStatistics& stats = unit->GetStatistics();
        stats = ActionStatistics{};
        stats[StatPanelsExplored] = 0;
        stats[StatPanelCount] = panels;
    }

    if (m_board && m_rules) {
        if (!m_rules->GetInfo().IsPanelEffectEnabled) {
            // Without panel effects the battle is fought on plain sea, except
            // for the fixed panels of a stage map.
            MapData plain = m_board->GetMap();
            if (plain.Id == 0) plain.PanelTypes.clear();
            plain.SpecialPanelCount = 0;
            m_board->Build(plain, m_units);
        } else {
            // Drawn once per board build, never under a ship.
            m_board->PlacePanelEffects(m_units);
        }
    }

    const std::int64_t limit = m_rules ? static_cast<std::int64_t>(m_rules->GetInfo().TimeLimit) : 0;
    for (CUnit* unit : m_units) {
        if (!unit) continue;
        unit->GetTimer().Reset(limit);
        unit->GetTimer().Launch();
    }

    if (m_arbiter) {
        m_arbiter->SetRules(m_rules);
        m_arbiter->SetPlayOrder(&m_order);
        m_arbiter->StartBattle(m_units);
    }
    if (m_results) {
        m_results->SetArbiter(m_arbiter.get());
        m_results->StartBattle(m_current, m_units);
    }
}

void CTurnManager::Reset()
{
    // Where a fresh manager starts: the next turn is round 1, position 1.
    m_current = nullptr;
    m_order = PlayOrder{};
    m_turnRunning = false;
    m_timersStopped = false;
    if (m_results) m_results->Clear();
    if (m_board) m_board->ResetPanels();
    if (m_arbiter) m_arbiter->GetMission().ClearVerdict();
    if (m_shipFactory) m_shipFactory->Clear();
    if (m_unitFactory && !m_unitFactory->GetUnits().empty()) {
        for (CUnit* unit : m_units) {
            if (unit) unit->Reset();
        }
    }
    m_units.clear();
    m_turnOrder.clear();
    m_opponents.clear();
    m_teamGroups.clear();
}

void CTurnManager::StopTimers()
{
    for (CUnit* unit : m_units) {
        if (unit) unit->GetTimer().Halt();
    }
}

void CTurnManager::NextTurn()
{
    EnsureTurnOrder();
    if (m_order.Round == 0) {
        m_order.Round = 1;
        m_order.Position = 1;
    } else {
        ++m_order.Position;
        if (m_order.Position > m_turnOrder.size()) {
            m_order.Position = 1;
            if (m_order.Round < std::numeric_limits<std::uint32_t>::max()) ++m_order.Round;
        }
    }
    if (!m_turnOrder.empty()) SetCurrentUnitById(m_turnOrder[m_order.Position - 1]);
    if (m_results) m_results->SetPlayOrder(m_order);
    m_turnRunning = true;
    ApplyTimePressure();
}

std::int64_t CTurnManagerOnServer::ShuffleTurnOrder()
{
    std::vector<std::uint32_t> order;
    for (CUnit* unit : GetUnits()) {
        if (unit) order.push_back(unit->GetId());
    }
    const std::size_t n = order.size();
    if (n == 0) return -1;
    auto draw = [](std::size_t low, std::size_t high) {
        return static_cast<std::size_t>(
            RandomUInt(static_cast<std::uint32_t>(low), static_cast<std::uint32_t>(high)));
    };
    if (HasTeamGroups() && HasOpponents() && n >= 3) {
        std::swap(order[0], order[draw(0, n - 1)]);
        for (std::size_t k = 1; k < n; ++k) {
            const auto& opponents = GetOpponents(order[k - 1]);
            std::vector<std::size_t> candidates;
            for (std::size_t j = k; j < n; ++j) {
                const bool isOpponent =
                    std::any_of(opponents.begin(), opponents.end(),
                                [&](const CUnit* unit) { return unit->GetId() == order[j]; });
                if (isOpponent) candidates.push_back(j);
            }
            const std::size_t j =
                candidates.empty() ? draw(k, n - 1) : candidates[draw(0, candidates.size() - 1)];
            std::swap(order[k], order[j]);
        }
    } else {
        for (std::size_t k = 0; k + 1 < n; ++k) std::swap(order[k], order[draw(k, n - 1)]);
    }
    SetTurnOrder(order);
    const std::uint32_t position = GetPlayOrder().Position;
    SetCurrentUnitById(order[position == 0 ? 0 : std::min<std::size_t>(position, n) - 1]);
    return order[0];
}

} // namespace Marevane
