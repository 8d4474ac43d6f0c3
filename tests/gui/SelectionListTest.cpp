#include "gui/SelectionList.h"
#include "gui/Style.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QGraphicsScene>
#include <QPointer>

#include <memory>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

CallbackSets Rows(int count, std::vector<int>* chosen = nullptr)
{
    CallbackSets rows;
    for (int i = 0; i < count; ++i) {
        Callback callback;
        if (chosen != nullptr) callback = [chosen, i] { chosen->push_back(i); };
        // Texts of different lengths, so the widest sets the width.
        rows.emplace_back(QStringLiteral("Row %1%2").arg(i).arg(QString(i % 7, QLatin1Char('x'))), callback);
    }
    return rows;
}

class SelectionListTest : public ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        Activate(scene);
    }

    // A list in the scene, shown at (40, 30).
    CSelectionListItem* MakeList(int rows, bool isCancelShown, std::vector<int>* chosen = nullptr,
                                 Callback cancel = Callback())
    {
        auto* list = new CSelectionListItem(Rows(rows, chosen), cancel);
        if (!isCancelShown) list->SetCancelText(QString());
        scene.addItem(list);
        list->Show(QPointF(40.4, 29.6));
        return list;
    }

    SoundRecorder sounds;
    QGraphicsScene scene;
};

int WidestRow(const CSelectionListItem& list)
{
    int width = list.GetCancelRow()->isVisible() ? list.GetCancelRow()->GetBaseWidth() : 0;
    for (const CConfirmationText* row : list.GetRows()) width = std::max(width, row->GetBaseWidth());
    return width;
}

TEST_F(SelectionListTest, LayoutInColumnsOfTenWithTheCancelRowUnderTheLast)
{
    const struct {
        int rows;
        bool isCancelShown;
        int columns;
        int heightInRows;
        int cancelColumn;
        int cancelSlot;
    } cases[] = {
        {0, true, 1, 1, 0, 0},    {5, true, 1, 6, 0, 5},      {5, false, 1, 5, -1, -1},
        {10, true, 1, 11, 0, 10}, {11, true, 2, 10, 1, 1},    {20, true, 2, 11, 1, 10},
        {25, true, 3, 10, 2, 5},  {25, false, 3, 10, -1, -1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << row.rows << " rows, cancel " << row.isCancelShown);
        CSelectionListItem* list = MakeList(row.rows, row.isCancelShown);
        const int p = 1;
        const int width = WidestRow(*list);
        const int height = static_cast<int>(list->GetCancelRow()->rect().height());
        EXPECT_EQ(list->pos(), QPointF(40, 30));
        EXPECT_EQ(list->rect(), QRectF(0, 0, row.columns * width + p, row.heightInRows * (p + height)));
        for (int i = 0; i < row.rows; ++i) {
            const CConfirmationText* item = list->GetRows()[i];
            EXPECT_EQ(item->pos(), QPointF((i / 10) * width + p, (i % 10) * (p + height) + p)) << "row " << i;
            EXPECT_EQ(item->rect().width(), width);
        }
        EXPECT_EQ(list->GetCancelRow()->isVisible(), row.isCancelShown);
        if (row.isCancelShown) {
            EXPECT_EQ(list->GetCancelRow()->pos(),
                      QPointF(row.cancelColumn * width + p, row.cancelSlot * (p + height) + p));
        }
        EXPECT_EQ(list->zValue(), 10000);
        delete list;
    }
}

