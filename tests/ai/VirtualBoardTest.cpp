#include "TestMap.h"

#include "model/Errors.h"

#include <gtest/gtest.h>

#include <string>

#include <stdexcept>
#include <tuple>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

bool PointsInto(const CVirtualBoard& board, const CVirtualPanel* p)
{
    const auto& panels = board.GetPanels();
    return p >= panels.data() && p < panels.data() + panels.size();
}

// Links of every panel are the real links, within the same board.
void ExpectLinkedLikeTheRealMap(const CVirtualBoard& board)
{
    for (const CVirtualPanel& p : board.GetPanels()) {
        for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d) {
            const CPanel* real = p.GetPanel()->GetNeighbor(d);
            const CVirtualPanel* n = p.GetNeighbor(d);
            if (real != p.GetPanel()) {
                ASSERT_NE(n, nullptr);
                EXPECT_EQ(n->GetPanel(), real);
                EXPECT_TRUE(PointsInto(board, n));
            } else {
                // Only the ring lacks links, and it is never open.
                EXPECT_EQ(n, &p);
            }
        }
    }
}

class VirtualBoardSizes : public ::testing::TestWithParam<std::tuple<std::uint32_t, std::uint32_t>> {};

TEST_P(VirtualBoardSizes, MirrorsTheRealMapWithAllFlagsZero)
{
    const auto [rows, columns] = GetParam();
    CBoard real;
    real.Resize(rows, columns);
    const CVirtualBoard board(Observer, real);

    EXPECT_EQ(board.GetPanels().size(), (rows + 2) * (columns + 2));
    EXPECT_EQ(board.GetPossibleCount(), rows * columns);
    EXPECT_EQ(board.GetCandidateCount(), 0u);
    EXPECT_EQ(board.GetReferenceCount(), 0u);
    EXPECT_EQ(board.GetObserverId(), Observer);
    EXPECT_EQ(board.GetTrackedUnitId(), -1);
    EXPECT_EQ(board.GetTrackedShipId(), 0u);
    EXPECT_EQ(board.GetTrackedShipType(), ShipTypeNone);
    EXPECT_EQ(board.GetTrackedProfile(), nullptr);
    EXPECT_FALSE(board.HasBackup());
    // Panel order is the real grid's: row, then column.
    std::size_t i = 0;
    for (std::uint32_t x = 0; x < rows + 2; ++x) {
        for (std::uint32_t y = 0; y < columns + 2; ++y, ++i) {
            const CVirtualPanel& p = board.GetPanels()[i];
            EXPECT_EQ(p.GetPanel(), real.GetPanel(x, y));
            EXPECT_EQ(board.GetVirtualPanel(real.GetPanel(x, y)), &p);
            EXPECT_EQ(p.GetFlag(), 0);
            EXPECT_EQ(p.IsOpen(), x > 0 && y > 0 && x <= rows && y <= columns);
        }
    }
    ExpectLinkedLikeTheRealMap(board);
}

