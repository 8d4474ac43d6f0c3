#include "BattleFixture.h"

#include "model/Panel.h"
#include "model/ShipConfig.h"

#include <cstdlib>
#include <deque>

using namespace Marevane;
using namespace Marevane::ComputerAI;

namespace {

// One side (id 9) described by hand, seen by the battle fixture's own unit
// (COM, id 3: battleship at (1,1), destroyer at (1,2)).
class VirtualPlayer : public Testing::BattleFixture {
  protected:
    static constexpr std::uint32_t SideId = 9;

    ShipProfile Ship(std::uint32_t id, ShipType type) const
    {
        ShipProfile p = MakeShipProfile(SideId, type, rules.GetInfo());
        p.ShipId = id;
        p.Status = ShipStatusNormal;
        p.Condition = ShipStatusNormal;
        return p;
    }

    // Records live in a deque so the boards' profiles stay where they are.
    const ResultMessage& Record(const std::vector<ShipProfile>& fleet, const UnitProfile& side)
    {
        ResultMessage record;
        record.Units = {com->GetProfile(), side};
        ActionInfo action;
        action.Kind = 1;
        action.Ships[SideId] = fleet;
        action.Ships[com->GetId()] = {ships.GetShip(com, 1)->GetProfile(),
                                      ships.GetShip(com, 2)->GetProfile()};
        record.Actions.push_back(action);
        records.push_back(record);
        return records.back();
    }

    const ResultMessage& Record(const std::vector<ShipProfile>& fleet)
    {
        return Record(fleet, UnitProfile(SideId, UnitManual, 0, L"Side", L""));
    }

    // A player set up and refreshed from the record: every open panel 1.
    std::unique_ptr<CVirtualPlayer> Player(const ResultMessage& record, std::uint32_t unitId = SideId)
    {
        auto player = std::make_unique<CVirtualPlayer>(unitId, com, &board);
        player->SetUp(record);
        player->Refresh(record);
        return player;
    }

    const CPanel* At(std::uint32_t x, std::uint32_t y) const { return board.GetPanel(x, y); }

    std::deque<ResultMessage> records;
};

} // namespace

TEST_F(VirtualPlayer, SetUpGivesBoardsOnlyToShipsWithAnIdAndAType)
{
    ShipProfile noId = Ship(0, ShipTypeBattleship);
    ShipProfile noType = Ship(3, ShipTypeBattleship);
    noType.Type = ShipTypeNone;
    const ResultMessage& record =
        Record({Ship(1, ShipTypeBattleship), noId, noType, Ship(2, ShipTypeDestroyer)});
    auto player = Player(record);
    std::vector<std::uint32_t> ids;
    for (const auto& entry : player->GetShipBoards()) ids.push_back(entry.first);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(player->GetProfile(), &record.Units[1]);
    EXPECT_EQ(player->FindShipProfile(2), &record.Actions.front().Ships.at(SideId)[3]);
    EXPECT_EQ(player->FindShipProfile(3), nullptr);
    EXPECT_EQ(player->FindShipType(3), ShipTypeNone);
    EXPECT_EQ(player->FindShipType(2), ShipTypeDestroyer);
}

TEST_F(VirtualPlayer, ASideMissingFromTheRecordRaisesTheMapError)
{
    const ResultMessage& record = Record({Ship(1, ShipTypeBattleship)});
    CVirtualPlayer player(7, com, &board);
    ExpectMissingKey([&] { player.SetUp(record); }, "set-up");
    ExpectMissingKey([&] { player.CountShipsAfloatIn(record); }, "afloat in a record");
    auto known = Player(record);
    ExpectMissingKey([&] { known->GetBoard(4); }, "board");
    ExpectMissingKey([&] { known->IsShipSunk(4); }, "sunk");
    ExpectMissingKey([&] { known->GetSecondBoard(4); }, "second board");
    ExpectMissingKey([&] { known->IsOwnShipStronger(5, 1); }, "own ship");
    // A ship the player never saw in a later record ends the refresh.
    const ResultMessage& later = Record({Ship(1, ShipTypeBattleship), Ship(4, ShipTypeDestroyer)});
    ExpectMissingKey([&] { known->Refresh(later); }, "refresh");
}

