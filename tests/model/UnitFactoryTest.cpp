#include "UnitTestFixture.h"

#include "model/Computer.h"
#include "model/Errors.h"
#include "model/UnitFactory.h"

#include <atomic>
#include <set>
#include <thread>

namespace Marevane::Testing {
namespace {

class Factory : public UnitFixture {
  protected:
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (CUnit* unit : factory.GetUnits()) names.push_back(unit->GetProfile().Name);
        return names;
    }
    std::vector<std::uint32_t> Ids()
    {
        std::vector<std::uint32_t> ids;
        for (CUnit* unit : factory.GetUnits()) ids.push_back(unit->GetId());
        return ids;
    }

    CUnitFactory factory{&board, nullptr};
};

struct LengthCase {
    const char* name;
    std::wstring unitName;
    std::wstring password;
    int expected; // 0 accepted, 1 name refused, 2 password refused
};

void PrintTo(const LengthCase& c, std::ostream* out)
{
    *out << c.name;
}

class ProfileLengths : public Factory, public ::testing::WithParamInterface<LengthCase> {};

// U+1F6A2 (ship) lies outside the BMP: two UTF-16 units.
const std::wstring kShip(1, static_cast<wchar_t>(0x1F6A2));

const std::vector<LengthCase> kLengths = {
    {"Name17", std::wstring(17, L'n'), L"", 0},
    {"Name18", std::wstring(18, L'n'), L"", 1},
    {"EmptyName", L"", L"", 1},
    {"NonBmpCountsTwo", std::wstring(15, L'n') + kShip, L"", 0},
    {"NonBmpPastTheLimit", std::wstring(16, L'n') + kShip, L"", 1},
    {"Password127", L"ok", std::wstring(127, L'p'), 0},
    {"Password128", L"ok", std::wstring(128, L'p'), 2},
    {"NonBmpPassword", L"ok", std::wstring(126, L'p') + kShip, 2},
};

TEST_P(ProfileLengths, CountUtf16Units)
{
    const LengthCase& c = GetParam();
    const UnitProfile profile(0, UnitManual, 0, c.unitName, c.password);
    switch (c.expected) {
    case 0:
        EXPECT_NO_THROW(factory.ValidateUnitProfile(profile, true));
        break;
    case 1:
        EXPECT_THROW(factory.ValidateUnitProfile(profile, true), CNameLengthError);
        break;
    default:
        EXPECT_THROW(factory.ValidateUnitProfile(profile, true), CPassLengthError);
        break;
    }
    // A refused profile creates nothing.
    if (c.expected != 0) {
        EXPECT_ANY_THROW(factory.CreateUnit(profile));
        EXPECT_EQ(factory.CountUnits(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ProfileLengths, ::testing::ValuesIn(kLengths),
                         [](const ::testing::TestParamInfo<LengthCase>& info) { return info.param.name; });

TEST_F(Factory, DuplicateNamesAreRefusedOnRequest)
{
    factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"");
    const UnitProfile same(5, UnitManual, 0, L"Ann", L"");
    EXPECT_THROW(factory.ValidateUnitProfile(same, true), CDuplicateNameError);
    EXPECT_NO_THROW(factory.ValidateUnitProfile(same, false));
    EXPECT_NO_THROW(factory.ValidateUnitProfile(UnitProfile(5, UnitManual, 0, L"Anne", L""), true));
}

TEST_F(Factory, LocalAndComputerUnits)
{
    CUnit* local = factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"pw");
    CUnit* remote = factory.CreateLocalUnit(UnitManual, 1, L"Bob", L"");
    CUnit* computer = factory.CreateComputerUnit(0, L"Deep", ComputerAI::ModeHard);
    CUnit* named = factory.CreateNamedComputerUnit(ComputerAI::ModeEasy);
    EXPECT_EQ(factory.GetLocalUnit(), local);
    EXPECT_EQ(local->GetProfile().Address, "127.0.0.1");
    EXPECT_EQ(remote->GetProfile().Address, "");
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_NE(dynamic_cast<CComputer*>(computer), nullptr);
    EXPECT_NE(computer->GetBrain(), nullptr);
    EXPECT_EQ(computer->GetLevel(), ComputerAI::ModeHard);
    EXPECT_EQ(named->GetProfile().Name, L"COM");
    EXPECT_EQ(local->GetBrain(), nullptr);
    EXPECT_EQ(factory.GetPlayingUnits().size(), 4u);

    std::set<std::uint64_t> hosts;
    for (CUnit* unit : factory.GetUnits()) hosts.insert(unit->GetHostId());
    EXPECT_EQ(hosts.size(), 4u);
    EXPECT_EQ(hosts.count(0), 0u);
}

TEST_F(Factory, DefaultUnitNames)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto});
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"PL0", L"COM"}));
    EXPECT_EQ(factory.GetUnits()[0]->GetProfile().Address, "");
    EXPECT_EQ(factory.GetUnits()[1]->GetProfile().Address, "127.0.0.1");

    factory.Clear();
    factory.CreateDefaultUnits({UnitManual, UnitAuto, UnitAuto, UnitAuto});
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"PL0", L"COM1", L"COM2", L"COM3"}));
}

