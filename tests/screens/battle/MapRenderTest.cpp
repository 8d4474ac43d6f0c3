// Renders of the battle map as a player and an audience see it: maps of
// 3 by 3, 5 by 5 and 9 by 9 with four fleets, mines, torpedoes and special
// panels, and a sinking ship frame by frame (renders/screens/battle).
#include "model/Panel.h"
#include "screens/battle/EffectAnimations.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QFileInfo>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct RenderCase {
    std::uint32_t size;
    std::uint32_t ships;
};

class MapRenderTest : public ScreenTest, public ::testing::WithParamInterface<RenderCase> {
  protected:
    // Mines of the first destroyer and torpedoes of the first submarine of
    // each side, a stealthed submarine, all four special panels known.
    static void Arm(CBattleWorld& world)
    {
        const std::uint32_t n = world.GetOptions().rows;
        for (std::size_t side = 0; side < world.Sides().size(); ++side) {
            CShip* destroyer = world.Ship(side, 2);
            CShip* submarine = world.Ship(side, 3);
            if (destroyer != nullptr)
                world.LayMine(destroyer, world.Panel(1 + (side * 2) % n, 1 + (side + 1) % n));
            if (submarine != nullptr) {
                // Along its row, towards the far side.
                const CPanel* from = submarine->GetCurrentPanel();
                world.FireTorpedo(submarine, world.Panel(from->GetX(), from->GetY() > n / 2 ? 1 : n));
                if (side == 1) CBattleWorld::SetStatus(submarine, ShipStatusStealth);
            }
        }
        for (CSeaPanel& panel : world.Board().GetSeaPanels())
            if (panel.GetType() != PanelSea) panel.SetRevealed(true);
    }
};

TEST_P(MapRenderTest, AMapWithFourFleetsReadsAsASeaChart)
{
    const RenderCase& c = GetParam();
    CBattleWorld world({c.size, c.size, 4, c.ships, 3, true});
    Arm(world);
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.AddWatcher());
    scene.UpdatePanelData();
    scene.RebuildWeaponIcons();
    EXPECT_EQ(scene.GetShipIcons().size(), std::size_t{4} * c.ships);
    EXPECT_FALSE(scene.GetMineIcons().isEmpty());
    EXPECT_EQ(scene.GetTorpedoIcons().isEmpty(), c.ships < 3);

    CGameMapView view(&scene);
    const QSize size = CGameMapScene::BackgroundSize({c.size, c.size}).expandedTo(QSize(416, 380));
    view.resize(size);
    view.show();
    Settle();
    const QString name = QStringLiteral("battle/map-%1x%1").arg(c.size);
    const QString path = SaveScreenRender(view, name);
    ASSERT_FALSE(path.isEmpty());
    const QImage picture(path);
    EXPECT_EQ(picture.size(), size);

    // A player's machine: its own fleet, the rest of the sea unknown.
    scene.SetPlayer(world.Side(0));
    scene.UpdatePanelData();
    scene.RebuildWeaponIcons();
    Settle();
    EXPECT_FALSE(SaveScreenRender(view, name + QStringLiteral("-player")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Maps, MapRenderTest,
                         ::testing::Values(RenderCase{3, 2}, RenderCase{5, 3}, RenderCase{9, 4}),
                         [](const ::testing::TestParamInfo<RenderCase>& info) {
                             return "Size" + std::to_string(info.param.size);
                         });

using SinkingRenderTest = ScreenTest;

TEST_F(SinkingRenderTest, ASinkingIsRenderedFrameByFrame)
{
    // A quarter of real time, so the frames can be caught.
    ScopedTimeScale quarter(0.25);
    CBattleWorld world({5, 5, 2, 0, 1, false});
    CShip* battleship = world.PutShip(0, ShipTypeBattleship, 3, 3);
    world.PutShip(1, ShipTypeDestroyer, 3, 4);
    world.Side(0)->SetFlagship(battleship->GetShipId());
    CGameMapScene scene(&world.Board());
    scene.SetUnits(world.Sides());
    scene.SetPlayer(world.AddWatcher());
    CGameMapView view(&scene);
    view.resize(CGameMapScene::BackgroundSize({5, 5}).expandedTo(QSize(416, 380)));
    view.show();
    Settle();

    CBattleWorld::SetStatus(battleship, ShipStatusSinking);
    scene.AnimateDamage(scene.GetPanelIcon(world.Panel(3, 3)), scene.GetShipIcon(battleship), 0);
    CSinkingAnimation* sinking = scene.AnimateSinking(battleship);
    ASSERT_NE(sinking, nullptr);
    bool isDone = false;
    QObject::connect(sinking, &CAnimation::Finished, [&isDone] { isDone = true; });
    const int steps[] = {0, 40, 80, 120, 300, 420, 520};
    int at = 0;
    int frame = 0;
    for (int step : steps) {
        QTest::qWait(step - at);
        at = step;
        EXPECT_FALSE(SaveScreenRender(view, QStringLiteral("battle/sinking-%1").arg(frame++)).isEmpty());
    }
    ASSERT_TRUE(WaitUntil([&isDone] { return isDone; }));
    Settle();
    EXPECT_FALSE(SaveScreenRender(view, QStringLiteral("battle/sinking-%1").arg(frame)).isEmpty());
}

} // namespace
