#include "model/GameEdit.h"

#include "model/Board.h"
#include "model/Errors.h"

#include <algorithm>

namespace Marevane {

namespace {

constexpr std::uint32_t VersusDeathMatch = GameModeVersus | GameModeDeathMatch;

bool HasBits(std::uint32_t value, std::uint32_t bits)
{
    return value == bits || (value & bits) == bits;
}

} // namespace

CGameEdit::CGameEdit()
{
    ResetPlayers();
    m_info.ComputerLevel = ComputerAI::ModeNormal;
    SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
}

bool CGameEdit::HasRule(std::uint32_t bits) const
{
    return HasBits(m_info.Rule, bits);
}

bool CGameEdit::HasMission(MissionType code) const
{
    return HasBits(m_info.Mission, code);
}

void CGameEdit::ResetPlayers()
{
    m_info.PlayerTypes.clear();
    m_info.PlayerOptions.clear();
    m_info.Teams.clear();
    m_info.PlayerCount = 2;
    m_info.TeamCount = 0;
}

void CGameEdit::SetRule(std::uint32_t rule, const MapPos& size)
{
    // Refused before anything changes: the board could not be built from it.
    if (size.x < CBoard::MinSide || size.y < CBoard::MinSide || size.x > CBoard::MaxSide ||
        size.y > CBoard::MaxSide) {
        throw CPanelRangeError("CGameEdit::SetRule(): CPanelRangeError - The map size is out of range.");
    }
    if (m_info.PlayerTypes.empty() && m_info.PlayerOptions.empty() && m_info.Teams.empty()) ResetPlayers();

    m_info.Rule = rule;
    m_info.Map = MapData(size.x, size.y);
    for (auto& list : m_info.RuleLists) list.clear();

    m_info.IsTeamVersus = (rule & GameModeVersus) != 0 && m_info.TeamCount != 0;
    m_info.Mission = 0x10000001;
    m_info.TimeLimit = 1200000;
    // Signed: small maps get fewer rounds than 15, not billions.
    std::int64_t extra = static_cast<std::int64_t>(size.x) + size.y - 10;
    if (extra > 0) extra = extra * 3 / 2;
    m_info.DeadlineRounds = static_cast<std::uint32_t>(std::max<std::int64_t>(0, 15 + extra));

    m_info.IsPanelEffectEnabled = true;
    m_info.IsStealthEnabled = true;
    m_info.ThirdFlag = false;
    m_info.SurfacingCycle = 3;
    m_info.FpPercentage = 100;
    m_info.DestroyerWeapons = 2;
    m_info.SubmarineWeapons = 3;
    m_info.ReserveFleetSize = 1;
    if ((rule & GameModeArcade) != 0 && m_info.ComputerLevel < 0) {
        m_info.ReserveFleetSize = m_info.ComputerLevel == ComputerAI::ModeEasy ? 4 : 6;
    }

    UpdateDerivedSettings();

    if (HasBits(rule, VersusDeathMatch)) {
        m_info.Map.Size = MapPos(3, 3);
        m_info.ComputerLevel = ComputerAI::ModeExtreme;
        m_info.TimeLimit = 20000;
        UpdateDerivedSettings();
    }
}

void CGameEdit::UpdateDerivedSettings()
{
    if (HasRule(VersusDeathMatch)) {
        m_info.ComputerLevel = ComputerAI::ModeExtreme;
        m_info.TimeLimit = 20000;
    }

    const std::uint64_t rows = m_info.Map.Size.x;
    const std::uint64_t columns = m_info.Map.Size.y;
    const std::uint64_t area = rows * columns;
    const std::uint32_t larger = area > 49 ? 2 : (area >= 26 ? 1 : 0);
    m_info.FleetSize = std::min<std::uint32_t>(5, (m_info.PlayerCount > 2 ? 2 : 3) + larger);

    m_info.IsReinforcementAllowed = HasMission(MissionPullout) ? 0 : 1;

    const std::uint64_t sum = rows + columns;
    const std::uint64_t percentage = sum >= 10 ? 100 + (sum - 10) * 5 / 2 : 100 - (10 - sum) * 5;
    m_info.FpPercentage = static_cast<std::uint32_t>(std::min<std::uint64_t>(percentage, 0xFFFFFFFFu));
}

bool CGameEdit::IsSameRule(const GameEditInfo& other) const
{
    const GameEditInfo& own = m_info;
    if (own.IsTeamVersus != other.IsTeamVersus || own.Mission != other.Mission ||
        own.TimeLimit != other.TimeLimit) {
        return false;
    }
    if (HasMission(MissionDeadline) && own.DeadlineRounds != other.DeadlineRounds) return false;
    return own.Map.Size == other.Map.Size && own.IsPanelEffectEnabled == other.IsPanelEffectEnabled &&
           own.IsStealthEnabled == other.IsStealthEnabled && own.SurfacingCycle == other.SurfacingCycle &&
           own.FleetSize == other.FleetSize && own.IsReinforcementAllowed == other.IsReinforcementAllowed &&
           own.FpPercentage == other.FpPercentage && own.DestroyerWeapons == other.DestroyerWeapons &&
           own.SubmarineWeapons == other.SubmarineWeapons;
}

} // namespace Marevane
