#include "model/Board.h"
#include "model/Errors.h"
#include "model/Random.h"

#include <gtest/gtest.h>

#include <limits>
#include <list>
#include <map>
#include <set>

using namespace Marevane;

namespace {

// The least a ship and a side offer the board.
struct FakeShip {
    FakeShip(std::uint32_t unitId, std::uint32_t id, bool sinking, CPanel* panel, CBoard* board = nullptr)
        : UnitId(unitId), Id(id), Sinking(sinking), Panel(panel), Board(board)
    {
    }

    std::uint32_t UnitId = 0;
    std::uint32_t Id = 0;
    bool Sinking = false;
    CPanel* Panel = nullptr;
    CBoard* Board = nullptr;
    std::list<MineProfile> Mines;
    std::vector<TorpedoProfile> Torpedoes;

    bool IsSinking() const { return Sinking; }
    CPanel* GetCurrentPanel() const { return Panel; }
    const std::list<MineProfile>& GetMines() const { return Mines; }
    std::vector<TorpedoProfile> GetTorpedoProfiles() const { return Torpedoes; }
    void SyncTorpedoes(const std::vector<TorpedoProfile>& torpedoes)
    {
        Torpedoes.clear();
        for (const TorpedoProfile& t : torpedoes) {
            if (t.UnitId == UnitId && t.ShipId == Id) Torpedoes.push_back(t);
        }
    }
    void SyncMine(const MineProfile& mine)
    {
        Mines.push_back(mine);
        Mines.back().IsPlaced = false;
        if (mine.IsPlaced && !mine.IsExploded) {
            if (CPanel* panel = Board->GetSeaPanel(mine.Pos)) panel->PlaceMine(&Mines.back());
        } else {
            Mines.back().IsPlaced = mine.IsPlaced;
        }
    }
};

struct FakeUnit {
    std::uint32_t Id = 0;
    std::map<std::uint32_t, FakeShip*> Ships;
    std::uint32_t GetId() const { return Id; }
    const std::map<std::uint32_t, FakeShip*>& GetShips() const { return Ships; }
};

std::uint32_t CountSpecial(const CBoard& board)
{
    std::uint32_t count = 0;
    for (const CSeaPanel& panel : board.GetSeaPanels()) {
        if (panel.GetType() != PanelSea) ++count;
    }
    return count;
}

std::map<MapPos, PanelType> TypesOf(const CBoard& board)
{
    std::map<MapPos, PanelType> types;
    board.WritePanelTypes(types);
    return types;
}

bool RingIntact(const CBoard& board)
{
    for (const CBoundaryPanel& panel : board.GetBoundaryPanels()) {
        if (panel.GetType() != PanelBoundary || panel.IsPassable()) return false;
    }
    return true;
}

MapData PlainMap(std::uint32_t rows, std::uint32_t columns)
{
    MapData map(rows, columns);
    map.SpecialPanelCount = 0;
    return map;
}

} // namespace

struct SizeCase {
    std::uint32_t Rows;
    std::uint32_t Columns;
    std::size_t Sea;
    std::size_t Ring;
};

class BoardSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BoardSizes, GridWithRing)
{
    const SizeCase& c = GetParam();
    CBoard board;
    board.Resize(c.Rows, c.Columns);
    EXPECT_EQ(board.GetSeaPanels().size(), c.Sea);
    EXPECT_EQ(board.GetBoundaryPanels().size(), c.Ring);
    EXPECT_EQ(board.GetRows(), c.Rows);
    EXPECT_EQ(board.GetTotalColumns(), c.Columns + 2);
    EXPECT_EQ(board.GetMap().Size, MapPos(c.Rows, c.Columns));
    for (std::uint32_t r = 0; r < c.Rows + 2; ++r) {
        for (std::uint32_t col = 0; col < c.Columns + 2; ++col) {
            CPanel* panel = board.GetPanel(r, col);
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->GetPos(), MapPos(r, col));
            const bool ring = r == 0 || col == 0 || r == c.Rows + 1 || col == c.Columns + 1;
            EXPECT_EQ(panel->GetType(), ring ? PanelBoundary : PanelSea);
            EXPECT_EQ(board.GetSeaPanel(MapPos(r, col)) != nullptr, !ring);
        }
    }
    EXPECT_EQ(board.GetPanel(c.Rows + 2, 0), nullptr);
    EXPECT_EQ(board.GetPanel(0, c.Columns + 2), nullptr);
    EXPECT_EQ(board.GetPanel(MapPos(0xFFFFFFFFu, 1)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BoardSizes,
                         ::testing::Values(SizeCase{5, 5, 25, 24}, SizeCase{9, 9, 81, 40},
                                           SizeCase{3, 3, 9, 16}, SizeCase{3, 7, 21, 24}),
                         [](const ::testing::TestParamInfo<SizeCase>& info) {
                             return "Map" + std::to_string(info.param.Rows) + "x" +
                                    std::to_string(info.param.Columns);
                         });

TEST(Board, SizesBelowThreeAreRefusedAndChangeNothing)
{
    CBoard board;
    board.Resize(4, 6);
    // 0 by 0 is the arcade's "run over" marker; 2 would leave a move range of 1.
    for (const MapPos& size : {MapPos(0, 0), MapPos(2, 5), MapPos(5, 2), MapPos(256, 5)}) {
        EXPECT_THROW(board.Resize(size.x, size.y), CPanelRangeError);
        EXPECT_THROW(board.Build(MapData(size.x, size.y)), CPanelRangeError);
    }
    EXPECT_EQ(board.GetRows(), 4u);
    EXPECT_EQ(board.GetColumns(), 6u);
    EXPECT_EQ(board.GetSeaPanels().size(), 24u);
}

TEST(Board, DefaultIsFiveByFiveAndOversizeIsRefused)
{
    CBoard board;
    EXPECT_EQ(board.GetRows(), 5u);
    EXPECT_EQ(board.GetTotalRows(), 7u);
    EXPECT_THROW(board.Resize(CBoard::MaxSide + 1, 5), CPanelRangeError);
    MapData huge(0xFFFFFFFFu, 3);
    EXPECT_THROW(board.Build(huge), CPanelRangeError);
    EXPECT_EQ(board.GetRows(), 5u);
    EXPECT_EQ(board.GetSeaPanels().size(), 25u);
}

TEST(Board, BuildSetsListedTypesAndMovesMisplacedOnes)
{
    SeedRandom(11);
    CBoard board;
    MapData map = PlainMap(6, 6);
    map.PanelTypes[MapPos(2, 2)] = PanelReef;
    map.PanelTypes[MapPos(3, 4)] = PanelFog;
    map.PanelTypes[MapPos(0, 3)] = PanelShallow;               // on the ring: moved inside
    map.PanelTypes[MapPos(40, 40)] = PanelHighWave;            // off the grid: moved inside
    map.PanelTypes[MapPos(4, 4)] = static_cast<PanelType>(17); // not a panel type
    board.Build(map);

    EXPECT_EQ(board.GetPanel(2, 2)->GetType(), PanelReef);
    EXPECT_FALSE(board.GetPanel(2, 2)->IsPassable());
    EXPECT_EQ(board.GetPanel(3, 4)->GetType(), PanelFog);
    EXPECT_EQ(board.GetPanel(4, 4)->GetType(), PanelSea);
    EXPECT_TRUE(RingIntact(board));
    const auto types = TypesOf(board);
    EXPECT_EQ(types.size(), 4u);
    std::multiset<PanelType> kinds;
    for (const auto& entry : types) kinds.insert(entry.second);
    EXPECT_EQ(kinds.count(PanelShallow), 1u);
    EXPECT_EQ(kinds.count(PanelHighWave), 1u);
    EXPECT_EQ(board.GetMap().PanelTypes, types); // written back
}

struct EffectCase {
    std::uint32_t Side;
    std::int32_t Count;
    std::uint32_t Expected; // the most panels any seed gives
};

class BoardEffects : public ::testing::TestWithParam<EffectCase> {};

TEST_P(BoardEffects, CountOverManySeeds)
{
    const EffectCase& c = GetParam();
    CBoard board;
    std::uint32_t most = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        SeedRandom(seed);
        MapData map(c.Side, c.Side);
        map.SpecialPanelCount = c.Count;
        board.Build(map);
        const std::uint32_t count = CountSpecial(board);
        ASSERT_LE(count, c.Expected) << "seed " << seed;
        ASSERT_TRUE(RingIntact(board)) << "seed " << seed;
        most = std::max(most, count);
    }
    EXPECT_EQ(most, c.Expected);
}