TEST_F(VirtualPlayer, RefreshTracksTheNewestProfilesAndSkipsShipsWithoutId)
{
    auto player = Player(Record({Ship(1, ShipTypeBattleship)}));
    ShipProfile stray = Ship(0, ShipTypeNone);
    const ResultMessage& later = Record({Ship(1, ShipTypeBattleship), stray});
    player->Refresh(later);
    EXPECT_EQ(player->FindShipProfile(1), &later.Actions.back().Ships.at(SideId)[0]);
    EXPECT_EQ(player->GetProfile(), &later.Units[1]);
    // Only the first table follows; the others keep the set-up profiles.
    EXPECT_NE(player->GetSecondBoard(1)->GetTrackedProfile(), player->FindShipProfile(1));
    EXPECT_EQ(player->GetBoard(1)->GetCandidateCount(), 36u);
    EXPECT_EQ(player->GetSecondaryBoard()->GetCandidateCount(), 0u);
}

TEST_F(VirtualPlayer, AnOwnLiveMineBlocksItsPanelAfterTheRecordsAreTakenIn)
{
    MineProfile mine = MakeDefaultMineProfile();
    mine.UnitId = com->GetId();
    board.GetPanel(3, 3)->PlaceMine(&mine);
    auto player = Player(Record({Ship(1, ShipTypeBattleship), Ship(2, ShipTypeDestroyer)}));
    player->TakeInRecords({});
    EXPECT_FALSE(player->GetBoard(1)->GetVirtualPanel(At(3, 3))->IsMarked());
    const ResultMessage& any = records.front();
    player->TakeInRecords({&any});
    for (const auto& entry : player->GetShipBoards()) {
        EXPECT_TRUE(entry.second->GetVirtualPanel(At(3, 3))->IsMarked());
        EXPECT_FALSE(entry.second->GetVirtualPanel(At(3, 4))->IsMarked());
    }
    board.GetPanel(3, 3)->DropMines();
}

TEST_F(VirtualPlayer, SortsAfloatBoardsByCandidatesAndTakesTheLowerMedian)
{
    ShipProfile sunk = Ship(5, ShipTypeDestroyer);
    sunk.Condition = ShipStatusSinking;
    auto player = Player(Record({Ship(1, ShipTypeBattleship), Ship(2, ShipTypeDestroyer),
                                 Ship(3, ShipTypeSubmarine), Ship(4, ShipTypeBattleship), sunk}));
    // 9, 1, 6 and 4 candidates: a whole 3 by 3 block, one panel, an edge block, a corner block.
    player->GetBoard(1)->ApplyFlag(4, At(3, 3));
    player->GetBoard(2)->ApplyFlag(1, At(5, 5));
    player->GetBoard(3)->ApplyFlag(4, At(1, 3));
    player->GetBoard(4)->ApplyFlag(4, At(1, 1));
    EXPECT_EQ(player->GetLeastCandidateCount(), 0u);
    EXPECT_EQ(player->GetMedianCandidateCount(), 0u);
    EXPECT_EQ(player->GetLeastLocatedBoard(), nullptr);
    player->SortBoards();
    std::vector<std::uint32_t> order;
    for (const CVirtualBoard* b : player->GetSortedBoards()) order.push_back(b->GetTrackedShipId());
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 4, 3, 1}));
    EXPECT_EQ(player->GetLeastCandidateCount(), 1u);
    EXPECT_EQ(player->GetMedianCandidateCount(), 4u);
    EXPECT_EQ(player->GetLeastLocatedBoard(), player->GetBoard(1));

    // Odd count: the middle one.
    auto three =
        Player(Record({Ship(1, ShipTypeBattleship), Ship(2, ShipTypeDestroyer), Ship(3, ShipTypeSubmarine)}));
    three->GetBoard(1)->ApplyFlag(4, At(1, 3));
    three->GetBoard(2)->ApplyFlag(1, At(5, 5));
    three->GetBoard(3)->ApplyFlag(4, At(1, 1));
    three->SortBoards();
    EXPECT_EQ(three->GetMedianCandidateCount(), 4u);
}

