// Creating, numbering, placing and removing the fleets of the sides.
#include "model/ShipFactory.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Ship.h"
#include "model/ShipOwner.h"

#include <gtest/gtest.h>

#include <ostream>

#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Marevane;

namespace {

class FakeOwner : public CShipOwner {
  public:
    explicit FakeOwner(std::uint32_t id) : m_id(id) {}

    std::uint32_t GetUnitId() const override { return m_id; }
    void AddShip(std::uint32_t shipId, CShip* ship) override { Ships[shipId] = ship; }
    void RemoveAllShips() override { Ships.clear(); }
    std::size_t ShipCount() const override { return Ships.size(); }
    void ReserveShips(std::size_t count) override { Reserved = count; }
    void SetReinforcementsLeft(std::uint32_t count) override { ReinforcementsLeft = count; }
    void SetFlagship(std::uint32_t shipId) override { FlagshipId = shipId; }

    std::map<std::uint32_t, CShip*> Ships;
    std::size_t Reserved = 0;
    std::uint32_t ReinforcementsLeft = 99;
    std::uint32_t FlagshipId = 0;

  private:
    std::uint32_t m_id;
};

ShipProfile Profile(ShipType type, std::uint32_t row, std::uint32_t column, bool flagship = false)
{
    ShipProfile profile;
    profile.Type = type;
    profile.Pos = MapPos(row, column);
    profile.IsFlagship = flagship;
    return profile;
}

class ShipFactoryTest : public ::testing::Test {
  protected:
    ShipFactoryTest() { board.Resize(7, 7); }

    CPanel* At(std::uint32_t row, std::uint32_t column) { return board.GetPanel(row, column); }

    CBoard board;
    CGameEdit rules;
    CShipFactory factory{&board, &rules};
    FakeOwner red{1};
    FakeOwner blue{2};
};

} // namespace

TEST_F(ShipFactoryTest, NumbersEachSidesShipsFromOne)
{
    EXPECT_EQ(factory.GetNextShipId(&red), 1u);
    CShip* first = factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    CShip* second = factory.CreateShip(&red, ShipTypeDestroyer, At(1, 2));
    CShip* other = factory.CreateShip(&blue, ShipTypeSubmarine, At(1, 1));
    EXPECT_EQ(first->GetShipId(), 1u);
    EXPECT_EQ(second->GetShipId(), 2u);
    EXPECT_EQ(other->GetShipId(), 1u);
    EXPECT_EQ(other->GetUnitId(), 2u);
    EXPECT_EQ(second->GetType(), ShipTypeDestroyer);
    EXPECT_EQ(red.Ships.at(2), second);
    EXPECT_EQ(factory.GetShips(&red), (std::vector<CShip*>{first, second}));
    EXPECT_EQ(factory.GetShip(&blue, 1), other);
    EXPECT_EQ(factory.GetNextShipId(&red), 3u);
}

TEST_F(ShipFactoryTest, ShipsReachAsFarAsTheMap)
{
    rules.GetInfo().FpPercentage = 110;
    CShip* ship = factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    EXPECT_EQ(ship->GetConfig().MoveRange, 6u);
    EXPECT_EQ(ship->GetProfile().Fp, 110u);
}

TEST_F(ShipFactoryTest, TheFirstShipSetsUpTheSide)
{
    rules.GetInfo().FleetSize = 3;
    rules.GetInfo().IsReinforcementAllowed = 0;
    factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    EXPECT_EQ(red.Reserved, 3u);
    EXPECT_EQ(red.ReinforcementsLeft, 0u);

    // The table grows past the fleet size (tag matches field more).
    red.ReinforcementsLeft = 7;
    for (std::uint32_t column = 2; column <= 5; ++column)
        factory.CreateShip(&red, ShipTypeDestroyer, At(1, column));
    EXPECT_EQ(red.Ships.size(), 5u);
    EXPECT_EQ(red.ReinforcementsLeft, 7u);
}

TEST_F(ShipFactoryTest, AnOilerCannotLeadAFleet)
{
    EXPECT_THROW(factory.CreateShip(&red, ShipTypeOiler, At(1, 1)), CNonCombatantShipError);
    EXPECT_TRUE(red.Ships.empty());
    factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    EXPECT_EQ(factory.CreateShip(&red, ShipTypeOiler, At(1, 2))->GetShipId(), 2u);
}

