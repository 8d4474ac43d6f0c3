#include "model/Unit.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/ResultManager.h"
#include "model/Score.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Torpedo.h"

#include <functional>
#include <stdexcept>

namespace Marevane {

namespace {

// An afloat oiler that cannot attack does not keep its side in the battle.
bool IsHarmlessOiler(const CShip& ship)
{
    if (ship.GetProfile().Type != ShipTypeOiler) return false;
    if (ship.IsFuelShortage()) return true;
    const ShipConfigSet& config = ship.GetProfile().Config;
    return ship.IsFpInUse() && config.AttackFp != 0 && ship.GetProfile().Fp < config.AttackFp;
}

} // namespace

void AddStatistics(ActionStatistics& target, const ActionStatistics& source)
{
    for (std::size_t k = 0; k < StatCount; ++k) {
        if (k == StatBattles) continue;
        target[k] += source[k];
    }
    target.Time += source.Time;
    target.Score += source.Score;
    target[StatBattles] += 1;
}

std::wstring CutResignText(const std::wstring& text)
{
    constexpr std::size_t keep = 20;
    if (text.size() <= keep) return text;
    return text.substr(0, keep) + L"...アバーッ！";
}

CUnit::CUnit(const UnitProfile& profile, CBoard* board)
    : m_results(CResultManager::GetInstance()), m_profile(profile), m_board(board),
      m_timer(std::make_unique<CTimer>(DefaultTimeLimit))
{
    m_actions.reserve(8);
    m_command.UnitId = m_profile.Id;
    // A host id of 0 would make every side everyone's team-mate.
    if (m_profile.HostId == 0) MakeHostId();
    SetUnitType(m_profile.Type);
}

CUnit::~CUnit() = default;

void CUnit::SetProfile(const UnitProfile& profile)
{
    const std::uint64_t hostId = m_profile.HostId;
    m_profile = profile;
    if (m_profile.HostId == 0) m_profile.HostId = hostId;
    const bool wantsBrain = m_profile.Type == UnitAuto;
    if (wantsBrain != (m_brain != nullptr)) SetUnitType(m_profile.Type);
}

void CUnit::SetId(std::uint32_t id)
{
    m_profile.Id = id;
    m_command.UnitId = id;
}

void CUnit::SetUnitType(std::uint32_t type)
{
    m_profile.Type = type;
    m_brain.reset();
    if (type == UnitAuto) m_brain = ComputerAI::CreateComputerAI(*this);
}

std::uint32_t CUnit::GetCurrentRound() const
{
    return m_results.GetCurrentRound();
}

void CUnit::MakeHostId()
{
    std::uint32_t hash = 0x811C9DC5u;
    for (unsigned char c : m_profile.Address) {
        hash ^= c;
        hash *= 0x01000193u;
    }
    std::uint64_t id = (static_cast<std::uint64_t>(hash) * 31u) ^ std::hash<const CUnit*>{}(this);
    if (id == 0) id = 0x9E3779B97F4A7C15ull;
    m_profile.HostId = id;
}

void CUnit::JoinTeam(CUnit& other)
{
    if (&other == this) return;
    if (m_profile.HostId == 0) MakeHostId();
    if (other.m_profile.HostId == 0) other.MakeHostId();
    m_profile.TeamMates.insert(other.m_profile.HostId);
    other.m_profile.TeamMates.insert(m_profile.HostId);
}

bool CUnit::IsTeamMate(const CUnit& other) const
{
    return m_profile.TeamMates.count(other.m_profile.HostId) != 0;
}

// Ships ---------------------------------------------------------------------

void CUnit::AddShip(std::uint32_t id, CShip* ship)
{
    m_ships[id] = ship;
}

void CUnit::RemoveAllShips()
{
    m_ships.clear();
}

CShip* CUnit::GetShip(std::uint32_t id) const
{
    auto it = m_ships.find(id);
    if (it == m_ships.end()) throw std::out_of_range(MissingKeyText);
    return it->second;
}

CShip* CUnit::FindShipOnPanel(const CPanel* panel) const
{
    if (panel == nullptr) return nullptr;
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking() && ship->GetCurrentPanel() == panel) return ship;
    }
    return nullptr;
}

bool CUnit::IsPanelOccupied(const CPanel* panel, const CShip* exceptShip) const
{
    for (const auto& [id, ship] : m_ships) {
        if (ship != exceptShip && !ship->IsSinking() && ship->GetCurrentPanel() == panel) return true;
    }
    return false;
}