TEST_F(Factory, DefaultUnitsBesideTheLocalUnit)
{
    CUnit* local = factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"");
    factory.CreateLocalUnit(UnitAuto, 0, L"Old", L"");
    factory.CreateDefaultUnits({UnitManual, UnitAuto, UnitAuto, UnitManual});
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Ann", L"COM2", L"COM3", L"PL4"}));
    EXPECT_EQ(factory.GetUnits()[0], local);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{0, 1, 2, 3}));

    factory.CreateDefaultUnits({UnitWatching});
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Ann"});
}

TEST_F(Factory, ServerListUpdatesTheLocalUnitInPlace)
{
    CUnit* local = factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"");
    factory.CreateLocalUnit(UnitManual, 0, L"Gone", L"");

    UnitProfile host(0, UnitManual, 0, L"Host", L"");
    host.HostId = 111;
    UnitProfile mine = local->GetProfile();
    mine.Id = 1;
    mine.Name = L"Ann2";
    UnitProfile computer(2, UnitAuto, 0, L"COM", L"");
    computer.HostId = 333;
    const auto playing = factory.CreateUnits({host, mine, computer});

    ASSERT_EQ(playing.size(), 3u);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Host", L"Ann2", L"COM"}));
    EXPECT_EQ(factory.GetUnit(1), local);
    EXPECT_EQ(factory.FindUnitByHost(111)->GetId(), 0u);
    EXPECT_EQ(factory.FindUnitByHost(333)->GetBrain() != nullptr, true);
    EXPECT_EQ(factory.GetNextUnitNumber(), 3u);

    // A bad entry refuses the whole list.
    UnitProfile bad(7, UnitManual, 0, L"", L"");
    EXPECT_THROW(factory.CreateUnits({host, bad}), CNameLengthError);
    EXPECT_EQ(factory.CountUnits(), 3u);

    // An id at the top would wrap the next unit number to 0.
    UnitProfile huge(0xFFFFFFFFu, UnitManual, 0, L"Huge", L"");
    EXPECT_THROW(factory.CreateUnits({host, huge}), CUnitDataError);
    EXPECT_EQ(factory.CountUnits(), 3u);
    EXPECT_EQ(factory.GetNextUnitNumber(), 3u);
}

TEST_F(Factory, GetUnitIsBoundsChecked)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto});
    EXPECT_EQ(factory.GetUnit(1)->GetId(), 1u);
    EXPECT_EQ(factory.GetUnit(2), nullptr);
    EXPECT_EQ(factory.GetUnit(4000000000u), nullptr);
    EXPECT_EQ(factory.FindUnitByHost(0), nullptr);
}

TEST_F(Factory, ArrangeKeepsMatesTogetherAndRenumbers)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto, UnitAuto, UnitManual});
    auto units = factory.GetUnits();
    units[0]->JoinTeam(*units[2]);
    units[1]->JoinTeam(*units[3]);
    CUnit* watcher = factory.CreateLocalUnit(UnitWatching, 1, L"Eye", L"");
    watcher->SetId(0);
    factory.ArrangeUnits();
    const auto arranged = factory.GetUnits();
    ASSERT_EQ(arranged.size(), 5u);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(arranged[0]->IsTeamMate(*arranged[1]));
    EXPECT_TRUE(arranged[2]->IsTeamMate(*arranged[3]));
    EXPECT_EQ(arranged[4], watcher);
    EXPECT_EQ(factory.GetPlayingUnits().size(), 4u);
    EXPECT_EQ(factory.GetNextUnitNumber(), 5u);
}

// A side leaving once fleets stand must not renumber the others: their ships
// carry their ids.
TEST_F(Factory, NoRenumberingOnceShipsExist)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto, UnitAuto});
    auto units = factory.GetUnits();
    Place(*units[2], ShipTypeBattleship, 1, 1);
    ASSERT_TRUE(factory.RemoveUnit(units[1]));
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(factory.GetUnit(2), units[2]);
    EXPECT_FALSE(factory.RemoveUnit(units[1]));

    // A newcomer gets an id nobody holds.
    factory.CreateLocalUnit(UnitWatching, 1, L"Eye", L"");
    factory.RemoveWatchingUnits();
    EXPECT_EQ(factory.CreateLocalUnit(UnitManual, 1, L"New", L"")->GetId(), 3u);
}

