// The decision engine after the real inference and assessment of the full
// brain, over several turns of the small battle: every command it writes is
// carried out by the unit.
#include "ComputerFixture.h"

#include "ai/DecisionEngine.h"
#include "model/CodeTables.h"

#include <string>

namespace Marevane::ComputerAI::Testing {
namespace {

class DecisionIntegrationTest : public ComputerFixture {};

TEST_F(DecisionIntegrationTest, TurnsOfEveryStrengthEndInCommandsTheUnitCarriesOut)
{
    for (std::int32_t mode : {ModeVeryEasy, ModeNormal, ModeExtreme}) {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " seed " + std::to_string(seed));
            TearDown();
            SetUp();
            SetLevel(com, mode);
            SeedRandom(seed);
            com->OnMessage(45);
            CDecisionEngine engine(com, &board, &Log());
            engine.SetVirtualGame(Brain().GetVirtualGame());
            engine.SetSharedData(Brain().GetSharedData());
            for (int turn = 0; turn < 6 && !com->IsDefeated(); ++turn) {
                com->OnMessage(51);
                // Inference and assessment of the brain, then this engine.
                com->DecideCommand();
                ASSERT_NO_THROW(engine.Run());
                ASSERT_TRUE(engine.HasWritten());
                const CommandInput input = com->GetCommandInput();
                const MessageCode code = com->ExecuteCommand(All());
                ASSERT_FALSE(IsErrorCode(code)) << "turn " << turn << " command " << input.Command << " ship "
                                                << input.ShipId << " -> " << code;
                Log().Record(code, com, All());
                Log().Record(52, com, All());
                for (CUnit* other : {ann, cid}) {
                    if (!other->IsDefeated()) PlayTurn(other, Pass());
                }
            }
        }
    }
}

} // namespace
} // namespace Marevane::ComputerAI::Testing
