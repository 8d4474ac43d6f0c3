#include "TestMap.h"

#include <gtest/gtest.h>

#include <string>

#include <stdexcept>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

using Rows = std::vector<std::string>;
const Rows Open5{".....", ".....", ".....", ".....", "....."};

TEST(VirtualBoardQueries, SumsAndCountsAroundAPanel)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, {"123", "000", "201"});
    EXPECT_EQ(board.GetFlagTotal(), 9);
    EXPECT_EQ(board.GetNeighborFlagSum(map.At(2, 2)), 9);
    EXPECT_EQ(board.CountPositiveNeighbors(map.At(2, 2)), 5u);
    EXPECT_EQ(board.GetMaxNeighborFlag(map.At(2, 2)), 3);
    // The corner's neighbours include the ring, which holds nothing.
    EXPECT_EQ(board.GetNeighborFlagSum(map.At(1, 1)), 2);
    EXPECT_EQ(board.CountPositiveNeighbors(map.At(1, 1)), 1u);
    board.ClearFlag();
    EXPECT_EQ(board.GetFlagTotal(), 0);
    EXPECT_EQ(board.GetMaxNeighborFlag(map.At(2, 2)), 0);
}

TEST(VirtualBoardQueries, ScoreNearHalfTheTotal)
{
    TestMap map(Open5);
    CVirtualBoard board = ResetBoard(map);
    // Total 7, half 4: flag 2 with neighbours summing to 2 scores 2 - 0 + 4.
    SetFlags(board, map, {"00000", "01100", "00200", "00000", "00003"});
    EXPECT_EQ(board.GetScore(map.At(3, 3), 0), 6u);
    EXPECT_EQ(board.GetScore(map.At(3, 3), 7, 0), 6u);
    // Stealth weighs the panel alone: 1 when it has a flag.
    EXPECT_EQ(board.GetScore(map.At(3, 3), 2), 1u);
    EXPECT_EQ(board.GetScore(map.At(3, 2), 2), 0u);
    // Flag 0 next to flags: half - |half - s| = 4 - |4 - 4|.
    EXPECT_EQ(board.GetScore(map.At(2, 3), 0), 5u); // f 1, s 1 + 1 + 2 = 4
    EXPECT_EQ(board.GetScore(map.At(1, 1), 0), 1u); // s 1: |4 - 1| = 3 <= 4, 0 - 3 + 4
    EXPECT_EQ(board.GetScore(map.At(1, 5), 0), 0u); // nothing near

    // Flag plus neighbours 9 against half 4: too far off.
    SetFlags(board, map, {"00000", "03000", "00300", "00030", "00000"});
    EXPECT_EQ(board.GetScore(map.At(3, 3), 7, 0), 0u);
}

TEST(VirtualBoardQueries, ScoreOfAnEmptyPanelInsideARingIsZero)
{
    TestMap map(Open5);
    CVirtualBoard board = ResetBoard(map);
    board.ApplyFlag(3, map.At(3, 3));
    EXPECT_EQ(board.GetScore(map.At(3, 3), 0), 0u);
    EXPECT_EQ(board.GetScore(map.At(2, 2), 0), 4u);
    EXPECT_EQ(board.GetBestScoreAround(map.At(3, 3), 0), 4u);
    EXPECT_EQ(board.GetBestScoreAround(map.At(3, 3), 2), 1u);
    EXPECT_EQ(board.GetBestScoreAround(map.At(1, 1), 2), 1u); // (2, 2) is on the ring
    board.ClearFlag();
    EXPECT_EQ(board.GetBestScoreAround(map.At(3, 3), 0), 0u);
}

TEST(VirtualBoardQueries, WeightedMeansAndCentreOffsetRoundHalfAwayFromZero)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, {"100", "000", "003"});
    EXPECT_DOUBLE_EQ(board.GetWeightedMeanFirst(), 2.5);
    EXPECT_DOUBLE_EQ(board.GetWeightedMeanSecond(), 2.5);
    EXPECT_EQ(board.GetCentreOffset(map.At(1, 1)), 4);  // 1.5 -> 2, twice
    EXPECT_EQ(board.GetCentreOffset(map.At(3, 3)), -2); // -0.5 -> -1, twice
    EXPECT_EQ(board.GetCentreOffset(map.At(3, 1)), 1);  // -0.5 -> -1, 1.5 -> 2

    board.ClearFlag();
    EXPECT_DOUBLE_EQ(board.GetWeightedMeanFirst(), 0.0);
    EXPECT_EQ(board.GetCentreOffset(map.At(2, 2)), -4);
}

TEST(VirtualBoardQueries, CandidateRatioAgainstTheReferenceCount)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, {"100", "000", "001"});
    EXPECT_DOUBLE_EQ(board.GetCandidateRatio(), 1.0);
    board.SetReferenceCount(4);
    EXPECT_DOUBLE_EQ(board.GetCandidateRatio(), 0.5);
    board.ClearFlag();
    EXPECT_DOUBLE_EQ(board.GetCandidateRatio(), 0.0);
}

