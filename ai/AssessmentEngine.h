// The second engine of a decision: it picks the side to aim at, gives every
// plan of an own ship against a side a decision kind and a priority, queues
// the plans in the order the decision engine tries them, and writes the kind
// of the front plan to the blackboard.
//
// Threads: Run on the computer's thread; the plan assessments run as one
// task per (side, own ship) pair, each writing only its own plan, and all
// are joined before Run goes on.
#pragma once

#include "ai/AIEngine.h"

#include <cstdint>
#include <vector>

namespace Marevane::ComputerAI {

class CAssessmentEngine : public CAIEngine {
  public:
    using CAIEngine::CAIEngine;

    void Run() override;

    // The opponents by threat, and the one to aim at.
    void SelectTarget();
    // Every live opponent against every own ship, in parallel.
    void AssessPlans();
    // A fresh decision: assess, weigh the opponents and queue the plans.
    void AssessFirstPass();
    // Its second half: weighs the opponents' plans by rank, queues those of
    // ships that can act or come back, and sets target and decision kind.
    void QueuePlans();
    // At a strength of 0 or more, with an own ship that can lay a mine: a
    // draw below min(percent, 100).
    bool IsMineChance(std::uint32_t percent) const;

    // The kind and priority of the plan of one own ship against one side.
    void AssessPlan(CShip& ship, CVirtualPlayer& opponent, bool strong);

    // The owner has no lower hit-point rate than any opponent; false when
    // there is no opponent.
    bool IsTargetDecided() const;
    // From the end of the opponent list, the first still in the battle with
    // a ship afloat; else the first opponent; null without opponents.
    CVirtualPlayer* ChooseTarget() const;

  private:
    void SortOpponents() const;
    void AssessSinkingPlan(CShip& ship, CVirtualPlayer& opponent, PlanRecord& plan);
    void AssessAfloatPlan(CShip& ship, CVirtualPlayer& opponent, PlanRecord& plan, bool strong);
    // Steps of the first pass when no plan of kind 1 to 18 was queued.
    void QueueWithoutMainPlan();
    bool IsUnableToAct(const CShip& ship) const;
    bool CanBeBroughtBack(const CShip& ship) const;
    std::uint32_t GetLatestRound() const;
};

} // namespace Marevane::ComputerAI
