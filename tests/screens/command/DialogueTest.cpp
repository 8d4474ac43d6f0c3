// A whole command given from the keyboard: a digit opens the menu on that
// ship, a menu letter picks the command, arrows point at the target,
// Return confirms twice. Each scripted turn is saved as a sequence of
// renders (renders/screens/command). Escape and Backspace step back.
#include "tests/screens/command/MapInputFixture.h"

#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"

#include <QApplication>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using MenuKeys = std::vector<std::pair<int, QString>>;

CommandInput Expected(CommandCode command, std::uint32_t shipId, ShipType type, Direction direction,
                      std::uint32_t distance, MapPos target)
{
    CommandInput input;
    input.Command = command;
    input.ShipId = shipId;
    input.ShipType = type;
    input.Direction = direction;
    input.Distance = distance;
    input.Target = target;
    return input;
}

class DialogueTest : public MapInputTest {
  protected:
    void Start()
    {
        MapInputTest::Start();
        sent = std::make_unique<SignalSpy>(scene.get(), &CGameScene::Notified);
    }
    // Digit, menu letters (a submenu's letter, then its entry's), arrows,
    // Return on the target, Return on the confirmation; the renders of the
    // open menu, the marked targets, the question and the end are saved.
    void Command(int digit, const MenuKeys& menuKeys, const std::vector<int>& arrows, const QString& name)
    {
        Key(digit);
        ASSERT_EQ(State(), 2u);
        ASSERT_TRUE(scene->GetCommandMenu()->isVisible());
        SaveScreenRender(*scene->GetCommandMenu(), "command/" + name + "-1-menu");
        QWidget* target = scene->GetCommandMenu();
        for (const auto& [key, text] : menuKeys) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(target, &press);
            // A submenu's letter opens it and hands it the keyboard.
            if (QWidget* popup = QApplication::activePopupWidget()) target = popup;
        }
        ASSERT_EQ(State(), 3u) << name.toStdString();
        for (int arrow : arrows) Key(arrow);
        SaveScreenRender(*scene, "command/" + name + "-2-targets");
        Key(Qt::Key_Return);
        ASSERT_EQ(State(), 4u);
        SaveScreenRender(*scene, "command/" + name + "-3-confirm");
        Key(Qt::Key_Return);
        SaveScreenRender(*scene, "command/" + name + "-4-sent");
    }
    void ExpectSent(const CommandInput& expected)
    {
        ASSERT_EQ(sent->size(), 1);
        EXPECT_EQ(sent->value(0).value(0).toUInt(), 53u);
        const CommandInput& given = world->Side(0)->GetCommandInput();
        EXPECT_EQ(given.Command, expected.Command);
        EXPECT_EQ(given.UnitId, world->Side(0)->GetId());
        EXPECT_EQ(given.ShipId, expected.ShipId);
        EXPECT_EQ(given.ShipType, expected.ShipType);
        EXPECT_EQ(given.Direction, expected.Direction);
        EXPECT_EQ(given.Distance, expected.Distance);
        EXPECT_EQ(given.Target, expected.Target);
        EXPECT_EQ(State(), 0u);
        EXPECT_TRUE(scene->GetSelectablePanels().isEmpty());
        EXPECT_TRUE(scene->GetSelectedPanels().isEmpty());
        EXPECT_FALSE(scene->GetInputConfirmation()->isVisible());
        // The menu's choice, the target's Return and the confirmation (a digit opens the menu silently).
        EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), 3);
    }
    // A destroyer (No.1) at R3C3 of a 5 x 5 map and an enemy at R2C3.
    void BuildDuel()
    {
        Build(5, 5);
        world->PutShip(0, ShipTypeDestroyer, 3, 3);
        world->PutShip(1, ShipTypeBattleship, 2, 3);
        Start();
    }

    std::unique_ptr<SignalSpy> sent;
};

