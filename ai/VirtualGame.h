// The computer's private model of one battle: one virtual player per side,
// the sides it fights, and what it remembers about every side. It reads the
// real game and never changes it.
//
// Every pass over the players follows the order in which they were added. A
// unit or ship id that a table does not hold raises std::out_of_range with
// MissingKeyText and ends the decision.
//
// Threads: built and refreshed on the thread that runs the computer's
// thinking; the engines' tasks work on one player each. No lock of its own.
#pragma once

#include "ai/InferenceRecord.h"
#include "ai/VirtualPlayer.h"
#include "model/Messages.h"

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace Marevane {
class CBoard;
class CResultManager;
class CShip;
class CUnit;
} // namespace Marevane

namespace Marevane::ComputerAI {

// One running torpedo record as the torpedo test weighs it against an own ship.
struct TorpedoTestInput {
    std::uint32_t Base = 80;       // 65 for a stealthed ship
    std::uint32_t Offset = 0;      // the firing ship's board centre to the own ship
    std::uint32_t RunDistance = 0; // updates since the firing
    std::uint32_t RunLimit = 0;    // inner rows plus inner columns plus 2
    std::uint32_t Candidates = 0;  // of the own side's board of the ship
    std::int32_t HitPoints = 0;
    std::uint32_t OwnMoves = 0; // own moves of the ship since the firing
    double FuelRate = 1.0;
};

// How much one torpedo record raises the chance of the test passing, 0 to Base.
std::uint32_t TorpedoContribution(const TorpedoTestInput& in);

class CVirtualGame {
  public:
    // Players in the order they were added, each under its unit id.
    using PlayerTable = std::vector<std::pair<std::uint32_t, std::unique_ptr<CVirtualPlayer>>>;

    // Any of the three may be null until Build needs it.
    CVirtualGame(CUnit* pUnit, CBoard* map, CResultManager* pResults);
    virtual ~CVirtualGame();

    CVirtualGame(const CVirtualGame&) = delete;
    CVirtualGame& operator=(const CVirtualGame&) = delete;

    // Once, when the battle starts: one player per side of the newest record.
    void Build();
    // Every decision: the players take the newest stored record. Nothing
    // happens before the first one is stored.
    void Refresh();
    // The players take the recent records in; an empty list changes nothing.
    void UpdatePlayersFromLog(const std::vector<const ResultMessage*>& records);
    // Sorts the rival list, larger hit-point sum first.
    void SortRivals();

    // Fills the inference table from the players; defined with the rest of
    // the inference engine, which no file here holds yet.
    void AssessSides(std::uint32_t kind);

    // For every other side and every own ship, the pair evaluation as one
    // task each; waits for all. A task that fails leaves its verdict as it was.
    void EvaluateShipPairs();
    bool GetPairVerdict(CShip* ship, std::uint32_t unitId);
    // The random test against the torpedoes the side has running.
    bool GetPairVerdictCore(CShip* ship, std::uint32_t unitId);

    // --- fields ----------------------------------------------------------
    CUnit* GetUnit() const { return m_unit; }
    CBoard* GetMap() const { return m_map; }
    CResultManager* GetResultManager() const { return m_results; }
    const PlayerTable& GetPlayers() const { return m_players; }
    bool HasPlayer(std::uint32_t unitId) const { return Find(unitId) != nullptr; }
    CVirtualPlayer* GetPlayer(std::uint32_t unitId) const;
    const std::vector<CVirtualPlayer*>& GetRivals() const { return m_rivals; }
    // Filled and read by the assessment and decision engines.
    std::vector<CVirtualPlayer*>& GetFirstList() { return m_firstList; }
    std::vector<CVirtualPlayer*>& GetSecondList() { return m_secondList; }
    CInferenceTable& GetInferenceTable() { return m_inference; }
    const CInferenceTable& GetInferenceTable() const { return m_inference; }

    // --- queries ---------------------------------------------------------
    CVirtualPlayer* GetOwnPlayer() const;
    CVirtualBoard* GetShipBoard(std::uint32_t unitId, std::uint32_t shipId) const;
    CVirtualBoard* GetOwnShipBoard(std::uint32_t shipId) const;
    bool IsShipSunk(std::uint32_t unitId, std::uint32_t shipId) const;
    bool IsShipSunkInAction(std::uint32_t unitId, std::uint32_t shipId, const ActionInfo& action) const;
    std::vector<CVirtualPlayer*> GetTeamMates(std::uint32_t unitId) const;
    // From the end of the rival list, the first still in the battle with a
    // ship afloat; else the first rival; null without rivals.
    CVirtualPlayer* GetLastLiveRival() const;
    std::uint32_t CountStrongerRivals() const;
    bool CanAttackAnyRival() const;

    // Own oilers the refuelling search marked for refuelling for defence;
    // the marks hold until the next decision's Refresh.
    void MarkRefuelReady(std::uint32_t shipId) { m_refuelReady.insert(shipId); }
    bool IsRefuelReady(std::uint32_t shipId) const { return m_refuelReady.count(shipId) != 0; }

  private:
    CVirtualPlayer* Find(std::uint32_t unitId) const;
    std::uint32_t OwnUnitId() const;
    bool IsOwnOrTeamMate(const CVirtualPlayer& player) const;
    // Stored records from the newest back to the given one (or the oldest)
    // in which the own unit moved the ship.
    std::uint32_t CountOwnMovesSince(const ResultMessage& record, std::uint32_t shipId) const;
    // The newest stored record, or the record under way while none is stored.
    const ResultMessage& NewestRecord() const;

    CUnit* m_unit;
    CBoard* m_map;
    CResultManager* m_results;
    PlayerTable m_players;
    std::vector<CVirtualPlayer*> m_rivals;
    std::vector<CVirtualPlayer*> m_firstList;
    std::vector<CVirtualPlayer*> m_secondList;
    CInferenceTable m_inference;
    std::set<std::uint32_t> m_refuelReady;
    // The players' set-up profiles point into this copy: the record under
    // way that stands in before the first result is stored is overwritten
    // when that result comes.
    std::unique_ptr<ResultMessage> m_buildRecord;
};

} // namespace Marevane::ComputerAI