TEST_F(SelectionListTest, KeysMoveTheIndexWithWrapAndPaging)
{
    const struct {
        int rows;
        bool isCancelShown;
        int start;
        int key;
        int expected;
    } cases[] = {
        {25, true, 22, Qt::Key_Right, 25}, {25, false, 22, Qt::Key_Right, 24},
        {25, true, 12, Qt::Key_Right, 22}, {25, true, 3, Qt::Key_Left, 25},
        {25, false, 3, Qt::Key_Left, 24},  {25, true, 12, Qt::Key_Left, 2},
        {25, true, 25, Qt::Key_Down, 0},   {25, true, 0, Qt::Key_Up, 25},
        {5, true, 2, Qt::Key_Right, 3},    {5, true, 2, Qt::Key_Left, 1},
        {5, true, 5, Qt::Key_Down, 0},     {5, true, 0, Qt::Key_Up, 5},
        {5, false, 0, Qt::Key_Up, 4},      {5, false, 4, Qt::Key_Down, 0},
        {1, false, 0, Qt::Key_Down, 0},    {0, true, 0, Qt::Key_Down, 0},
        {0, true, 0, Qt::Key_Up, 0},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << row.rows << " rows, cancel " << row.isCancelShown << ", from "
                                        << row.start << ", key " << std::hex << row.key);
        std::unique_ptr<CSelectionListItem> list(MakeList(row.rows, row.isCancelShown));
        for (int i = 0; i < row.start; ++i) PressKey(scene, Qt::Key_Down);
        ASSERT_EQ(list->GetCurrentIndex(), row.start);
        sounds.Reset();
        PressKey(scene, row.key);
        EXPECT_EQ(list->GetCurrentIndex(), row.expected);
        // The focus and the highlight follow the index.
        const CConfirmationText* expected =
            row.expected < row.rows ? list->GetRows()[row.expected] : list->GetCancelRow();
        if (expected->isVisible()) {
            EXPECT_EQ(scene.focusItem(), expected);
            EXPECT_TRUE(expected->IsFocused());
        }
        const bool isPointed = row.rows >= 2 || (row.rows == 1 && row.isCancelShown);
        EXPECT_EQ(sounds.Count(Sound::SeDefaultPointed), isPointed ? 1 : 0);
        EXPECT_TRUE(list->isVisible());
    }
}

TEST_F(SelectionListTest, ShowingAgainStartsAtTheFirstRow)
{
    std::vector<int> chosen;
    std::unique_ptr<CSelectionListItem> list(MakeList(5, true, &chosen));
    PressKey(scene, Qt::Key_Down);
    PressKey(scene, Qt::Key_Down);
    list->Hide();
    list->Show(QPointF(0, 0));
    EXPECT_EQ(list->GetCurrentIndex(), 0);
    EXPECT_EQ(scene.focusItem(), list->GetRows()[0]);
    PressKey(scene, Qt::Key_Down);
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(chosen, std::vector<int>{1});
}

TEST_F(SelectionListTest, ReturnEnterAndClickChooseOnceAndHide)
{
    const struct {
        const char* how;
        int key; // 0: a left click on row 3
    } ways[] = {{"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"click", 0}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        std::vector<int> chosen;
        std::unique_ptr<CSelectionListItem> list(MakeList(5, true, &chosen));
        SignalSpy selected(list.get(), &CSelectionListItem::ItemSelected);
        SignalSpy canceled(list.get(), &CSelectionListItem::CancelSelected);
        if (way.key != 0) {
            for (int i = 0; i < 3; ++i) PressKey(scene, Qt::Key_Down);
            PressKey(scene, way.key);
        } else {
            ClickItem(scene, list->GetRows()[3]); // the index stays at 0
        }
        EXPECT_EQ(chosen, std::vector<int>{3});
        EXPECT_EQ(selected.count(), 1);
        EXPECT_EQ(canceled.count(), 0);
        EXPECT_FALSE(list->isVisible());
    }
}

TEST_F(SelectionListTest, CancelByEscapeBackspaceRightClickAndTheCancelRow)
{
    const struct {
        const char* how;
        int key;
    } ways[] = {{"Escape", Qt::Key_Escape},
                {"Backspace", Qt::Key_Backspace},
                {"right click", 0},
                {"Return on the cancel row", Qt::Key_Return},
                {"click on the cancel row", -1}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        std::vector<int> chosen;
        int cancels = 0;
        std::unique_ptr<CSelectionListItem> list(MakeList(3, true, &chosen, [&cancels] { ++cancels; }));
        SignalSpy canceled(list.get(), &CSelectionListItem::CancelSelected);
        if (way.key == 0) {
            ClickItem(scene, list->GetRows()[1], Qt::RightButton);
        } else if (way.key == -1) {
            ClickItem(scene, list->GetCancelRow());
        } else {
            if (way.key == Qt::Key_Return) PressKey(scene, Qt::Key_Up); // onto the cancel row
            PressKey(scene, way.key);
        }
        EXPECT_EQ(cancels, 1);
        EXPECT_EQ(canceled.count(), 1);
        EXPECT_TRUE(chosen.empty());
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 0);
    }
}

