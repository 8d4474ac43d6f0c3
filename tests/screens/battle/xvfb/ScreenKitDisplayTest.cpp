// The xvfb group: a view on a real display with OpenGL on.
#include "app/GameView.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QGraphicsScene>
#include <QtWidgets/qtestsupport_widgets.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using ScreenKitDisplayTest = ScreenTest;

TEST_F(ScreenKitDisplayTest, AViewOnTheDisplayDrawsThroughOpenGL)
{
    ASSERT_TRUE(IsOpenGLRun());
    ASSERT_TRUE(CSystemConfig::GetInstance().OpenGL);
    QGraphicsScene scene(0, 0, 200, 120);
    scene.addRect(50, 30, 100, 60, QPen(Qt::NoPen), QBrush(Qt::white));
    CMainView view(&scene);
    view.resize(200, 120);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.IsOpenGLViewport());
    const QString path = SaveScreenRender(view, QStringLiteral("kit/opengl-view"));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
