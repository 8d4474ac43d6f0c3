// Torpedo paths, explosions, and how finished torpedoes leave their ship.
#include "ShipTestBoard.h"

#include "model/Errors.h"
#include "model/Torpedo.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

namespace {

constexpr MessageCode AfterAction = 73;

std::vector<MapPos> Path(CTorpedo& torpedo, int maxSteps = 20)
{
    std::vector<MapPos> path;
    for (int i = 0; i < maxSteps && torpedo.GetCurrentPanel() != torpedo.GetTargetPanel(); ++i) {
        torpedo.Step();
        path.push_back(torpedo.GetProfile().CurrentPos);
    }
    return path;
}

} // namespace

TEST(TorpedoPath, TheLongerAxisFirstThenTheCoinOnATie)
{
    for (bool coin : {true, false}) {
        ShipTestBoard t;
        CShip& ship = t.Add(ShipTypeSubmarine, 1, 2, 2);
        CTorpedo torpedo(&ship, t.At(2, 2), t.At(5, 3));
        torpedo.SetCoin([coin] { return coin; });
        const std::vector<MapPos> expected = coin ? std::vector<MapPos>{{3, 2}, {4, 2}, {5, 2}, {5, 3}}
                                                  : std::vector<MapPos>{{3, 2}, {4, 2}, {4, 3}, {5, 3}};
        EXPECT_EQ(Path(torpedo), expected) << "coin " << coin;
        EXPECT_EQ(torpedo.GetProfile().Direction, coin ? DirectionEast : DirectionSouth);
    }
}

TEST(TorpedoPath, RunsAlongTheEdgeWithoutEnteringTheRing)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeSubmarine, 1, 1, 1);
    CTorpedo torpedo(&ship, t.At(1, 1), t.At(1, 4));
    torpedo.SetCoin([]() -> bool { throw std::logic_error("no tie on a straight run"); });
    EXPECT_EQ(Path(torpedo), (std::vector<MapPos>{{1, 2}, {1, 3}, {1, 4}}));

    CTorpedo back(&ship, t.At(1, 7), t.At(7, 7));
    EXPECT_EQ(Path(back).back(), MapPos(7, 7));
    EXPECT_EQ(back.GetProfile().Direction, DirectionSouth);
}

TEST(TorpedoPath, StartsAtLaunchAndStopsAtTheTarget)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeSubmarine, 1, 3, 3);
    CTorpedo torpedo(&ship, t.At(3, 3), t.At(3, 4));
    EXPECT_EQ(torpedo.GetCurrentPanel(), t.At(3, 3));
    EXPECT_EQ(torpedo.GetProfile().Direction, DirectionCenter);
    EXPECT_EQ(torpedo.GetProfile().CurrentPos, MapPos(3, 3));
    torpedo.Step();
    torpedo.Step();
    EXPECT_EQ(torpedo.GetCurrentPanel(), t.At(3, 4));
    EXPECT_EQ(torpedo.GetProfile().Direction, DirectionEast);
    EXPECT_TRUE(torpedo.IsAtEnd());
}

TEST(TorpedoPath, RefusesTheShipsOwnPanelAndTheRing)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeSubmarine, 1, 3, 3);
    EXPECT_THROW(CTorpedo(&ship, t.At(3, 3), t.At(3, 3)), CPanelRangeError);
    EXPECT_THROW(CTorpedo(&ship, t.At(3, 3), t.At(0, 3)), CPanelRangeError);
    EXPECT_THROW(CTorpedo(&ship, t.At(0, 3), t.At(3, 4)), CPanelRangeError);
    EXPECT_THROW(CTorpedo(&ship, t.At(3, 3), nullptr), CPanelRangeError);
}

TEST(TorpedoFire, LaunchesNumberedTorpedoesAndPays)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 3, 3);
    EXPECT_EQ(submarine.FireTorpedo({}, t.At(3, 6)), 87u);
    EXPECT_EQ(submarine.FireTorpedo({}, t.At(6, 3)), 87u);
    const ShipProfile& profile = submarine.GetProfile();
    EXPECT_EQ(profile.WeaponStock, 1);
    EXPECT_EQ(profile.Fp, 60u);
    EXPECT_EQ(profile.Statistics[ShipStatTorpedoes], 2u);
    EXPECT_EQ(submarine.GetTorpedoCount(), 2u);
    ASSERT_NE(submarine.GetTorpedo(1), nullptr);
    EXPECT_EQ(submarine.GetTorpedo(1)->GetProfile().TargetPos, MapPos(6, 3));
    EXPECT_EQ(submarine.GetTorpedo(1)->GetProfile().Number, 1u);
    EXPECT_EQ(submarine.GetTorpedo(0)->GetProfile().LaunchPos, MapPos(3, 3));
    EXPECT_THROW(submarine.FireTorpedo({}, t.At(3, 3)), CPanelRangeError);
}

