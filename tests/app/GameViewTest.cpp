#include "app/GameView.h"
#include "app/GameScene.h"
#include "app/MessageView.h"
#include "gui/Resources.h"
#include "gui/Style.h"
#include "tests/app/AppTestSupport.h"

#include <QGLWidget>
#include <QGraphicsRectItem>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>

#include <vector>

using namespace Marevane;

namespace {

// A scene that writes down the sizes its view tells it.
class CSizeScene : public CGameScene {
  public:
    using CGameScene::CGameScene;
    void AdjustViewPosition(const QSize& size) override { sizes.push_back(size); }
    std::vector<QSize> sizes;
};

// A scene like the message scene: its page control follows the scroll bar.
class CPagedScene : public CGameScene {
    Q_OBJECT
  public:
    using CGameScene::CGameScene;
    std::vector<int> heights;
  public slots:
    void AdjustControlHeight(int height) { heights.push_back(height); }
};

class GameViewTest : public Testing::AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        InitResources();
    }
};

TEST_F(GameViewTest, OffscreenEveryViewDrawsWithoutOpenGLWhateverTheSetting)
{
    for (const bool isOpenGL : {false, true}) {
        CSystemConfig::GetInstance().OpenGL = isOpenGL;
        CGameScene scene(QRectF(0, 0, 100, 100));
        CMainView view(&scene);
        EXPECT_FALSE(view.IsOpenGLViewport()) << isOpenGL;
        EXPECT_EQ(qobject_cast<QGLWidget*>(view.viewport()), nullptr);
        EXPECT_EQ(scene.GetView(), &view);
        EXPECT_FALSE(PrepareOpenGLViewport()) << isOpenGL;
    }
    EXPECT_FALSE(IsOpenGLAvailable());
}

TEST_F(GameViewTest, TheMainViewTakesItsScenesSizeOnTheNearBlackBackground)
{
    CGameScene scene(QRectF(0, 0, 720, 600));
    scene.addRect(QRectF(0, 0, 100, 100), Qt::NoPen, QBrush(Qt::white));
    CMainView view(&scene);
    EXPECT_EQ(view.minimumSize(), QSize(720, 600));
    EXPECT_EQ(view.baseSize(), QSize(720, 600));
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view.frameShape(), QFrame::NoFrame);
    view.resize(720, 600);
    const QImage image = Shoot(&view, QStringLiteral("main-view"));
    EXPECT_EQ(QColor(image.pixel(50, 50)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(400, 400)), MainBackgroundColor);

    CMainView empty;
    EXPECT_EQ(empty.minimumSize(), QSize(0, 0));
}

TEST_F(GameViewTest, AResizeTellsTheSceneOnlyASizeThatIsNotEmptyAndKeepsTheScroll)
{
    CSizeScene scene(QRectF(0, 0, 300, 2000));
    CMessageView view(&scene);
    view.setMinimumSize(0, 0);
    view.resize(300, 220);
    view.show();
    Testing::Settle();
    view.verticalScrollBar()->setValue(150);
    scene.sizes.clear();
    // A scroll area hears of its resizes through its viewport.
    const auto resize = [&view](const QSize& size) {
        QResizeEvent event(size, view.viewport()->size());
        QCoreApplication::sendEvent(view.viewport(), &event);
    };
    resize(QSize(0, 220));
    resize(QSize(300, 0));
    EXPECT_TRUE(scene.sizes.empty());
    resize(QSize(500, 400));
    ASSERT_EQ(scene.sizes.size(), 1u);
    EXPECT_EQ(scene.sizes[0], QSize(500, 400));
    EXPECT_EQ(view.verticalScrollBar()->value(), 150);
}

TEST_F(GameViewTest, TheMessageViewFollowsAPagedSceneAndLooksLikeThePane)
{
    CPagedScene paged(QRectF(0, 0, 416, 1000));
    CMessageView view(&paged);
    EXPECT_EQ(view.minimumSize(), QSize(416, 1000));
    view.setMinimumSize(0, 0);
    view.resize(416, 220);
    view.show();
    Testing::Settle();
    view.ChangeScrollPosition(120);
    ASSERT_FALSE(paged.heights.empty());
    EXPECT_EQ(paged.heights.back(), 120);
    EXPECT_EQ(view.styleSheet(), FrameStyleSheet() + ScrollBarStyleSheet() +
                                     QStringLiteral("QFrame {\tborder-style: solid none none none;}"));
    ASSERT_NE(view.GetLabel(), nullptr);
    EXPECT_EQ(view.GetLabel()->size(), QPixmap(QStringLiteral(":/Resources/MessageLabel.png")).size());
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    CSizeScene plain(QRectF(0, 0, 100, 100));
    CMessageView other(&plain); // no page control: nothing to follow
    other.ChangeScrollPosition(10);
    CMessageView none;
    EXPECT_EQ(none.minimumSize(), QSize(0, 0));
}

TEST_F(GameViewTest, TheLabelKeepsItsPlaceOnTheScreenWhileTheContentScrolls)
{
    CGameScene scene(QRectF(0, 0, 300, 1200));
    // Stripes, so the content under the label changes as it scrolls.
    for (int y = 0; y < 1200; y += 20) scene.addRect(QRectF(0, y, 300, 10), Qt::NoPen, QBrush(Qt::darkGreen));
    CMessageView view(&scene);
    QPixmap label(40, 12);
    label.fill(Qt::red);
    view.SetLabel(label);
    view.setMinimumSize(0, 0);
    view.resize(320, 200);
    view.show();
    Testing::Settle();
    const QImage top = Shoot(&view, QStringLiteral("label-top"));
    view.ChangeScrollPosition(333);
    Testing::Settle();
    const QImage scrolled = Shoot(&view, QStringLiteral("label-scrolled"));
    const auto redRows = [](const QImage& image) {
        std::vector<int> rows;
        for (int y = 0; y < image.height(); ++y)
            if (QColor(image.pixel(20, y)) == QColor(Qt::red)) rows.push_back(y);
        return rows;
    };
    ASSERT_FALSE(redRows(top).empty());
    const std::vector<int> before = redRows(top);
    const std::vector<int> after = redRows(scrolled);
    ASSERT_FALSE(after.empty());
    EXPECT_NEAR(after.front(), before.front(), 2);
    EXPECT_EQ(after.size(), before.size());
    view.SetLabel(QPixmap());
    EXPECT_EQ(view.GetLabel(), nullptr);
}

} // namespace

#include "GameViewTest.moc"
