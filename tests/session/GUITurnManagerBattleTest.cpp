#include "NetworkBattle.h"

#include "model/Random.h"

#include <gtest/gtest.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

std::vector<std::uint32_t> IdsOf(const std::vector<CUnit*>& units)
{
    std::vector<std::uint32_t> ids;
    for (CUnit* unit : units) ids.push_back(unit->GetId());
    return ids;
}

std::vector<QString> LogTexts(const CLogger& logger)
{
    std::vector<QString> texts;
    for (std::size_t k = logger->GetLogCount(); k >= 1; --k) texts.push_back(logger->GetLogText(unsigned(k)));
    return texts;
}

} // namespace

struct BattleCase {
    std::uint32_t Seed;
    MapPos Size;
};

class SeededNetworkBattle : public ::testing::TestWithParam<BattleCase> {};

TEST_P(SeededNetworkBattle, ClientMirrorsTheHostAfterEveryTurn)
{
    SeedRandom(GetParam().Seed);
    NetworkBattle battle;
    battle.SetUp(20, GetParam().Size);
    const CGUITurnManagerOnServer& host = battle.host.manager;
    const CGUITurnManagerOnClient& client = battle.client.manager;

    battle.Run([&](const std::string& when) {
        SCOPED_TRACE(when + " of round " + std::to_string(host.GetPlayOrder().Round) + ", position " +
                     std::to_string(host.GetPlayOrder().Position));
        EXPECT_EQ(client.GetPlayOrder().Round, host.GetPlayOrder().Round);
        EXPECT_EQ(client.GetPlayOrder().Position, host.GetPlayOrder().Position);
        EXPECT_EQ(client.GetTurnOrder(), host.GetTurnOrder());
        ASSERT_NE(client.GetCurrentUnit(), nullptr);
        EXPECT_EQ(client.GetCurrentUnit()->GetId(), host.GetCurrentUnit()->GetId());
        EXPECT_EQ(IdsOf(client.GetUnits()), IdsOf(host.GetUnits()));
        EXPECT_EQ(FleetsOf(client.GetUnits()), FleetsOf(host.GetUnits()));
        EXPECT_EQ(KnownPanelsOf(battle.client.board), KnownPanelsOf(battle.host.board));
    });

    EXPECT_TRUE(battle.hostEnded);
    EXPECT_TRUE(battle.clientEnded);
    EXPECT_FALSE(client.IsDisconnected());
    EXPECT_GT(battle.clientCommands, 3u);
    // A turn start and a turn end per turn, but the battle's last turn ends
    // with the battle.
    EXPECT_EQ(battle.comparisons, 2 * battle.turns - 1);
    EXPECT_TRUE(host.IsGameDecided());
    EXPECT_TRUE(client.IsGameDecided());

    const std::vector<QString> hostLog = LogTexts(battle.host.logger);
    const std::vector<QString> clientLog = LogTexts(battle.client.logger);
    EXPECT_EQ(hostLog.size(), battle.turns + 1); // every turn and the end block
    ASSERT_EQ(clientLog.size(), hostLog.size());
    for (std::size_t i = 0; i < hostLog.size(); ++i) {
        EXPECT_EQ(clientLog[i].toStdString(), hostLog[i].toStdString()) << "event " << i;
    }
    EXPECT_EQ(battle.client.logger->GetTurnStates().size(), battle.host.logger->GetTurnStates().size());
}

// The client's board starts at 5 by 5: the larger map makes it resize.
INSTANTIATE_TEST_SUITE_P(Seeds, SeededNetworkBattle,
                         ::testing::Values(BattleCase{1, MapPos(5, 5)}, BattleCase{3, MapPos(5, 5)},
                                           BattleCase{27, MapPos(5, 5)}, BattleCase{2024, MapPos(5, 5)},
                                           BattleCase{17, MapPos(7, 7)}, BattleCase{5, MapPos(8, 6)}),
                         [](const ::testing::TestParamInfo<BattleCase>& info) {
                             const BattleCase& c = info.param;
                             return "Seed" + std::to_string(c.Seed) + "Map" + std::to_string(c.Size.x) + "x" +
                                    std::to_string(c.Size.y);
                         });
