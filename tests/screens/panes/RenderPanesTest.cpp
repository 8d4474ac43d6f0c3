// Renders of the panes as a player sees them, saved under the build folder
// (tests/screens/panes/renders) for a look: the side pane of a player and
// of a watcher with two and four sides, the status detail screen of a side
// and of a ship, the help pane and the message pane.
#include "app/MessageView.h"
#include "gui/Fonts.h"
#include "gui/ResourcePools.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailScene.h"
#include "tests/screens/panes/PanesFixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class RenderPanesTest : public PanesTest {
  protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        ReloadApplicationFonts(QStringLiteral(MAREVANE_JAPANESE_BOLD_FONT));
        for (const char* className : {"Marevane::CPushButton", "QAbstractSpinBox", "QComboBox", "QLineEdit"})
            QApplication::setFont(RebuildSharedFonts().text, className);
    }
    void TearDown() override
    {
        PanesTest::TearDown();
        RebuildSharedFonts();
    }

    // A battle under way: hits taken, fuel spent, a sinking ship, a flagship.
    void Damage()
    {
        for (int side = 0; side < players.size(); ++side) {
            players[side]->SetFlagship(1);
            Profile(side, 1).Hp = 2 - (side % 2);
            Profile(side, 2).Fp = 64 - side * 9;
            Profile(side, 3).WeaponStock = 1;
        }
        Profile(players.size() - 1, 2).Hp = 0;
        Profile(players.size() - 1, 2).Condition = 5;
        Profile(players.size() - 1, 2).Status = 5;
    }

    static void Save(QWidget& widget, const QString& name)
    {
        widget.show();
        Settle();
        const QString path = SaveRender(widget.grab().toImage(), name);
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    }
};

TEST_F(RenderPanesTest, PlayerPaneOfTwoSides)
{
    MakeSides(2);
    Damage();
    CPlayerStatusScene scene;
    CSideView view(&scene);
    view.resize(304, 600);
    scene.SetUp(&players, players[1]);
    scene.SetShipSelected(players[1], Ship(1, 3));
    Save(view, QStringLiteral("player-pane-2-sides"));
}

TEST_F(RenderPanesTest, WatcherPanesOfTwoAndFourSides)
{
    for (int count : {2, 4}) {
        players.clear();
        units.Clear();
        ships.Clear();
        MakeSides(count);
        Damage();
        CPlayerStatusScene scene;
        CSideView view(&scene);
        view.setFixedWidth(CSideView::MaxWidth);
        view.resize(CSideView::MaxWidth, 420);
        scene.SetUp(&players, nullptr);
        Save(view, QStringLiteral("watcher-pane-%1-sides").arg(count));
    }
}

TEST_F(RenderPanesTest, StatusDetailOfASideAndOfAShip)
{
    MakeSides(2);
    Damage();
    ActionStatistics& record = players[0]->GetStatistics(0);
    record[StatAttacks] = 7;
    record[StatHits] = 3;
    record[StatNearMisses] = 2;
    record[StatSunk] = 1;
    record[StatMaxHp] = 8;
    record[StatHp] = 5;
    record[StatMaxFp] = 0; // fuel not in use: no rate of nothing
    record[StatPanelCount] = 49;
    record[StatPanelsExplored] = 20;
    Profile(0, 2).Statistics[ShipStatAttacks] = 4;
    Profile(0, 2).Statistics[ShipStatHits] = 1;

    CStatusDetailScene scene;
    scene.CreateItems(players[0]);
    SaveRender(RenderScene(scene, QRectF(0, 0, 416, std::max(600.0, scene.sceneRect().height()))),
               QStringLiteral("status-detail-side"));
    scene.CreateItems(players[0], Ship(0, 2));
    SaveRender(RenderScene(scene, QRectF(0, 0, 416, std::max(600.0, scene.sceneRect().height()))),
               QStringLiteral("status-detail-ship"));
}

TEST_F(RenderPanesTest, HelpAndMessagePanes)
{
    MakeSides(2);
    CHelpScene help;
    CHelpView helpView(&help);
    helpView.resize(304, 260);
    help.SetEntries(PanelReef, CShipResourcePool::GetInstance(0).FindPixmap(ShipTypeSubmarine, ImageLeft),
                    ShipTypeSubmarine);
    Save(helpView, QStringLiteral("help-pane"));

    CMessageScene messages(0, 0, QSize(720, 140));
    CMessageView messageView(&messages);
    messageView.resize(720, 140);
    messages.Add(QStringLiteral("Round 3, Ann: the battleship No.1 attacked R4C5."), true);
    messages.Add(QStringLiteral("Bea's destroyer No.2 was damaged (HP 1 / 2)."), true);
    messages.Add(QStringLiteral("Bea's submarine No.3 fired a torpedo to the east."), true);
    Save(messageView, QStringLiteral("message-pane"));
}

} // namespace
