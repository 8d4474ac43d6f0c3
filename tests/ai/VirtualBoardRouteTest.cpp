#include "TestMap.h"

#include <gtest/gtest.h>

#include <string>

#include <random>
#include <set>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

using Rows = std::vector<std::string>;

ShipProfile Ship(std::uint32_t unitId, std::uint32_t moveRange, std::uint32_t extraMoveFp)
{
    ShipProfile p;
    p.UnitId = unitId;
    p.ShipId = 1;
    p.Type = ShipTypeDestroyer;
    p.Status = ShipStatusNormal;
    p.Condition = 1;
    p.Config.MoveRange = moveRange;
    p.Config.ExtraMoveFp = extraMoveFp;
    return p;
}

// A board that tracks a rival ship, with its flags drawn.
struct Tracked {
    TestMap Map;
    ShipProfile Profile;
    CVirtualBoard Board;

    Tracked(const Rows& map, const Rows& flags, std::uint32_t moveRange = 3, std::uint32_t extraMoveFp = 1)
        : Map(map), Profile(Ship(2, moveRange, extraMoveFp)), Board(ResetBoard(Map))
    {
        Board.SetTrackedProfile(&Profile);
        if (!flags.empty()) SetFlags(Board, Map, flags);
    }
    const CPanel* At(std::uint32_t x, std::uint32_t y) const { return Map.At(x, y); }
};

struct ReachCase {
    const char* Name;
    Rows Map;
    std::uint32_t FromX, FromY, ToX, ToY;
    bool Expected;
};

void PrintTo(const ReachCase& c, std::ostream* os)
{
    *os << c.Name;
}

class StraightReach : public ::testing::TestWithParam<ReachCase> {};

TEST_P(StraightReach, OneOfTheTwoLShapedRoutesIsClear)
{
    const ReachCase& c = GetParam();
    Tracked t(c.Map, {});
    EXPECT_EQ(t.Board.CanReach(t.At(c.FromX, c.FromY), t.At(c.ToX, c.ToY)), c.Expected);
}

const Rows Wall{".....", ".RRR.", ".....", ".....", "....."};

