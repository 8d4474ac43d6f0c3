// The base of the computer's three engines (inference, assessment,
// decision). Each engine runs once per decision on the computer's thread and
// works on the unit's virtual game and the blackboard the engines share.
#pragma once

#include "ai/VirtualPlayer.h"
#include "model/Messages.h"

#include <cstdint>
#include <map>
#include <vector>

namespace Marevane {
class CBoard;
class CPanel;
class CResultManager;
class CShip;
class CUnit;
} // namespace Marevane

namespace Marevane::ComputerAI {

class CAISharedData;
class CVirtualGame;

class CAIEngine {
  public:
    using PlanTable = std::map<std::uint32_t, PlanRecord>;

    // Owner unit, board and result log are fixed at construction; the
    // virtual game and the shared data come when the battle starts.
    CAIEngine(CUnit* unit, CBoard* board, CResultManager* results);
    virtual ~CAIEngine();

    CAIEngine(const CAIEngine&) = delete;
    CAIEngine& operator=(const CAIEngine&) = delete;

    // One engine pass of a decision.
    virtual void Run() = 0;

    CUnit* GetUnit() const { return m_unit; }
    CBoard* GetBoard() const { return m_board; }
    CResultManager* GetResultManager() const { return m_results; }
    CVirtualGame* GetVirtualGame() const { return m_game; }
    CAISharedData* GetSharedData() const { return m_shared; }
    void SetVirtualGame(CVirtualGame* game) { m_game = game; }
    void SetSharedData(CAISharedData* shared) { m_shared = shared; }

    // The last Mode + 20 stored records (all when fewer), oldest first; none
    // without a unit or a result log. std::range_error "GetLog range_error"
    // when the log contradicts its own count.
    std::vector<const ResultMessage*> GetLog() const;

    // --- plans and candidates ----------------------------------------------
    // A side or ship the tables do not hold throws std::out_of_range with
    // MissingKeyText.
    PlanRecord& GetPlan(std::uint32_t opponentId, std::uint32_t shipId) const;
    PlanTable& GetPlans(std::uint32_t opponentId) const;
    void SetTarget(std::uint32_t opponentId) const;
    // Priority ascending as unsigned numbers, so all ones comes last.
    void SortPlanQueue() const;
    // Own ships that can still give a command, by their plan against the
    // shared target (which must be set).
    std::vector<CShip*> GetActiveShipsRanked() const;
    // Own sinking ships that could still act once brought back.
    std::vector<CShip*> GetSinkingShipsRanked() const;
    // Passable panels the owner knows, without an own afloat ship on them.
    std::vector<CPanel*> GetKnownFreePanels() const;

    // --- the balance of the battle as the engines weigh it -------------------
    // The sides the computer fights, in the order the assessment sorted them.
    std::vector<CVirtualPlayer*>& GetOpponents() const;
    // Rule value 1: the attack score of the rivals' summary (6, 2, 1, -2, -6).
    std::int32_t GetRuleValue1() const;
    // Rule value 2: the health score of the rivals' summary (8, 4, 1, -4, -8).
    std::int32_t GetRuleValue2() const;
    // The stance of the summary (-4, -2, 1, 2, 4).
    std::int32_t GetBalance() const;
    // The phase of the summary (0, 2, 4).
    std::int32_t GetPhase() const;

  private:
    CUnit* m_unit;
    CBoard* m_board;
    CResultManager* m_results;
    CVirtualGame* m_game = nullptr;
    CAISharedData* m_shared = nullptr;
};

} // namespace Marevane::ComputerAI
