// A finished battle for the result screen: two sides (a third on request)
// on a 5 by 5 board, a battleship and an oiler each, a stand-in turn manager holding them
// and a battle log with one real move in it.
#pragma once

#include "model/Logger.h"
#include "model/ResultManager.h"
#include "screens/battle/BattleResultScene.h"
#include "tests/screens/kit/ScreenTest.h"

#include <memory>
#include <vector>

namespace Marevane::Testing {

class ResultFixture : public ScreenTest {
  protected:
    void MakeBattle(std::uint32_t sides = 2)
    {
        CBattleWorld::Options options;
        options.sides = sides;
        options.shipsPerSide = 0;
        world = std::make_unique<CBattleWorld>(options);
        for (std::uint32_t side = 0; side < sides; ++side) {
            world->PutShip(side, ShipTypeBattleship, side + 1, 4);
            oilers.push_back(world->PutShip(side, ShipTypeOiler, side + 1, 1));
        }
        turnManager.TakeSides(world->Sides());
        turnManager.SetLogCache(&logger);
    }

    // The first side's oiler moves one panel east, recorded and logged as
    // the turn manager does.
    void LogOneMove()
    {
        const std::vector<CUnit*>& sides = world->Sides();
        results.StartBattle(sides[0], sides);
        CUnit* unit = sides[0];
        unit->OnMessage(51);
        CommandInput input;
        input.Command = CommandMove;
        input.UnitId = unit->GetId();
        input.ShipId = oilers[0]->GetShipId();
        input.Direction = DirectionEast;
        input.Distance = 1;
        unit->SetCommandInput(input);
        const MessageCode code = unit->ExecuteCommand(sides);
        ASSERT_EQ(code, 87u);
        results.Record(code, unit, sides);
        logger->Log(code, results.GetLatestLog());
    }

    std::unique_ptr<CBattleWorld> world;
    std::vector<CShip*> oilers;
    CStandInTurnManager turnManager;
    CResultManager results;
    CLogger logger;
};

} // namespace Marevane::Testing
