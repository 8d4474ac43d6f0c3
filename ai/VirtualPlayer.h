// The computer's picture of one side of the battle, its own side included:
// three boards per ship of the side (where it can be, a second estimate, the
// estimate against torpedoes), one secondary board, the side's ships sorted
// by how well they are located, and one assessment record per ship of the
// computer's own unit.
//
// Every table is walked by ship id. A ship id or side that a table does not
// hold raises std::out_of_range with MissingKeyText.
//
// Threads: the inference and assessment tasks work on one player each; a
// task writes only its own player and reads the others. The tables have no
// lock; the boards guard their own flags.
#pragma once

#include "ai/InferenceRecord.h"
#include "ai/VirtualBoard.h"
#include "model/Messages.h"
#include "model/Records.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace Marevane {
class CBoard;
class CPanel;
class CShip;
class CUnit;
} // namespace Marevane

namespace Marevane::ComputerAI {

// What one ship of the computer's own unit makes of one side, refilled by
// CVirtualPlayer::AssessShip for every decision.
struct AssessmentRecord {
    using ShipValues = std::map<std::uint32_t, std::uint32_t>;
    using ShipRatios = std::map<std::uint32_t, double>;

    // Identity and state of the own ship.
    std::uint32_t OwnUnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t ShipType = ShipTypeNone;
    std::uint32_t SideId = 0;
    std::uint32_t PanelType = PanelUnknown;
    std::int32_t HitPoints = 0;
    std::int32_t Damage = 0;
    std::uint32_t Fuel = 0;
    // Of the own side's board of the ship.
    std::uint32_t CandidateCount = 0;
    std::uint32_t PossibleCount = 0;
    // Of the ship's panel in this side's secondary board.
    std::uint32_t PositiveNeighbors = 0;
    std::uint32_t BestScoreNear = 0;
    bool HasScoreNear = false;

    // Flags of the own ship.
    bool IsSunk = false;
    bool IsPositive = false; // its panel has a positive flag in the own board
    bool IsSeen = false;     // positive, precise, stealthed, at Mode 0 or above
    bool IsClose = false;    // positive with at most 2 candidates, or seen
    bool IsSecondStatus = false;
    bool IsLastHitPoint = false;
    bool CanAttack = false;
    bool CanMove = false;
    bool CanAttackAndMove = false;
    bool CanRefuelOthers = false;
    bool CanRefuelAndMove = false;

    // The side's ships against the own ship.
    std::uint32_t MinOverlap = 0; // smallest non-zero overlap; 0 when none
    double FewestRatio = 1.0;     // candidate ratio of the best-located ship
    bool HasAdjacentTarget = false;
    std::uint32_t AttackTarget = 0;
    double AttackRatio = 1.0;
    std::uint32_t CloseCount = 0;
    bool HasCloseTarget = false;
    bool IsAttackAdvised = false;
    std::uint32_t PrimaryTarget = 0;
    double PrimaryRatio = 1.0;
    bool IsInRange = false;
    ShipValues TargetHitPoints;  // ships in range: hit points
    ShipValues TargetCandidates; // ships in range: candidate count
    ShipRatios TargetRatios;     // every ship of the side: candidate ratio
    ShipValues TargetOverlaps;   // every ship of the side: overlap count
    ShipValues ApproachCosts;    // ships an approach panel was found for

    // Where to go to attack.
    std::uint32_t ApproachTarget = 0;
    std::uint32_t ApproachCandidates = 0;
    const CPanel* ApproachPanel = nullptr;
    std::uint32_t ApproachCost = CVirtualBoard::NoCost;
    std::uint32_t ApproachMoves = CVirtualBoard::NoCost;

    // Fuel of the rest of the fleet and of the ships next to this one.
    double FleetFuelRatio = 1.0;
    bool IsFleetFuelLow = false;
    bool HasRefuelNeighbor = false;
    bool IsNeighborFuelLow = false;

    // The pair verdict of the virtual game.
    bool Verdict = false;

    // The plan the assessment engine makes of the record: which strategy,
    // how urgent (smaller first, all ones last) and, for a ship that is to
    // be refuelled, the ship that supplies it.
    std::uint32_t Kind = 0;
    std::uint32_t Priority = 0xFFFFFFFFu;
    std::uint32_t RefuelPartner = 0;
};

// The plan of one own ship against one side, as the engines call it.
using PlanRecord = AssessmentRecord;

class CVirtualPlayer {
  public:
    // Owned boards keyed and walked by ship id.
    using BoardTable = std::map<std::uint32_t, std::unique_ptr<CVirtualBoard>>;
    using BoardPredicate = std::function<bool(CVirtualBoard*)>;
    using RecordList = std::vector<const ResultMessage*>;

