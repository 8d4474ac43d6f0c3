// The icons of the map: panels with their highlights, clicks and sounds;
// ships with their pictures, labels and drag data; mines and torpedoes.
#include "gui/ResourcePools.h"
#include "model/Panel.h"
#include "screens/battle/PanelIcon.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QGraphicsScene>
#include <QMimeData>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using IconTest = ScreenTest;

struct ClickCase {
    const char* name;
    bool isBoundary, isSelectable, isSelected;
    int clicked, clickedSelectable, sounds;
    QColor selectionBrush;
};

class PanelIconClickTest : public ScreenTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(PanelIconClickTest, AClickIsReportedByTheStateOfThePanel)
{
    const ClickCase& c = GetParam();
    CBattleWorld world({3, 3, 1, 0, 1, false});
    QGraphicsScene scene;
    auto* icon = new CPanelIcon(c.isBoundary ? world.Panel(0, 1) : world.Panel(2, 2), 0, 0);
    scene.addItem(icon);
    icon->SetSelectable(c.isSelectable);
    icon->SetSelected(c.isSelected);
    SignalSpy clicked(icon, &CPanelIcon::Clicked);
    SignalSpy selectable(icon, &CPanelIcon::ClickedSelectable);
    icon->SendClick();
    EXPECT_EQ(clicked.size(), c.clicked) << c.name;
    EXPECT_EQ(selectable.size(), c.clickedSelectable) << c.name;
    EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), c.sounds) << c.name;
    EXPECT_TRUE(sounds.AllDucked());
    EXPECT_EQ(icon->GetSelectionBrush(), c.selectionBrush) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    States, PanelIconClickTest,
    ::testing::Values(ClickCase{"plain", false, false, false, 1, 0, 1, QColor(Qt::transparent)},
                      ClickCase{"selectable", false, true, false, 0, 1, 1, QColor(30, 30, 145, 105)},
                      ClickCase{"selected", false, false, true, 1, 0, 1, QColor(40, 165, 55, 105)},
                      ClickCase{"both", false, true, true, 0, 1, 1, QColor(40, 165, 55, 105)},
                      ClickCase{"boundary", true, true, false, 0, 0, 0, QColor(Qt::transparent)}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(IconTest, HoveringHighlightsAndSoundsUnlessThePanelIsSelected)
{
    CBattleWorld world({3, 3, 1, 0, 1, false});
    QGraphicsScene scene;
    auto* plain = new CPanelIcon(world.Panel(1, 1), 0, 0);
    auto* selected = new CPanelIcon(world.Panel(1, 2), 0, 0);
    scene.addItem(plain);
    scene.addItem(selected);
    selected->SetSelected(true);
    SignalSpy hovered(plain, &CPanelIcon::Hovered);
    SignalSpy hoveredSelected(selected, &CPanelIcon::Hovered);

    Hover(plain, true);
    EXPECT_EQ(plain->GetHoverBrush(), CPanelIcon::HoverColor());
    Hover(selected, true);
    EXPECT_EQ(selected->GetHoverBrush(), CPanelIcon::NormalColor());
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDefaultPointed});
    Hover(plain, false);
    EXPECT_EQ(plain->GetHoverBrush(), CPanelIcon::NormalColor());
    ASSERT_EQ(hovered.size(), 2);
    EXPECT_EQ(hovered[0][0].value<CPanelIcon*>(), plain);
    EXPECT_EQ(hovered[1][0].value<CPanelIcon*>(), nullptr);
    EXPECT_EQ(hoveredSelected.size(), 1);
}

