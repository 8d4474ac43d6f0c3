#include "model/Panel.h"
#include "model/Board.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Marevane;

TEST(Panel, TypeDecidesPassabilityAndForgetsKnowledge)
{
    CSeaPanel panel(2, 3);
    EXPECT_EQ(panel.GetType(), PanelSea);
    EXPECT_TRUE(panel.IsPassable());
    EXPECT_FALSE(CBoundaryPanel(0, 0).IsPassable());

    MineProfile mine(1, 1, ShipTypeDestroyer);
    panel.PlaceMine(&mine);
    panel.AddKnownUnit(4);
    panel.SetRevealed(true);
    panel.SetType(PanelReef);
    EXPECT_FALSE(panel.IsPassable());
    EXPECT_FALSE(panel.HasMine());
    EXPECT_FALSE(panel.IsRevealed());
    EXPECT_TRUE(panel.GetKnownUnits().empty());
    for (PanelType type : {PanelShallow, PanelFog, PanelHighWave, PanelSea}) {
        panel.SetType(type);
        EXPECT_TRUE(panel.IsPassable()) << type;
    }
    panel.SetType(PanelBoundary);
    EXPECT_FALSE(panel.IsPassable());
}

TEST(Panel, CoordinatesDistanceAndSignedOffset)
{
    CSeaPanel a(1, 1);
    CSeaPanel b(4, 3);
    EXPECT_EQ(a.GetCoordinateText(), L"R1C1");
    EXPECT_EQ(CSeaPanel(12, 7).GetCoordinateText(), L"R12C7");
    EXPECT_EQ(a.GetDistance(b), 5u);
    EXPECT_EQ(b.GetDistance(a), 5u);
    EXPECT_EQ(a.GetOffsetTo(b.GetPos()), MapOffset(3, 2));
    EXPECT_EQ(b.GetOffsetTo(a.GetPos()), MapOffset(-3, -2));
    EXPECT_EQ(b.GetOffsetTo(MapPos(0xFFFFFFFFu, 0)), MapOffset(0x7FFFFFFF, -3));
}

TEST(Panel, KnowledgeAndReveal)
{
    CSeaPanel panel(2, 2);
    panel.SetType(PanelFog);
    EXPECT_TRUE(panel.AddKnownUnit(2));
    EXPECT_FALSE(panel.AddKnownUnit(2)); // listed once
    EXPECT_EQ(panel.GetKnownUnits().size(), 1u);
    EXPECT_TRUE(panel.IsKnownBy(2));
    EXPECT_FALSE(panel.IsKnownBy(3));
    EXPECT_EQ(panel.GetTypeKnownTo(2), PanelFog);
    EXPECT_EQ(panel.GetTypeKnownTo(3), PanelUnknown);
    panel.SetRevealed(true);
    EXPECT_EQ(panel.GetTypeKnownTo(3), PanelFog);

    CSeaPanel reef(1, 1);
    reef.SetType(PanelReef);
    EXPECT_FALSE(reef.IsReefKnownTo(1));
    reef.AddKnownUnit(1);
    EXPECT_TRUE(reef.IsReefKnownTo(1));

    const CBoundaryPanel ring(0, 3);
    EXPECT_TRUE(ring.IsKnownBy(9));
    EXPECT_EQ(ring.GetTypeKnownTo(9), PanelBoundary);
}

