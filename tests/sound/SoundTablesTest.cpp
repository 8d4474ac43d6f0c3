#include "sound/SoundTables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace Marevane;
using namespace Marevane::Sound;

namespace {

BgmCode Bgm(std::uint32_t code)
{
    return static_cast<BgmCode>(code);
}
SeCode Se(std::uint32_t code)
{
    return static_cast<SeCode>(code);
}

struct TrackCase {
    std::uint32_t code;
    const char* path;
    const char* title;
    std::int32_t loopStart;
    std::int32_t loopEnd;
};

const TrackCase TrackCases[] = {
    {0, "Resources/Sound/BGM/000_None.ogg", "No Music", 0, -1},
    {1, "Resources/Sound/BGM/001_Theme.cks", "Marevane Theme", 2646000, -1},
    {2, "Resources/Sound/BGM/002_Relaxation.cks", "Relaxation", 0, -1},
    {3, "Resources/Sound/BGM/003_Submarine.cks", "Submarine", 814130, -1},
    {4, "Resources/Sound/BGM/002_Relaxation.cks", "Relaxation", 0, -1},
    {5, "Resources/Sound/BGM/005_BattlefrontSamba.cks", "Battlefront Samba", 0, -1},
    {6, "Resources/Sound/BGM/006_MissingSea.cks", "Missing Sea", 0, -1},
    {7, "Resources/Sound/BGM/007_DeathMatch.cks", "Death Match", 680375, 6123594},
    {8, "Resources/Sound/BGM/008_BlueAnthem.cks", "Blue Anthem", 900654, -1},
    {9, "Resources/Sound/BGM/009_TessavorSymphonyNo.7Finale.cks",
     "Tessavor Symphony No.7 in D-minor, Op.70 - Finale: Allegro", 0, -1},
    {10, "Resources/Sound/BGM/011_Win.cks", "Win", 0, -1},
    {11, "Resources/Sound/BGM/012_Loss.cks", "Loss", 0, -1},
};

struct EffectCase {
    std::uint32_t code;
    std::uint32_t type;
    const char* cue;
    const char* title;
    std::int32_t duckingMs;
};

const EffectCase EffectCases[] = {
    {0, 1, "None", "No Effect", -1},
    {1, 1, "SystemDefaultSelected", "Default Selected SE", -1},
    {2, 1, "SystemDefaultPointed", "Default Pointed SE", -1},
    {3, 1, "SystemDefaultCanceled", "Default Canceled SE", -1},
    {4, 1, "SystemTitleSelected", "Title Menu Selected SE", -1},
    {5, 1, "SystemTitleSubSelected", "Title SubMenu Selected SE", -1},
    {6, 1, "SystemNextStep", "Next Step SE", -1},
    {7, 1, "SystemWindowOpened", "Window Opened SE", -1},
    {8, 1, "SystemTimer", "Timer SE", -1},
    {9, 1, "SystemAlarmTimer", "Alarm Timer SE", -1},
    {10, 0, "AttackSound", "Attack SE", 680},
    {11, 0, "DamageSound", "Damage SE", 1352},
    {12, 0, "SinkingSound", "Sinking SE", 2752},
    {13, 0, "TorpedoSound", "Firing Torpedo SE", 872},
    {14, 0, "SurpriseSound", "Surprise SE", -1},
    {15, 0, "WhistleSound", "Whistle SE", -1},
};

template <typename T> std::vector<T> Codes(std::initializer_list<std::uint32_t> values)
{
    std::vector<T> codes;
    for (std::uint32_t value : values) codes.push_back(static_cast<T>(value));
    return codes;
}

} // namespace

TEST(SoundTables, EveryTrackHasItsFileTitleAndLoop)
{
    const auto& paths = CBgmFilePaths::GetInstance();
    const auto& names = CBgmNames::GetInstance();
    const auto& loops = CBgmLoopSettings::GetInstance();
    for (const TrackCase& row : TrackCases) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(paths.Get(Bgm(row.code)), row.path);
        EXPECT_EQ(names.Get(Bgm(row.code)), row.title);
        EXPECT_EQ(loops.Get(Bgm(row.code)).start, row.loopStart);
        EXPECT_EQ(loops.Get(Bgm(row.code)).end, row.loopEnd);
    }
    EXPECT_EQ(paths.GetMap().size(), 12u);
    EXPECT_EQ(names.GetMap().size(), 12u);
    EXPECT_EQ(loops.GetMap().size(), 12u);
}

// The music manager steps and wraps over these counts and keys.
TEST(SoundTables, TrackTablesListCodesZeroToElevenInOrder)
{
    const auto expected = Codes<BgmCode>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    EXPECT_EQ(CBgmNames::GetInstance().GetKeysInOrder(), expected);
    EXPECT_EQ(CBgmFilePaths::GetInstance().GetKeysInOrder(), expected);
    EXPECT_EQ(CBgmLoopSettings::GetInstance().GetKeysInOrder(), expected);
}

