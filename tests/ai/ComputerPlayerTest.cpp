#include "ComputerFixture.h"

#include "ai/ModeTables.h"
#include "ai/VirtualGame.h"
#include "model/CodeTables.h"

#include <map>

namespace Marevane::ComputerAI::Testing {

namespace {

// The weights of a board laid out as rows of digits, '-' for a panel that
// is not offered.
std::vector<std::string> WeightRows(const CComputerPlayer& brain, ShipType type, const CBoard& board)
{
    std::vector<std::string> rows(board.GetRows(), std::string(board.GetColumns(), '-'));
    for (const auto& [panel, weight] : brain.GetPlacementWeights(type))
        rows[panel->GetX() - 1][panel->GetY() - 1] = static_cast<char>('0' + weight);
    return rows;
}

// One computer side alone on a board of its own size.
struct SmallBattle {
    SmallBattle(std::uint32_t rows, std::uint32_t columns)
    {
        board.Resize(rows, columns);
        unit = units.CreateUnit(UnitProfile(9, UnitAuto, 0, L"Lone", L"", "127.0.0.1", ModeNormal));
    }
    CComputerPlayer& Brain() const { return dynamic_cast<CComputerPlayer&>(*unit->GetBrain()); }

    CBoard board;
    CGameEdit rules;
    CShipFactory ships{&board, &rules};
    CUnitFactory units{&board, &rules};
    CUnit* unit = nullptr;
};

} // namespace

TEST(ModeTables, LevelsAndNames)
{
    struct Row {
        unsigned index;
        std::int32_t mode;
        const wchar_t* name;
    };
    const Row rows[] = {{0, -10, L"VERY EASY"}, {1, -6, L"EASY"},    {2, 0, L"NORMAL"}, {3, 10, L"HARD"},
                        {4, 16, L"VERY HARD"},  {5, 30, L"EXTREME"}, {6, 0, L"NORMAL"}, {99, 0, L"NORMAL"}};
    for (const Row& row : rows) {
        const Mode mode = CModeMap::GetInstance().Get(row.index);
        EXPECT_EQ(mode, row.mode) << row.index;
        EXPECT_EQ(CModeNames::GetInstance().Get(mode), row.name) << row.index;
    }
    EXPECT_EQ(CModeNames::GetInstance().Get(static_cast<Mode>(5)), L"Undefined");
}

class ComputerPlayerTest : public ComputerFixture {};

TEST_F(ComputerPlayerTest, ComputerUnitsGetTheFullBrainOnlyWhileInstalled)
{
    EXPECT_NE(dynamic_cast<CComputerPlayer*>(com->GetBrain()), nullptr);
    EXPECT_EQ(ann->GetBrain(), nullptr);
    UninstallComputerAI();
    com->SetUnitType(UnitAuto);
    EXPECT_NE(dynamic_cast<CPlainComputerAI*>(com->GetBrain()), nullptr);
}

TEST_F(ComputerPlayerTest, FirstShipWeighsTheCentralBandLighter)
{
    struct Case {
        std::uint32_t rows, columns, row;
        std::string expected;
    };
    const Case cases[] = {{5, 5, 0, "44444"},     {5, 5, 2, "42224"},     {6, 6, 2, "442244"},
                          {6, 6, 1, "444444"},    {7, 7, 2, "4422244"},   {8, 9, 3, "444222444"},
                          {8, 9, 2, "444444444"}, {8, 9, 4, "444222444"}, {8, 9, 5, "444444444"}};
    for (const Case& c : cases) {
        SmallBattle small(c.rows, c.columns);
        EXPECT_EQ(WeightRows(small.Brain(), ShipTypeBattleship, small.board).at(c.row), c.expected)
            << c.rows << "x" << c.columns << " row " << c.row;
    }
}

TEST_F(ComputerPlayerTest, ShipsBesideTheFleetWeighLessAndOilersMore)
{
    // The computer's battleship stands at (1,1) and destroyer at (1,2).
    const std::vector<std::string> battleship = WeightRows(Brain(), ShipTypeBattleship, board);
    EXPECT_EQ(battleship[0], "--1444");
    EXPECT_EQ(battleship[1], "001444"); // (2,1) and (2,2) touch both ships
    const std::vector<std::string> oiler = WeightRows(Brain(), ShipTypeOiler, board);
    EXPECT_EQ(oiler[0], "--<444"); // 12 beside one ship outside the band
    EXPECT_EQ(oiler[1], "TT<444"); // 36 beside both ships
}

TEST_F(ComputerPlayerTest, OilerBesideOneShipInTheBandWeighsFour)
{
    SmallBattle small(6, 6);
    small.ships.CreateShip(small.unit, ShipTypeBattleship, small.board.GetPanel(3, 3));
    const std::vector<std::string> oiler = WeightRows(small.Brain(), ShipTypeOiler, small.board);
    EXPECT_EQ(oiler[2], "4<-444"); // (3,2) outside the band: 12; (3,4) inside: 4
    EXPECT_EQ(oiler[3][3], '4');
    EXPECT_EQ(oiler[1][1], '<');
}

TEST_F(ComputerPlayerTest, PlacementNeverLandsOnATakenOrZeroWeightPanel)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> seen;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        SeedRandom(seed);
        const MapPos pos = Brain().ChooseShipPosition(ShipTypeBattleship);
        ++seen[{pos.x, pos.y}];
    }
    for (const auto& zero : {std::make_pair(1u, 1u), {1u, 2u}, {2u, 1u}, {2u, 2u}})
        EXPECT_EQ(seen.count(zero), 0u) << zero.first << "," << zero.second;
    EXPECT_GT(seen.size(), 10u);
}

