// The battle map on a real display, drawn through OpenGL.
#include "screens/battle/GameMapScene.h"
#include "screens/battle/ShipIcon.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QtWidgets/qtestsupport_widgets.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using MapDisplayTest = ScreenTest;

TEST_F(MapDisplayTest, TheMapIsDrawnThroughOpenGLWithItsShipsOnTheirPanels)
{
    CBattleWorld world({7, 7, 4, 3, 2, true});
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.AddWatcher());
    CGameMapView view(&scene);
    view.resize(CGameMapScene::BackgroundSize({7, 7}).expandedTo(QSize(416, 380)));
    view.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.IsOpenGLViewport());
    Settle();
    for (CShipIcon* icon : scene.GetShipIcons())
        EXPECT_EQ(icon->pos(), scene.GetPanelIcon(icon->GetShip()->GetCurrentPanel())->pos());
    const QImage picture = RenderScreen(view);
    EXPECT_EQ(picture.size(), view.size());
    EXPECT_FALSE(SaveScreenRender(picture, QStringLiteral("battle/map-7x7-opengl")).isEmpty());
}

} // namespace