TEST_F(SelectionListTest, ChoicesWithoutHandlersSoundAndStillReport)
{
    std::unique_ptr<CSelectionListItem> list(MakeList(2, true));
    SignalSpy selected(list.get(), &CSelectionListItem::ItemSelected);
    SignalSpy canceled(list.get(), &CSelectionListItem::CancelSelected);
    PressKey(scene, Qt::Key_Return);
    list->Show(QPointF(0, 0));
    PressKey(scene, Qt::Key_Escape);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), 1);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 1);
    EXPECT_TRUE(sounds.AllDucked());
    EXPECT_EQ(selected.count(), 1);
    EXPECT_EQ(canceled.count(), 1);
}

TEST_F(SelectionListTest, HoverLightsARowWithTheSoundAndLeavingDarkensIt)
{
    std::unique_ptr<CSelectionListItem> list(MakeList(3, true));
    CConfirmationText* row = list->GetRows()[2];
    Hover(row, true);
    EXPECT_EQ(row->brush().color(), HighlightColor);
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultPointed});
    Hover(row, false);
    EXPECT_EQ(row->brush().color(), TransparentColor);
}

// A choice whose callback shows the same list with new rows: the rows of
// the old list must live until their handlers return, and the key that
// chose must not reach the new rows.
TEST_F(SelectionListTest, CallbackRebuildingTheListRunsOnce)
{
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "Return" : "click");
        auto* list = new CSelectionListItem();
        scene.addItem(list);
        int firstRuns = 0;
        int secondRuns = 0;
        SignalSpy selected(list, &CSelectionListItem::ItemSelected);
        list->Show(QPointF(0, 0), {{QStringLiteral("Open"), [&] {
                                        ++firstRuns;
                                        list->Show(QPointF(10, 10),
                                                   {{QStringLiteral("Again"), [&] { ++secondRuns; }},
                                                    {QStringLiteral("Other"), [&] { ++secondRuns; }}});
                                    }}});
        const QPointer<CConfirmationText> first(list->GetRows()[0]);
        if (byKey) {
            PressKey(scene, Qt::Key_Return);
        } else {
            ClickItem(scene, first.data());
        }
        EXPECT_EQ(firstRuns, 1);
        EXPECT_EQ(secondRuns, 0);
        EXPECT_EQ(selected.count(), 1);
        EXPECT_TRUE(list->isVisible());
        ASSERT_EQ(list->GetRowCount(), 2);
        EXPECT_EQ(scene.focusItem(), list->GetRows()[0]);
        // The old row left the scene at once and is deleted afterwards.
        ASSERT_FALSE(first.isNull());
        EXPECT_EQ(first->scene(), nullptr);
        Settle();
        EXPECT_TRUE(first.isNull());
        PressKey(scene, Qt::Key_Return);
        EXPECT_EQ(secondRuns, 1);
        delete list;
    }
}

// A choice whose callback shows the same rows again (a menu that stays up):
// one Return is one choice.
TEST_F(SelectionListTest, CallbackShowingTheListAgainRunsOncePerKey)
{
    auto* list = new CSelectionListItem();
    scene.addItem(list);
    int runs = 0;
    SignalSpy selected(list, &CSelectionListItem::ItemSelected);
    list->Show(QPointF(0, 0), {{QStringLiteral("Again"), [&] {
                                    ++runs;
                                    list->Show(QPointF(0, 0));
                                }}});
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(selected.count(), 1);
    EXPECT_TRUE(list->isVisible());
    PressKey(scene, Qt::Key_Enter);
    EXPECT_EQ(runs, 2);
    delete list;
}

TEST_F(SelectionListTest, ClearKeepsTheCancelRowAndDropsTheRows)
{
    int cancels = 0;
    std::unique_ptr<CSelectionListItem> list(MakeList(4, true, nullptr, [&cancels] { ++cancels; }));
    const QPointer<CConfirmationText> row(list->GetRows()[0]);
    list->Clear();
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_EQ(list->GetCurrentIndex(), 0);
    EXPECT_FALSE(scene.items().contains(row.data()));
    EXPECT_EQ(list->GetCancelRow()->scene(), &scene);
    list->SelectCancel();
    EXPECT_EQ(cancels, 0); // the cancel callback went with the rows
    list->AddItem(QStringLiteral("New"), Callback());
    EXPECT_EQ(list->GetRowCount(), 1);
    list.reset(); // rows cleared but not yet deleted go with the list
    EXPECT_TRUE(row.isNull());
}

