// Turns played for real on the pane fixture's sides, so the result manager
// and the battle log hold what a battle leaves in them.
#pragma once

#include "model/Logger.h"
#include "model/ResultManager.h"
#include "tests/screens/panes/PanesFixture.h"

#include <vector>

namespace Marevane::Testing {

class LoggedBattleTest : public PanesTest {
  protected:
    void StartBattle(int sides)
    {
        MakeSides(sides);
        results.StartBattle(players[0], All());
    }
    std::vector<CUnit*> All() const { return std::vector<CUnit*>(players.begin(), players.end()); }

    // One move of the side's oiler (east, or west to come back), recorded
    // and logged as the turn manager does; answers the code of the result.
    MessageCode Move(int side, bool isEast)
    {
        CUnit* unit = players[side];
        unit->OnMessage(51);
        CommandInput input;
        input.Command = CommandMove;
        input.ShipId = 4;
        input.Direction = isEast ? DirectionEast : DirectionWest;
        input.Distance = 1;
        unit->SetCommandInput(input);
        const MessageCode code = unit->ExecuteCommand(All());
        EXPECT_EQ(code, 87u) << "move of side " << side;
        results.Record(code, unit, All());
        logger->Log(code, results.GetLatestLog());
        return code;
    }

    CResultManager results;
    CLogger logger;
};

} // namespace Marevane::Testing
