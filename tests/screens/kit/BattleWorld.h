// A battle built in memory for the screens, without a network: a board of
// any size, sides made by the unit factory and fleets placed by the ship
// factory on free sea panels drawn from a seed, so a test sees the same
// battle every run. Mines and torpedoes go through the ships' own commands.
#pragma once

#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Records.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Torpedo.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Marevane::Testing {

class CBattleWorld {
  public:
    struct Options {
        std::uint32_t rows = 5;
        std::uint32_t columns = 5;
        std::uint32_t sides = 2;        // 1 to 4, ids 0 upwards, all played by hand
        std::uint32_t shipsPerSide = 4; // types cycle battleship, destroyer, submarine, oiler
        std::uint32_t seed = 1;
        bool specialPanels = false; // one reef, shallow, fog and high wave where room is left
    };

    CBattleWorld();
    explicit CBattleWorld(const Options& options);
    CBattleWorld(const CBattleWorld&) = delete;
    CBattleWorld& operator=(const CBattleWorld&) = delete;
    ~CBattleWorld();

    CBoard& Board() { return m_board; }
    CGameEdit& Rules() { return m_rules; }
    CShipFactory& ShipFactory() { return m_ships; }
    CUnitFactory& UnitFactory() { return m_units; }
    const Options& GetOptions() const { return m_options; }

    // The playing sides, in id order.
    const std::vector<CUnit*>& Sides() const { return m_sides; }
    CUnit* Side(std::size_t index) const { return m_sides.at(index); }
    // A side that only watches (an audience machine's own unit).
    CUnit* AddWatcher(std::uint32_t id = 9);
    // A side of its own id and type, with no ships.
    CUnit* AddSide(std::uint32_t id, std::uint32_t type, const std::wstring& name);

    // The ship of a side by its id; null when the side holds no such ship.
    CShip* Ship(std::size_t side, std::uint32_t shipId) const;
    // Every ship of every playing side, side by side, ids in order.
    std::vector<CShip*> AllShips() const;
    // A ship of its type put on a panel (row and column of the board, 1-based).
    CShip* PutShip(std::size_t side, std::uint32_t type, std::uint32_t row, std::uint32_t column);
    CPanel* Panel(std::uint32_t row, std::uint32_t column) const { return m_board.GetPanel(row, column); }
    // Whether a ship that is not sinking stands on the panel.
    bool IsOccupied(const CPanel* panel) const;

    // Lays a mine of the ship on the panel; the laid record, or null when
    // the ship may not lay one there.
    MineProfile* LayMine(CShip* ship, CPanel* panel);
    // Fires a torpedo of the ship at the panel; the torpedo, or null when
    // the ship may not fire one (or not there: its own panel, the ring).
    CTorpedo* FireTorpedo(CShip* ship, CPanel* target);
    // Puts the ship in a state of ShipStatus (stealth, sinking, ...).
    static void SetStatus(CShip* ship, std::uint32_t status);

  private:
    void Build();
    CPanel* FreeSeaPanel();

    Options m_options;
    CBoard m_board;
    CGameEdit m_rules;
    // Made before the units, so that the sides go first and drop their fleets.
    CShipFactory m_ships{&m_board, &m_rules};
    CUnitFactory m_units{&m_board, &m_rules};
    std::vector<CUnit*> m_sides;
};

} // namespace Marevane::Testing
