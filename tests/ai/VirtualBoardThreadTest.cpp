#include "TestMap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

using namespace Marevane;
using namespace Marevane::ComputerAI;
using namespace Marevane::ComputerAI::Testing;

namespace {

// Copies taken on one thread while another keeps changing the original are
// whole snapshots: their candidates match their flags, and they can be
// narrowed and restored on their own.
TEST(VirtualBoardThreads, CopiesOfABoardThatChangesOnAnotherThread)
{
    TestMap map({".....", ".....", ".....", ".....", "....."});
    CVirtualBoard original = ResetBoard(map);
    std::atomic<bool> done{false};

    std::thread writer([&] {
        for (int i = 0; i < 300; ++i) {
            original.Reset(); // 25 candidates
            original.BackupFlag(original);
            original.ApplyFlag(1, map.At(3, 3)); // 1
            original.SpreadFlag(0);              // 8
            if (i % 2 == 0)
                original.RestoreFlag(); // 25 again
            else
                original.DiscardBackup();
        }
        done = true;
    });

    const std::set<std::uint32_t> states{25, 1, 8};
    CVirtualBoard assigned(Observer, map.Board);
    int copies = 0;
    while (!done || copies < 50) {
        CVirtualBoard copy(original);
        ++copies;
        std::uint32_t flagged = 0;
        for (const CVirtualPanel& p : copy.GetPanels()) flagged += p.GetFlag() != 0;
        ASSERT_EQ(copy.GetCandidateCount(), flagged);
        ASSERT_EQ(states.count(copy.GetCandidateCount()), 1u) << copy.GetCandidateCount();

        copy.BackupFlag(copy);
        copy.ApplyFlag(6, map.At(1, 1));
        ASSERT_EQ(copy.GetCandidateCount(), 0u);
        copy.RestoreFlag();
        ASSERT_EQ(copy.GetCandidateCount(), flagged);

        assigned = original;
        ASSERT_EQ(states.count(assigned.GetCandidateCount()), 1u);
    }
    writer.join();
    // The writer's last pass discarded its backup after narrowing.
    EXPECT_EQ(original.GetCandidateCount(), 8u);
    EXPECT_FALSE(original.HasBackup());
}

// Two boards backing each other up and assigning each other from two
// threads never hold both locks at once, so neither waits for ever.
TEST(VirtualBoardThreads, BoardsThatReadEachOtherDoNotDeadlock)
{
    TestMap map({"...", "...", "..."});
    CVirtualBoard a = ResetBoard(map);
    CVirtualBoard b = ResetBoard(map);
    auto work = [&map](CVirtualBoard& self, CVirtualBoard& other) {
        // The copy comes first: a copy taken while the other thread holds a
        // backup carries that backup, and only the own discard that follows
        // leaves the board whole whatever the other thread is doing.
        for (int i = 0; i < 200; ++i) {
            self = other;
            self.BackupFlag(other);
            self.ApplyFlag(4, map.At(2, 2));
            self.DiscardBackup();
        }
    };
    std::thread first(work, std::ref(a), std::ref(b));
    std::thread second(work, std::ref(b), std::ref(a));
    first.join();
    second.join();
    // Whole boards in the end: the block around the centre covers the nine
    // open panels, and no backup is left behind.
    for (const CVirtualBoard* board : {&a, &b}) {
        std::uint32_t flagged = 0;
        for (const CVirtualPanel& p : board->GetPanels()) flagged += p.GetFlag() != 0;
        EXPECT_EQ(board->GetCandidateCount(), flagged);
        EXPECT_EQ(flagged, 9u);
        EXPECT_FALSE(board->HasBackup());
    }
}

} // namespace
