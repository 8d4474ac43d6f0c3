#include "model/Directions.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(Directions, OppositesPairUpAndEverythingElseIsNone)
{
    const std::uint32_t pairs[][2] = {{1, 4}, {2, 3}, {5, 8}, {6, 7}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(GetOppositeDirection(pair[0]), pair[1]);
        EXPECT_EQ(GetOppositeDirection(pair[1]), pair[0]);
    }
    for (std::uint32_t other : {0u, 9u, 10u, 0xFFFFFFFFu})
        EXPECT_EQ(GetOppositeDirection(other), DirectionNone);
}

TEST(Directions, DifferenceToDirection)
{
    struct Case {
        int Dx;
        int Dy;
        Direction Expected;
    };
    for (const Case& c :
         {Case{-1, 0, DirectionNorth}, Case{-3, 2, DirectionNorthEast}, Case{-2, -7, DirectionNorthWest},
          Case{0, 4, DirectionEast}, Case{0, -1, DirectionWest}, Case{0, 0, DirectionCenter},
          Case{5, 0, DirectionSouth}, Case{1, 1, DirectionSouthEast}, Case{2, -1, DirectionSouthWest}}) {
        EXPECT_EQ(GetDirection(c.Dx, c.Dy), c.Expected) << c.Dx << "," << c.Dy;
        EXPECT_EQ(GetOffsetDirection(MapOffset(c.Dx, c.Dy)), c.Expected);
        // One step in the answered direction points the same way.
        if (c.Expected != DirectionCenter) {
            EXPECT_EQ(GetOffsetDirection(GetDirectionStep(c.Expected)), c.Expected);
        }
    }
    EXPECT_EQ(GetRoundedDirection(-0.4, 0.6), DirectionEast);
    EXPECT_EQ(GetRoundedDirection(0.49, -0.49), DirectionCenter);
    EXPECT_EQ(GetRoundedDirection(-1.5, -2.2), DirectionNorthWest);
    EXPECT_EQ(GetRowDirection(-4), DirectionNorth);
    EXPECT_EQ(GetRowDirection(0), DirectionCenter);
    EXPECT_EQ(GetRowDirection(2), DirectionSouth);
    EXPECT_EQ(GetColumnDirection(-4), DirectionWest);
    EXPECT_EQ(GetColumnDirection(0), DirectionCenter);
    EXPECT_EQ(GetColumnDirection(2), DirectionEast);
}

TEST(Directions, AdjacentDirections)
{
    using P = std::pair<Direction, Direction>;
    EXPECT_EQ(GetAdjacentDirections(1), P(DirectionNorthEast, DirectionNorthWest));
    EXPECT_EQ(GetAdjacentDirections(2), P(DirectionSouthEast, DirectionNorthEast));
    EXPECT_EQ(GetAdjacentDirections(3), P(DirectionSouthWest, DirectionNorthWest));
    EXPECT_EQ(GetAdjacentDirections(4), P(DirectionSouthEast, DirectionSouthWest));
    EXPECT_EQ(GetAdjacentDirections(5), P(DirectionEast, DirectionNorth));
    EXPECT_EQ(GetAdjacentDirections(6), P(DirectionWest, DirectionNorth));
    EXPECT_EQ(GetAdjacentDirections(7), P(DirectionEast, DirectionSouth));
    EXPECT_EQ(GetAdjacentDirections(8), P(DirectionWest, DirectionSouth));
    for (std::uint32_t other : {0u, 9u, 12u})
        EXPECT_EQ(GetAdjacentDirections(other), P(DirectionNone, DirectionNone));
}