TEST_F(VirtualPlayer, OnEqualCandidatesAnActiveRivalShipComesFirst)
{
    ShipProfile idle = Ship(1, ShipTypeBattleship);
    idle.Condition = ShipStatusFuelShortage;
    auto player = Player(Record({idle, Ship(2, ShipTypeBattleship)}));
    player->GetBoard(1)->ApplyFlag(1, At(2, 2));
    player->GetBoard(2)->ApplyFlag(1, At(4, 4));
    player->SortBoards();
    EXPECT_EQ(player->GetSortedBoards().front(), player->GetBoard(2));
    // Among the least located, the active one is named.
    EXPECT_EQ(player->GetLeastLocatedBoard(), player->GetBoard(2));
}

TEST_F(VirtualPlayer, OnEqualCandidatesTheOwnShipWithMoreFuelComesFirst)
{
    ships.GetShip(com, 1)->GetProfile().Fp = 10;
    results.StartBattle(com, All());
    auto player = Player(results.GetCurrentLog(), com->GetId());
    player->SortBoards();
    ASSERT_EQ(player->GetSortedBoards().size(), 2u);
    EXPECT_EQ(player->GetSortedBoards().front()->GetTrackedShipId(), 2u);
}

TEST_F(VirtualPlayer, SideQueries)
{
    struct Row {
        const char* what;
        bool resigned, timedOut, firstSunk, secondSunk;
        std::uint32_t afloat;
        bool alive;
        std::uint32_t hpSum;
        double ratio;
    };
    // A battleship (3 hit points) and a destroyer (2).
    const std::vector<Row> rows = {
        {"fresh", false, false, false, false, 2, true, 5, 1.0},
        {"one sunk", false, false, true, false, 1, true, 2, 0.4},
        {"all sunk", false, false, true, true, 0, false, 0, 0.0},
        {"resigned", true, false, false, false, 2, false, 0, 0.0},
        {"timed out", false, true, false, false, 2, false, 0, 0.0},
    };
    for (const Row& row : rows) {
        ShipProfile first = Ship(1, ShipTypeBattleship);
        ShipProfile second = Ship(2, ShipTypeDestroyer);
        for (auto [ship, sunk] : {std::pair{&first, row.firstSunk}, std::pair{&second, row.secondSunk}}) {
            if (!sunk) continue;
            ship->Condition = ShipStatusSinking;
            ship->Hp = 0;
        }
        UnitProfile side(SideId, UnitManual, 0, L"Side", L"");
        side.IsResigned = row.resigned;
        side.IsTimedOut = row.timedOut;
        auto player = Player(Record({first, second}, side));
        EXPECT_EQ(player->CountShipsAfloat(), row.afloat) << row.what;
        EXPECT_EQ(player->CountShipsAfloatIn(records.back()), row.afloat) << row.what;
        EXPECT_EQ(player->IsAlive(), row.alive) << row.what;
        EXPECT_EQ(player->GetHitPointSum(), row.hpSum) << row.what;
        EXPECT_DOUBLE_EQ(player->GetHitPointRatio(), row.ratio) << row.what;
        EXPECT_EQ(player->HasActiveShip(), row.afloat != 0) << row.what;
        EXPECT_EQ(player->CountAbleShips(), row.afloat) << row.what;
        EXPECT_EQ(player->CountHiddenShips(), 0u) << row.what;
    }
}

TEST_F(VirtualPlayer, ShipsWithoutHitPointsGiveARatioOfNought)
{
    ShipProfile hollow = Ship(1, ShipTypeBattleship);
    hollow.Config.Hp = 0;
    hollow.Hp = 0;
    EXPECT_DOUBLE_EQ(Player(Record({hollow}))->GetHitPointRatio(), 0.0);
}

TEST_F(VirtualPlayer, FlagshipSunkOnlyWhenTheSideNamesOne)
{
    struct Row {
        std::uint32_t flagship;
        bool sunk;
    };
    for (const Row& row : std::vector<Row>{{0, false}, {1, true}, {2, false}}) {
        ShipProfile first = Ship(1, ShipTypeBattleship);
        first.Condition = ShipStatusSinking;
        UnitProfile side(SideId, UnitManual, 0, L"Side", L"");
        side.FlagshipId = row.flagship;
        auto player = Player(Record({first, Ship(2, ShipTypeDestroyer)}, side));
        EXPECT_EQ(player->IsFlagshipSunk(), row.sunk) << row.flagship;
    }
}

