#include "model/Arbiter.h"

namespace Marevane {

CArbiter::CArbiter() : m_mission(CreateMission(MissionSeaControl)) {}

CArbiter::~CArbiter() = default;

void CArbiter::SetMission(MissionType code)
{
    m_mission = CreateMission(code);
    m_mission->SetRules(m_rules);
}

void CArbiter::SetRules(CGameEdit* rules)
{
    m_rules = rules;
    m_mission->SetRules(rules);
}

void CArbiter::StartBattle(const std::vector<CUnit*>& units)
{
    m_mission->StartBattle(units);
}

} // namespace Marevane
