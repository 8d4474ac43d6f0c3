// Runs one battle: the sides taking part, the turn order, rounds and
// positions, the think-time timers, the time-pressure rule and the arbiter
// whose mission decides the winner. It has no loop of its own: the battle
// flow passes it one message code at a time through Update.
#pragma once

#include "model/Arbiter.h"
#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CLogger;
class CResultManager;
class CShipFactory;
class CUnit;
class CUnitFactory;

class CTurnManager {
  public:
    CTurnManager();
    CTurnManager(const CTurnManager&) = delete;
    CTurnManager& operator=(const CTurnManager&) = delete;
    virtual ~CTurnManager();

    // The step operation: one message code of the battle flow.
    virtual void Update(MessageCode code) = 0;
    // The battle's log object, kept but not owned.
    virtual void SetLogCache(CLogger* logger) = 0;
    virtual CLogger* GetLogCache() const = 0;
    // Draws the turn order; answers the first unit's id, -1 when nothing
    // was drawn. The base draws nothing.
    virtual std::int64_t ShuffleTurnOrder();
    // Back to the state of a fresh manager, for a new battle with the same
    // objects.
    virtual void Reset();
    virtual void Start();
    virtual void StopTimers();
    virtual void NextTurn();

    void SetUnits(const std::vector<CUnit*>& units);
    const std::vector<CUnit*>& GetUnits() const { return m_units; }
    void CreateArbiter(CGameEdit* rules);
    CArbiter* GetArbiter() const { return m_arbiter.get(); }
    CGameEdit* GetRules() const { return m_rules; }
    void SetBoard(CBoard* board) { m_board = board; }
    CBoard* GetBoard() const { return m_board; }
    void SetUnitFactory(CUnitFactory* factory) { m_unitFactory = factory; }
    CUnitFactory* GetUnitFactory() const { return m_unitFactory; }
    void SetShipFactory(CShipFactory* factory) { m_shipFactory = factory; }
    CShipFactory* GetShipFactory() const { return m_shipFactory; }
    void SetResultManager(CResultManager* results) { m_results = results; }
    CResultManager* GetResultManager() const { return m_results; }

    // The units the current unit fights: every unit not on its team.
    // std::out_of_range for a unit the table does not hold.
    const std::vector<CUnit*>& GetCurrentUnitEntry() const;
    const std::vector<CUnit*>& GetOpponents(std::uint32_t unitId) const;
    const std::vector<std::uint32_t>& GetTurnOrder() const { return m_turnOrder; }
    CUnit* GetCurrentUnit() const { return m_current; }
    const PlayOrder& GetPlayOrder() const { return m_order; }

    bool IsTurnRunning() const { return m_turnRunning && !m_timersStopped; }
    bool IsGameDecided() const;
    bool IsDisconnected() const { return m_disconnected; }
    bool AreTimersStopped() const { return m_timersStopped; }

    void SetCurrentUnitById(std::uint32_t id);
    // Whether the time-pressure rule holds now, and applying it.
    bool IsUnderTimePressure() const;
    void ApplyTimePressure();

  protected:
    CUnit* FindUnit(std::uint32_t id) const;
    // Takes the arbiter back from the result manager before it goes.
    void ForgetArbiter();
    // A turn order that names exactly the listed units, in any order; one
    // that does not is rebuilt in list order.
    void EnsureTurnOrder();
    void BuildOpponents();
    void SetTurnOrder(std::vector<std::uint32_t> order) { m_turnOrder = std::move(order); }
    void SetPlayOrder(const PlayOrder& order) { m_order = order; }
    void SetTurnRunning(bool running) { m_turnRunning = running; }
    void SetTimersStopped(bool stopped) { m_timersStopped = stopped; }
    void SetDisconnected() { m_disconnected = true; }
    bool HasTeamGroups() const { return !m_teamGroups.empty(); }
    bool HasOpponents() const { return !m_opponents.empty(); }

  private:
    std::vector<CUnit*> m_units;
    std::vector<std::uint32_t> m_turnOrder;
    std::vector<std::vector<CUnit*>> m_teamGroups;
    std::map<std::uint32_t, std::vector<CUnit*>> m_opponents;
    CGameEdit* m_rules = nullptr;
    CBoard* m_board = nullptr;
    CUnitFactory* m_unitFactory = nullptr;
    CShipFactory* m_shipFactory = nullptr;
    CResultManager* m_results;
    std::unique_ptr<CArbiter> m_arbiter;
    CUnit* m_current = nullptr;
    PlayOrder m_order;
    bool m_turnRunning = false;
    bool m_timersStopped = false;
    bool m_disconnected = false;
};

// The host's layer: a random turn order, alternating between teams.
class CTurnManagerOnServer : public CTurnManager {
  public:
    std::int64_t ShuffleTurnOrder() override;
};

} // namespace Marevane
