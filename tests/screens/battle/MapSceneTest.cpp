// The battle map scene: the grid with its invisible ring, the labels, the
// ship icons each machine may see, the layout in a view of any size, the
// spread of weapons sharing a panel and what the side knows of the panels.
#include "gui/ResourcePools.h"
#include "model/Panel.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QResizeEvent>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct GridCase {
    std::uint32_t rows, columns;
};

class MapGridTest : public ScreenTest, public ::testing::WithParamInterface<GridCase> {};

TEST_P(MapGridTest, TheGridHasItsRingHiddenAndLabelsForEveryRowAndColumn)
{
    const GridCase& c = GetParam();
    CBattleWorld world({c.rows, c.columns, 2, 1, 1, false});
    CGameMapScene scene(&world.Board());
    const QSize panel(32, 32);

    ASSERT_EQ(scene.GetPanelIcons().size(), static_cast<int>((c.rows + 2) * (c.columns + 2)));
    int boundary = 0;
    for (CPanelIcon* icon : scene.GetPanelIcons()) {
        const CPanel* p = icon->GetPanel();
        EXPECT_EQ(scene.GetPanelIcon(p), icon);
        EXPECT_EQ(scene.GetPanelOf(icon), p);
        EXPECT_EQ(icon->pos(), QPointF(scene.GetOrigin().x() + static_cast<int>(p->GetY()) * panel.width(),
                                       scene.GetOrigin().y() + static_cast<int>(p->GetX()) * panel.height()));
        if (p->GetType() != PanelBoundary) {
            EXPECT_TRUE(icon->isVisible());
            EXPECT_EQ(icon->acceptedMouseButtons(), Qt::LeftButton);
            continue;
        }
        ++boundary;
        EXPECT_FALSE(icon->isVisible());
        EXPECT_EQ(icon->acceptedMouseButtons(), Qt::NoButton);
        EXPECT_FALSE(icon->acceptHoverEvents());
    }
    EXPECT_EQ(boundary, static_cast<int>(2 * (c.rows + c.columns) + 4));

    // The grid with its ring is centred in the layer.
    const QRect layer = scene.GetLayer()->boundingRect().toRect();
    EXPECT_EQ(layer.size(), CGameMapScene::LayerSize({c.rows, c.columns}));
    EXPECT_EQ(
        scene.GetOrigin(),
        QPoint(layer.left() + 1 + layer.width() / 2 - panel.width() * static_cast<int>(c.columns + 2) / 2,
               layer.top() + 1 + layer.height() / 2 - panel.height() * static_cast<int>(c.rows + 2) / 2));

    QStringList expected;
    for (std::uint32_t r = 1; r <= c.rows; ++r) expected << QStringLiteral("R%1").arg(r);
    for (std::uint32_t col = 1; col <= c.columns; ++col) expected << QStringLiteral("C%1").arg(col);
    EXPECT_EQ(scene.GetLayer()->GetLabels(), expected);
    EXPECT_EQ(scene.GetLegendItems().size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MapGridTest,
                         ::testing::Values(GridCase{3, 3}, GridCase{5, 5}, GridCase{9, 9}, GridCase{9, 5}));

using MapSceneTest = ScreenTest;

TEST_F(MapSceneTest, ASizeOutsideThreeToNineIsRefusedBeforeAnythingIsBuilt)
{
    CBattleWorld world({5, 5, 2, 1, 1, false});
    CGameMapScene scene(&world.Board());
    for (MapSize size : {MapSize{2, 5}, MapSize{5, 10}, MapSize{12, 12}}) {
        EXPECT_FALSE(scene.Resize(size));
        EXPECT_EQ(world.Board().GetRows(), 5u);
        EXPECT_EQ(scene.GetPanelIcons().size(), 49);
    }
    ASSERT_TRUE(scene.Resize({3, 4}));
    EXPECT_EQ(scene.GetPanelIcons().size(), 5 * 6);

    // A board too large to show is shown empty rather than drawn off the map.
    CBattleWorld large({12, 12, 2, 1, 1, false});
    CGameMapScene refused(&large.Board());
    EXPECT_FALSE(refused.IsBoardShown());
    EXPECT_TRUE(refused.GetPanelIcons().isEmpty());
}

TEST_F(MapSceneTest, APlayerSeesOnlyItsOwnShipsAndAWatcherSeesEverySide)
{
    CBattleWorld world({6, 6, 4, 3, 5, false});
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());

    scene.SetPlayer(world.Side(1));
    ASSERT_EQ(scene.GetShipIcons().size(), 3u);
    for (CShipIcon* icon : scene.GetShipIcons()) {
        EXPECT_EQ(icon->GetUnitId(), 1u);
        EXPECT_FALSE(icon->IsPlayerMarkShown());
        EXPECT_EQ(icon->pos(), scene.GetPanelIcon(icon->GetShip()->GetCurrentPanel())->pos());
    }

    CUnit* watcher = world.AddWatcher();
    scene.SetPlayer(watcher);
    ASSERT_EQ(scene.GetShipIcons().size(), 12u);
    for (CShipIcon* icon : scene.GetShipIcons()) {
        EXPECT_TRUE(icon->IsPlayerMarkShown());
        EXPECT_EQ(icon->GetImagePattern(), icon->GetUnitId() % 2 == 0 ? 1 : 0) << icon->GetUnitId();
    }
    for (CPanelIcon* icon : scene.GetPanelIcons()) EXPECT_TRUE(icon->IsKnown() || icon->IsAlwaysShown());
}

