#include "BattleFixture.h"

#include "model/Panel.h"

using namespace Marevane;
using namespace Marevane::ComputerAI;
using Marevane::ComputerAI::Testing::BattleFixture;

namespace {

using VirtualGame = BattleFixture;

std::vector<std::uint32_t> TableIds(const CVirtualGame& game)
{
    std::vector<std::uint32_t> ids;
    for (const auto& entry : game.GetPlayers()) ids.push_back(entry.first);
    return ids;
}

} // namespace

TEST_F(VirtualGame, BuildsOnePlayerPerSideFromTheOpeningRecord)
{
    auto game = MakeGame();
    EXPECT_EQ(TableIds(*game), (std::vector<std::uint32_t>{1, 2, 3, 4}));
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> fleets = {
        {1, {1}}, {2, {1}}, {3, {1, 2}}, {4, {1, 2}}};
    for (const auto& [unitId, shipIds] : fleets) {
        const CVirtualPlayer& player = *game->GetPlayer(unitId);
        ASSERT_NE(player.GetProfile(), nullptr) << unitId;
        EXPECT_EQ(player.GetProfile()->Id, unitId);
        std::vector<std::uint32_t> boards;
        for (const auto& entry : player.GetShipBoards()) {
            boards.push_back(entry.first);
            const CVirtualBoard& board = *entry.second;
            EXPECT_EQ(board.GetObserverId(), com->GetId());
            EXPECT_EQ(board.GetTrackedUnitId(), static_cast<std::int32_t>(unitId));
            EXPECT_EQ(board.GetTrackedShipId(), entry.first);
        }
        EXPECT_EQ(boards, shipIds) << unitId;
        EXPECT_EQ(player.GetSecondBoards().size(), shipIds.size());
        EXPECT_EQ(player.GetTorpedoBoards().size(), shipIds.size());
        ASSERT_NE(player.GetSecondaryBoard(), nullptr);
        EXPECT_EQ(player.GetSecondaryBoard()->GetTrackedProfile(), nullptr);
        // One assessment record per ship of the computer's own unit.
        EXPECT_EQ(player.GetAssessments().size(), 2u);
        EXPECT_TRUE(game->GetInferenceTable().HasRecord(unitId));
    }
    EXPECT_EQ(game->GetInferenceTable().GetOwnUnitId(), 3u);
    EXPECT_EQ(game->GetShipBoard(4, 2)->GetTrackedShipType(), ShipTypeDestroyer);
}