TEST_F(VirtualPlayer, OwnShipAgainstARivalShipByHitPoints)
{
    struct Row {
        std::int32_t rivalHp;
        bool stronger, weaker, equal;
    };
    // The own battleship has 3 hit points.
    for (const Row& row :
         std::vector<Row>{{2, true, false, false}, {3, false, false, true}, {4, false, true, false}}) {
        ShipProfile rival = Ship(1, ShipTypeBattleship);
        rival.Hp = row.rivalHp;
        auto player = Player(Record({rival}));
        EXPECT_EQ(player->IsOwnShipStronger(1, 1), row.stronger) << row.rivalHp;
        EXPECT_EQ(player->IsOwnShipWeaker(1, 1), row.weaker) << row.rivalHp;
        EXPECT_EQ(player->IsOwnShipEqual(1, 1), row.equal) << row.rivalHp;
    }
}

TEST_F(VirtualPlayer, ShouldAttack)
{
    CShip& own = *ships.GetShip(com, 1); // (1,1), 3 hit points, attack cost 10
    struct Row {
        const char* what;
        std::uint32_t rivalCondition;
        std::int32_t rivalHp;
        const CPanel* rivalAt; // single candidate; null: every panel
        std::uint32_t ownFp;
        bool expected;
    };
    const std::vector<Row> rows = {
        {"located next to us", ShipStatusNormal, 2, At(2, 2), 100, true},
        {"located away from us", ShipStatusNormal, 2, At(4, 4), 100, false},
        {"not located", ShipStatusNormal, 2, nullptr, 100, false},
        {"stronger than us", ShipStatusNormal, 4, At(2, 2), 100, false},
        {"more hits than our fuel pays", ShipStatusNormal, 2, At(2, 2), 19, false},
        {"out of action anywhere", ShipStatusFuelShortage, 2, At(4, 4), 100, true},
        {"sunk", ShipStatusSinking, 0, At(2, 2), 100, false},
        {"our fuel below one attack", ShipStatusFuelShortage, 2, At(2, 2), 9, false},
    };
    for (const Row& row : rows) {
        ShipProfile rival = Ship(1, ShipTypeBattleship);
        rival.Condition = row.rivalCondition;
        rival.Hp = row.rivalHp;
        auto player = Player(Record({rival}));
        if (row.rivalAt != nullptr) player->GetBoard(1)->ApplyFlag(1, row.rivalAt);
        own.GetProfile().Fp = row.ownFp;
        EXPECT_EQ(player->ShouldAttack(own, 1), row.expected) << row.what;
    }
    // Never against the own side.
    own.GetProfile().Fp = 100;
    results.StartBattle(com, All());
    auto self = Player(results.GetCurrentLog(), com->GetId());
    self->GetBoard(2)->ApplyFlag(1, At(1, 2));
    EXPECT_FALSE(self->ShouldAttack(own, 2));
}

TEST_F(VirtualPlayer, AShipWithoutFuelInUseCanAlwaysPayForItsAttacks)
{
    CShip& own = *ships.GetShip(com, 1);
    own.GetProfile().Config.Fp = 0;
    own.GetProfile().Fp = 0;
    auto player = Player(Record({Ship(1, ShipTypeBattleship)}));
    player->GetBoard(1)->ApplyFlag(1, At(2, 2));
    EXPECT_TRUE(player->ShouldAttack(own, 1));
}

TEST_F(VirtualPlayer, AttackReachOfOwnShips)
{
    CShip& own = *ships.GetShip(com, 1);
    auto player = Player(Record({Ship(1, ShipTypeBattleship), Ship(2, ShipTypeDestroyer)}));
    player->GetBoard(1)->ApplyFlag(1, At(4, 4));
    player->GetBoard(2)->ApplyFlag(1, At(5, 5));
    EXPECT_FALSE(player->CanAttackAnyShip(own));
    EXPECT_FALSE(player->IsShipNear(1, At(1, 1)));
    EXPECT_EQ(player->CountNearShips(At(1, 1)), 0u);
    EXPECT_EQ(player->CountNearShips(At(4, 5)), 2u);
    player->GetBoard(2)->Reset();
    player->GetBoard(2)->ApplyFlag(1, At(2, 1));
    EXPECT_TRUE(player->IsTargetAdjacent(*player->GetBoard(2), own));
    EXPECT_FALSE(player->IsTargetAdjacent(*player->GetBoard(1), own));
    EXPECT_TRUE(player->CanAttackAnyShip(own));
    EXPECT_TRUE(player->IsShipNear(2, At(1, 1)));
    EXPECT_TRUE(player->CanAttackLocatedShip(own));
    EXPECT_TRUE(player->CanAnyShipAttackLocatedShip());
    EXPECT_GT(player->GetBestScoreNear(own), 1u);
    own.GetProfile().Condition = ShipStatusFuelShortage;
    EXPECT_FALSE(player->IsTargetAdjacent(*player->GetBoard(2), own));
    EXPECT_FALSE(player->CanAttackLocatedShip(own));
}

