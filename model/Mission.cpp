#include "model/Mission.h"

#include "model/GameEdit.h"
#include "model/Score.h"
#include "model/Unit.h"
#include "model/UnitTeam.h"

#include <algorithm>

namespace Marevane {

const std::vector<MissionType>& GetMissionCodes()
{
    static const std::vector<MissionType> codes{
        MissionSeaControl,    MissionWipeout,        MissionFlagship,      MissionSurvival,
        MissionDeadline,      MissionReconnaissance, MissionAssault,       MissionRaid,
        MissionRapidDecisive, MissionPullout,        MissionRescue,        MissionRescueSeaControl,
        MissionRescueWipeout, MissionRescueFlagship, MissionRescueRecon,   MissionRescueAssault,
        MissionRescueRaid,    MissionRescueDecisive, MissionRescuePullout,
    };
    return codes;
}

// --- CMissionCriteria -------------------------------------------------------

void CMissionCriteria::StartBattle(const std::vector<CUnit*>& units)
{
    if (m_sub) m_sub->StartBattle(units);
}

CUnit* CMissionCriteria::GetWinner() const
{
    if (m_sub) {
        if (CUnit* winner = m_sub->GetWinner()) return winner;
    }
    return m_winner;
}

std::uint32_t CMissionCriteria::GetJudgement() const
{
    if (m_sub) {
        if (std::uint32_t judgement = m_sub->GetJudgement()) return judgement;
    }
    return m_judgement;
}

void CMissionCriteria::ClearVerdict()
{
    m_winner = nullptr;
    m_judgement = JudgementOutright;
    if (m_sub) m_sub->ClearVerdict();
}

void CMissionCriteria::SetSubCriteria(std::unique_ptr<CMissionCriteria> sub)
{
    if (sub) sub->SetRules(m_rules);
    m_sub = std::move(sub);
}

void CMissionCriteria::SetRules(CGameEdit* rules)
{
    m_rules = rules;
    if (m_sub) m_sub->SetRules(rules);
}

bool CMissionCriteria::IsBattleContinuing(const std::vector<CUnit*>& units)
{
    std::size_t standing = 0;
    std::size_t largestMates = 0;
    bool canAnyoneAct = false;
    for (CUnit* unit : units) {
        if (!unit) continue;
        if (unit->CanAct()) canAnyoneAct = true;
        if (unit->IsDefeated()) continue;
        ++standing;
        const auto& mates = unit->GetProfile().TeamMates;
        std::size_t count = 0;
        for (CUnit* other : units) {
            if (other && other != unit && !other->IsDefeated() && mates.count(other->GetProfile().HostId)) {
                ++count;
            }
        }
        largestMates = std::max(largestMates, count);
    }
    return standing - largestMates > 1 && canAnyoneAct;
}

// --- team judges ------------------------------------------------------------

std::vector<CTeamJudgeMission::Team> CTeamJudgeMission::MakeTeams(const std::vector<CUnit*>& units)
{
    std::vector<CUnit*> present;
    for (CUnit* unit : units) {
        if (unit) present.push_back(unit);
    }
    std::vector<Team> teams;
    for (UnitTeam& grouped : GroupUnitsByTeam(present)) {
        Team team;
        team.Leader = grouped.GetLeader();
        // Members in unit-list order, whatever order the team keeps.
        for (CUnit* unit : present) {
            if (grouped.Contains(unit)) {
                team.Members.push_back(unit);
                if (unit->IsDefeated()) ++team.Defeated;
            }
        }
        team.Group = std::move(grouped);
        teams.push_back(std::move(team));
    }
    return teams;
}

void CTeamJudgeMission::SortBySurvivors(std::vector<Team>& teams)
{
    // A team with nobody standing never ranks above one that still fights,
    // whatever the sizes of the teams.
    std::stable_sort(teams.begin(), teams.end(), [](const Team& a, const Team& b) {
        if (a.IsAlive() != b.IsAlive()) return a.IsAlive();
        return a.Defeated < b.Defeated;
    });
}

double CTeamJudgeMission::AverageScore(const Team& team)
{
    if (team.Members.empty()) return 0.0;
    return SumTeamScore(team.Group) / static_cast<double>(team.Members.size());
}

void CTeamJudgeMission::MarkVictory(const std::vector<Team>& teams, const CUnit* winner)
{
    for (const Team& team : teams) {
        if (!team.Group.Contains(winner)) continue;
        for (CUnit* unit : team.Members) unit->GetStatistics()[StatVictory] = 1;
    }
}

bool CTeamJudgeMission::IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    if (IsBattleContinuing(units)) return false;
    Judge(code, units, order);
    return true;
}

