#include "gui/ScreenTiming.h"
#include "gui/Widgets.h"
#include "model/Board.h"
#include "model/ShipFactory.h"
#include "model/UnitFactory.h"
#include "screens/setup/ArcadeStageScreen.h"
#include "screens/setup/GameOverScreen.h"
#include "screens/setup/PlayerCreationScreen.h"
#include "screens/setup/PlayerSettingsScreen.h"
#include "screens/setup/TitleScreen.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include <QComboBox>
#include <QSignalSpy>

using namespace Marevane;

namespace {

class ClosingScreensTest : public Testing::ScreensTest {
  protected:
    // Title → Arcade → name → Next → the level → Start: the first stage.
    CArcadeStageSequence* StartArcade(int level)
    {
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        EXPECT_TRUE(WaitForType(SequenceType::PlayerSettings));
        Type(QStringLiteral("Tester"));
        Key(Qt::Key_Return);
        EXPECT_TRUE(WaitForType(SequenceType::PlayerCreation));
        auto* levels = SceneOf<CComputerLevelScene>(SceneSlot::ComputerLevel);
        levels->GetLevelBox()->setCurrentIndex(level);
        ShootWindow(QStringLiteral("computer-level"));
        levels->GetStartButton()->click();
        EXPECT_TRUE(WaitForType(SequenceType::ArcadeStage));
        return qobject_cast<CArcadeStageSequence*>(Current());
    }
    CArcadeStageScene* Stage() const { return SceneOf<CArcadeStageScene>(SceneSlot::ArcadeStage); }

    // The battle of the stage is won: its end asks for the next stage and goes back.
    void WinStage(CArcadeStageSequence* arcade)
    {
        ASSERT_TRUE(WaitForType(SequenceType::FleetFormation, 8000));
        arcade->Update(CArcadeStageSequence::NextStageCode);
        Manager()->ReturnTo(arcade);
    }
};

TEST_F(ClosingScreensTest, AnArcadeRunGoesThroughFiveStagesToTheCreditsAndTheTitle)
{
    CArcadeStageSequence* arcade = StartArcade(5);
    ASSERT_NE(arcade, nullptr);
    EXPECT_EQ(Rules()->GetInfo().ComputerLevel, ComputerAI::ModeExtreme);
    EXPECT_EQ(control->GetUnitFactory()->CountUnits(), 2u);
    for (int stage = 1; stage <= 5; ++stage) {
        SCOPED_TRACE(stage);
        ASSERT_TRUE(WaitForType(SequenceType::ArcadeStage));
        const QString size = QString::number(stage + 4);
        EXPECT_EQ(Stage()->GetTitleText(), QStringLiteral("Stage %1").arg(stage));
        EXPECT_EQ(Stage()->GetCaptionText(), QStringLiteral("Map  ") + size + QStringLiteral("x") + size);
        EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(stage + 4, stage + 4));
        EXPECT_EQ(control->GetBoard()->GetMap().Size, MapPos(stage + 4, stage + 4));
        ShootWindow(QStringLiteral("arcade-stage-%1").arg(stage));
        // The first goes on by itself after its caption time; the others by a key.
        if (stage > 1) Key(Qt::Key_Return);
        WinStage(arcade);
    }
    ASSERT_TRUE(WaitForType(SequenceType::Credits));
    auto* credits = SceneOf<CCreditsScene>(SceneSlot::Credits);
    EXPECT_EQ(credits->GetCurrentPage(), 0u);
    EXPECT_TRUE(Logged("PlayBgm 9"));
    ASSERT_TRUE(Testing::WaitUntil([credits] { return credits->GetCurrentPage() == 3; }));
    ShootWindow(QStringLiteral("credits-page"));
    ASSERT_TRUE(Testing::WaitUntil([credits] { return credits->IsAtEnd(); }, 10000));
    // After an EXTREME run the secret message closes the roll.
    ASSERT_NE(credits->GetSecretMessage(), nullptr);
    Testing::WaitUntil([credits] { return credits->GetLogo()->opacity() > 0.99; });
    ShootWindow(QStringLiteral("credits-end"));
    ASSERT_TRUE(WaitForType(SequenceType::Title, 5000));
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_EQ(control->GetUnitFactory()->CountUnits(), 0u);
}

TEST_F(ClosingScreensTest, ComingBackWithoutAWinShowsTheSameStage)
{
    CArcadeStageSequence* arcade = StartArcade(2);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
    // Back from the fleet formation: no battle was won.
    Key(Qt::Key_Escape);
    ASSERT_TRUE(WaitForType(SequenceType::ArcadeStage));
    EXPECT_EQ(arcade->GetStage(), 1u);
    EXPECT_EQ(Stage()->GetTitleText(), QStringLiteral("Stage 1"));
}

TEST_F(ClosingScreensTest, ACaptionSkippedTwiceGoesOnOnce)
{
    StartArcade(2);
    QSignalSpy finished(Stage(), &CArcadeStageScene::Finished);
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1);
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
    EXPECT_EQ(Manager()->GetSequenceCount(), 5);
}

TEST_F(ClosingScreensTest, ALossEndsOnGameOverAndTheGameIsTornDown)
{
    StartArcade(1);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
    control->GetBoard()->Resize(8, 8);
    // The battle end of a lost arcade battle puts the game over in its place.
    Manager()->ReplaceWith(CreateSequence(SequenceType::GameOver));
    ASSERT_TRUE(WaitForType(SequenceType::GameOver));
    auto* scene = SceneOf<CGameOverScene>(SceneSlot::GameOver);
    QSignalSpy finished(scene, &CGameOverScene::Finished);
    EXPECT_TRUE(Testing::WaitUntil([scene] { return scene->GetLogo()->opacity() > 0.99; }, 2000))
        << scene->GetLogo()->opacity() << " " << scene->GetLogo()->isVisible() << " " << scene->IsWaiting();
    ShootWindow(QStringLiteral("game-over"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1);
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_EQ(control->GetUnitFactory()->CountUnits(), 0u);
    EXPECT_EQ(control->GetBoard()->GetMap().Size, MapPos(5, 5));
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(5, 5));
    EXPECT_EQ(Rules()->GetInfo().Rule, GameModeArcade);
}

TEST_F(ClosingScreensTest, TheCreditsEndOnceAndStartAtTheirFirstPageEachTime)
{
    Rules()->GetInfo().ComputerLevel = ComputerAI::ModeVeryHard;
    for (int roll = 0; roll < 2; ++roll) {
        SCOPED_TRACE(roll);
        Manager()->Push(CreateSequence(SequenceType::Credits));
        ASSERT_TRUE(WaitForType(SequenceType::Credits));
        auto* credits = SceneOf<CCreditsScene>(SceneSlot::Credits);
        EXPECT_EQ(credits->GetCurrentPage(), 0u);
        QSignalSpy finished(credits, &CCreditsScene::Finished);
        ASSERT_TRUE(Testing::WaitUntil([credits] { return credits->IsAtEnd(); }, 10000));
        EXPECT_EQ(credits->GetSecretMessage(), nullptr);
        ASSERT_TRUE(WaitForType(SequenceType::Title));
        // No second end after the roll.
        QTest::qWait(ScreenTiming::Scaled(12000));
        EXPECT_EQ(finished.count(), 1);
    }
}

} // namespace
