// The decision engine on the small battle of BattleFixture: dispatch by
// decision kind, reconsideration and its retry limit, the commands each
// strategy writes, and the final resign or pass.
#include "DecisionFixture.h"

#include "ai/DecisionEngine.h"
#include "model/CodeTables.h"

#include <algorithm>
#include <map>
#include <string>

namespace Marevane::ComputerAI::Testing {
namespace {

// Records the strategies Dispatch and Reconsider choose; every strategy but
// the simple move and the resign or pass fails at once unless told to run.
class RecordingEngine : public CDecisionEngine {
  public:
    using CDecisionEngine::CDecisionEngine;

    std::vector<std::string> ran;
    bool failing = false;

    void Note(const char* name, ShipList& ships)
    {
        ran.emplace_back(name);
        if (failing) Reconsider(ships);
    }
    void EvaluateMainCommand(ShipList& s) override { Note("EvaluateMainCommand", s); }
    void ChooseRangeCommand(ShipList& s) override { Note("ChooseRangeCommand", s); }
    void Approach(ShipList& s) override { Note("Approach", s); }
    void Escape(ShipList& s) override { Note("Escape", s); }
    void Cover(ShipList& s) override { Note("Cover", s); }
    void MoveForRefuelling(ShipList& s, CShip*) override { Note("MoveForRefuelling", s); }
    void RefuelPartner(ShipList& s) override { Note("RefuelPartner", s); }
    void RefuelForDefence(ShipList& s) override { Note("RefuelForDefence", s); }
    void LayMineTrap(ShipList& s) override { Note("LayMineTrap", s); }
    void LayMineNearFlagship(ShipList s) override { Note("LayMineNearFlagship", s); }
    void LayMine(const std::vector<Direction>&) override
    {
        ShipList none;
        Note("LayMine", none);
    }
    void CommandAroundFlagship(ShipList& s) override { Note("CommandAroundFlagship", s); }
    void RescueSinkingShip(ShipList& s) override { Note("RescueSinkingShip", s); }
    void DefendSinkingShip(ShipList& s) override { Note("DefendSinkingShip", s); }
    void MoveSimply(ShipList& s) override
    {
        ran.emplace_back("MoveSimply");
        CDecisionEngine::MoveSimply(s);
    }
    void ResignOrPass() override
    {
        ran.emplace_back("ResignOrPass");
        CDecisionEngine::ResignOrPass();
    }
};

using DecisionDispatchTest = DecisionTestBase<RecordingEngine>;

TEST_F(DecisionDispatchTest, EachKindRunsItsStrategy)
{
    const std::map<std::uint32_t, std::string> table = {
        {1, "EvaluateMainCommand"},
        {2, "EvaluateMainCommand"},
        {3, "MoveSimply"},
        {4, "Approach"},
        {5, "Escape"},
        {6, "Cover"},
        {7, "MoveForRefuelling"},
        {8, "MoveSimply"},
        {9, "LayMineTrap"},
        {10, "LayMineNearFlagship"},
        {11, "LayMine"},
        {12, "ChooseRangeCommand"},
        {13, "ChooseRangeCommand"},
        {14, "ChooseRangeCommand"},
        {15, "ChooseRangeCommand"},
        {16, "DefendSinkingShip"},
        {17, "RescueSinkingShip"},
        {18, "DefendSinkingShip"},
        {19, "RefuelPartner"},
        {20, "RefuelForDefence"},
        {21, "MoveSimply"},
        {22, "MoveSimply"},
        {23, "MoveSimply"},
        {24, "CommandAroundFlagship"},
        {99, "MoveSimply"},
    };
    for (const auto& [kind, strategy] : table) {
        engine->ran.clear();
        shared.DecisionKind = kind;
        CDecisionEngine::ShipList ships = engine->GetActiveShipsRanked();
        engine->Dispatch(ships);
        ASSERT_FALSE(engine->ran.empty()) << "kind " << kind;
        EXPECT_EQ(engine->ran.front(), strategy) << "kind " << kind;
    }
}

TEST_F(DecisionDispatchTest, AlwaysFailingStrategyEndsInOnePlainMoveAfterThirtyOneRetries)
{
    engine->failing = true;
    shared.DecisionKind = 1;
    engine->Run();
    const auto& trace = engine->GetTrace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Reconsider"), 31);
    EXPECT_EQ(shared.RetryCount, 31u);
    EXPECT_EQ(engine->ran.back(), "MoveSimply");
    EXPECT_EQ(std::count(engine->ran.begin(), engine->ran.end(), "MoveSimply"), 1);
    EXPECT_NE(std::find(trace.begin(), trace.end(), "ErrorOverRetryCountLimit"), trace.end());
    EXPECT_TRUE(engine->HasWritten());
    ExpectAccepted();
}

TEST_F(DecisionDispatchTest, ReconsiderTakesTheNextQueuedPlan)
{
    Queue(ann->GetId(), 1, 2);
    Queue(cid->GetId(), 2, 5);
    shared.DecisionKind = 2;
    CDecisionEngine::ShipList ships;
    engine->Reconsider(ships);
    EXPECT_EQ(shared.RetryCount, 1u);
    EXPECT_EQ(shared.PlanQueue.size(), 1u);
    EXPECT_EQ(shared.Target, game->GetPlayer(cid->GetId()));
    EXPECT_EQ(shared.DecisionKind, 5u);
    EXPECT_EQ(engine->ran, std::vector<std::string>{"Escape"});
    EXPECT_EQ(ships.size(), com->GetShips().size()) << "the list is rebuilt";
}

TEST_F(DecisionDispatchTest, ReconsiderWithEmptyQueueChoosesPlainMoveOrRefuellingMove)
{
    shared.DecisionKind = 2;
    CDecisionEngine::ShipList ships;
    engine->Reconsider(ships);
    EXPECT_EQ(shared.DecisionKind, 3u);

    // No ship left that can act, and none to bring back.
    com->SetReinforcementsLeft(0);
    SinkAll(com);
    engine->ran.clear();
    engine->Reconsider(ships);
    EXPECT_EQ(shared.DecisionKind, 21u);
    EXPECT_EQ(engine->ran, std::vector<std::string>{"MoveForRefuelling"});
}

TEST_F(DecisionDispatchTest, ReconsiderWithoutTargetOrPastTheLimitDoesNothing)
{
    CDecisionEngine::ShipList ships;
    shared.Target = nullptr;
    engine->Reconsider(ships);
    EXPECT_EQ(shared.RetryCount, 0u);

    shared.Target = game->GetPlayer(ann->GetId());
    shared.RetryCount = 31;
    engine->Reconsider(ships);
    EXPECT_EQ(shared.RetryCount, 31u);
    EXPECT_TRUE(engine->ran.empty());
}

TEST_F(DecisionDispatchTest, UnitThatCannotActResignsOrPassesWithoutSearching)
{
    com->SetReinforcementsLeft(0);
    SinkAll(com);
    engine->Run();
    EXPECT_EQ(engine->ran, std::vector<std::string>{"ResignOrPass"});
    EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
    ExpectAccepted();
}

// --- real strategies ---------------------------------------------------------

using DecisionStrategyTest = DecisionTestBase<CDecisionEngine>;

using EveryKindTest = FreshDecisionTest<std::uint32_t>;

TEST_P(EveryKindTest, EndsInACommandTheUnitAccepts)
{
    const std::uint32_t kind = GetParam();
    for (auto& [shipId, plan] : game->GetPlayer(ann->GetId())->GetAssessments()) plan.Kind = kind;
    shared.DecisionKind = kind;
    engine->Run();
    EXPECT_TRUE(engine->HasWritten());
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKindTest, ::testing::Range(1u, 25u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                             return "Kind" + std::to_string(info.param);
                         });

TEST_F(DecisionStrategyTest, MainEvaluationAttacksALocatedEnemyNextToIt)
{
    Locate(ann, 1, 2, 2);
    shared.DecisionKind = 2;
    engine->Run();
    const CommandInput& input = com->GetCommandInput();
    EXPECT_EQ(input.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(input.Target, MapPos(2, 2));
    EXPECT_EQ(shared.DecisionKind, 2u);
    ExpectAccepted();
}

struct SpareCase {
    const char* Name;
    std::uint32_t BattleshipSpare;
    std::uint32_t DestroyerSpare;
    std::uint32_t Attacker;
};

void PrintTo(const SpareCase& c, std::ostream* os)
{
    *os << c.Name;
}

using TwoAttackersTest = FreshDecisionTest<SpareCase>;

TEST_P(TwoAttackersTest, TheOneKeepingMoreFuelAttacksAnEnemyNextToBoth)
{
    // Both own ships stand next to (2,2), where Ann's battleship is pinned.
    const SpareCase& row = GetParam();
    Locate(ann, 1, 2, 2);
    for (const auto& [id, spare] : {std::pair{1u, row.BattleshipSpare}, std::pair{2u, row.DestroyerSpare}}) {
        CShip* ship = com->GetShip(id);
        ship->GetProfile().Fp = ship->GetConfig().AttackFp + spare;
    }
    shared.DecisionKind = 2;
    engine->Run();
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(input.ShipId, row.Attacker);
    EXPECT_EQ(input.Target, MapPos(2, 2));
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(Table, TwoAttackersTest,
                         ::testing::Values(SpareCase{"BattleshipKeepsMore", 30, 10, 1u},
                                           SpareCase{"DestroyerKeepsMore", 10, 30, 2u}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DecisionStrategyTest, AShipOneHitSinksIsAttackedBeforeTheBestScoringPair)
{
    // Ann's battleship may be on two panels next to the own battleship; Cid's
    // destroyer, down to its last hit point, is pinned next to the destroyer.
    LocateAmong(ann, 1, {MapPos(2, 1), MapPos(2, 2)});
    Locate(cid, 2, 2, 3);
    EstimateHp(cid, 2, 1);
    shared.DecisionKind = 2;
    engine->Run();
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(input.ShipId, 2u);
    EXPECT_EQ(input.Target, MapPos(2, 3));
    ExpectAccepted();
}

struct PursuitCase {
    const char* Name;
    std::int32_t Mode;
    std::uint32_t BattleshipSpare;
    std::uint32_t DestroyerSpare;
    bool DestroyerReady;
    std::uint32_t Attacker;
};

void PrintTo(const PursuitCase& c, std::ostream* os)
{
    *os << c.Name;
}

using PursuitTest = FreshDecisionTest<PursuitCase>;

TEST_P(PursuitTest, SendsTheShipKeepingMoreFuelUnlessAnotherIsReadyToStrike)
{
    // Ann's battleship is far off and not pinned: no pair, a pursuit. A ship
    // whose plan has a target beside it and little damage ranks first from
    // NORMAL on, whatever fuel it keeps.
    const PursuitCase& row = GetParam();
    UnitProfile profile = com->GetProfile();
    profile.Level = static_cast<std::uint32_t>(row.Mode);
    com->SetProfile(profile);
    LocateAmong(ann, 1, {MapPos(5, 4), MapPos(5, 5), MapPos(6, 5)});
    for (const auto& [id, spare] : {std::pair{1u, row.BattleshipSpare}, std::pair{2u, row.DestroyerSpare}}) {
        CShip* ship = com->GetShip(id);
        ship->GetProfile().Fp = ship->GetConfig().AttackFp + spare;
    }
    Plan(ann->GetId(), 2).HasAdjacentTarget = row.DestroyerReady;
    if (row.DestroyerReady) Plan(ann->GetId(), 2).HitPoints = 3;
    // With a result in the log the choice is drawn no more.
    Play(ann, Pass());
    ASSERT_FALSE(engine->GetLog().empty());
    shared.DecisionKind = 1;
    engine->Run();
    EXPECT_EQ(shared.DecisionKind, 1u);
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(input.ShipId, row.Attacker);
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(
    Table, PursuitTest,
    ::testing::Values(PursuitCase{"EasyBattleshipKeepsMore", ModeEasy, 30, 10, false, 1u},
                      PursuitCase{"EasyDestroyerKeepsMore", ModeEasy, 10, 30, false, 2u},
                      PursuitCase{"NormalBattleshipKeepsMore", ModeNormal, 30, 10, false, 1u},
                      PursuitCase{"NormalDestroyerKeepsMore", ModeNormal, 10, 30, false, 2u},
                      PursuitCase{"NormalDestroyerReady", ModeNormal, 30, 10, true, 2u},
                      PursuitCase{"EasyIgnoresReadiness", ModeEasy, 30, 10, true, 1u}),
    [](const auto& info) { return std::string(info.param.Name); });

using PursuitSeedTest = FreshDecisionTest<std::uint32_t>;

TEST_P(PursuitSeedTest, DoesNotStrikeTheSamePanelTwiceRunning)
{
    // Only the destroyer can pay an attack; Ann may be on any of three
    // panels south of it.
    const std::vector<MapPos> around{MapPos(2, 1), MapPos(2, 2), MapPos(2, 3)};
    SeedRandom(GetParam());
    com->GetShip(1)->GetProfile().Fp = 0;
    LocateAmong(ann, 1, around);
    shared.DecisionKind = 1;
    engine->Run();
    const CommandInput first = com->GetCommandInput();
    ASSERT_EQ(first.Command, static_cast<std::uint32_t>(CommandAttack));
    const MessageCode code = com->ExecuteCommand(All());
    ASSERT_FALSE(IsErrorCode(code));
    results.Record(code, com, All());
    results.Record(52, com, All());

    com->OnMessage(51);
    shared.DecisionKind = 1;
    engine->Run();
    const CommandInput second = com->GetCommandInput();
    ASSERT_EQ(second.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_NE(second.Target, first.Target);
    EXPECT_NE(std::find(around.begin(), around.end(), second.Target), around.end());
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(Seeds, PursuitSeedTest, ::testing::Range(1u, 7u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

struct EscapeCase {
    const char* Name;
    std::vector<MapPos> Ann;
    bool Moves;
};

void PrintTo(const EscapeCase& c, std::ostream* os)
{
    *os << c.Name;
}

using EscapeTest = FreshDecisionTest<EscapeCase>;

// Ann has all but found the battleship. Believed at (3,1) she reaches only
// part of the board; believed on four panels in the middle rows, with a
// move range of 5 she reaches all of it, and the escape falls back on
// another command.
TEST_P(EscapeTest, NeverMovesIntoTheReachOfAnEnemyThatIsNearlyFound)
{
    const EscapeCase& row = GetParam();
    LocateAmong(ann, 1, row.Ann);
    PlanRecord& plan = Plan(ann->GetId(), 1);
    plan.IsClose = true;
    plan.CandidateCount = 1;
    plan.Kind = 5;
    shared.DecisionKind = 5;
    engine->Run();
    const CommandInput input = com->GetCommandInput();
    EXPECT_EQ(input.Command == CommandMove, row.Moves) << "command " << input.Command;
    ExpectAccepted();
    if (input.Command != CommandMove) return;
    const std::uint32_t reach = ann->GetShip(1)->GetConfig().MoveRange + 1;
    for (const MapPos& pos : row.Ann)
        EXPECT_GT(com->GetShip(1)->GetCurrentPanel()->GetDistance(*board.GetPanel(pos)), reach);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeTest,
    ::testing::Values(EscapeCase{"OnePanel", {MapPos(3, 1)}, true},
                      EscapeCase{
                          "FourPanels", {MapPos(3, 1), MapPos(3, 2), MapPos(4, 1), MapPos(4, 2)}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DecisionStrategyTest, RangeChoiceWithoutAnEnemyInRangeAimsAtOneTheGamePlacesSomewhere)
{
    // No own ship's plan lists an enemy in range: the aim of kind 12 goes
    // for Cid's battleship, pinned far off, with a torpedo.
    Locate(cid, 1, 5, 5);
    shared.DecisionKind = 12;
    engine->Run();
    EXPECT_EQ(shared.DecisionKind, 12u);
    EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandTorpedo));
    EXPECT_EQ(com->GetCommandInput().ShipId, 2u) << "only the destroyer carries torpedoes";
    EXPECT_EQ(com->GetCommandInput().Target, MapPos(5, 5));
    ExpectAccepted();
}

TEST_F(DecisionStrategyTest, RangeChoiceWithAnEnemyInRangeAttacksItWhenNextToTheShip)
{
    // The battleship's plan lists Cid's battleship, pinned next to it.
    Locate(cid, 1, 2, 2);
    Plan(cid->GetId(), 1).TargetCandidates[1] = 1;
    shared.DecisionKind = 13;
    engine->Run();
    EXPECT_EQ(shared.DecisionKind, 13u);
    EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(com->GetCommandInput().Target, MapPos(2, 2));
    ExpectAccepted();
}

TEST_F(DecisionStrategyTest, ApproachHeadsForALocatedEnemy)
{
    Locate(ann, 1, 5, 1);
    for (auto& [shipId, plan] : game->GetPlayer(ann->GetId())->GetAssessments()) plan.Kind = 4;
    shared.DecisionKind = 4;
    engine->Run();
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandMove));
    EXPECT_EQ(input.Direction, static_cast<std::uint32_t>(DirectionSouth));
    ExpectAccepted();
}

TEST_F(DecisionStrategyTest, FlagshipHandsTheFlagToAnotherShip)
{
    com->SetFlagship(1);
    shared.DecisionKind = 24;
    engine->Run();
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandChangeFlagship));
    EXPECT_EQ(input.Target, MapPos(1, 2));
    ExpectAccepted();
    EXPECT_EQ(com->GetFlagship(), com->GetShip(2));
}

TEST_F(DecisionStrategyTest, EmptySinkingListEndsInResignOrPassWithoutSearching)
{
    // No sunk ship: the sinking-ship strategies of kinds 16 to 18 hand the
    // turn to the final resign or pass, which passes while ships can act.
    for (std::uint32_t kind : {16u, 17u, 18u}) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        shared.DecisionKind = kind;
        engine->ClearTrace();
        engine->Run();
        const auto& trace = engine->GetTrace();
        EXPECT_NE(std::find(trace.begin(), trace.end(), "ResignOrPass"), trace.end());
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "Reconsider"), 0);
        EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
        ExpectAccepted();
    }
}

TEST_F(DecisionStrategyTest, SunkShipIsBroughtBackNextToAGuard)
{
    // The destroyer is sunk; the battleship is damaged and lightly threatened.
    CShip* destroyer = com->GetShip(2);
    destroyer->GetProfile().Hp = 0;
    destroyer->SetStatus(ShipStatusSinking);
    CShip* battleship = com->GetShip(1);
    battleship->GetProfile().Hp = 2;
    // Ann has nearly found it: a light threat.
    Plan(ann->GetId(), 1).IsClose = true;
    Plan(ann->GetId(), 1).CandidateCount = 1;
    for (std::uint32_t row = 1; row <= 2; ++row) {
        for (std::uint32_t column = 1; column <= 2; ++column)
            board.GetPanel(row, column)->AddKnownUnit(com->GetId());
    }
    CDecisionEngine::ShipList sunk{destroyer};
    engine->RescueSinkingShip(sunk);
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandReinforce));
    EXPECT_EQ(board.GetPanel(input.Target)->GetDistance(*battleship->GetCurrentPanel()) <= 2, true);
    ExpectAccepted();
}

using MineKindTest = FreshDecisionTest<std::uint32_t>;

TEST_P(MineKindTest, LaysAMine)
{
    shared.DecisionKind = GetParam();
    engine->Run();
    EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandMine));
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(Kinds, MineKindTest, ::testing::Values(9u, 10u, 11u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                             return "Kind" + std::to_string(info.param);
                         });

