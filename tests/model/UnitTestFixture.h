// A small battle for the unit tests: a 5 by 5 board, sides made directly and
// ships placed by hand, the round set on the shared result manager.
#pragma once

#include "model/Board.h"
#include "model/Panel.h"
#include "model/Player.h"
#include "model/Random.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace Marevane::Testing {

class UnitFixture : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SeedRandom(7);
        SetRound(1);
    }

    void TearDown() override { SetRound(0); }

    static void SetRound(std::uint32_t round)
    {
        CResultManager::GetInstance().SetPlayOrder(PlayOrder{round, 1});
    }

    CPanel* At(std::uint32_t x, std::uint32_t y) const { return board.GetSeaPanel(MapPos(x, y)); }

    CUnit& MakeUnit(std::uint32_t id, std::uint32_t type = UnitManual)
    {
        units.push_back(
            std::make_unique<CPlayer>(UnitProfile(id, type, 0, L"U" + std::to_wstring(id), L""), &board));
        return *units.back();
    }

    // The next ship of the unit, numbered from 1 like the ship factory does.
    CShip& Place(CUnit& unit, ShipType type, std::uint32_t x, std::uint32_t y)
    {
        const auto id = static_cast<std::uint32_t>(unit.ShipCount() + 1);
        std::unique_ptr<CShip> ship;
        switch (type) {
        case ShipTypeBattleship:
            ship = std::make_unique<CBattleShip>(unit.GetId(), id, At(x, y), rules);
            break;
        case ShipTypeDestroyer:
            ship = std::make_unique<CDestroyer>(unit.GetId(), id, At(x, y), rules);
            break;
        case ShipTypeSubmarine:
            ship = std::make_unique<CSubmarine>(unit.GetId(), id, At(x, y), rules);
            break;
        default:
            ship = std::make_unique<COiler>(unit.GetId(), id, At(x, y), rules);
            break;
        }
        // The ship factory sizes moves to the board.
        ship->GetProfile().Config.MoveRange = std::max(board.GetRows(), board.GetColumns()) - 1;
        unit.AddShip(id, ship.get());
        ships.push_back(std::move(ship));
        return *ships.back();
    }

    static void Sink(CShip& ship)
    {
        ship.GetProfile().Hp = 0;
        ship.GetProfile().Condition = ShipStatusSinking;
    }

    std::vector<CUnit*> All() const
    {
        std::vector<CUnit*> list;
        for (const auto& unit : units) list.push_back(unit.get());
        return list;
    }

    static CommandInput Command(std::uint32_t command, std::uint32_t shipId, std::uint32_t direction = 0,
                                std::uint32_t distance = 0, MapPos target = MapPos())
    {
        CommandInput input;
        input.Command = command;
        input.ShipId = shipId;
        input.Direction = direction;
        input.Distance = distance;
        input.Target = target;
        return input;
    }

    CBoard board;
    GameEditInfo rules;
    // Ships outlive the units that point at them.
    std::vector<std::unique_ptr<CShip>> ships;
    std::vector<std::unique_ptr<CUnit>> units;
};

} // namespace Marevane::Testing
