#include "model/GameEdit.h"
#include "model/Errors.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(GameEdit, ConstructedDefaults)
{
    const CGameEdit edit;
    const GameEditInfo& info = edit.GetInfo();
    EXPECT_EQ(info.Rule, 0x0Cu);
    EXPECT_EQ(info.Map.Size, MapPos(5, 5));
    EXPECT_EQ(info.ComputerLevel, 0);
    EXPECT_EQ(info.Mission, 0x10000001u);
    EXPECT_EQ(info.TimeLimit, 1200000u);
    EXPECT_EQ(info.DeadlineRounds, 15u);
    EXPECT_FALSE(info.IsTeamVersus);
    EXPECT_EQ(info.FpPercentage, 100u);
    EXPECT_EQ(info.FleetSize, 3u);
    EXPECT_EQ(info.IsReinforcementAllowed, 1u);
    EXPECT_EQ(info.PlayerCount, 2u);
    EXPECT_EQ(info.ReserveFleetSize, 1u);
}

struct SizeCase {
    std::uint32_t Rows;
    std::uint32_t Columns;
    std::uint32_t Deadline;
    std::uint32_t FpPercentage;
    std::uint32_t FleetTwo;
    std::uint32_t FleetThree;
};

class GameEditSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(GameEditSizes, DerivedSettingsFollowTheMap)
{
    const SizeCase& c = GetParam();
    CGameEdit edit;
    edit.SetRule(GameModeVersus | GameModeSingle, MapPos(c.Rows, c.Columns));
    EXPECT_EQ(edit.GetInfo().Map.Size, MapPos(c.Rows, c.Columns));
    EXPECT_EQ(edit.GetInfo().DeadlineRounds, c.Deadline);
    EXPECT_EQ(edit.GetInfo().FpPercentage, c.FpPercentage);
    EXPECT_EQ(edit.GetInfo().FleetSize, c.FleetTwo);

    edit.GetInfo().PlayerCount = 3;
    edit.UpdateDerivedSettings();
    EXPECT_EQ(edit.GetInfo().FleetSize, c.FleetThree);
}

INSTANTIATE_TEST_SUITE_P(Maps, GameEditSizes,
                         ::testing::Values(SizeCase{3, 3, 11, 80, 3, 2}, SizeCase{4, 4, 13, 90, 3, 2},
                                           SizeCase{5, 5, 15, 100, 3, 2}, SizeCase{6, 6, 18, 105, 4, 3},
                                           SizeCase{7, 7, 21, 110, 4, 3}, SizeCase{8, 8, 24, 115, 5, 4},
                                           SizeCase{9, 9, 27, 120, 5, 4}, SizeCase{5, 6, 16, 102, 4, 3},
                                           SizeCase{3, 9, 18, 105, 4, 3}),
                         [](const ::testing::TestParamInfo<SizeCase>& info) {
                             return "Map" + std::to_string(info.param.Rows) + "x" +
                                    std::to_string(info.param.Columns);
                         });

TEST(GameEdit, VersusDeathMatchForcesItsOwnMap)
{
    CGameEdit edit;
    edit.SetRule(0x44, MapPos(7, 7));
    const GameEditInfo& info = edit.GetInfo();
    EXPECT_EQ(info.Map.Size, MapPos(3, 3));
    EXPECT_EQ(info.TimeLimit, 20000u);
    EXPECT_EQ(info.ComputerLevel, 30);
    EXPECT_EQ(info.FpPercentage, 80u);
    EXPECT_EQ(info.FleetSize, 3u);

    // The derived settings keep forcing level and time in a death match.
    edit.GetInfo().ComputerLevel = 0;
    edit.GetInfo().TimeLimit = 5;
    edit.UpdateDerivedSettings();
    EXPECT_EQ(info.ComputerLevel, 30);
    EXPECT_EQ(info.TimeLimit, 20000u);
}

