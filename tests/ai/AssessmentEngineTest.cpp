#include "ComputerFixture.h"

#include "ai/VirtualGame.h"
#include "model/Ship.h"

namespace Marevane::ComputerAI::Testing {

class AssessmentEngineTest : public ComputerFixture {
  protected:
    void SetUp() override
    {
        ComputerFixture::SetUp();
        com->OnMessage(45);
    }

    CVirtualGame& Game() const { return *Brain().GetVirtualGame(); }
    CVirtualPlayer* Player(CUnit* unit) const { return Game().GetPlayer(unit->GetId()); }

    void SetPlan(CUnit* opponent, std::uint32_t shipId, std::uint32_t kind, std::uint32_t priority)
    {
        PlanRecord& plan = Assessment().GetPlan(opponent->GetId(), shipId);
        plan.SideId = opponent->GetId();
        plan.ShipId = shipId;
        plan.Kind = kind;
        plan.Priority = priority;
    }

    std::vector<std::uint32_t> QueuedPriorities() const
    {
        std::vector<std::uint32_t> out;
        for (const PlanRecord* plan : Shared().PlanQueue) out.push_back(plan->Priority);
        return out;
    }

    void Sink(std::uint32_t shipId)
    {
        ShipProfile& p = com->GetShip(shipId)->GetProfile();
        p.Hp = 0;
        p.Status = ShipStatusSinking;
        p.Condition = ShipStatusSinking;
    }
};

TEST_F(AssessmentEngineTest, OneOpponentKeepsThePriorities)
{
    Assessment().GetOpponents() = {Player(ann)};
    SetPlan(ann, 1, 4, 120);
    SetPlan(ann, 2, 1, 100);
    Assessment().QueuePlans();
    EXPECT_EQ(QueuedPriorities(), (std::vector<std::uint32_t>{100, 120}));
    EXPECT_EQ(Shared().Target, Player(ann));
    EXPECT_EQ(Shared().DecisionKind, 1u);
}

TEST_F(AssessmentEngineTest, RankedOpponentsCountTenfoldEach)
{
    // No spread: the computer is as healthy as anyone and the rivals'
    // health score is below 2, so later opponents weigh more.
    Assessment().GetOpponents() = {Player(ann), Player(cid), Player(bea)};
    for (CUnit* opponent : {ann, cid, bea}) {
        SetPlan(opponent, 1, 4, 100);
        SetPlan(opponent, 2, 12, 0xFFFFFFFFu);
    }
    SetPlan(ann, 2, 2, 5);
    SetPlan(bea, 1, 5, 0);
    Assessment().QueuePlans();
    EXPECT_EQ(Assessment().GetPlan(1, 1).Priority, 100u);
    EXPECT_EQ(Assessment().GetPlan(4, 1).Priority, 1000u);
    EXPECT_EQ(Assessment().GetPlan(2, 1).Priority, 0u); // kind 5 is never weighed
    EXPECT_EQ(Assessment().GetPlan(1, 2).Priority, 5u); // nor kind 2
    EXPECT_EQ(Assessment().GetPlan(4, 2).Priority, 0xFFFFFFFFu);
    EXPECT_EQ(QueuedPriorities(), (std::vector<std::uint32_t>{0, 5, 100, 1000, 0xFFFFFFFFu, 0xFFFFFFFFu}));
    EXPECT_EQ(Shared().DecisionKind, 5u);
    EXPECT_EQ(Shared().Target, Player(bea));
}

TEST_F(AssessmentEngineTest, WithoutAMainPlanOrTargetTheKindIsSimpleMove)
{
    Assessment().GetOpponents() = {Player(cid), Player(ann)};
    for (CUnit* opponent : {ann, cid}) {
        SetPlan(opponent, 1, 22, 200);
        SetPlan(opponent, 2, 24, 130);
    }
    Shared().Target = nullptr;
    Assessment().QueuePlans();
    EXPECT_EQ(Shared().DecisionKind, 8u);
    EXPECT_EQ(Shared().Target, Player(cid));
}

TEST_F(AssessmentEngineTest, SinkingShipWithoutReinforcementGetsKind23)
{
    Sink(2);
    com->SetReinforcementsLeft(0);
    Assessment().AssessPlan(*com->GetShip(2), *Player(ann), true);
    EXPECT_EQ(Assessment().GetPlan(1, 2).Kind, 23u);
}

TEST_F(AssessmentEngineTest, SinkingShipPriorityFollowsTheRound)
{
    Sink(2);
    com->SetReinforcementsLeft(1);
    struct Case {
        std::uint32_t round;
        std::uint32_t priority;
    };
    // 123 (health score 1) - 2 (full fuel) + 3 (no stealth), then +7 except
    // every fifth round, -10 from round 18.
    for (const Case& c : {Case{3, 131}, Case{4, 124}, Case{9, 124}, Case{10, 131}, Case{18, 114}}) {
        Log().SetPlayOrder(PlayOrder{c.round, 2});
        PlayTurn(ann, Pass());
        ASSERT_EQ(Log().GetLog(1).Order.Round, c.round);
        ASSERT_TRUE(com->CanShipExecuteCommand(2, CommandReinforce)) << c.round;
        Assessment().AssessPlan(*com->GetShip(2), *Player(ann), true);
        const PlanRecord& plan = Assessment().GetPlan(1, 2);
        EXPECT_EQ(plan.Kind, 16u) << c.round;
        EXPECT_EQ(plan.Priority, c.priority) << c.round;
    }
}

TEST_F(AssessmentEngineTest, AThinkQueuesPlansInPriorityOrder)
{
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        SeedRandom(seed);
        com->OnMessage(51);
        com->DecideCommand();
        ASSERT_TRUE(Brain().GetLastFailure().empty()) << Brain().GetLastFailure();
        // The decision consumes the queue as it reconsiders; assess afresh.
        Shared().RetryCount = 0;
        Assessment().Run();
        const std::vector<std::uint32_t> queued = QueuedPriorities();
        ASSERT_FALSE(queued.empty());
        EXPECT_TRUE(std::is_sorted(queued.begin(), queued.end()));
        const PlanRecord& front = *Shared().PlanQueue.front();
        if (front.Kind >= 1 && front.Kind <= 18) {
            EXPECT_EQ(Shared().DecisionKind, front.Kind);
            ASSERT_NE(Shared().Target, nullptr);
            EXPECT_EQ(Shared().Target->GetUnitId(), front.SideId);
        }
        // Team mates are never aimed at.
        EXPECT_NE(Shared().Target, Player(bea));
    }
}

