#include "InferenceFixture.h"

#include "ai/VirtualPlayer.h"

namespace Marevane::ComputerAI::Testing {
namespace {

using Rows = std::vector<std::string>;

// Cid's battleship at (3,6) fires west at (3,5): Ann's battleship at (4,4)
// sees a near miss, every other ship a miss.
TEST_F(InferenceFixture, AnAttackNarrowsTheBoardsOfTheShipsItMissed)
{
    Attack(cid, 1, DirectionWest);
    Think();
    const Rows nearMiss{"000000", "000111", "000101", "000111", "000000", "000000"};
    const Rows missed{"111111", "111000", "111000", "111000", "111111", "111111"};
    EXPECT_EQ(FlagsOf(BoardOf(ann, 1)), nearMiss);
    EXPECT_EQ(FlagsOf(BoardOf(bea, 1)), missed);
    EXPECT_EQ(FlagsOf(BoardOf(com, 1)), missed);
    EXPECT_EQ(FlagsOf(BoardOf(com, 2)), missed);
    // A normal computer takes the attack to come from next to its target,
    // whichever of the attacker's ships fired.
    EXPECT_EQ(FlagsOf(BoardOf(cid, 1)), nearMiss);
    EXPECT_EQ(FlagsOf(BoardOf(cid, 2)), nearMiss);
    // The secondary board: where any afloat ship of the side may be.
    EXPECT_EQ(FlagsOf(*game->GetPlayer(1)->GetSecondaryBoard()), nearMiss);
}

TEST_F(InferenceFixture, AHitPinsTheShipAndASinkingClearsItsBoard)
{
    Move(ann, 1, DirectionEast, 1); // to (4,5)
    Attack(cid, 1, DirectionSouthWest);
    Think();
    EXPECT_EQ(FlagsOf(BoardOf(ann, 1)), (Rows{"000000", "000000", "000000", "000010", "000000", "000000"}));

    ann->GetShip(1)->GetProfile().Hp = 1;
    Attack(cid, 1, DirectionSouthWest);
    Think();
    EXPECT_EQ(BoardOf(ann, 1).GetCandidateCount(), 0u);
    EXPECT_TRUE(game->IsShipSunk(1, 1));
    EXPECT_EQ(game->GetPlayer(1)->GetSecondaryBoard()->GetCandidateCount(), 0u);
}

// Each reaction to an attack on a copy of a real record whose target ship's
// profile shows the case.
TEST_F(InferenceFixture, TheTargetShipsProfileSelectsTheReaction)
{
    Attack(cid, 1, DirectionWest); // at (3,5)
    StartThinking();
    struct Case {
        const char* Name;
        std::uint32_t Event;
        std::uint32_t Status;
        std::uint32_t Condition;
        std::vector<MapPos> Before; // empty: every panel
        Rows Expected;
    };
    const Rows all{"111111", "111111", "111111", "111111", "111111", "111111"};
    const Rows noCentre{"111111", "111111", "111101", "111111", "111111", "111111"};
    const Rows ring{"000000", "000111", "000101", "000111", "000000", "000000"};
    const Rows away{"111111", "111000", "111000", "111000", "111111", "111111"};
    const Rows centre{"000000", "000000", "000010", "000000", "000000", "000000"};
    const Rows none{"000000", "000000", "000000", "000000", "000000", "000000"};
    const Rows corner{"100000", "000000", "000000", "000000", "000000", "000000"};
    const Rows nextTo{"000000", "000000", "000000", "000100", "000000", "000000"};
    const std::vector<Case> cases{
        {"miss", EventMissed, ShipStatusNormal, 0, {}, away},
        {"miss on a stealthed ship", EventMissed, ShipStatusStealth, 0, {}, noCentre},
        {"miss that would rule out every panel", EventMissed, ShipStatusNormal, 0, {{4, 4}}, nextTo},
        {"hit", EventDamaged, ShipStatusNormal, 0, {}, centre},
        {"hit that contradicts the board", EventDamaged, ShipStatusNormal, 0, {{1, 1}}, centre},
        {"sunk", EventSunk, ShipStatusNormal, 0, {}, none},
        {"near miss", EventNearMiss, ShipStatusNormal, 0, {}, ring},
        {"near miss on a stealthed ship", EventNearMiss, ShipStatusStealth, 0, {}, noCentre},
        {"near miss that would rule out every panel", EventNearMiss, ShipStatusNormal, 0, {{1, 1}}, corner},
        {"nothing, sinking", 0, ShipStatusNormal, ShipStatusSinking, {}, none},
        {"nothing", 0, ShipStatusNormal, 0, {{1, 1}}, corner},
        // The board the observation empties is reset and read once more.
        {"miss on a stealthed ship seen only there", EventMissed, ShipStatusStealth, 0, {{3, 5}}, noCentre},
        {"nothing on an empty board", 0, ShipStatusNormal, 0, {{0, 0}}, all},
    };
    CVirtualPlayer& player = *game->GetPlayer(1);
    for (const Case& c : cases) {
        ResultMessage record = LastCommandOf(cid);
        ActionInfo& action = record.Actions.front();
        ShipProfile& target = action.Ships.at(1).front();
        target.LastEvent = c.Event;
        target.Status = c.Status;
        target.Condition = c.Condition;
        CVirtualBoard& b = BoardOf(ann, 1);
        b.Reset();
        if (!c.Before.empty()) Keep(b, c.Before);
        engine->EvaluateAttackResponse(player, 1, record, action);
        EXPECT_EQ(FlagsOf(b), c.Expected) << c.Name;
    }
}

TEST_F(InferenceFixture, AnActionThatIsNoAttackOrLacksTheShipChangesNothing)
{
    Attack(cid, 1, DirectionWest);
    StartThinking();
    ResultMessage record = LastCommandOf(cid);
    CVirtualPlayer& player = *game->GetPlayer(1);
    ActionInfo move = record.Actions.front();
    move.Command = CommandMove;
    engine->EvaluateAttackResponse(player, 1, record, move);
    ActionInfo blind = record.Actions.front();
    blind.Ships.erase(1);
    engine->EvaluateAttackResponse(player, 1, record, blind);
    EXPECT_EQ(BoardOf(ann, 1).GetCandidateCount(), 36u);
}

TEST_F(InferenceFixture, AnUnknownSenderEndsTheBoardPass)
{
    Attack(cid, 1, DirectionWest);
    StartThinking();
    ResultMessage stranger = LastCommandOf(cid);
    stranger.Sender.Id = 9;
    ExpectMissingKey([&] { engine->UpdateBoards(1, {&stranger}); }, "sender 9");
}

// The own destroyer at (1,2) moves south 2: the side's picture of it moves along.
TEST_F(InferenceFixture, AnOwnMoveShiftsThatShipsBoardsOnly)
{
    Move(com, 2, DirectionSouth, 2);
    Think();
    const Rows shifted{"000000", "000000", "111111", "111111", "111111", "111111"};
    EXPECT_EQ(FlagsOf(BoardOf(com, 2)), shifted);
    EXPECT_EQ(FlagsOf(*game->GetPlayer(3)->GetTorpedoBoard(2)), shifted);
    EXPECT_EQ(BoardOf(com, 1).GetCandidateCount(), 36u);
    EXPECT_EQ(game->GetPlayer(3)->GetTorpedoBoard(1)->GetCandidateCount(), 36u);
}

TEST_F(InferenceFixture, TheMoversProfileSelectsHowItsBoardFollows)
{
    Move(com, 2, DirectionSouth, 2);
    StartThinking();
    struct Case {
        const char* Name;
        std::int32_t Mode;
        std::uint32_t Status;
        std::uint32_t Condition;
        std::uint32_t Event;
        std::vector<MapPos> Before;
        Rows Expected;
    };
    const std::vector<Case> cases{
        {"plain move",
         ModeNormal,
         ShipStatusNormal,
         0,
         0,
         {{1, 2}},
         {"000000", "000000", "010000", "000000", "000000", "000000"}},
        {"stopped by a reef",
         ModeNormal,
         ShipStatusNormal,
         0,
         EventReefStop,
         {{1, 2}},
         {"010000", "010000", "000000", "000000", "000000", "000000"}},
        {"stealthed, normal computer",
         ModeNormal,
         ShipStatusStealth,
         0,
         0,
         {{1, 2}},
         {"101111", "010000", "010000", "010000", "010000", "010000"}},
        {"stealthed, easy computer",
         ModeEasy,
         ShipStatusStealth,
         0,
         0,
         {{1, 2}},
         {"111111", "111111", "111111", "111111", "111111", "111111"}},
        {"sunk on the way",
         ModeNormal,
         ShipStatusNormal,
         ShipStatusSinking,
         0,
         {{1, 2}},
         {"000000", "000000", "000000", "000000", "000000", "000000"}},
    };
    for (const Case& c : cases) {
        SetMode(c.Mode);
        ResultMessage record = LastCommandOf(com);
        ActionInfo& action = record.Actions.front();
        ShipProfile& mover = action.Ships.at(3).back();
        ASSERT_EQ(mover.ShipId, 2u);
        mover.Status = c.Status;
        mover.Condition = c.Condition;
        mover.LastEvent = c.Event;
        CVirtualBoard& b = BoardOf(com, 2);
        b.Reset();
        Keep(b, c.Before);
        engine->EvaluateMoveCommand(2, record, action);
        EXPECT_EQ(FlagsOf(b), c.Expected) << c.Name;
        // The move of another ship leaves the board alone.
        CVirtualBoard& other = BoardOf(com, 1);
        other.Reset();
        engine->EvaluateMoveResult(other, 1, record, action);
        EXPECT_EQ(other.GetCandidateCount(), 36u) << c.Name;
    }
}

// The destroyer's move south 2 ran onto a mine; where the mine lay tells
// where the ship can have gone on.
TEST_F(InferenceFixture, AMineHitOnTheWayNarrowsTheMoversBoard)
{
    Move(com, 2, DirectionSouth, 2);
    StartThinking();
    struct Case {
        const char* Name;
        MapPos First;
        MapPos Hit; // the slot with both flags set
        Rows Expected;
    };
    const std::vector<Case> cases{
        // From the mine on south for the rest of the distance (2 - 1).
        {"mine where the first slot says",
         {2, 2},
         {2, 2},
         {"000000", "000000", "010000", "000000", "000000", "000000"}},
        // An offset of (2,-2) sums to 0 and shortens nothing.
        {"slots apart by (2,-2)",
         {1, 4},
         {3, 2},
         {"000000", "000000", "010000", "010000", "000000", "000000"}},
    };
    for (const Case& c : cases) {
        ResultMessage record = LastCommandOf(com);
        ActionInfo& action = record.Actions.front();
        ShipProfile& mover = action.Ships.at(3).back();
        mover.MineHits[0].VictimUnitId = 3;
        mover.MineHits[0].IsExploded = true;
        mover.MineHits[0].Pos = c.First;
        mover.MineHits[1].VictimUnitId = 3;
        mover.MineHits[1].IsPlaced = true;
        mover.MineHits[1].IsExploded = true;
        mover.MineHits[1].Pos = c.Hit;
        CVirtualBoard& b = BoardOf(com, 2);
        b.Reset();
        engine->EvaluateMoveCommand(2, record, action);
        EXPECT_EQ(FlagsOf(b), c.Expected) << c.Name;
    }
}

TEST_F(InferenceFixture, ReinforcementWeighsTheSidesAttackedPanelsOnlyForTheStrongest)
{
    Attack(cid, 1, DirectionWest); // at (3,5)
    Play(ann, Pass());
    StartThinking();
    const auto recent = engine->GetLog();
    const ResultMessage& later = *recent.back();
    CVirtualPlayer& cidPlayer = *game->GetPlayer(4);
    for (const std::int32_t mode : {ModeHard, ModeVeryHard}) {
        SetMode(mode);
        CVirtualBoard& second = *cidPlayer.GetSecondBoard(2);
        second.Reset();
        engine->EvaluateReinforcement(recent, later, cidPlayer, 2);
        const std::int32_t flag = second.GetVirtualPanel(board.GetPanel(3, 5))->GetFlag();
        EXPECT_EQ(flag, mode == ModeHard ? 1 : 8) << mode;
        EXPECT_EQ(second.GetCandidateCount(), 36u);
        EXPECT_EQ(second.GetFlagTotal(), mode == ModeHard ? 36 : 35 + 8);
    }
}

// A hard computer attributes the attack instead: both of Cid's ships may
// have fired, and each keeps the panels next to the target, weighed twice.
TEST_F(InferenceFixture, AHardComputerAttributesAttacksInsteadOfTheSimpleTest)
{
    SetMode(ModeHard);
    Attack(cid, 1, DirectionWest);
    Think();
    const Rows twice{"000000", "000222", "000202", "000222", "000000", "000000"};
    EXPECT_EQ(FlagsOf(BoardOf(cid, 1)), twice);
    EXPECT_EQ(FlagsOf(BoardOf(cid, 2)), twice);
}

// Ann hits Cid's destroyer at (5,6), which pins it; then Cid fires at (3,5),
// which only the battleship can have done.
TEST_F(InferenceFixture, AnAttackOnlyOneShipCanHaveMadeIsThatShips)
{
    SetMode(ModeHard);
    Move(ann, 1, DirectionEast, 1); // to (4,5)
    Attack(ann, 1, DirectionSouthEast);
    Attack(cid, 1, DirectionWest);
    Think();
    EXPECT_EQ(FlagsOf(BoardOf(cid, 2)), (Rows{"000000", "000000", "000000", "000000", "000001", "000000"}));
    // The miss at (5,6) ruled out its ring for the battleship; the rest of
    // the ring round (3,5) stays, weighed twice.
    EXPECT_EQ(FlagsOf(BoardOf(cid, 1)), (Rows{"000000", "000222", "000202", "000200", "000000", "000000"}));
}

TEST_F(InferenceFixture, ASideOutOfTheBattleGetsNoAttribution)
{
    SetMode(ModeHard);
    Attack(cid, 1, DirectionWest);
    Play(cid, Order(CommandResign, 1, DirectionNone));
    Think();
    ASSERT_FALSE(game->GetPlayer(4)->IsAlive());
    // The simple test would have narrowed these; attribution would have
    // doubled them; a resigned side keeps the plain board.
    EXPECT_EQ(BoardOf(cid, 2).GetCandidateCount(), 36u);
}

} // namespace
} // namespace Marevane::ComputerAI::Testing
