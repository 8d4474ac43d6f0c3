#include "app/GameControl.h"
#include "app/GameView.h"
#include "app/MainWindow.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Resources.h"
#include "gui/Style.h"
#include "model/settings/SystemConfig.h"

#include <QApplication>
#include <QDir>
#include <QGLWidget>
#include <QGraphicsScene>
#include <QMenuBar>
#include <QtCore/qtestsupport_core.h>
#include <QtWidgets/qtestsupport_widgets.h>

#include <gtest/gtest.h>

#include <memory>

using namespace Marevane;

namespace {

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CSystemConfig::GetInstance() = CSystemConfig();
        InitResources();
    }
    void TearDown() override
    {
        CSequenceManager::Shutdown();
        CSystemConfig::GetInstance() = CSystemConfig();
    }

    static QImage Shoot(QWidget* widget, const QString& name)
    {
        const QImage image = widget->grab().toImage();
        QDir().mkpath(QStringLiteral(MAREVANE_SHOT_DIR));
        image.save(QStringLiteral(MAREVANE_SHOT_DIR "/") + name + QStringLiteral(".png"));
        return image;
    }
};

bool IsNear(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST_F(GameWindowTest, OnADisplayTheViewsDrawThroughOpenGLWhenTheSettingSaysSo)
{
    ASSERT_TRUE(IsOpenGLAvailable());
    const struct {
        bool isOpenGL;
        bool isGLViewport;
    } table[] = {{true, true}, {false, false}};
    for (const auto& row : table) {
        CSystemConfig::GetInstance().OpenGL = row.isOpenGL;
        QGraphicsScene scene(0, 0, 320, 200);
        scene.addRect(0, 0, 100, 100, Qt::NoPen, QBrush(Qt::white));
        CMainView view(&scene);
        EXPECT_EQ(view.IsOpenGLViewport(), row.isGLViewport);
        EXPECT_EQ(qobject_cast<QGLWidget*>(view.viewport()) != nullptr, row.isGLViewport);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const QImage image =
            Shoot(&view, row.isOpenGL ? QStringLiteral("main-view-gl") : QStringLiteral("main-view-plain"));
        EXPECT_TRUE(IsNear(image.pixel(50, 50), Qt::white)) << row.isOpenGL;
        EXPECT_TRUE(IsNear(image.pixel(250, 150), MainBackgroundColor)) << row.isOpenGL;
    }
}

QList<QGLWidget*> TopLevelGLWidgets()
{
    QList<QGLWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* gl = qobject_cast<QGLWidget*>(widget)) found.append(gl);
    }
    return found;
}

TEST_F(GameWindowTest, APreparedViewportIsTakenByTheNextViewAndDraws)
{
    CSystemConfig::GetInstance().OpenGL = false;
    EXPECT_FALSE(PrepareOpenGLViewport());
    EXPECT_TRUE(TopLevelGLWidgets().isEmpty());

    CSystemConfig::GetInstance().OpenGL = true;
    ASSERT_TRUE(PrepareOpenGLViewport());
    ASSERT_TRUE(PrepareOpenGLViewport()); // still the one
    const QList<QGLWidget*> prepared = TopLevelGLWidgets();
    ASSERT_EQ(prepared.size(), 1);
    EXPECT_FALSE(prepared.front()->isVisible());

    QGraphicsScene scene(0, 0, 320, 200);
    scene.addRect(0, 0, 100, 100, Qt::NoPen, QBrush(Qt::white));
    CMainView view(&scene);
    EXPECT_EQ(view.viewport(), prepared.front());
    EXPECT_TRUE(TopLevelGLWidgets().isEmpty());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage image = Shoot(&view, QStringLiteral("main-view-prepared-gl"));
    EXPECT_TRUE(IsNear(image.pixel(50, 50), Qt::white));
    EXPECT_TRUE(IsNear(image.pixel(250, 150), MainBackgroundColor));

    // The next view makes its own again.
    CMainView other(&scene);
    EXPECT_TRUE(other.IsOpenGLViewport());
    EXPECT_NE(other.viewport(), prepared.front());
}

TEST_F(GameWindowTest, TheWindowShowsItsMenusAndTheTitle)
{
    CGameControl control(GameScreens(), std::make_unique<CSoundControl>());
    control.Init();
    CMainWindow* window = control.GetMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    CSequenceManager* manager = CSequenceManager::GetInstance();
    ASSERT_TRUE(QTest::qWaitFor(
        [manager] { return manager->GetCurrentSequence() != nullptr && !manager->IsChanging(); }));
    CGameView* title = control.GetScenePool()->GetView(SceneSlot::Title);
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->IsOpenGLViewport());
    // The viewport made during the first fade went to the title.
    EXPECT_TRUE(TopLevelGLWidgets().isEmpty());
    QTest::qWait(50);
    const QImage shot = Shoot(window, QStringLiteral("game-window"));
    EXPECT_EQ(shot.size(), window->size());
    const int menuHeight = window->menuBar()->height();
    EXPECT_GE(shot.width(), 720);
    EXPECT_GE(shot.height(), 600 + menuHeight);
    EXPECT_EQ(window->menuBar()->actions().size(), 6);
    EXPECT_TRUE(window->menuBar()->isVisible());
    // The title picture fills the screen under the menus.
    const QImage background(QStringLiteral(":/Resources/TitleBackground.png"));
    ASSERT_FALSE(background.isNull());
    const QPoint empty(40, 560); // sea, away from the logo and the hint
    EXPECT_TRUE(IsNear(shot.pixel(empty + title->mapTo(window, QPoint(0, 0))), background.pixel(empty), 6));
    // The menu bar is not black: it was painted.
    EXPECT_NE(QColor(shot.pixel(200, menuHeight / 2)), QColor(Qt::black));
}

} // namespace
