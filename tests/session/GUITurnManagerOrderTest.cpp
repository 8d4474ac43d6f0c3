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

TEST(UnusualCodeOrder, ClientTakesCodesBeforeTheStartAndAStartTwice)
{
    SeedRandom(4);
    NetworkBattle battle;
    battle.SetUp();
    CGUITurnManagerOnClient& client = battle.client.manager;
    for (MessageCode code : {53, 67, 69, 73}) {
        SCOPED_TRACE(code);
        EXPECT_NO_THROW(client.Update(code));
    }
    ASSERT_FALSE(client.IsDisconnected());
    for (MessageCode code : {10, 47, 58, 70, 71}) {
        SCOPED_TRACE(code);
        NetworkBattle early;
        early.SetUp();
        EXPECT_NO_THROW(early.client.manager.Update(code));
    }

    battle.host.manager.Update(45);
    ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
    client.Update(45);
    ASSERT_FALSE(client.IsDisconnected());
    const auto fleets = FleetsOf(client.GetUnits());
    client.Update(45);
    EXPECT_FALSE(client.IsDisconnected());
    EXPECT_EQ(FleetsOf(client.GetUnits()), fleets);
    EXPECT_NO_THROW(client.Update(47));
}
