// The help pane: the hovered panel and ship with their pictures and texts,
// a command's help, any text, and re-wrapping when the view grows.
#include "screens/battle/HelpScene.h"
#include "gui/HelpTexts.h"
#include "gui/ResourcePools.h"
#include "gui/TextItems.h"
#include "screens/battle/PanelIcon.h"
#include "tests/screens/panes/PanesFixture.h"

#include <QGraphicsPixmapItem>
#include <QResizeEvent>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class HelpSceneTest : public PanesTest {
  protected:
    QStringList Texts() const
    {
        QStringList texts;
        for (const CTextItem* text : scene.GetTexts()) texts << text->toPlainText();
        return texts;
    }
    CHelpScene scene;
};

TEST_F(HelpSceneTest, HoveredPanelAndShipShowTheirHelp)
{
    MakeSides(2);
    const QString seaHelp = CPanelHelp::GetInstance().Get(PanelSea);
    const QString unknownHelp = CPanelHelp::GetInstance().Get(PanelUnknown);
    const QString submarineHelp = CShipHelp::GetInstance().Get(ShipTypeSubmarine);
    ASSERT_FALSE(seaHelp.isEmpty());

    CPanelIcon boundary(board.GetPanel(0, 0), 0, 0);
    scene.Set(&boundary); // the ring around the map: nothing to say
    EXPECT_TRUE(scene.GetTexts().empty());

    CPanelIcon unknown(board.GetPanel(3, 3), 0, 0); // not known to this side
    scene.Set(&unknown);
    EXPECT_EQ(Texts(), QStringList{unknownHelp});
    ASSERT_EQ(scene.GetPictures().size(), 1u);
    EXPECT_EQ(scene.GetPictures()[0]->pixmap().toImage(),
              CPanelResourcePool::GetInstance().Get(PanelUnknown).toImage());

    CPanelIcon known(board.GetPanel(3, 3), 0, 0);
    known.SetKnown(true);
    CShipIcon ship(ShipTypeSubmarine, 0, QPoint(0, 0));
    scene.Set(&known, &ship);
    EXPECT_EQ(Texts(),
              (QStringList{CPanelHelp::GetInstance().Get(board.GetPanel(3, 3)->GetType()), submarineHelp}));
    const CTextItem* first = scene.GetTexts()[0];
    const CTextItem* second = scene.GetTexts()[1];
    EXPECT_DOUBLE_EQ(second->y(), first->y() + first->boundingRect().height() + 16);
    EXPECT_DOUBLE_EQ(first->y(), 12);
    EXPECT_DOUBLE_EQ(scene.GetPictures()[1]->y(), second->y() + 4);
    EXPECT_DOUBLE_EQ(second->x(), scene.GetPictures()[1]->pixmap().width() + 8);

    scene.Set(&ship);
    EXPECT_EQ(Texts(), QStringList{submarineHelp});
    scene.Set();
    EXPECT_TRUE(scene.GetTexts().empty());
}

TEST_F(HelpSceneTest, CommandHelpAndPlainTexts)
{
    scene.Set(CommandTorpedo, QStringLiteral("ignored"));
    EXPECT_EQ(Texts(), QStringList{CCommandHelp::GetInstance().Get(CommandTorpedo)});
    scene.Set(CommandNone, QStringLiteral("Choose a target."));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Choose a target.")});
    EXPECT_EQ(scene.GetTexts()[0]->pos(), QPointF(8, 12));
    scene.Set(CommandNone, QString());
    EXPECT_TRUE(scene.GetTexts().empty());
}

TEST_F(HelpSceneTest, WiderViewRewrapsEveryText)
{
    CHelpView view(&scene);
    CShipIcon ship(ShipTypeDestroyer, 1, QPoint(0, 0));
    scene.SetEntries(PanelReef, ship.GetPixmap(), ShipTypeDestroyer);
    const int pictureWidth = scene.GetPictures()[0]->pixmap().width();
    for (int width : {304, 454}) {
        QResizeEvent resize(QSize(width, 220), QSize(304, 220));
        QCoreApplication::sendEvent(view.viewport(), &resize);
        for (const CTextItem* text : scene.GetTexts())
            EXPECT_DOUBLE_EQ(text->textWidth(),
                             static_cast<int>(width - 8 - pictureWidth - 2 * CHelpScene::LeftMargin));
        EXPECT_EQ(scene.GetArea().width(), width);
    }
}

} // namespace
