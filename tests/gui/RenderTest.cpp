// Renders of the items as a player sees them, in English and in Japanese,
// saved under the build folder (tests/gui/renders) for a look.
#include "gui/Collections.h"
#include "gui/Fonts.h"
#include "gui/HelpTexts.h"
#include "gui/Popups.h"
#include "gui/ResourcePools.h"
#include "gui/SelectionList.h"
#include "gui/Style.h"
#include "gui/Translations.h"
#include "gui/Widgets.h"
#include "model/texts/StatisticsTexts.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QTranslator>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct Look {
    const char* suffix;
    bool isJapanese;
    bool isOpenGL; // the fonts follow the OpenGL setting
};

const Look Looks[] = {{"en", false, true}, {"ja", true, true}, {"ja-plain", true, false}};

QString Tr(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

class RenderTest : public ShellTest, public ::testing::WithParamInterface<Look> {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ReloadApplicationFonts(QStringLiteral(MAREVANE_JAPANESE_BOLD_FONT));
        CSystemConfig::GetInstance().OpenGL = GetParam().isOpenGL;
        // The input widgets take the text font, as at start-up.
        for (const char* className : {"Marevane::CPushButton", "QAbstractSpinBox", "QComboBox", "QLineEdit"})
            QApplication::setFont(RebuildSharedFonts().text, className);
        if (GetParam().isJapanese) {
            ASSERT_TRUE(LoadProgramTranslation(translator, QLocale(QLocale::Japanese)));
            QCoreApplication::installTranslator(&translator);
        }
        Activate(scene);
    }
    void TearDown() override
    {
        QCoreApplication::removeTranslator(&translator);
        ShellTest::TearDown();
        RebuildSharedFonts();
    }

    // Saves the area; every visible item must lie inside it.
    void Save(const QString& name, const QRectF& area)
    {
        for (const QGraphicsItem* item : scene.items()) {
            if (!item->isVisible() || item->parentItem() != nullptr) continue;
            const QRectF bounds = item->sceneBoundingRect();
            if (bounds.isEmpty()) continue;
            EXPECT_TRUE(area.contains(bounds))
                << name.toStdString() << ": an item at (" << bounds.x() << ", " << bounds.y() << ") "
                << bounds.width() << " x " << bounds.height() << " is cut";
        }
        const QImage picture = RenderScene(scene, area);
        const QString path = SaveRender(picture, name + QLatin1Char('-') + QLatin1String(GetParam().suffix));
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    }

    QTranslator translator;
    QGraphicsScene scene;
};

TEST_P(RenderTest, SelectionLists)
{
    scene.setBackgroundBrush(QBrush(CPanelResourcePool::GetInstance().Get(PanelSea)));
    // The question and the menu first; the last list shown keeps the keyboard focus.
    CConfirmationItem question;
    scene.addItem(&question);
    question.Show(QPointF(200, 16), Callback());

    CSelectionListItem menu;
    scene.addItem(&menu);
    CallbackSets commands;
    for (const char* name : {"Attack", "Move", "Mine", "Torpedo", "Refuel", "Change Flagship"})
        commands.emplace_back(Tr("QObject", name), Callback());
    menu.Show(QPointF(16, 16), commands);
    Hover(menu.GetRows()[1], true); // the pointer on the second row

    CSelectionListItem ships;
    scene.addItem(&ships);
    CallbackSets rows;
    const char* words[] = {"Battleship", "Destroyer", "Submarine", "Oiler"};
    for (int i = 0; i < 25; ++i)
        rows.emplace_back(QStringLiteral("%1 %2").arg(Tr("QObject", words[i % 4])).arg(i + 1), Callback());
    ships.Show(QPointF(16, 220), rows);
    for (int i = 0; i < 13; ++i) PressKey(scene, Qt::Key_Down);

    Save(QStringLiteral("selection-lists"), QRectF(0, 0, 720, 500));
    for (QGraphicsItem* item : {static_cast<QGraphicsItem*>(&menu), static_cast<QGraphicsItem*>(&ships),
                                static_cast<QGraphicsItem*>(&question)})
        scene.removeItem(item);
}

