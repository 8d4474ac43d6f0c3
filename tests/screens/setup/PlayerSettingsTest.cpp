#include "gui/Popups.h"
#include "gui/Widgets.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "screens/setup/PlayerSettingsScreen.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include <QComboBox>

using namespace Marevane;

namespace {

class PlayerSettingsTest : public Testing::ScreensTest {
  protected:
    // The player settings of a game of that mode, as the title opens them.
    CPlayerSettingsScene* Open(std::uint32_t mode)
    {
        Rules()->SetRule(mode, MapPos(5, 5));
        Manager()->Push(CreateSequence(SequenceType::PlayerSettings));
        EXPECT_TRUE(WaitForType(SequenceType::PlayerSettings));
        return SceneOf<CPlayerSettingsScene>(SceneSlot::PlayerSettings);
    }
    // Back to the title through Exit.
    void Exit(CPlayerSettingsScene* scene)
    {
        scene->GetExitButton()->click();
        ASSERT_TRUE(WaitForType(SequenceType::Title));
    }
};

TEST_F(PlayerSettingsTest, EachModeShowsItsRowsAndLocksAndNothingLeaksIntoTheNextVisit)
{
    const struct {
        std::uint32_t mode;
        const char* shot;
        bool hasNetworkRow;
        int minimumPlayers;
        int players;
        bool isAudience;
    } table[] = {
        {0x84, "player-settings-watch", true, 2, 2, true},
        {0x01, "player-settings-arcade", false, 2, 2, false},
        {0x0C, "player-settings-versus", true, 2, 2, false},
        {0x14, "player-settings-tag", true, 3, 4, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.shot);
        CPlayerSettingsScene* scene = Open(row.mode);
        ASSERT_NE(scene, nullptr);
        ShootWindow(QString::fromLatin1(row.shot));
        EXPECT_EQ(scene->IsRowShown(scene->GetNetworkModeBox()), row.hasNetworkRow);
        EXPECT_EQ(scene->GetNumberOfPlayersBox()->minimum(), row.minimumPlayers);
        EXPECT_EQ(scene->GetNumberOfPlayersBox()->value(), row.players);
        const QComboBox* command = scene->GetCommandModeBox();
        EXPECT_EQ(command->findData(static_cast<int>(UnitWatching)) >= 0, row.isAudience);
        EXPECT_EQ(command->isEnabled(), !row.isAudience);
        EXPECT_EQ(scene->GetNetworkModeBox()->isEnabled(), !row.isAudience);
        EXPECT_EQ(scene->GetNetworkModeBox()->currentIndex(), row.isAudience ? HostClient : HostServer);
        // The players and rivals show for a server of a versus match only.
        const bool isServer = row.hasNetworkRow && !row.isAudience;
        EXPECT_EQ(scene->IsRowShown(scene->GetNumberOfPlayersBox()), isServer);
        EXPECT_EQ(scene->IsRowShown(scene->GetRivalBox(0)), isServer);
        EXPECT_EQ(scene->IsRowShown(scene->GetRivalBox(2)), isServer && row.players == 4);
        // The name box takes the keys first.
        EXPECT_TRUE(scene->GetNameBox()->hasFocus());
        Exit(scene);
    }
}

TEST_F(PlayerSettingsTest, ARefusedNameKeepsTheScreenWithItsReason)
{
    CPlayerSettingsScene* scene = Open(0x0C);
    const struct {
        QString name;
        QString message;
    } table[] = {
        {QString(), QStringLiteral("Error: Please input your Player Name!")},
        {QString(18, QLatin1Char('x')),
         QStringLiteral("Error: the Length of your Player Name is invalid.\nPlease input it again!")},
    };
    for (const auto& row : table) {
        // The box itself stops at 17; the rule stands behind it.
        scene->GetNameBox()->setMaxLength(32);
        scene->GetNameBox()->setText(row.name);
        scene->GetNextButton()->click();
        Testing::Settle();
        EXPECT_EQ(scene->GetMessageBar()->GetText(), row.message);
        EXPECT_EQ(Current()->GetType(), SequenceType::PlayerSettings);
        EXPECT_EQ(control->GetUnitFactory()->GetLocalUnit(), nullptr);
        EXPECT_TRUE(scene->GetNextButton()->isEnabled());
    }
    ShootWindow(QStringLiteral("player-settings-refused"));
}

TEST_F(PlayerSettingsTest, AServerWithAPersonAmongItsRivalsIsANetworkBattle)
{
    CPlayerSettingsScene* scene = Open(0x0C);
    Type(QStringLiteral("Tester"));
    scene->GetNumberOfPlayersBox()->setValue(3);
    scene->GetRivalBox(0)->setCurrentIndex(scene->GetRivalBox(0)->findData(static_cast<int>(UnitManual)));
    scene->GetNextButton()->click();
    scene->GetNextButton()->click();
    const GameEditInfo& info = Rules()->GetInfo();
    EXPECT_EQ(info.PlayerTypes, (std::vector<std::uint32_t>{1, 1, 2}));
    EXPECT_EQ(info.PlayerCount, 3u);
    EXPECT_EQ(info.TeamCount, 1u);
    ASSERT_NE(control->GetUnitFactory()->GetLocalUnit(), nullptr);
    EXPECT_EQ(control->GetUnitFactory()->GetLocalUnit()->GetProfile().Name, L"Tester");
    EXPECT_EQ(control->GetUnitFactory()->CountUnits(), 1u);
    ASSERT_TRUE(Testing::AppTest::Idle());
    // The sides are made at once and the rule settings take the creation's place.
    ASSERT_TRUE(WaitForType(SequenceType::RuleSettings));
    EXPECT_EQ(Manager()->GetSequenceCount(), 3);
}

TEST_F(PlayerSettingsTest, AClientGoesStraightToTheRuleSettings)
{
    CPlayerSettingsScene* scene = Open(0x0C);
    Type(QStringLiteral("Guest"));
    scene->GetNetworkModeBox()->setCurrentIndex(HostClient);
    EXPECT_FALSE(scene->IsRowShown(scene->GetNumberOfPlayersBox()));
    scene->GetNextButton()->click();
    ASSERT_TRUE(WaitForType(SequenceType::RuleSettings));
    EXPECT_EQ(Rules()->GetInfo().TeamCount, 1u);
    EXPECT_EQ(Rules()->GetInfo().PlayerCount, 2u);
    EXPECT_EQ(Manager()->GetSequenceCount(), 3);
}

TEST_F(PlayerSettingsTest, AudienceAndServerExcludeEachOther)
{
    CPlayerSettingsScene* scene = Open(0x0C);
    QComboBox* command = scene->GetCommandModeBox();
    // Only the watch mode offers the audience; add it to see the locks work.
    command->addItem(QStringLiteral("Audience"), static_cast<int>(UnitWatching));
    command->setCurrentIndex(2);
    EXPECT_EQ(scene->GetNetworkModeBox()->currentIndex(), HostClient);
    scene->GetNetworkModeBox()->setCurrentIndex(HostServer);
    EXPECT_EQ(command->currentIndex(), 0);
}

TEST_F(PlayerSettingsTest, ExitTearsTheSetUpDownToTheTitle)
{
    CPlayerSettingsScene* scene = Open(0x14);
    Rules()->GetInfo().ComputerLevel = 10;
    log.clear();
    Exit(scene);
    EXPECT_TRUE(Logged("StopBgm"));
    EXPECT_EQ(control->GetUnitFactory()->CountUnits(), 0u);
    EXPECT_EQ(Rules()->GetInfo().Rule, 0x0Cu);
    EXPECT_EQ(Rules()->GetInfo().ComputerLevel, 0);
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
}

} // namespace
