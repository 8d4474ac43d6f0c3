// The first engine of every decision: it reads what the recent result
// records show and narrows, for every ship of every side, the virtual board
// of where that ship can be. It chooses nothing.
//
// Run walks the players in the virtual game's order. The board pass and the
// attack attribution run one task per side; a task writes only the boards of
// its own side, and an exception inside a task ends that side's pass only.
// Outside the tasks a missing unit or ship id (std::out_of_range with
// MissingKeyText) or a restore without backup (std::runtime_error) leaves Run.
#pragma once

#include "ai/AIEngine.h"
#include "ai/VirtualBoard.h"
#include "model/Messages.h"
#include "model/Records.h"

#include <cstdint>
#include <vector>

namespace Marevane {
class CPanel;
} // namespace Marevane

namespace Marevane::ComputerAI {

class CVirtualGame;
class CVirtualPlayer;

// What the last action did to a ship: the second status word of its profile.
constexpr std::uint32_t EventMissed = 1;
constexpr std::uint32_t EventDamaged = 2;
constexpr std::uint32_t EventSunk = 3;
constexpr std::uint32_t EventNearMiss = 4;
constexpr std::uint32_t EventReefStop = 5;

// The board has no candidate left although the profile shows the ship still
// on the map (neither just sunk nor sinking).
bool IsBoardContradicted(const CVirtualBoard& board, const ShipProfile& profile);

class CInferenceEngine : public CAIEngine {
  public:
    using RecordList = std::vector<const ResultMessage*>;

    using CAIEngine::CAIEngine;
    ~CInferenceEngine() override;

    // One inference pass over the recent records (GetLog).
    void Run() override;

    // --- the per-side board pass -------------------------------------------
    void UpdateBoards(std::uint32_t unitId, const RecordList& recent);

    // --- evaluations of one observed action on one ship's board ------------
    // The side's ship may have been the target of a rival's attack or torpedo.
    void EvaluateAttackResponse(CVirtualPlayer& player, std::uint32_t shipId, const ResultMessage& record,
                                const ActionInfo& action);
    // The acting side moved the ship: its board follows.
    void EvaluateMoveCommand(std::uint32_t shipId, const ResultMessage& record, const ActionInfo& action);
    void EvaluateMoveResult(CVirtualBoard& board, std::uint32_t shipId, const ResultMessage& record,
                            const ActionInfo& action);
    // The moved ship ran onto a mine: it stood on the mine's line of travel.
    void EvaluateMineOfMove(CVirtualBoard& board, std::uint32_t shipId, const ResultMessage& record,
                            const ActionInfo& action);
    void ApplyOwnMineRecords(CVirtualBoard& board, std::uint32_t shipId, const ResultMessage& record,
                             const ActionInfo& action);
    void EvaluateFiringTorpedoInfo(CVirtualBoard& board, std::uint32_t shipId, const ResultMessage& record,
                                   const ActionInfo& action);
    // A sunk ship came back: the panels its side attacked weigh more.
    void EvaluateReinforcement(const RecordList& recent, const ResultMessage& record, CVirtualPlayer& player,
                               std::uint32_t shipId);

    // --- the weaker computers' attack test ---------------------------------
    void RunSimpleAttackTest(const RecordList& recent);
    void EvaluateOneAttackCommandSimplyTest(std::uint32_t shipId, const ResultMessage& record);

    // --- the stronger computers' attribution of one side's attacks ----------
    void AttributeAttacks(std::uint32_t unitId, const RecordList& recent);

  private:
    CVirtualGame& Game() const;
    const CBoard& Map() const;
    std::uint32_t OwnUnitId() const;
    std::int32_t OwnMode() const;
    // The real panel at the action's target; null when it lies off the map.
    const CPanel* TargetPanel(const ActionInfo& action) const;
    // EvaluateAttackResponse; a board the observation empties is reset and
    // evaluated once more, never again after that.
    void RespondToAttack(CVirtualPlayer& player, std::uint32_t shipId, const ResultMessage& record,
                         const ActionInfo& action, bool isRepeat);
};

// The last profile of the side's ship after the action, or null.
const ShipProfile* FindLastProfile(const ActionInfo& action, std::uint32_t unitId, std::uint32_t shipId);

} // namespace Marevane::ComputerAI
