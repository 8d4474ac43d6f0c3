// Prepares one side of a battle before it starts: creates its unit, then
// its fleet, each as a task on a thread of its own, so that the set-up
// screens stay responsive while a computer side prepares or a network
// player connects and sends its fleet. The screen starts a task, polls it
// and takes the unit.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <future>
#include <mutex>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CShipFactory;
class CTcpServer;
class CUnit;
class CUnitFactory;

// The pauses of the set-up tasks; tests shorten them.
struct PlayerEditPauses {
    std::chrono::milliseconds Poll{50};    // between two looks at the network
    std::chrono::milliseconds Placed{500}; // after a ship placed from the console
    std::chrono::milliseconds Ready{1000}; // after a fleet is ready, so the screen can show it
};

// The number of ships the side fields: the rules' fleet size; in a tag match
// a side without team mates gets (sides rounded up to even, less 2) times
// that, at most one per panel. Never fewer than one ship.
std::uint32_t CountFleetShips(const GameEditInfo& rules, std::uint32_t panelCount, bool hasTeamMates);

class CPlayerEdit {
  public:
    // Nothing is owned; everything outlives this object. The server may be
    // null when the side is not remote. `profile` is the side as entered on
    // the screen.
    CPlayerEdit(UnitType type, bool remote, CGameEdit& rules, CBoard& board, CUnitFactory& units,
                CShipFactory& ships, CTcpServer* server, const UnitProfile& profile = UnitProfile(),
                PlayerEditPauses pauses = PlayerEditPauses());
    // Cancels a task still waiting and waits for it to wind down.
    virtual ~CPlayerEdit();

    CPlayerEdit(const CPlayerEdit&) = delete;
    CPlayerEdit& operator=(const CPlayerEdit&) = delete;

    // Starts the next task unless one exists: the unit first, then its fleet.
    void StartCreateUnit();
    // Waits at most `ms` (0 = poll); true once the task has finished.
    // Throws std::future_error when no task exists.
    bool IsUnitCreated(unsigned ms);
    // Rethrows what the last failed task threw, once. Throws
    // std::future_error when no task was ever started.
    void GetCreationResult();
    // The task's unit (rethrowing what it threw); the task is released so
    // that the next one can start.
    CUnit* TakeUnit();

    CUnit* GetUnit() const;
    // A side that exists already (made on the set-up screens): the next
    // task prepares its fleet instead of creating a side.
    void SetUnit(CUnit* unit);

  protected:
    // A local side is asked for by a front-end: the console's typed set-up
    // overrides these. Here they fail the task, as no front-end asks.
    virtual CUnit* CreateLocalPlayer();
    virtual CUnit* SetUpLocalShips(CUnit& unit);

    // Cancels a task still waiting and waits for it to wind down. A derived
    // front-end calls it first in its destructor, while its overrides exist.
    void StopTask();

    void SetUpComputerShips(CUnit& unit);
    std::uint32_t CountShips(const CUnit& unit) const;
    // Sleeps, unless cancelled first; a cancel ends the task.
    void Pause(std::chrono::milliseconds duration);

  private:
    // Thrown inside a task that was cancelled.
    struct Cancelled {};

    CUnit* RunTask(bool haveUnit, CUnit* unit);
    CUnit* CreateClientPlayer();
    CUnit* CreateComputer();
    CUnit* SetUpClientShips(CUnit& unit);

    // False when the fleet could not stand where the client put it.
    bool PlaceClientFleet(CUnit& unit, const std::vector<ShipProfile>& ships);
    void SendFleetEditMessage(CUnit& unit, MessageCode code, MessageCode secondCode);
    CTcpServer& Server() const;

  protected:
    mutable std::mutex m_mutex;

  private:
    std::condition_variable m_wake;
    bool m_cancelled = false;
    std::exception_ptr m_error;
    std::future<CUnit*> m_unitTask;
    bool m_started = false;
    CUnit* m_unit = nullptr;

  protected:
    UnitType m_unitType;
    bool m_remote;
    CGameEdit& m_rules;
    CBoard& m_board;
    CUnitFactory& m_units;
    CShipFactory& m_ships;
    CTcpServer* m_server;
    UnitProfile m_profile;
    PlayerEditPauses m_pauses;
};

} // namespace Marevane
