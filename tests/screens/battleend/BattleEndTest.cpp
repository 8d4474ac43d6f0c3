// The battle's end in the screen flow: replay, exit and next stage without
// a network, the stage buttons of an arcade run, the win read from this
// battle's victory mark, delayed steps that the user can leave behind, and
// a choice made twice within one screen change.
#include "gui/ScreenTiming.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "tests/screens/battleend/FlowFixture.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class BattleEndTest : public FlowTest {};

TEST_F(BattleEndTest, ReplayGoesBackToTheFleetFormationAfterItsMessage)
{
    MakeSides(false);
    EndBattle();
    ASSERT_EQ(Current(), end);
    EXPECT_TRUE(Logged("PlayBgm 11"));
    EXPECT_TRUE(ResultScene()->GetReplayButton()->hasFocus());

    ResultScene()->GetReplayButton()->click();
    EXPECT_EQ(Message(),
              QStringLiteral("Request for a \"Replay\" is accepted.\nNow preparing for a replay..."));
    EXPECT_TRUE(end->IsStepPending());
    EXPECT_EQ(turnManager.resets, 0);
    ASSERT_TRUE(WaitForCurrent(formation));
    EXPECT_EQ(turnManager.resets, 1);
    EXPECT_TRUE(battle.isNull());
    EXPECT_TRUE(end.isNull());
    // Same sides, same rules.
    EXPECT_EQ(Units()->GetLocalUnit(), local);
}

TEST_F(BattleEndTest, ExitResetsTheGameAndGoesBackToTheTitle)
{
    Rules()->SetRule(GameModeVersus | GameModeSingle, MapPos(7, 8));
    Rules()->GetInfo().ComputerLevel = 16;
    control->GetBoard()->Resize(7, 8);
    MakeSides(true);
    EndBattle();
    EXPECT_TRUE(Logged("PlayBgm 10"));
    ResultScene()->GetExitButton()->click();
    EXPECT_EQ(Message(), QStringLiteral("\"Exit\" is selected.\nNow going back the Title..."));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_EQ(turnManager.resets, 1);
    EXPECT_TRUE(Units()->GetUnits().empty());
    EXPECT_EQ(Units()->GetLocalUnit(), nullptr);
    const GameEditInfo& info = Rules()->GetInfo();
    EXPECT_EQ(info.Rule, GameModeVersus | GameModeSingle);
    EXPECT_EQ(info.ComputerLevel, 0);
    EXPECT_EQ(info.Map.Size, MapPos(5, 5));
    EXPECT_EQ(control->GetBoard()->GetMap().Size, MapPos(5, 5));
}

TEST_F(BattleEndTest, AnArcadeRunOffersWhatTheResultAllowsAndExitsToItsClosingScreen)
{
    const struct {
        std::uint32_t stage;
        bool isWon;
        bool isReplayShown;
        bool isNextStageShown;
        int closingType;
    } cases[] = {
        {2, false, true, false, SequenceType::GameOver}, // a loss with stages left: try again
        {3, true, false, true, SequenceType::GameOver},  // a win with stages left: go on
        {5, true, false, false, SequenceType::Credits},  // the last stage won: the credits
        {5, false, false, false, SequenceType::GameOver},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE("stage " + std::to_string(row.stage) + (row.isWon ? " won" : " lost"));
        Units()->Clear();
        MakeSides(row.isWon);
        StartArcadeStage(row.stage);
        EndBattle();
        ASSERT_EQ(Current(), end);
        EXPECT_EQ(ResultScene()->IsReplayShown(), row.isReplayShown);
        EXPECT_EQ(ResultScene()->IsNextStageShown(), row.isNextStageShown);
        EXPECT_TRUE(ResultScene()->GetExitButton()->isEnabled());
        ResultScene()->GetExitButton()->click();
        ASSERT_TRUE(WaitForType(row.closingType));
        EXPECT_EQ(turnManager.resets, 1);
        turnManager.resets = 0;
        Manager()->ReturnTo(0);
        ASSERT_TRUE(WaitForType(SequenceType::Title));
    }
}