INSTANTIATE_TEST_SUITE_P(
    Maps, StraightReach,
    ::testing::Values(ReachCase{"AlongAClearRow", Wall, 1, 1, 1, 5, true},
                      ReachCase{"ThroughAReefInLine", Wall, 3, 2, 1, 2, false},
                      ReachCase{"AroundTheWallNorthFirst", Wall, 3, 1, 1, 3, true},
                      ReachCase{"BothCornersBlocked", Wall, 3, 2, 1, 4, false},
                      ReachCase{"ReefInARowWithoutDetour", {".....", "..R..", "....."}, 2, 1, 2, 5, false},
                      ReachCase{"ReefInARowWithDetour", {".....", "..R..", "....."}, 2, 1, 1, 5, true},
                      ReachCase{"UnknownReefIsWater", {".....", ".rrr.", "....."}, 3, 2, 1, 2, true},
                      ReachCase{"OwnMineBlocks", {"..M..", ".....", "....."}, 1, 1, 1, 5, false},
                      ReachCase{"OwnMineAtTheDestination", {"..M..", ".....", "....."}, 2, 3, 1, 3, false},
                      ReachCase{"StartOnOwnMineIsNotTested", {"..M..", ".....", "....."}, 1, 3, 1, 5, true},
                      ReachCase{"OwnPanel", Wall, 2, 2, 2, 2, true},
                      ReachCase{"IntoAKnownReef", Wall, 1, 2, 2, 2, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VirtualBoardRoutes, MoveCountAddsTwoForARouteThatIsNotStraight)
{
    Tracked t(Wall, {}, 2);
    EXPECT_EQ(t.Board.GetMoveCount(t.At(1, 1), t.At(1, 5)), 2u);
    EXPECT_EQ(t.Board.GetMoveCount(t.At(3, 1), t.At(1, 3)), 2u);
    EXPECT_EQ(t.Board.GetMoveCount(t.At(3, 2), t.At(1, 2)), 3u);
    EXPECT_EQ(t.Board.GetMoveCount(t.At(4, 4), t.At(4, 4)), 0u);
    // A ship type without a range moves one panel a time rather than dividing by zero.
    t.Profile.Config.MoveRange = 0;
    EXPECT_EQ(t.Board.GetMoveCount(t.At(1, 1), t.At(1, 5)), 4u);
}

TEST(VirtualBoardRoutes, WaypointIsTheCornerOfTheOnlyClearRoute)
{
    // Around the wall only by the west column, then along the first row.
    Tracked t({".....", ".RRRR", "....."}, {}, 2);
    EXPECT_EQ(t.Board.ChooseWaypoint(t.At(3, 1), t.At(1, 5)), t.At(1, 1));
    // Both corners open: straight to the target.
    Tracked open({".....", ".....", "....."}, {}, 2);
    EXPECT_EQ(open.Board.ChooseWaypoint(open.At(3, 1), open.At(1, 5)), open.At(1, 5));
    // One move away.
    EXPECT_EQ(open.Board.ChooseWaypoint(open.At(1, 1), open.At(1, 2)), open.At(1, 2));
    // Neither route is clear and the target is out of straight reach.
    Tracked walled({".....", "RRRR.", "....."}, {}, 2);
    EXPECT_EQ(walled.Board.ChooseWaypoint(walled.At(3, 1), walled.At(1, 1)), nullptr);
    EXPECT_EQ(walled.Board.ChooseWaypoint(walled.At(3, 1), walled.At(2, 1)), nullptr);
}

TEST(VirtualBoardRoutes, TravelCost)
{
    Tracked t({".........", ".........", ".........", ".........", ".........", ".........", ".........",
               ".........", "........."},
              {}, 4, 2);
    const CPanel* from = t.At(1, 1);
    EXPECT_EQ(t.Board.GetTravelCost(from, from, 20, 0), CVirtualBoard::NoCost);
    EXPECT_EQ(t.Board.GetTravelCost(from, t.At(9, 9), 10, 0), CVirtualBoard::NoCost);
    // Within three panels on both coordinates a trip costs nothing.
    for (std::uint32_t x = 1; x <= 4; ++x) {
        for (std::uint32_t y = 1; y <= 4; ++y) {
            if (x == 1 && y == 1) continue;
            EXPECT_EQ(t.Board.GetTravelCost(from, t.At(x, y), 6, 0), 0u) << x << "," << y;
        }
    }
    // Five east: two moves, 10 * (5 - 3) * 2 * 5.
    EXPECT_EQ(t.Board.GetTravelCost(from, t.At(1, 6), 20, 0), 200u);
    // Four east in one move: 1 * 1 * 2 * 4, and nothing for a stealthed ship.
    EXPECT_EQ(t.Board.GetTravelCost(from, t.At(1, 5), 20, 0), 8u);
    EXPECT_EQ(t.Board.GetTravelCost(from, t.At(1, 5), 20, 2), 0u);
    EXPECT_EQ(t.Board.GetTravelCost(from, t.At(1, 5), 3, 0), CVirtualBoard::NoCost);
}

TEST(VirtualBoardRoutes, SimulatedTravelCostCountsWhatTheOtherBoardLoses)
{
    Tracked t({".....", ".....", ".....", ".....", "....."}, {}, 2, 2);
    CVirtualBoard other = ResetBoard(t.Map);
    const ShipProfile own = Ship(Observer, 3, 1);
    other.SetTrackedProfile(&own);
    SetFlags(other, t.Map, {"00000", "00000", "00100", "00000", "00000"});

    // Stealthed: the other ship spreads along its lines, 17 of 25 panels drop
    // out; two moves, the first free: 10 * 17 * 1, plus 2 * (4 - 3).
    EXPECT_EQ(t.Board.GetSimulatedTravelCost(other, t.At(1, 1), t.At(1, 5), 10, 2), 172u);
    // Otherwise its flags move four east and off the map: 10 * 25 * 2 + 2.
    EXPECT_EQ(t.Board.GetSimulatedTravelCost(other, t.At(1, 1), t.At(1, 5), 10, 0), 502u);
    EXPECT_EQ(t.Board.GetSimulatedTravelCost(other, t.At(1, 1), t.At(1, 1), 10, 0), CVirtualBoard::NoCost);
    EXPECT_EQ(t.Board.GetSimulatedTravelCost(other, t.At(1, 1), t.At(5, 5), 7, 0), CVirtualBoard::NoCost);
    // The other board is only read.
    EXPECT_EQ(other.GetCandidateCount(), 1u);
}

TEST(VirtualBoardRoutes, MoveTargetsAlongTheFourLines)
{
    Tracked t({".....", "..F..", ".M.HH", ".....", "..R.."}, {"00010", "00000", "00000", "00000", "00000"});
    ShipProfile ship = Ship(Observer, 5, 3);
    CVirtualBoard::PanelsByValue out;
    t.Board.EvaluateMoveTargets(out, ship, t.At(3, 3), 5);
    // One candidate of 24 possible panels: k = (24 - 1 + 1) * 20 / 24 = 20
    // per neighbouring candidate. Fog gains, high waves lose more each time,
    // the own mine west and the reef south stop the lines.
    std::vector<std::pair<std::int32_t, const CPanel*>> got(out.begin(), out.end());
    EXPECT_EQ(
        got, (std::vector<std::pair<std::int32_t, const CPanel*>>{
                 {-20, t.At(1, 3)}, {-15, t.At(2, 3)}, {-9, t.At(3, 5)}, {-7, t.At(3, 4)}, {0, t.At(4, 3)}}));
}

TEST(VirtualBoardRoutes, MoveTargetsCostFuelBeyondTheThirdStep)
{
    Tracked t({".......", ".......", "......."}, {});
    t.Board.ClearFlag();
    ShipProfile ship = Ship(Observer, 6, 3);
    CVirtualBoard::PanelsByValue out;
    t.Board.EvaluateMoveTargets(out, ship, t.At(2, 1), 5);
    std::map<const CPanel*, std::int32_t> east;
    for (const auto& [score, panel] : out) {
        if (panel->GetX() == 2) east[panel] = score;
    }
    EXPECT_EQ(east,
              (std::map<const CPanel*, std::int32_t>{
                  {t.At(2, 2), 0}, {t.At(2, 3), 0}, {t.At(2, 4), 0}, {t.At(2, 5), -3}, {t.At(2, 6), -6}}));
    EXPECT_EQ(out.size(), 7u); // and one panel north and south
}

TEST(VirtualBoardRoutes, ApproachAroundAReefWall)
{
    // The target hides behind the wall; only the east column leads round.
    Tracked t({".....", "RRRR.", "....."}, {"00000", "00000", "10000"});
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(1, 1), 10, 1), t.At(1, 5));
}