void CTeamJudgeMission::Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    std::vector<Team> teams = MakeTeams(units);
    if (teams.empty()) return;
    SortBySurvivors(teams);
    const std::size_t alive =
        std::count_if(teams.begin(), teams.end(), [](const Team& t) { return t.IsAlive(); });
    CUnit* winner = nullptr;
    if (alive == 1) {
        winner = teams.front().Leader;
        SetOwnJudgement(JudgementOutright);
    } else if (alive == 0) {
        winner = units.front() ? units.front() : teams.front().Leader;
        SetOwnJudgement(JudgementDraw);
    } else {
        winner = JudgeSeveral(teams, code, units, order);
    }
    if (GetJudgement() != JudgementDraw) {
        CMissionCriteria* sub = GetSubCriteria();
        CUnit* effective = sub && sub->GetWinner() ? sub->GetWinner() : winner;
        MarkVictory(teams, effective);
    }
    SetOwnWinner(winner);
}

CUnit* CSeaControlMission::JudgeSeveral(std::vector<Team>& teams, MessageCode, const std::vector<CUnit*>&,
                                        const PlayOrder&)
{
    if (teams[0].Defeated != teams[1].Defeated) {
        SetOwnJudgement(JudgementOutright);
        return teams[0].Leader;
    }
    // Equal losses: the better average score leads, standing teams first.
    std::vector<std::pair<Team, double>> scored;
    for (Team& team : teams) {
        const double score = AverageScore(team);
        scored.emplace_back(std::move(team), score);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
        if (a.first.Defeated != b.first.Defeated) return a.first.Defeated < b.first.Defeated;
        return a.second > b.second;
    });
    std::stable_partition(scored.begin(), scored.end(), [](const auto& t) { return t.first.IsAlive(); });
    teams.clear();
    for (auto& entry : scored) teams.push_back(std::move(entry.first));
    SetOwnJudgement(scored[1].second == scored[0].second ? JudgementDraw : JudgementOnPoints);
    return teams[0].Leader;
}

CUnit* CWipeoutMission::JudgeSeveral(std::vector<Team>& teams, MessageCode, const std::vector<CUnit*>& units,
                                     const PlayOrder&)
{
    SetOwnJudgement(JudgementDraw);
    return units.front() ? units.front() : teams.front().Leader;
}

CFlagshipMission::CFlagshipMission(MissionType code) : CTeamJudgeMission(code)
{
    if (HasAllBits(code, MissionSeaControl)) SetSubCriteria(std::make_unique<CSeaControlMission>());
}

CUnit* CFlagshipMission::JudgeSeveral(std::vector<Team>& teams, MessageCode code,
                                      const std::vector<CUnit*>& units, const PlayOrder& order)
{
    SetOwnJudgement(JudgementOutright);
    if (teams[0].Defeated == teams[1].Defeated) {
        if (CMissionCriteria* sub = GetSubCriteria()) {
            sub->Judge(code, units, order);
        } else {
            SetOwnJudgement(JudgementDraw);
        }
    }
    return teams[0].Leader;
}

// --- deadline and pullout ---------------------------------------------------

namespace {

bool WatchesUnitZero(const CUnit& unit)
{
    return unit.GetProfile().Id == 0;
}

} // namespace

CDeadlineMission::CDeadlineMission(MissionType code) : CMissionCriteria(code)
{
    if (HasAllBits(code, MissionFlagship)) {
        SetSubCriteria(std::make_unique<CFlagshipMission>(code));
    } else if (HasAllBits(code, MissionWipeout)) {
        SetSubCriteria(std::make_unique<CWipeoutMission>());
    } else if (HasAllBits(code, MissionSurvival)) {
        SetSubCriteria(std::make_unique<CSurvivalMission>(WatchesUnitZero));
    } else {
        SetSubCriteria(std::make_unique<CSeaControlMission>());
    }
}

bool CDeadlineMission::IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    CMissionCriteria* sub = GetSubCriteria();
    if (sub && (sub->GetMissionCode() & 0x20000000u)) sub->IsOver(code, units, order);
    const CGameEdit* rules = GetRules();
    if (rules && order.Round >= rules->GetInfo().DeadlineRounds && order.Position >= units.size()) {
        // The last turn of the limit round: judged, whatever the state.
        if (code == 73) return false;
        Judge(code, units, order);
        return true;
    }
    if (IsBattleContinuing(units) || code == 73) return false;
    Judge(code, units, order);
    return true;
}

void CDeadlineMission::Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    if (CMissionCriteria* sub = GetSubCriteria()) sub->Judge(code, units, order);
}

// --- rescue -----------------------------------------------------------------

