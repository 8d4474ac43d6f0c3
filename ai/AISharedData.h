// The blackboard that the three engines of one computer side share for the
// whole battle: the side aimed at, the plans in the order they are tried,
// what was decided before, and the counters of the turn.
#pragma once

#include "ai/VirtualPlayer.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace Marevane::ComputerAI {

class CAISharedData {
  public:
    // Stands for "no side aimed at" in the target history.
    static constexpr std::uint32_t NoTarget = 0xFFFFFFFFu;

    CAISharedData();
    virtual ~CAISharedData();

    // Files the decision just made (target, front plan, kind) and clears the
    // queue and the target for the next one. Nothing is filed before the
    // first plan was queued.
    void ArchiveDecision();

    // The side the assessment chose; null when none.
    CVirtualPlayer* Target = nullptr;
    // Front first: the plan the decision engine carries out, then the ones
    // it falls back on when a command is refused.
    std::deque<PlanRecord*> PlanQueue;
    std::vector<std::uint32_t> TargetHistory;
    std::vector<PlanRecord> PlanHistory;
    std::vector<std::uint32_t> KindHistory;
    std::uint32_t DecisionKind = 1;
    // Simple moves made in the battle; never reset.
    std::uint32_t FallbackCount = 0;
    // Commands of this side refused since its turn started.
    std::uint32_t RetryCount = 0;
    // The battle is won by sinking flagships: approaches go for them.
    bool FlagshipGoal = false;
};

} // namespace Marevane::ComputerAI
