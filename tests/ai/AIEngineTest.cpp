#include "ai/AIEngine.h"
#include "BattleFixture.h"

namespace Marevane::ComputerAI::Testing {
namespace {

class ProbeEngine : public CAIEngine {
  public:
    using CAIEngine::CAIEngine;
    void Run() override {}
};

class AIEngineTest : public BattleFixture {
  protected:
    void SetMode(std::int32_t mode)
    {
        UnitProfile profile = com->GetProfile();
        profile.Level = static_cast<std::uint32_t>(mode);
        com->SetProfile(profile);
    }

    std::vector<const ResultMessage*> Newest(unsigned n) const
    {
        std::vector<const ResultMessage*> records;
        for (unsigned k = n; k >= 1; --k) records.push_back(&results.GetLog(k));
        return records;
    }
};

TEST_F(AIEngineTest, LooksBackModePlusTwentyRecordsOldestFirst)
{
    while (results.GetLogCount() < 12) Play(ann, Pass());
    ProbeEngine engine(com, &board, &results);
    struct Case {
        std::int32_t Mode;
        unsigned Expected;
    };
    for (const Case& c : {Case{ModeVeryEasy, 10}, Case{ModeNormal, 12}, Case{-20, 0}, Case{-25, 0}}) {
        SetMode(c.Mode);
        EXPECT_EQ(engine.GetLog(), Newest(c.Expected)) << "mode " << c.Mode;
    }
}

TEST_F(AIEngineTest, KeepsGameAndSharedDataGivenLater)
{
    ProbeEngine engine(com, &board, &results);
    EXPECT_EQ(engine.GetVirtualGame(), nullptr);
    EXPECT_EQ(engine.GetSharedData(), nullptr);
    auto game = MakeGame();
    engine.SetVirtualGame(game.get());
    EXPECT_EQ(engine.GetVirtualGame(), game.get());
    EXPECT_EQ(engine.GetUnit(), com);
    EXPECT_EQ(engine.GetBoard(), &board);
    EXPECT_EQ(engine.GetResultManager(), &results);
}

} // namespace
} // namespace Marevane::ComputerAI::Testing
