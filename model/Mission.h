// Missions: when a battle is over and who won. A mission is a chain of
// criteria; the top one may own a sub-criterion, which may own another. The
// verdict (winner and judgement) is written into the criterion that judged.
#pragma once

#include "model/GameEdit.h"
#include "model/Records.h"
#include "model/Types.h"
#include "model/UnitTeam.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Marevane {

class CUnit;

// Mission codes; a bit test asks for all bits of the mask. The deadline and
// pullout codes stand with the rule settings, which derive settings from them.
constexpr MissionType MissionSeaControl = 0x10000001;
constexpr MissionType MissionWipeout = 0x10000002;
constexpr MissionType MissionFlagship = 0x10000004;
constexpr MissionType MissionSurvival = 0x20000020;
constexpr MissionType MissionRescue = 0x50000008;
constexpr MissionType MissionReconnaissance = 0x50000011;
constexpr MissionType MissionAssault = 0x50000012;
constexpr MissionType MissionRaid = 0x50000014;
constexpr MissionType MissionRapidDecisive = 0x50000015;
constexpr MissionType MissionRescueSeaControl = 0x50000009;
constexpr MissionType MissionRescueWipeout = 0x5000000A;
constexpr MissionType MissionRescueFlagship = 0x5000000C;
constexpr MissionType MissionRescueRecon = 0x50000019;
constexpr MissionType MissionRescueAssault = 0x5000001A;
constexpr MissionType MissionRescueRaid = 0x5000001C;
constexpr MissionType MissionRescueDecisive = 0x5000001D;
constexpr MissionType MissionRescuePullout = 0x70000038;

// Judgement words of a verdict.
enum : std::uint32_t {
    JudgementOutright = 0,
    JudgementDraw = 48,
    JudgementOnPoints = 49,
};

// Every mission code a battle can be set to, in the order of the rule screens.
const std::vector<MissionType>& GetMissionCodes();

inline bool HasAllBits(MissionType code, MissionType mask)
{
    return (code & mask) == mask;
}

class CMissionCriteria {
  public:
    explicit CMissionCriteria(MissionType code) : m_code(code) {}
    CMissionCriteria(const CMissionCriteria&) = delete;
    CMissionCriteria& operator=(const CMissionCriteria&) = delete;
    virtual ~CMissionCriteria() = default;

    // Decides whether a verdict is due and then judges. The result tells
    // whether this call judged; callers read the verdict instead.
    virtual bool IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) = 0;
    // Writes winner and judgement.
    virtual void Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) = 0;
    // Called once when the battle starts, before any command; criteria that
    // watch chosen units collect them here so that host and client agree.
    virtual void StartBattle(const std::vector<CUnit*>& units);

    // The deepest decided winner of the chain, else this one's own.
    CUnit* GetWinner() const;
    // The deepest non-zero judgement of the chain, else this one's own.
    std::uint32_t GetJudgement() const;
    // Forgets the verdict of the whole chain (a new battle).
    void ClearVerdict();

    MissionType GetMissionCode() const { return m_code; }
    CMissionCriteria* GetSubCriteria() const { return m_sub.get(); }
    void SetSubCriteria(std::unique_ptr<CMissionCriteria> sub);
    void SetRules(CGameEdit* rules);
    CGameEdit* GetRules() const { return m_rules; }

    // Whether the battle still goes on: more than one team has a side that
    // is not defeated and some side can still act this turn.
    static bool IsBattleContinuing(const std::vector<CUnit*>& units);

  protected:
    void SetVerdict(CUnit* winner, std::uint32_t judgement)
    {
        m_judgement = judgement;
        m_winner = winner;
    }
    void SetOwnWinner(CUnit* winner) { m_winner = winner; }
    void SetOwnJudgement(std::uint32_t judgement) { m_judgement = judgement; }
    CUnit* GetOwnWinner() const { return m_winner; }

  private:
    std::unique_ptr<CMissionCriteria> m_sub;
    CUnit* m_winner = nullptr;
    MissionType m_code;
    std::uint32_t m_judgement = JudgementOutright;
    CGameEdit* m_rules = nullptr;
};