TEST_F(IconTest, APanelStandsAtItsRowAndColumnAndShowsItsTypeOnlyOnceKnown)
{
    CBattleWorld world({4, 4, 1, 0, 1, false});
    CPanel* panel = world.Panel(2, 3);
    panel->SetType(PanelReef);
    CPanelIcon icon(panel, 10, 20);
    EXPECT_EQ(icon.pos(), QPointF(20 + 3 * 32, 10 + 2 * 32));
    EXPECT_EQ(icon.GetRect(), QRect(0, 0, 32, 32));
    const CPanelResourcePool& pool = CPanelResourcePool::GetInstance();
    EXPECT_EQ(icon.GetPixmap().cacheKey(), pool.Get(PanelUnknown).cacheKey());
    EXPECT_TRUE(icon.SetKnown(true));
    EXPECT_FALSE(icon.SetKnown(true));
    EXPECT_EQ(icon.pixmap().cacheKey(), pool.Get(PanelReef).cacheKey());
}

struct PatternCase {
    int given, stored;
};

class ShipPatternTest : public ScreenTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(ShipPatternTest, AnyFacingNumberGivesOneOfTheFourFacings)
{
    CBattleWorld world({3, 3, 1, 0, 1, false});
    CShip* submarine = world.PutShip(0, ShipTypeSubmarine, 2, 2);
    PanelIconTable table;
    CShipIcon icon(submarine, table);
    EXPECT_EQ(icon.SetImagePattern(GetParam().given), GetParam().stored);
    EXPECT_EQ(icon.GetImagePattern(), GetParam().stored);
    const CShipResourcePool& pool = CShipResourcePool::GetInstance(0);
    EXPECT_EQ(icon.GetNormalPixmap().cacheKey(),
              pool.GetPixmap(ShipTypeSubmarine, static_cast<ImagePattern>(GetParam().stored + 4)).cacheKey());
    EXPECT_FALSE(icon.GetNormalPixmap().isNull());
}

INSTANTIATE_TEST_SUITE_P(Facings, ShipPatternTest,
                         ::testing::Values(PatternCase{1, 1}, PatternCase{5, 1}, PatternCase{-1, 3},
                                           PatternCase{-4, 0}, PatternCase{-7, 1}, PatternCase{2147483647, 3},
                                           PatternCase{-2147483647 - 1, 0}));

TEST_F(IconTest, AShipShowsItsNumberItsSideMarkAndItsFlag)
{
    CBattleWorld world({5, 5, 2, 0, 1, false});
    for (int i = 0; i < 12; ++i) world.PutShip(1, ShipTypeDestroyer, 1 + i / 5, 1 + i % 5);
    world.Side(1)->SetFlagship(12);
    CShip* ship = world.Ship(1, 12);
    ASSERT_NE(ship, nullptr);
    ship->GetProfile().IsFlagship = true;
    PanelIconTable table;
    CShipIcon icon(ship, table);

    ASSERT_EQ(icon.GetIdDigits().size(), 2);
    const QGraphicsPixmapItem* last = icon.GetIdDigits().back();
    EXPECT_EQ(last->pos().x() + last->pixmap().width(), 24) << "digits end at three quarters of the width";
    EXPECT_EQ(last->pos().y() + last->pixmap().height(), 24);
    ASSERT_EQ(icon.GetPlayerMark().size(), 2) << "2P";
    EXPECT_EQ(icon.GetPlayerMark().front()->pos(), QPointF(6, 4));
    EXPECT_FALSE(icon.GetPlayerMark().front()->isVisibleTo(&icon));
    icon.ShowPlayerMark();
    EXPECT_TRUE(icon.GetPlayerMark().back()->isVisibleTo(&icon));
    ASSERT_NE(icon.GetFlagMark(), nullptr);
    EXPECT_EQ(icon.GetFlagMark()->pos(), QPointF(20, 7));
    EXPECT_TRUE(icon.GetFlagMark()->isVisibleTo(&icon));
    EXPECT_EQ(icon.GetFlagMark()->pixmap().cacheKey(),
              CShipResourcePool::GetInstance(1).GetFlagPixmap().cacheKey());
}