TEST_F(DialogueTest, MoveEastByOne)
{
    BuildDuel();
    Key(Qt::Key_1);
    scene->GetCommandMenu()->hide();
    Key(Qt::Key_Right); // the pointer starts on the ship's panel
    EXPECT_EQ(scene->GetPointedPanel(), world->Panel(3, 4));
    Key(Qt::Key_Left);
    sounds.Reset();
    Command(Qt::Key_1, {{Qt::Key_M, "m"}}, {Qt::Key_Right}, "move");
    ExpectSent(Expected(CommandMove, 1, ShipTypeDestroyer, DirectionEast, 1, MapPos(3, 4)));
}

TEST_F(DialogueTest, TheTargetIsAskedForWithItsCost)
{
    BuildDuel();
    Key(Qt::Key_1);
    MenuKey(Qt::Key_M, "m");
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    EXPECT_EQ(Notice(), "Is this panel the target?");
    EXPECT_EQ(scene->GetTooltip()->GetText(), "Cost 8FP");
    EXPECT_TRUE(scene->GetTooltip()->isVisible());
    EXPECT_TRUE(scene->GetInputConfirmation()->isVisible());
    EXPECT_TRUE(Icon(3, 4)->IsSelected());
}

TEST_F(DialogueTest, AnOpenQuestionStaysBesideItsPanelWhenTheViewIsResized)
{
    BuildDuel();
    view->show();
    Settle();
    Key(Qt::Key_1);
    Settle();
    MenuKey(Qt::Key_M, "m");
    Settle();
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    CConfirmationItem* question = scene->GetInputConfirmation();
    ASSERT_TRUE(question->isVisible());
    const QPointF panel = Icon(3, 4)->scenePos();
    const QPointF offset = question->scenePos() - panel;
    const QPointF costOffset = scene->GetTooltip()->scenePos() - panel;
    SaveScreenRender(*scene, "command/question-before-resize");

    view->resize(1100, 760);
    Settle();
    ASSERT_NE(Icon(3, 4)->scenePos(), panel); // the board moved to the middle
    EXPECT_EQ(question->scenePos() - Icon(3, 4)->scenePos(), offset);
    EXPECT_EQ(scene->GetTooltip()->scenePos() - Icon(3, 4)->scenePos(), costOffset);
    EXPECT_TRUE(question->GetRows().value(0)->hasFocus());
    SaveScreenRender(*scene, "command/question-after-resize");
    Key(Qt::Key_Return);
    EXPECT_EQ(sent->size(), 1);
}

TEST_F(DialogueTest, AttackNorth)
{
    BuildDuel();
    Command(Qt::Key_1, {{Qt::Key_A, "a"}}, {Qt::Key_Up}, "attack");
    ExpectSent(Expected(CommandAttack, 1, ShipTypeDestroyer, DirectionNorth, 1, MapPos(2, 3)));
}

TEST_F(DialogueTest, TorpedoTwoPanelsSouthFromTheAuxiliaryMenu)
{
    BuildDuel();
    Command(Qt::Key_1, {{Qt::Key_X, "x"}, {Qt::Key_T, "t"}}, {Qt::Key_Down, Qt::Key_Down}, "torpedo");
    ExpectSent(Expected(CommandTorpedo, 1, ShipTypeDestroyer, DirectionSouth, 2, MapPos(5, 3)));
}

TEST_F(DialogueTest, ReinforceASunkShipBesideTheFleet)
{
    Build(3, 3);
    world->PutShip(0, ShipTypeBattleship, 2, 2);
    CShip* sunk = world->PutShip(0, ShipTypeSubmarine, 1, 1);
    world->PutShip(1, ShipTypeBattleship, 3, 3);
    Start();
    for (std::uint32_t row = 1; row <= 3; ++row)
        for (std::uint32_t column = 1; column <= 3; ++column) Know(row, column);
    CBattleWorld::SetStatus(sunk, ShipStatusSinking);
    sunk->GetProfile().Hp = 0;
    world->Side(0)->SetReinforcementsLeft(1);

    Command(Qt::Key_1, {{Qt::Key_F, "f"}, {Qt::Key_2, "2"}}, {Qt::Key_Left}, "reinforce");
    ExpectSent(Expected(CommandReinforce, 2, ShipTypeSubmarine, DirectionSouth, 1, MapPos(2, 1)));
}

