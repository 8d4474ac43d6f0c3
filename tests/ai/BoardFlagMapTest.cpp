#include "ai/BoardFlagMap.h"

#include "TestMap.h"

#include <gtest/gtest.h>

#include <string>

#include <stdexcept>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

struct PatternCase {
    std::uint32_t Pattern;
    int Default;
    int Centre;
    int Neighbor;
};

void PrintTo(const PatternCase& c, std::ostream* os)
{
    *os << "pattern " << c.Pattern;
}

class BoardFlagMapPatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(BoardFlagMapPatterns, WeighCentreNeighboursAndTheRest)
{
    const PatternCase& c = GetParam();
    TestMap map({".....", ".....", ".....", ".....", "....."});
    const CPanel* centre = map.At(3, 3);
    const CBoardFlagMap flags(c.Pattern, centre);

    EXPECT_EQ(flags.GetDefaultFlag(), c.Default);
    EXPECT_EQ(flags.GetDefault(), c.Default);
    EXPECT_EQ(flags.Get(centre), c.Centre);
    for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d)
        EXPECT_EQ(flags.Get(centre->GetNeighbor(d)), c.Neighbor) << "direction " << d;
    // Two panels away and the ring are outside the pattern.
    EXPECT_EQ(flags.Get(map.At(1, 3)), c.Default);
    EXPECT_EQ(flags.Get(map.At(5, 5)), c.Default);
    EXPECT_EQ(flags.Get(map.At(0, 0)), c.Default);
    EXPECT_EQ(flags.GetMap().size(), 9u);
}

INSTANTIATE_TEST_SUITE_P(AllSix, BoardFlagMapPatterns,
                         ::testing::Values(PatternCase{1, 0, 1, 0}, PatternCase{2, 1, 0, 1},
                                           PatternCase{3, 0, 0, 1}, PatternCase{4, 0, 1, 1},
                                           PatternCase{5, 1, 0, 0}, PatternCase{6, 0, 0, 0}),
                         [](const ::testing::TestParamInfo<PatternCase>& info) {
                             return "Pattern" + std::to_string(info.param.Pattern);
                         });

TEST(BoardFlagMap, CornerOfTheRingKeepsTheCentreWeightWhereNeighboursAreMissing)
{
    TestMap map({"...", "...", "..."});
    // The ring's corner has only three neighbours; the outward directions
    // answer the corner itself, which keeps the centre's weight.
    const CBoardFlagMap flags(2, map.At(0, 0));
    EXPECT_EQ(flags.Get(map.At(0, 0)), 0);
    EXPECT_EQ(flags.Get(map.At(0, 1)), 1);
    EXPECT_EQ(flags.Get(map.At(1, 0)), 1);
    EXPECT_EQ(flags.Get(map.At(1, 1)), 1);
    EXPECT_EQ(flags.Get(map.At(3, 3)), 1);
    EXPECT_EQ(flags.GetMap().size(), 4u);
}

TEST(BoardFlagMap, PatternOneAroundAReefMarksTheReefAlone)
{
    TestMap map({"...", ".R.", "..."});
    const CBoardFlagMap flags(1, map.At(2, 2));
    EXPECT_EQ(flags.Get(map.At(2, 2)), 1);
    EXPECT_EQ(flags.Get(map.At(1, 2)), 0);
    EXPECT_EQ(flags.Get(map.At(3, 3)), 0);
}

TEST(BoardFlagMap, RefusesPatternsOutsideOneToSix)
{
    TestMap map({"...", "...", "..."});
    EXPECT_THROW(CBoardFlagMap(0, map.At(2, 2)), std::out_of_range);
    EXPECT_THROW(CBoardFlagMap(7, map.At(2, 2)), std::out_of_range);
}

TEST(BoardFlagMap, NullCentreWeighsEveryPanelWithTheDefault)
{
    TestMap map({"...", "...", "..."});
    const CBoardFlagMap flags(2, nullptr);
    EXPECT_EQ(flags.Get(map.At(2, 2)), 1);
    EXPECT_EQ(flags.Get(map.At(0, 0)), 1);
}

} // namespace
