#include "gui/Widgets.h"
#include "model/Board.h"
#include "model/UnitFactory.h"
#include "screens/setup/RuleSettingsScreen.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include <QComboBox>
#include <QSignalSpy>

using namespace Marevane;

namespace {

class RuleSettingsTest : public Testing::ScreensTest {
  protected:
    // The rule settings of a game of that mode with that many network rivals.
    CRuleSettingsScene* Open(std::uint32_t mode, std::uint32_t networkPlayers = 0, std::uint32_t players = 2)
    {
        Rules()->SetRule(mode, MapPos(5, 5));
        GameEditInfo& info = Rules()->GetInfo();
        info.TeamCount = networkPlayers;
        info.PlayerCount = players;
        info.PlayerTypes = std::vector<std::uint32_t>(players, UnitAuto);
        info.PlayerTypes.front() = UnitManual;
        control->GetUnitFactory()->CreateLocalUnit(UnitManual, HostServer, L"Tester", L"");
        Manager()->Push(CreateSequence(SequenceType::RuleSettings));
        EXPECT_TRUE(WaitForType(SequenceType::RuleSettings));
        return SceneOf<CRuleSettingsScene>(SceneSlot::RuleSettings);
    }
};

TEST_F(RuleSettingsTest, TheModeDecidesTheMissionsTheAudienceAndWhatDeathMatchesFix)
{
    const struct {
        std::uint32_t mode;
        std::uint32_t networkPlayers;
        int missions;
        bool isAudienceOn;
        bool isLevelEnabled;
    } table[] = {
        {0x0C, 0, 8, false, true},  // no rescue kinds
        {0x14, 0, 16, false, true}, // every mission
        {0x0C, 1, 7, true, true},   // no pullout against a person
        {0x14, 1, 14, true, true},  {0x4C, 0, 8, false, false},
    };
    int shot = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.mode * 10 + row.networkPlayers);
        CRuleSettingsScene* scene = Open(row.mode, row.networkPlayers);
        ASSERT_NE(scene, nullptr);
        CRuleSettingsCollection* basic = scene->GetBasic();
        EXPECT_EQ(basic->GetMissionBox()->count(), row.missions);
        EXPECT_EQ(basic->GetAudienceBox()->currentData().toBool(), row.isAudienceOn);
        EXPECT_EQ(basic->GetLevelBox()->isEnabled(), row.isLevelEnabled);
        EXPECT_EQ(basic->GetTimeLimitBox()->isEnabled(), row.isLevelEnabled);
        ShootWindow(QStringLiteral("rule-settings-%1").arg(shot++));
        scene->GetButtons()->GetPrevButton()->click();
        ASSERT_TRUE(WaitForType(SequenceType::Title));
        control->GetUnitFactory()->Clear();
    }
}

TEST_F(RuleSettingsTest, TheRoundLimitFollowsTheMapSizeAndTheMission)
{
    CRuleSettingsCollection* basic = Open(0x0C)->GetBasic();
    const struct {
        int rows;
        int columns;
        int rounds;
    } table[] = {{9, 5, 21}, {9, 9, 27}, {3, 3, 11}, {5, 5, 15}};
    for (const auto& row : table) {
        basic->GetRowBox()->setValue(row.rows);
        basic->GetColumnBox()->setValue(row.columns);
        EXPECT_EQ(basic->GetRoundLimitBox()->value(), row.rounds) << row.rows << "x" << row.columns;
    }
    EXPECT_FALSE(basic->GetRoundLimitBox()->isEnabled());
    basic->GetMissionBox()->setCurrentIndex(basic->GetMissionBox()->findData(0x50000011u));
    EXPECT_TRUE(basic->GetRoundLimitBox()->isEnabled());
}

