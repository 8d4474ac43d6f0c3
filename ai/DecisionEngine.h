// The last of the computer's three engines: it turns the assessment's verdict
// (decision kind, plan queue, target) into exactly one command of the unit,
// a hand-over to another strategy, or a reconsideration. Strategies that find
// nothing reconsider; more than RetryLimit reconsiderations end in a plain
// move, and ResignOrPass always writes a command.
//
// Every command goes through the command writers, which write only what the
// unit's own check accepts; a writer that cannot answers false and its
// caller reconsiders.
//
// Threads: runs on the computer turn's worker thread; reads the virtual game
// and the shared data without locks.
#pragma once

#include "ai/AIEngine.h"
#include "ai/AISharedData.h"
#include "model/Types.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Marevane {
class CPanel;
class CShip;
} // namespace Marevane

namespace Marevane::ComputerAI {

class CVirtualPlayer;

// True when the first non-zero key is positive, false when it is negative;
// a fair coin when all four are 0.
bool CompareRangeKeys(std::int32_t k1, std::int32_t k2, std::int32_t k3, std::int32_t k4);
// Range class of a Manhattan distance: "short", "medium" or "long".
std::wstring RangeClassOf(std::uint32_t manhattan);
// Percent chance of refining a range aim; MissingKeyText for unknown names.
std::uint32_t RangeRefinementChance(const std::wstring& rangeClass, const std::wstring& outcome);

class CDecisionEngine : public CAIEngine {
  public:
    using ShipList = std::vector<CShip*>;
    static constexpr std::uint32_t RetryLimit = 30;

    // Figures of the virtual game the strategies compare.
    struct Figures {
        std::int32_t Balance = 0;   // the stance of the rivals' summary
        std::int32_t Level = 0;     // the phase of the battle (0, 2, 4)
        std::uint32_t Strength = 0; // own ships afloat
        std::int32_t R1 = 0;        // rule values of the rivals' summary
        std::int32_t R2 = 0;
        std::uint32_t OwnerCount = 0; // own ships afloat
    };

    // The facts of a plan record under the names the strategies test them by.
    struct PlanFacts {
        std::uint32_t Kind = 0;
        std::uint32_t Priority = 0xFFFFFFFFu;
        bool LastHitPoint = false;
        bool CanMoveAndAttack = false;
        bool InReach = false;
        bool FlagA = false;
        bool FlagB = false;
        bool FlagC = false;
        bool FlagD = false;
        bool FlagE = false;
        bool FlagF = false;
        std::uint32_t PositionWord = 0;
        std::uint32_t ReserveWord = 0;
        std::uint32_t WordZ = 0;
        // How far the other sides have found the ship: 0 not at all, 1 to 3
        // among ever fewer panels, 5 nearly found.
        std::uint32_t StateWord = 0;
        std::uint32_t CountWord = 0;
        std::uint32_t ValueA = 0;
        std::uint32_t ValueB = 0;
        std::uint32_t ValueC = 0;
        std::uint32_t ValueD = 0;
        std::uint32_t ValueF = 0;
        std::array<bool, 24> Flags{};
        // Enemy unit id and weight of each threat.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> Threats;
    };
    static PlanFacts ReadFacts(const PlanRecord& plan);

    // What the virtual game holds on one own ship, over every side it fights.
    struct ShipRecord {
        // Panels the other sides may believe the ship is on.
        std::uint32_t ReachEntries = 0;
        // Its best chance of striking an enemy from where it stands.
        std::uint32_t ReachValue = 0;
        // The cost of its route to its approach panel against the target.
        std::uint32_t RouteCost = 0xFFFFFFFFu;
        bool Alert1 = false; // an enemy within reach of its attack
        bool Alert2 = false; // an enemy side has nearly found it
        bool Alert3 = false; // it has a route to an approach panel
        bool Mark = false;   // an attack is advised
        // Sides that have nearly found it.
        std::vector<std::uint32_t> Threats;
        bool RefuelReady = false;
    };
    ShipRecord RecordOf(const CShip& ship) const;

    // One entry of an oiler's refuel-partner list: another own ship afloat,
    // and the ship the oiler can refuel now (the partner beside it, when it
    // can take the oiler's amount), or null.
    struct RefuelEntry {
        CShip* Oiler = nullptr;
        CShip* Partner = nullptr;
        CShip* Ship = nullptr;
    };
    std::vector<RefuelEntry> RefuelPartnersOf(CShip& oiler) const;
    // Class of a refuelling partner against the best so far (null: none).
    std::uint32_t RefuelClass(const CShip& partner, const ShipRecord& record, const CShip* best,
                              const ShipRecord& bestRecord) const;

    // Inputs of the class of an attack pair (attacker S, enemy ship E).
    struct PairInputs {
        bool One = false; // E has one hit point left
        bool Low = false; // E is damaged and next to S
        bool Hit = false; // the virtual game's hit test of S on E
        std::uint32_t D = 0;
        std::uint32_t K = 0;
        PlanFacts R;
    };
    static std::uint32_t PairClass(const PairInputs& in);
    // What an own ship that lists an enemy adds to that enemy's weight for
    // the range choice.
    static std::int32_t RangeWeight(const PlanFacts& facts, bool canAct);
    // The range figure of an enemy estimate for a panel: Manhattan distance
    // from the panel to the weighted centre of where the enemy may be.
    static std::uint32_t RangeFigure(const CVirtualBoard& enemy, const CPanel* panel);

    CDecisionEngine(CUnit* unit, CBoard* board, CResultManager* results);
    ~CDecisionEngine() override;