TEST_F(MapSceneTest, ShipLookUpsAnswerNoneForWhatTheSideDoesNotHold)
{
    CBattleWorld world({5, 5, 2, 2, 1, false});
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.Side(0));
    EXPECT_EQ(CGameMapScene::GetShip(world.Side(0), 7), nullptr);
    EXPECT_EQ(CGameMapScene::GetShip(nullptr, 1), nullptr);
    EXPECT_EQ(CGameMapScene::GetShip(world.Side(0), 2), world.Ship(0, 2));
    EXPECT_EQ(scene.GetUnit(-1), world.Side(0));
    EXPECT_EQ(scene.GetUnit(1), world.Side(1));
    EXPECT_EQ(scene.GetUnit(5), nullptr);
    EXPECT_EQ(scene.GetShipIcon(world.Ship(1, 1)), nullptr) << "the rival's ships have no icons";
    ASSERT_NE(scene.GetShipIcon(2u), nullptr);
    EXPECT_EQ(scene.GetShipIcon(2u)->GetShip(), world.Ship(0, 2));
}

TEST_F(MapSceneTest, AViewOfNoSizeTellsNothingAndALargerOneMovesThePanelsByTheChangeOfOrigin)
{
    CBattleWorld world({5, 5, 2, 2, 1, false});
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.Side(0));
    CGameMapView view(&scene);
    std::vector<QSize> told;
    QObject::connect(&view, &CGameMapView::NotifyOfResize,
                     [&told](const QSize& size) { told.push_back(size); });

    for (QSize empty : {QSize(0, 400), QSize(500, 0)}) {
        QResizeEvent event(empty, QSize(416, 380));
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
    EXPECT_TRUE(told.empty());

    scene.AdjustViewPosition(QSize(600, 500));
    const QPoint before = scene.GetOrigin();
    std::vector<QPointF> panels;
    for (CPanelIcon* icon : scene.GetPanelIcons()) panels.push_back(icon->pos());
    const QPointF legend = scene.GetLegendItems().front()->pos();

    QResizeEvent larger(QSize(900, 700), QSize(600, 500));
    QCoreApplication::sendEvent(view.viewport(), &larger);
    ASSERT_EQ(told, std::vector<QSize>{QSize(900, 700)});
    const QPoint change = scene.GetOrigin() - before;
    EXPECT_EQ(change, QPoint(150, 100));
    for (int i = 0; i < scene.GetPanelIcons().size(); ++i)
        EXPECT_EQ(scene.GetPanelIcons()[i]->pos(), panels[static_cast<std::size_t>(i)] + QPointF(change));
    EXPECT_EQ(scene.GetLegendItems().front()->pos(), legend + QPointF(change));
    for (CShipIcon* icon : scene.GetShipIcons())
        EXPECT_EQ(icon->pos(), scene.GetPanelIcon(icon->GetShip()->GetCurrentPanel())->pos());
    EXPECT_EQ(scene.sceneRect(), QRectF(0, 0, 900, 700));
}

TEST_F(MapSceneTest, ARebuildDuringADragWaitsUntilTheDragIsOver)
{
    CBattleWorld world({5, 5, 2, 2, 1, false});
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.Side(0));
    QPointer<CShipIcon> dragged = scene.GetShipIcons().front();
    emit dragged->DragStarted(dragged);
    scene.Rebuild();
    scene.InitShipData();
    Settle();
    EXPECT_NE(dragged, nullptr) << "the drag source outlives its drag";
    emit dragged->DragStopped(nullptr);
    EXPECT_NE(dragged, nullptr);
    ASSERT_TRUE(WaitUntil([&dragged] { return dragged == nullptr; }));
    EXPECT_EQ(scene.GetShipIcons().size(), 2u);
}

struct SpreadCase {
    int k, count;
    bool underShip;
    QPoint offset;
};

class SpreadTest : public ::testing::TestWithParam<SpreadCase> {};

TEST_P(SpreadTest, IconsSharingAPanelAreSpreadByQuarters)
{
    const SpreadCase& c = GetParam();
    EXPECT_EQ(CGameMapScene::SpreadOffset(c.k, c.count, QSize(32, 32), c.underShip), c.offset);
}

INSTANTIATE_TEST_SUITE_P(Offsets, SpreadTest,
                         ::testing::Values(SpreadCase{0, 1, false, {0, 0}}, SpreadCase{0, 1, true, {0, 8}},
                                           SpreadCase{0, 2, false, {-8, 0}}, SpreadCase{1, 2, false, {8, 0}},
                                           SpreadCase{0, 3, false, {-8, -8}},
                                           SpreadCase{1, 3, false, {8, -8}}, SpreadCase{2, 3, false, {-8, 8}},
                                           SpreadCase{3, 4, false, {8, 8}}, SpreadCase{1, 4, true, {8, 0}},
                                           SpreadCase{4, 5, false, {-8, -8}}));