struct ArcadeCase {
    std::uint32_t Rule;
    std::int32_t Level;
    std::uint32_t Reserve;
};

class GameEditArcade : public ::testing::TestWithParam<ArcadeCase> {};

TEST_P(GameEditArcade, ReserveFleetDependsOnWeakOpponents)
{
    CGameEdit edit;
    edit.GetInfo().ComputerLevel = GetParam().Level;
    edit.SetRule(GetParam().Rule, MapPos(5, 5));
    EXPECT_EQ(edit.GetInfo().ReserveFleetSize, GetParam().Reserve);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, GameEditArcade,
    ::testing::Values(ArcadeCase{GameModeArcade, -6, 4}, ArcadeCase{GameModeArcade, -10, 6},
                      ArcadeCase{GameModeArcade, -1, 6}, ArcadeCase{GameModeArcade, 0, 1},
                      ArcadeCase{GameModeArcade, 16, 1}, ArcadeCase{GameModeVersus, -6, 1}),
    [](const ::testing::TestParamInfo<ArcadeCase>& info) {
        const ArcadeCase& c = info.param;
        return std::string(c.Rule == GameModeArcade ? "Arcade" : "Versus") + "Level" +
               (c.Level < 0 ? "Minus" + std::to_string(-c.Level) : std::to_string(c.Level));
    });

TEST(GameEdit, PlayersSurviveSetRuleOnlyWhenListed)
{
    CGameEdit edit;
    edit.GetInfo().PlayerCount = 3;
    edit.SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
    EXPECT_EQ(edit.GetInfo().PlayerCount, 2u); // empty lists: players reset

    edit.GetInfo().PlayerCount = 3;
    edit.GetInfo().TeamCount = 2;
    edit.GetInfo().PlayerTypes = {UnitManual, UnitAuto, UnitAuto};
    edit.SetRule(GameModeVersus | GameModeTag, MapPos(5, 5));
    EXPECT_EQ(edit.GetInfo().PlayerCount, 3u);
    EXPECT_EQ(edit.GetInfo().FleetSize, 2u);
    EXPECT_TRUE(edit.GetInfo().IsTeamVersus);

    edit.SetRule(GameModeSingle, MapPos(5, 5));
    EXPECT_FALSE(edit.GetInfo().IsTeamVersus); // no versus bit

    edit.ResetPlayers();
    EXPECT_TRUE(edit.GetInfo().PlayerTypes.empty());
    EXPECT_EQ(edit.GetInfo().PlayerCount, 2u);
    EXPECT_EQ(edit.GetInfo().TeamCount, 0u);
}

TEST(GameEdit, SetRuleStartsFromAFreshMapAndRules)
{
    CGameEdit edit;
    GameEditInfo& info = edit.GetInfo();
    info.Map.PanelTypes[MapPos(1, 1)] = PanelReef;
    info.RuleLists[1].insert(4);
    info.IsStealthEnabled = false;
    info.Mission = MissionPullout;
    edit.SetRule(GameModeVersus | GameModeSingle, MapPos(6, 5));
    EXPECT_TRUE(info.Map.PanelTypes.empty());
    EXPECT_TRUE(info.RuleLists[1].empty());
    EXPECT_TRUE(info.IsStealthEnabled);
    EXPECT_EQ(info.Mission, 0x10000001u);
    EXPECT_EQ(info.IsReinforcementAllowed, 1u);
}

TEST(GameEdit, PulloutMissionsForbidReinforcement)
{
    for (MissionType mission : {0x70000030u, 0x70000038u}) {
        CGameEdit edit;
        edit.GetInfo().Mission = mission;
        edit.UpdateDerivedSettings();
        EXPECT_EQ(edit.GetInfo().IsReinforcementAllowed, 0u) << std::hex << mission;
        EXPECT_TRUE(edit.HasMission(MissionPullout));
    }
    CGameEdit edit;
    edit.GetInfo().Mission = 0x70000010;
    edit.UpdateDerivedSettings();
    EXPECT_EQ(edit.GetInfo().IsReinforcementAllowed, 1u);
}