TEST(Panel, MinesLiveUntilSetOff)
{
    CSeaPanel panel(3, 4);
    MineProfile own(1, 2, ShipTypeDestroyer);
    MineProfile other(2, 1, ShipTypeDestroyer);
    MineProfile dead(2, 1, ShipTypeDestroyer);
    dead.IsExploded = true;

    EXPECT_EQ(panel.GetFirstMine(), nullptr);
    EXPECT_TRUE(panel.TakeFirstMine().empty());

    panel.PlaceMine(&own);
    panel.PlaceMine(&own); // already here
    panel.PlaceMine(&dead);
    panel.PlaceMine(nullptr);
    panel.PlaceMine(&other);
    EXPECT_EQ(panel.GetMines().size(), 2u);
    EXPECT_TRUE(own.IsPlaced);
    EXPECT_EQ(own.Pos, MapPos(3, 4));
    EXPECT_FALSE(dead.IsPlaced);
    EXPECT_TRUE(panel.HasMine());
    EXPECT_TRUE(panel.HasMineOf(1));
    EXPECT_TRUE(panel.HasMineOf(2));
    EXPECT_FALSE(panel.HasMineOf(3));
    EXPECT_EQ(panel.GetFirstMine(), &own);

    const auto taken = panel.TakeFirstMine();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0], &own);
    EXPECT_TRUE(own.IsExploded);
    EXPECT_FALSE(panel.HasMineOf(1));
    EXPECT_EQ(panel.GetFirstMine(), &other);

    // A mine that died elsewhere is skipped, never handed out again.
    other.IsExploded = true;
    EXPECT_FALSE(panel.HasMine());
    EXPECT_EQ(panel.GetFirstMine(), nullptr);
    EXPECT_TRUE(panel.TakeFirstMine().empty());
    panel.RemoveExplodedMines();
    EXPECT_TRUE(panel.GetMines().empty());
}

TEST(Panel, NeighboursNeverNull)
{
    const CBoard board;
    CPanel* centre = board.GetPanel(3, 3);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre->GetNeighbor(DirectionNorth), board.GetPanel(2, 3));
    EXPECT_EQ(centre->GetNeighbor(DirectionSouthWest), board.GetPanel(4, 2));
    for (std::uint32_t odd : {0u, 9u, 10u, 0xFFFFFFFFu}) {
        EXPECT_EQ(centre->GetNeighbor(odd), centre) << odd;
        EXPECT_EQ(centre->GetPanelAlong(odd, 3), centre) << odd;
        EXPECT_EQ(centre->GetPanelAlong(odd, -3), centre) << odd;
    }
    CSeaPanel alone(1, 1);
    EXPECT_EQ(alone.GetNeighbor(DirectionEast), &alone);
}

TEST(Panel, WalksStopAtTheRing)
{
    const CBoard board; // 5 by 5
    CPanel* start = board.GetPanel(1, 3);
    EXPECT_EQ(start->GetPanelAlong(DirectionNorth, 3), board.GetPanel(0, 3));
    EXPECT_EQ(start->GetPanelAlong(DirectionSouth, -3), board.GetPanel(0, 3));
    EXPECT_EQ(start->GetPanelAlong(DirectionSouth, 2), board.GetPanel(3, 3));
    EXPECT_EQ(start->GetPanelAlong(DirectionSouth, 0), start);
    // Huge counts end at once on the ring.
    EXPECT_EQ(start->GetPanelAlong(DirectionEast, std::numeric_limits<std::int64_t>::max()),
              board.GetPanel(1, 6));
    EXPECT_EQ(start->GetPanelAlong(DirectionEast, std::numeric_limits<std::int64_t>::min()),
              board.GetPanel(1, 0));

    CPanel* ring = board.GetPanel(0, 0);
    EXPECT_EQ(ring->GetNeighbor(DirectionNorth), ring);
    EXPECT_EQ(ring->GetNeighbor(DirectionNorthWest), ring);
    EXPECT_EQ(ring->GetNeighbor(DirectionEast), board.GetPanel(0, 1));
    EXPECT_EQ(ring->GetNeighbor(DirectionSouthEast), board.GetPanel(1, 1));

    EXPECT_EQ(start->GetPanelByOffset(MapOffset(3, -2)), board.GetPanel(4, 1));
    EXPECT_EQ(start->GetPanelAt(MapPos(5, 5)), board.GetPanel(5, 5));
    EXPECT_EQ(start->GetPanelAt(MapPos(400, 2)), board.GetPanel(6, 2));
}