TEST_F(DialogueTest, HandTheFlagOverToTheDestroyer)
{
    Build(3, 3);
    world->PutShip(0, ShipTypeBattleship, 2, 2);
    world->PutShip(0, ShipTypeDestroyer, 1, 1);
    world->PutShip(1, ShipTypeBattleship, 3, 3);
    world->Side(0)->SetFlagship(1);
    Start();
    Command(Qt::Key_1, {{Qt::Key_L, "l"}}, {Qt::Key_Up, Qt::Key_Left}, "flagship");
    ExpectSent(Expected(CommandChangeFlagship, 1, ShipTypeBattleship, DirectionNorthWest, 2, MapPos(1, 1)));
}

TEST_F(DialogueTest, DigitsWithControlReachShipsTenAndAbove)
{
    Build(5, 5);
    for (std::uint32_t n = 0; n < 13; ++n) world->PutShip(0, ShipTypeBattleship, n / 5 + 1, n % 5 + 1);
    Start();
    Key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(scene->GetCommandMenu()->GetShip(), world->Ship(0, 13));
    EXPECT_EQ(scene->GetPointedPanel(), world->Panel(3, 3));
    scene->GetCommandMenu()->hide();
    Key(Qt::Key_0);
    EXPECT_EQ(scene->GetCommandMenu()->GetShip(), world->Ship(0, 10));
    scene->GetCommandMenu()->hide();
    // No ship 14: nothing opens.
    Key(Qt::Key_4, Qt::ControlModifier);
    EXPECT_FALSE(scene->GetCommandMenu()->isVisible());
    EXPECT_EQ(State(), 1u);
}

// Escape from each step of a move: where the input stands afterwards.
struct EscapeCase {
    unsigned from;
    unsigned to;
    bool isMenuOpen;
    bool isAsking;
    int selectable; // marked targets left
};

class EscapeTest : public DialogueTest, public ::testing::WithParamInterface<std::tuple<EscapeCase, int>> {
  protected:
    void Reach(unsigned state)
    {
        if (state == 0) scene->GetInputManager()->SetEnabled(false);
        if (state >= 2) Key(Qt::Key_1);
        if (state >= 3) MenuKey(Qt::Key_M, "m");
        if (state >= 4) {
            Key(Qt::Key_Right);
            Key(Qt::Key_Return);
        }
        ASSERT_EQ(State(), state);
    }
};

TEST_P(EscapeTest, EscapeAndBackspaceStepBackOneState)
{
    const auto& [c, key] = GetParam();
    BuildDuel();
    Reach(c.from);
    Key(key);
    EXPECT_EQ(State(), c.to);
    EXPECT_EQ(scene->GetCommandMenu()->isVisible(), c.isMenuOpen);
    EXPECT_EQ(scene->GetInputConfirmation()->isVisible(), c.isAsking);
    EXPECT_EQ(static_cast<int>(Selectable().size()), c.selectable);
    if (c.isMenuOpen) {
        EXPECT_EQ(scene->GetCommandMenu()->GetShip(), world->Ship(0, 1));
    }
    EXPECT_TRUE(sent->isEmpty());
}

// The destroyer may move to 8 panels: 2 north (the enemy's included), 2
// south, 2 east, 2 west.
INSTANTIATE_TEST_SUITE_P(
    States, EscapeTest,
    ::testing::Combine(::testing::Values(EscapeCase{0, 0, false, false, 0}, EscapeCase{1, 1, false, false, 0},
                                         EscapeCase{2, 1, false, false, 0}, EscapeCase{3, 2, true, false, 0},
                                         EscapeCase{4, 3, false, false, 8}),
                       ::testing::Values(static_cast<int>(Qt::Key_Escape),
                                         static_cast<int>(Qt::Key_Backspace))));