TEST_F(VirtualGame, RivalsLeaveOutTheOwnSideAndTeamMatesAndGoByHitPoints)
{
    auto game = MakeGame();
    // Cid's two ships outweigh Ann's one; the table keeps its own order.
    EXPECT_EQ(Ids(game->GetRivals()), (std::vector<std::uint32_t>{4, 1}));
    EXPECT_EQ(TableIds(*game), (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_TRUE(game->GetFirstList().empty());
    EXPECT_TRUE(game->GetSecondList().empty());
}

TEST_F(VirtualGame, WithoutTeamMatesEveryOtherSideIsARival)
{
    com->ClearTeam();
    ships.GetShip(bea, 1)->GetProfile().Hp = 2;
    results.StartBattle(com, All());
    auto game = MakeGame();
    EXPECT_EQ(Ids(game->GetRivals()), (std::vector<std::uint32_t>{4, 1, 2}));
}

TEST_F(VirtualGame, ADamagedSideSortsLaterAndAResignedOneLast)
{
    ships.GetShip(cid, 1)->GetProfile().Hp = 1;
    ships.GetShip(cid, 2)->GetProfile().Hp = 1;
    com->ClearTeam();
    cid->SetResigned(false);
    bea->SetResigned(true);
    results.StartBattle(com, All());
    auto game = MakeGame();
    EXPECT_EQ(Ids(game->GetRivals()), (std::vector<std::uint32_t>{1, 4, 2}));
}

TEST_F(VirtualGame, BuildsFromTheNewestStoredRecordWhenThereIsOne)
{
    Play(ann, Pass());
    ASSERT_EQ(results.GetLogCount(), 1u);
    ships.GetShip(ann, 1)->GetProfile().Hp = 1; // after the record: not seen
    auto game = MakeGame();
    EXPECT_EQ(game->GetPlayer(1)->GetHitPointSum(),
              static_cast<std::uint32_t>(results.GetLog(1).Actions.front().Ships.at(1).front().Hp));
    EXPECT_GT(game->GetPlayer(1)->GetHitPointSum(), 1u);
}

TEST_F(VirtualGame, AnInferenceRecordThatExistsIsKept)
{
    CVirtualGame game(com, &board, &results);
    game.GetInferenceTable().AddRecord(4);
    game.GetInferenceTable().GetRecord(4).Phase = 4;
    game.Build();
    EXPECT_EQ(game.GetInferenceTable().GetRecord(4).Phase, 4);
    EXPECT_EQ(game.GetInferenceTable().GetRecord(1).Phase, 0);
    EXPECT_EQ(game.GetInferenceTable().GetRecords().size(), 4u);
}

TEST_F(VirtualGame, WithoutAnOwnUnitTheTableIsForNobody)
{
    ships.GetShip(com, 2)->GetProfile().Hp = 1;
    ships.GetShip(bea, 1)->GetProfile().Hp = 1;
    results.StartBattle(com, All());
    CVirtualGame game(nullptr, &board, &results);
    EXPECT_EQ(game.GetInferenceTable().GetOwnUnitId(), 0xFFFFFFFFu);
    game.Build();
    // Nobody is the own side or a team mate.
    EXPECT_EQ(Ids(game.GetRivals()), (std::vector<std::uint32_t>{4, 3, 1, 2}));
}

TEST_F(VirtualGame, ProfilesStayReadableAfterTheOpeningRecordIsReplaced)
{
    auto game = MakeGame();
    const UnitProfile* profile = game->GetPlayer(1)->GetProfile();
    const ShipProfile* ship = game->GetPlayer(4)->FindShipProfile(2);
    // The record under way is overwritten when the first turn is stored.
    Play(ann, Pass());
    EXPECT_EQ(profile->Name, L"Ann");
    EXPECT_EQ(ship->ShipId, 2u);
    EXPECT_EQ(ship->Type, ShipTypeDestroyer);
}

TEST_F(VirtualGame, RefreshWithoutAStoredRecordChangesNothing)
{
    auto game = MakeGame();
    const UnitProfile* profile = game->GetPlayer(1)->GetProfile();
    const ShipProfile* ship = game->GetPlayer(1)->FindShipProfile(1);
    game->Refresh();
    EXPECT_EQ(game->GetPlayer(1)->GetProfile(), profile);
    EXPECT_EQ(game->GetPlayer(1)->FindShipProfile(1), ship);
    EXPECT_EQ(game->GetShipBoard(1, 1)->GetCandidateCount(), 0u);
}

TEST_F(VirtualGame, RefreshTakesTheNewestRecordAndResetsTheBoards)
{
    auto game = MakeGame();
    Play(ann, Pass());
    game->Refresh();
    const ResultMessage& newest = results.GetLog(1);
    for (const auto& entry : game->GetPlayers()) {
        const CVirtualPlayer& player = *entry.second;
        EXPECT_EQ(player.GetProfile(), &*std::find_if(newest.Units.begin(), newest.Units.end(),
                                                      [&](const auto& u) { return u.Id == entry.first; }));
        for (const auto& board : player.GetShipBoards()) {
            EXPECT_EQ(board.second->GetTrackedProfile(),
                      newest.FindShipProfileInLastAction(entry.first, board.first));
            EXPECT_EQ(board.second->GetCandidateCount(), 36u);
            EXPECT_EQ(player.GetSecondBoard(board.first)->GetCandidateCount(), 36u);
            EXPECT_EQ(player.GetTorpedoBoard(board.first)->GetCandidateCount(), 36u);
        }
        EXPECT_EQ(player.GetSecondaryBoard()->GetCandidateCount(), 0u);
    }
}

TEST_F(VirtualGame, MissingIdsRaiseTheMapError)
{
    auto game = MakeGame();
    const ActionInfo& action = results.GetCurrentLog().Actions.front();
    const std::vector<std::pair<std::string, std::function<void()>>> calls = {
        {"player", [&] { game->GetPlayer(9); }},
        {"ship board of a missing side", [&] { game->GetShipBoard(9, 1); }},
        {"ship board of a missing ship", [&] { game->GetShipBoard(1, 2); }},
        {"own ship board", [&] { game->GetOwnShipBoard(3); }},
        {"sunk", [&] { game->IsShipSunk(2, 2); }},
        {"sunk in action", [&] { game->IsShipSunkInAction(9, 1, action); }},
        {"team mates", [&] { game->GetTeamMates(9); }},
        {"inference record", [&] { game->GetInferenceTable().GetRecord(9); }},
        {"pair verdict", [&] { game->GetPairVerdict(ships.GetShip(com, 1), 9); }},
        {"assessment", [&] { game->GetPlayer(1)->GetAssessment(7); }},
    };
    for (const auto& [what, call] : calls) ExpectMissingKey(call, what);
}

TEST_F(VirtualGame, OwnPlayerAndBoardsOfOwnShips)
{
    auto game = MakeGame();
    EXPECT_EQ(game->GetOwnPlayer()->GetUnitId(), 3u);
    EXPECT_EQ(game->GetOwnShipBoard(2), game->GetShipBoard(3, 2));
    CVirtualGame nobody(nullptr, &board, &results);
    nobody.Build();
    ExpectMissingKey([&] { nobody.GetOwnPlayer(); }, "own player without an own unit");
}

TEST_F(VirtualGame, SunkShipsByBoardAndByAction)
{
    ships.GetShip(cid, 2)->GetProfile().Condition = ShipStatusSinking;
    ships.GetShip(ann, 1)->GetProfile().Status = ShipStatusSinking;
    results.StartBattle(com, All());
    auto game = MakeGame();
    const ActionInfo& action = results.GetCurrentLog().Actions.front();
    struct Row {
        std::uint32_t unit, ship;
        bool byBoard, byAction;
    };
    // The board reads the first status word, the action the shown status.
    for (const Row& row : std::vector<Row>{{4, 2, true, false}, {1, 1, false, true}, {4, 1, false, false}}) {
        EXPECT_EQ(game->IsShipSunk(row.unit, row.ship), row.byBoard) << row.unit << "/" << row.ship;
        EXPECT_EQ(game->IsShipSunkInAction(row.unit, row.ship, action), row.byAction)
            << row.unit << "/" << row.ship;
    }
    // A ship the action does not hold is not sunk in it.
    EXPECT_FALSE(game->IsShipSunkInAction(1, 5, action));
}

TEST_F(VirtualGame, TeamMatesByHostId)
{
    auto game = MakeGame();
    EXPECT_EQ(Ids(game->GetTeamMates(3)), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(Ids(game->GetTeamMates(2)), (std::vector<std::uint32_t>{3}));
    EXPECT_TRUE(game->GetTeamMates(1).empty());
    EXPECT_TRUE(game->GetPlayer(2)->IsTeamMate());
    EXPECT_FALSE(game->GetPlayer(2)->IsRival());
    EXPECT_FALSE(game->GetPlayer(3)->IsRival());
    EXPECT_TRUE(game->GetPlayer(4)->IsRival());
}

TEST_F(VirtualGame, LastLiveRivalSkipsSidesOutOfTheBattle)
{
    struct Row {
        bool annOut, cidOut;
        std::uint32_t expected; // 0: the first of the list
    };
    // Rival order is Cid, Ann; the scan starts from Ann.
    for (const Row& row :
         std::vector<Row>{{false, false, 1}, {true, false, 4}, {false, true, 1}, {true, true, 0}}) {
        ann->SetResigned(row.annOut);
        cid->SetTimedOut(row.cidOut);
        results.StartBattle(com, All());
        auto game = MakeGame();
        ASSERT_NE(game->GetLastLiveRival(), nullptr);
        const std::uint32_t expected =
            row.expected != 0 ? row.expected : game->GetRivals().front()->GetUnitId();
        EXPECT_EQ(game->GetLastLiveRival()->GetUnitId(), expected) << row.annOut << row.cidOut;
    }
    ann->SetResigned(false);
    cid->SetTimedOut(false);
    ships.GetShip(ann, 1)->GetProfile().Condition = ShipStatusSinking;
    results.StartBattle(com, All());
    EXPECT_EQ(MakeGame()->GetLastLiveRival()->GetUnitId(), 4u);
}

TEST_F(VirtualGame, WithoutRivalsThereIsNoLastLiveRival)
{
    CVirtualGame empty(com, &board, &results);
    EXPECT_EQ(empty.GetLastLiveRival(), nullptr);
    EXPECT_EQ(empty.CountStrongerRivals(), 0u);
    EXPECT_FALSE(empty.CanAttackAnyRival());
}

TEST_F(VirtualGame, CountsRivalsAsHealthyAsTheOwnSide)
{
    struct Row {
        std::int32_t ownHp; // of each own ship; 0 for full health
        std::int32_t annHp; // Ann's battleship; 0 for full health
        std::uint32_t stronger;
    };
    const auto set = [](CShip* ship, std::int32_t hp) {
        ship->GetProfile().Hp = hp != 0 ? hp : static_cast<std::int32_t>(ship->GetConfig().Hp);
    };
    // Cid (full health) comes first, then Ann; the count stops at the first
    // rival less healthy than the own side.
    for (const Row& row : std::vector<Row>{{0, 0, 2}, {0, 1, 1}, {1, 1, 1}, {1, 2, 2}}) {
        for (CShip* ship : ships.GetShips(com)) set(ship, row.ownHp);
        set(ships.GetShip(ann, 1), row.annHp);
        results.StartBattle(com, All());
        EXPECT_EQ(MakeGame()->CountStrongerRivals(), row.stronger) << row.ownHp << "/" << row.annHp;
    }
}

TEST_F(VirtualGame, CanAttackARivalOnlyWhereItsBoardReachesAnOwnShip)
{
    auto game = MakeGame();
    Play(ann, Pass());
    game->Refresh();
    // Every panel is still possible: any rival ship may be next to ours.
    EXPECT_TRUE(game->CanAttackAnyRival());
    for (const auto& entry : game->GetPlayers()) {
        for (const auto& board : entry.second->GetShipBoards()) board.second->ClearFlag();
    }
    EXPECT_FALSE(game->CanAttackAnyRival());
    // A team mate's ship next to ours does not count.
    game->GetShipBoard(2, 1)->SetRingFlag(board.GetPanel(2, 1), 0);
    EXPECT_FALSE(game->CanAttackAnyRival());
    game->GetShipBoard(1, 1)->SetRingFlag(board.GetPanel(2, 1), 0);
    EXPECT_TRUE(game->CanAttackAnyRival());
    // Nor does it when our ships cannot pay for an attack.
    for (CShip* ship : ships.GetShips(com)) ship->GetProfile().Fp = 0;
    EXPECT_FALSE(game->CanAttackAnyRival());
}

TEST_F(VirtualGame, WithoutRunningTorpedoesThePairVerdictRestsOnTheRecord)
{
    auto game = MakeGame();
    Play(ann, Pass());
    game->Refresh();
    CShip* ship = ships.GetShip(com, 1);
    EXPECT_FALSE(game->GetPairVerdictCore(ship, 1));
    // Wide boards: nothing is in range, so no target is able.
    game->GetPlayer(1)->AssessShip(ship, *game->GetOwnShipBoard(1), game->GetInferenceTable());
    EXPECT_FALSE(game->GetPairVerdict(ship, 1));
}

TEST_F(VirtualGame, EvaluateShipPairsAssessesEveryOtherSideAgainstEveryOwnShip)
{
    auto game = MakeGame();
    Play(ann, Pass());
    game->Refresh();
    game->EvaluateShipPairs();
    for (const auto& entry : game->GetPlayers()) {
        for (std::uint32_t shipId : {1u, 2u}) {
            const AssessmentRecord& record = entry.second->GetAssessment(shipId);
            // The own side is not assessed; every other side is, team mates too.
            EXPECT_EQ(record.SideId, entry.first == 3 ? 0u : entry.first) << entry.first;
            EXPECT_EQ(record.ShipId, entry.first == 3 ? 0u : shipId) << entry.first;
        }
    }
}

TEST_F(VirtualGame, PairVerdictForAShipOnItsLastHitPointAndWhatRulesItOut)
{
    CShip* ship = ships.GetShip(com, 1);
    ship->GetProfile().Hp = 1;
    ship->GetProfile().LastEvent = 2;
    results.StartBattle(com, All());
    auto game = MakeGame();
    // Ann's battleship located next to ours; our own board has us pinned.
    game->GetShipBoard(1, 1)->Reset();
    game->GetShipBoard(1, 1)->ApplyFlag(1, board.GetPanel(2, 2));
    game->GetOwnShipBoard(1)->Reset();
    game->GetOwnShipBoard(1)->ApplyFlag(1, board.GetPanel(1, 1));
    struct Row {
        const char* what;
        std::uint32_t condition;
        std::uint32_t fuel;
        bool verdict;
    };
    const std::vector<Row> rows = {
        {"last hit point, second status", ShipStatusNormal, 100, true},
        {"sunk", ShipStatusSinking, 100, false},
        {"fuel short of a move", ShipStatusNormal, 15, false},
    };
    for (const Row& row : rows) {
        ship->GetProfile().Condition = row.condition;
        ship->GetProfile().Fp = row.fuel;
        game->EvaluateShipPairs();
        EXPECT_EQ(game->GetPlayer(1)->GetAssessment(1).Verdict, row.verdict) << row.what;
    }
}

TEST(TorpedoContribution, WeighsHowFarTheTorpedoHasRunAgainstTheOffset)
{
    struct Row {
        std::uint32_t offset, run;
        std::int32_t hp;
        std::uint32_t candidates, moves;
        double fuel;
        std::uint32_t expected;
    };
    // s = (hp - 1 + e) * 5 * c (times 2m after own moves); p = s - (s/2)(1 - fuel).
    const std::vector<Row> rows = {
        {5, 4, 1, 1, 0, 1.0, 80}, // d = n + 1: e = 0, s = 0
        {4, 4, 1, 1, 0, 1.0, 75}, // d = n: e = 1, s = 5
        {4, 4, 3, 2, 0, 1.0, 50}, // e = 1, s = 3 * 5 * 2 = 30
        {4, 4, 3, 0, 0, 1.0, 65}, // no candidates count as one: s = 15
        {4, 4, 3, 2, 1, 1.0, 20}, // one own move doubles s to 60
        {4, 4, 3, 2, 0, 0.0, 65}, // empty tank: p = 30 - 15
        {4, 4, 9, 2, 0, 1.0, 0},  // p = 90 is beyond the base
        {1, 0, 1, 1, 0, 1.0, 0},  // too near the firing ship's centre
        {4, 15, 1, 1, 0, 1.0, 0}, // run beyond the limit
        {9, 3, 1, 1, 0, 1.0, 55}, // d > n + 1: e = 5, s = 25
    };
    for (const Row& row : rows) {
        TorpedoTestInput in;
        in.Offset = row.offset;
        in.RunDistance = row.run;
        in.RunLimit = 14;
        in.HitPoints = row.hp;
        in.Candidates = row.candidates;
        in.OwnMoves = row.moves;
        in.FuelRate = row.fuel;
        EXPECT_EQ(TorpedoContribution(in), row.expected) << row.offset << "/" << row.run << "/" << row.hp;
    }
}
