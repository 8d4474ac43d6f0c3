#include "model/Records.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(Records, DefaultMineProfileMarksNoOwnerAndNoVictim)
{
    const MineProfile mine = MakeDefaultMineProfile();
    EXPECT_EQ(mine.Number, NoNumber);
    EXPECT_EQ(mine.UnitId, NoNumber);
    EXPECT_EQ(mine.ShipId, 0u);
    EXPECT_EQ(mine.VictimUnitId, NoNumber);
    EXPECT_FALSE(mine.IsPlaced);
    EXPECT_FALSE(mine.IsExploded);
}

TEST(Records, FreshUnitProfileIsEmpty)
{
    const UnitProfile profile(3, UnitAuto, 0, L"COM", L"");
    EXPECT_EQ(profile.FlagshipId, 0u);
    EXPECT_EQ(profile.ReinforcementsLeft, 0u);
    EXPECT_EQ(profile.Port, 0u);
    EXPECT_FALSE(profile.IsResigned);
    EXPECT_FALSE(profile.IsTimedOut);
    EXPECT_EQ(profile.HostId, 0u);
    EXPECT_EQ(profile.Address, "127.0.0.1");
    for (const ActionStatistics& stats : profile.Statistics) {
        for (std::uint32_t c : stats.Counters) EXPECT_EQ(c, 0u);
        EXPECT_EQ(stats.Score, 0.0);
    }
}

#include "model/Errors.h"
#include "model/MappingObject.h"

namespace {
class TestTable : public CMappingObject<int, std::wstring> {
public:
    TestTable() { Fill({{1, L"one"}, {2, L"two"}}, L"none"); }
};
} // namespace

TEST(MappingObject, AnswersDefaultWithoutInserting)
{
    const TestTable table;
    EXPECT_EQ(table.Get(1), L"one");
    EXPECT_EQ(table.Get(7), L"none");
    EXPECT_EQ(table.GetMap().size(), 2u);
}

TEST(Errors, TextsAreClassNamesWithoutLeadingC)
{
    EXPECT_STREQ(CPanelRangeError().what(), "PanelRangeError");
    EXPECT_STREQ(CShipDataError().what(), "CShipDataError");
    EXPECT_STREQ(CNameLengthError().what(), "NameLengthError");
    EXPECT_STREQ(CPanelRangeError("custom").what(), "custom");
}
