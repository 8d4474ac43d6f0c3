#include "TestMap.h"

#include "model/Errors.h"

#include <gtest/gtest.h>

#include <string>

#include <functional>
#include <stdexcept>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

using Rows = std::vector<std::string>;
const Rows Open5{".....", ".....", ".....", ".....", "....."};

struct FlagCase {
    const char* Name;
    Rows Map;
    Rows Before;
    std::function<void(CVirtualBoard&, const TestMap&)> Operation;
    Rows After;
};

void PrintTo(const FlagCase& c, std::ostream* os)
{
    *os << c.Name;
}

class FlagOperations : public ::testing::TestWithParam<FlagCase> {};

TEST_P(FlagOperations, TurnFlagsBeforeIntoFlagsAfter)
{
    const FlagCase& c = GetParam();
    TestMap map(c.Map);
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, c.Before);
    c.Operation(board, map);
    EXPECT_EQ(FlagRows(board, map), c.After);

    // The candidates are the panels with a flag, in panel order.
    std::vector<const CVirtualPanel*> expected;
    for (const CVirtualPanel& p : board.GetPanels()) {
        if (p.GetFlag() != 0) expected.push_back(&p);
    }
    EXPECT_EQ(std::vector<const CVirtualPanel*>(board.GetCandidates().begin(), board.GetCandidates().end()),
              expected);
}

const auto Spread = [](std::uint32_t mode) {
    return [mode](CVirtualBoard& b, const TestMap&) { b.SpreadFlag(mode); };
};
const auto Extend = [](std::uint32_t d, std::uint32_t n) {
    return [d, n](CVirtualBoard& b, const TestMap&) { b.ExtendFlag(d, n); };
};
const auto Move = [](std::uint32_t d, std::uint32_t n) {
    return [d, n](CVirtualBoard& b, const TestMap&) { b.MoveFlag(d, n); };
};
const auto Apply = [](std::uint32_t kind, std::uint32_t x, std::uint32_t y) {
    return [=](CVirtualBoard& b, const TestMap& m) { b.ApplyFlag(kind, m.At(x, y)); };
};
const auto Ring = [](std::uint32_t x, std::uint32_t y, std::uint32_t distance) {
    return [=](CVirtualBoard& b, const TestMap& m) { b.SetRingFlag(m.At(x, y), distance); };
};

const Rows Single33{"00000", "00000", "00100", "00000", "00000"};
const Rows AllOpen{"11111", "11111", "11111", "11111", "11111"};
const Rows None5{"00000", "00000", "00000", "00000", "00000"};

