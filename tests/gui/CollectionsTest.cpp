#include "gui/Collections.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QPen>
#include <QSpinBox>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

QGraphicsRectItem* Box(qreal width, qreal height, QGraphicsItem* parent)
{
    auto* box = new QGraphicsRectItem(0, 0, width, height, parent);
    box->setPen(Qt::NoPen);
    return box;
}

class CollectionsTest : public ShellTest {
  protected:
    QGraphicsScene scene;
};

TEST_F(CollectionsTest, ValueColumnIsAtMostTwoThirdsAndLabelsTakeTheRest)
{
    auto* list = new CListCollection(QRectF(0, 0, 300, 100));
    scene.addItem(list);
    CTextItem* label =
        list->CreateTextItem(QStringLiteral("A label long enough to wrap in its column"), list);
    list->GetLabels() << label;
    QGraphicsRectItem* value = Box(250, 20, list);
    list->GetValues() << value;
    list->AdjustPosition(QSize(300, 100));
    EXPECT_EQ(value->rect().width(), 200);
    EXPECT_EQ(label->textWidth(), 88);
    EXPECT_EQ(label->pos(), QPointF(8, 0));
    EXPECT_EQ(value->x(), 300 - 200 - 8);
}

TEST_F(CollectionsTest, TextValueTooWideWrapsAtTheLimitAndNarrowValuesStayRightAligned)
{
    auto* list = new CListCollection(QRectF(0, 0, 240, 10));
    scene.addItem(list);
    CTextItem* wide = list->CreateTextItem(QString(60, QLatin1Char('w')) + QStringLiteral(" words"), list);
    CTextItem* narrow = list->CreateTextItem(QStringLiteral("12"), list);
    list->GetValues() << wide << narrow;
    list->GetLabels() << list->CreateTextItem(QStringLiteral("First"), list)
                      << list->CreateTextItem(QStringLiteral("Second"), list);
    list->AdjustPosition(QSize(240, 10));
    EXPECT_LE(WholePixelSize(wide).width(), 160);
    EXPECT_EQ(narrow->x() + WholePixelSize(narrow).width(), 240 - 8);
}

TEST_F(CollectionsTest, RowsStackUnderTheOffsetItemAndValuesAlignWithTallerLabels)
{
    for (const bool hasOffset : {false, true}) {
        SCOPED_TRACE(hasOffset ? "with offset" : "without offset");
        auto* list = new CListCollection(QRectF(0, 0, 300, 50));
        scene.addItem(list);
        QGraphicsRectItem* offset = hasOffset ? Box(100, 30, list) : nullptr;
        // Row 0: the label taller; row 1: the value taller.
        list->GetLabels() << Box(50, 40, list) << Box(50, 10, list);
        list->GetValues() << Box(60, 20, list) << Box(60, 25, list);
        list->AdjustToOffsetItem(offset);
        const qreal top = hasOffset ? 30 : 0;
        EXPECT_EQ(list->GetLabels()[0]->pos(), QPointF(8, top));
        EXPECT_EQ(list->GetValues()[0]->pos(), QPointF(300 - 60 - 8, top + 20));
        EXPECT_EQ(list->GetLabels()[1]->pos(), QPointF(8, top + 40));
        EXPECT_EQ(list->GetValues()[1]->pos(), QPointF(232, top + 40));
        EXPECT_EQ(list->rect(), QRectF(0, 0, 300, top + 65));
        // Upper rows lie over the rows below them.
        EXPECT_EQ(list->GetLabels()[0]->zValue(), 2);
        EXPECT_EQ(list->GetLabels()[1]->zValue(), 1);
        EXPECT_EQ(list->GetValues()[0]->zValue(), 2);
        delete list;
    }
}

// A list that spaces its rows and leaves room below them.
class CSpacedList : public CListCollection {
  public:
    using CListCollection::CListCollection;
    int RowSpacing() const override { return 24; }
    int BottomMargin() const override { return 6; }
};