TEST_F(BattleEndTest, NextStageTellsTheStageScreenThatTheStageWasWonOnce)
{
    MakeSides(true);
    StartArcadeStage(2);
    EndBattle();
    ASSERT_TRUE(ResultScene()->IsNextStageShown());
    EXPECT_TRUE(ResultScene()->GetNextStageButton()->hasFocus());
    // Twice within one screen change: the stage screen hears it once, and
    // nothing below it is left.
    end->Update(CBattleEndSequence::NextStageCode);
    end->Update(CBattleEndSequence::NextStageCode);
    ASSERT_TRUE(WaitForCurrent(arcade));
    EXPECT_EQ(arcade->updates, std::vector<MessageCode>{30});
    EXPECT_EQ(Manager()->GetSequenceCount(), 2);
    EXPECT_EQ(turnManager.resets, 1);
}

TEST_F(BattleEndTest, TheWinIsThisBattlesVictoryMarkNotAnEarlierOne)
{
    MakeSides(false);
    local->GetStatistics(1)[StatVictory] = 3; // earlier battles were won
    StartArcadeStage(2);
    EndBattle();
    EXPECT_FALSE(end->IsWon());
    EXPECT_TRUE(ResultScene()->IsReplayShown());
    EXPECT_FALSE(ResultScene()->IsNextStageShown());
    EXPECT_TRUE(Logged("PlayBgm 11"));
    // A stage not won cannot be skipped.
    end->Update(CBattleEndSequence::NextStageCode);
    Settle();
    EXPECT_EQ(Current(), end);
    EXPECT_TRUE(arcade->updates.empty());
}

TEST_F(BattleEndTest, TheScoreOfThisBattleIsStoredBeforeTheListsAreMade)
{
    MakeSides(true);
    local->GetStatistics(0)[StatAttacks] = 4;
    local->GetStatistics(0)[StatHits] = 3;
    local->GetStatistics(0).Score = -1;
    EndBattle();
    EXPECT_GE(local->GetStatistics(0).Score, 0);
}

TEST_F(BattleEndTest, LeavingTheScreenCancelsTheStepAndTheButtonsAreOpenOnReturn)
{
    MakeSides(false);
    EndBattle();
    ResultScene()->GetReplayButton()->click();
    ASSERT_TRUE(end->IsStepPending());
    // The user opens another screen over it before the replay starts.
    auto* over = Push(new CTestSequence("over", SequenceType::SystemConfig));
    ASSERT_EQ(Current(), over);
    EXPECT_FALSE(end->IsStepPending());
    QTest::qWait(2 * ScreenTiming::Scaled(ScreenTiming::FailureNotice));
    EXPECT_EQ(Current(), over);
    EXPECT_EQ(turnManager.resets, 0);

    Manager()->ReturnTo(end.data());
    ASSERT_TRUE(WaitForCurrent(end));
    EXPECT_TRUE(ResultScene()->GetReplayButton()->isEnabled());
    EXPECT_TRUE(ResultScene()->GetExitButton()->isEnabled());
    ResultScene()->GetReplayButton()->click();
    ASSERT_TRUE(WaitForCurrent(formation));
    EXPECT_EQ(turnManager.resets, 1);
}

TEST_F(BattleEndTest, WithoutALocalSideNothingHappens)
{
    turnManager.TakeSides({});
    EndBattle();
    end->Update(CBattleEndSequence::ExitCode);
    end->Update(CBattleEndSequence::ReplayCode);
    QTest::qWait(2 * ScreenTiming::Scaled(ScreenTiming::FailureNotice));
    EXPECT_EQ(Current(), end);
    EXPECT_EQ(ResultScene()->GetHeader()->toPlainText(), logger->GetLogText(1));
}

} // namespace