TEST_F(VirtualPlayer, OverlapCountsWhereTheShipMayHaveMovedOnTheOtherBoard)
{
    auto player = Player(Record({Ship(1, ShipTypeBattleship)}));
    player->GetBoard(1)->ApplyFlag(1, At(3, 3));
    CVirtualBoard everywhere(*player->GetSecondBoard(1));
    EXPECT_EQ(player->CountOverlap(everywhere, 1), 8u);
    CVirtualBoard corner(everywhere);
    corner.ApplyFlag(4, At(2, 2)); // (1,1) to (3,3)
    EXPECT_EQ(player->CountOverlap(corner, 1), 3u);
    // The player's own board is left as it was.
    EXPECT_EQ(player->GetBoard(1)->GetCandidateCount(), 1u);
}

TEST_F(VirtualPlayer, FilterBoardsKeepsTableOrderAndRefusesAnEmptyPredicate)
{
    auto player =
        Player(Record({Ship(1, ShipTypeBattleship), Ship(2, ShipTypeDestroyer), Ship(3, ShipTypeDestroyer)}));
    const auto destroyers =
        player->FilterBoards([](CVirtualBoard* b) { return b->GetTrackedShipType() == ShipTypeDestroyer; });
    EXPECT_EQ(destroyers, (std::vector<CVirtualBoard*>{player->GetBoard(2), player->GetBoard(3)}));
    EXPECT_THROW(player->FilterBoards({}), std::bad_function_call);
}

TEST_F(VirtualPlayer, SinkingInARecordReadsItsLastAction)
{
    ShipProfile sinking = Ship(2, ShipTypeDestroyer);
    sinking.Status = ShipStatusSinking;
    auto player = Player(Record({Ship(1, ShipTypeBattleship), sinking}));
    EXPECT_FALSE(player->IsSinkingIn(records.back(), 1));
    EXPECT_TRUE(player->IsSinkingIn(records.back(), 2));
    EXPECT_FALSE(player->IsSinkingIn(records.back(), 3));
    EXPECT_FALSE(player->IsSinkingIn(ResultMessage{}, 2));
}

TEST_F(VirtualPlayer, ThreatOrderPutsSidesWithTheirFlagshipFirstThenByHealth)
{
    const auto side = [&](std::uint32_t id, bool flagshipSunk, std::int32_t hp) {
        ShipProfile first = Ship(1, ShipTypeBattleship);
        ShipProfile second = Ship(2, ShipTypeDestroyer);
        first.UnitId = second.UnitId = id;
        second.Hp = hp;
        if (flagshipSunk) first.Condition = ShipStatusSinking;
        UnitProfile profile(id, UnitManual, 0, L"S" + std::to_wstring(id), L"");
        profile.FlagshipId = 1;
        ResultMessage record;
        record.Units = {profile};
        ActionInfo action;
        action.Ships[id] = {first, second};
        record.Actions.push_back(action);
        records.push_back(record);
        return Player(records.back(), id);
    };
    auto sunkHealthy = side(11, true, 2);
    auto afloatWeak = side(12, false, 1);
    auto afloatHealthy = side(13, false, 2);
    auto sunkWeak = side(14, true, 1);
    struct Row {
        const CVirtualPlayer* a;
        const CVirtualPlayer* b;
        bool before;
    };
    const std::vector<Row> rows = {
        {afloatWeak.get(), sunkHealthy.get(), true},       {sunkHealthy.get(), afloatWeak.get(), false},
        {afloatHealthy.get(), afloatWeak.get(), true},     {afloatWeak.get(), afloatHealthy.get(), false},
        {sunkHealthy.get(), sunkWeak.get(), false},        {sunkWeak.get(), sunkHealthy.get(), false},
        {afloatHealthy.get(), afloatHealthy.get(), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CVirtualPlayer::CompareThreats(row.a, row.b), row.before)
            << row.a->GetUnitId() << " before " << row.b->GetUnitId();
    }
    EXPECT_TRUE(CVirtualPlayer::CompareRivals(afloatHealthy.get(), afloatWeak.get()));
    EXPECT_FALSE(CVirtualPlayer::CompareRivals(afloatWeak.get(), afloatHealthy.get()));
}

