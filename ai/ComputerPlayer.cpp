#include "ai/ComputerPlayer.h"

#include "ai/AIEngine.h"
#include "ai/AISharedData.h"
#include "ai/VirtualGame.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipConfig.h"
#include "model/Unit.h"

#include <QThread>

#include <cstdio>
#include <set>
#include <stdexcept>

namespace Marevane::ComputerAI {

namespace {

std::atomic<std::uint32_t> g_mistakes{0};

const wchar_t* const EngineNames[] = {L"inference", L"assessment", L"decision"};

// The middle three rows (odd length) or two rows (even length), 1-based.
bool IsInBand(std::uint32_t v, std::uint32_t length)
{
    if (length % 2 != 0) {
        const std::uint32_t c = (length + 1) / 2;
        return v + 1 >= c && v <= c + 1;
    }
    const std::uint32_t c = length / 2;
    return v >= c && v <= c + 1;
}

} // namespace

void InstallComputerAI()
{
    SetComputerAIFactory([](CUnit& owner) -> std::unique_ptr<CComputerAI> {
        return std::make_unique<CComputerPlayer>(owner);
    });
}

void UninstallComputerAI()
{
    SetComputerAIFactory({});
}

std::uint32_t GetMistakeCount()
{
    return g_mistakes.load();
}

CComputerPlayer::CComputerPlayer(CUnit& owner)
    : m_owner(owner), m_board(owner.GetBoard()), m_results(&owner.GetResultManager()), m_fallback(owner)
{
    m_engines.max_load_factor(1.0f);
    m_engines.rehash(8);
}

CComputerPlayer::~CComputerPlayer()
{
    m_engines.clear();
    m_shared.reset();
    m_game.reset();
}

CAIEngine& CComputerPlayer::GetEngine(const std::wstring& name) const
{
    auto it = m_engines.find(name);
    if (it == m_engines.end() || !it->second) throw std::out_of_range(MissingKeyText);
    return *it->second;
}

void CComputerPlayer::Think()
{
    // The failure, if any, of this decision alone.
    m_lastFailure.clear();
    try {
        RunEngines();
    } catch (const std::exception& error) {
        FallBack(error.what());
    } catch (...) {
        FallBack("unknown error");
    }
}

void CComputerPlayer::RunEngines()
{
    CAIEngine& inference = GetEngine(EngineNames[0]);
    CAIEngine& assessment = GetEngine(EngineNames[1]);
    CAIEngine& decision = GetEngine(EngineNames[2]);
    // A turn that is called off stops between two engines.
    const auto isCalledOff = [] { return QThread::currentThread()->isInterruptionRequested(); };
    if (m_owner.CanAct()) {
        if (m_shared->RetryCount == 0) {
            m_game->Refresh();
            m_shared->ArchiveDecision();
            inference.Run();
            if (isCalledOff()) return;
        }
        assessment.Run();
        if (isCalledOff()) return;
    }
    decision.Run();
}

void CComputerPlayer::FallBack(const std::string& reason)
{
    // An engine that fails must not stall the battle: the plain brain's
    // command, which the unit's check accepts, stands in for this decision.
    m_lastFailure = reason;
    std::fprintf(stderr, "Computer side %u falls back to a plain command: %s\n", m_owner.GetId(),
                 reason.c_str());
    m_fallback.Think();
}

void CComputerPlayer::ChooseFlagship()
{
    // Only a battle that flagships decide asks for one.
    m_flagshipGoal = true;
    // Odds follow the ships' hit points.
    std::vector<std::uint32_t> draw;
    for (const auto& [id, ship] : m_owner.GetShips()) {
        for (std::int32_t hp = 0; hp < ship->GetProfile().Hp; ++hp) draw.push_back(id);
    }
    if (draw.empty()) return;
    m_owner.SetFlagship(draw[RandomUInt(0, static_cast<std::uint32_t>(draw.size() - 1))]);
}

std::vector<std::pair<const CPanel*, std::uint32_t>> CComputerPlayer::GetPlacementWeights(ShipType type) const
{
    std::vector<std::pair<const CPanel*, std::uint32_t>> weights;
    if (m_board == nullptr) return weights;
    const std::uint32_t rows = m_board->GetRows();
    const std::uint32_t columns = m_board->GetColumns();

    std::set<const CPanel*> taken;
    for (const auto& [id, ship] : m_owner.GetShips()) {
        if (ship->GetCurrentPanel() != nullptr) taken.insert(ship->GetCurrentPanel());
    }
    // An oiler is drawn towards the fleet; every other type away from it.
    const bool refuels = CShipConfigMap::GetInstance().Get(type).CanRefuel;

    for (const CSeaPanel& panel : m_board->GetSeaPanels()) {
        if (!panel.IsPassable() || taken.count(&panel) != 0) continue;
        std::uint32_t weight = IsInBand(panel.GetX(), rows) && IsInBand(panel.GetY(), columns) ? 2 : 4;
        for (const CPanel* own : taken) {
            bool beside = false;
            for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d) {
                if (own->GetNeighbor(d) == &panel) beside = true;
            }
            if (!beside) continue;
            const std::uint32_t f = weight > 2 ? 3 : 2;
            weight = refuels ? weight * f : weight / f;
        }
        weights.emplace_back(&panel, weight);
    }
    return weights;
}

MapPos CComputerPlayer::ChooseShipPosition(ShipType type)
{
    std::vector<const CPanel*> draw;
    for (const auto& [panel, weight] : GetPlacementWeights(type)) draw.insert(draw.end(), weight, panel);
    if (draw.empty()) return ChooseRandomShipPosition();
    return draw[RandomUInt(0, static_cast<std::uint32_t>(draw.size() - 1))]->GetPos();
}

MapPos CComputerPlayer::ChooseRandomShipPosition()
{
    // Drawn among the free passable panels, so a fleet that fits is placed
    // at the first try.
    return m_fallback.ChooseRandomShipPosition();
}

void CComputerPlayer::Update(MessageCode code)
{
    m_fallback.Update(code);
    if (code == 45) {
        try {
            StartBattle();
        } catch (const std::exception& error) {
            // Without engines every decision of the battle falls back.
            Reset();
            m_lastFailure = error.what();
        }
    } else if (code == 51) {
        g_mistakes = 0;
        if (m_shared) m_shared->RetryCount = 0;
    } else if (IsErrorCode(code)) {
        ++g_mistakes;
        if (m_shared) ++m_shared->RetryCount;
    }
}

void CComputerPlayer::StartBattle()
{
    if (m_game) Reset();
    m_shared = std::make_unique<CAISharedData>();
    m_shared->FlagshipGoal = m_flagshipGoal;
    m_flagshipGoal = false;
    m_game = std::make_unique<CVirtualGame>(&m_owner, m_board, m_results);
    m_game->Build();
    for (const wchar_t* name : EngineNames) {
        if (auto engine = CreateEngine(name, *this)) m_engines.emplace(name, std::move(engine));
    }
    for (auto& entry : m_engines) {
        entry.second->SetVirtualGame(m_game.get());
        entry.second->SetSharedData(m_shared.get());
    }
}

void CComputerPlayer::Reset()
{
    m_fallback.Reset();
    m_engines.clear();
    m_shared.reset();
    m_game.reset();
}

} // namespace Marevane::ComputerAI