TEST_F(DialogueTest, EscapeOnTheMenuItselfClosesItAndWaitsForAPanelAgain)
{
    BuildDuel();
    Key(Qt::Key_1);
    sounds.Reset();
    MenuKey(Qt::Key_Escape);
    EXPECT_FALSE(scene->GetCommandMenu()->isVisible());
    EXPECT_EQ(State(), 1u);
    EXPECT_FALSE(Icon(3, 3)->IsSelected());
    EXPECT_TRUE(WaitUntil([&] { return sounds.Count(Sound::SeDefaultCanceled) >= 1; }, 1000));
    Settle();
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 1);
}

TEST_F(DialogueTest, ARightClickWhileChoosingATargetGoesBackToTheMenu)
{
    BuildDuel();
    Key(Qt::Key_1);
    MenuKey(Qt::Key_A, "a");
    ASSERT_EQ(State(), 3u);
    Click(*scene, Icon(5, 5)->sceneBoundingRect().center(), Qt::RightButton);
    EXPECT_EQ(State(), 2u);
    EXPECT_TRUE(scene->GetCommandMenu()->isVisible());
}

TEST_F(DialogueTest, ClicksRefusedInTheWrongStateOnlySayWhy)
{
    BuildDuel();
    scene->GetInputManager()->SetEnabled(false);
    ClickItem(*scene, Icon(3, 3));
    EXPECT_EQ(Notice(), "You cannot input a command currently.");
    scene->GetInputManager()->SetEnabled(true);
    Key(Qt::Key_1);
    MenuKey(Qt::Key_M, "m");
    ClickItem(*scene, Icon(5, 5));
    EXPECT_EQ(Notice(), "This panel is out of range.");
    EXPECT_EQ(State(), 3u);

    // A watching machine gives no commands.
    scene->SetPlayer(world->AddWatcher());
    scene->OpenCommandMenu(Icon(3, 3));
    EXPECT_EQ(Notice(), "You are not a player on this game.");
}

TEST_F(DialogueTest, AConfirmationAfterTheTimeIsUpSendsNothing)
{
    BuildDuel();
    CTimer& timer = world->Side(0)->GetTimer();
    timer.Reset(1);
    timer.LaunchWithCallback([] {});
    timer.Start();
    scene->GetTimerBar()->SetTimer(&timer);
    ASSERT_TRUE(WaitUntil([&] { return timer.GetTimeLimit() <= 0; }, 2000));
    Key(Qt::Key_1);
    MenuKey(Qt::Key_M, "m");
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    sounds.Reset();
    Key(Qt::Key_Return);
    EXPECT_TRUE(sent->isEmpty());
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultCanceled});
    EXPECT_EQ(State(), 0u);
    timer.Halt();
}