TEST(VirtualBoardRoutes, ApproachBlockedByOwnMinesStays)
{
    Tracked t({".....", "RRRRM", "....."}, {"00000", "00000", "10000"});
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(1, 1), 10, 1), t.At(1, 1));
    // Without the marks the east column is open again.
    t.Board.Reset();
    SetFlags(t.Board, t.Map, {"00000", "00000", "10000"});
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(1, 1), 10, 1), t.At(1, 5));
}

TEST(VirtualBoardRoutes, ApproachToAnUnreachableTargetStays)
{
    Tracked t({".....", "RRRRR", "....."}, {"00000", "00000", "00100"});
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(1, 1), 10, 1), t.At(1, 1));
    // No candidates at all: nothing to approach.
    t.Board.ClearFlag();
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(1, 1), 10, 1), t.At(1, 1));
}

TEST(VirtualBoardRoutes, ApproachNextToTheTargetWithinTheLimit)
{
    Tracked t({".....", ".....", ".....", ".....", "....."}, {"00000", "00000", "00100", "00000", "00000"});
    // Limit 0: only the ship's own panel lies next to the target.
    EXPECT_EQ(t.Board.ChooseApproachPanel(t.Board, t.At(2, 2), 0, 1), t.At(2, 2));
    // Limit 1: the two free panels next to both, at no cost; the draw picks one.
    std::set<const CPanel*> chosen;
    std::mt19937 engine(5);
    for (int i = 0; i < 40; ++i)
        chosen.insert(t.Board.ChooseApproachPanel(t.Board, t.At(2, 2), 1, 1, &engine));
    EXPECT_EQ(chosen, (std::set<const CPanel*>{t.At(2, 3), t.At(3, 2)}));
}

TEST(VirtualBoardRoutes, DirectionToTheHighestFlagAvoidsOwnMinesOnTies)
{
    Tracked t({"...", "...", "..M"}, {"130", "000", "003"});
    EXPECT_EQ(t.Board.ChooseDirectionToHighestFlag(t.At(2, 2)), DirectionNorth);
    EXPECT_EQ(t.Board.ChooseDirection(2, t.At(2, 2), 0, t.Board), DirectionNorth);
    t.Board.ClearFlag();
    EXPECT_EQ(t.Board.ChooseDirectionToHighestFlag(t.At(2, 2)), DirectionNone);
}

TEST(VirtualBoardRoutes, DirectionByScore)
{
    Tracked t({"...", "...", "..."}, {"010", "000", "000"});
    // North scores 2, its sides 1, the south 0.
    EXPECT_EQ(t.Board.ChooseDirectionByScore(t.At(2, 2), 0, t.Board), DirectionNorth);
    EXPECT_EQ(t.Board.ChooseDirection(1, t.At(2, 2), 0, t.Board), DirectionNorth);
    EXPECT_EQ(t.Board.ChooseDirection(3, t.At(2, 2), 0, t.Board), DirectionNorth);
}

TEST(VirtualBoardRoutes, NoDirectionWhenEveryNeighbourIsBlocked)
{
    Tracked t({".R.", "RR.", "..."}, {});
    EXPECT_EQ(t.Board.ChooseDirection(1, t.At(1, 1), 0, t.Board), DirectionNone);
    EXPECT_EQ(t.Board.ChooseDirection(3, t.At(1, 1), 0, t.Board), DirectionNone);
}

TEST(VirtualBoardRoutes, BestScoredPanels)
{
    Tracked t({"...", "...", "..."}, {"000", "010", "000"});
    std::vector<std::pair<std::uint32_t, const CPanel*>> got;
    for (const auto& entry : t.Board.GetBestScoredPanels()) got.emplace_back(entry.first, entry.second);
    EXPECT_EQ(got, (std::vector<std::pair<std::uint32_t, const CPanel*>>{{2, t.At(2, 2)}}));
    t.Board.ClearFlag();
    EXPECT_TRUE(t.Board.GetBestScoredPanels().empty());
}

} // namespace
