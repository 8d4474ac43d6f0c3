#include "gui/Popups.h"
#include "gui/Resources.h"
#include "gui/ScreenText.h"
#include "gui/Style.h"
#include "gui/Widgets.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>

#include <vector>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class PopupsTest : public ShellTest {
  protected:
    QGraphicsScene scene;
};

bool IsBlank(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0) return false;
    return true;
}

QImage Transparent(QGraphicsScene& scene, const QRectF& area)
{
    QImage picture(area.size().toSize(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    scene.render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    return picture;
}

TEST_F(PopupsTest, TimedPopupHidesAndEmptiesAnUntimedOneStays)
{
    auto* kept = new CPopup();
    auto* timed = new CPopup();
    scene.addItem(kept);
    scene.addItem(timed);
    kept->Show(QPointF(10, 10), QStringLiteral("Stays"), 0);
    timed->Show(QPointF(10, 60), QStringLiteral("Goes"), 1500);
    EXPECT_TRUE(timed->isVisible());
    EXPECT_TRUE(timed->IsTimerActive());
    EXPECT_FALSE(kept->IsTimerActive());
    ASSERT_TRUE(WaitUntil([&] { return !timed->isVisible(); }));
    EXPECT_EQ(timed->GetText(), "");
    EXPECT_FALSE(timed->IsTimerActive());
    EXPECT_TRUE(kept->isVisible());
    EXPECT_EQ(kept->GetText(), "Stays");
    EXPECT_EQ(kept->pos(), QPointF(10, 10));
    EXPECT_EQ(kept->zValue(), 1000);
    kept->Hide();
    EXPECT_FALSE(kept->isVisible());
    EXPECT_EQ(kept->GetText(), "");
}

std::vector<QString>& Traced()
{
    static std::vector<QString> lines;
    return lines;
}

// The trace of shown texts is silent unless a rule enables it; enabled, a
// notice is told once per appearance, on one line.
TEST_F(PopupsTest, ShownNoticesAreTracedOnlyWhenEnabledAndOncePerAppearance)
{
    Traced().clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (qstrcmp(context.category, "marevane.screen.text") == 0) Traced().push_back(text);
        });
    auto* bar = new CNotificationBar();
    scene.addItem(bar);
    bar->Show(QStringLiteral("Silent"), 0);
    EXPECT_TRUE(Traced().empty());

    QLoggingCategory::setFilterRules(QStringLiteral("marevane.screen.text.info=true"));
    bar->Show(QStringLiteral("Two\nlines"), 0);
    bar->Show(QStringLiteral("Two\nlines"), 0); // kept up: not told again
    bar->Hide();
    bar->Show(QStringLiteral("Two\nlines"), 0);
    QLoggingCategory::setFilterRules(QString());
    bar->Show(QStringLiteral("Silent again"), 0);
    qInstallMessageHandler(previous);

    const std::vector<QString> expected(2, QStringLiteral("notice: Two\\nlines"));
    EXPECT_EQ(Traced(), expected);
}

TEST_F(PopupsTest, BoxFollowsTheTextUnlessItsWidthIsFixed)
{
    auto* popup = new CPopup();
    scene.addItem(popup);
    popup->Show(QPointF(0, 0), QStringLiteral("Short"));
    const QRectF shortBox = popup->rect();
    popup->Show(QPointF(0, 0), QStringLiteral("A much longer line of text"));
    EXPECT_GT(popup->rect().width(), shortBox.width());
    EXPECT_EQ(popup->rect(), popup->GetTextItem()->boundingRect());

    popup->SetWidth(120);
    popup->SetFixedWidth();
    popup->Show(QPointF(0, 0), QStringLiteral("A long line of text that has to wrap inside the box"));
    EXPECT_EQ(popup->rect().width(), 120);
    EXPECT_EQ(popup->rect().height(), popup->GetTextItem()->boundingRect().height());
    EXPECT_GT(popup->rect().height(), shortBox.height() * 1.5);
}

TEST_F(PopupsTest, EmptyPopupDrawsNothingEvenWhileShown)
{
    auto* popup = new CPopup();
    scene.addItem(popup);
    popup->Show(QPointF(0, 0), QString());
    EXPECT_TRUE(popup->isVisible());
    const QRectF area(0, 0, 80, 40);
    EXPECT_TRUE(IsBlank(Transparent(scene, area)));
    popup->Show(QPointF(0, 0), QStringLiteral("Text"));
    EXPECT_FALSE(IsBlank(Transparent(scene, area)));
}

TEST_F(PopupsTest, NotificationBarStandsAtTheTopCentreOfItsAnchor)
{
    const struct {
        qreal width;
        qreal top;
        QPointF expected;
    } cases[] = {{1000, 10, {296, 14}}, {300, 10, {4, 14}}, {408, 0, {4, 4}}, {600, -20, {96, -16}}};
    for (const auto& row : cases) {
        QGraphicsRectItem anchor(0, row.top, row.width, 200);
        CNotificationBar bar(&anchor);
        bar.Show(QStringLiteral("Turn of Alice"));
        EXPECT_EQ(bar.pos(), row.expected) << row.width;
        EXPECT_EQ(bar.rect().width(), 408);
        EXPECT_EQ(bar.zValue(), 1001);
        EXPECT_TRUE(bar.IsTimerActive()); // the default time
    }
    CNotificationBar loose;
    loose.Show(QStringLiteral("No anchor"), 0);
    EXPECT_EQ(loose.pos(), QPointF(4, 4));
    loose.Show(QPoint(30, 40), QStringLiteral("Placed"), 0);
    EXPECT_EQ(loose.pos(), QPointF(30, 40));
    loose.SetWidth(200);
    loose.Show(QStringLiteral("A longer notice that wraps in the narrower bar"), 0);
    EXPECT_EQ(loose.rect().width(), 200);
}

