// A whole battle against the computer in the real screen flow, at 1/20
// speed: the fleet placed by keyboard and by a drop, confirmed, the start
// confirmed, the battle played to its verdict, the result screen with the
// saved log, then a replay with fresh fleets or the way out to the title.
#include "tests/screens/battleflow/BattleFlowFixture.h"

#include "gui/SelectionList.h"
#include "gui/Widgets.h"
#include "model/MessageCodes.h"
#include "model/Random.h"
#include "model/TurnManager.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/BattleSequenceOnServer.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/CommandMenu.h"
#include "screens/battle/FleetFormationSequence.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"
#include "screens/battle/ShipSelectionScene.h"
#include "screens/setup/RuleSettingsScreen.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QPointer>

namespace Marevane::Testing {
namespace {

constexpr std::uint32_t Seed = 20;
// Long enough for a battle of two computers on a 5 by 5 map at 1/20 speed.
constexpr int VerdictTimeoutMs = 90000;

class WholeBattleTest : public BattleFlowTest {
  protected:
    void SetUp() override
    {
        BattleFlowTest::SetUp();
        ASSERT_TRUE(logFolder.isValid());
        CSystemConfig::GetInstance().LogPath = logFolder.path().toStdWString();
        control->GetMainWindow()->resize(1024, 640);
    }

    // The player and the computer of a single match; the rule settings
    // screen's Next leads to the fleet formation.
    void OpenFormation(std::uint32_t localType)
    {
        SeedRandom(Seed);
        Rules()->SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
        GameEditInfo& info = Rules()->GetInfo();
        info.PlayerTypes = {localType, UnitAuto};
        player = Units()->CreateLocalUnit(localType, HostServer, L"Alice", L"");
        computer = Units()->CreateComputerUnit(HostServer, L"Bob", 0);
        Manager()->Push(CreateSequence(SequenceType::RuleSettings));
        ASSERT_TRUE(WaitFor<CRuleSettingsSequence>());
        below = Current();
        auto* settings = SceneOf<CRuleSettingsScene>(SceneSlot::RuleSettings);
        ASSERT_NE(settings, nullptr);
        settings->GetButtons()->GetNextButton()->click();
        ASSERT_TRUE(WaitFor<CFleetFormationSequence>());
        formation = qobject_cast<CFleetFormationSequence*>(Current());
        map = SceneOf<CGameMapScene>(SceneSlot::GameMap);
        list = SceneOf<CShipSelectionScene>(SceneSlot::ShipSelection);
        ASSERT_NE(map, nullptr);
        ASSERT_NE(list, nullptr);
        Activate(*map);
        Activate(*list);
    }

    // A panel ships may stand on, counted from the top left.
    CPanel* OpenPanel(std::size_t index) const
    {
        std::vector<CPanel*> open;
        for (std::uint32_t row = 1; row <= 5; ++row)
            for (std::uint32_t column = 1; column <= 5; ++column) {
                CPanel* panel = control->GetBoard()->GetPanel(row, column);
                if (panel != nullptr && panel->IsPassable() && panel->GetType() == PanelSea)
                    open.push_back(panel);
            }
        return index < open.size() ? open[index] : nullptr;
    }

    // The focused card chosen with Return, then the panel pointed with the
    // arrow keys and taken with Return.
    void PlaceByKeyboard(const CPanel* target)
    {
        PressKey(*list, Qt::Key_Return);
        ASSERT_TRUE(map->IsPlacementPending());
        if (map->GetPointedPanel() == nullptr) PressKey(*map, Qt::Key_Right);
        ASSERT_NE(map->GetPointedPanel(), nullptr);
        while (map->GetPointedPanel()->GetX() < target->GetX()) PressKey(*map, Qt::Key_Down);
        while (map->GetPointedPanel()->GetX() > target->GetX()) PressKey(*map, Qt::Key_Up);
        while (map->GetPointedPanel()->GetY() < target->GetY()) PressKey(*map, Qt::Key_Right);
        while (map->GetPointedPanel()->GetY() > target->GetY()) PressKey(*map, Qt::Key_Left);
        PressKey(*map, Qt::Key_Return);
    }
    // A card's drag as the map receives it.
    void Drop(ShipType type, const CPanel* target)
    {
        std::unique_ptr<QMimeData> data(CShipIcon::MakeDragData(type, player->GetId(), 0));
        const CPanelIcon* icon = map->GetPanelIcon(target);
        ASSERT_NE(icon, nullptr);
        QGraphicsSceneDragDropEvent drop(QEvent::GraphicsSceneDrop);
        drop.setScenePos(icon->mapToScene(QRectF(icon->GetRect()).center()));
        drop.setMimeData(data.get());
        drop.setSource(map->GetView());
        QCoreApplication::sendEvent(map, &drop);
    }

