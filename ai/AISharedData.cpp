#include "ai/AISharedData.h"

namespace Marevane::ComputerAI {

CAISharedData::CAISharedData()
{
    TargetHistory.reserve(25);
    PlanHistory.reserve(25);
    KindHistory.reserve(25);
}

CAISharedData::~CAISharedData() = default;

void CAISharedData::ArchiveDecision()
{
    if (PlanHistory.empty() && PlanQueue.empty()) {
        PlanQueue.clear();
        Target = nullptr;
        return;
    }
    TargetHistory.push_back(Target != nullptr ? Target->GetUnitId() : NoTarget);
    PlanHistory.push_back(PlanQueue.empty() ? PlanRecord{} : *PlanQueue.front());
    KindHistory.push_back(DecisionKind);
    PlanQueue.clear();
    Target = nullptr;
}

} // namespace Marevane::ComputerAI