TEST(SoundTables, UnknownTrackHasNoFileAndAnUndefinedTitle)
{
    for (std::uint32_t code : {12u, 13u, 1000u}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(CBgmFilePaths::GetInstance().Get(Bgm(code)), "");
        EXPECT_EQ(CBgmNames::GetInstance().Get(Bgm(code)), "Undefined");
        EXPECT_FALSE(CBgmLoopSettings::GetInstance().Contains(Bgm(code)));
        EXPECT_EQ(CBgmLoopSettings::GetInstance().Get(Bgm(code)), LoopPos{});
    }
}

TEST(SoundTables, MusicGroups)
{
    const auto& groups = CBgmGroupMap::GetInstance();
    const std::pair<std::uint32_t, std::vector<BgmCode>> rows[] = {
        {0, Codes<BgmCode>({1})},
        {1, Codes<BgmCode>({1, 5})},
        {2, Codes<BgmCode>({2, 3})},
        {3, Codes<BgmCode>({10, 11})},
        {4, Codes<BgmCode>({2})},
        {5, Codes<BgmCode>({9})},
        {6, {}},
        {99, {}},
    };
    for (const auto& [type, codes] : rows) EXPECT_EQ(groups.Get(static_cast<BgmType>(type)), codes) << type;
    EXPECT_EQ(groups.GetMap().size(), 6u);
    EXPECT_EQ(BgmTypeBattle, 1u);
}

TEST(SoundTables, EveryEffectHasItsBankCueTitleLoopAndDucking)
{
    const auto& profiles = CBankProfiles::GetInstance();
    const auto& names = CSeNames::GetInstance();
    const auto& loops = CSeLoopSettings::GetInstance();
    const auto& ducking = CSeDuckingSettings::GetInstance();
    for (const EffectCase& row : EffectCases) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(profiles.Get(Se(row.code)).type, static_cast<SeType>(row.type));
        EXPECT_EQ(profiles.Get(Se(row.code)).cue, row.cue);
        EXPECT_EQ(names.Get(Se(row.code)), row.title);
        EXPECT_EQ(loops.Get(Se(row.code)).start, 0);
        EXPECT_EQ(loops.Get(Se(row.code)).end, -1);
        EXPECT_EQ(ducking.Get(Se(row.code)).milliseconds, row.duckingMs);
        EXPECT_FLOAT_EQ(ducking.Get(Se(row.code)).rate, 0.8f);
    }
    EXPECT_EQ(profiles.GetMap().size(), 16u);
    EXPECT_EQ(names.GetMap().size(), 16u);
    EXPECT_EQ(loops.GetMap().size(), 16u);
    EXPECT_EQ(ducking.GetMap().size(), 16u);
}

TEST(SoundTables, EffectTablesListCodesZeroToFifteenInOrder)
{
    const auto expected = Codes<SeCode>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EQ(CSeNames::GetInstance().GetKeysInOrder(), expected);
    EXPECT_EQ(CBankProfiles::GetInstance().GetKeysInOrder(), expected);
}

TEST(SoundTables, UnknownEffectIsInTheBattleBankWithNoCue)
{
    const SeCode unknown = Se(16);
    EXPECT_EQ(CBankProfiles::GetInstance().Get(unknown).type, static_cast<SeType>(0));
    EXPECT_EQ(CBankProfiles::GetInstance().Get(unknown).cue, "");
    EXPECT_EQ(CSeNames::GetInstance().Get(unknown), "Undefined");
    EXPECT_FALSE(CSeLoopSettings::GetInstance().Contains(unknown));
    EXPECT_FALSE(CSeDuckingSettings::GetInstance().Contains(unknown));
    EXPECT_EQ(CSeDuckingSettings::GetInstance().Get(unknown), DuckingParam{});
}

// Each bank lists its effects in the profiles' order; the system bank's list
// holds code 0 too, whose cue is in no bank.
TEST(SoundTables, EffectGroupsFollowTheBankProfiles)
{
    const auto& groups = CSeGroupMap::GetInstance();
    EXPECT_EQ(groups.Get(static_cast<SeType>(0)), Codes<SeCode>({10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(groups.Get(static_cast<SeType>(1)), Codes<SeCode>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(groups.Get(static_cast<SeType>(2)).empty());
    EXPECT_EQ(groups.GetMap().size(), 2u);
}

TEST(SoundTables, BankFiles)
{
    const auto& paths = CSeFilePaths::GetInstance();
    EXPECT_EQ(paths.Get(static_cast<SeType>(0)), "Resources/Sound/SE/Battle.ckb");
    EXPECT_EQ(paths.Get(static_cast<SeType>(1)), "Resources/Sound/SE/System.ckb");
    EXPECT_EQ(paths.Get(static_cast<SeType>(2)), "");
    EXPECT_EQ(paths.GetMap().size(), 2u);
}

TEST(SoundTables, EachTableIsOneInstance)
{
    EXPECT_EQ(&CBgmFilePaths::GetInstance(), &CBgmFilePaths::GetInstance());
    EXPECT_EQ(&CSeGroupMap::GetInstance(), &CSeGroupMap::GetInstance());
}
