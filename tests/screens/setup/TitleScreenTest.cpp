#include "screens/setup/TitleScreen.h"
#include "screens/setup/PlayerSettingsScreen.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include <QSignalSpy>

using namespace Marevane;

namespace {

class TitleScreenTest : public Testing::ScreensTest {
  protected:
    CTitleScene* Scene() const { return SceneOf<CTitleScene>(SceneSlot::Title); }
    // The button that has the focus, as its index in the current list.
    int FocusedIndex() const
    {
        const auto& items = Scene()->GetCurrentList()->GetItems();
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i)->hasFocus()) return i;
        }
        return -1;
    }
};

TEST_F(TitleScreenTest, TheKeyboardReachesASingleMatchAndTheModeIsStoredBeforeThePlayerSettings)
{
    ASSERT_NE(Scene(), nullptr);
    EXPECT_TRUE(Logged("PlayBgm 1"));
    ShootWindow(QStringLiteral("title"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetModeList());
    EXPECT_EQ(FocusedIndex(), 0);
    ShootWindow(QStringLiteral("title-modes"));
    Key(Qt::Key_Down);
    EXPECT_EQ(FocusedIndex(), 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetVersusList());

    // Escape goes back to the mode list at the button it was left on.
    log.clear();
    Key(Qt::Key_Escape);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetModeList());
    EXPECT_EQ(FocusedIndex(), 1);
    EXPECT_TRUE(Logged("PlaySe 3"));
    Key(Qt::Key_Return);
    Rules()->SetRule(GameModeArcade, MapPos(7, 7));
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::PlayerSettings));
    EXPECT_EQ(Rules()->GetInfo().Rule, GameModeVersus | GameModeSingle);
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(5, 5));
    EXPECT_TRUE(Logged("StopBgm"));
}

TEST_F(TitleScreenTest, EscapeOnTheTopListChangesNothingAndTheChordOpensTheDeathMatchList)
{
    Key(Qt::Key_Escape);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetTopList());
    EXPECT_TRUE(Scene()->GetTopList()->isVisible());

    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    Key(Qt::Key_D, chord);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetDeathMatchList());
    Key(Qt::Key_D, chord);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetDeathMatchList());
    ShootWindow(QStringLiteral("title-death-match"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetDeathMatchModeList());
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::PlayerSettings));
    // A death match is fought at the strongest level on a 3 by 3 map.
    EXPECT_EQ(Rules()->GetInfo().Rule, 0x4Cu);
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(3, 3));
    EXPECT_EQ(Rules()->GetInfo().ComputerLevel, ComputerAI::ModeExtreme);
}

TEST_F(TitleScreenTest, SystemConfigurationLeavesTheRulesAloneAndPlaysItsMusic)
{
    Rules()->SetRule(GameModeArcade, MapPos(6, 6));
    QSignalSpy selected(Scene(), &CTitleScene::MenuSelected);
    Key(Qt::Key_Return);
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
    log.clear();
    Key(Qt::Key_Return);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<MessageCode>(), 13);
    EXPECT_EQ(Rules()->GetInfo().Rule, GameModeArcade);
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(6, 6));
    ASSERT_TRUE(WaitForType(SequenceType::SystemConfig));
    EXPECT_TRUE(Logged("PlayBgm 2"));
}

TEST_F(TitleScreenTest, AfterAGameTheTitleIsBackOnTheListLeftAndReturnShowsTheButtonBeforeChoosing)
{
    Key(Qt::Key_Return);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    ASSERT_EQ(Scene()->GetCurrentList(), Scene()->GetVersusList());
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::PlayerSettings));

    // As the result screen's Exit leaves a game.
    Manager()->ReturnTo(0);
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetVersusList());
    EXPECT_TRUE(Scene()->GetVersusList()->isVisible());
    EXPECT_FALSE(Scene()->GetTopList()->isVisible());
    // The first Return shows the button the keys were left on and chooses nothing.
    Key(Qt::Key_Return);
    EXPECT_EQ(FocusedIndex(), 1);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_EQ(Current()->GetType(), SequenceType::Title);
    ShootWindow(QStringLiteral("title-after-a-game"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(Scene()->GetCurrentList(), Scene()->GetModeList());
    EXPECT_EQ(FocusedIndex(), 1);
    Key(Qt::Key_Up);
    EXPECT_EQ(FocusedIndex(), 0);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitForType(SequenceType::PlayerSettings));
    EXPECT_EQ(Rules()->GetInfo().Rule, GameModeArcade);
}

TEST_F(TitleScreenTest, ArrangingAListAgainKeepsOneClickOneSignal)
{
    CTitleMenuList* list = Scene()->GetVersusList();
    QSignalSpy clicked(list, &CTitleMenuList::Clicked);
    list->Arrange();
    list->Arrange();
    list->GetItems().first()->Activate();
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(TitleScreenTest, ADoubleActivationPushesOneScreen)
{
    Key(Qt::Key_Return);
    CTitleMenu* arcade = Scene()->GetModeList()->GetItems().first();
    arcade->Activate();
    arcade->Activate();
    ASSERT_TRUE(WaitForType(SequenceType::PlayerSettings));
    EXPECT_EQ(Manager()->GetSequenceCount(), 2);
}

TEST(TitleViewTest, TheBackgroundCoversTheViewKeepingItsShape)
{
    const struct {
        QSize exposed;
        QSize picture;
        QRect drawn;
    } table[] = {
        {{720, 600}, {720, 600}, {0, 0, 720, 600}},    // as it is
        {{1440, 600}, {720, 600}, {0, 0, 1440, 1200}}, // wider: grown by the larger factor
        {{710, 590}, {720, 600}, {-5, -5, 720, 600}},  // a little smaller: unscaled, centred
        {{360, 200}, {720, 600}, {0, -50, 360, 300}},  // much smaller: shrunk, centred
    };
    for (const auto& row : table) {
        EXPECT_EQ(CTitleView::BackgroundRect(row.exposed, row.picture), row.drawn) << row.exposed.width();
    }
}

} // namespace