// Default: 2 per 10 sea panels, plus one when (2n) mod 10 >= 5, plus one
// when n mod 10 >= 5; an explicit count has no rounding terms.
INSTANTIATE_TEST_SUITE_P(Counts, BoardEffects,
                         ::testing::Values(EffectCase{3, -1, 2}, EffectCase{5, -1, 5}, EffectCase{6, -1, 7},
                                           EffectCase{7, -1, 10}, EffectCase{9, -1, 16}, EffectCase{5, 0, 0},
                                           EffectCase{5, 3, 3}, EffectCase{3, 1000, 9}),
                         [](const ::testing::TestParamInfo<EffectCase>& info) {
                             const EffectCase& c = info.param;
                             return "Map" + std::to_string(c.Side) + "x" + std::to_string(c.Side) +
                                    (c.Count < 0 ? std::string("DefaultCount")
                                                 : "Count" + std::to_string(c.Count));
                         });

TEST(Board, CapsLimitEachSpecialType)
{
    CBoard board;
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        SeedRandom(seed);
        MapData map(9, 9);
        map.SpecialPanelCount = 40;
        map.MaxReefs = 0;
        map.MaxShallows = 1;
        map.MaxFogs = 0;
        board.Build(map);
        std::map<PanelType, int> counts;
        for (const CSeaPanel& panel : board.GetSeaPanels()) ++counts[panel.GetType()];
        ASSERT_EQ(counts[PanelReef], 0);
        ASSERT_LE(counts[PanelShallow], 1);
        ASSERT_EQ(counts[PanelFog], 0);
        ASSERT_GT(counts[PanelHighWave], 0); // uncapped
    }
}

TEST(Board, EffectsAvoidOccupiedPanelsAndEndWhenNoneIsFree)
{
    CBoard board;
    board.Build(PlainMap(4, 4));
    const std::set<MapPos> taken = {MapPos(1, 1), MapPos(2, 3), MapPos(4, 4)};
    auto occupied = [&taken](const CPanel& panel) { return taken.count(panel.GetPos()) != 0; };
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        SeedRandom(seed);
        board.ResetPanels();
        EXPECT_EQ(board.PlacePanels(PanelFog, 100, occupied), 13u);
        for (const MapPos& pos : taken) ASSERT_EQ(board.GetPanel(pos)->GetType(), PanelSea);
        EXPECT_EQ(board.PlacePanels(PanelReef, 5, occupied), 0u); // nothing left: ends at once
    }
    EXPECT_EQ(board.PlacePanels(PanelBoundary, 3), 0u);
    EXPECT_EQ(board.PlacePanels(PanelSea, 3), 0u);
}