TEST(TorpedoFire, Refusals)
{
    ShipTestBoard t;
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 3, 3);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 4, 4);
    EXPECT_EQ(battleship.FireTorpedo({}, t.At(3, 5)), 108u);
    submarine.GetProfile().Fp = 19;
    EXPECT_EQ(submarine.FireTorpedo({}, t.At(3, 5)), 78u);
    submarine.GetProfile().WeaponStock = 0;
    EXPECT_EQ(submarine.FireTorpedo({}, t.At(3, 5)), 110u);
    EXPECT_EQ(submarine.GetTorpedoCount(), 0u);
    EXPECT_EQ(submarine.GetProfile().Fp, 19u);
}

TEST(TorpedoExplosion, HitsLikeAnAttackAndExplodesOnce)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    CShip& target = t.Add(ShipTypeBattleship, 2, 2, 5);
    CShip& beside = t.Add(ShipTypeDestroyer, 3, 3, 6);
    ASSERT_EQ(submarine.FireTorpedo(t.All(), t.At(2, 5)), 87u);
    CTorpedo& torpedo = *submarine.GetTorpedo(0);

    for (int i = 0; i < 3; ++i) submarine.OnMessage(AfterAction);
    EXPECT_TRUE(torpedo.IsFinished());
    EXPECT_EQ(target.GetProfile().Hp, 2);
    EXPECT_EQ(target.GetProfile().LastEvent, 2u);
    EXPECT_EQ(beside.GetProfile().LastEvent, 4u);
    EXPECT_EQ(submarine.GetProfile().Statistics[ShipStatHits], 1u);
    // The torpedo costs no second attack's fuel.
    EXPECT_EQ(submarine.GetProfile().Fp, 80u);

    const ActionInfo& result = torpedo.GetResult();
    EXPECT_EQ(result.Kind, 2u);
    EXPECT_EQ(result.Command, CommandTorpedo);
    EXPECT_EQ(result.Target, MapPos(2, 5));
    EXPECT_EQ(result.UnitId, 1u);
    ASSERT_EQ(result.Ships.count(1), 1u);
    EXPECT_EQ(result.Ships.at(1).size(), 1u);
    ASSERT_EQ(result.Ships.count(2), 1u);
    EXPECT_EQ(result.Ships.at(2)[0].Hp, 2);
    EXPECT_EQ(result.Ships.count(3), 1u);

    EXPECT_FALSE(torpedo.Explode());
    submarine.OnMessage(AfterAction);
    EXPECT_EQ(target.GetProfile().Hp, 2);
    EXPECT_EQ(submarine.GetProfile().Statistics[ShipStatAttacks], 1u);
}

TEST(TorpedoExplosion, StopsEarlyOnAReefOrALiveMine)
{
    ShipTestBoard t;
    t.SetType(2, 4, PanelReef);
    MineProfile& mine = t.LayForeignMine(4, 3);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 4, 2);
    ASSERT_EQ(submarine.FireTorpedo({}, t.At(2, 6)), 87u);
    ASSERT_EQ(destroyer.FireTorpedo({}, t.At(4, 6)), 87u);
    for (int i = 0; i < 2; ++i) {
        submarine.OnMessage(AfterAction);
        destroyer.OnMessage(AfterAction);
    }
    EXPECT_TRUE(submarine.GetTorpedo(0)->IsFinished());
    EXPECT_EQ(submarine.GetTorpedo(0)->GetResult().Target, MapPos(2, 4));
    EXPECT_TRUE(destroyer.GetTorpedo(0)->IsFinished());
    EXPECT_EQ(destroyer.GetTorpedo(0)->GetResult().Target, MapPos(4, 3));
    // The explosion clears the mine it ran into.
    EXPECT_TRUE(mine.IsExploded);
    EXPECT_EQ(destroyer.GetProfile().Statistics[ShipStatOtherMinesCleared], 1u);
}