TEST_F(RuleSettingsTest, TheBasicRowsAreWrittenIntoTheRules)
{
    CRuleSettingsCollection* basic = Open(0x0C, 0, 3)->GetBasic();
    const struct {
        int level;
        int minutes;
        std::int32_t computerLevel;
        std::uint32_t timeLimit;
    } table[] = {{3, 0, 10, 0}, {0, 600, -10, 36000000}, {5, 20, 30, 1200000}};
    for (const auto& row : table) {
        basic->GetLevelBox()->setCurrentIndex(row.level);
        basic->GetTimeLimitBox()->setValue(row.minutes);
        GameEditInfo info = Rules()->GetInfo();
        basic->Apply(info);
        EXPECT_EQ(info.ComputerLevel, row.computerLevel);
        EXPECT_EQ(info.TimeLimit, row.timeLimit);
    }
    // A pullout with three players: player 0 alone against the others.
    basic->GetMissionBox()->setCurrentIndex(basic->GetMissionBox()->findData(0x70000030u));
    basic->GetRowBox()->setValue(7);
    basic->GetAudienceBox()->setCurrentIndex(0);
    GameEditInfo info = Rules()->GetInfo();
    basic->Apply(info);
    EXPECT_EQ(info.Mission, 0x70000030u);
    EXPECT_EQ(info.Map.Size, MapPos(7, 5));
    EXPECT_TRUE(info.IsTeamVersus);
    EXPECT_EQ(info.Teams, (std::vector<std::set<std::uint32_t>>{{1, 2}}));
}

TEST_F(RuleSettingsTest, ADeathMatchKeepsItsLevelAndTime)
{
    CRuleSettingsCollection* basic = Open(0x4C)->GetBasic();
    basic->GetLevelBox()->setCurrentIndex(0);
    GameEditInfo info = Rules()->GetInfo();
    basic->Apply(info);
    EXPECT_EQ(info.ComputerLevel, ComputerAI::ModeExtreme);
    EXPECT_EQ(info.TimeLimit, 20000u);
}

TEST_F(RuleSettingsTest, TheAdvancedRulesShowWhatTheRulesHoldAndWriteWhatTheUserSees)
{
    CRuleSettingsScene* scene = Open(0x0C);
    CSettingsButtonCollection* buttons = scene->GetButtons();
    CAdvancedRuleSettingsCollection* advanced = scene->GetAdvanced();
    QSignalSpy opened(buttons, &CSettingsButtonCollection::AdvSettingButtonClicked);
    scene->GetBasic()->GetRowBox()->setValue(3);
    scene->GetBasic()->GetColumnBox()->setValue(3);
    buttons->GetAdvancedButton()->click();
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(advanced->isVisible());
    EXPECT_FALSE(buttons->GetAdvancedButton()->graphicsProxyWidget()->isVisible());
    EXPECT_TRUE(buttons->GetDefaultButton()->graphicsProxyWidget()->isVisible());
    // The basic rows reached the rules first; a 3 by 3 map holds at most 9 ships.
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(3, 3));
    EXPECT_EQ(advanced->GetFleetSizeBox()->maximum(), 9);
    scene->GetBasic()->GetRowBox()->setValue(4);
    EXPECT_EQ(advanced->GetFleetSizeBox()->maximum(), 12);
    ShootWindow(QStringLiteral("rule-settings-advanced"));

    // Fuel of 1 to 29 is unlimited, whether the field was left or not.
    advanced->GetFuelPointBox()->setValue(12);
    advanced->GetPanelEffectBox()->setCurrentIndex(1);
    advanced->GetLogPageBox()->setValue(7);
    scene->UpdateAll();
    const GameEditInfo& info = Rules()->GetInfo();
    EXPECT_EQ(info.FpPercentage, 0u);
    EXPECT_FALSE(info.IsPanelEffectEnabled);
    EXPECT_EQ(info.ReserveFleetSize, 7u); // the log pages
    // On a generated map the panel effects are switched off in the map record too.
    EXPECT_EQ(info.Map.SpecialPanelCount, 0);
    EXPECT_EQ(info.Map.MaxFogs, -1);
    advanced->GetFuelPointBox()->setValue(30);
    emit advanced->GetFuelPointBox()->editingFinished();
    EXPECT_EQ(advanced->GetFuelPointBox()->value(), 30);

    // Default brings the defaults back, the ON/OFF boxes too, and closes the panel.
    buttons->GetDefaultButton()->click();
    EXPECT_FALSE(advanced->isVisible());
    EXPECT_TRUE(buttons->GetAdvancedButton()->graphicsProxyWidget()->isVisible());
    EXPECT_TRUE(Rules()->GetInfo().IsPanelEffectEnabled);
    EXPECT_EQ(Rules()->GetInfo().ReserveFleetSize, 1u);
    buttons->GetAdvancedButton()->click();
    EXPECT_EQ(advanced->GetPanelEffectBox()->currentData().toBool(), true);
    EXPECT_EQ(advanced->GetLogPageBox()->value(), 1);
    EXPECT_EQ(advanced->GetFuelPointBox()->value(), static_cast<int>(Rules()->GetInfo().FpPercentage));
}