TEST(Board, EffectsAvoidShipsOfExcludedSides)
{
    CBoard board;
    board.Build(PlainMap(3, 3));
    FakeShip afloat{1, 1, false, board.GetPanel(2, 2)};
    FakeShip sunk{1, 2, true, board.GetPanel(1, 1)};
    FakeUnit unit{1, {{1, &afloat}, {2, &sunk}}};
    const std::vector<FakeUnit*> units = {&unit};
    EXPECT_TRUE(CBoard::IsOccupied(units, board.GetPanel(2, 2)));
    EXPECT_FALSE(CBoard::IsOccupied(units, board.GetPanel(1, 1))); // sinking ships free their panel
    EXPECT_FALSE(CBoard::IsOccupied(std::vector<FakeUnit*>{}, board.GetPanel(2, 2)));

    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        SeedRandom(seed);
        board.Build(PlainMap(3, 3));
        board.PlacePanels(PanelShallow, 9, [&](const CPanel& p) { return CBoard::IsOccupied(units, &p); });
        ASSERT_EQ(board.GetPanel(2, 2)->GetType(), PanelSea);
        ASSERT_EQ(CountSpecial(board), 8u);

        // Drawn again after a reset, with the side's ships kept free.
        MapData map(3, 3);
        map.SpecialPanelCount = 9;
        board.Build(map);
        const std::size_t drawn = board.GetMap().PanelTypes.size();
        board.ResetPanels();
        board.PlacePanelEffects(units);
        ASSERT_EQ(board.GetPanel(2, 2)->GetType(), PanelSea);
        ASSERT_LE(CountSpecial(board), std::min<std::size_t>(drawn, 8));
    }
}

TEST(Board, CountIsReachedOnce)
{
    CBoard board;
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        SeedRandom(seed);
        board.Build(MapData(7, 7));
        const auto first = TypesOf(board);
        board.PlacePanelEffects();
        board.PlacePanelEffects(std::vector<FakeUnit*>{});
        ASSERT_EQ(TypesOf(board), first) << "seed " << seed;
        // Rebuilding from the board's own map, as a battle start or a client
        // does, keeps exactly the same panels.
        const MapData own = board.GetMap();
        board.Build(own);
        ASSERT_EQ(TypesOf(board), first) << "seed " << seed;
        CBoard client;
        client.Build(own);
        ASSERT_EQ(TypesOf(client), first) << "seed " << seed;
    }
}

TEST(Board, ListedPanelsCountTowardsTheDefault)
{
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        SeedRandom(seed);
        CBoard board;
        MapData map(5, 5);
        map.PanelTypes[MapPos(1, 1)] = PanelReef;
        map.PanelTypes[MapPos(1, 2)] = PanelReef;
        map.PanelTypes[MapPos(1, 3)] = PanelReef;
        map.PanelTypes[MapPos(1, 4)] = PanelReef;
        board.Build(map);
        ASSERT_LE(CountSpecial(board), 5u);
        ASSERT_GE(CountSpecial(board), 4u);
    }
}

TEST(Board, KnownPanelsAndReveal)
{
    CBoard board;
    MapData map = PlainMap(5, 5);
    map.CoordinateInfo.KnownPositions = {MapPos(1, 1), MapPos(0, 2), MapPos(9, 9)};
    map.UnitCoordinateInfo[2].KnownPositions = {MapPos(3, 3), MapPos(1, 1), MapPos(0, 0)};
    map.UnitCoordinateInfo[7].KnownPositions = {MapPos(4, 4)};
    FakeUnit two{2, {}};
    FakeUnit three{3, {}};
    board.Build(map, std::vector<FakeUnit*>{&two, &three});

    EXPECT_TRUE(board.GetPanel(1, 1)->IsRevealed());
    EXPECT_TRUE(board.GetPanel(1, 1)->IsKnownBy(3));
    EXPECT_TRUE(board.GetPanel(1, 1)->GetKnownUnits().empty()); // revealed: no list needed
    EXPECT_TRUE(board.GetPanel(0, 0)->GetKnownUnits().empty()); // the ring is known anyway
    EXPECT_TRUE(board.GetPanel(3, 3)->IsKnownBy(2));
    EXPECT_FALSE(board.GetPanel(3, 3)->IsKnownBy(3));
    EXPECT_FALSE(board.GetPanel(4, 4)->IsKnownBy(7)); // unit 7 was not listed

    board.ApplyKnownPanels(2, {MapPos(3, 3), MapPos(2, 5)});
    EXPECT_EQ(board.GetPanel(3, 3)->GetKnownUnits(), std::vector<std::uint32_t>{2});
    EXPECT_TRUE(board.GetPanel(2, 5)->IsKnownBy(2));
}