TEST_F(IconTest, ASinkingShipsIconKeepsItsSidesMarkAndFlagAndIsNotSeen)
{
    CBattleWorld world({4, 4, 3, 1, 1, false});
    CShip* ship = world.Ship(2, 1);
    ship->GetProfile().IsFlagship = true;
    CBattleWorld::SetStatus(ship, ShipStatusSinking);
    PanelIconTable table;
    CShipIcon icon(ship, table);
    EXPECT_EQ(icon.GetUnitId(), 2u);
    EXPECT_EQ(icon.GetPanelIcon(), nullptr);
    EXPECT_DOUBLE_EQ(icon.opacity(), 0.0);
    ASSERT_EQ(icon.GetPlayerMark().size(), 2);
    EXPECT_FALSE(icon.GetFlagMark()->isVisibleTo(&icon));
    EXPECT_EQ(icon.GetFlagMark()->pixmap().cacheKey(),
              CShipResourcePool::GetInstance(2).GetFlagPixmap().cacheKey());
}

TEST_F(IconTest, AStealthedSubmarineIsHalfSeenUntilItSurfaces)
{
    CBattleWorld world({4, 4, 1, 0, 1, false});
    CShip* submarine = world.PutShip(0, ShipTypeSubmarine, 2, 2);
    CPanelIcon panel(world.Panel(2, 2), 0, 0);
    PanelIconTable table{{world.Panel(2, 2), &panel}};
    CBattleWorld::SetStatus(submarine, ShipStatusStealth);
    CShipIcon icon(submarine, table);
    EXPECT_EQ(icon.pos(), panel.pos());
    EXPECT_DOUBLE_EQ(icon.opacity(), 0.5);
    EXPECT_EQ(icon.pixmap().cacheKey(), icon.GetSubmergedPixmap().cacheKey());
    CBattleWorld::SetStatus(submarine, ShipStatusNormal);
    icon.UpdateLook();
    EXPECT_DOUBLE_EQ(icon.opacity(), 1.0);
    EXPECT_EQ(icon.pixmap().cacheKey(), icon.GetNormalPixmap().cacheKey());
}

TEST_F(IconTest, AShipWhosePanelHasNoIconIsLeftUnplacedAndUnseen)
{
    CBattleWorld world({4, 4, 1, 1, 1, false});
    PanelIconTable table;
    CShipIcon icon(world.Ship(0, 1), table);
    EXPECT_EQ(icon.GetPanelIcon(), nullptr);
    EXPECT_FALSE(icon.isVisible());
}

TEST_F(IconTest, TheDragDataCarriesTypeSideAndShipAsDecimalTextInOrder)
{
    std::unique_ptr<QMimeData> data(CShipIcon::MakeDragData(ShipTypeSubmarine, 1, 0));
    EXPECT_EQ(data->formats(), (QStringList{QStringLiteral("enum/ShipType"), QStringLiteral("uint/PlayerId"),
                                            QStringLiteral("uint/ShipId")}));
    EXPECT_EQ(data->data(QStringLiteral("enum/ShipType")), QByteArray("3"));
    EXPECT_EQ(data->data(QStringLiteral("uint/PlayerId")), QByteArray("1"));
    EXPECT_EQ(data->data(QStringLiteral("uint/ShipId")), QByteArray("0"));

    CShipIcon typeOnly(ShipTypeSubmarine, 1, QPoint(5, 6));
    EXPECT_TRUE(typeOnly.IsDraggable());
    EXPECT_EQ(typeOnly.GetShipId(), 0u);
    EXPECT_EQ(typeOnly.pos(), QPointF(5, 6));
    EXPECT_TRUE(typeOnly.GetIdDigits().isEmpty());
    EXPECT_TRUE(typeOnly.GetPlayerMark().isEmpty());
}

TEST_F(IconTest, AShortMoveStartsNoDrag)
{
    QGraphicsScene scene;
    auto* icon = new CShipIcon(ShipTypeOiler, 0, QPoint(0, 0));
    scene.addItem(icon);
    int started = 0;
    QObject::connect(icon, &CShipIcon::DragStarted, [&started] { ++started; });
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    press.setButton(Qt::LeftButton);
    press.setButtons(Qt::LeftButton);
    press.setScenePos(QPointF(10, 10));
    press.setPos(QPointF(10, 10));
    scene.sendEvent(icon, &press);
    EXPECT_TRUE(press.isAccepted());
    QGraphicsSceneMouseEvent move(QEvent::GraphicsSceneMouseMove);
    move.setButtons(Qt::LeftButton);
    move.setPos(QPointF(11, 10));
    move.setScenePos(QPointF(11, 10));
    scene.sendEvent(icon, &move);
    EXPECT_EQ(started, 0);
}

