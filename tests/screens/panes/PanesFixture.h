// A battle in memory for the pane tests: a 7 by 7 board and two or four
// sides (unit id = position in the list), each with a battleship, a
// destroyer, a submarine and an oiler.
#pragma once

#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "screens/battle/ShipIcon.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QVector>

#include <string>
#include <vector>

Q_DECLARE_METATYPE(const Marevane::ShipProfile*)
Q_DECLARE_METATYPE(const Marevane::CShipIcon*)

namespace Marevane::Testing {

inline constexpr ShipType Fleet[] = {ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine, ShipTypeOiler};

class PanesTest : public ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        SeedRandom(7);
        board.Resize(7, 7);
    }

    // Sides 0..count-1, side k's ships on row k + 1.
    void MakeSides(int count, std::uint32_t type = UnitManual)
    {
        static const wchar_t* names[] = {L"Ann", L"Bea", L"Cid", L"Dora"};
        for (int k = 0; k < count; ++k) {
            CUnit* unit = units.CreateUnit(UnitProfile(static_cast<std::uint32_t>(k), type, 0, names[k], L"",
                                                       "127.0.0.1", ComputerAI::ModeNormal));
            std::uint32_t column = 1;
            for (ShipType ship : Fleet)
                ships.CreateShip(unit, ship, board.GetPanel(static_cast<std::uint32_t>(k) + 1, column++));
            players << unit;
        }
    }

    CShip* Ship(int side, std::uint32_t id) const { return players[side]->GetShip(id); }
    ShipProfile& Profile(int side, std::uint32_t id) const { return Ship(side, id)->GetProfile(); }

    CBoard board;
    CGameEdit rules;
    CShipFactory ships{&board, &rules};
    CUnitFactory units{&board, &rules};
    QVector<CUnit*> players;
};

} // namespace Marevane::Testing
