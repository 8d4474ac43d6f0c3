// The kit the screen tests stand on: the battle it builds, the stand-in
// turn manager, the timing scale and the renders.
#include "gui/Style.h"
#include "screens/battle/MapSize.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QFileInfo>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QImage>

#include <set>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using ScreenKitTest = ScreenTest;

struct WorldCase {
    std::uint32_t rows, columns, sides, ships;
};

class BattleWorldTest : public ScreenTest, public ::testing::WithParamInterface<WorldCase> {};

TEST_P(BattleWorldTest, EveryShipStandsOnItsOwnSeaPanel)
{
    const WorldCase& c = GetParam();
    CBattleWorld world({c.rows, c.columns, c.sides, c.ships, 7, true});
    ASSERT_EQ(world.Sides().size(), c.sides);
    std::set<const CPanel*> used;
    for (CShip* ship : world.AllShips()) {
        const CPanel* panel = ship->GetCurrentPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->GetType(), PanelSea);
        EXPECT_TRUE(used.insert(panel).second) << "two ships share a panel";
    }
    EXPECT_EQ(world.AllShips().size(), std::size_t{c.sides} * c.ships);
    for (CUnit* side : world.Sides()) EXPECT_TRUE(side->IsFlagship(1));
}

INSTANTIATE_TEST_SUITE_P(Sizes, BattleWorldTest,
                         ::testing::Values(WorldCase{3, 3, 2, 2}, WorldCase{5, 5, 4, 4},
                                           WorldCase{9, 5, 3, 4}, WorldCase{9, 9, 4, 4}));

TEST_F(ScreenKitTest, TheSameSeedBuildsTheSameBattle)
{
    auto positions = [](std::uint32_t seed) {
        CBattleWorld world({7, 7, 4, 4, seed, true});
        std::vector<MapPos> out;
        for (CShip* ship : world.AllShips()) out.push_back(ship->GetCurrentPanel()->GetPos());
        return out;
    };
    EXPECT_EQ(positions(3), positions(3));
    EXPECT_NE(positions(3), positions(4));
}

TEST_F(ScreenKitTest, MinesAndTorpedoesGoThroughTheShipsCommands)
{
    CBattleWorld world({5, 5, 2, 0, 1, false});
    CShip* destroyer = world.PutShip(0, ShipTypeDestroyer, 1, 1);
    CShip* submarine = world.PutShip(1, ShipTypeSubmarine, 5, 5);
    MineProfile* mine = world.LayMine(destroyer, world.Panel(2, 2));
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->IsPlaced);
    EXPECT_EQ(mine->Pos, MapPos(2, 2));
    CTorpedo* torpedo = world.FireTorpedo(submarine, world.Panel(5, 1));
    ASSERT_NE(torpedo, nullptr);
    EXPECT_EQ(torpedo->GetCurrentPanel(), world.Panel(5, 5));
    EXPECT_EQ(world.LayMine(submarine, world.Panel(2, 2)), nullptr) << "a submarine lays no mines";
}

TEST_F(ScreenKitTest, TheStandInTurnManagerWritesDownAndSendsCodes)
{
    CBattleWorld world({5, 5, 3, 1, 1, false});
    CStandInTurnManager turns;
    turns.TakeSides(world.Sides());
    EXPECT_EQ(turns.GetCurrentUnit(), world.Side(0));
    turns.SetCurrent(world.Side(2)->GetId());
    EXPECT_EQ(turns.GetCurrentUnit(), world.Side(2));

    std::vector<MessageCode> sent;
    QObject::connect(&turns, &CStandInTurnManager::Sent, [&sent](MessageCode code) { sent.push_back(code); });
    turns.Send(51);
    turns.Update(57);
    turns.Update(73);
    EXPECT_EQ(sent, std::vector<MessageCode>{51});
    EXPECT_EQ(turns.Codes(), (std::vector<MessageCode>{57, 73}));
}

TEST_F(ScreenKitTest, ScreensRunAtATwentiethOfTheirTimingInTests)
{
    EXPECT_EQ(ScaledMs(ScreenTiming::Notice), 100);
    {
        ScopedTimeScale real(1.0);
        EXPECT_EQ(ScaledMs(ScreenTiming::Notice), ScreenTiming::Notice);
    }
    EXPECT_EQ(ScaledMs(ScreenTiming::Notice), 100);
}

TEST_F(ScreenKitTest, SoundRequestsAreRecorded)
{
    PlaySoundEffect(Sound::SeAttack);
    PlaySoundEffect(Sound::SeDefaultPointed, false);
    EXPECT_EQ(sounds.Codes(), (std::vector<Sound::SeCode>{Sound::SeAttack, Sound::SeDefaultPointed}));
    EXPECT_FALSE(sounds.AllDucked());
}

TEST_F(ScreenKitTest, ARenderIsSavedUnderTheBuildFolder)
{
    QGraphicsScene scene(0, 0, 40, 30);
    scene.addRect(10, 10, 20, 10, QPen(Qt::NoPen), QBrush(Qt::white));
    const QString path = SaveScreenRender(scene, QStringLiteral("kit/white-bar"));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.startsWith(ScreenRenderFolder()));
    const QImage saved(path);
    ASSERT_EQ(saved.size(), QSize(40, 30));
    EXPECT_EQ(saved.pixelColor(20, 15), QColor(Qt::white));
    EXPECT_EQ(saved.pixelColor(2, 2), MainBackgroundColor);
}

TEST_F(ScreenKitTest, OffscreenRunsKeepOpenGLOff)
{
    EXPECT_FALSE(CSystemConfig::GetInstance().OpenGL);
}

TEST(MapSizeTest, OnlyThreeToNineEachWayIsShown)
{
    EXPECT_TRUE(IsShownMapSize({3, 3}));
    EXPECT_TRUE(IsShownMapSize({9, 5}));
    EXPECT_TRUE(IsShownMapSize({9, 9}));
    EXPECT_FALSE(IsShownMapSize({2, 5}));
    EXPECT_FALSE(IsShownMapSize({5, 10}));
    EXPECT_FALSE(IsShownMapSize({0, 0}));
}

} // namespace