TEST(GameEdit, HasRuleNeedsEveryBit)
{
    struct Case {
        std::uint32_t Rule;
        std::uint32_t Bits;
        bool Expected;
    };
    for (const Case& c : {Case{0x44, 0x44, true}, Case{0xC4, 0x44, true}, Case{0x04, 0x44, false},
                          Case{0x14, 0x14, true}, Case{0x0C, 0x04, true}, Case{0x0C, 0x01, false}}) {
        CGameEdit edit;
        edit.GetInfo().Rule = c.Rule;
        EXPECT_EQ(edit.HasRule(c.Bits), c.Expected) << std::hex << c.Rule << " " << c.Bits;
    }
}

TEST(GameEdit, IsSameRuleComparesTheBattleRules)
{
    CGameEdit edit;
    GameEditInfo other = edit.GetInfo();
    EXPECT_TRUE(edit.IsSameRule(other));

    // Not compared: computer level, player counts, reserve fleet.
    other.ComputerLevel = 16;
    other.PlayerCount = 4;
    other.ReserveFleetSize = 3;
    EXPECT_TRUE(edit.IsSameRule(other));

    // Deadline rounds only matter in deadline missions.
    other.DeadlineRounds = 40;
    EXPECT_TRUE(edit.IsSameRule(other));
    for (MissionType mission : {0x50000010u, 0x50000011u}) {
        edit.GetInfo().Mission = mission;
        other.Mission = mission;
        EXPECT_FALSE(edit.IsSameRule(other)) << std::hex << mission;
        other.DeadlineRounds = edit.GetInfo().DeadlineRounds;
        EXPECT_TRUE(edit.IsSameRule(other));
        other.DeadlineRounds = 40;
    }

    const GameEditInfo base = edit.GetInfo();
    using Change = void (*)(GameEditInfo&);
    const Change changes[] = {
        [](GameEditInfo& i) { i.IsTeamVersus = !i.IsTeamVersus; },
        [](GameEditInfo& i) { i.Mission = 0x20000002; },
        [](GameEditInfo& i) { i.TimeLimit += 1; },
        [](GameEditInfo& i) { i.Map.Size = MapPos(5, 6); },
        [](GameEditInfo& i) { i.IsPanelEffectEnabled = !i.IsPanelEffectEnabled; },
        [](GameEditInfo& i) { i.IsStealthEnabled = !i.IsStealthEnabled; },
        [](GameEditInfo& i) { i.SurfacingCycle += 1; },
        [](GameEditInfo& i) { i.FleetSize += 1; },
        [](GameEditInfo& i) { i.IsReinforcementAllowed ^= 1; },
        [](GameEditInfo& i) { i.FpPercentage += 1; },
        [](GameEditInfo& i) { i.DestroyerWeapons += 1; },
        [](GameEditInfo& i) { i.SubmarineWeapons += 1; },
    };
    int index = 0;
    for (Change change : changes) {
        GameEditInfo changed = base;
        change(changed);
        EXPECT_FALSE(edit.IsSameRule(changed)) << "change " << index;
        ++index;
    }
}

TEST(GameEdit, SetRuleRefusesASizeTheBoardCannotTake)
{
    CGameEdit edit;
    edit.SetRule(GameModeVersus | GameModeSingle, MapPos(7, 7));
    for (const MapPos& size : {MapPos(0, 0), MapPos(2, 9), MapPos(9, 1)})
        EXPECT_THROW(edit.SetRule(GameModeArcade, size), CPanelRangeError);
    EXPECT_EQ(edit.GetInfo().Map.Size, MapPos(7, 7));
    EXPECT_EQ(edit.GetInfo().Rule, static_cast<std::uint32_t>(GameModeVersus | GameModeSingle));
}