std::vector<CShip*> CUnit::GetShipsIf(const ShipPredicate& predicate) const
{
    std::vector<CShip*> result;
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking() && ship->CanAct() && (!predicate || predicate(*ship))) result.push_back(ship);
    }
    return result;
}

CShip* CUnit::GetFlagship() const
{
    if (m_profile.FlagshipId == 0) return nullptr;
    auto it = m_ships.find(m_profile.FlagshipId);
    return it == m_ships.end() ? nullptr : it->second;
}

void CUnit::SetFlagship(std::uint32_t id)
{
    const bool known = id != 0 && HasShip(id);
    for (const auto& [shipId, ship] : m_ships) ship->GetProfile().IsFlagship = known && shipId == id;
    m_profile.FlagshipId = known ? id : 0;
}

std::uint32_t CUnit::GetTotalHp() const
{
    std::int64_t total = 0;
    for (const auto& [id, ship] : m_ships) total += std::max(0, ship->GetProfile().Hp);
    return static_cast<std::uint32_t>(total);
}

std::uint32_t CUnit::GetTotalMaxHp() const
{
    std::uint32_t total = 0;
    for (const auto& [id, ship] : m_ships) total += ship->GetProfile().Config.Hp;
    return total;
}

std::uint32_t CUnit::GetWeightedFp() const
{
    std::uint32_t total = 0;
    for (const auto& [id, ship] : m_ships) total += ship->GetProfile().Fp * (ship->IsSinking() ? 1u : 2u);
    return total;
}

std::uint32_t CUnit::GetTotalFp() const
{
    std::uint32_t total = 0;
    for (const auto& [id, ship] : m_ships) total += ship->GetProfile().Fp;
    return total;
}

std::uint32_t CUnit::GetTotalMaxFp() const
{
    std::uint32_t total = 0;
    for (const auto& [id, ship] : m_ships) total += ship->GetProfile().Config.Fp;
    return total;
}

std::uint32_t CUnit::GetMineTotal() const
{
    std::uint32_t total = 0;
    for (const auto& [id, ship] : m_ships) {
        if (ship->GetConfig().CanLayMine) total += ship->CountCarriedMines();
    }
    return total;
}

double CUnit::GetHpRate() const
{
    const std::uint32_t maxHp = GetTotalMaxHp();
    return maxHp == 0 ? 0.0 : static_cast<double>(GetTotalHp()) / maxHp;
}

bool CUnit::IsOut() const
{
    return m_profile.Type == UnitWatching || m_profile.IsResigned || m_profile.IsTimedOut;
}

std::uint32_t CUnit::CountAliveShips() const
{
    if (IsOut()) return 0;
    std::uint32_t count = 0;
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking()) ++count;
    }
    return count;
}

std::uint32_t CUnit::CountTorpedoes() const
{
    std::uint32_t count = 0;
    for (const auto& [id, ship] : m_ships) count += ship->GetTorpedoCount();
    return count;
}

std::vector<CTorpedo*> CUnit::GetTorpedoes() const
{
    std::vector<CTorpedo*> result;
    for (const auto& [id, ship] : m_ships) {
        if (ship->GetTorpedoCount() == 0) continue;
        for (const auto& torpedo : ship->GetTorpedoes()) result.push_back(torpedo.get());
    }
    return result;
}

std::uint32_t CUnit::CountTorpedoesOnPanel(const CPanel* panel) const
{
    std::uint32_t count = 0;
    for (CTorpedo* torpedo : GetTorpedoes()) {
        if (torpedo->GetCurrentPanel() == panel) ++count;
    }
    return count;
}

std::wstring CUnit::GetShipCodeOnPanel(const CPanel* panel) const
{
    const CShip* ship = FindShipOnPanel(panel);
    return CShipCodes::GetInstance().Get(ship ? static_cast<ShipType>(ship->GetProfile().Type)
                                              : ShipTypeNone);
}

CPanel* CUnit::FindPlayPanel(const MapPos& pos) const
{
    return m_board != nullptr ? m_board->GetSeaPanel(pos) : nullptr;
}