TEST(Board, ResetKeepsTablesOfNumberedMapsOnly)
{
    CBoard board;
    MapData map = PlainMap(5, 5);
    map.PanelTypes[MapPos(2, 2)] = PanelFog;
    map.UnitCoordinateInfo[1].KnownPositions = {MapPos(3, 3)};
    board.Build(map);
    board.ResetPanels();
    EXPECT_EQ(board.GetPanel(2, 2)->GetType(), PanelSea);
    EXPECT_TRUE(board.GetMap().PanelTypes.empty());
    EXPECT_TRUE(board.GetMap().UnitCoordinateInfo.empty());

    map.Id = 3;
    board.Build(map);
    board.ResetPanels();
    EXPECT_EQ(board.GetPanel(2, 2)->GetType(), PanelSea);
    EXPECT_EQ(board.GetMap().PanelTypes.size(), 1u);
    EXPECT_EQ(board.GetMap().UnitCoordinateInfo.size(), 1u);
}

TEST(Board, ListedMinesLiveInTheBoard)
{
    CBoard board;
    MapData map = PlainMap(5, 5);
    MineProfile laid(4, 1, ShipTypeDestroyer);
    laid.Pos = MapPos(2, 3);
    MineProfile offGrid = laid;
    offGrid.Pos = MapPos(0, 3);
    MineProfile alreadyPlaced = laid;
    alreadyPlaced.IsPlaced = true;
    map.Mines = {laid, offGrid, alreadyPlaced};
    board.Build(map);

    ASSERT_EQ(board.GetPlacedMines().size(), 1u);
    MineProfile* mine = board.GetPlacedMines()[0];
    EXPECT_TRUE(mine->IsPlaced);
    EXPECT_EQ(board.GetPanel(2, 3)->GetFirstMine(), mine);
    EXPECT_FALSE(board.GetMap().Mines[0].IsPlaced); // the map keeps its own records

    // A rebuild from the board's own map lays the mine again.
    const MapData own = board.GetMap();
    board.Build(own);
    ASSERT_EQ(board.GetPlacedMines().size(), 1u);
    EXPECT_TRUE(board.GetPanel(2, 3)->HasMine());

    board.ResetPanels();
    EXPECT_TRUE(board.GetPlacedMines().empty());
    EXPECT_FALSE(board.GetPanel(2, 3)->HasMine());
    board.Build(own);
    board.Resize(6, 6);
    EXPECT_TRUE(board.GetPlacedMines().empty());
}

