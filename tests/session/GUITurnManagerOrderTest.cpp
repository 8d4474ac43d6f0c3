#include "NetworkBattle.h"

#include "model/Random.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Marevane;
using namespace Marevane::Testing;

// Codes out of their usual order must neither crash nor throw.
TEST(UnusualCodeOrder, HostTakesEveryCodeBeforeAndAfterTheStart)
{
    const std::vector<MessageCode> codes = {10, 87, 89, 53, 56, 58, 67, 69, 73,
                                            52, 51, 47, 45, 45, 51, 47, 10, 124};
    SeedRandom(4);
    NetworkBattle battle;
    battle.SetUp();
    for (MessageCode code : codes) {
        SCOPED_TRACE(code);
        EXPECT_NO_THROW(battle.host.manager.Update(code));
    }
}

namespace {

// The client takes the codes before the battle has started, then plays a
// whole battle with the host. Its Update swallows what goes wrong by
// breaking the connection, so the state afterwards is what tells: the
// connection is kept and the client mirrors the host to the end.
void ExpectTheBattlePlaysOnAfter(const std::vector<MessageCode>& early)
{
    SeedRandom(4);
    NetworkBattle battle;
    battle.SetUp();
    CGUITurnManagerOnClient& client = battle.client.manager;
    for (MessageCode code : early) client.Update(code);
    ASSERT_FALSE(client.IsDisconnected());

    std::size_t mismatches = 0;
    battle.Run([&](const std::string&) {
        if (FleetsOf(client.GetUnits()) != FleetsOf(battle.host.manager.GetUnits())) ++mismatches;
    });
    EXPECT_FALSE(client.IsDisconnected());
    EXPECT_TRUE(battle.hostEnded);
    EXPECT_TRUE(battle.clientEnded);
    EXPECT_TRUE(client.IsGameDecided());
    EXPECT_GT(battle.comparisons, 2u);
    EXPECT_EQ(mismatches, 0u);
}

} // namespace

TEST(UnusualCodeOrder, ClientTakesCodesBeforeTheStart)
{
    {
        SCOPED_TRACE("53, 67, 69, 73");
        ExpectTheBattlePlaysOnAfter({53, 67, 69, 73});
    }
    SCOPED_TRACE(47);
    ExpectTheBattlePlaysOnAfter({47});
}

// A result, a turn state or ships before the start come with nothing
// received that they could apply: the client stops trusting the connection
// and breaks it the orderly way, changing nothing else, and stays broken.
TEST(UnusualCodeOrder, ClientBreaksTheConnectionOnDataCodesBeforeTheStart)
{
    for (MessageCode code : {10, 58, 70, 71}) {
        SCOPED_TRACE(code);
        SeedRandom(4);
        NetworkBattle battle;
        battle.SetUp();
        CGUITurnManagerOnClient& client = battle.client.manager;
        const auto units = client.GetUnits();
        const auto fleets = FleetsOf(units);

        client.Update(code);
        EXPECT_TRUE(client.IsDisconnected());
        EXPECT_EQ(client.GetUnits(), units);
        EXPECT_EQ(FleetsOf(client.GetUnits()), fleets);
        EXPECT_EQ(battle.client.logger->GetLogCount(), 0u);
        EXPECT_EQ(battle.client.results.GetLogCount(), 0u);

        battle.host.manager.Update(45);
        ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
        client.Update(45);
        EXPECT_TRUE(client.IsDisconnected());
        EXPECT_EQ(FleetsOf(client.GetUnits()), fleets) << "a broken connection started the battle";
    }
}

TEST(UnusualCodeOrder, ClientTakesAStartTwice)
{
    SeedRandom(4);
    NetworkBattle battle;
    battle.SetUp();
    CGUITurnManagerOnClient& client = battle.client.manager;
    battle.host.manager.Update(45);
    ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
    client.Update(45);
    ASSERT_FALSE(client.IsDisconnected());
    const auto fleets = FleetsOf(client.GetUnits());
    client.Update(45);
    EXPECT_FALSE(client.IsDisconnected());
    EXPECT_EQ(FleetsOf(client.GetUnits()), fleets);
    client.Update(47);
    EXPECT_FALSE(client.IsDisconnected());
}
