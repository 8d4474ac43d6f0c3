// Laying mines, reinforcing, refuelling, and mines received from the host.
#include "ShipTestBoard.h"

#include "model/Errors.h"

#include <gtest/gtest.h>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

TEST(ShipLayMine, LaysNumberedMinesUntilTheStockIsGone)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 2, 2);
    EXPECT_EQ(destroyer.LayMine(t.At(2, 3)), 87u);
    EXPECT_EQ(destroyer.LayMine(t.At(2, 2)), 87u);
    EXPECT_EQ(destroyer.LayMine(t.At(2, 1)), 107u);

    EXPECT_EQ(destroyer.GetProfile().WeaponStock, 0);
    EXPECT_EQ(destroyer.GetProfile().Statistics[ShipStatMinesLaid], 2u);
    EXPECT_EQ(destroyer.CountCarriedMines(), 0u);
    ASSERT_EQ(destroyer.GetMinesAt(MapPos(2, 3)).size(), 1u);
    EXPECT_EQ(destroyer.GetMinesAt(MapPos(2, 3))[0]->Number, 0u);
    EXPECT_EQ(destroyer.GetMinesAt(MapPos(2, 2))[0]->Number, 1u);
    EXPECT_TRUE(t.At(2, 3)->HasMineOf(1));
    EXPECT_TRUE(destroyer.GetMinesAt(MapPos(2, 1)).empty());
}

TEST(ShipLayMine, Refusals)
{
    ShipTestBoard t;
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 2, 2);
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 1, 1);
    EXPECT_EQ(battleship.LayMine(t.At(2, 3)), 105u);
    EXPECT_EQ(destroyer.LayMine(t.At(0, 1)), 106u);
    EXPECT_EQ(destroyer.LayMine(nullptr), 106u);
    EXPECT_EQ(destroyer.GetProfile().WeaponStock, 2);
    EXPECT_EQ(destroyer.CountCarriedMines(), 2u);
}

TEST(ShipLayMine, StockWithoutARecordGetsAFreshOne)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 2, 2);
    // The host's two laid mines took both records; the stock says one more.
    for (std::uint32_t n = 0; n < 2; ++n) {
        MineProfile mine(1, 1, ShipTypeDestroyer);
        mine.Number = n;
        mine.Pos = MapPos(3, 3 + n);
        mine.IsPlaced = true;
        destroyer.SyncMine(mine);
    }
    destroyer.GetProfile().WeaponStock = 1;
    destroyer.GetProfile().Statistics[ShipStatMinesLaid] = 2;
    ASSERT_EQ(destroyer.CountCarriedMines(), 0u);

    EXPECT_EQ(destroyer.LayMine(t.At(5, 5)), 87u);
    EXPECT_EQ(destroyer.GetMines().size(), 3u);
    ASSERT_EQ(destroyer.GetMinesAt(MapPos(5, 5)).size(), 1u);
    EXPECT_EQ(destroyer.GetMinesAt(MapPos(5, 5))[0]->Number, 2u);
}

TEST(ShipSyncMine, PlacesReceivedMinesAndTakesExplodedOnesOff)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 2, 2);
    MineProfile received(1, 1, ShipTypeDestroyer);
    received.Number = 0;
    received.Pos = MapPos(4, 4);
    received.IsPlaced = true;
    destroyer.SyncMine(received);
    EXPECT_TRUE(t.At(4, 4)->HasMineOf(1));
    EXPECT_EQ(destroyer.CountCarriedMines(), 1u);

    // The same mine again changes nothing on the panel.
    destroyer.SyncMine(received);
    EXPECT_EQ(t.At(4, 4)->GetMines().size(), 1u);

    received.IsExploded = true;
    received.VictimUnitId = 2;
    destroyer.SyncMine(received);
    EXPECT_FALSE(t.At(4, 4)->HasMine());
    EXPECT_TRUE(t.At(4, 4)->GetMines().empty());
    const MineProfile& local = destroyer.GetMines().front();
    EXPECT_TRUE(local.IsExploded);
    EXPECT_EQ(local.VictimUnitId, 2u);
}