TEST_F(RuleSettingsTest, NextGoesToTheFleetFormationOncePrevResetsTheRules)
{
    CRuleSettingsScene* scene = Open(0x0C);
    scene->GetBasic()->GetRowBox()->setValue(8);
    scene->GetButtons()->GetNextButton()->click();
    scene->GetButtons()->GetNextButton()->click();
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
    EXPECT_EQ(Manager()->GetSequenceCount(), 3);
    EXPECT_EQ(control->GetBoard()->GetMap().Size, MapPos(8, 5));
    // The fleet formation's stand-in goes back on Escape: the choices are still there.
    Key(Qt::Key_Escape);
    ASSERT_TRUE(WaitForType(SequenceType::RuleSettings));
    EXPECT_EQ(SceneOf<CRuleSettingsScene>(SceneSlot::RuleSettings)->GetBasic()->GetRowBox()->value(), 8);
    SceneOf<CRuleSettingsScene>(SceneSlot::RuleSettings)->GetButtons()->GetPrevButton()->click();
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(Rules()->GetInfo().Map.Size, MapPos(5, 5));
    EXPECT_EQ(control->GetBoard()->GetMap().Size, MapPos(5, 5));
}

TEST_F(RuleSettingsTest, NetworkRivalsAndTagMatchesLeadToTheirScreens)
{
    const struct {
        std::uint32_t mode;
        std::uint32_t networkPlayers;
        int type;
    } table[] = {{0x0C, 1, SequenceType::NetworkConnection}, {0x14, 0, SequenceType::TagTeamSelection}};
    for (const auto& row : table) {
        Open(row.mode, row.networkPlayers, row.mode == 0x14 ? 4 : 2)->GetButtons()->GetNextButton()->click();
        EXPECT_TRUE(WaitForType(row.type));
        Manager()->ReturnTo(0);
        ASSERT_TRUE(WaitForType(SequenceType::Title));
        control->GetUnitFactory()->Clear();
    }
}

} // namespace

namespace {

TEST_F(RuleSettingsTest, TabGoesThroughTheRowsInReadingOrderToNextAndEachShowsItsFocus)
{
    CRuleSettingsScene* scene = Open(0x0C);
    CRuleSettingsCollection* basic = scene->GetBasic();
    CSettingsButtonCollection* buttons = scene->GetButtons();
    EXPECT_TRUE(basic->GetLevelBox()->hasFocus());
    // The round limit is off for this mission and the Default button hidden.
    const std::vector<QWidget*> order = {basic->GetMissionBox(),   basic->GetRowBox(),
                                         basic->GetColumnBox(),    basic->GetTimeLimitBox(),
                                         basic->GetAudienceBox(),  buttons->GetAdvancedButton(),
                                         buttons->GetPrevButton(), buttons->GetNextButton()};
    // Each row shows that it has the focus: it looks other than before.
    std::vector<QImage> unfocused;
    for (QWidget* widget : order) unfocused.push_back(widget->grab().toImage());
    for (std::size_t i = 0; i < order.size(); ++i) {
        Key(Qt::Key_Tab);
        EXPECT_TRUE(order[i]->hasFocus()) << i;
        EXPECT_NE(order[i]->grab().toImage(), unfocused[i])
            << i << " " << order[i]->metaObject()->className();
    }
    Key(Qt::Key_Space);
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
}

} // namespace
