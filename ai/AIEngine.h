// The base of the computer's three engines (inference, assessment,
// decision). Each engine runs once per decision on the computer's thread and
// works on the unit's virtual game and the blackboard the engines share.
#pragma once

#include "net/Messages.h"

#include <vector>

namespace Marevane {
class CBoard;
class CResultManager;
class CUnit;
} // namespace Marevane

namespace Marevane::ComputerAI {

class CAISharedData;
class CVirtualGame;

class CAIEngine {
  public:
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

  private:
    CUnit* m_unit;
    CBoard* m_board;
    CResultManager* m_results;
    CVirtualGame* m_game = nullptr;
    CAISharedData* m_shared = nullptr;
};

} // namespace Marevane::ComputerAI