// --- the tracked ship ---

struct StatusCase {
    const char* Name;
    std::uint32_t Status;
    std::uint32_t Condition; // first status word
    std::uint32_t Pending;   // third status word
    bool CanStealth;
    ShipType Type;
    Rows Flags; // where the ship may be, on the map below
    ShipStatus Expected;
    bool CanAct;
};

void PrintTo(const StatusCase& c, std::ostream* os)
{
    *os << c.Name;
}

class TrackedShipStatus : public ::testing::TestWithParam<StatusCase> {};

const Rows Spread3{"110", "000", "000"};

TEST_P(TrackedShipStatus, PresumedFromTheProfileAndTheCandidates)
{
    const StatusCase& c = GetParam();
    TestMap map({"FS.", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    SetFlags(board, map, c.Flags);
    ShipProfile profile;
    profile.Type = c.Type;
    profile.Status = c.Status;
    profile.Condition = c.Condition;
    profile.PendingStatus = c.Pending;
    profile.Config.CanStealth = c.CanStealth;
    board.SetTrackedProfile(&profile);

    EXPECT_EQ(board.GetTrackedShipStatus(), c.Expected);
    EXPECT_EQ(board.CanTrackedShipAct(), c.CanAct);
    EXPECT_EQ(board.IsTrackedShipSunk(), c.Expected == ShipStatusSinking);
    EXPECT_EQ(board.IsTrackedShipActive(), !board.IsTrackedShipOutOfAction());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrackedShipStatus,
    ::testing::Values(
        StatusCase{"Normal", 1, 1, 0, false, ShipTypeDestroyer, Spread3, ShipStatusNormal, true},
        StatusCase{"Sunk", 5, 5, 0, false, ShipTypeDestroyer, Spread3, ShipStatusSinking, false},
        StatusCase{"CannotAct", 1, 4, 0, false, ShipTypeDestroyer, Spread3, ShipStatusFuelShortage, false},
        StatusCase{"FuelShortage", 4, 1, 0, false, ShipTypeDestroyer, Spread3, ShipStatusFuelShortage, false},
        StatusCase{"ShortageComing", 1, 1, 5, false, ShipTypeDestroyer, Spread3, ShipStatusFuelShortage,
                   false},
        StatusCase{"Stealthed", 2, 1, 0, true, ShipTypeSubmarine, Spread3, ShipStatusStealth, true},
        StatusCase{"StealthEnding", 2, 1, 2, true, ShipTypeSubmarine, Spread3, ShipStatusStealthDisabled,
                   true},
        StatusCase{"StealthEndingWithoutAbility", 2, 1, 2, false, ShipTypeSubmarine, Spread3,
                   ShipStatusNormal, true},
        StatusCase{"StealthComing", 1, 1, 1, true, ShipTypeSubmarine, Spread3, ShipStatusStealth, true},
        StatusCase{"StealthDisabled", 3, 1, 0, true, ShipTypeSubmarine, Spread3, ShipStatusStealthDisabled,
                   true},
        StatusCase{"DisabledButStealthComing", 3, 1, 1, true, ShipTypeSubmarine, Spread3, ShipStatusStealth,
                   true},
        StatusCase{
            "AloneInFog", 1, 1, 0, false, ShipTypeDestroyer, {"100", "000", "000"}, ShipStatusStealth, true},
        StatusCase{"AloneOnShallows",
                   1,
                   1,
                   0,
                   false,
                   ShipTypeDestroyer,
                   {"010", "000", "000"},
                   ShipStatusStealthDisabled,
                   true},
        StatusCase{
            "AloneAtSea", 1, 1, 0, false, ShipTypeDestroyer, {"001", "000", "000"}, ShipStatusNormal, true},
        StatusCase{"Oiler", 1, 1, 0, false, ShipTypeOiler, Spread3, ShipStatusNormal, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TrackedShip, DamageAndTheNeedForAProfile)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    EXPECT_EQ(board.GetTrackedShipDamage(), 0);
    EXPECT_THROW(board.GetTrackedShipStatus(), std::logic_error);
    EXPECT_THROW(board.IsTrackedShipSunk(), std::logic_error);
    EXPECT_THROW(board.GetMoveCount(map.At(1, 1), map.At(2, 2)), std::logic_error);

    ShipProfile profile;
    profile.UnitId = 2;
    profile.ShipId = 9;
    profile.Type = ShipTypeBattleship;
    profile.Hp = 2;
    profile.Config.Hp = 5;
    board.SetTrackedProfile(&profile);
    EXPECT_EQ(board.GetTrackedShipDamage(), 3);
    EXPECT_EQ(board.GetTrackedUnitId(), 2);
    board.SetTrackedProfile(nullptr);
    EXPECT_EQ(board.GetTrackedUnitId(), -1);
    EXPECT_EQ(board.GetTrackedShipDamage(), 0);
}

} // namespace