TEST_F(ComputerPlayerTest, FullBoardFallsBackToAFreePanel)
{
    SmallBattle small(5, 5);
    for (CSeaPanel& panel : small.board.GetSeaPanels()) {
        if (panel.GetX() != 1 || panel.GetY() > 3) panel.SetType(PanelReef);
    }
    small.ships.CreateShip(small.unit, ShipTypeBattleship, small.board.GetPanel(1, 1));
    small.ships.CreateShip(small.unit, ShipTypeBattleship, small.board.GetPanel(1, 3));
    // The middle panel touches both ships: weight 0, so the fallback draws.
    EXPECT_EQ(WeightRows(small.Brain(), ShipTypeBattleship, small.board)[0], "-0---");
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        const MapPos pos = small.Brain().ChooseShipPosition(ShipTypeBattleship);
        EXPECT_EQ(pos.x, 1u);
        EXPECT_EQ(pos.y, 2u);
    }
}

TEST_F(ComputerPlayerTest, EasyLevelsPlaceAtRandomAndNormalByWeight)
{
    // Beside both ships the weight is 0: only a random draw can land there.
    auto landsBesideBoth = [&](std::int32_t mode) {
        SetLevel(com, mode);
        for (std::uint32_t seed = 1; seed <= 400; ++seed) {
            SeedRandom(seed);
            const MapPos pos = com->ChooseShipPosition(ShipTypeBattleship);
            if (pos.x == 2 && pos.y <= 2) return true;
        }
        return false;
    };
    EXPECT_TRUE(landsBesideBoth(ModeEasy));
    EXPECT_TRUE(landsBesideBoth(ModeVeryEasy));
    EXPECT_FALSE(landsBesideBoth(ModeNormal));
}

TEST_F(ComputerPlayerTest, FlagshipOddsFollowHitPoints)
{
    // Battleship 3 HP, destroyer 2 HP at the start.
    std::map<std::uint32_t, int> chosen;
    for (std::uint32_t seed = 1; seed <= 500; ++seed) {
        SeedRandom(seed);
        Brain().ChooseFlagship();
        ASSERT_TRUE(com->HasFlagship());
        ++chosen[com->GetProfile().FlagshipId];
    }
    const int hp1 = com->GetShip(1)->GetProfile().Hp;
    const int hp2 = com->GetShip(2)->GetProfile().Hp;
    ASSERT_GT(hp1, hp2);
    const double expected = 500.0 * hp1 / (hp1 + hp2);
    EXPECT_NEAR(chosen[1], expected, 60);
    EXPECT_EQ(chosen[1] + chosen[2], 500);
}

TEST_F(ComputerPlayerTest, BattleStartBuildsTheEnginesAndResetFreesThem)
{
    EXPECT_THROW(Brain().GetEngine(L"decision"), std::out_of_range);
    com->OnMessage(45);
    for (const wchar_t* name : {L"inference", L"assessment", L"decision"}) {
        CAIEngine& engine = Brain().GetEngine(name);
        EXPECT_EQ(engine.GetVirtualGame(), Brain().GetVirtualGame()) << name;
        EXPECT_EQ(engine.GetSharedData(), Brain().GetSharedData()) << name;
    }
    EXPECT_EQ(Brain().GetEngines().size(), 3u);
    EXPECT_EQ(Shared().DecisionKind, 1u);
    ExpectMissingKey([&] { Brain().GetEngine(L"strategy"); }, "unknown engine");
    // A second battle start replaces everything: a new blackboard with
    // nothing of the first battle, shared by three new engines.
    Shared().DecisionKind = 7;
    Shared().RetryCount = 4;
    Shared().TargetHistory.push_back(1);
    com->OnMessage(45);
    ASSERT_NE(Brain().GetVirtualGame(), nullptr);
    EXPECT_EQ(Shared().DecisionKind, 1u);
    EXPECT_EQ(Shared().RetryCount, 0u);
    EXPECT_TRUE(Shared().TargetHistory.empty());
    EXPECT_EQ(Brain().GetEngines().size(), 3u);
    for (const auto& [name, engine] : Brain().GetEngines()) {
        EXPECT_EQ(engine->GetVirtualGame(), Brain().GetVirtualGame());
        EXPECT_EQ(engine->GetSharedData(), Brain().GetSharedData());
    }
    Brain().Reset();
    EXPECT_EQ(Brain().GetVirtualGame(), nullptr);
    EXPECT_EQ(Brain().GetSharedData(), nullptr);
    EXPECT_TRUE(Brain().GetEngines().empty());
}