TEST(ShipSyncMine, IgnoresOtherShipsAndRefusesPositionsOffTheMap)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 2, 2);
    MineProfile foreign(1, 2, ShipTypeDestroyer);
    foreign.Number = 0;
    foreign.Pos = MapPos(4, 4);
    foreign.IsPlaced = true;
    destroyer.SyncMine(foreign);
    EXPECT_FALSE(t.At(4, 4)->HasMine());

    MineProfile far(1, 1, ShipTypeDestroyer);
    far.Number = 0;
    far.Pos = MapPos(4000000000u, 4);
    far.IsPlaced = true;
    EXPECT_THROW(destroyer.SyncMine(far), CPanelRangeError);
    EXPECT_EQ(destroyer.CountCarriedMines(), 2u);
}

TEST(ShipReinforce, BringsASunkShipBack)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 2, 2);
    destroyer.LayMine(t.At(2, 3));
    ShipProfile& profile = destroyer.GetProfile();
    profile.Hp = 0;
    profile.Condition = ShipStatusSinking;
    profile.Status = ShipStatusSinking;
    profile.WeaponStock = 0;
    destroyer.MarkPanelKnown(t.At(5, 5));

    EXPECT_EQ(destroyer.Reinforce(t.At(5, 5), 1), 87u);
    EXPECT_EQ(profile.Fp, 66u);
    EXPECT_EQ(profile.Hp, 2);
    EXPECT_EQ(profile.Condition, ShipStatusNormal);
    EXPECT_EQ(profile.Status, ShipStatusNormal);
    EXPECT_EQ(profile.WeaponStock, 2);
    EXPECT_EQ(destroyer.CountCarriedMines(), 2u);
    EXPECT_EQ(profile.Pos, MapPos(5, 5));
    EXPECT_EQ(profile.Statistics[ShipStatReinforcements], 1u);
    EXPECT_EQ(destroyer.CountPendingUpdates(), 1u);
    EXPECT_FALSE(destroyer.IsSinking());
}

TEST(ShipReinforce, ReturnsUncoveredOnShallowsAndMeetsMines)
{
    ShipTestBoard t;
    t.SetType(4, 4, PanelShallow);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    submarine.GetProfile().Hp = 0;
    submarine.GetProfile().Condition = ShipStatusSinking;
    submarine.MarkPanelKnown(t.At(4, 4));
    EXPECT_EQ(submarine.Reinforce(t.At(4, 4), 1), 87u);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealthDisabled);
    EXPECT_EQ(submarine.CountPendingUpdates(), 0u);

    CShip& battleship = t.Add(ShipTypeBattleship, 1, 1, 1);
    battleship.GetProfile().Hp = 0;
    battleship.GetProfile().Condition = ShipStatusSinking;
    battleship.MarkPanelKnown(t.At(5, 5));
    t.LayForeignMine(5, 5);
    EXPECT_EQ(battleship.Reinforce(t.At(5, 5), 1), 87u);
    EXPECT_EQ(battleship.GetProfile().Hp, 2);
    EXPECT_EQ(battleship.GetProfile().Statistics[ShipStatOtherMineHits], 1u);
}

TEST(ShipReinforce, RefusalsChangeNothing)
{
    ShipTestBoard t;
    t.SetType(3, 3, PanelReef);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ship.MarkPanelKnown(t.At(5, 5));
    ship.MarkPanelKnown(t.At(3, 3));
    EXPECT_EQ(ship.Reinforce(t.At(5, 5), 1), 111u);

    ShipProfile& profile = ship.GetProfile();
    profile.Hp = 0;
    profile.Condition = ShipStatusSinking;
    EXPECT_EQ(ship.Reinforce(t.At(6, 6), 1), 115u);
    EXPECT_EQ(ship.Reinforce(t.At(3, 3), 1), 116u);
    // From round 21 the return takes every FP and leaves nothing to act with.
    EXPECT_EQ(ship.Reinforce(t.At(5, 5), 21), 80u);
    EXPECT_EQ(profile.Fp, 100u);
    profile.Fp = 0;
    EXPECT_EQ(ship.Reinforce(t.At(5, 5), 1), 80u);
    EXPECT_TRUE(ship.IsSinking());
    EXPECT_EQ(profile.Pos, MapPos(2, 2));
    EXPECT_EQ(profile.Statistics[ShipStatReinforcements], 0u);
}