TEST_F(ShipFactoryTest, OneShipOfASidePerPanel)
{
    factory.CreateShip(&red, ShipTypeBattleship, At(2, 2));
    EXPECT_THROW(factory.CreateShip(&red, ShipTypeDestroyer, At(2, 2)), CPanelOnOtherShipError);
    EXPECT_NO_THROW(factory.CreateShip(&blue, ShipTypeDestroyer, At(2, 2)));
    EXPECT_TRUE(factory.IsPanelFree(&red, 1, At(2, 2)));
    EXPECT_FALSE(factory.IsPanelFree(&red, 2, At(2, 2)));
}

TEST_F(ShipFactoryTest, RefusalsLeaveNothingBehind)
{
    board.GetPanel(3, 3)->SetType(PanelReef);
    EXPECT_THROW(factory.CreateShip(&red, ShipTypeNone, At(1, 1)), CShipTypeRangeError);
    EXPECT_THROW(factory.CreateShip(&red, 5, At(1, 1)), CShipTypeRangeError);
    EXPECT_THROW(factory.CreateShip(&red, ShipTypeBattleship, At(3, 3)), CPanelRangeError);
    EXPECT_THROW(factory.CreateShip(&red, ShipTypeBattleship, nullptr), CPanelRangeError);
    EXPECT_TRUE(red.Ships.empty());
    EXPECT_EQ(red.ReinforcementsLeft, 99u);
    EXPECT_EQ(factory.GetNextShipId(&red), 1u);
}

TEST_F(ShipFactoryTest, IdsRestartAfterRemoval)
{
    factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    factory.CreateShip(&red, ShipTypeDestroyer, At(1, 2));
    factory.CreateShip(&blue, ShipTypeDestroyer, At(1, 2));
    factory.RemoveShipsOf(&red);
    EXPECT_TRUE(red.Ships.empty());
    EXPECT_TRUE(factory.GetShips(&red).empty());
    EXPECT_EQ(factory.GetShips(&blue).size(), 1u);
    EXPECT_EQ(factory.CreateShip(&red, ShipTypeSubmarine, At(1, 1))->GetShipId(), 1u);
}

TEST_F(ShipFactoryTest, RemovingAndClearingTolerateSidesWithoutShips)
{
    FakeOwner stranger(9);
    EXPECT_NO_THROW(factory.RemoveShipsOf(&stranger));
    factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    factory.GetNextShipId(&blue);
    EXPECT_NO_THROW(factory.Clear());
    EXPECT_TRUE(red.Ships.empty());
    EXPECT_EQ(factory.GetNextShipId(&red), 1u);
    EXPECT_NO_THROW(factory.Clear());
}

TEST_F(ShipFactoryTest, PlaceShipsReplacesTheGivenFleets)
{
    factory.CreateShip(&red, ShipTypeBattleship, At(5, 5));
    CShip* blues = factory.CreateShip(&blue, ShipTypeBattleship, At(5, 5));
    const std::map<std::uint32_t, std::vector<ShipProfile>> profiles{
        {1,
         {Profile(ShipTypeDestroyer, 1, 1), Profile(ShipTypeSubmarine, 1, 2, true),
          Profile(ShipTypeOiler, 1, 3)}}};

    factory.PlaceShips({&red}, profiles);
    ASSERT_EQ(red.Ships.size(), 3u);
    EXPECT_EQ(red.Ships.at(1)->GetType(), ShipTypeDestroyer);
    EXPECT_EQ(red.Ships.at(3)->GetProfile().Pos, MapPos(1, 3));
    EXPECT_EQ(red.FlagshipId, 2u);
    // The side not given keeps its fleet.
    EXPECT_EQ(factory.GetShips(&blue), std::vector<CShip*>{blues});
}

struct BadPlacement {
    const char* Name;
    std::vector<ShipProfile> Fleet;
    friend std::ostream& operator<<(std::ostream& out, const BadPlacement& c) { return out << c.Name; }
};

class ShipFactoryPlacement : public ShipFactoryTest, public ::testing::WithParamInterface<BadPlacement> {};

