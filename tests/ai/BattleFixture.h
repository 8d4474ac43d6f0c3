// A small real battle for the virtual game tests: a 6 by 6 board, four sides
// made by the unit factory with ships from the ship factory, and a result
// manager of our own that holds the opening record.
//
//   id 1 Ann    rival      battleship (4,4)
//   id 2 Bea    team mate  battleship (6,1)
//   id 3 COM    own side   battleship (1,1), destroyer (1,2)
//   id 4 Cid    rival      battleship (3,6), destroyer (5,6)
#pragma once

#include "ai/VirtualGame.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Random.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Marevane::ComputerAI::Testing {

class BattleFixture : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SeedRandom(11);
        board.Resize(6, 6);
        ann = Side(1, UnitManual, L"Ann");
        bea = Side(2, UnitManual, L"Bea");
        com = Side(3, UnitAuto, L"COM");
        cid = Side(4, UnitManual, L"Cid");
        com->JoinTeam(*bea);
        ships.CreateShip(ann, ShipTypeBattleship, board.GetPanel(4, 4));
        ships.CreateShip(bea, ShipTypeBattleship, board.GetPanel(6, 1));
        ships.CreateShip(com, ShipTypeBattleship, board.GetPanel(1, 1));
        ships.CreateShip(com, ShipTypeDestroyer, board.GetPanel(1, 2));
        ships.CreateShip(cid, ShipTypeBattleship, board.GetPanel(3, 6));
        ships.CreateShip(cid, ShipTypeDestroyer, board.GetPanel(5, 6));
        AddShips();
        results.StartBattle(com, All());
    }

    // Ships a test adds before the opening record is made.
    virtual void AddShips() {}

    CUnit* Side(std::uint32_t id, std::uint32_t type, const std::wstring& name)
    {
        return units.CreateUnit(UnitProfile(id, type, 0, name, L"", "127.0.0.1", ModeNormal));
    }

    std::vector<CUnit*> All() const { return {ann, bea, com, cid}; }

    // One turn of a side stored as the turn manager stores it.
    void Play(CUnit* unit, const CommandInput& input)
    {
        unit->OnMessage(51);
        unit->SetCommandInput(input);
        const MessageCode code = unit->ExecuteCommand(All());
        results.Record(code, unit, All());
        results.Record(52, unit, All());
    }

    static CommandInput Pass()
    {
        CommandInput input;
        input.Command = CommandPass;
        input.ShipId = 1;
        return input;
    }

    std::unique_ptr<CVirtualGame> MakeGame()
    {
        auto game = std::make_unique<CVirtualGame>(com, &board, &results);
        game->Build();
        return game;
    }

    static std::vector<std::uint32_t> Ids(const std::vector<CVirtualPlayer*>& players)
    {
        std::vector<std::uint32_t> ids;
        for (const CVirtualPlayer* p : players) ids.push_back(p->GetUnitId());
        return ids;
    }

    static void ExpectMissingKey(const std::function<void()>& call, const std::string& what)
    {
        try {
            call();
            ADD_FAILURE() << what << ": no exception";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), MissingKeyText) << what;
        }
    }

    CBoard board;
    CGameEdit rules;
    // Made before the units, so that the sides go first and drop their fleets.
    CShipFactory ships{&board, &rules};
    CUnitFactory units{&board, &rules};
    CResultManager results;
    CUnit* ann = nullptr;
    CUnit* bea = nullptr;
    CUnit* com = nullptr;
    CUnit* cid = nullptr;
};

} // namespace Marevane::ComputerAI::Testing
