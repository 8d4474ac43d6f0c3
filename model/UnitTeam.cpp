#include "model/UnitTeam.h"

#include "model/Score.h"
#include "model/Unit.h"

#include <algorithm>

namespace Marevane {

bool UnitTeam::TryAdd(CUnit* unit)
{
    if (unit == nullptr) return false;
    if (m_members.empty()) {
        m_members.push_back(unit);
        m_leader = unit;
        return true;
    }
    const bool mate = std::any_of(m_members.begin(), m_members.end(),
                                  [unit](const CUnit* member) { return member->IsTeamMate(*unit); });
    if (!mate) return false;
    m_members.push_back(unit);
    if (unit->GetId() < m_leader->GetId()) m_leader = unit;
    return true;
}

std::vector<CUnit*> UnitTeam::Fill(const std::vector<CUnit*>& units)
{
    m_members.clear();
    m_leader = nullptr;
    std::vector<CUnit*> rest;
    for (CUnit* unit : units) {
        if (!TryAdd(unit)) rest.push_back(unit);
    }
    return rest;
}

bool UnitTeam::Contains(const CUnit* unit) const
{
    return std::find(m_members.begin(), m_members.end(), unit) != m_members.end();
}

std::uint32_t UnitTeam::CountDefeated() const
{
    return static_cast<std::uint32_t>(std::count_if(m_members.begin(), m_members.end(),
                                                    [](const CUnit* unit) { return unit->IsDefeated(); }));
}

std::vector<UnitTeam> GroupUnitsByTeam(const std::vector<CUnit*>& units)
{
    std::vector<UnitTeam> teams;
    std::vector<CUnit*> rest;
    for (CUnit* unit : units) {
        if (unit != nullptr) rest.push_back(unit);
    }
    while (!rest.empty()) {
        UnitTeam team;
        rest = team.Fill(rest);
        teams.push_back(std::move(team));
    }
    return teams;
}

void RemoveDefeatedTeams(std::vector<UnitTeam>& teams)
{
    teams.erase(
        std::remove_if(teams.begin(), teams.end(), [](const UnitTeam& team) { return team.IsDefeated(); }),
        teams.end());
}

void SortTeamsBySurvivors(std::vector<UnitTeam>& teams)
{
    std::stable_sort(teams.begin(), teams.end(), [](const UnitTeam& a, const UnitTeam& b) {
        return a.CountDefeated() < b.CountDefeated();
    });
}

double SumTeamScore(const UnitTeam& team)
{
    double sum = 0.0;
    for (CUnit* member : team.GetMembers()) {
        ActionStatistics& stats = member->GetStatistics(0);
        stats.Score = CalculateScore(stats);
        sum += stats.Score;
    }
    return sum;
}

void SortTeamsByScore(std::vector<UnitTeam>& teams)
{
    std::vector<std::pair<double, UnitTeam>> scored;
    scored.reserve(teams.size());
    for (UnitTeam& team : teams) {
        const double average = team.Size() == 0 ? 0.0 : SumTeamScore(team) / static_cast<double>(team.Size());
        scored.emplace_back(average, std::move(team));
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    teams.clear();
    for (auto& entry : scored) teams.push_back(std::move(entry.second));
}

std::vector<CUnit*> GetSortedIds(const std::vector<CUnit*>& units)
{
    std::vector<CUnit*> sorted = units;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CUnit* a, const CUnit* b) { return a->GetId() < b->GetId(); });
    return sorted;
}

} // namespace Marevane