TEST_F(DialogueTest, PassAndResignAskAtOnceAndCancelBackToTheMenu)
{
    Build(3, 3);
    CShip* ship = world->PutShip(0, ShipTypeBattleship, 2, 2);
    world->PutShip(1, ShipTypeBattleship, 3, 3);
    Start();
    Key(Qt::Key_1);
    MenuKey(Qt::Key_R, "r");
    EXPECT_EQ(State(), 4u);
    EXPECT_EQ(Notice(), "Do you resign?");
    EXPECT_FALSE(Icon(2, 2)->IsSelected());
    Key(Qt::Key_Escape);
    EXPECT_EQ(State(), 2u);
    EXPECT_TRUE(scene->GetCommandMenu()->isVisible());

    // Out of fuel, the side may pass.
    ship->GetProfile().Fp = 0;
    CBattleWorld::SetStatus(ship, ShipStatusFuelShortage);
    scene->GetCommandMenu()->hide();
    Key(Qt::Key_1);
    ASSERT_TRUE(scene->GetCommandMenu()->GetPassAction()->isVisible());
    MenuKey(Qt::Key_P, "p");
    EXPECT_EQ(Notice(), "Do you pass your turn? If \"Yes\", this turn ends.");
    Key(Qt::Key_Return);
    ASSERT_EQ(sent->size(), 1);
    EXPECT_EQ(world->Side(0)->GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
}

TEST_F(DialogueTest, StoppingTheOperationDropsTheInputHalfWay)
{
    BuildDuel();
    Key(Qt::Key_1);
    MenuKey(Qt::Key_M, "m");
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    scene->StopOperation();
    EXPECT_EQ(State(), 0u);
    EXPECT_FALSE(scene->GetInputConfirmation()->isVisible());
    EXPECT_TRUE(scene->GetSelectablePanels().isEmpty());
    EXPECT_TRUE(scene->GetSelectedPanels().isEmpty());
    EXPECT_EQ(scene->GetInputManager()->GetCommandCode(), CommandNone);
    EXPECT_TRUE(sent->isEmpty());
}

TEST_F(DialogueTest, TheHostReportsTheTimeUpOfEverySideItRunsAClientOnlyItsOwn)
{
    BuildDuel();
    auto setOrigin = [&](std::size_t side, std::uint32_t origin) {
        UnitProfile profile = world->Side(side)->GetProfile();
        profile.OriginFlag = origin;
        world->Side(side)->SetProfile(profile);
    };
    // The host's own side, then a client's side on the host's machine.
    emit scene->GetTimerBar()->TimeLost();
    setOrigin(1, HostClient);
    turns.SetCurrent(world->Side(1)->GetId());
    emit scene->GetTimerBar()->TimeLost();
    ASSERT_EQ(sent->size(), 2);
    EXPECT_EQ(sent->value(1).value(0).toUInt(), 10u);
    // On a client's machine another client's clock is not its business.
    setOrigin(0, HostClient);
    emit scene->GetTimerBar()->TimeLost();
    EXPECT_EQ(sent->size(), 2);
}

TEST_F(DialogueTest, AClickOnAShipIsAClickOnItsPanelAndAQuestionBlocksTheMap)
{
    BuildDuel();
    CShipIcon* icon = scene->GetShipIcon(world->Ship(0, 1));
    ASSERT_NE(icon, nullptr);
    ClickItem(*scene, icon);
    EXPECT_EQ(State(), 2u);
    EXPECT_EQ(scene->GetCommandMenu()->GetShip(), world->Ship(0, 1));
    MenuKey(Qt::Key_M, "m");
    ClickItem(*scene, Icon(3, 4));
    ASSERT_EQ(State(), 4u);
    // While the question stands, the map takes no clicks.
    ClickItem(*scene, Icon(1, 3));
    EXPECT_EQ(State(), 4u);
    EXPECT_TRUE(Icon(3, 4)->IsSelected());
    EXPECT_FALSE(Icon(1, 3)->IsSelected());
    ClickItem(*scene, scene->GetInputConfirmation()->GetRows().value(0));
    ASSERT_EQ(sent->size(), 1);
    EXPECT_EQ(world->Side(0)->GetCommandInput().Target, MapPos(3, 4));
}

TEST_F(DialogueTest, ARightDoubleClickTogglesTheLabelsAndBorders)
{
    BuildDuel();
    QGraphicsSceneMouseEvent event(QEvent::GraphicsSceneMouseDoubleClick);
    event.setButton(Qt::RightButton);
    event.setScenePos(Icon(3, 3)->sceneBoundingRect().center());
    QCoreApplication::sendEvent(scene.get(), &event);
    EXPECT_FALSE(scene->GetLayer()->isVisible());
    QCoreApplication::sendEvent(scene.get(), &event);
    EXPECT_TRUE(scene->GetLayer()->isVisible());
}

} // namespace