TEST(ShipRefuel, SharesTooLittleFuelByNeed)
{
    ShipTestBoard t;
    CShip& oiler = t.Add(ShipTypeOiler, 1, 2, 2);
    CShip& first = t.Add(ShipTypeBattleship, 1, 2, 3);
    CShip& second = t.Add(ShipTypeDestroyer, 1, 3, 2);
    oiler.GetProfile().Fp = 40;
    first.GetProfile().Fp = 70;
    second.GetProfile().Fp = 70;

    EXPECT_EQ(oiler.Refuel({&first, &second}), 87u);
    EXPECT_EQ(first.GetProfile().Fp, 90u);
    EXPECT_EQ(second.GetProfile().Fp, 90u);
    EXPECT_EQ(oiler.GetProfile().Fp, 0u);
    EXPECT_EQ(oiler.GetProfile().Statistics[ShipStatRefuels], 1u);
    EXPECT_EQ(oiler.GetProfile().Statistics[ShipStatFpGiven], 40u);
}

TEST(ShipRefuel, AShareAboveTheRateIsCapped)
{
    ShipTestBoard t;
    CShip& oiler = t.Add(ShipTypeOiler, 1, 2, 2);
    CShip& empty = t.Add(ShipTypeBattleship, 1, 2, 3);
    CShip& nearlyFull = t.Add(ShipTypeDestroyer, 1, 3, 2);
    oiler.GetProfile().Fp = 50;
    empty.GetProfile().Fp = 0;
    nearlyFull.GetProfile().Fp = 90;

    // Budget 60 > 50: the empty ship's share 50 * 100 / 110 = 45 is capped at
    // 30, which leaves 20 for a need of 10.
    EXPECT_EQ(oiler.Refuel({&empty, &nearlyFull}), 87u);
    EXPECT_EQ(empty.GetProfile().Fp, 30u);
    EXPECT_EQ(nearlyFull.GetProfile().Fp, 100u);
    EXPECT_EQ(oiler.GetProfile().Fp, 10u);
    EXPECT_EQ(oiler.GetProfile().Statistics[ShipStatFpGiven], 40u);
}

TEST(ShipRefuel, AFullTankGivesEveryShipItsShare)
{
    ShipTestBoard t;
    CShip& oiler = t.Add(ShipTypeOiler, 1, 2, 2);
    CShip& a = t.Add(ShipTypeBattleship, 1, 2, 3);
    CShip& b = t.Add(ShipTypeDestroyer, 1, 3, 2);
    CShip& full = t.Add(ShipTypeDestroyer, 1, 3, 3);
    a.GetProfile().Fp = 50;
    b.GetProfile().Fp = 90;
    EXPECT_EQ(oiler.Refuel({&a, &b, &full}), 87u);
    EXPECT_EQ(a.GetProfile().Fp, 80u);
    EXPECT_EQ(b.GetProfile().Fp, 100u);
    EXPECT_EQ(full.GetProfile().Fp, 100u);
    EXPECT_EQ(oiler.GetProfile().Fp, 110u);
}

TEST(ShipRefuel, Refusals)
{
    ShipTestBoard t;
    CShip& oiler = t.Add(ShipTypeOiler, 1, 2, 2);
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 2, 3);
    EXPECT_EQ(battleship.Refuel({&oiler}), 117u);
    EXPECT_EQ(oiler.Refuel({&battleship}), 82u);
    EXPECT_EQ(oiler.Refuel({}), 82u);
    battleship.GetProfile().Fp = 10;
    oiler.GetProfile().Condition = ShipStatusFuelShortage;
    EXPECT_EQ(oiler.Refuel({&battleship}), 81u);
    oiler.GetProfile().Condition = ShipStatusNormal;
    oiler.GetProfile().Fp = 0;
    EXPECT_EQ(oiler.Refuel({&battleship}), 81u);
    EXPECT_EQ(battleship.GetProfile().Fp, 10u);
}
