// The command menu: which entries a side and a ship are offered, what each
// choice reports, and the sounds of pointing, choosing and closing.
#include "screens/battle/CommandMenu.h"

#include "model/Ship.h"
#include "model/Unit.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QAction>
#include <QKeyEvent>

Q_DECLARE_METATYPE(Marevane::CommandCode)
Q_DECLARE_METATYPE(Marevane::CShip*)

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class CommandMenuTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        world = std::make_unique<CBattleWorld>(CBattleWorld::Options{5, 5, 2, 0, 1, false});
        battleship = world->PutShip(0, ShipTypeBattleship, 1, 1);
        destroyer = world->PutShip(0, ShipTypeDestroyer, 2, 2);
        submarine = world->PutShip(0, ShipTypeSubmarine, 3, 3);
        world->PutShip(1, ShipTypeBattleship, 5, 5);
        menu.Build(world->Side(0));
    }
    void TearDown() override
    {
        menu.hide();
        ScreenTest::TearDown();
    }
    // Visible entries, in the menu's order, with "-" for a disabled one.
    QStringList Shown(const QMenu& of) const
    {
        QStringList shown;
        for (const QAction* action : of.actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            shown << (action->isEnabled() && (action->menu() == nullptr || action->menu()->isEnabled())
                          ? action->text()
                          : "-" + action->text());
        }
        return shown;
    }
    // Waits out the closing check: qWait may return with a timer that fell
    // due during its last sleep still unrun.
    static void Settle()
    {
        QTest::qWait(ScaledMs(200));
        QCoreApplication::processEvents();
    }
    void Key(int key, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&menu, &press);
    }

    std::unique_ptr<CBattleWorld> world;
    CShip* battleship = nullptr;
    CShip* destroyer = nullptr;
    CShip* submarine = nullptr;
    CCommandMenu menu;
};

TEST_F(CommandMenuTest, AShipThatCanActIsOfferedItsCommandsInOrder)
{
    menu.Open(QPoint(10, 10), destroyer);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(Shown(menu),
              (QStringList{"&Move", "&Attack", "Au&xiliary", "-Rein&force", "&Resign", "&Close"}));
    EXPECT_EQ(Shown(*menu.GetAuxiliaryMenu()), (QStringList{"&Torpedo", "M&ine"}));
    EXPECT_EQ(menu.GetPanel(), world->Panel(2, 2));
    SaveScreenRender(menu, "command/menu-destroyer");
}

TEST_F(CommandMenuTest, ABattleshipHasNoAuxiliaryWeapons)
{
    menu.Open(QPoint(10, 10), battleship);
    EXPECT_FALSE(menu.GetAuxiliaryMenu()->isEnabled());
    EXPECT_TRUE(menu.GetMoveAction()->isEnabled());
    EXPECT_TRUE(menu.GetAttackAction()->isEnabled());
}

TEST_F(CommandMenuTest, ASinkingShipCanDoNothingButTheSideMayStillResign)
{
    CBattleWorld::SetStatus(destroyer, ShipStatusSinking);
    menu.Open(QPoint(10, 10), destroyer);
    for (QAction* action :
         {menu.GetMoveAction(), menu.GetAttackAction(), menu.GetTorpedoAction(), menu.GetMineAction()})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(menu.GetResignAction()->isEnabled());
}

TEST_F(CommandMenuTest, ASideWithNothingLeftToDoSeesPassResignAndClose)
{
    // A lone battleship without fuel: no move, no attack, no mines to lay.
    CBattleWorld alone({3, 3, 1, 0, 1, false});
    CShip* ship = alone.PutShip(0, ShipTypeBattleship, 2, 2);
    ship->GetProfile().Fp = 0;
    CBattleWorld::SetStatus(ship, ShipStatusFuelShortage);
    ASSERT_FALSE(alone.Side(0)->CanAct());
    menu.Build(alone.Side(0));
    menu.Open(QPoint(10, 10), ship);
    EXPECT_EQ(Shown(menu), (QStringList{"&Pass", "-Rein&force", "&Resign", "&Close"}));

    // Without a ship's commands the flagship's hand-over is not offered either.
    alone.Side(0)->SetFlagship(ship->GetShipId());
    menu.Build(alone.Side(0));
    menu.Open(QPoint(10, 10), ship);
    EXPECT_EQ(Shown(menu), (QStringList{"&Pass", "-Rein&force", "&Resign", "&Close"}));
    menu.hide();
}

TEST_F(CommandMenuTest, OnlyTheFlagshipOffersTheHandOver)
{
    world->Side(0)->SetFlagship(battleship->GetShipId());
    menu.Open(QPoint(10, 10), battleship);
    EXPECT_TRUE(menu.GetChangeFlagshipAction()->isVisible());
    EXPECT_TRUE(menu.GetChangeFlagshipAction()->isEnabled());
    menu.hide();
    menu.Build(world->Side(0));
    menu.Open(QPoint(10, 10), destroyer);
    EXPECT_FALSE(menu.GetChangeFlagshipAction()->isVisible());
}

