#include "model/ArcadeMapList.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(ArcadeMapList, StagesGrowFromFiveToNineWithTheirStageCodes)
{
    struct Row {
        std::uint32_t stage, size, stageCode;
    };
    const Row rows[] = {{1, 5, 1}, {2, 6, 5}, {3, 7, 6}, {4, 8, 7}, {5, 9, 8}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stage);
        const MapData& map = CArcadeMapList::GetInstance().Get(row.stage);
        EXPECT_EQ(map.Id, row.stage);
        EXPECT_EQ(map.Size, MapPos(row.size, row.size));
        EXPECT_EQ(map.SpecialPanelCount, -1);
        EXPECT_EQ(map.MaxReefs, -1);
        EXPECT_EQ(map.MaxShallows, -1);
        EXPECT_EQ(map.MaxFogs, -1);
        EXPECT_EQ(map.MaxHighWaves, -1);
        EXPECT_EQ(map.StageCode, row.stageCode);
        EXPECT_TRUE(map.PanelTypes.empty());
        EXPECT_TRUE(map.CoordinateInfo.KnownPositions.empty());
        EXPECT_TRUE(map.UnitCoordinateInfo.empty());
        EXPECT_TRUE(map.Torpedoes.empty());
        EXPECT_TRUE(map.Mines.empty());
        EXPECT_FALSE(CArcadeMapList::IsRunOver(map));
    }
}

TEST(ArcadeMapList, StagesOutsideTheRunGiveTheEmptyRunOverMap)
{
    for (std::uint32_t stage : {0u, 6u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(stage);
        const MapData& map = CArcadeMapList::GetInstance().Get(stage);
        EXPECT_EQ(map.Id, 0u);
        EXPECT_EQ(map.Size, MapPos(0, 0));
        EXPECT_EQ(map.SpecialPanelCount, 0);
        EXPECT_EQ(map.MaxReefs, 0);
        EXPECT_EQ(map.MaxShallows, 0);
        EXPECT_EQ(map.MaxFogs, 0);
        EXPECT_EQ(map.MaxHighWaves, 0);
        EXPECT_EQ(map.StageCode, 0u);
        EXPECT_TRUE(CArcadeMapList::IsRunOver(map));
    }
}