TEST_P(ShipFactoryPlacement, AnInvalidProfileChangesNothing)
{
    board.GetPanel(3, 3)->SetType(PanelReef);
    CShip* reds = factory.CreateShip(&red, ShipTypeBattleship, At(5, 5));
    CShip* blues = factory.CreateShip(&blue, ShipTypeBattleship, At(5, 5));
    const std::map<std::uint32_t, std::vector<ShipProfile>> profiles{
        {1, {Profile(ShipTypeDestroyer, 1, 1), Profile(ShipTypeSubmarine, 1, 2)}}, {2, GetParam().Fleet}};

    EXPECT_ANY_THROW(factory.PlaceShips({&red, &blue}, profiles));
    EXPECT_EQ(factory.GetShips(&red), std::vector<CShip*>{reds});
    EXPECT_EQ(factory.GetShips(&blue), std::vector<CShip*>{blues});
    EXPECT_EQ(red.Ships.size(), 1u);
    EXPECT_EQ(blue.Ships.size(), 1u);
    EXPECT_EQ(factory.GetNextShipId(&red), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShipFactoryPlacement,
    ::testing::Values(
        BadPlacement{"OffTheMap", {Profile(ShipTypeBattleship, 1, 1), Profile(ShipTypeDestroyer, 8, 1)}},
        BadPlacement{"OnTheRing", {Profile(ShipTypeBattleship, 0, 1)}},
        BadPlacement{"OnAReef", {Profile(ShipTypeBattleship, 3, 3)}},
        BadPlacement{"OilerFirst", {Profile(ShipTypeOiler, 1, 1)}},
        BadPlacement{"SharedPanel", {Profile(ShipTypeBattleship, 2, 2), Profile(ShipTypeOiler, 2, 2)}},
        BadPlacement{"NoType", {Profile(ShipTypeBattleship, 1, 1), Profile(ShipTypeNone, 1, 2)}},
        BadPlacement{"UnknownType", {Profile(ShipTypeBattleship, 1, 1), Profile(ShipType(7), 1, 2)}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ShipFactoryTest, PlaceShipsNeedsAnEntryForEverySide)
{
    const std::map<std::uint32_t, std::vector<ShipProfile>> profiles{{1, {Profile(ShipTypeDestroyer, 1, 1)}}};
    try {
        factory.PlaceShips({&red, &blue}, profiles);
        FAIL() << "a side without profiles was placed";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), MissingKeyText);
    }
    EXPECT_TRUE(red.Ships.empty());
}

TEST_F(ShipFactoryTest, SidesSetUpOnTheirOwnThreadsGetDistinctIds)
{
    std::deque<FakeOwner> owners;
    for (std::uint32_t id = 0; id < 4; ++id) owners.emplace_back(id);
    std::vector<std::thread> threads;
    for (FakeOwner& owner : owners) {
        threads.emplace_back([this, &owner] {
            for (std::uint32_t column = 1; column <= 5; ++column)
                factory.CreateShip(&owner, ShipTypeBattleship, At(owner.GetUnitId() + 1, column));
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (FakeOwner& owner : owners) {
        ASSERT_EQ(owner.Ships.size(), 5u);
        for (std::uint32_t id = 1; id <= 5; ++id) EXPECT_EQ(owner.Ships.at(id)->GetShipId(), id);
    }
}

TEST_F(ShipFactoryTest, DeletingASideDropsItsFleet)
{
    auto leaving = std::make_unique<FakeOwner>(3);
    factory.CreateShip(leaving.get(), ShipTypeBattleship, At(2, 2));
    factory.CreateShip(&red, ShipTypeBattleship, At(1, 1));
    leaving.reset();

    // Clear calls every side it knows; the deleted one must be gone from it.
    factory.Clear();
    EXPECT_TRUE(red.Ships.empty());

    FakeOwner next{4};
    EXPECT_EQ(factory.GetNextShipId(&next), 1u);
}

TEST(ShipFactoryLifetime, SidesMayOutliveTheirFactory)
{
    CBoard board;
    CGameEdit rules;
    FakeOwner side{1};
    {
        CShipFactory factory(&board, &rules);
        factory.CreateShip(&side, ShipTypeBattleship, board.GetPanel(1, 1));
    }
    // The side no longer points at the destroyed factory; its own
    // destruction at the end of the test must not call it.
    SUCCEED();
}