struct ResignCase {
    const char* name;
    bool mates;
    std::int32_t stance;
    bool rivalsAfloat;
    bool beaten;
    bool canAct;
    std::uint32_t command;
};

void PrintTo(const ResignCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResignOrPassTest : public FreshDecisionTest<ResignCase> {
  protected:
    // The computer's picture of the side has every ship sunk.
    void SinkInPicture(CUnit* unit)
    {
        for (const auto& [id, board] : game->GetPlayer(unit->GetId())->GetShipBoards()) {
            auto* profile = const_cast<ShipProfile*>(board->GetTrackedProfile());
            profile->Status = ShipStatusSinking;
            profile->Condition = ShipStatusSinking;
        }
    }
};

// A side resigns only with nothing left to fight for: alone, far behind and
// without a rival afloat; or, with a team mate, beaten and unable to act.
// Otherwise it passes, able or not.
TEST_P(ResignOrPassTest, ResignsOnlyWithNothingLeftToFightFor)
{
    const ResignCase& row = GetParam();
    if (!row.mates) com->ClearTeam();
    game->GetInferenceTable().GetRivals().Stance = row.stance;
    if (!row.rivalsAfloat) {
        SinkInPicture(ann);
        SinkInPicture(cid);
    }
    if (row.beaten) SinkInPicture(com);
    if (!row.canAct) {
        com->SetReinforcementsLeft(0);
        SinkAll(com);
    }
    ASSERT_EQ(com->CanAct(), row.canAct);
    engine->ResignOrPass();
    EXPECT_TRUE(engine->HasWritten());
    EXPECT_EQ(com->GetCommandInput().Command, row.command);
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResignOrPassTest,
    ::testing::Values(ResignCase{"AbleWithMate", true, 1, true, false, true, CommandPass},
                      ResignCase{"AloneBehindNoRival", false, -6, false, false, true, CommandResign},
                      ResignCase{"AloneBehindRivalAfloat", false, -6, true, false, true, CommandPass},
                      ResignCase{"AloneEvenNoRival", false, 1, false, false, true, CommandPass},
                      ResignCase{"MateBeatenUnable", true, 1, true, true, false, CommandResign},
                      ResignCase{"MateBeatenInPictureButAble", true, 1, true, true, true, CommandPass},
                      ResignCase{"MateUnableNotBeaten", true, 1, true, false, false, CommandPass}),
    [](const ::testing::TestParamInfo<ResignCase>& info) { return std::string(info.param.name); });

TEST_F(DecisionStrategyTest, MoveWriterRefusesTheShipsOwnPanelAndStopsShortOfOwnShips)
{
    CShip* battleship = com->GetShip(1);
    EXPECT_FALSE(engine->CommandMove(*battleship, battleship->GetCurrentPanel()));
    // The destroyer stands at (1,2): a move east from (1,1) cannot land there.
    EXPECT_FALSE(engine->CommandMove(*battleship, board.GetPanel(1, 2)));
    ASSERT_TRUE(engine->CommandMove(*battleship, board.GetPanel(4, 1)));
    EXPECT_EQ(com->GetCommandInput().Direction, static_cast<std::uint32_t>(DirectionSouth));
    EXPECT_EQ(com->GetCommandInput().Distance, 3u);
    ExpectAccepted();
}

TEST_F(DecisionStrategyTest, MoveWriterDrawsTheAxisWhenBothNeedTheSameMoves)
{
    // From (1,1) to (3,3) with a bound of 4: one move on either axis.
    CShip* battleship = com->GetShip(1);
    std::map<std::uint32_t, int> seen;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(engine->CommandMove(*battleship, board.GetPanel(3, 3)));
        seen[com->GetCommandInput().Direction] += 1;
    }
    EXPECT_GT(seen[DirectionSouth], 0);
    EXPECT_GT(seen[DirectionEast], 0);
}