CRescueMission::CRescueMission(MissionType code) : CMissionCriteria(code)
{
    if (HasAllBits(code, MissionPullout)) {
        SetSubCriteria(std::make_unique<CPulloutMission>());
    } else if (HasAllBits(code, MissionDeadline)) {
        SetSubCriteria(std::make_unique<CDeadlineMission>(code));
    } else if (HasAllBits(code, MissionFlagship)) {
        SetSubCriteria(std::make_unique<CFlagshipMission>(MissionFlagship));
    } else if (HasAllBits(code, MissionWipeout)) {
        SetSubCriteria(std::make_unique<CWipeoutMission>());
    } else {
        SetSubCriteria(std::make_unique<CSeaControlMission>());
    }
}

bool CRescueMission::IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    const auto teams = CTeamJudgeMission::MakeTeams(units);
    const auto intact =
        std::count_if(teams.begin(), teams.end(), [](const auto& t) { return t.Defeated == 0; });
    if (intact != 1 && IsBattleContinuing(units)) {
        CMissionCriteria* sub = GetSubCriteria();
        if (sub && HasAllBits(GetMissionCode(), MissionDeadline)) return sub->IsOver(code, units, order);
        return false;
    }
    Judge(code, units, order);
    return true;
}

void CRescueMission::Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order)
{
    auto teams = CTeamJudgeMission::MakeTeams(units);
    if (teams.empty()) return;
    std::vector<const CTeamJudgeMission::Team*> intact;
    for (const auto& team : teams) {
        if (team.Defeated == 0) intact.push_back(&team);
    }
    if (intact.size() == 1) {
        for (CUnit* unit : intact.front()->Members) unit->GetStatistics()[StatVictory] = 1;
        SetVerdict(intact.front()->Leader, JudgementOutright);
        return;
    }
    if (CMissionCriteria* sub = GetSubCriteria()) {
        sub->Judge(code, units, order);
        SetOwnWinner(nullptr);
        return;
    }
    CTeamJudgeMission::SortBySurvivors(teams);
    SetVerdict(teams.front().Leader, JudgementDraw);
}

// --- survival ---------------------------------------------------------------

bool CSubCriteria::IsOver(MessageCode, const std::vector<CUnit*>&, const PlayOrder&)
{
    // The watch list was collected when the battle started.
    return false;
}

void CSubCriteria::StartBattle(const std::vector<CUnit*>& units)
{
    m_watched.clear();
    for (CUnit* unit : units) {
        if (unit && m_watch(*unit)) m_watched.push_back(unit);
    }
    CMissionCriteria::StartBattle(units);
}

bool CSubCriteria::IsWatched(const CUnit* unit) const
{
    return std::find(m_watched.begin(), m_watched.end(), unit) != m_watched.end();
}

void CSurvivalMission::Judge(MessageCode, const std::vector<CUnit*>& units, const PlayOrder&)
{
    auto teams = CTeamJudgeMission::MakeTeams(units);
    if (teams.empty()) return;
    auto survives = [this](const CTeamJudgeMission::Team& team) {
        bool hasWatched = false;
        bool standing = false;
        bool watchedStanding = false;
        for (CUnit* unit : team.Members) {
            const bool up = !unit->IsDefeated();
            standing = standing || up;
            if (IsWatched(unit)) {
                hasWatched = true;
                watchedStanding = watchedStanding || up;
            }
        }
        return hasWatched ? watchedStanding : standing;
    };
    std::vector<CTeamJudgeMission::Team*> alive;
    for (auto& team : teams) {
        if (survives(team)) alive.push_back(&team);
    }
    CUnit* winner = nullptr;
    if (alive.size() == 1) {
        winner = alive.front()->Leader;
        SetOwnJudgement(JudgementOutright);
    } else {
        std::vector<std::pair<CTeamJudgeMission::Team, double>> scored;
        for (auto& team : teams) {
            const double score = CTeamJudgeMission::AverageScore(team);
            scored.emplace_back(team, score);
        }
        std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
            if (a.first.Defeated != b.first.Defeated) return a.first.Defeated < b.first.Defeated;
            return a.second > b.second;
        });
        winner = scored.front().first.Leader;
        SetOwnJudgement(JudgementDraw);
    }
    if (GetJudgement() != JudgementDraw) CTeamJudgeMission::MarkVictory(teams, winner);
    SetOwnWinner(winner);
}

// --- construction -----------------------------------------------------------

std::unique_ptr<CMissionCriteria> CreateMission(MissionType code)
{
    if (HasAllBits(code, 0x50000000u)) {
        if (HasAllBits(code, MissionRescue)) return std::make_unique<CRescueMission>(code);
        if (HasAllBits(code, MissionPullout)) return std::make_unique<CPulloutMission>();
        if (HasAllBits(code, MissionDeadline)) return std::make_unique<CDeadlineMission>(code);
        return std::make_unique<CSeaControlMission>();
    }
    if (code == MissionWipeout || code == MissionFlagship)
        return std::make_unique<CFlagshipMission>(MissionFlagship);
    return std::make_unique<CSeaControlMission>();
}

} // namespace Marevane
