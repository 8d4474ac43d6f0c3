// The host's turn state written from real ships and read back by a client.
#include "ShipTestBoard.h"

#include "model/Random.h"
#include "model/Torpedo.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

using namespace Marevane;

namespace {

constexpr MessageCode AfterAction = 73;

struct Side {
    std::uint32_t Id;
    std::map<std::uint32_t, CShip*> Ships;

    std::uint32_t GetId() const { return Id; }
    const std::map<std::uint32_t, CShip*>& GetShips() const { return Ships; }
};

struct Battle {
    explicit Battle(const MapData& map)
    {
        board.Build(map);
        const GameEditInfo rules;
        destroyer = std::make_unique<CDestroyer>(1, 1, board.GetPanel(2, 2), rules);
        submarine = std::make_unique<CSubmarine>(1, 2, board.GetPanel(5, 1), rules);
        battleship = std::make_unique<CBattleShip>(2, 1, board.GetPanel(3, 5), rules);
        red.Ships = {{1, destroyer.get()}, {2, submarine.get()}};
        blue.Ships = {{1, battleship.get()}};
    }

    std::vector<Side*> Sides() { return {&red, &blue}; }

    CBoard board;
    std::unique_ptr<CShip> destroyer;
    std::unique_ptr<CShip> submarine;
    std::unique_ptr<CShip> battleship;
    Side red{1, {}};
    Side blue{2, {}};
};

} // namespace

TEST(ShipMapState, AClientTakesOverTheHostsMinesAndTorpedoes)
{
    SeedRandom(11);
    MapData map(6, 6);
    map.SpecialPanelCount = 0;
    Battle host(map);
    ASSERT_EQ(host.destroyer->LayMine(host.board.GetPanel(2, 3)), 87u);
    ASSERT_EQ(host.destroyer->LayMine(host.board.GetPanel(3, 4)), 87u);
    // The battleship sets the second mine off on its way west.
    ASSERT_EQ(host.battleship->Move(DirectionWest, 2), 87u);
    ASSERT_EQ(host.battleship->GetProfile().Hp, 2);
    ASSERT_EQ(host.submarine->FireTorpedo({host.battleship.get()}, host.board.GetPanel(5, 6)), 87u);
    host.submarine->OnMessage(AfterAction);

    host.board.StoreMapState(host.Sides());
    const MapData state = host.board.GetMap();

    Battle client(state);
    client.board.ApplyMapState(&client.red, state);
    client.board.ApplyMapState(&client.blue, state);

    EXPECT_TRUE(client.board.GetPanel(2, 3)->HasMineOf(1));
    EXPECT_FALSE(client.board.GetPanel(3, 4)->HasMine());
    ASSERT_EQ(client.destroyer->GetMinesAt(MapPos(2, 3)).size(), 1u);
    EXPECT_EQ(client.destroyer->GetMinesAt(MapPos(2, 3))[0]->Number, 0u);
    const MineProfile& exploded = *std::next(client.destroyer->GetMines().begin());
    EXPECT_TRUE(exploded.IsExploded);
    EXPECT_EQ(exploded.Number, 1u);
    EXPECT_EQ(exploded.VictimUnitId, 2u);

    ASSERT_NE(client.submarine->GetTorpedo(0), nullptr);
    EXPECT_EQ(client.submarine->GetTorpedo(0)->GetCurrentPanel(), client.board.GetPanel(5, 2));
    EXPECT_EQ(client.submarine->GetTorpedo(0)->GetTargetPanel(), client.board.GetPanel(5, 6));
    EXPECT_TRUE(client.battleship->GetAllTorpedoes().empty());
    EXPECT_TRUE(client.board.GetPanel(3, 4)->IsKnownBy(2));
    EXPECT_FALSE(client.board.GetPanel(3, 4)->IsKnownBy(1));

    // Once the host has collected the explosion the torpedo is gone on both.
    for (int i = 0; i < 4; ++i) host.submarine->OnMessage(AfterAction);
    ASSERT_EQ(host.submarine->TakePendingActions().size(), 1u);
    host.board.StoreMapState(host.Sides());
    client.board.ApplyMapState(&client.red, host.board.GetMap());
    EXPECT_TRUE(client.submarine->GetAllTorpedoes().empty());
    EXPECT_TRUE(client.board.GetPanel(2, 3)->HasMineOf(1));
    EXPECT_EQ(client.destroyer->GetMines().size(), 2u);
}