    CVirtualPlayer(std::uint32_t unitId, CUnit* ownUnit, CBoard* map);
    virtual ~CVirtualPlayer();

    CVirtualPlayer(const CVirtualPlayer&) = delete;
    CVirtualPlayer& operator=(const CVirtualPlayer&) = delete;

    // --- lifecycle -------------------------------------------------------
    // Once, from the record the virtual game is built from; the boards track
    // profiles inside it, so it must outlive the player.
    void SetUp(const ResultMessage& record);
    // Every decision, with the newest record: boards reset, ship boards track
    // the side's newest profiles, secondary board cleared.
    void Refresh(const ResultMessage& record);
    // Panels holding one of the computer's own live mines block routes.
    void TakeInRecords(const RecordList& recent);
    // The walk that would keep the side's mine and torpedo records; the
    // recent records handed in never reach back to them, so nothing changes.
    void UpdateFromLog(const RecordList& recent);
    // The side's afloat ships, best located first.
    void SortBoards();
    // Refills the assessment record of one own ship against this side; board
    // is the own side's board of that ship.
    void AssessShip(CShip* ownShip, const CVirtualBoard& board, const CInferenceTable& table);

    // --- fields ----------------------------------------------------------
    std::uint32_t GetUnitId() const { return m_unitId; }
    CUnit* GetOwnUnit() const { return m_ownUnit; }
    CBoard* GetMap() const { return m_map; }
    // The side's entry in the unit list of the newest record; null before.
    const UnitProfile* GetProfile() const { return m_profile; }
    const BoardTable& GetShipBoards() const { return m_shipBoards; }
    const BoardTable& GetSecondBoards() const { return m_secondBoards; }
    const BoardTable& GetTorpedoBoards() const { return m_torpedoBoards; }
    CVirtualBoard* GetSecondBoard(std::uint32_t shipId) const { return Lookup(m_secondBoards, shipId); }
    CVirtualBoard* GetTorpedoBoard(std::uint32_t shipId) const { return Lookup(m_torpedoBoards, shipId); }
    CVirtualBoard* GetSecondaryBoard() const { return m_secondaryBoard.get(); }
    const std::vector<CVirtualBoard*>& GetSortedBoards() const { return m_sortedBoards; }
    AssessmentRecord& GetAssessment(std::uint32_t ownShipId);
    const AssessmentRecord& GetAssessment(std::uint32_t ownShipId) const;
    const std::map<std::uint32_t, AssessmentRecord>& GetAssessments() const { return m_assessments; }
    std::map<std::uint32_t, AssessmentRecord>& GetAssessments() { return m_assessments; }
    const RecordList& GetMineRecords() const { return m_mineRecords; }
    const RecordList& GetActiveMineRecords() const { return m_activeMineRecords; }
    const RecordList& GetTorpedoRecords() const { return m_torpedoRecords; }
    // Torpedo records and the updates since each was fired.
    const std::map<const ResultMessage*, std::uint32_t>& GetRunDistances() const { return m_runDistances; }
    const std::set<const ResultMessage*>& GetTorpedoRecordSet() const { return m_torpedoRecordSet; }
    const std::map<const ResultMessage*, const ActionInfo*>& GetTorpedoActions() const
    {
        return m_torpedoActions;
    }

    // --- side-level queries ------------------------------------------------
    std::uint32_t CountShipsAfloat() const;
    bool IsAlive() const;
    std::uint32_t GetHitPointSum() const;
    double GetHitPointRatio() const;
    std::uint32_t CountShipsAfloatIn(const ResultMessage& record) const;
    std::uint32_t CountAbleShips() const;
    std::uint32_t CountHiddenShips() const;
    bool HasActiveShip() const;
    bool IsTeamMate() const;
    bool IsRival() const;
    bool IsFlagshipSunk() const;
    std::uint32_t GetLeastCandidateCount() const;
    std::uint32_t GetMedianCandidateCount() const;
    // Null when the sorted list is empty.
    CVirtualBoard* GetLeastLocatedBoard() const;
    std::uint32_t CountNearShips(const CPanel* panel) const;
    // Throws std::bad_function_call for an empty predicate.
    std::vector<CVirtualBoard*> FilterBoards(const BoardPredicate& predicate) const;