TEST_P(RenderTest, PopupsBarAndTooltip)
{
    scene.setBackgroundBrush(QBrush(CPanelResourcePool::GetInstance().Get(PanelSea)));
    auto* anchor = scene.addRect(0, 0, 720, 420, QPen(Qt::NoPen));
    auto* bar = new CNotificationBar(anchor);
    scene.addItem(bar);
    bar->Show(Tr("Marevane::CGUICore", "The Current Turn Starts."), 0);

    auto* popup = new CPopup();
    scene.addItem(popup);
    popup->Show(QPointF(40, 80),
                Tr("Marevane::CGUICore",
                   "Network Connection is Failed.\nPlease confirm your settings and retry to "
                   "connect.\n(Notice: Server has to be ready before client connects)"));

    auto* ship = scene.addPixmap(CShipResourcePool::GetInstance(0).GetPixmap(ShipTypeBattleship, ImageLeft));
    ship->setPos(96, 320);
    auto* tooltip = new CTooltip();
    scene.addItem(tooltip);
    // A table of its own: the shared one keeps the language it was first built in.
    tooltip->Show(ship, CShipHelp().Get(ShipTypeBattleship).section(QLatin1Char('\n'), 0, 0));

    auto* help = new CPopup();
    scene.addItem(help);
    help->SetWidth(300);
    help->SetFixedWidth();
    help->Show(QPointF(380, 250), CPanelHelp().Get(PanelHighWave));

    Save(QStringLiteral("popups"), QRectF(0, 0, 720, 420));
}

TEST_P(RenderTest, Collections)
{
    scene.setBackgroundBrush(QBrush(PanelColor));
    ShipStatistics statistics{};
    const std::uint32_t counts[ShipStatCount] = {12, 5, 9, 2, 3, 4, 0, 1, 1, 0, 14, 23, 1, 2, 40, 0, 31};
    for (std::size_t i = 0; i < ShipStatCount; ++i) statistics[i] = counts[i];
    const StatisticsTexts texts = GetStatisticsTextLists(statistics);
    auto* list = new CListCollection(QRectF(0, 0, 330, 0));
    scene.addItem(list);
    list->setPos(8, 8);
    CTextItem* title = list->CreateTextItem(Tr("QObject", "Destroyer") + QStringLiteral(" 2"), list);
    title->setFont(LargeTextFont());
    title->setPos(8, 0);
    for (const QString& value : texts.second) list->GetValues() << list->CreateTextItem(value, list);
    for (const QString& label : texts.first) list->GetLabels() << list->CreateTextItem(label, list);
    list->AdjustToOffsetItem(title);

    auto* settings = new CSettingsCollection();
    scene.addItem(settings);
    settings->setPos(360, 16);
    auto* level = new QComboBox();
    level->addItems({QStringLiteral("VERY EASY"), QStringLiteral("NORMAL"), QStringLiteral("EXTREME")});
    auto* volume = new CSlider();
    volume->setRange(0, 100);
    volume->setValue(70);
    volume->setFixedWidth(150);
    auto* rows = new CSpinBox();
    rows->setRange(3, 9);
    rows->setValue(5);
    auto* columns = new CSpinBox();
    columns->setRange(3, 9);
    columns->setValue(7);
    auto* name = new CLineEdit();
    name->setText(QStringLiteral("Alice"));
    QGraphicsItem* previous = settings->AddRow(Tr("QObject", "Auto"), level, nullptr, QString());
    previous = settings->AddRow(Tr("QObject", "Sea"), volume, previous, QString());
    CFramedRow* frame = settings->AddFramedRow(Tr("QObject", "North"), Tr("QObject", "East"), rows, columns,
                                               previous, QString());
    previous = settings->AddRow(Tr("QObject", "Reef"), nullptr, frame);
    settings->AddRow(Tr("QObject", "Client"), name, previous, QString());
    settings->LayoutRows(std::max(settings->GetRequiredWidth(), 300));

    auto* buttons = new CSettingsCollection();
    scene.addItem(buttons);
    QGraphicsItem* last = nullptr;
    for (const char* text : {"Reinforce", "Resign", "Refuel", "Move"})
        last =
            buttons->AddRow(QString(), new CPushButton(Tr("QObject", text), Sound::SeDefaultSelected), last);
    buttons->GetRowItem(1)->hide(); // the second of the first row stands in for the first
    buttons->LayoutRowsOfLast(300);
    buttons->setPos(360, settings->y() + settings->rect().height() + 24);

    Save(QStringLiteral("collections"), QRectF(0, 0, 720, 480));
}

INSTANTIATE_TEST_SUITE_P(Looks, RenderTest, ::testing::ValuesIn(Looks),
                         [](const ::testing::TestParamInfo<Look>& info) {
                             QString name = QString::fromLatin1(info.param.suffix);
                             return name.remove(QLatin1Char('-')).toStdString();
                         });

} // namespace
