// Sides grouped into teams by their team-mate sets, and the orderings the
// missions judge teams by.
#pragma once

#include <cstdint>
#include <vector>

namespace Marevane {

class CUnit;

class UnitTeam {
  public:
    // An empty team takes any unit; otherwise only a team-mate of a member.
    bool TryAdd(CUnit* unit);
    // Offers every unit in order; answers those it did not take, in order.
    std::vector<CUnit*> Fill(const std::vector<CUnit*>& units);

    // Members in the order they joined; the team does not own them.
    const std::vector<CUnit*>& GetMembers() const { return m_members; }
    CUnit* GetLeader() const { return m_leader; }
    std::size_t Size() const { return m_members.size(); }
    bool Contains(const CUnit* unit) const;
    std::uint32_t CountDefeated() const;
    bool IsDefeated() const { return CountDefeated() == m_members.size(); }

  private:
    std::vector<CUnit*> m_members;
    CUnit* m_leader = nullptr;
};

// Teams in the order they were made; the first unit is in the first team.
std::vector<UnitTeam> GroupUnitsByTeam(const std::vector<CUnit*>& units);
// Drops the teams all of whose members are defeated; the rest keep their order.
void RemoveDefeatedTeams(std::vector<UnitTeam>& teams);
// Fewer defeated members first.
void SortTeamsBySurvivors(std::vector<UnitTeam>& teams);
// Highest average score first; scores every member on the way.
void SortTeamsByScore(std::vector<UnitTeam>& teams);
// Scores every member (record [0]) and answers the sum.
double SumTeamScore(const UnitTeam& team);
std::vector<CUnit*> GetSortedIds(const std::vector<CUnit*>& units);

} // namespace Marevane