    void Run() override;
    bool CheckSpecialSituations();
    void Decide();
    void Dispatch(ShipList& ships);
    void Reconsider(ShipList& ships);

    // --- predicates ---
    static bool HasMineLayingShip(const CUnit& unit);
    static bool HasRescuableSinkingShip(const CUnit& unit);
    static bool CanFireTorpedo(const CUnit& unit, std::uint32_t shipId);
    static bool CanMoveNow(const CShip& ship);
    static bool CanPayAttack(const CShip& ship);
    bool HasReadyStealthShip() const;
    bool WantsMineTrap() const;

    // --- engine-base helpers ---
    // The plan of an own ship against the shared target.
    PlanRecord& PlanOf(const CShip& ship) const;
    PlanFacts FactsOf(const CShip& ship) const { return ReadFacts(PlanOf(ship)); }
    bool HasPlan(std::uint32_t opponentId, std::uint32_t shipId) const;
    // The ranked active ships; without a target (a side that could not act
    // was not assessed) the same ships in ship-id order.
    ShipList ActiveShips() const;
    Figures ReadFigures() const;

    // --- strategies (virtual so that a test can stand one in) ---
    virtual void EvaluateMainCommand(ShipList& ships);
    virtual void ChooseRangeCommand(ShipList& ships);
    virtual void Approach(ShipList& ships);
    virtual void Escape(ShipList& ships);
    virtual void Cover(ShipList& ships);
    virtual void MoveForRefuelling(ShipList& ships, CShip* ship);
    virtual void RefuelPartner(ShipList& ships);
    virtual void RefuelForDefence(ShipList& ships);
    virtual void LayMineTrap(ShipList& ships);
    virtual void LayMineNearFlagship(ShipList ships);
    virtual void LayMine(const std::vector<Direction>& directions);
    virtual void MoveSimply(ShipList& ships);
    virtual void CommandAroundFlagship(ShipList& ships);
    virtual void RescueSinkingShip(ShipList& ships);
    virtual void DefendSinkingShip(ShipList& ships);
    virtual void ResignOrPass();

    // --- command writers: true when a command the unit accepts was written ---
    // The Move that CommandMove writes for a ship and a panel, not written.
    struct MovePlan {
        Direction Way = DirectionNone;
        std::uint32_t Distance = 0;
        const CPanel* Landing = nullptr;
        const CPanel* Target = nullptr;
    };
    bool PlanMove(const CShip& ship, const CPanel* panel, MovePlan& plan);
    bool WriteMove(const CShip& ship, const MovePlan& plan);
    bool CommandMove(const CShip& ship, const CPanel* panel);
    bool WriteAttackCommand(const CShip& ship, Direction direction);
    bool CommandAttackAt(const CShip& ship, const CPanel* panel);
    bool CommandMine(const CShip& ship, Direction direction);
    bool CommandTorpedo(const CShip& ship, const CPanel* panel);
    bool CommandReinforce(const CShip& ship, const CPanel* panel);
    bool CommandRefuel(const CShip& oiler, const CShip& ship);
    bool CommandChangeFlagship(const CShip& flagship, const CPanel* panel);

    // The strategies run in this decision, in order, and the trace points.
    const std::vector<std::string>& GetTrace() const { return m_trace; }
    void ClearTrace() { m_trace.clear(); }
    // Whether the last Run wrote a command.
    bool HasWritten() const { return m_written; }

  protected:
    // An own attacker as the pursuit weighs it against one enemy ship.
    struct PursuitChoice {
        CShip* Attacker = nullptr;
        std::uint32_t Reach = 0;
        std::int64_t FuelLeft = 0;
        std::uint32_t Class = 0xFFFFFFFFu;
        std::int32_t PanelFigure = 0;
        std::uint32_t HitPoints = 0;
        PlanFacts Facts;
    };
    // The pursuit: for each ship of the target the attacker that deals with
    // it best, then the ship to go for, and the attack towards it.
    void ChooseTargetByLevel(ShipList& ships, const ShipList& attackers, CVirtualPlayer& target,
                             std::uint32_t firstTarget, std::uint32_t bestCount, std::uint32_t largestCount);
    // A kind-14 aim: a panel next to an own ship where a nearly found enemy
    // may be, a panel in line with the aim that another enemy may be on, or a
    // panel in line with the aim. May change the chosen ship.
    const CPanel* RefineRangeTarget(const ShipList& ships,
                                    const std::vector<const CVirtualBoard*>& candidates,
                                    const CVirtualBoard* chosenEnemy, CShip*& chosenShip, const CPanel* aim);
    // Whether the new choice is preferred to the current one once results exist.
    bool PrefersPursuit(const PursuitChoice& n, const PursuitChoice& c) const;

    void Trace(const char* name) { m_trace.emplace_back(name); }
    // Stores the command in the unit and notes it for this run.
    void Write(const CommandInput& input, const char* name);
    // A pass that names a ship afloat, so that the unit's check accepts it.
    void WritePass();
    CShip* FindMineLayer(const ShipList& ships) const;
    // The own ship's panel is one the other sides do not know it is on.
    bool IsHiddenOnPanel(const CShip& ship) const;
    // Whether a move along the plan leaves the other sides at least as many
    // panels to find the ship on as now.
    bool KeepsSafety(const CShip& ship, const MovePlan& plan) const;
    // A ship of the other sides as the computer estimates it.
    const CPanel* EstimatedPanel(const CVirtualPlayer& player, std::uint32_t shipId) const;
    bool IsOwnShipOn(const CPanel* panel, const CShip* except) const;

  private:
    std::vector<std::string> m_trace;
    bool m_written = false;
};

} // namespace Marevane::ComputerAI
