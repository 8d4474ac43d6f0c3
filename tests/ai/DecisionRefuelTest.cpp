// The plan facts the strategies test, and the refuelling strategies, on the
// small battle with a submarine and an oiler added to the computer's fleet:
//   COM battleship 1 (1,1), destroyer 2 (1,2), submarine 3 (2,1), oiler 4 (5,3)
#include "DecisionFixture.h"

#include <string>

namespace Marevane::ComputerAI::Testing {
namespace {

// --- the plan's state word ------------------------------------------------------

struct StateCase {
    const char* Name;
    bool Positive;
    std::uint32_t Candidates;
    bool Close;
    std::uint32_t StateWord;
};

void PrintTo(const StateCase& c, std::ostream* os)
{
    *os << c.Name;
}

class PlanStateWord : public ::testing::TestWithParam<StateCase> {};

// The state word says how far the other side has found the ship; nearly
// found (5) makes an attack pair of class 3 out of an advised attack on a
// nearly located enemy, and any finding weighs 20 in the range choice.
TEST_P(PlanStateWord, ReachesThePairClassAndTheRangeWeight)
{
    const StateCase& row = GetParam();
    PlanRecord record;
    record.IsPositive = row.Positive;
    record.CandidateCount = row.Candidates;
    record.IsClose = row.Close;
    record.IsAttackAdvised = true;
    const CDecisionEngine::PlanFacts facts = CDecisionEngine::ReadFacts(record);
    EXPECT_EQ(facts.StateWord, row.StateWord);

    CDecisionEngine::PairInputs pair;
    pair.D = 2;
    pair.K = 4;
    pair.R = facts;
    EXPECT_EQ(CDecisionEngine::PairClass(pair) == 3, row.StateWord == 5);

    EXPECT_EQ(CDecisionEngine::RangeWeight(facts, true), row.StateWord != 0 ? 20 : 10);
    EXPECT_EQ(CDecisionEngine::RangeWeight(facts, false), row.StateWord != 0 ? 20 : 5);
}

INSTANTIATE_TEST_SUITE_P(Table, PlanStateWord,
                         ::testing::Values(StateCase{"NotFound", false, 3, false, 0},
                                           StateCase{"AmongMany", true, 12, false, 1},
                                           StateCase{"AmongEight", true, 8, false, 2},
                                           StateCase{"AmongFour", true, 4, false, 3},
                                           StateCase{"NearlyFound", true, 2, true, 5}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PairClass, TheStateWordCountsOnlyForAnAdvisedAttackOnANearlyLocatedEnemy)
{
    CDecisionEngine::PairInputs pair;
    pair.D = 2;
    pair.R.StateWord = 5;
    pair.K = 4;
    EXPECT_EQ(CDecisionEngine::PairClass(pair), 17u) << "no advised attack, no last hit point";
    pair.R.LastHitPoint = true;
    EXPECT_EQ(CDecisionEngine::PairClass(pair), 3u);
    pair.K = 5;
    EXPECT_EQ(CDecisionEngine::PairClass(pair), 17u) << "the enemy may be on too many panels";
}

// --- refuelling -------------------------------------------------------------------

class RefuelTestBase : public DecisionTestBase<CDecisionEngine> {
  protected:
    void AddShips() override
    {
        ships.CreateShip(com, ShipTypeSubmarine, board.GetPanel(2, 1));
        ships.CreateShip(com, ShipTypeOiler, board.GetPanel(5, 3));
    }

    CShip* Battleship() const { return com->GetShip(1); }
    CShip* Destroyer() const { return com->GetShip(2); }
    CShip* Submarine() const { return com->GetShip(3); }
    CShip* Oiler() const { return com->GetShip(4); }

    static void Sink(CShip* ship)
    {
        ship->GetProfile().Hp = 0;
        ship->SetStatus(ShipStatusSinking);
    }
};

using RefuelTest = RefuelTestBase;

TEST_F(RefuelTest, CommandRefuelWritesARefuelNamingTheShipAndGivesARefusedOneOnce)
{
    ASSERT_TRUE(engine->CommandRefuel(*Oiler(), *Submarine()));
    const CommandInput written = com->GetCommandInput();
    EXPECT_EQ(written.Command, static_cast<std::uint32_t>(CommandRefuel));
    EXPECT_EQ(written.ShipId, 4u);
    EXPECT_EQ(written.ShipType, static_cast<std::uint32_t>(ShipTypeOiler));
    EXPECT_EQ(written.Direction, 3u) << "the target word names the ship to refuel";
    EXPECT_EQ(written.Distance, 0u);
    // Oilers refuel by themselves; the order itself is refused.
    const MessageCode code = com->ExecuteCommand(All());
    EXPECT_EQ(code, 95u);
    com->OnMessage(code);
    shared.RetryCount = 1;
    EXPECT_FALSE(engine->CommandRefuel(*Oiler(), *Submarine())) << "the refused order again";
    EXPECT_TRUE(engine->CommandRefuel(*Oiler(), *Battleship()));
    EXPECT_FALSE(engine->CommandRefuel(*Battleship(), *Submarine())) << "a battleship cannot refuel";
}

TEST_F(RefuelTest, AnOilerWithNobodyToRefuelIsMarkedAndRefuelsForDefenceLater)
{
    // Only the submarine and the oiler are afloat, side by side; the
    // submarine's tank is full.
    Sink(Battleship());
    Sink(Destroyer());
    Submarine()->SetPanel(board.GetPanel(4, 3));
    // The assessment found the oiler able to refuel.
    Plan(ann->GetId(), 4).CanRefuelOthers = true;
    CDecisionEngine::ShipList oiler{Oiler()};
    engine->RefuelPartner(oiler);
    EXPECT_TRUE(game->IsRefuelReady(4));
    EXPECT_NE(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandRefuel));

    // Now the submarine, surfaced, can take fuel, and only the mark names
    // the oiler.
    Submarine()->GetProfile().Fp = 50;
    Submarine()->SetStatus(ShipStatusNormal);
    Plan(ann->GetId(), 4).CanRefuelOthers = false;
    shared.RetryCount = 0;
    CDecisionEngine::ShipList again{Oiler()};
    engine->RefuelForDefence(again);
    EXPECT_EQ(shared.DecisionKind, 20u);
    EXPECT_EQ(com->GetCommandInput().Command, static_cast<std::uint32_t>(CommandRefuel));
    EXPECT_EQ(com->GetCommandInput().Direction, 3u);
}

TEST_F(RefuelTest, RefuelForDefencePrefersMoreHitPointsThenCheaperAttackThenReachThenFewerReachEntries)
{
    // Battleship and destroyer beside the oiler, both short of fuel.
    Battleship()->SetPanel(board.GetPanel(5, 2));
    Destroyer()->SetPanel(board.GetPanel(5, 4));
    Battleship()->GetProfile().Fp = 40;
    Destroyer()->GetProfile().Fp = 40;
    game->MarkRefuelReady(4);
    CDecisionEngine::ShipList list{Oiler()};
    engine->RefuelForDefence(list);
    EXPECT_EQ(com->GetCommandInput().Direction, 1u) << "three hit points against two";

    Battleship()->GetProfile().Hp = 2;
    Battleship()->GetProfile().Fp = 40;
    engine->RefuelForDefence(list);
    EXPECT_EQ(com->GetCommandInput().Direction, 1u) << "attack 10 against 12";

    // Equal hit points and attack costs: the larger reach value.
    Battleship()->GetProfile().Config.AttackFp = 12;
    Plan(ann->GetId(), 2).BestScoreNear = 7;
    Plan(ann->GetId(), 1).BestScoreNear = 3;
    engine->RefuelForDefence(list);
    EXPECT_EQ(com->GetCommandInput().Direction, 2u) << "reach 7 against 3";
}

struct ClassCase {
    const char* Name;
    std::uint32_t Partner; // own ship id
    std::int32_t Hp;
    std::uint32_t Fp;
    bool Stealthed;
    CDecisionEngine::ShipRecord Record;
    bool HasBest; // the destroyer (2 hit points) with BestRecord
    CDecisionEngine::ShipRecord BestRecord;
    std::uint32_t Class;
};

void PrintTo(const ClassCase& c, std::ostream* os)
{
    *os << c.Name;
}

CDecisionEngine::ShipRecord Rec(bool a1, bool a2, bool a3, bool mark, std::uint32_t reach,
                                std::uint32_t route)
{
    CDecisionEngine::ShipRecord r;
    r.Alert1 = a1;
    r.Alert2 = a2;
    r.Alert3 = a3;
    r.Mark = mark;
    r.ReachValue = reach;
    r.RouteCost = route;
    return r;
}

class RefuelClassTest : public RefuelTestBase, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(RefuelClassTest, RanksThePartnerAgainstTheBestSoFar)
{
    const ClassCase& row = GetParam();
    CShip* partner = com->GetShip(row.Partner);
    partner->GetProfile().Hp = row.Hp;
    partner->GetProfile().Fp = row.Fp;
    if (row.Stealthed) partner->SetStatus(ShipStatusStealth);
    const CShip* best = row.HasBest ? Destroyer() : nullptr;
    EXPECT_EQ(engine->RefuelClass(*partner, row.Record, best, row.BestRecord), row.Class);
}

const CDecisionEngine::ShipRecord None = Rec(false, false, false, false, 2, 20);

INSTANTIATE_TEST_SUITE_P(
    Table, RefuelClassTest,
    ::testing::Values(
        ClassCase{"HideableLowOnFuel", 3, 1, 30, false, Rec(false, true, false, false, 0, 0), false, None, 0},
        ClassCase{"StrongerInReachReachingFarther", 1, 3, 100, false, Rec(true, false, false, false, 5, 0),
                  true, None, 1},
        ClassCase{"AsStrongInReachReachingFarther", 1, 2, 100, false, Rec(true, false, false, false, 5, 0),
                  true, None, 2},
        ClassCase{"HideableOnItsWay", 3, 1, 100, false, Rec(false, false, true, false, 0, 5), true, None, 3},
        ClassCase{"HiddenNearlyFoundStronger", 1, 3, 100, true, Rec(false, true, false, false, 0, 0), true,
                  None, 4},
        ClassCase{"HiddenNearlyFoundAsStrong", 1, 2, 100, true, Rec(false, true, false, false, 0, 0), true,
                  None, 5},
        ClassCase{"HiddenNearlyFoundWeaker", 1, 1, 100, true, Rec(false, true, false, false, 0, 0), true,
                  None, 6},
        ClassCase{"HideableAtRest", 3, 1, 100, false, None, true, None, 7},
        ClassCase{"StrongerCheaperAdvised", 1, 3, 100, false, Rec(false, false, false, true, 0, 0), true,
                  None, 8},
        ClassCase{"AsStrongCheaperAdvised", 1, 2, 100, false, Rec(false, false, false, true, 0, 0), true,
                  None, 9},
        ClassCase{"StrongerOnAShorterRoute", 1, 3, 100, false, Rec(false, false, true, false, 0, 10), true,
                  Rec(false, false, true, false, 0, 20), 10},
        ClassCase{"AsStrongOnAShorterRoute", 1, 2, 100, false, Rec(false, false, true, false, 0, 10), true,
                  Rec(false, false, true, false, 0, 20), 11},
        ClassCase{"RouteOfTheBestNotTakenWithoutItsWay", 1, 2, 100, false,
                  Rec(false, false, true, false, 0, 10), true, Rec(false, false, false, false, 0, 5), 11},
        ClassCase{"WeakerAtRest", 1, 1, 100, false, None, true, None, 12}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- covering ---------------------------------------------------------------------

struct CovererCase {
    const char* Name;
    bool BattleshipNearlyFound;
    bool SubmarineHidden;
    std::uint32_t Coverer;
};

void PrintTo(const CovererCase& c, std::ostream* os)
{
    *os << c.Name;
}

class CovererTest : public RefuelTestBase, public ::testing::WithParamInterface<CovererCase> {};

// The destroyer, on its last hit point at (2,3), is to be covered. Of the
// other ships nobody has nearly found, a hidden one covers it; else the one
// with the most hit points.
TEST_P(CovererTest, NobodyNearlyFoundAndHiddenOrStrongest)
{
    const CovererCase& row = GetParam();
    Destroyer()->SetPanel(board.GetPanel(2, 3));
    Plan(ann->GetId(), 2).IsLastHitPoint = true;
    // Cid, not the side aimed at, has nearly found the battleship.
    Plan(cid->GetId(), 1).IsClose = row.BattleshipNearlyFound;
    Submarine()->SetStatus(row.SubmarineHidden ? ShipStatusStealth : ShipStatusNormal);
    CDecisionEngine::ShipList ships = engine->GetActiveShipsRanked();
    engine->Cover(ships);
    const CommandInput& input = com->GetCommandInput();
    ASSERT_EQ(input.Command, static_cast<std::uint32_t>(CommandMove));
    EXPECT_EQ(input.ShipId, row.Coverer);
    ExpectAccepted();
}

INSTANTIATE_TEST_SUITE_P(Table, CovererTest,
                         ::testing::Values(CovererCase{"Strongest", false, false, 1},
                                           CovererCase{"StrongestNearlyFound", true, false, 4},
                                           CovererCase{"Hidden", false, true, 3}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- approach ---------------------------------------------------------------------

struct GoalCase {
    const char* Name;
    bool FlagshipGoal;
    std::uint32_t Prey; // Cid's ship every mover goes for
};

void PrintTo(const GoalCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ApproachGoalTest : public DecisionTestBase<CDecisionEngine>,
                         public ::testing::WithParamInterface<GoalCase> {};

// Without plans that name a target, the approach draws one per mover: the
// enemy flagship where flagships decide, else a ship that cannot act.
TEST_P(ApproachGoalTest, PicksThePreyOfTheGoal)
{
    const GoalCase& row = GetParam();
    cid->SetFlagship(2);
    // Cid's battleship has run out of fuel, as the computer sees it.
    auto* estimate = const_cast<ShipProfile*>(game->GetPlayer(cid->GetId())->FindShipProfile(1));
    estimate->Condition = ShipStatusFuelShortage;
    shared.Target = game->GetPlayer(cid->GetId());
    shared.FlagshipGoal = row.FlagshipGoal;
    for (auto& [shipId, plan] : game->GetPlayer(cid->GetId())->GetAssessments()) plan.Kind = 4;
    CDecisionEngine::ShipList ships = engine->GetActiveShipsRanked();
    engine->Approach(ships);
    for (const auto& [id, ship] : com->GetShips())
        EXPECT_EQ(Plan(cid->GetId(), id).ApproachTarget, row.Prey) << "ship " << id;
}

INSTANTIATE_TEST_SUITE_P(Table, ApproachGoalTest,
                         ::testing::Values(GoalCase{"Flagship", true, 2},
                                           GoalCase{"ShipThatCannotAct", false, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace Marevane::ComputerAI::Testing