TEST_F(CommandMenuTest, OnlySunkShipsAreListedForReinforcementAndOnlyWhileTheSideMayReinforce)
{
    CBattleWorld::SetStatus(submarine, ShipStatusSinking);
    submarine->GetProfile().Hp = 0;
    world->Side(0)->SetReinforcementsLeft(0);
    menu.Open(QPoint(10, 10), battleship);
    const QStringList listed = Shown(*menu.GetReinforceMenu());
    ASSERT_EQ(listed.size(), 1);
    EXPECT_TRUE(listed[0].contains("&3. ")) << listed[0].toStdString();
    EXPECT_FALSE(menu.GetReinforceMenu()->isEnabled());

    world->Side(0)->SetReinforcementsLeft(1);
    menu.hide();
    menu.Build(world->Side(0));
    menu.Open(QPoint(10, 10), battleship);
    EXPECT_TRUE(menu.GetReinforceMenu()->isEnabled());

    SignalSpy selected(&menu, &CCommandMenu::MenuSelected);
    menu.GetReinforceActions()[2]->trigger();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].value<CommandCode>(), CommandReinforce);
    EXPECT_EQ(selected[0][1].value<CShip*>(), submarine);
}

TEST_F(CommandMenuTest, EachChoiceReportsItsCommandAndShip)
{
    world->Side(0)->SetFlagship(destroyer->GetShipId());
    menu.Open(QPoint(10, 10), destroyer);
    SignalSpy selected(&menu, &CCommandMenu::MenuSelected);
    const std::vector<std::pair<QAction*, std::pair<CommandCode, CShip*>>> table{
        {menu.GetAttackAction(), {CommandAttack, destroyer}},
        {menu.GetMoveAction(), {CommandMove, destroyer}},
        {menu.GetMineAction(), {CommandMine, destroyer}},
        {menu.GetTorpedoAction(), {CommandTorpedo, destroyer}},
        {menu.GetChangeFlagshipAction(), {CommandChangeFlagship, destroyer}},
        {menu.GetResignAction(), {CommandResign, nullptr}},
        {menu.GetPassAction(), {CommandPass, nullptr}}};
    for (const auto& [action, expected] : table) action->trigger();
    ASSERT_EQ(selected.size(), static_cast<int>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(selected[static_cast<int>(i)][0].value<CommandCode>(), table[i].second.first);
        EXPECT_EQ(selected[static_cast<int>(i)][1].value<CShip*>(), table[i].second.second);
    }
    EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), static_cast<int>(table.size()));
}

TEST_F(CommandMenuTest, LettersChooseAndEscapeClosesWithTheCancelSound)
{
    menu.Open(QPoint(10, 10), destroyer);
    SignalSpy selected(&menu, &CCommandMenu::MenuSelected);
    Key(Qt::Key_M, "m");
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].value<CommandCode>(), CommandMove);
    EXPECT_FALSE(menu.isVisible());
    Settle();
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 0);

    menu.Build(world->Side(0));
    menu.Open(QPoint(10, 10), destroyer);
    sounds.Reset();
    Key(Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
    Settle();
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultCanceled});

    // Closed by a click elsewhere: the closing sound after a moment.
    menu.Build(world->Side(0));
    menu.Open(QPoint(10, 10), destroyer);
    sounds.Reset();
    menu.hide();
    EXPECT_TRUE(sounds.Codes().empty());
    EXPECT_TRUE(WaitUntil([&] { return sounds.Count(Sound::SeDefaultCanceled) == 1; }, 1000));
}

TEST_F(CommandMenuTest, AMenuReopenedBeforeTheLastClosingCheckClosesWithOneSound)
{
    // The check after the choice is still pending when the menu opens again.
    menu.Open(QPoint(10, 10), destroyer);
    Key(Qt::Key_M, "m");
    menu.Build(world->Side(0));
    menu.Open(QPoint(10, 10), destroyer);
    sounds.Reset();
    Key(Qt::Key_Escape);
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultCanceled});
    Settle();
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultCanceled});
}

TEST_F(CommandMenuTest, PointingPlaysOncePerEntryAndTellsTheHelp)
{
    menu.Open(QPoint(10, 10), destroyer);
    SignalSpy hovered(&menu, &CCommandMenu::CommandHovered);
    for (QAction* action : {menu.GetMoveAction(), menu.GetMoveAction(), menu.GetAttackAction(),
                            menu.GetAuxiliaryMenu()->menuAction(), menu.GetCloseAction()})
        action->hover();
    EXPECT_EQ(sounds.Count(Sound::SeDefaultPointed), 4);
    ASSERT_EQ(hovered.size(), 5);
    EXPECT_EQ(hovered[2][0].value<CommandCode>(), CommandAttack);
    EXPECT_EQ(hovered[3][1].toString(),
              "Auxiliary Weapon Menu\nSelect an auxiliary weapon, with uses limited by the number.");
    EXPECT_EQ(hovered[4][1].toString(), "Close the Command Menu.");

    // A new battle forgets the last entry pointed at.
    EXPECT_EQ(menu.GetHoverKey(), 100);
    menu.ResetHoverKey();
    sounds.Reset();
    menu.GetCloseAction()->hover();
    EXPECT_EQ(sounds.Count(Sound::SeDefaultPointed), 1);
}

TEST_F(CommandMenuTest, AShipThatLeftTheSideIsNeitherListedNorChosen)
{
    menu.Open(QPoint(10, 10), battleship);
    QAction* third = menu.GetReinforceActions()[2];
    menu.hide();
    world->ShipFactory().RemoveShipsOf(world->Side(0));
    SignalSpy selected(&menu, &CCommandMenu::MenuSelected);
    third->trigger();
    EXPECT_TRUE(selected.isEmpty());
    menu.Open(QPoint(10, 10), static_cast<CShip*>(nullptr));
    EXPECT_FALSE(third->isVisible());
}

} // namespace