void CUnit::UpdateShips(const std::vector<ShipProfile>& profiles)
{
    for (const ShipProfile& profile : profiles) {
        // Profiles of other sides and ships this side does not hold arrive
        // with the whole table; they are not ours to apply.
        if (profile.UnitId != m_profile.Id) continue;
        auto it = m_ships.find(profile.ShipId);
        if (it == m_ships.end()) continue;
        CShip& ship = *it->second;
        CPanel* target = FindPlayPanel(profile.Pos);
        if (target != nullptr && target != ship.GetCurrentPanel() && target->IsPassable())
            ship.SetPanel(target);
        ship.SetProfile(profile);
        // The ship stays where it could go.
        if (ship.GetCurrentPanel() != nullptr) ship.GetProfile().Pos = ship.GetCurrentPanel()->GetPos();
        if (profile.IsFlagship) SetFlagship(profile.ShipId);
    }
}

// State tests -----------------------------------------------------------------

bool CUnit::IsActive() const
{
    if (IsOut()) return false;
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking()) return true;
    }
    return false;
}

bool CUnit::IsDefeated() const
{
    if (IsOut()) return true;
    const CShip* flagship = GetFlagship();
    if (flagship != nullptr && flagship->IsSinking()) return true;
    // No ship afloat, or only oilers that cannot attack.
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking() && !IsHarmlessOiler(*ship)) return false;
    }
    return true;
}

bool CUnit::CanReinforceNow() const
{
    return GetCurrentRound() <= LastReinforceRound && m_profile.ReinforcementsLeft > 0 && !IsDefeated();
}

bool CUnit::CanReturnSomewhere(const CShip& ship) const
{
    if (m_board == nullptr) return false;
    for (const CPanel& panel : m_board->GetSeaPanels()) {
        if (panel.IsPassable() && panel.IsKnownBy(m_profile.Id) && !IsPanelOccupied(&panel, &ship))
            return true;
    }
    return false;
}

bool CUnit::AnyShipQualifies(const ShipPredicate& afloatTest) const
{
    if (!IsActive()) return false;
    const bool reinforce = CanReinforceNow();
    const std::uint32_t round = GetCurrentRound();
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking()) {
            if (afloatTest(*ship)) return true;
        } else if (reinforce && ship->CanExecute(CommandReinforce, round) && CanReturnSomewhere(*ship)) {
            return true;
        }
    }
    return false;
}

bool CUnit::CanAct() const
{
    return AnyShipQualifies([](const CShip& ship) { return ship.CanAct() || ship.CanLayMine(); });
}

bool CUnit::CanAnyShipAct() const
{
    return AnyShipQualifies([](const CShip& ship) { return ship.CanExecuteCommand(CommandAttack); });
}

bool CUnit::CanAnyShipAttack() const
{
    for (const auto& [id, ship] : m_ships) {
        if (!ship->IsSinking() && ship->CanExecute(CommandAttack, 1)) return true;
    }
    return false;
}

bool CUnit::RefreshShipStatuses()
{
    bool anyCanAct = false;
    for (const auto& [id, ship] : m_ships) {
        if (ship->IsSinking() || ship->IsFuelShortage()) continue;
        ship->CheckFuel();
        if (!ship->IsSinking() && ship->GetProfile().PendingStatus != 5 && ship->CanAct()) anyCanAct = true;
    }
    return anyCanAct;
}

bool CUnit::MarkStealthedShips()
{
    bool any = false;
    for (const auto& [id, ship] : m_ships) {
        const ShipProfile& p = ship->GetProfile();
        if (ship->IsFuelShortage() || p.Hp <= 0 || !ship->HasStatus(ShipStatusStealth) ||
            !p.Config.CanStealth)
            continue;
        if (ship->GetCurrentPanel() != nullptr && ship->GetCurrentPanel()->GetType() == PanelFog) continue;
        ship->GetProfile().PendingStatus = 2;
        any = true;
    }
    return any;
}

bool CUnit::MarkVisibleShips()
{
    bool any = false;
    for (const auto& [id, ship] : m_ships) {
        const ShipProfile& p = ship->GetProfile();
        if (ship->IsFuelShortage() || p.Hp <= 0 || ship->HasStatus(ShipStatusStealth) || !p.Config.CanStealth)
            continue;
        if (ship->GetCurrentPanel() != nullptr && ship->GetCurrentPanel()->GetType() == PanelShallow)
            continue;
        ship->GetProfile().PendingStatus = 1;
        any = true;
    }
    return any;
}

// Messages --------------------------------------------------------------------