TEST_F(CollectionsTest, DerivedMetricsSpaceTheRows)
{
    auto* list = new CSpacedList(QRectF(0, 0, 200, 0));
    scene.addItem(list);
    QGraphicsRectItem* head = Box(100, 30, list);
    list->GetLabels() << Box(40, 10, list) << Box(40, 10, list);
    list->GetValues() << Box(40, 10, list) << Box(40, 10, list);
    list->AdjustToOffsetItem(head);
    EXPECT_EQ(list->GetLabels()[0]->y(), 54);
    EXPECT_EQ(list->GetLabels()[1]->y(), 88);
    EXPECT_EQ(list->rect().height(), 104);
}

TEST_F(CollectionsTest, ClearDeletesEveryChildAndEmptiesTheColumns)
{
    auto* list = new CListCollection(QRectF(0, 0, 200, 0));
    scene.addItem(list);
    CTextItem* value = list->CreateTextItem(QStringLiteral("1"), list);
    list->GetValues() << value;
    EXPECT_EQ(list->CreateTextItem(QStringLiteral("label"), list)->zValue(), 101);
    Box(10, 10, list);
    list->Clear();
    EXPECT_TRUE(list->childItems().isEmpty());
    EXPECT_TRUE(list->GetLabels().isEmpty());
    EXPECT_TRUE(list->GetValues().isEmpty());
    EXPECT_EQ(scene.items().size(), 1);
}

class SettingsTest : public CollectionsTest {
  protected:
    void SetUp() override
    {
        CollectionsTest::SetUp();
        collection = new CSettingsCollection();
        scene.addItem(collection);
    }
    static QSpinBox* Spin(int width)
    {
        auto* box = new QSpinBox();
        box->setFixedSize(width, 24);
        return box;
    }
    CSettingsCollection* collection = nullptr;
};

TEST_F(SettingsTest, RowsStackOneZLevelBelowTheOneBefore)
{
    QGraphicsItem* first =
        collection->AddRow(QStringLiteral("First"), Spin(60), nullptr, QStringLiteral("one"));
    QGraphicsItem* second =
        collection->AddRow(QStringLiteral("Second"), Spin(60), first, QStringLiteral("two"));
    QGraphicsItem* bare = collection->AddRow(QStringLiteral("Bare"), nullptr, second);
    EXPECT_EQ(first->zValue(), 100);
    EXPECT_EQ(second->zValue(), 99);
    EXPECT_EQ(bare, second);
    EXPECT_EQ(collection->GetRowItem(2), nullptr); // not laid out twice
    EXPECT_EQ(collection->GetWidgetItem(1), second);
    EXPECT_EQ(collection->GetWidgetItem(1)->GetHelpText(), "two");
    EXPECT_EQ(collection->GetLabel(0)->zValue(), -1);
}

TEST_F(SettingsTest, RequiredWidthAndRowLayoutSkipRowsWithoutWidgets)
{
    EXPECT_EQ(collection->GetRequiredWidth(), 0);
    QGraphicsItem* previous = collection->AddRow(QStringLiteral("Volume"), Spin(80));
    collection->AddRow(QStringLiteral("A label without a widget"), nullptr);
    QGraphicsItem* last = collection->AddRow(QStringLiteral("Name"), new QLineEdit(), previous);
    const auto width = [](int row, const CSettingsCollection& c) {
        return WholePixelSize(c.GetLabel(row)).width() + WholePixelSize(c.GetRowItem(row)).width() + 30;
    };
    EXPECT_EQ(collection->GetRequiredWidth(), std::max(width(0, *collection), width(2, *collection)));

    collection->LayoutRows(400);
    qreal y = 0;
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(collection->GetLabel(row)->pos(), QPointF(0, y)) << row;
        if (QGraphicsItem* item = collection->GetRowItem(row)) {
            EXPECT_EQ(item->pos(), QPointF(400 - WholePixelSize(item).width(), y)) << row;
        }
        y += WholePixelSize(collection->GetLabel(row)).height() + 16;
    }
    EXPECT_EQ(collection->rect().width(), 400);
    EXPECT_EQ(collection->rect().height(), last->y() + WholePixelSize(last).height());
}