    // --- ship-level queries (ship id of this side) -------------------------
    CVirtualBoard* GetBoard(std::uint32_t shipId) const { return Lookup(m_shipBoards, shipId); }
    const ShipProfile* FindShipProfile(std::uint32_t shipId) const;
    std::uint32_t FindShipType(std::uint32_t shipId) const;
    bool IsShipSunk(std::uint32_t shipId) const;
    bool IsShipActive(std::uint32_t shipId) const;
    bool IsShipInactive(std::uint32_t shipId) const { return !IsShipActive(shipId); }
    bool CanShipAct(std::uint32_t shipId) const;
    ShipStatus GetShipStatus(std::uint32_t shipId) const;
    bool IsShipNear(std::uint32_t shipId, const CPanel* panel) const;
    bool IsOwnShipStronger(std::uint32_t ownShipId, std::uint32_t shipId) const;
    bool IsOwnShipWeaker(std::uint32_t ownShipId, std::uint32_t shipId) const;
    bool IsOwnShipEqual(std::uint32_t ownShipId, std::uint32_t shipId) const;
    std::uint32_t CountOverlap(const CVirtualBoard& other, std::uint32_t shipId) const;

    // --- attack queries (a ship of the own unit) -----------------------------
    // Not sunk, not short of fuel, and an attack cost that is not 0 and that
    // its fuel pays when the type uses fuel.
    static bool CanOwnShipAttack(const CShip& ship);
    bool IsTargetAdjacent(const CVirtualBoard& board, const CShip& ship) const;
    bool CanAttackAnyShip(const CShip& ship) const;
    bool CanAttackLocatedShip(const CShip& ship) const;
    bool CanAnyShipAttackLocatedShip() const;
    bool ShouldAttack(const CShip& ship, std::uint32_t shipId) const;
    std::uint32_t GetBestAttackScore(std::uint32_t shipId) const;
    std::uint32_t GetBestScoreNear(const CShip& ship) const;

    // This side's ship has sinking status in the record's last action.
    bool IsSinkingIn(const ResultMessage& record, std::uint32_t shipId) const;

    // --- orders of sides (for std::sort) -------------------------------------
    // Larger hit-point sum first; sides out of the battle count 0.
    static bool CompareRivals(const CVirtualPlayer* a, const CVirtualPlayer* b);
    // Flagship afloat first, then the larger hit-point ratio.
    static bool CompareThreats(const CVirtualPlayer* a, const CVirtualPlayer* b);

  private:
    static CVirtualBoard* Lookup(const BoardTable& table, std::uint32_t shipId);
    std::uint32_t OwnUnitId() const;
    std::int32_t OwnMode() const;
    bool IsOwnSide() const;
    const UnitProfile* FindSideProfile(const ResultMessage& record) const;
    std::unique_ptr<CVirtualBoard> MakeBoard(const ShipProfile* tracked) const;
    const CShip& OwnShip(std::uint32_t ownShipId) const;
    // The approach step of AssessShip for one ship of this side.
    void ConsiderApproach(AssessmentRecord& record, const CShip& ownShip, const CVirtualBoard& given,
                          std::uint32_t shipId, const CVirtualBoard& board,
                          const CInferenceTable& table) const;
    bool TakesApproachTarget(const AssessmentRecord& record, const CShip& ownShip, std::uint32_t shipId,
                             const CVirtualBoard& board, const CPanel* panel, std::uint32_t cost,
                             const CInferenceTable& table) const;

    CUnit* m_ownUnit;
    CBoard* m_map;
    const UnitProfile* m_profile = nullptr;
    std::uint32_t m_unitId;
    BoardTable m_shipBoards;
    BoardTable m_secondBoards;
    BoardTable m_torpedoBoards;
    std::unique_ptr<CVirtualBoard> m_secondaryBoard;
    std::vector<CVirtualBoard*> m_sortedBoards;
    std::map<std::uint32_t, AssessmentRecord> m_assessments;
    RecordList m_mineRecords;
    RecordList m_activeMineRecords;
    RecordList m_torpedoRecords;
    std::map<const ResultMessage*, std::uint32_t> m_runDistances;
    std::set<const ResultMessage*> m_torpedoRecordSet;
    std::map<const ResultMessage*, const ActionInfo*> m_torpedoActions;
};

} // namespace Marevane::ComputerAI