INSTANTIATE_TEST_SUITE_P(ThreeToNine, VirtualBoardSizes,
                         ::testing::Values(std::make_tuple(3u, 3u), std::make_tuple(4u, 4u),
                                           std::make_tuple(5u, 5u), std::make_tuple(6u, 6u),
                                           std::make_tuple(7u, 7u), std::make_tuple(8u, 8u),
                                           std::make_tuple(9u, 9u), std::make_tuple(3u, 9u),
                                           std::make_tuple(9u, 4u)),
                         [](const ::testing::TestParamInfo<std::tuple<std::uint32_t, std::uint32_t>>& info) {
                             return "Rows" + std::to_string(std::get<0>(info.param)) + "Columns" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(VirtualBoard, PanelOfAnotherMapHasNoVirtualPanel)
{
    TestMap map({"...", "...", "..."});
    TestMap other({"...", "...", "..."});
    const CVirtualBoard board(Observer, map.Board);
    EXPECT_EQ(board.GetVirtualPanel(other.At(1, 1)), nullptr);
    EXPECT_EQ(board.GetVirtualPanel(nullptr), nullptr);
}

TEST(VirtualBoard, OpenPanelsFollowWhatTheObserverKnows)
{
    TestMap map({"R.r", "...", ".F."});
    CVirtualBoard board(Observer, map.Board);
    board.Reset();
    EXPECT_EQ(FlagRows(board, map), (std::vector<std::string>{"011", "111", "111"}));
    EXPECT_EQ(board.GetPossibleCount(), 8u);
    EXPECT_EQ(board.GetCandidateCount(), 8u);

    const CVirtualPanel* known = board.GetVirtualPanel(map.At(1, 1));
    const CVirtualPanel* unknown = board.GetVirtualPanel(map.At(1, 3));
    EXPECT_FALSE(known->IsOpen());
    EXPECT_TRUE(known->IsKnownReef());
    EXPECT_TRUE(unknown->IsOpen());
    EXPECT_FALSE(unknown->IsKnownReef());

    // Another observer knows none of them: every reef is open water to it.
    CVirtualBoard stranger(Observer + 1, map.Board);
    stranger.Reset();
    EXPECT_EQ(FlagRows(stranger, map), (std::vector<std::string>{"111", "111", "111"}));
    EXPECT_EQ(stranger.GetPossibleCount(), 9u);

    // Once the reef is revealed, everyone knows it.
    map.Board.GetPanel(1, 3)->SetRevealed(true);
    stranger.Reset();
    EXPECT_EQ(FlagRows(stranger, map), (std::vector<std::string>{"110", "111", "111"}));
}

TEST(VirtualPanel, NeighbourWithoutALink)
{
    TestMap map({"...", "...", "..."});
    const CVirtualBoard board(Observer, map.Board);
    const CVirtualPanel* open = board.GetVirtualPanel(map.At(2, 2));
    const CVirtualPanel* corner = board.GetVirtualPanel(map.At(0, 0));
    EXPECT_EQ(open->GetNeighbor(DirectionCenter), open);
    EXPECT_EQ(open->GetNeighbor(DirectionNone), nullptr);
    EXPECT_EQ(open->GetNeighbor(42), nullptr);
    EXPECT_EQ(corner->GetNeighbor(DirectionNorth), corner);
    EXPECT_EQ(corner->GetNeighbor(DirectionSouthEast), board.GetVirtualPanel(map.At(1, 1)));
}

TEST(VirtualPanel, WritesKeepPanelsThatAreNotOpenAtZero)
{
    TestMap map({"R..", "...", "..."});
    CVirtualBoard board(Observer, map.Board);
    CVirtualPanel* reef = board.GetVirtualPanel(map.At(1, 1));
    CVirtualPanel* sea = board.GetVirtualPanel(map.At(1, 2));
    reef->SetFlag(5);
    reef->AddFlag(5);
    sea->SetFlag(5);
    sea->AddFlag(2);
    EXPECT_EQ(reef->GetFlag(), 0);
    EXPECT_EQ(sea->GetFlag(), 7);
    sea->SetMark(true);
    sea->ResetFlag();
    reef->ResetFlag();
    EXPECT_EQ(sea->GetFlag(), 1);
    EXPECT_FALSE(sea->IsMarked());
    EXPECT_EQ(reef->GetFlag(), 0);
}

// --- copies and backups ---

ShipProfile Profile(std::uint32_t unitId, std::uint32_t shipId, ShipType type)
{
    ShipProfile p;
    p.UnitId = unitId;
    p.ShipId = shipId;
    p.Type = type;
    p.Config.Type = type;
    return p;
}

TEST(VirtualBoard, CopyCarriesFlagsCountsAndBackupButNothingShared)
{
    TestMap map({"....", ".R..", "...."});
    const ShipProfile profile = Profile(3, 7, ShipTypeDestroyer);
    CVirtualBoard board(Observer, map.Board);
    board.SetTrackedProfile(&profile);
    SetFlags(board, map, {"1200", "0000", "0003"});
    board.SetReferenceCount(11);
    board.BackupFlag(board);
    board.GetVirtualPanel(map.At(2, 1))->SetMark(true);
    board.ApplyFlag(1, map.At(1, 2));

    CVirtualBoard copy(board);
    EXPECT_EQ(FlagRows(copy, map), FlagRows(board, map));
    EXPECT_EQ(copy.GetCandidateCount(), 1u);
    EXPECT_EQ(copy.GetPossibleCount(), board.GetPossibleCount());
    EXPECT_EQ(copy.GetReferenceCount(), 11u);
    EXPECT_EQ(copy.GetTrackedUnitId(), 3);
    EXPECT_EQ(copy.GetTrackedShipId(), 7u);
    EXPECT_EQ(copy.GetTrackedShipType(), ShipTypeDestroyer);
    EXPECT_EQ(copy.GetTrackedProfile(), &profile);
    EXPECT_TRUE(copy.GetVirtualPanel(map.At(2, 1))->IsMarked());
    EXPECT_TRUE(copy.HasBackup());
    ExpectLinkedLikeTheRealMap(copy);
    for (const CVirtualPanel* c : copy.GetCandidates()) EXPECT_TRUE(PointsInto(copy, c));

    // The copy's backup is its own: restoring it leaves the original's.
    copy.RestoreFlag();
    EXPECT_EQ(FlagRows(copy, map), (std::vector<std::string>{"1200", "0000", "0003"}));
    EXPECT_FALSE(copy.HasBackup());
    EXPECT_TRUE(board.HasBackup());
    EXPECT_EQ(FlagRows(board, map), (std::vector<std::string>{"0200", "0000", "0000"}));
    board.RestoreFlag();
    EXPECT_EQ(FlagRows(board, map), (std::vector<std::string>{"1200", "0000", "0003"}));
}

TEST(VirtualBoard, AssignmentTakesEverythingOfTheSourceAndDerivesTheTrackedShip)
{
    TestMap small({"...", "...", "..."});
    TestMap large({"....", "R...", "....", "...."});
    const ShipProfile profile = Profile(4, 2, ShipTypeSubmarine);
    CVirtualBoard source(Observer, large.Board);
    source.SetTrackedProfile(&profile);
    source.Reset();
    source.SetReferenceCount(5);
    source.BackupFlag(source);
    source.ApplyFlag(4, large.At(3, 3));

    CVirtualBoard target(Observer + 1, small.Board);
    target.Reset();
    target = source;
    EXPECT_EQ(target.GetObserverId(), Observer);
    EXPECT_EQ(target.GetTrackedUnitId(), 4);
    EXPECT_EQ(target.GetTrackedShipId(), 2u);
    EXPECT_EQ(target.GetTrackedShipType(), ShipTypeSubmarine);
    EXPECT_EQ(target.GetPanels().size(), 36u);
    EXPECT_EQ(FlagRows(target, large), FlagRows(source, large));
    EXPECT_EQ(target.GetCandidateCount(), 9u);
    EXPECT_EQ(target.GetPossibleCount(), 15u);
    EXPECT_EQ(target.GetReferenceCount(), 5u);
    ExpectLinkedLikeTheRealMap(target);
    EXPECT_EQ(target.GetVirtualPanel(small.At(1, 1)), nullptr);
    target.RestoreFlag();
    EXPECT_EQ(target.GetCandidateCount(), 15u);
    EXPECT_TRUE(source.HasBackup());

    CVirtualBoard untracked(Observer, small.Board);
    target = untracked;
    EXPECT_EQ(target.GetTrackedUnitId(), -1);
    EXPECT_EQ(target.GetTrackedShipId(), 0u);
    EXPECT_EQ(target.GetTrackedShipType(), ShipTypeNone);
    EXPECT_FALSE(target.HasBackup());

    auto& self = target;
    target = self;
    EXPECT_EQ(target.GetPanels().size(), 25u);
}

TEST(VirtualBoard, RestoreWithoutABackupThrowsAndChangesNothing)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    board.BackupFlag(board);
    board.ApplyFlag(1, map.At(2, 2));
    board.RestoreFlag();
    EXPECT_EQ(board.GetCandidateCount(), 9u);
    board.ApplyFlag(3, map.At(2, 2));
    try {
        board.RestoreFlag();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "RestoreFlag(): A backup data don't exist currently.");
    }
    EXPECT_EQ(FlagRows(board, map), (std::vector<std::string>{"111", "101", "111"}));

    board.BackupFlag(board);
    board.DiscardBackup();
    EXPECT_THROW(board.RestoreFlag(), std::runtime_error);
}

TEST(VirtualBoard, BackupFromAnotherBoardReplacesTheEarlierOne)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard board = ResetBoard(map);
    CVirtualBoard other(board);
    other.ApplyFlag(1, map.At(1, 1));
    board.BackupFlag(board);
    board.BackupFlag(other);
    board.RestoreFlag();
    EXPECT_EQ(FlagRows(board, map), (std::vector<std::string>{"100", "000", "000"}));
    EXPECT_FALSE(board.HasBackup());
}

} // namespace
