// A small board with ships on it for the ship, torpedo and factory tests.
#pragma once

#include "model/Board.h"
#include "model/Panel.h"
#include "model/Records.h"
#include "model/Ship.h"
#include "model/ShipConfig.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace Marevane::Testing {

class ShipTestBoard {
  public:
    explicit ShipTestBoard(std::uint32_t rows = 7, std::uint32_t columns = 7) { board.Resize(rows, columns); }

    CPanel* At(std::uint32_t row, std::uint32_t column) const { return board.GetPanel(row, column); }
    void SetType(std::uint32_t row, std::uint32_t column, PanelType type) { At(row, column)->SetType(type); }

    // The type's config under the default rules, reaching as far as the map.
    ShipConfigSet Config(ShipType type) const
    {
        ShipConfigSet config = MakeShipConfig(type, rules);
        config.MoveRange = std::max(board.GetRows(), board.GetColumns()) - 1;
        return config;
    }

    CShip& Add(ShipType type, std::uint32_t unitId, std::uint32_t row, std::uint32_t column)
    {
        return Add(Config(type), unitId, row, column);
    }

    CShip& Add(const ShipConfigSet& config, std::uint32_t unitId, std::uint32_t row, std::uint32_t column)
    {
        const auto shipId = static_cast<std::uint32_t>(ships.size() + 1);
        ships.push_back(std::make_unique<CShip>(unitId, shipId, At(row, column), config));
        return *ships.back();
    }

    std::vector<CShip*> All() const
    {
        std::vector<CShip*> all;
        for (const auto& ship : ships) all.push_back(ship.get());
        return all;
    }

    // A mine of another side lying on a panel; the record stays put.
    MineProfile& LayForeignMine(std::uint32_t row, std::uint32_t column, std::uint32_t unitId = 9)
    {
        mines.push_back(std::make_unique<MineProfile>(unitId, 1, ShipTypeDestroyer));
        At(row, column)->PlaceMine(mines.back().get());
        return *mines.back();
    }

    CBoard board;
    GameEditInfo rules;
    std::vector<std::unique_ptr<MineProfile>> mines;
    // Declared last: ships go before the board and the mines they point at.
    std::vector<std::unique_ptr<CShip>> ships;
};

} // namespace Marevane::Testing