TEST(TorpedoCleanup, ResultsAreCollectedOnceAndFreeTheLimit)
{
    ShipTestBoard t;
    ShipConfigSet config = t.Config(ShipTypeSubmarine);
    config.WeaponStock = 9;
    config.Fp = 0;
    CShip& submarine = t.Add(config, 1, 2, 2);
    CShip& target = t.Add(ShipTypeBattleship, 2, 2, 3);
    ASSERT_EQ(submarine.FireTorpedo({&target}, t.At(2, 3)), 87u);
    ASSERT_EQ(submarine.FireTorpedo({&target}, t.At(6, 5)), 87u);
    EXPECT_EQ(submarine.GetTorpedoCount(), 2u);

    submarine.OnMessage(AfterAction);
    // The finished torpedo no longer counts as in flight, even before its
    // result is collected.
    EXPECT_EQ(submarine.GetTorpedoCount(), 1u);
    EXPECT_EQ(submarine.GetTorpedoes().size(), 1u);
    EXPECT_EQ(submarine.GetTorpedoResults().size(), 1u);

    const std::vector<ActionInfo> pending = submarine.TakePendingActions();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].Target, MapPos(2, 3));
    EXPECT_TRUE(submarine.TakePendingActions().empty());
    EXPECT_EQ(submarine.GetAllTorpedoes().size(), 1u);
    EXPECT_EQ(submarine.GetTorpedo(0), nullptr);
    EXPECT_EQ(target.GetProfile().Hp, 2);

    // Numbers go on from the torpedoes fired, not from those kept.
    ASSERT_EQ(submarine.FireTorpedo({}, t.At(5, 5)), 87u);
    EXPECT_NE(submarine.GetTorpedo(2), nullptr);
    EXPECT_EQ(submarine.GetTorpedoCount(), 2u);
}

TEST(TorpedoCleanup, RemovingKeepsRunningTorpedoes)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    submarine.FireTorpedo({}, t.At(6, 5));
    submarine.OnMessage(AfterAction);
    submarine.RemoveFinishedTorpedoes();
    EXPECT_EQ(submarine.GetTorpedoCount(), 1u);
    EXPECT_TRUE(submarine.GetTorpedoResults().empty());
}

TEST(TorpedoSync, RebuildsUpdatesAndDropsTorpedoesFromTheHost)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    TorpedoProfile profile;
    profile.Number = 4;
    profile.UnitId = 1;
    profile.ShipId = 1;
    profile.ShipType = ShipTypeSubmarine;
    profile.LaunchPos = MapPos(2, 2);
    profile.CurrentPos = MapPos(3, 2);
    profile.TargetPos = MapPos(6, 2);
    profile.Direction = DirectionSouth;
    TorpedoProfile other = profile;
    other.ShipId = 2;

    submarine.SyncTorpedoes({profile, other});
    ASSERT_NE(submarine.GetTorpedo(4), nullptr);
    EXPECT_EQ(submarine.GetAllTorpedoes().size(), 1u);
    EXPECT_EQ(submarine.GetTorpedo(4)->GetCurrentPanel(), t.At(3, 2));
    EXPECT_EQ(submarine.GetTorpedo(4)->GetTargetPanel(), t.At(6, 2));

    profile.CurrentPos = MapPos(4, 2);
    submarine.SyncTorpedo(profile);
    EXPECT_EQ(submarine.GetTorpedo(4)->GetCurrentPanel(), t.At(4, 2));
    EXPECT_EQ(submarine.GetTorpedoProfiles().at(0).CurrentPos, MapPos(4, 2));

    // Gone from the host's list: gone here.
    submarine.SyncTorpedoes({other});
    EXPECT_TRUE(submarine.GetAllTorpedoes().empty());
}

TEST(TorpedoSync, AProfileOffTheBoardIsRefusedAtOnce)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    TorpedoProfile profile;
    profile.UnitId = 1;
    profile.ShipId = 1;
    profile.LaunchPos = MapPos(2, 2);
    profile.CurrentPos = MapPos(2, 2);
    profile.TargetPos = MapPos(4000000000u, 4000000000u);

    // A walk towards the far target would never end: the test's time-out
    // guards that.
    EXPECT_THROW(submarine.SyncTorpedo(profile), CPanelRangeError);
    EXPECT_TRUE(submarine.GetAllTorpedoes().empty());

    profile.TargetPos = MapPos(0, 3); // on the ring
    EXPECT_THROW(CTorpedo(&submarine, profile), CPanelRangeError);

    // A known torpedo keeps its state when an update is refused.
    profile.TargetPos = MapPos(5, 5);
    submarine.SyncTorpedo(profile);
    TorpedoProfile bad = profile;
    bad.CurrentPos = MapPos(8, 1);
    EXPECT_THROW(submarine.SyncTorpedo(bad), CPanelRangeError);
    EXPECT_EQ(submarine.GetTorpedo(0)->GetProfile().CurrentPos, MapPos(2, 2));
}