TEST_F(ComputerPlayerTest, RefusalsCountUpAndTurnStartClearsThem)
{
    com->OnMessage(45);
    com->OnMessage(51);
    com->OnMessage(75);
    com->OnMessage(96);
    EXPECT_EQ(Shared().RetryCount, 2u);
    EXPECT_EQ(GetMistakeCount(), 2u);
    com->OnMessage(52);
    com->OnMessage(87);
    EXPECT_EQ(Shared().RetryCount, 2u);
    com->OnMessage(51);
    EXPECT_EQ(Shared().RetryCount, 0u);
    EXPECT_EQ(GetMistakeCount(), 0u);
}

TEST_F(ComputerPlayerTest, LogWindowFollowsTheStrength)
{
    com->OnMessage(45);
    for (int i = 0; i < 25; ++i) PlayTurn(ann, Pass());
    const unsigned stored = Log().GetLogCount();
    ASSERT_GE(stored, 25u);
    struct Row {
        std::int32_t mode;
        unsigned count;
    };
    for (const Row& row : {Row{ModeVeryEasy, 10}, Row{ModeEasy, 14}, Row{ModeNormal, 20}}) {
        SetLevel(com, row.mode);
        const std::vector<const ResultMessage*> log = Brain().GetEngine(L"inference").GetLog();
        ASSERT_EQ(log.size(), row.count) << row.mode;
        EXPECT_EQ(log.back(), &Log().GetLog(1));
        EXPECT_EQ(log.front(), &Log().GetLog(row.count));
    }
    SetLevel(com, ModeExtreme);
    EXPECT_EQ(Brain().GetEngine(L"inference").GetLog().size(), std::min(50u, stored));
}

TEST_F(ComputerPlayerTest, ThinkEndsInACommandTheUnitAccepts)
{
    com->OnMessage(45);
    for (std::int32_t mode : {ModeVeryEasy, ModeEasy, ModeNormal, ModeHard, ModeVeryHard, ModeExtreme}) {
        SetLevel(com, mode);
        for (std::uint32_t seed = 1; seed <= 15; ++seed) {
            SeedRandom(seed);
            com->OnMessage(51);
            com->DecideCommand();
            EXPECT_TRUE(Brain().GetLastFailure().empty()) << Brain().GetLastFailure();
            const MessageCode code = com->CheckCommandInput();
            EXPECT_FALSE(IsErrorCode(code)) << "mode " << mode << " seed " << seed << " code " << code;
            EXPECT_EQ(Shared().PlanHistory.size(), Shared().KindHistory.size());
            EXPECT_EQ(Shared().PlanHistory.size(), Shared().TargetHistory.size());
        }
    }
}

TEST_F(ComputerPlayerTest, ThinkBeforeTheBattleStartsFallsBackToALegalCommand)
{
    com->OnMessage(51);
    com->DecideCommand();
    EXPECT_EQ(Brain().GetLastFailure(), MissingKeyText);
    EXPECT_FALSE(IsErrorCode(com->CheckCommandInput()));
}

TEST(AISharedData, ArchiveFilesNothingBeforeTheFirstPlan)
{
    CAISharedData shared;
    shared.ArchiveDecision();
    EXPECT_TRUE(shared.PlanHistory.empty());
    PlanRecord plan;
    plan.Kind = 4;
    plan.Priority = 101;
    shared.PlanQueue.push_back(&plan);
    shared.DecisionKind = 4;
    shared.ArchiveDecision();
    ASSERT_EQ(shared.PlanHistory.size(), 1u);
    EXPECT_EQ(shared.PlanHistory[0].Priority, 101u);
    EXPECT_EQ(shared.TargetHistory[0], CAISharedData::NoTarget);
    EXPECT_EQ(shared.KindHistory[0], 4u);
    EXPECT_TRUE(shared.PlanQueue.empty());
    // With a history, an empty queue files a default plan.
    shared.ArchiveDecision();
    ASSERT_EQ(shared.PlanHistory.size(), 2u);
    EXPECT_EQ(shared.PlanHistory[1].Priority, 0xFFFFFFFFu);
    EXPECT_EQ(shared.DecisionKind, 4u);
}

} // namespace Marevane::ComputerAI::Testing