    // Two ships by keyboard, the submarine by a drop, OK and "Yes" by
    // Return; then the battle's start is confirmed by Return.
    void FormFleetAndStart()
    {
        // The cards take the keyboard from the first arrow key.
        PressKey(*list, Qt::Key_Down);
        PressKey(*list, Qt::Key_Up);
        ASSERT_TRUE(list->GetCard(ShipTypeBattleship)->hasFocus());
        PlaceByKeyboard(OpenPanel(0));
        ASSERT_EQ(player->ShipCount(), 1u);
        PressKey(*list, Qt::Key_Down);
        PlaceByKeyboard(OpenPanel(6));
        ASSERT_EQ(player->ShipCount(), 2u);
        Drop(ShipTypeSubmarine, OpenPanel(12));
        ASSERT_EQ(player->ShipCount(), 3u);
        EXPECT_EQ(player->GetShip(3)->GetType(), ShipTypeSubmarine);
        PressKey(*list, Qt::Key_Return);
        ASSERT_TRUE(map->GetInputConfirmation()->isVisible());
        PressKey(*map, Qt::Key_Return);
        EXPECT_TRUE(formation->IsConfirmed());

        ASSERT_TRUE(WaitFor<CBattleSequenceOnServer>(10000));
        play = qobject_cast<CBattleSequenceOnServer*>(Current());
        battle = qobject_cast<CBattleSequence*>(Manager()->GetPrevSequence());
        ASSERT_NE(battle, nullptr);
        EXPECT_EQ(computer->ShipCount(), 3u);
        ASSERT_TRUE(WaitUntil([this] { return map->GetActionConfirmation()->isVisible(); }));
        EXPECT_FALSE(play->IsBattleStarted());
        PressKey(*map, Qt::Key_Return);
        EXPECT_TRUE(play->IsBattleStarted());
        EXPECT_EQ(sounds.Count(Sound::SeWhistle), 1);
    }

    CTurnManager* TurnManager() const { return battle->GetTurnManager(); }

    // The result screen, once the battle sequence has handed the battle on.
    // The end-of-turn prompts are answered with Return, as a player watching
    // the computers would.
    void WaitForResult()
    {
        const auto isOver = [] { return qobject_cast<CBattleEndSequence*>(Current()) != nullptr; };
        QElapsedTimer clock;
        clock.start();
        while (!isOver() && clock.elapsed() < VerdictTimeoutMs) {
            if (!play.isNull() && Current() == play.data() && map->GetActionConfirmation()->isVisible())
                PressKey(*map, Qt::Key_Return);
            WaitUntil(isOver, 20);
        }
        ASSERT_TRUE(WaitFor<CBattleEndSequence>());
        result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
        ASSERT_NE(result, nullptr);
        Activate(*result);
    }

    QTemporaryDir logFolder;
    QPointer<CFleetFormationSequence> formation;
    QPointer<CBattleSequenceOnServer> play;
    QPointer<CBattleSequence> battle;
    CGameMapScene* map = nullptr;
    CShipSelectionScene* list = nullptr;
    CBattleResultScene* result = nullptr;
};

TEST_F(WholeBattleTest, ThePlayerResignsSavesTheLogAndReplays)
{
    OpenFormation(UnitManual);
    FormFleetAndStart();

    // The computer may move first; the player resigns on the first turn of its own.
    ASSERT_TRUE(WaitUntil(
        [this] {
            return TurnManager()->GetCurrentUnit() == player && map->GetInputManager()->GetState() == 1;
        },
        20000));
    SaveScreenRender(*control->GetMainWindow(), QStringLiteral("battleflow/battle-in-progress"));
    // A player's keys reach the map: the hidden ship list, refreshed by the
    // battle's changes, keeps off the keyboard.
    EXPECT_EQ(QApplication::focusWidget(), map->GetView());
    PressKey(*map, Qt::Key_1);
    ASSERT_TRUE(map->GetCommandMenu()->isVisible());
    map->GetCommandMenu()->GetResignAction()->trigger();
    ASSERT_TRUE(map->GetInputConfirmation()->isVisible());
    PressKey(*map, Qt::Key_Return);
    EXPECT_TRUE(player->IsResigned());

    WaitForResult();
    EXPECT_TRUE(TurnManager()->IsGameDecided());
    EXPECT_TRUE(Logged("StopBgm"));
    EXPECT_TRUE(Logged("UnloadSe 0"));
    SaveScreenRender(*control->GetMainWindow(), QStringLiteral("battleflow/result"));

    // The log is written into the log folder and tells the battle.
    result->GetSaveLogButton()->click();
    const QStringList files = QDir(logFolder.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.front().startsWith(QStringLiteral("Marevane")));
    QFile file(QDir(logFolder.path()).filePath(files.front()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Alice"))) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Bob"))) << text.left(400).toStdString();
    EXPECT_FALSE(result->GetSaveLogButton()->isEnabled());

    // A replay: the same sides, back on the fleet formation with no ships.
    const std::vector<CUnit*> sides = Units()->GetUnits();
    result->GetReplayButton()->click();
    ASSERT_TRUE(WaitFor<CFleetFormationSequence>(10000));
    EXPECT_EQ(Current(), formation.data());
    EXPECT_EQ(Units()->GetUnits(), sides);
    EXPECT_EQ(player->ShipCount(), 0u);
    EXPECT_EQ(computer->ShipCount(), 0u);
    EXPECT_FALSE(player->IsResigned());
    EXPECT_TRUE(battle.isNull());
    EXPECT_TRUE(play.isNull());
}

TEST_F(WholeBattleTest, TheComputerPlaysTheLocalSideToTheVerdictAndTheGameExits)
{
    OpenFormation(UnitAuto);
    // A deadline of three rounds keeps the computers' battle short.
    Rules()->GetInfo().Mission = MissionDeadline;
    Rules()->GetInfo().DeadlineRounds = 3;
    FormFleetAndStart();
    WaitForResult();
    EXPECT_TRUE(TurnManager()->IsGameDecided());
    EXPECT_GT(TurnManager()->GetPlayOrder().Round, 0u);
    EXPECT_LE(TurnManager()->GetPlayOrder().Round, 3u);

    result->GetExitButton()->click();
    ASSERT_TRUE(WaitUntil([] { return Manager()->GetCurrentIndex() == 0 && !Manager()->IsChanging(); },
                          ScaledMs(3000) + 10000));
    EXPECT_EQ(Current()->GetType(), SequenceType::Title);
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_EQ(Units()->CountUnits(), 0u);
}

} // namespace
} // namespace Marevane::Testing