struct MineCase {
    const char* name;
    bool isNull, isPlaced, isExploded;
    std::uint32_t owner;
    bool hasIcon;
    double drawOpacity;
    int markCharacters;
};

class MineIconTest : public ScreenTest, public ::testing::WithParamInterface<MineCase> {};

TEST_P(MineIconTest, OnlyALaidMineIsShownFadedWithItsOwnersMark)
{
    const MineCase& c = GetParam();
    MineProfile mine = MakeDefaultMineProfile();
    mine.UnitId = c.owner;
    mine.IsPlaced = c.isPlaced;
    mine.IsExploded = c.isExploded;
    PanelIconTable table;
    std::unique_ptr<CMineIcon> icon = CMineIcon::Create(c.isNull ? nullptr : &mine, table);
    ASSERT_EQ(icon != nullptr, c.hasIcon) << c.name;
    if (!icon) return;
    EXPECT_DOUBLE_EQ(icon->GetDrawOpacity(), c.drawOpacity) << c.name;
    EXPECT_EQ(icon->GetOwnerMark().size(), c.markCharacters) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Records, MineIconTest,
                         ::testing::Values(MineCase{"null", true, true, false, 0, false, 0, 0},
                                           MineCase{"not laid", false, false, false, 0, false, 0, 0},
                                           MineCase{"spent", false, true, true, 0, false, 0, 0},
                                           MineCase{"no owner", false, true, false, NoNumber, true, 1.0, 0},
                                           MineCase{"owner 0", false, true, false, 0, true, 0.8, 2},
                                           MineCase{"owner 11", false, true, false, 11, true, 0.8, 3}),
                         [](const ::testing::TestParamInfo<MineCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST_F(IconTest, ASpentMineIsNoLongerSeenButStaysInTheScene)
{
    CBattleWorld world({4, 4, 1, 0, 1, false});
    CShip* destroyer = world.PutShip(0, ShipTypeDestroyer, 1, 1);
    MineProfile* mine = world.LayMine(destroyer, world.Panel(3, 3));
    ASSERT_NE(mine, nullptr);
    QGraphicsScene scene;
    auto* panel = new CPanelIcon(world.Panel(3, 3), 0, 0);
    scene.addItem(panel);
    PanelIconTable table{{world.Panel(3, 3), panel}};
    std::unique_ptr<CMineIcon> icon = CMineIcon::Create(mine, table);
    ASSERT_NE(icon, nullptr);
    scene.addItem(icon.get());
    EXPECT_EQ(icon->pos(), panel->pos());
    EXPECT_EQ(icon->GetPanelIcon(), panel);
    mine->IsExploded = true;
    icon->UpdateLook();
    EXPECT_DOUBLE_EQ(icon->opacity(), 0.0);
    EXPECT_EQ(icon->scene(), &scene);
    scene.removeItem(icon.get());
}

TEST_F(IconTest, ATorpedoWithoutAPanelIconStaysWhereItIs)
{
    CBattleWorld world({4, 4, 1, 0, 1, false});
    CShip* submarine = world.PutShip(0, ShipTypeSubmarine, 2, 2);
    CTorpedo* torpedo = world.FireTorpedo(submarine, world.Panel(2, 4));
    ASSERT_NE(torpedo, nullptr);
    PanelIconTable table;
    CTorpedoIcon icon(torpedo, table);
    EXPECT_EQ(icon.GetPanelIcon(), nullptr);
    EXPECT_EQ(icon.pos(), QPointF(0, 0));
    EXPECT_DOUBLE_EQ(icon.opacity(), 0.6);
    EXPECT_FALSE(icon.GetPixmap().isNull());
}

} // namespace
