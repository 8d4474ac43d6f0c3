// The decision engine after the real inference and assessment of the full
// brain, over several turns of the small battle: every command it writes is
// carried out by the unit.
#include "ComputerFixture.h"

#include "ai/DecisionEngine.h"
#include "model/CodeTables.h"

#include <string>
#include <tuple>

namespace Marevane::ComputerAI::Testing {
namespace {

// Each strength and seed on a fresh battle.
class DecisionIntegrationTest
    : public ComputerFixture,
      public ::testing::WithParamInterface<std::tuple<std::int32_t, std::uint32_t>> {};

TEST_P(DecisionIntegrationTest, TurnsEndInCommandsTheUnitCarriesOut)
{
    const auto [mode, seed] = GetParam();
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
        ASSERT_TRUE(Brain().GetLastFailure().empty()) << Brain().GetLastFailure();
        ASSERT_NO_THROW(engine.Run());
        ASSERT_TRUE(engine.HasWritten());
        const CommandInput input = com->GetCommandInput();
        const MessageCode code = com->ExecuteCommand(All());
        ASSERT_FALSE(IsErrorCode(code))
            << "turn " << turn << " command " << input.Command << " ship " << input.ShipId << " -> " << code;
        Log().Record(code, com, All());
        Log().Record(52, com, All());
        for (CUnit* other : {ann, cid}) {
            if (!other->IsDefeated()) PlayTurn(other, Pass());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StrengthsAndSeeds, DecisionIntegrationTest,
                         ::testing::Combine(::testing::Values(ModeVeryEasy, ModeNormal, ModeExtreme),
                                            ::testing::Range(1u, 5u)),
                         [](const ::testing::TestParamInfo<std::tuple<std::int32_t, std::uint32_t>>& info) {
                             const std::int32_t mode = std::get<0>(info.param);
                             return std::string(mode < 0 ? "Minus" : "") +
                                    std::to_string(mode < 0 ? -mode : mode) + "Seed" +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace
} // namespace Marevane::ComputerAI::Testing
