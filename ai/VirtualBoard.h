// The computer's picture of where one ship can be: the real map panel by
// panel, each with a weight (the flag). 0 means the tracked ship cannot be
// there; larger values mean more likely. The map is seen with one observing
// unit's knowledge: a panel whose type it does not know counts as open water.
//
// Locking: each flag operation and the backup operations hold the board's
// own mutex; copying a board holds the source's. Queries and route planning
// take no lock and must not run while the same board is being written.
// Operations that read another board lock only this one; the other must not
// be written meanwhile.
#pragma once

#include "ai/VirtualPanel.h"
#include "model/Board.h"
#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

namespace Marevane::ComputerAI {

class CLostCandidates;

class CVirtualBoard {
  public:
    // Largest unsigned value: the own panel or a target beyond the limit.
    static constexpr std::uint32_t NoCost = 0xFFFFFFFFu;

    // Multimaps keyed by a value; equal keys keep panel order (row, then column).
    using PanelsByScore = std::multimap<std::uint32_t, const CPanel*>;
    using PanelsByFlag = std::multimap<std::int32_t, const CPanel*>;
    using PanelsByValue = std::multimap<std::int32_t, const CPanel*>;

    // All flags 0, no tracked ship; the owner calls Reset before narrowing.
    CVirtualBoard(std::uint32_t observerId, const CBoard& board);
    CVirtualBoard(const CVirtualBoard& other);
    CVirtualBoard& operator=(const CVirtualBoard& other);
    virtual ~CVirtualBoard();

    // --- tracked ship ---
    // Takes unit id, ship id and type from the profile; null tracks nothing.
    void SetTrackedProfile(const ShipProfile* profile);
    std::uint32_t GetObserverId() const { return m_observerId; }
    std::int32_t GetTrackedUnitId() const { return m_trackedUnitId; }
    std::uint32_t GetTrackedShipId() const { return m_trackedShipId; }
    ShipType GetTrackedShipType() const { return m_trackedShipType; }
    const ShipProfile* GetTrackedProfile() const { return m_trackedProfile; }

    // --- counts ---
    std::uint32_t GetPossibleCount() const { return m_possibleCount; }
    std::uint32_t GetReferenceCount() const { return m_referenceCount; }
    void SetReferenceCount(std::uint32_t count) { m_referenceCount = count; }

    // --- flag operations (locked; each ends by rebuilding the candidates) ---
    void Reset();
    void NormalizeFlag();
    void SpreadFlag(std::uint32_t mode);
    void ExtendFlag(std::uint32_t direction, std::uint32_t distance);
    void MoveFlag(std::uint32_t direction, std::uint32_t distance);
    void ApplyFlag(std::uint32_t kind, const CPanel* panel);
    void AddNeighborFlag(const CPanel* panel);
    void AddNeighborFlagIfSet(const CPanel* panel);
    void MixFlag(const CVirtualBoard& other);
    void ExcludeFlag(const CVirtualBoard& other);
    void AddFlag(const CVirtualBoard& other);
    void AddFlagIfSet(const CVirtualBoard& other);
    void CopyFlag(const CVirtualBoard& other);
    void SetRingFlag(const CPanel* centre, std::uint32_t distance);
    void ClearFlag();
    // Every panel's mark := its real panel holds a live mine of the observer.
    void MarkOwnMines();

    // --- backup (locked) ---
    void BackupFlag(const CVirtualBoard& source);
    // Throws std::runtime_error without a backup and changes nothing.
    void RestoreFlag();
    void DiscardBackup();
    bool HasBackup() const;

    // --- queries (no lock) ---
    const std::vector<CVirtualPanel>& GetPanels() const { return m_panels; }
    // Panels whose flag is not 0, in panel order.
    const std::vector<CVirtualPanel*>& GetCandidates() const { return m_candidates; }
    std::uint32_t GetCandidateCount() const { return static_cast<std::uint32_t>(m_candidates.size()); }
    std::int32_t GetFlagTotal() const;
    // Null for a panel of another map. Writes through a panel leave the
    // candidates as they were until the next flag operation.
    const CVirtualPanel* GetVirtualPanel(const CPanel* panel) const;
    CVirtualPanel* GetVirtualPanel(const CPanel* panel);
    std::int32_t GetNeighborFlagSum(const CPanel* panel) const;
    std::uint32_t CountPositiveNeighbors(const CPanel* panel) const;
    std::int32_t GetMaxNeighborFlag(const CPanel* panel) const;
    // How likely the tracked ship is on the panel; total <= 0 takes the flag
    // total. Mode 2 (stealth) weighs the panel's own flag only.
    std::uint32_t GetScore(const CPanel* panel, std::int32_t total, std::uint32_t mode) const;
    std::uint32_t GetScore(const CPanel* panel, std::uint32_t mode) const { return GetScore(panel, 0, mode); }
    std::uint32_t GetBestScoreAround(const CPanel* panel, std::uint32_t mode) const;
    double GetWeightedMeanFirst() const;
    double GetWeightedMeanSecond() const;
    std::int32_t GetCentreOffset(const CPanel* panel) const;
    double GetCandidateRatio() const;
    std::int32_t GetTrackedShipDamage() const;

