// The arbiter of one battle: holds the mission the rules name and the turn
// manager's play order that the mission reads.
#pragma once

#include "model/Mission.h"

#include <memory>
#include <vector>

namespace Marevane {

class CGameEdit;
class CUnit;

class CArbiter {
  public:
    // Starts with sea control so that the mission is never missing.
    CArbiter();
    CArbiter(const CArbiter&) = delete;
    CArbiter& operator=(const CArbiter&) = delete;
    virtual ~CArbiter();

    // Replaces the mission by the one the code names (sea control for a
    // code that names none) and hands it the rules.
    void SetMission(MissionType code);
    CMissionCriteria& GetMission() const { return *m_mission; }

    void SetRules(CGameEdit* rules);
    CGameEdit* GetRules() const { return m_rules; }
    void SetPlayOrder(const PlayOrder* order) { m_order = order; }
    const PlayOrder* GetPlayOrder() const { return m_order; }

    // The battle starts with these units.
    void StartBattle(const std::vector<CUnit*>& units);

  private:
    std::unique_ptr<CMissionCriteria> m_mission;
    const PlayOrder* m_order = nullptr;
    CGameEdit* m_rules = nullptr;
};

} // namespace Marevane