TEST_F(SelectionListTest, ALongerCancelTextWidensTheRow)
{
    std::unique_ptr<CSelectionListItem> list(MakeList(1, true));
    const int before = list->GetCancelRow()->GetBaseWidth();
    list->SetCancelText(QStringLiteral("Back to the title screen"));
    EXPECT_GT(list->GetCancelRow()->GetBaseWidth(), before);
    EXPECT_GE(list->rect().width(), list->GetCancelRow()->GetBaseWidth());
    // A shorter row set shows the list narrower again.
    list->SetCancelText(QStringLiteral("No"));
    list->Show(QPointF(0, 0), {{QStringLiteral("Yes"), Callback()}});
    EXPECT_EQ(list->rect().width(), 1 + WidestRow(*list));
}

TEST_F(SelectionListTest, ConfirmationOkAndCancel)
{
    CConfirmationItem confirmation;
    scene.addItem(&confirmation);
    EXPECT_EQ(confirmation.GetOkText(), "Yes");
    EXPECT_EQ(confirmation.GetCancelRow()->text(), "No");
    EXPECT_FALSE(confirmation.isVisible());
    int oks = 0;
    int cancels = 0;
    SignalSpy okSelected(&confirmation, &CConfirmationItem::OkSelected);
    confirmation.Show(
        QPointF(5, 5), [&oks] { ++oks; }, [&cancels] { ++cancels; });
    ASSERT_EQ(confirmation.GetRowCount(), 1);
    EXPECT_EQ(confirmation.GetRows()[0]->text(), "Yes");
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(okSelected.count(), 1);
    confirmation.Show(
        QPointF(5, 5), [&oks] { ++oks; }, [&cancels] { ++cancels; });
    PressKey(scene, Qt::Key_Down);
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(okSelected.count(), 1);
    scene.removeItem(&confirmation);
}

TEST_F(SelectionListTest, ConfirmationWithoutCancelTextShowsTheOkRowAloneAndEscapeStillCancels)
{
    CConfirmationItem confirmation(QStringLiteral("OK"), QString());
    scene.addItem(&confirmation);
    SignalSpy canceled(&confirmation, &CSelectionListItem::CancelSelected);
    confirmation.Show(QPointF(0, 0));
    EXPECT_FALSE(confirmation.GetCancelRow()->isVisible());
    EXPECT_EQ(confirmation.rect().height(), 1 + confirmation.GetRows()[0]->rect().height());
    PressKey(scene, Qt::Key_Down); // stays on the only row
    EXPECT_EQ(confirmation.GetCurrentIndex(), 0);
    PressKey(scene, Qt::Key_Escape);
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 1);
    scene.removeItem(&confirmation);
}

TEST_F(SelectionListTest, ConfirmationTextsChangeForTheNextShow)
{
    CConfirmationItem confirmation;
    scene.addItem(&confirmation);
    confirmation.SetOkText(QStringLiteral("Start"));
    confirmation.Show(QPointF(0, 0));
    EXPECT_EQ(confirmation.GetRows()[0]->text(), "Yes"); // not rebuilt
    confirmation.Show(QPointF(0, 0), Callback());
    EXPECT_EQ(confirmation.GetRows()[0]->text(), "Start");
    confirmation.SetText(QStringLiteral("Send"));
    EXPECT_FALSE(confirmation.GetCancelRow()->isVisible());
    confirmation.SetText(QStringLiteral("Leave"), QStringLiteral("Stay"));
    confirmation.Show(QPointF(0, 0), Callback());
    EXPECT_EQ(confirmation.GetRows()[0]->text(), "Leave");
    EXPECT_EQ(confirmation.GetCancelRow()->text(), "Stay");
    EXPECT_TRUE(confirmation.GetCancelRow()->isVisible());
    scene.removeItem(&confirmation);
}

} // namespace