TEST_F(PopupsTest, TooltipSitsAboveAndRightOfItsItem)
{
    QPixmap picture(32, 32);
    picture.fill(Qt::darkGray);
    auto* icon = scene.addPixmap(picture);
    icon->setPos(100, 80);
    auto* tooltip = new CTooltip();
    scene.addItem(tooltip);
    tooltip->Show(icon, QStringLiteral("Battleship"));
    EXPECT_EQ(tooltip->zValue(), 1002);
    EXPECT_EQ(tooltip->GetTextItem()->font().pixelSize(), 12);
    const int height = WholePixelSize(tooltip).height();
    EXPECT_GT(height, 12);
    EXPECT_EQ(tooltip->pos(), QPointF(100 + 32 + 4, 80 - height - 4));
    // A two-line text moves it up by its own new height.
    tooltip->Show(icon, QStringLiteral("Battleship\nFlagship"));
    EXPECT_EQ(tooltip->pos().y(), 80 - WholePixelSize(tooltip).height() - 4);
    EXPECT_GT(WholePixelSize(tooltip).height(), height);
}

TEST_F(PopupsTest, TooltipWithoutItemFollowsThePointerThroughTheView)
{
    scene.setSceneRect(0, 0, 400, 300);
    QGraphicsView view(&scene);
    view.setFrameShape(QFrame::NoFrame);
    view.move(120, 70);
    view.resize(400, 300);
    view.show();
    auto* tooltip = new CTooltip();
    scene.addItem(tooltip);
    // The pointer on the scene point (200, 120).
    QCursor::setPos(view.viewport()->mapToGlobal(view.mapFromScene(QPointF(200, 120))));
    ASSERT_EQ(view.mapToScene(view.viewport()->mapFromGlobal(QCursor::pos())), QPointF(200, 120));
    tooltip->Show(nullptr, QStringLiteral("Here"));
    EXPECT_EQ(tooltip->pos(), QPointF(216, 104));
}

TEST_F(PopupsTest, TextItemsPlaceThemselvesBesideAnotherItem)
{
    QGraphicsRectItem parent(0, 0, 120, 40);
    parent.setPen(Qt::NoPen);
    CTextItem text(QStringLiteral("Label"));
    CSimpleTextItem simple(QStringLiteral("Name"));
    const QSize textSize = WholePixelSize(&text);
    const QSize simpleSize = WholePixelSize(&simple);
    const struct {
        const char* slot;
        int margin;
        QPointF text;
        QPointF simple;
    } cases[] = {
        {"SetRightPosOf", 0, {120, 0}, {120, 0}},
        {"SetRightPosOf", 6, {126, 0}, {126, 0}},
        {"SetLeftPosOf", 5, {-textSize.width() - 5.0, 0}, {-simpleSize.width() - 5.0, 0}},
        {"SetTopPosOf", 0, {0, -textSize.height() + 0.0}, {0, -simpleSize.height() + 0.0}},
        {"SetBottomPosOf", 3, {0, 43}, {0, 43}},
    };
    for (const auto& row : cases) {
        ASSERT_TRUE(QMetaObject::invokeMethod(&text, row.slot, Q_ARG(QGraphicsItem*, &parent),
                                              Q_ARG(int, row.margin)));
        ASSERT_TRUE(QMetaObject::invokeMethod(&simple, row.slot, Q_ARG(QGraphicsItem*, &parent),
                                              Q_ARG(int, row.margin)));
        EXPECT_EQ(text.pos(), row.text) << row.slot << " " << row.margin;
        EXPECT_EQ(simple.pos(), row.simple) << row.slot << " " << row.margin;
        EXPECT_EQ(text.parentItem(), &parent);
        EXPECT_EQ(simple.parentItem(), &parent);
    }
    text.setParentItem(nullptr);
    simple.setParentItem(nullptr);
    // The one-argument form has no margin: the bottom lies on the parent's top.
    text.SetTopPosOf(&parent);
    EXPECT_EQ(text.y() + textSize.height(), 0);
    text.setParentItem(nullptr);
}

TEST_F(PopupsTest, TextItemsReportThePointer)
{
    auto* text = new CTextItem(QStringLiteral("Hover me"));
    auto* simple = new CSimpleTextItem(QStringLiteral("Me too"));
    scene.addItem(text);
    scene.addItem(simple);
    std::vector<const QGraphicsItem*> reports;
    QObject::connect(text, &CTextItem::Hovered,
                     [&reports](const CTextItem* item) { reports.push_back(item); });
    QObject::connect(simple, &CSimpleTextItem::Hovered,
                     [&reports](const CSimpleTextItem* item) { reports.push_back(item); });
    Hover(text, true);
    Hover(text, false);
    Hover(simple, true);
    Hover(simple, false);
    EXPECT_EQ(reports, (std::vector<const QGraphicsItem*>{text, nullptr, simple, nullptr}));
    EXPECT_EQ(text->font().pixelSize(), 14);
    EXPECT_EQ(simple->font().pixelSize(), 16);
    EXPECT_EQ(text->defaultTextColor(), TextColor);
}

TEST_F(PopupsTest, LogoCentresItsPicture)
{
    InitResources();
    CLogoItem logo(QStringLiteral(":/Resources/Compass.png"));
    ASSERT_EQ(logo.pixmap().size(), QSize(48, 48));
    logo.CenterIn(QSize(101, 200), QPoint(10, 20));
    EXPECT_EQ(logo.pos(), QPointF(10 + 26, 20 + 76));
}

} // namespace