// The judges that decide between whole teams: sea control, wipe out and
// flagship share the shape and differ when several teams are still alive.
class CTeamJudgeMission : public CMissionCriteria {
  public:
    using CMissionCriteria::CMissionCriteria;
    bool IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
    void Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;

  protected:
    struct Team {
        UnitTeam Group;
        std::vector<CUnit*> Members; // in unit-list order
        CUnit* Leader = nullptr;     // the member with the smallest id
        std::size_t Defeated = 0;
        bool IsAlive() const { return Defeated < Members.size(); }
    };
    // Chooses the winner among two or more alive teams; `teams` is sorted
    // by the caller with alive teams first. Returns the winner.
    virtual CUnit* JudgeSeveral(std::vector<Team>& teams, MessageCode code, const std::vector<CUnit*>& units,
                                const PlayOrder& order) = 0;

    static std::vector<Team> MakeTeams(const std::vector<CUnit*>& units);
    static void SortBySurvivors(std::vector<Team>& teams);
    static double AverageScore(const Team& team);
    static void MarkVictory(const std::vector<Team>& teams, const CUnit* winner);

    friend class CSurvivalMission;
    friend class CRescueMission;
};

class CSeaControlMission : public CTeamJudgeMission {
  public:
    CSeaControlMission() : CTeamJudgeMission(MissionSeaControl) {}

  protected:
    CUnit* JudgeSeveral(std::vector<Team>& teams, MessageCode code, const std::vector<CUnit*>& units,
                        const PlayOrder& order) override;
};

class CWipeoutMission : public CTeamJudgeMission {
  public:
    CWipeoutMission() : CTeamJudgeMission(MissionWipeout) {}

  protected:
    CUnit* JudgeSeveral(std::vector<Team>& teams, MessageCode code, const std::vector<CUnit*>& units,
                        const PlayOrder& order) override;
};

class CFlagshipMission : public CTeamJudgeMission {
  public:
    explicit CFlagshipMission(MissionType code);

  protected:
    CUnit* JudgeSeveral(std::vector<Team>& teams, MessageCode code, const std::vector<CUnit*>& units,
                        const PlayOrder& order) override;
};

// A battle with a round limit; the verdict is the sub-criterion's.
class CDeadlineMission : public CMissionCriteria {
  public:
    explicit CDeadlineMission(MissionType code);
    bool IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
    void Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
};

class CPulloutMission : public CDeadlineMission {
  public:
    CPulloutMission() : CDeadlineMission(MissionPullout) {}
};

// Won by the one team that lost no side.
class CRescueMission : public CMissionCriteria {
  public:
    explicit CRescueMission(MissionType code);
    bool IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
    void Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
};

// A criterion that watches chosen units, collected when the battle starts.
class CSubCriteria : public CMissionCriteria {
  public:
    using UnitPredicate = std::function<bool(const CUnit&)>;
    using Callable = std::function<void()>;

    explicit CSubCriteria(UnitPredicate watch = {})
        : CMissionCriteria(MissionSurvival), m_watch(std::move(watch))
    {
    }
    bool IsOver(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
    void StartBattle(const std::vector<CUnit*>& units) override;

    const std::vector<CUnit*>& GetWatchedUnits() const { return m_watched; }
    bool IsWatched(const CUnit* unit) const;

  private:
    UnitPredicate m_watch;
    Callable m_second; // held for later criteria; none of these calls it
    std::vector<CUnit*> m_watched;
};

// Survival: a team whose watched sides all fell is out.
class CSurvivalMission : public CSubCriteria {
  public:
    using CSubCriteria::CSubCriteria;
    void Judge(MessageCode code, const std::vector<CUnit*>& units, const PlayOrder& order) override;
};

// Builds the criterion a mission code names, with its sub-criteria. A code
// that matches no mission plays as sea control.
std::unique_ptr<CMissionCriteria> CreateMission(MissionType code);

} // namespace Marevane