    // --- tracked-ship predicates (throw std::logic_error without a tracked ship) ---
    bool IsTrackedShipSunk() const;
    bool IsTrackedShipOutOfAction() const;
    bool IsTrackedShipActive() const { return !IsTrackedShipOutOfAction(); }
    bool CanTrackedShipAct() const;
    bool IsTrackedShipHidden() const;
    bool IsTrackedShipExposed() const;
    ShipStatus GetTrackedShipStatus() const;

    // --- route planning (no lock; marked panels block) ---
    // Random draws use the given engine, or the shared one when null.
    bool CanReach(const CPanel* from, const CPanel* to) const;
    std::uint32_t GetMoveCount(const CPanel* from, const CPanel* to) const;
    const CPanel* ChooseWaypoint(const CPanel* from, const CPanel* to) const;
    std::uint32_t GetTravelCost(const CPanel* from, const CPanel* to, std::uint32_t limit,
                                std::uint32_t mode) const;
    std::uint32_t GetSimulatedTravelCost(const CVirtualBoard& other, const CPanel* from, const CPanel* to,
                                         std::uint32_t limit, std::uint32_t mode) const;
    void EvaluateMoveTargets(PanelsByValue& out, const ShipProfile& ship, const CPanel* from,
                             std::uint32_t maxSteps) const;
    const CPanel* ChooseApproachPanel(const CVirtualBoard& other, const CPanel* from, std::uint32_t limit,
                                      std::uint32_t mode, std::mt19937* engine = nullptr) const;
    Direction ChooseDirection(std::uint32_t mode, const CPanel* from, std::uint32_t scoreMode,
                              const CVirtualBoard& other, std::mt19937* engine = nullptr) const;
    Direction ChooseDirectionToHighestFlag(const CPanel* from, std::mt19937* engine = nullptr) const;
    Direction ChooseDirectionByScore(const CPanel* from, std::uint32_t scoreMode, const CVirtualBoard& other,
                                     std::mt19937* engine = nullptr) const;
    PanelsByScore GetBestScoredPanels() const;
    PanelsByFlag GetCandidatesByFlag() const;

  private:
    friend class CLostCandidates;

    // GetSimulatedTravelCost with the other board's lost candidates counted
    // by `lost`, which may answer repeated shifts from memory.
    std::uint32_t SimulatedTravelCost(CLostCandidates& lost, const CPanel* from, const CPanel* to,
                                      std::uint32_t limit, std::uint32_t mode) const;
    // Copies panels, counts and tracked fields of a source whose lock the
    // caller holds, and relinks them here.
    void CopyFrom(const CVirtualBoard& other);
    void Link();
    void RebuildCandidates();
    void ApplyFlagLocked(std::uint32_t kind, const CPanel* panel);
    void AddNeighborFlagLocked(const CPanel* panel, bool onlyIfSet);
    // The place of each of our panels in a list of real panels (the other
    // board's); throws std::out_of_range before anything changes when the
    // list lacks one.
    template <typename PanelOf>
    std::vector<std::size_t> MatchPanels(std::size_t count, const PanelOf& panelOf) const;
    std::vector<std::size_t> MatchPanels(const CVirtualBoard& other) const;
    std::size_t IndexOf(const CPanel* panel) const;
    const ShipProfile& TrackedProfile() const;
    std::uint32_t TrackedExtraMoveFp() const;
    const CVirtualPanel* SinglePanelOrNull() const;

    std::uint32_t m_observerId = 0;
    std::int32_t m_trackedUnitId = -1;
    std::uint32_t m_trackedShipId = 0;
    ShipType m_trackedShipType = ShipTypeNone;
    const ShipProfile* m_trackedProfile = nullptr;
    // The flags a backup keeps, with the real panel each belongs to.
    struct FlagBackup {
        std::vector<const CPanel*> Panels;
        std::vector<std::int32_t> Flags;
    };

    // The real map's panels row by row (X, then Y), so that a panel's place
    // follows from its coordinates.
    std::vector<CVirtualPanel> m_panels;
    std::uint32_t m_columns = 0;
    std::vector<CVirtualPanel*> m_candidates;
    std::uint32_t m_possibleCount = 0;
    std::uint32_t m_referenceCount = 0;
    std::unique_ptr<FlagBackup> m_backup;
    mutable std::mutex m_mutex;
};

} // namespace Marevane::ComputerAI