TEST_F(AssessmentEngineTest, ARetryKeepsTheQueue)
{
    com->OnMessage(51);
    com->DecideCommand();
    Shared().RetryCount = 0;
    Assessment().Run();
    const std::deque<PlanRecord*> before = Shared().PlanQueue;
    ASSERT_FALSE(before.empty());
    com->OnMessage(75);
    ASSERT_EQ(Shared().RetryCount, 1u);
    Assessment().Run();
    EXPECT_EQ(Shared().PlanQueue, before);
}

TEST_F(AssessmentEngineTest, MineChanceNeedsStrengthAndAMineLayer)
{
    // The destroyer lays mines.
    EXPECT_TRUE(Assessment().IsMineChance(100));
    EXPECT_FALSE(Assessment().IsMineChance(0));
    SetLevel(com, ModeEasy);
    EXPECT_FALSE(Assessment().IsMineChance(100));
    SetLevel(com, ModeNormal);
    com->GetShip(2)->GetProfile().WeaponStock = 0;
    EXPECT_FALSE(Assessment().IsMineChance(100));
}

// --- candidate ranking --------------------------------------------------------

TEST_F(AssessmentEngineTest, PlanQueueSortsUnsigned)
{
    PlanRecord a, b, c;
    a.Priority = 0xFFFFFFFFu;
    b.Priority = 3;
    c.Priority = 120;
    Shared().PlanQueue = {&a, &b, &c};
    Assessment().SortPlanQueue();
    EXPECT_EQ(QueuedPriorities(), (std::vector<std::uint32_t>{3, 120, 0xFFFFFFFFu}));
}

TEST_F(AssessmentEngineTest, ActiveShipsRankByTheirPlanAgainstTheTarget)
{
    Shared().Target = Player(ann);
    SetPlan(ann, 1, 4, 50);
    SetPlan(ann, 2, 4, 10);
    auto ids = [&] {
        std::vector<std::uint32_t> out;
        for (const CShip* ship : Assessment().GetActiveShipsRanked()) out.push_back(ship->GetShipId());
        return out;
    };
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{2, 1}));

    // Short of fuel: out, unless it can still lay a mine.
    com->GetShip(1)->GetProfile().Condition = ShipStatusFuelShortage;
    com->GetShip(2)->GetProfile().Condition = ShipStatusFuelShortage;
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{2}));
    com->GetShip(2)->GetProfile().WeaponStock = 0;
    EXPECT_TRUE(ids().empty());

    com->GetShip(1)->GetProfile().Condition = ShipStatusNormal;
    Assessment().GetPlans(ann->GetId()).erase(1);
    ExpectMissingKey([&] { Assessment().GetActiveShipsRanked(); }, "ship without a plan");
    ExpectMissingKey([&] { Assessment().GetPlans(77); }, "unknown side");
}

TEST_F(AssessmentEngineTest, SinkingShipsRankByAttacksOrHitPoints)
{
    CShip* sub = ships.CreateShip(com, ShipTypeSubmarine, board.GetPanel(2, 3));
    ASSERT_NE(sub, nullptr);
    Sink(1);
    Sink(sub->GetShipId());
    com->GetShip(1)->GetProfile().Fp = 10; // one battleship attack
    sub->GetProfile().Fp = 32;             // two submarine attacks
    InferenceRecord& rivals = Game().GetInferenceTable().GetRivals();
    auto ids = [&] {
        std::vector<std::uint32_t> out;
        for (const CShip* ship : Assessment().GetSinkingShipsRanked()) out.push_back(ship->GetShipId());
        return out;
    };
    rivals.AttackScore = 3;
    rivals.HealthScore = 0;
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{sub->GetShipId(), 1}));
    rivals.AttackScore = 1;
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1, sub->GetShipId()}));
}

TEST_F(AssessmentEngineTest, KnownFreePanelsLeaveOutOwnShipsAfloatAndUnknownPanels)
{
    const std::uint32_t me = com->GetId();
    // Known to COM: its battleship's panel, its sunk destroyer's panel, an
    // open panel, a reef and Ann's panel; one panel revealed to all; one
    // known to Ann only.
    for (const MapPos& pos : {MapPos(1, 1), MapPos(1, 2), MapPos(1, 3), MapPos(2, 3), MapPos(4, 4)})
        board.GetPanel(pos)->AddKnownUnit(me);
    board.GetPanel(2, 3)->SetType(PanelReef);
    board.GetPanel(3, 3)->SetRevealed(true);
    board.GetPanel(5, 5)->AddKnownUnit(ann->GetId());
    Sink(2);

    std::vector<MapPos> found;
    for (const CPanel* panel : Assessment().GetKnownFreePanels()) found.push_back(panel->GetPos());
    EXPECT_EQ(found, (std::vector<MapPos>{MapPos(1, 2), MapPos(1, 3), MapPos(3, 3), MapPos(4, 4)}));
}

} // namespace Marevane::ComputerAI::Testing