TEST(Board, HostStateReadBackByClient)
{
    SeedRandom(5);
    CBoard host;
    MapData map(6, 6);
    MineProfile listed = MakeDefaultMineProfile();
    listed.Pos = MapPos(5, 5);
    map.Mines = {listed};
    map.CoordinateInfo.KnownPositions = {MapPos(6, 1)};
    host.Build(map);

    FakeShip destroyer{1, 2, false, host.GetPanel(2, 2), &host};
    for (int i = 0; i < 3; ++i) destroyer.Mines.emplace_back(1, 2, ShipTypeDestroyer);
    auto mine = destroyer.Mines.begin();
    mine->Number = 0;
    host.GetPanel(3, 3)->PlaceMine(&*mine); // live on its panel
    ++mine;
    mine->Number = 1;
    host.GetPanel(4, 4)->PlaceMine(&*mine);
    host.GetPanel(4, 4)->TakeFirstMine(); // went off under a ship
    mine->VictimUnitId = 2;
    TorpedoProfile torpedo;
    torpedo.UnitId = 1;
    torpedo.ShipId = 2;
    torpedo.Number = 0;
    torpedo.CurrentPos = MapPos(2, 3);
    destroyer.Torpedoes = {torpedo};
    FakeShip battleship{2, 1, false, host.GetPanel(5, 2), &host};

    FakeUnit one{1, {{2, &destroyer}}};
    FakeUnit two{2, {{1, &battleship}}};
    host.GetPanel(2, 2)->AddKnownUnit(1);
    host.GetPanel(3, 3)->AddKnownUnit(1);
    host.GetPanel(5, 2)->AddKnownUnit(2);
    const std::vector<FakeUnit*> units = {&one, &two};

    host.StoreMapState(units);
    host.StoreMapState(units); // twice: same state, nothing doubled
    const MapData state = host.GetMap();
    ASSERT_EQ(state.Mines.size(), 3u); // listed, live and exploded, each once
    EXPECT_EQ(state.Mines[0].Pos, MapPos(5, 5));
    EXPECT_EQ(state.Mines[1].Number, 0u);
    EXPECT_FALSE(state.Mines[1].IsExploded);
    EXPECT_EQ(state.Mines[2].Number, 1u);
    EXPECT_TRUE(state.Mines[2].IsExploded);
    EXPECT_EQ(state.Mines[2].VictimUnitId, 2u);
    ASSERT_EQ(state.Torpedoes.size(), 1u);
    EXPECT_EQ(state.UnitCoordinateInfo.at(1).KnownPositions, (std::set<MapPos>{MapPos(2, 2), MapPos(3, 3)}));
    EXPECT_EQ(state.UnitCoordinateInfo.at(2).KnownPositions, std::set<MapPos>{MapPos(5, 2)});

    CBoard client;
    client.Build(state);
    EXPECT_EQ(TypesOf(client), TypesOf(host));
    FakeShip clientDestroyer{1, 2, false, client.GetPanel(2, 2), &client};
    FakeShip clientBattleship{2, 1, false, client.GetPanel(5, 2), &client};
    FakeUnit clientOne{1, {{2, &clientDestroyer}}};
    FakeUnit clientTwo{2, {{1, &clientBattleship}}};
    client.ApplyMapState(&clientOne, state);
    client.ApplyMapState(&clientTwo, state);

    ASSERT_EQ(clientDestroyer.Mines.size(), 2u);
    EXPECT_FALSE(clientDestroyer.Mines.front().IsExploded);
    EXPECT_TRUE(clientDestroyer.Mines.back().IsExploded);
    EXPECT_TRUE(client.GetPanel(3, 3)->HasMineOf(1));
    EXPECT_FALSE(client.GetPanel(4, 4)->HasMine());
    EXPECT_EQ(clientDestroyer.Torpedoes.size(), 1u);
    EXPECT_TRUE(clientBattleship.Torpedoes.empty());
    EXPECT_TRUE(client.GetPanel(3, 3)->IsKnownBy(1));
    EXPECT_FALSE(client.GetPanel(3, 3)->IsKnownBy(2));
    EXPECT_TRUE(client.GetPanel(5, 2)->IsKnownBy(2));
    EXPECT_TRUE(client.GetPanel(6, 1)->IsRevealed());
    // Placed mines are what now lies on the panels.
    std::set<MapPos> placed;
    for (const MineProfile* m : client.GetPlacedMines()) placed.insert(m->Pos);
    EXPECT_EQ(placed, (std::set<MapPos>{MapPos(3, 3)}));
}

// A count received with a map may be anything; drawing it out one by one
// would stall the game for minutes (the test's time-out catches that). The
// panels come out as many as there are, no matter how large the count.
TEST(Board, HugeSpecialCountEndsAtOnce)
{
    SeedRandom(7);
    CBoard board;
    MapData map(3, 3);
    map.SpecialPanelCount = std::numeric_limits<std::int32_t>::max();
    map.MaxReefs = 0;
    board.Build(map);
    EXPECT_EQ(CountSpecial(board), 9u);
    EXPECT_TRUE(RingIntact(board));
    for (const CSeaPanel& panel : board.GetSeaPanels()) EXPECT_NE(panel.GetType(), PanelReef);
}