INSTANTIATE_TEST_SUITE_P(
    Spreading, FlagOperations,
    ::testing::Values(
        FlagCase{"SpreadToEightNeighbours",
                 Open5,
                 Single33,
                 Spread(0),
                 {"00000", "01110", "01010", "01110", "00000"}},
        FlagCase{"SpreadSkipsAKnownReef",
                 {".....", ".R...", ".....", ".....", "....."},
                 Single33,
                 Spread(0),
                 {"00000", "00110", "01010", "01110", "00000"}},
        FlagCase{
            "SpreadAlongLines", Open5, Single33, Spread(3), {"00100", "00100", "11011", "00100", "00100"}},
        FlagCase{"SpreadAlongLinesNextToAReefKeepsTheCandidate",
                 {".....", ".....", ".R...", ".....", "....."},
                 Single33,
                 Spread(3),
                 {"00100", "00100", "00111", "00100", "00100"}},
        FlagCase{"SpreadAlongLinesStopsAtAKnownReef",
                 {"..R..", ".....", ".....", ".....", "....."},
                 Single33,
                 Spread(3),
                 {"00000", "00100", "11011", "00100", "00100"}},
        FlagCase{"SpreadAlongLinesCrossesAnUnknownReef",
                 {"..r..", ".....", ".....", ".....", "....."},
                 Single33,
                 Spread(3),
                 {"00100", "00100", "11011", "00100", "00100"}},
        FlagCase{"SpreadWithoutCandidatesChangesNothing", Open5, None5, Spread(0), None5},
        FlagCase{"SpreadOverEveryOpenPanelChangesNothing", Open5, AllOpen, Spread(0), AllOpen},
        FlagCase{"SpreadInAnotherModeEmpties", Open5, Single33, Spread(1), None5},
        FlagCase{
            "ExtendFourWays", Open5, Single33, Extend(9, 2), {"00100", "00100", "11111", "00100", "00100"}},
        FlagCase{
            "ExtendNorthOne", Open5, Single33, Extend(1, 1), {"00000", "00100", "00100", "00000", "00000"}},
        FlagCase{
            "ExtendNorthEast", Open5, Single33, Extend(5, 1), {"00000", "00010", "00100", "00000", "00000"}},
        FlagCase{"ExtendStopsAtAKnownReef",
                 {".....", ".....", "....R", ".....", "....."},
                 Single33,
                 Extend(2, 5),
                 {"00000", "00000", "00110", "00000", "00000"}},
        FlagCase{"ExtendByZeroChangesNothing", Open5, Single33, Extend(9, 0), Single33},
        FlagCase{"ExtendOverEveryOpenPanelChangesNothing", Open5, AllOpen, Extend(9, 3), AllOpen}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(Moving, FlagOperations,
                         ::testing::Values(FlagCase{"NorthTwo",
                                                    Open5,
                                                    {"00000", "00000", "00000", "00100", "00000"},
                                                    Move(1, 2),
                                                    {"00000", "00100", "00000", "00000", "00000"}},
                                           FlagCase{"NorthTwoLosesAFlagNearTheRing",
                                                    Open5,
                                                    {"00000", "00100", "00000", "00000", "00000"},
                                                    Move(1, 2),
                                                    None5},
                                           FlagCase{"NorthTwoLosesAFlagNextToTheRing",
                                                    Open5,
                                                    {"00200", "00000", "00000", "00000", "00000"},
                                                    Move(1, 2),
                                                    None5},
                                           FlagCase{"SouthOne",
                                                    Open5,
                                                    {"00000", "00300", "00000", "00000", "00000"},
                                                    Move(4, 1),
                                                    {"00000", "00000", "00300", "00000", "00000"}},
                                           FlagCase{"EastOne",
                                                    Open5,
                                                    {"00000", "00000", "02000", "00000", "00000"},
                                                    Move(2, 1),
                                                    {"00000", "00000", "00200", "00000", "00000"}},
                                           FlagCase{"WestTwo",
                                                    Open5,
                                                    {"00000", "00000", "00010", "00000", "00000"},
                                                    Move(3, 2),
                                                    {"00000", "00000", "01000", "00000", "00000"}},
                                           FlagCase{"AReefAheadHoldsTheFlag",
                                                    {".....", "..R..", ".....", ".....", "....."},
                                                    Single33,
                                                    Move(1, 1),
                                                    Single33},
                                           FlagCase{"AFlagStopsInFrontOfAReef",
                                                    {".....", "..R..", ".....", ".....", "....."},
                                                    {"00000", "00000", "00000", "00100", "00000"},
                                                    Move(1, 2),
                                                    Single33},
                                           FlagCase{"DiagonalChangesNothing", Open5, Single33, Move(5, 1),
                                                    Single33}),
                         [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Patterns, FlagOperations,
    ::testing::Values(
        FlagCase{"CentreOnly", Open5, AllOpen, Apply(1, 3, 3), Single33},
        FlagCase{
            "AllButCentre", Open5, AllOpen, Apply(2, 3, 3), {"11111", "11111", "11011", "11111", "11111"}},
        FlagCase{
            "RingOfEight", Open5, AllOpen, Apply(3, 3, 3), {"00000", "01110", "01010", "01110", "00000"}},
        FlagCase{"Block", Open5, AllOpen, Apply(4, 2, 2), {"11100", "11100", "11100", "00000", "00000"}},
        FlagCase{
            "OutsideBlock", Open5, AllOpen, Apply(5, 3, 3), {"11111", "10001", "10001", "10001", "11111"}},
        FlagCase{"Nothing", Open5, AllOpen, Apply(6, 3, 3), None5},
        FlagCase{"PatternMultipliesWeights",
                 Open5,
                 {"23000", "00000", "00000", "00000", "00400"},
                 Apply(2, 1, 1),
                 {"03000", "00000", "00000", "00000", "00400"}},
        FlagCase{"NeighbourFlagAddsOneAroundThePanel",
                 {".....", ".R...", ".....", ".....", "....."},
                 {"11111", "10111", "11111", "11111", "11111"},
                 [](CVirtualBoard& b, const TestMap& m) { b.AddNeighborFlag(m.At(3, 3)); },
                 {"11111", "10221", "12121", "12221", "11111"}},
        FlagCase{"NeighbourFlagIfSetOnlyRaisesFlags",
                 Open5,
                 {"10000", "01000", "00000", "00001", "00000"},
                 [](CVirtualBoard& b, const TestMap& m) { b.AddNeighborFlagIfSet(m.At(3, 3)); },
                 {"10000", "02000", "00000", "00001", "00000"}},
        FlagCase{"NormalizeToOne",
                 Open5,
                 {"30000", "01000", "00000", "00002", "00000"},
                 [](CVirtualBoard& b, const TestMap&) { b.NormalizeFlag(); },
                 {"10000", "01000", "00000", "00001", "00000"}},
        FlagCase{"RingAtOne", Open5, AllOpen, Ring(3, 3, 1), {"00000", "00100", "01010", "00100", "00000"}},
        FlagCase{"RingAtTwoSkipsAKnownReef",
                 {".....", ".....", "R....", ".....", "....."},
                 None5,
                 Ring(3, 3, 2),
                 {"00100", "01010", "00001", "01010", "00100"}},
        FlagCase{"RingAtZero", Open5, None5, Ring(3, 3, 0), Single33},
        FlagCase{"Clear", Open5, AllOpen, [](CVirtualBoard& b, const TestMap&) { b.ClearFlag(); }, None5}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- operations with a second board ---

struct PairCase {
    const char* Name;
    std::function<void(CVirtualBoard&, const CVirtualBoard&)> Operation;
    Rows After;
};

void PrintTo(const PairCase& c, std::ostream* os)
{
    *os << c.Name;
}

class PairOperations : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairOperations, CombineWithTheOtherBoardsFlags)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard a = ResetBoard(map);
    CVirtualBoard b = ResetBoard(map);
    SetFlags(a, map, {"123", "000", "201"});
    SetFlags(b, map, {"021", "101", "100"});
    GetParam().Operation(a, b);
    EXPECT_EQ(FlagRows(a, map), GetParam().After);
    EXPECT_EQ(FlagRows(b, map), (Rows{"021", "101", "100"}));
}

INSTANTIATE_TEST_SUITE_P(
    All, PairOperations,
    ::testing::Values(
        PairCase{
            "Mix", [](CVirtualBoard& a, const CVirtualBoard& b) { a.MixFlag(b); }, {"043", "000", "200"}},
        PairCase{"Exclude",
                 [](CVirtualBoard& a, const CVirtualBoard& b) { a.ExcludeFlag(b); },
                 {"100", "000", "001"}},
        PairCase{
            "Add", [](CVirtualBoard& a, const CVirtualBoard& b) { a.AddFlag(b); }, {"144", "101", "301"}},
        PairCase{"AddIfSet",
                 [](CVirtualBoard& a, const CVirtualBoard& b) { a.AddFlagIfSet(b); },
                 {"144", "000", "301"}},
        PairCase{
            "Copy", [](CVirtualBoard& a, const CVirtualBoard& b) { a.CopyFlag(b); }, {"021", "101", "100"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VirtualBoardFlags, BoardOfAnotherMapIsRefusedBeforeAnythingChanges)
{
    TestMap map({"...", "...", "..."});
    TestMap other({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, {"120", "000", "003"});
    const CVirtualBoard foreign = ResetBoard(other);
    try {
        board.MixFlag(foreign);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), MissingKeyText);
    }
    EXPECT_THROW(board.CopyFlag(foreign), std::out_of_range);
    EXPECT_EQ(FlagRows(board, map), (Rows{"120", "000", "003"}));
    EXPECT_EQ(board.GetCandidateCount(), 3u);
}

TEST(VirtualBoardFlags, ResetCountsOpenPanelsAndClearsMarks)
{
    TestMap map({"R.M", "r..", "..."});
    CVirtualBoard board(Observer, map.Board);
    board.MarkOwnMines();
    EXPECT_TRUE(board.GetVirtualPanel(map.At(1, 3))->IsMarked());
    EXPECT_FALSE(board.GetVirtualPanel(map.At(1, 2))->IsMarked());
    board.Reset();
    EXPECT_FALSE(board.GetVirtualPanel(map.At(1, 3))->IsMarked());
    EXPECT_EQ(board.GetPossibleCount(), 8u);
    EXPECT_EQ(board.GetCandidateCount(), 8u);
    EXPECT_EQ(FlagRows(board, map), (Rows{"011", "111", "111"}));

    // A mine that went off no longer blocks.
    map.Mines.front().IsExploded = true;
    board.MarkOwnMines();
    EXPECT_FALSE(board.GetVirtualPanel(map.At(1, 3))->IsMarked());
}

TEST(VirtualBoardFlags, CandidatesByFlagKeepPanelOrderWithinAFlag)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, {"010", "302", "001"});
    std::vector<std::pair<std::int32_t, const CPanel*>> got;
    for (const auto& entry : board.GetCandidatesByFlag()) got.emplace_back(entry.first, entry.second);
    EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, const CPanel*>>{
                       {1, map.At(1, 2)}, {1, map.At(3, 3)}, {2, map.At(2, 3)}, {3, map.At(2, 1)}}));
    board.ClearFlag();
    EXPECT_TRUE(board.GetCandidatesByFlag().empty());
}

} // namespace