void CUnit::OnMessage(MessageCode code)
{
    ActionStatistics& stats = m_profile.Statistics[0];
    switch (code) {
    case 45:
        stats[StatMinesHeld] = GetMineTotal();
        stats[StatHp] = GetTotalHp();
        stats[StatMaxHp] = GetTotalMaxHp();
        UpdateFpTotals();
        ClearCommandInput();
        break;
    case 51:
        UpdateFpTotals();
        ClearCommandInput();
        UpdateStatistics();
        m_actions.clear();
        break;
    case 52:
        for (const auto& [id, ship] : m_ships) {
            if (ship->GetTorpedoCount() != 0) ship->StepTorpedoes();
        }
        break;
    case 59:
        AccumulateScore();
        break;
    case 67:
        // The ships of a side that left go down with it.
        if (IsOut() && GetTotalHp() != 0) {
            for (const auto& [id, ship] : m_ships) ship->GetProfile().Condition = ShipStatusSinking;
        }
        break;
    default:
        break;
    }

    for (const auto& [id, ship] : m_ships) ship->OnMessage(code);

    if (code == 73) {
        RecordAction(2, {});
        for (const auto& [id, ship] : m_ships) {
            RefuelFrom(ship);
            ship->OnMessage(74);
        }
        RefreshShipStatuses();
        if (!IsOut()) {
            for (const auto& [id, ship] : m_ships) {
                if (ship->IsSinking()) continue;
                if (!CanAnyShipAct() && IsDefeated()) {
                    m_profile.IsResigned = true;
                    UpdateStatistics();
                }
                break;
            }
        }
    }

    if (m_brain) m_brain->Update(code);
}

void CUnit::Reset()
{
    m_timer->Reset(DefaultTimeLimit);
    m_ships.clear();
    m_profile.IsResigned = false;
    m_profile.IsTimedOut = false;
    ClearCommandInput();
    m_profile.Statistics[0] = ActionStatistics{};
    m_actions.clear();
    if (m_brain) m_brain->Reset();
}

// Decisions -------------------------------------------------------------------

void CUnit::DecideCommand()
{
    if (m_brain) {
        m_brain->Think();
    } else if (m_commandReader) {
        m_commandReader(*this);
    }
}

void CUnit::ChooseFlagship()
{
    if (m_brain) {
        m_brain->ChooseFlagship();
        return;
    }
    SetFlagship(0);
}

MapPos CUnit::ChooseShipPosition(ShipType type)
{
    if (m_brain) {
        if (GetLevel() > ComputerAI::ModeEasy) return m_brain->ChooseShipPosition(type);
        return m_brain->ChooseRandomShipPosition();
    }
    if (m_profile.OriginFlag != 0 || !m_numberReader) return MapPos(0, 0);
    const std::uint32_t n = m_numberReader(*this);
    return MapPos(n / 10, n % 10);
}

// Statistics --------------------------------------------------------------------

void CUnit::UpdateFpTotals()
{
    ActionStatistics& stats = m_profile.Statistics[0];
    stats[StatFp] = GetTotalFp();
    stats[StatMaxFp] = GetTotalMaxFp();
}

void CUnit::UpdateStatistics()
{
    ActionStatistics& stats = m_profile.Statistics[0];
    stats[StatHp] = GetTotalHp();
    ShipStatistics sums;
    for (const auto& [id, ship] : m_ships) {
        for (std::size_t k = 0; k < ShipStatCount; ++k) sums[k] += ship->GetProfile().Statistics[k];
    }
    for (std::size_t k = ShipStatAttacks; k <= ShipStatMinesLaid; ++k) stats[k] = sums[k];
    for (std::size_t k = ShipStatOwnMineHits; k <= ShipStatFlagshipChanges; ++k) stats[k + 1] = sums[k];
    stats[StatPanelsExplored] = sums[ShipStatPanelsExplored];
    stats[StatRound] = GetCurrentRound();
    stats.Time = static_cast<std::uint64_t>(std::max<std::int64_t>(0, m_timer->GetTotalElapsed()));
}

void CUnit::AccumulateScore()
{
    ActionStatistics& current = m_profile.Statistics[0];
    current.Score = CalculateScore(current);
    AddStatistics(m_profile.Statistics[1], current);
    AddStatistics(m_profile.Statistics[m_profile.TeamMates.empty() ? 2 : 3], current);
}

} // namespace Marevane