TEST_F(DecisionStrategyTest, VeryEasyNeverFiresTorpedoesAndSixInFlightIsTheLimit)
{
    // The destroyer (id 2) carries torpedoes.
    EXPECT_TRUE(CDecisionEngine::CanFireTorpedo(*com, 2));
    UnitProfile profile = com->GetProfile();
    profile.Level = static_cast<std::uint32_t>(ModeVeryEasy);
    com->SetProfile(profile);
    EXPECT_FALSE(CDecisionEngine::CanFireTorpedo(*com, 2));
    profile.Level = static_cast<std::uint32_t>(ModeEasy);
    com->SetProfile(profile);
    EXPECT_TRUE(CDecisionEngine::CanFireTorpedo(*com, 2));
    ExpectMissingKey([&] { CDecisionEngine::CanFireTorpedo(*com, 9); }, "unknown ship");
}

class SafetyEngine : public CDecisionEngine {
  public:
    using CDecisionEngine::CDecisionEngine;
    using CDecisionEngine::KeepsSafety;
};
using EscapeSafetyTest = DecisionTestBase<SafetyEngine>;

TEST_F(EscapeSafetyTest, AMoveIsSafeWhenTheOthersKeepAsManyPanelsToFindTheShipOn)
{
    // The others believe the battleship is on one of four panels in the
    // north-west corner. A move south keeps all four in their picture; a
    // move north pushes two of them off the board.
    LocateAmong(com, 1, {MapPos(1, 1), MapPos(1, 2), MapPos(2, 1), MapPos(2, 2)});
    CShip& battleship = *com->GetShip(1);
    CDecisionEngine::MovePlan south;
    ASSERT_TRUE(engine->PlanMove(battleship, board.GetPanel(3, 1), south));
    EXPECT_EQ(south.Way, DirectionSouth);
    EXPECT_TRUE(engine->KeepsSafety(battleship, south));
    CDecisionEngine::MovePlan north = south;
    north.Way = DirectionNorth;
    north.Distance = 1;
    EXPECT_FALSE(engine->KeepsSafety(battleship, north));
    // The simulation leaves the picture as it was.
    EXPECT_EQ(game->GetOwnShipBoard(1)->GetCandidateCount(), 4u);
}