TEST_F(MapSceneTest, TorpedoesAndMinesOnOnePanelAreSpreadAndThoseUnderAShipLowered)
{
    CBattleWorld world({5, 5, 2, 0, 1, false});
    CShip* sub1 = world.PutShip(0, ShipTypeSubmarine, 3, 1);
    CShip* sub2 = world.PutShip(1, ShipTypeSubmarine, 3, 5);
    CShip* destroyer = world.PutShip(0, ShipTypeDestroyer, 1, 1);
    CShip* rival = world.PutShip(1, ShipTypeDestroyer, 1, 5);
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.AddWatcher());

    CTorpedoIcon* first = scene.AddTorpedoIcon(world.FireTorpedo(sub1, world.Panel(3, 5)));
    CTorpedoIcon* second = scene.AddTorpedoIcon(world.FireTorpedo(sub1, world.Panel(3, 5)));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    // Both stand on the submarine's panel with the submarine.
    const QPointF at = scene.GetPanelIcon(world.Panel(3, 1))->pos();
    EXPECT_EQ(first->pos(), at + QPointF(-8, 8));
    EXPECT_EQ(second->pos(), at + QPointF(8, 8));
    EXPECT_DOUBLE_EQ(first->opacity(), 0.6);

    MineProfile* mine1 = world.LayMine(destroyer, world.Panel(2, 2));
    MineProfile* mine2 = world.LayMine(destroyer, world.Panel(2, 2));
    MineProfile* mine3 = world.LayMine(rival, world.Panel(2, 2));
    scene.RebuildWeaponIcons();
    ASSERT_EQ(scene.GetMineIcons().size(), 3);
    ASSERT_EQ(scene.GetTorpedoIcons().size(), 2);
    const QPointF mines = scene.GetPanelIcon(world.Panel(2, 2))->pos();
    EXPECT_EQ(scene.GetMineIcons()[0]->pos(), mines + QPointF(-8, -8));
    EXPECT_EQ(scene.GetMineIcons()[1]->pos(), mines + QPointF(8, -8));
    EXPECT_EQ(scene.GetMineIcons()[2]->pos(), mines + QPointF(-8, 8));
    ASSERT_TRUE(mine1 && mine2 && mine3);
    (void)sub2;
}

struct KnowledgeCase {
    const char* name;
    PanelType type;
    bool isRevealed;
    bool knownByPlayer;
    bool knownByOther;
    bool isKnown;
};

class PanelKnowledgeTest : public ScreenTest, public ::testing::WithParamInterface<KnowledgeCase> {};

TEST_P(PanelKnowledgeTest, APanelShowsItsTypeExactlyWhenTheSideMayKnowIt)
{
    const KnowledgeCase& c = GetParam();
    CBattleWorld world({4, 4, 2, 0, 1, false});
    CPanel* panel = c.type == PanelBoundary ? world.Panel(0, 2) : world.Panel(2, 2);
    if (c.type != PanelBoundary) panel->SetType(c.type);
    panel->SetRevealed(c.isRevealed);
    if (c.knownByPlayer) panel->AddKnownUnit(world.Side(0)->GetId());
    if (c.knownByOther) panel->AddKnownUnit(world.Side(1)->GetId());

    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.Side(0));
    scene.UpdatePanelData();
    CPanelIcon* icon = scene.GetPanelIcon(panel);
    EXPECT_EQ(icon->IsKnown(), c.isKnown) << c.name;
    const PanelType shown = c.isKnown || c.type == PanelBoundary ? c.type : PanelUnknown;
    EXPECT_EQ(icon->GetPixmap().cacheKey(), CPanelResourcePool::GetInstance().Get(shown).cacheKey())
        << c.name;

    // On an audience machine the side whose turn it is decides.
    CStandInTurnManager turns;
    turns.TakeSides(world.Sides());
    turns.SetCurrent(world.Side(1)->GetId());
    scene.SetTurnManager(&turns);
    scene.SetPlayer(world.AddWatcher());
    scene.UpdatePanelData();
    EXPECT_EQ(icon->IsKnown(), c.type == PanelBoundary || c.isRevealed || c.knownByOther) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Panels, PanelKnowledgeTest,
    ::testing::Values(KnowledgeCase{"unknown reef", PanelReef, false, false, false, false},
                      KnowledgeCase{"reef the player found", PanelReef, false, true, false, true},
                      KnowledgeCase{"fog another side found", PanelFog, false, false, true, false},
                      KnowledgeCase{"shallow open to all", PanelShallow, true, false, false, true},
                      KnowledgeCase{"boundary", PanelBoundary, false, false, false, true},
                      KnowledgeCase{"plain sea", PanelSea, false, false, false, false}),
    [](const ::testing::TestParamInfo<KnowledgeCase>& info) { return "Case" + std::to_string(info.index); });

} // namespace