TEST_F(VirtualPlayer, AssessShipNotesAShipLocatedNextToOurs)
{
    auto player = Player(Record({Ship(1, ShipTypeBattleship)}));
    player->GetBoard(1)->ApplyFlag(1, At(2, 2));
    CVirtualBoard own(com->GetId(), board);
    own.Reset();
    own.ApplyFlag(1, At(1, 1));
    CInferenceTable table(com->GetId());
    table.AddRecord(SideId);
    player->AssessShip(ships.GetShip(com, 1), own, table);
    const AssessmentRecord& r = player->GetAssessment(1);
    EXPECT_EQ(r.OwnUnitId, com->GetId());
    EXPECT_EQ(r.SideId, SideId);
    EXPECT_EQ(r.ShipId, 1u);
    EXPECT_EQ(r.HitPoints, 3);
    EXPECT_EQ(r.Damage, 0);
    EXPECT_EQ(r.CandidateCount, 1u);
    EXPECT_TRUE(r.IsPositive);
    EXPECT_TRUE(r.IsClose);
    EXPECT_FALSE(r.IsSeen);
    EXPECT_TRUE(r.CanAttack);
    EXPECT_TRUE(r.CanMove);
    EXPECT_FALSE(r.IsSunk);
    EXPECT_TRUE(r.HasAdjacentTarget);
    EXPECT_EQ(r.AttackTarget, 1u);
    EXPECT_TRUE(r.HasCloseTarget);
    EXPECT_EQ(r.PrimaryTarget, 1u);
    EXPECT_TRUE(r.IsInRange);
    EXPECT_EQ(r.TargetHitPoints, (AssessmentRecord::ShipValues{{1, 3}}));
    EXPECT_EQ(r.TargetCandidates, (AssessmentRecord::ShipValues{{1, 1}}));
    EXPECT_EQ(r.MinOverlap, 1u);
    // Next to the target already: no approach.
    EXPECT_EQ(r.ApproachTarget, 0u);
    EXPECT_DOUBLE_EQ(r.FleetFuelRatio, 1.0);
    EXPECT_FALSE(r.HasRefuelNeighbor);
}

TEST_F(VirtualPlayer, AssessShipFindsAPanelToApproachAFarShip)
{
    ships.GetShip(com, 1)->GetProfile().Config.MoveRange = 10;
    auto player = Player(Record({Ship(1, ShipTypeBattleship)}));
    player->GetBoard(1)->ApplyFlag(1, At(5, 5));
    CVirtualBoard own(com->GetId(), board);
    own.Reset();
    CInferenceTable table(com->GetId());
    table.AddRecord(SideId);
    player->AssessShip(ships.GetShip(com, 1), own, table);
    const AssessmentRecord& r = player->GetAssessment(1);
    EXPECT_FALSE(r.IsInRange);
    EXPECT_FALSE(r.HasCloseTarget);
    ASSERT_EQ(r.ApproachTarget, 1u);
    ASSERT_NE(r.ApproachPanel, nullptr);
    const auto dx = static_cast<int>(r.ApproachPanel->GetX()) - 5;
    const auto dy = static_cast<int>(r.ApproachPanel->GetY()) - 5;
    EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1 && (dx != 0 || dy != 0)) << "next to the target";
    EXPECT_EQ(r.ApproachCandidates, 1u);
    EXPECT_EQ(r.ApproachMoves, player->GetBoard(1)->GetMoveCount(At(1, 1), r.ApproachPanel));
}
