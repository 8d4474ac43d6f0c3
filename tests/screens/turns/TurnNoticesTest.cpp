// The battle map between commands: what each turn code shows and starts,
// the computer's turn on its own thread, and the turn clock's limits.
#include "gui/Popups.h"
#include "model/MessageCodes.h"
#include "model/Unit.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/TimerBar.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/turns/TurnsFixture.h"

#include <QElapsedTimer>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct NoticeCase {
    const char* name;
    MessageCode code;
    std::size_t current;     // the side to move
    std::uint32_t annType;   // how this machine's side is played
    std::uint32_t annOrigin; // 0 on the host, 1 from a network client
    const char* notice;      // the notice shown, or its end
    MessageCode reported;    // what the scene reports afterwards (0: nothing)
};

void PrintTo(const NoticeCase& c, std::ostream* os)
{
    *os << c.name;
}

class TurnNoticeTable : public TurnsTest, public ::testing::WithParamInterface<NoticeCase> {};

TEST_P(TurnNoticeTable, TheCodeShowsItsNoticeAndMovesTheBattleOn)
{
    const NoticeCase& c = GetParam();
    CSlowBrain::ThinkMs = 10;
    Ann()->SetUnitType(c.annType);
    UnitProfile profile = Ann()->GetProfile();
    profile.OriginFlag = c.annOrigin;
    Ann()->SetProfile(profile);
    turns.SetCurrent(world.Side(c.current)->GetId());
    SignalSpy sent(scene.get(), &CGameMapScene::MessageSent);

    scene->Update(c.code);

    EXPECT_TRUE(Notice().endsWith(QString::fromUtf8(c.notice))) << Notice().toStdString();
    if (c.reported != 0) {
        ASSERT_TRUE(WaitUntil([&] { return CountReported(c.reported) > 0; }, 3000));
    }
    // Nothing more comes later: the next turn starts once, the computer decides once.
    QTest::qWait(ScaledMs(ScreenTiming::Notice) + 100);
    std::vector<MessageCode> expected;
    if (c.reported != 0) expected.push_back(c.reported);
    if (c.code == BattleStarts) expected.clear(); // the start waits for the player's confirmation
    EXPECT_EQ(Reported(), expected);

    switch (c.code) {
    case BattleStarts:
        for (CShipIcon* icon : scene->GetShipIcons()) EXPECT_FALSE(icon->IsDraggable());
        // Only the machine that runs the battle reports a lost time.
        EXPECT_EQ(scene->GetTimerBar()->signalsBlocked(), c.annOrigin == HostClient);
        break;
    case TurnStarts:
        EXPECT_EQ(scene->GetTimerBar()->GetTimer(), &world.Side(c.current)->GetTimer());
        // Only this machine's human player gets to command.
        EXPECT_EQ(scene->GetInputManager()->GetState(), c.current == 0 && c.annType == UnitManual
                                                            ? CCommandInputManager::StateWaitingPanel
                                                            : CCommandInputManager::StateDisabled);
        EXPECT_EQ(scene->GetTurnInfoBar()->GetText(),
                  QString("Round1 Turn1: ") + (c.current == 0 ? QString("Ann") : QString("Bea")));
        break;
    case InvalidDisconnection:
        ASSERT_EQ(sent.count(), 1);
        EXPECT_TRUE(sent.at(0).at(0).toString().startsWith("\n"));
        EXPECT_TRUE(sent.at(0).at(0).toString().endsWith("This battle will end."));
        break;
    default:
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, TurnNoticeTable,
    ::testing::Values(
        NoticeCase{"BattleStartsOnTheHost", BattleStarts, 0, UnitManual, HostServer,
                   "Press \"Start Battle\" or Enter key to start this battle.", 0},
        NoticeCase{"BattleStartsOnAClient", BattleStarts, 0, UnitManual, HostClient,
                   "Press \"Start Battle\" or Enter key to start this battle.", 0},
        NoticeCase{"ManualTurnStarts", TurnStarts, 0, UnitManual, HostServer, "Ann's turn starts.", 0},
        NoticeCase{"ComputerTurnStarts", TurnStarts, 0, UnitAuto, HostServer, "Ann's turn starts.",
                   CommandSent},
        NoticeCase{"RivalsTurnStarts", TurnStarts, 1, UnitManual, HostServer, "Bea's turn starts.", 0},
        NoticeCase{"TurnEndsOnTheHost", TurnEnds, 0, UnitManual, HostServer, "Ann's turn ends.", TurnStarts},
        NoticeCase{"TurnEndsOnAClient", TurnEnds, 0, UnitManual, HostClient, "Ann's turn ends.", 0},
        NoticeCase{"Disconnection", InvalidDisconnection, 0, UnitManual, HostServer, "This battle will end.",
                   0}),
    [](const ::testing::TestParamInfo<NoticeCase>& info) { return std::string(info.param.name); });

TEST_F(TurnsTest, NoTurnStartsAfterTheBattleBrokeOff)
{
    scene->Update(TurnEnds);
    scene->Update(InvalidDisconnection);
    QTest::qWait(ScaledMs(ScreenTiming::Notice) + 100);
    EXPECT_TRUE(Reported().empty());
}

TEST_F(TurnsTest, AComputerTurnRunsOnItsOwnThreadToTheEnd)
{
    CSlowBrain::ThinkMs = 30;
    MakeComputer(Ann());
    scene->Update(TurnStarts);
    QThread* thread = scene->GetComputerThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(thread, QThread::currentThread());
    EXPECT_TRUE(scene->IsComputerTurnRunning());

    ASSERT_TRUE(WaitUntil([&] { return CountReported(CommandSent) == 1; }, 3000));
    EXPECT_EQ(Ann()->GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
    // The thread and its controller go once the decision is made.
    EXPECT_TRUE(WaitUntil([&] { return scene->GetComputerThread() == nullptr; }, 3000));
    EXPECT_FALSE(scene->IsComputerTurnRunning());
    EXPECT_EQ(CSlowBrain::Decisions.load(), 1);
}

TEST_F(TurnsTest, ADecisionThatComesAfterTheTimeIsUpIsIgnored)
{
    CSlowBrain::ThinkMs = 5000;
    MakeComputer(Ann());
    scene->Update(TurnStarts);
    ASSERT_NE(scene->GetComputerThread(), nullptr);
    QTest::qWait(20);

    scene->Update(TimeUp);
    // The brain stops thinking at the request; its decision is not reported.
    ASSERT_TRUE(WaitUntil([&] { return scene->GetComputerThread() == nullptr; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(CountReported(CommandSent), 0);

    // The next turn's decision is reported, once.
    CSlowBrain::ThinkMs = 10;
    scene->Update(TurnStarts);
    ASSERT_TRUE(WaitUntil([&] { return CountReported(CommandSent) == 1; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(CountReported(CommandSent), 1);
}

TEST_F(TurnsTest, AComputerTurnStartedAgainLeavesTheFirstDecisionUnreported)
{
    CSlowBrain::ThinkMs = 5000;
    MakeComputer(Ann());
    scene->Update(TurnStarts);
    QThread* first = scene->GetComputerThread();
    ASSERT_NE(first, nullptr);
    CSlowBrain::ThinkMs = 40;
    scene->Update(TurnStarts);
    EXPECT_NE(scene->GetComputerThread(), first);
    ASSERT_TRUE(WaitUntil([&] { return CountReported(CommandSent) == 1; }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return scene->GetComputerThread() == nullptr; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(CountReported(CommandSent), 1);
}

TEST_F(TurnsTest, LeavingTheMapDuringAComputerTurnStopsAndWaitsForIt)
{
    CSlowBrain::ThinkMs = 10000;
    MakeComputer(Ann());
    scene->Update(TurnStarts);
    ASSERT_NE(scene->GetComputerThread(), nullptr);
    QTest::qWait(20);
    QElapsedTimer clock;
    clock.start();
    notified.reset();
    scene.reset(); // would abort if the thread were still running
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST_F(TurnsTest, AComputerSideRefusedThreeTimesInARowPasses)
{
    CSlowBrain::ThinkMs = 10000;
    MakeComputer(Ann());
    Command(Ann(), CommandAttack, battleship, DirectionEast);
    scene->Update(TurnStarts);
    const MessageCode refusal = 75;
    scene->Update(refusal);
    scene->Update(refusal);
    EXPECT_EQ(CountReported(CommandSent), 0);
    EXPECT_NE(scene->GetComputerThread(), nullptr); // thinking again
    scene->Update(refusal);
    ASSERT_EQ(Reported(), std::vector<MessageCode>{CommandSent});
    EXPECT_EQ(Ann()->GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
    ASSERT_TRUE(WaitUntil([&] { return scene->GetComputerThread() == nullptr; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(Reported(), std::vector<MessageCode>{CommandSent});
}

TEST_F(TurnsTest, ARefusedCommandOfThePlayerLetsItCommandAgain)
{
    Ann()->GetTimer().Reset(60000);
    scene->Update(TurnStarts);
    scene->Update(CommandSent);
    ASSERT_FALSE(scene->GetTimerBar()->IsTicking());
    const MessageCode refusal = 75;
    scene->Update(refusal);
    EXPECT_EQ(scene->GetInputManager()->GetState(), CCommandInputManager::StateWaitingPanel);
    EXPECT_TRUE(scene->GetTimerBar()->IsTicking());
    EXPECT_FALSE(Notice().isEmpty());
    EXPECT_EQ(scene->GetComputerThread(), nullptr);
    EXPECT_TRUE(Reported().empty());
}

TEST_F(TurnsTest, AWatcherJoiningARunningBattleSeesItsWeaponsAndTheTurn)
{
    ASSERT_NE(world.LayMine(destroyer, world.Panel(2, 4)), nullptr);
    ASSERT_NE(world.FireTorpedo(submarine, world.Panel(1, 4)), nullptr);
    // The audience watches from another machine.
    CUnit* watcher = world.AddWatcher();
    UnitProfile profile = watcher->GetProfile();
    profile.OriginFlag = HostClient;
    watcher->SetProfile(profile);
    scene->SetPlayer(watcher);
    turns.SetCurrent(Bea()->GetId());
    scene->Update(46);
    EXPECT_EQ(scene->GetMineIcons().size(), 1);
    ASSERT_EQ(scene->GetTorpedoIcons().size(), 1);
    EXPECT_TRUE(scene->GetTorpedoIcons().front()->isVisible());
    EXPECT_EQ(scene->GetShipIcons().size(), 4u); // every side's ships
    EXPECT_EQ(scene->GetTurnInfoBar()->GetText(), QString("Round1 Turn1: Bea"));
    EXPECT_EQ(Notice(), QString("Bea's turn starts."));
    // A watcher reports no time-outs and plays no side.
    EXPECT_TRUE(scene->GetTimerBar()->signalsBlocked());
    EXPECT_EQ(scene->GetComputerThread(), nullptr);
}

TEST_F(TurnsTest, ABattleWithoutTimeLimitStaysWithoutOne)
{
    Ann()->GetTimer().Reset(0);
    SignalSpy lost(scene->GetTimerBar(), &CTimerBar::TimeLost);
    for (int turn = 0; turn < 2; ++turn) {
        scene->Update(TurnStarts);
        scene->Update(CommandSent);
        scene->Update(TurnEnds);
        EXPECT_FALSE(Ann()->GetTimer().HasLimit());
    }
    scene->Update(TurnStarts);
    QTest::qWait(ScaledMs(3000));
    EXPECT_EQ(lost.count(), 0);
    EXPECT_EQ(scene->GetTimerBar()->GetText(), QString("- : - : - "));
}

TEST_F(TurnsTest, ATurnEndGivesALimitedClockItsRemainderAndOneWorker)
{
    Ann()->GetTimer().Reset(30000);
    scene->Update(TurnStarts);
    scene->Update(CommandSent);
    ASSERT_FALSE(Ann()->GetTimer().IsRunning()); // the bar stopped it
    scene->Update(TurnEnds);
    EXPECT_TRUE(Ann()->GetTimer().HasLimit());
    EXPECT_TRUE(Ann()->GetTimer().IsRunning());
    EXPECT_GT(Ann()->GetTimer().GetTimeLimit(), 29000);
    EXPECT_LE(Ann()->GetTimer().GetTimeLimit(), 30000);
    // A second end does not launch a second worker loop.
    scene->Update(TurnEnds);
    EXPECT_TRUE(Ann()->GetTimer().IsRunning());
}

} // namespace