class RefiningEngine : public CDecisionEngine {
  public:
    using CDecisionEngine::CDecisionEngine;
    using CDecisionEngine::RefineRangeTarget;
};
using RangeRefinementTest = DecisionTestBase<RefiningEngine>;

TEST_F(RangeRefinementTest, RefinedAimPrefersALinePanelAnotherEnemyMayBeOn)
{
    // The aim is (4,4), one of Ann's two possible panels; no torpedo runs.
    LocateAmong(ann, 1, {MapPos(4, 4), MapPos(4, 5)});
    const CVirtualBoard* chosen = game->GetPlayer(ann->GetId())->GetBoard(1);
    const CPanel* aim = board.GetPanel(4, 4);
    CDecisionEngine::ShipList list{com->GetShip(1), com->GetShip(2)};
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SeedRandom(seed);
        CShip* ship = com->GetShip(2);
        // Cid's battleship may be on (4,1), in line with the aim.
        Locate(cid, 1, 4, 1);
        std::vector<const CVirtualBoard*> candidates{chosen, game->GetPlayer(cid->GetId())->GetBoard(1)};
        EXPECT_EQ(engine->RefineRangeTarget(list, candidates, chosen, ship, aim), board.GetPanel(4, 1));
        EXPECT_EQ(ship, com->GetShip(2));

        // Without another enemy in line, any panel in line with the aim.
        candidates.pop_back();
        const CPanel* p = engine->RefineRangeTarget(list, candidates, chosen, ship, aim);
        EXPECT_NE(p, aim);
        EXPECT_TRUE(p->GetX() == 4 || p->GetY() == 4) << p->GetX() << "," << p->GetY();
    }
}

TEST(DecisionRangeTest, KeysClassesAndTable)
{
    EXPECT_FALSE(CompareRangeKeys(0, 0, -1, 5));
    EXPECT_TRUE(CompareRangeKeys(0, 2, -1, 5));
    SeedRandom(5);
    int wins = 0;
    for (int i = 0; i < 200; ++i) wins += CompareRangeKeys(0, 0, 0, 0) ? 1 : 0;
    EXPECT_GT(wins, 60);
    EXPECT_LT(wins, 140);

    EXPECT_EQ(RangeClassOf(3), L"short");
    EXPECT_EQ(RangeClassOf(4), L"medium");
    EXPECT_EQ(RangeClassOf(5), L"medium");
    EXPECT_EQ(RangeClassOf(6), L"long");
    EXPECT_EQ(RangeRefinementChance(L"short", L"hit"), 5u);
    EXPECT_EQ(RangeRefinementChance(L"long", L"hit"), 30u);
    EXPECT_EQ(RangeRefinementChance(L"long", L"narrow"), 0u);
    try {
        RangeRefinementChance(L"near", L"hit");
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), MissingKeyText);
    }
}

} // namespace
} // namespace Marevane::ComputerAI::Testing