TEST_F(Factory, RemovalsKeepTheLocalUnit)
{
    CUnit* local = factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"");
    factory.CreateLocalUnit(UnitWatching, 1, L"Eye", L"");
    factory.CreateLocalUnit(UnitAuto, 0, L"Bot", L"");
    EXPECT_FALSE(factory.RemoveUnit(local));
    factory.RemoveWatchingUnits();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Ann", L"Bot"}));
    factory.RemoveOtherUnits();
    EXPECT_EQ(factory.GetUnits(), std::vector<CUnit*>{local});
    EXPECT_EQ(factory.GetNextUnitNumber(), 1u);

    factory.ClearLocalUnit();
    EXPECT_EQ(factory.GetLocalUnit(), nullptr);
    EXPECT_EQ(local->GetHostId(), 0u);
    factory.Clear();
    EXPECT_EQ(factory.CountUnits(), 0u);
}

TEST_F(Factory, ResetTeamsGivesFreshProfiles)
{
    CUnit* local = factory.CreateLocalUnit(UnitManual, 0, L"Ann", L"");
    CUnit* far = factory.CreateLocalUnit(UnitManual, 1, L"Far", L"pw");
    CUnit* bot = factory.CreateComputerUnit(0, L"Bot", ComputerAI::ModeHard);
    local->JoinTeam(*far);
    bot->JoinTeam(*far);
    factory.ResetTeams();
    EXPECT_FALSE(local->HasTeamMates());
    EXPECT_FALSE(far->HasTeamMates());
    EXPECT_EQ(far->GetProfile().Name, L"");
    EXPECT_EQ(far->GetProfile().Password, L"");
    EXPECT_EQ(far->GetProfile().Address, "127.0.0.1");
    EXPECT_EQ(bot->GetProfile().Name, L"Bot");
    EXPECT_EQ(bot->GetLevel(), 0);
    EXPECT_NE(bot->GetBrain(), nullptr);
    EXPECT_NE(far->GetHostId(), 0u);
    EXPECT_EQ(far->GetId(), 1u);
}

TEST_F(Factory, UpdateUnitProfileAndProfiles)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto});
    UnitProfile changed = factory.GetUnit(0)->GetProfile();
    changed.Name = L"Zed";
    EXPECT_TRUE(factory.UpdateUnitProfile(changed));
    changed.Id = 9;
    EXPECT_FALSE(factory.UpdateUnitProfile(changed));
    std::vector<UnitProfile> profiles;
    factory.GetUnitProfiles(profiles);
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].Name, L"Zed");
}

TEST_F(Factory, ApplyToUnitsRunsEveryEntryOverEveryUnit)
{
    factory.CreateDefaultUnits({UnitManual, UnitAuto});
    std::vector<std::pair<int, std::uint32_t>> calls;
    CUnitFactory::ApplyToUnits<int>({7, 8}, factory.GetUnits(), [&calls](const int& entry, CUnit& unit) {
        calls.emplace_back(entry, unit.GetId());
    });
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::uint32_t>>{{7, 0}, {7, 1}, {8, 0}, {8, 1}}));
}

// The audience manager's worker and the set-up tasks call in beside the GUI.
TEST_F(Factory, ConcurrentCreationAndReading)
{
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t, &go] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < 25; ++i) {
                const std::wstring name = L"T" + std::to_wstring(t) + L"_" + std::to_wstring(i);
                if (i % 2 == 0) {
                    factory.CreateComputerUnit(0, name, 0);
                } else {
                    factory.CreateLocalUnit(UnitManual, 1, name, L"");
                }
                for (CUnit* unit : factory.GetPlayingUnits()) (void)unit;
                (void)factory.GetUnit(static_cast<std::uint32_t>(i));
                std::vector<UnitProfile> profiles;
                factory.GetUnitProfiles(profiles);
            }
        });
    }
    threads.emplace_back([this, &go] {
        while (!go.load()) std::this_thread::yield();
        for (int i = 0; i < 20; ++i) factory.ArrangeUnits();
    });
    go = true;
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(factory.CountUnits(), 100u);
    factory.ArrangeUnits();
    const auto idList = Ids();
    EXPECT_EQ(std::set<std::uint32_t>(idList.begin(), idList.end()).size(), 100u);
    std::set<std::wstring> names;
    for (const auto& name : Names()) names.insert(name);
    EXPECT_EQ(names.size(), 100u);
}

} // namespace
} // namespace Marevane::Testing