TEST_F(SettingsTest, LastCollectionPutsFourWidgetsInTwoRows)
{
    QGraphicsItem* items[4] = {};
    QGraphicsItem* previous = nullptr;
    for (int i = 0; i < 4; ++i)
        previous = items[i] = collection->AddRow(QString(), Spin(50 + 10 * i), previous);
    collection->LayoutRowsOfLast(300);
    EXPECT_EQ(items[0]->pos(), QPointF(250, 0));
    EXPECT_EQ(items[1]->pos(), QPointF(240, 0));
    EXPECT_EQ(items[2]->pos(), QPointF(0, 24 + 15));
    EXPECT_EQ(items[3]->pos(), QPointF(220, 39));
    EXPECT_EQ(collection->rect(), QRectF(0, 0, 300, 63));
}

TEST_F(SettingsTest, LastCollectionWithFewerWidgetsFallsBackToRows)
{
    QGraphicsItem* first = collection->AddRow(QStringLiteral("One"), Spin(50));
    collection->AddRow(QStringLiteral("Two"), nullptr);
    collection->LayoutRowsOfLast(200);
    EXPECT_EQ(first->pos(), QPointF(150, 0));
}

TEST_F(SettingsTest, PointingAtALabelOrItsWidgetSendsTheHelp)
{
    SignalSpy help(collection, &CSettingsCollection::HelpSent);
    auto* item = static_cast<CWidgetItem*>(
        collection->AddRow(QStringLiteral("Volume"), Spin(60), nullptr, QStringLiteral("How loud")));
    Hover(collection->GetLabel(0), true);
    Hover(collection->GetLabel(0), false);
    Hover(item, true);
    Hover(item, false);
    ASSERT_EQ(help.count(), 4);
    EXPECT_EQ(help[0][0].toString(), "How loud");
    EXPECT_EQ(help[1][0].toString(), "");
    EXPECT_EQ(help[2][0].toString(), "How loud");
    EXPECT_EQ(help[3][0].toString(), "");
}

TEST_F(SettingsTest, FramedRowHoldsTwoLabelledWidgetsOnOneLine)
{
    QGraphicsItem* previous = collection->AddRow(QStringLiteral("Mission"), Spin(90));
    CFramedRow* frame = collection->AddFramedRow(QStringLiteral("Row"), QStringLiteral("Col"), Spin(50),
                                                 Spin(50), previous, QStringLiteral("Map size"));
    QGraphicsItem* row = collection->AddRow(QStringLiteral("Map Size"), nullptr, frame);
    EXPECT_EQ(row, frame);
    EXPECT_EQ(frame->zValue(), 99);
    const CTextItem* first = frame->GetFirstLabel();
    const CWidgetItem* firstWidget = frame->GetFirstWidgetItem();
    const CTextItem* second = frame->GetSecondLabel();
    const CWidgetItem* secondWidget = frame->GetSecondWidgetItem();
    EXPECT_EQ(first->pos(), QPointF(8, 0));
    EXPECT_EQ(firstWidget->pos(), QPointF(8 + WholePixelSize(first).width() + 4, 0));
    EXPECT_EQ(second->x(), firstWidget->x() + 50 + 8);
    EXPECT_EQ(secondWidget->x(), second->x() + WholePixelSize(second).width() + 4);
    EXPECT_EQ(frame->rect(), QRectF(0, 0, secondWidget->x() + 50, 24));

    // The frame takes the row's widget place.
    collection->LayoutRows(360);
    EXPECT_EQ(frame->pos(), QPointF(360 - frame->rect().width(), collection->GetLabel(1)->y()));

    SignalSpy help(collection, &CSettingsCollection::HelpSent);
    Hover(frame->GetSecondLabel(), true);
    Hover(const_cast<CWidgetItem*>(firstWidget), true);
    ASSERT_EQ(help.count(), 2);
    EXPECT_EQ(help[0][0].toString(), "Map size");
    EXPECT_EQ(help[1][0].toString(), "Map size");
}

TEST_F(SettingsTest, ShowAndHideReport)
{
    SignalSpy shown(collection, &CSettingsCollection::Shown);
    SignalSpy hidden(collection, &CSettingsCollection::Hidden);
    collection->Hide();
    EXPECT_FALSE(collection->isVisible());
    collection->Show();
    EXPECT_TRUE(collection->isVisible());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(hidden.count(), 1);
}

} // namespace
