// The battle on a network client in the real screen flow against a
// scripted loopback host: the fleet sent, the battle data taken, the start
// confirmed, turns and results received, the client's own commands played,
// the verdict and the result screen, the replay consent both ways, the host
// lost in the middle of the battle, and a watcher that enters a battle under
// way or chooses "Watch Again" after the replay has begun.
#include "tests/screens/netbattle/NetBattleFixture.h"

#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/MessageCodes.h"
#include "model/TurnManager.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/BattleSequenceOnClient.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/CommandMenu.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/FleetFormationSequence.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"

#include <QPointer>

namespace Marevane::Testing {
namespace {

constexpr std::uint32_t Seed = 26;
constexpr int TurnTimeoutMs = 20000;

class ClientBattleTest : public BattleFlowTest {
  protected:
    void SetUp() override
    {
        BattleFlowTest::SetUp();
        control->GetMainWindow()->resize(1024, 640);
        SeedRandom(Seed);
        Rules()->SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
        GameEditInfo& info = Rules()->GetInfo();
        info.PlayerCount = 2;
        info.PlayerTypes = {UnitManual, UnitManual};
        info.TeamCount = 1;
        host = std::make_unique<ScriptedHost>(info);
        host->resultsShown = [this] { return resultsShown; };

        // As the connection screens leave it: the host's board and both
        // sides of the battle data, the local one known by its host id.
        control->GetBoard()->Build(host->world.board.GetMap());
        me = Units()->CreateLocalUnit(LocalType(), HostClient, L"Guest", L"");
        me->SetHostId(LocalHostId());
        Units()->CreateUnits({host->world.Local()->GetProfile(), host->world.Guest()->GetProfile()});
        ASSERT_TRUE(EnterAsGuest(host->world.server, *control->GetTcpClient(), host->port, info, LocalType(),
                                 LocalHostId()));
    }
    // This machine's side: the guest that plays, unless a test watches.
    virtual std::uint32_t LocalType() const { return UnitManual; }
    virtual std::uint64_t LocalHostId() const { return GuestHostId; }
    void TearDown() override
    {
        host.reset();
        BattleFlowTest::TearDown();
    }

    // The host steps while the client's screens run, until the condition
    // holds.
    bool Play(const std::function<bool()>& done, int timeoutMs = TurnTimeoutMs)
    {
        return WaitUntil(
            [&] {
                host->Pump();
                return done();
            },
            timeoutMs);
    }

    // Fleet formation entered from the rule settings, with its map and
    // message scenes at hand.
    void EnterFleetFormation()
    {
        Manager()->Push(new StandIn::CStandInSequence(SequenceType::RuleSettings, ModuleFlag::SceneSetUp));
        ASSERT_TRUE(Idle());
        Manager()->Push(CreateSequence(SequenceType::FleetFormation));
        ASSERT_TRUE(WaitFor<CFleetFormationSequence>());
        formation = qobject_cast<CFleetFormationSequence*>(Current());
        map = SceneOf<CGameMapScene>(SceneSlot::GameMap);
        messages = SceneOf<CMessageScene>(SceneSlot::Message);
        ASSERT_NE(map, nullptr);
        ASSERT_NE(messages, nullptr);
    }

    // The fleet formed and confirmed; the host takes it and sends the
    // battle data; the client's start confirmed by Return.
    void FormFleetAndStart()
    {
        EnterFleetFormation();
        if (HasFatalFailure()) return;
        Activate(*map);
        CShipFactory* ships = control->GetShipFactory();
        const std::uint32_t types[] = {ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine};
        std::uint32_t placed = 0;
        for (CSeaPanel& panel : control->GetBoard()->GetSeaPanels()) {
            if (placed == 3 || panel.GetPos().x > 2) break;
            if (panel.IsPassable() && panel.GetType() == PanelSea)
                ships->CreateShip(me, types[placed++], &panel);
        }
        ASSERT_EQ(me->ShipCount(), 3u);
        formation->Update(26);
        ASSERT_TRUE(host->TakeFleet());
        host->StartBattle();

        ASSERT_TRUE(WaitFor<CBattleSequenceOnClient>(10000));
        play = qobject_cast<CBattleSequenceOnClient*>(Current());
        battle = qobject_cast<CBattleSequence*>(Manager()->GetPrevSequence());
        ASSERT_NE(battle, nullptr);
        QObject::connect(
            play->GetReport(),
            static_cast<void (CCommandResultReport::*)(MessageCode)>(&CCommandResultReport::Stopped), play,
            [this] { ++resultsShown; });
        // Both boards are the same from the first turn.
        EXPECT_EQ(control->GetBoard()->GetMap().Size, host->world.board.GetMap().Size);
        ASSERT_TRUE(WaitUntil([this] { return map->GetActionConfirmation()->isVisible(); }));
        PressKey(*map, Qt::Key_Return);
        EXPECT_TRUE(play->GetNetworkMonitor()->IsRunning());
    }

    CTurnManager* TurnManager() const { return battle->GetTurnManager(); }
    bool IsMyTurnToCommand() const
    {
        return !play.isNull() && TurnManager()->GetCurrentUnit() != nullptr &&
               TurnManager()->GetCurrentUnit()->GetHostId() == GuestHostId &&
               map->GetInputManager()->GetState() == 1;
    }
    // Where the battle stands, for a failed wait.
    std::string Describe() const
    {
        std::string text = "client:";
        if (!play.isNull()) {
            const CUnit* unit = TurnManager()->GetCurrentUnit();
            text += " round " + std::to_string(TurnManager()->GetPlayOrder().Round) + ", side " +
                    std::to_string(unit != nullptr ? unit->GetHostId() : 0) + ", input state " +
                    std::to_string(map->GetInputManager()->GetState());
        }
        text += "; from the guest:";
        for (MessageCode code : host->fromGuest) text += " " + std::to_string(code);
        text += "; results shown " + std::to_string(resultsShown) +
                "; messages: " + messages->GetShownTexts().join(QStringLiteral("|")).toStdString();
        return text;
    }
    bool Shows(const QString& text) const { return messages->GetShownTexts().join(QString()).contains(text); }

    // The command chosen from the menu of the first ship, its target (if
    // any) pointed with the arrows and taken, and the command confirmed.
    void Command(QAction* (CCommandMenu::*action)() const, const std::vector<int>& arrows = {})
    {
        PressKey(*map, Qt::Key_1);
        ASSERT_TRUE(map->GetCommandMenu()->isVisible());
        (map->GetCommandMenu()->*action)()->trigger();
        if (!arrows.empty()) {
            for (int arrow : arrows) PressKey(*map, arrow);
            PressKey(*map, Qt::Key_Return);
        }
        ASSERT_TRUE(map->GetInputConfirmation()->isVisible());
        PressKey(*map, Qt::Key_Return);
    }

    // The client attacks southwards in one turn and resigns on its next; the
    // result screen.
    void PlayToTheVerdict()
    {
        FormFleetAndStart();
        ASSERT_TRUE(Play([this] { return IsMyTurnToCommand(); })) << Describe();
        EXPECT_TRUE(play->IsSoundStarted());
        Command(&CCommandMenu::GetAttackAction, {Qt::Key_Down});
        ASSERT_TRUE(Play([this] { return Shows(QStringLiteral("Guest inputted a command.")); }))
            << Describe();
        // The lines shown, the client ends its turn.
        ASSERT_TRUE(Play([this] { return map->GetActionConfirmation()->isVisible(); }));
        PressKey(*map, Qt::Key_Return);
        ASSERT_TRUE(Play([this] { return TurnManager()->GetCurrentUnit()->GetHostId() != GuestHostId; }));
        ASSERT_TRUE(Play([this] { return IsMyTurnToCommand(); })) << Describe();
        Command(&CCommandMenu::GetResignAction);
        ASSERT_TRUE(Play([] { return qobject_cast<CBattleEndSequence*>(Current()) != nullptr; }));
        ASSERT_TRUE(Idle());
        result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
        ASSERT_NE(result, nullptr);
    }

    // The code the client sent from its result screen.
    MessageCode FromClient()
    {
        MessageCode code = 0;
        WaitUntil([&] {
            if (host->world.server.ReceiveFrom(GuestHostId) == ReadComplete)
                code = host->world.server.GetReceivedCode(GuestHostId);
            return code != 0;
        });
        return code;
    }
    void ToClient(MessageCode code)
    {
        ASSERT_TRUE(host->world.server.SendCodeToUnit(*host->world.Guest(), code));
    }
    static bool BackAtTheTitle() { return Manager()->GetCurrentIndex() == 0 && !Manager()->IsChanging(); }

    std::unique_ptr<ScriptedHost> host;
    CUnit* me = nullptr;
    QPointer<CFleetFormationSequence> formation;
    QPointer<CBattleSequenceOnClient> play;
    QPointer<CBattleSequence> battle;
    CGameMapScene* map = nullptr;
    CMessageScene* messages = nullptr;
    CBattleResultScene* result = nullptr;
    int resultsShown = 0;
};

TEST_F(ClientBattleTest, PlaysItsTurnsToTheVerdictAndReplaysWithTheHostsConsent)
{
    PlayToTheVerdict();
    EXPECT_TRUE(TurnManager()->IsGameDecided());
    EXPECT_FALSE(TurnManager()->IsDisconnected());
    EXPECT_TRUE(host->Manager().IsGameDecided());
    // The client played: the host carried out its pass and its resignation.
    EXPECT_EQ(std::count(host->fromGuest.begin(), host->fromGuest.end(), CommandSent), 2);
    EXPECT_EQ(std::count(host->fromGuest.begin(), host->fromGuest.end(), StartConfirmed), 1);
    EXPECT_NE(result->GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));
    EXPECT_TRUE(Logged("StopBgm"));
    EXPECT_TRUE(Logged("UnloadSe 0"));
    SaveScreenRender(*control->GetMainWindow(), QStringLiteral("netbattle/client-result"));

    result->GetReplayButton()->click();
    EXPECT_EQ(FromClient(), CBattleEndSequence::ReplayCode);
    ToClient(CBattleEndSequence::ReplayAcceptedCode);
    ASSERT_TRUE(WaitFor<CFleetFormationSequence>(10000));
    EXPECT_EQ(Current(), formation.data());
    EXPECT_TRUE(play.isNull());
}

TEST_F(ClientBattleTest, TheHostsExitRejectsTheReplayAndLeavesForTheTitle)
{
    PlayToTheVerdict();
    // The host chose Exit before the client chose; the client's Replay reads it.
    ToClient(CBattleEndSequence::ExitCode);
    result->GetReplayButton()->click();
    EXPECT_EQ(FromClient(), CBattleEndSequence::ReplayCode);
    ASSERT_TRUE(WaitUntil(
        [this] { return result->GetMessageBar()->GetText().contains(QStringLiteral("rejected")); }));
    ASSERT_TRUE(WaitUntil(BackAtTheTitle, ScaledMs(6000) + 10000));
    EXPECT_EQ(Current()->GetType(), SequenceType::Title);
    EXPECT_FALSE(control->GetTcpClient()->IsConnected());
}

TEST_F(ClientBattleTest, TheHostLostInTheBattleEndsItWithTheFailureText)
{
    FormFleetAndStart();
    ASSERT_TRUE(Play([this] { return TurnManager()->IsTurnRunning(); }));
    host->Vanish();
    ASSERT_TRUE(WaitUntil([this] {
        return map->GetNotificationBar()->GetText().contains(QStringLiteral("This battle will end."));
    }));
    EXPECT_TRUE(TurnManager()->IsDisconnected());
    EXPECT_FALSE(play->GetNetworkMonitor()->IsRunning());
    ASSERT_TRUE(WaitFor<CBattleEndSequence>(ScaledMs(3500) + 5000));
    result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));
}

// A watcher that enters a battle already under way.
class AudienceReentryTest : public ClientBattleTest {
  protected:
    std::uint32_t LocalType() const override { return UnitWatching; }
    std::uint64_t LocalHostId() const override { return 0xA0D1; }

    // Both fleets on the host, on panels of their own (a replay's fleets
    // are placed afresh).
    void PlaceFleets()
    {
        host->world.m_taken.clear();
        host->world.Place(*host->world.Guest(), {{ShipTypeBattleship, MapPos(1, 1)},
                                                 {ShipTypeDestroyer, MapPos(1, 3)},
                                                 {ShipTypeSubmarine, MapPos(2, 5)}});
        host->world.Place(*host->world.Local(), {{ShipTypeBattleship, MapPos(5, 5)},
                                                 {ShipTypeDestroyer, MapPos(5, 3)},
                                                 {ShipTypeSubmarine, MapPos(4, 5)}});
    }
};

TEST_F(AudienceReentryTest, AWatcherJoiningUnderWayGetsTheTurnsAndTheBattlesSound)
{
    // The host's battle runs before the watcher's screens take it.
    PlaceFleets();
    host->StartBattle();
    host->Manager().Update(TurnStarts);
    host->Manager().Update(TurnState);
    CSocketTcpClient* client = control->GetTcpClient();
    ASSERT_TRUE(WaitUntil([client] {
        return client->Receive() == ReadComplete && client->GetReceivedData().Code == TurnState;
    }));

    Manager()->Push(new StandIn::CStandInSequence(SequenceType::FleetFormation, ModuleFlag::SceneSetUp));
    ASSERT_TRUE(Idle());
    Manager()->Push(CreateSequence(SequenceType::Battle));
    ASSERT_TRUE(WaitFor<CBattleSequenceOnClient>());
    play = qobject_cast<CBattleSequenceOnClient*>(Current());
    battle = qobject_cast<CBattleSequence*>(Manager()->GetPrevSequence());
    ASSERT_NE(battle, nullptr);
    EXPECT_TRUE(TurnManager()->IsTurnRunning());
    EXPECT_TRUE(play->IsSoundStarted());
    EXPECT_TRUE(Logged("LoadSe 0"));
    // A battle track drawn here, kept on the board for a replay, and played.
    const std::uint32_t music = control->GetBoard()->GetMusicCode();
    EXPECT_NE(music, 0u);
    EXPECT_EQ(CountLogged("ChooseBgm 1"), 1);
    const auto played = std::find_if(log.rbegin(), log.rend(),
                                     [](const std::string& call) { return call.rfind("PlayBgm", 0) == 0; });
    ASSERT_NE(played, log.rend());
    EXPECT_EQ(*played, "PlayBgm " + std::to_string(music));
    EXPECT_TRUE(play->GetNetworkMonitor()->IsRunning());

    // The host's next turn reaches the watcher without any confirmation.
    const PlayOrder before = TurnManager()->GetPlayOrder();
    host->Manager().Update(TurnEnds);
    host->Manager().Update(TurnStarts);
    ASSERT_TRUE(WaitUntil([&] {
        const PlayOrder now = TurnManager()->GetPlayOrder();
        return now.Round != before.Round || now.Position != before.Position;
    }));
    EXPECT_FALSE(TurnManager()->IsDisconnected());
    EXPECT_EQ(CountLogged("LoadSe 0"), 1);
}

// A watcher that stays on its result screen while the players agree on a
// replay and the host plays it: the acceptance, the new battle data and
// the turns so far wait in its socket until it chooses "Watch Again".
class LateRewatchTest : public AudienceReentryTest {
  protected:
    // The host's side whose turn it is gives the command; the host carries
    // it out and sends the result to every connection.
    void HostCommands(std::uint32_t command)
    {
        CGUITurnManagerOnServer& manager = host->world.manager;
        CUnit* unit = manager.GetCurrentUnit();
        ASSERT_NE(unit, nullptr);
        CommandInput input;
        input.Command = command;
        input.ShipId = 1;
        input.Direction = DirectionNorth;
        unit->SetCommandInput(input);
        manager.Update(CommandSent);
        const MessageCode code = unit->ExecuteCommand(manager.GetCurrentUnitEntry());
        manager.Update(AfterAction);
        manager.Update(code);
    }

    // The first battle watched from its start to its verdict.
    void WatchTheFirstBattle()
    {
        EnterFleetFormation();
        if (HasFatalFailure()) return;
        PlaceFleets();
        host->StartBattle();
        ASSERT_TRUE(EnterPlay());
        // A watcher confirms by itself: the players confirm the start.
        ASSERT_TRUE(WaitUntil([this] { return play->GetNetworkMonitor()->IsRunning(); }));
        host->Manager().Update(TurnStarts);
        ASSERT_TRUE(WaitUntil([this] { return TurnManager()->IsTurnRunning(); }));
        EndHostBattle();
        ASSERT_TRUE(ReachResult());
    }

    // The host's current side resigns and the host ends the battle.
    void EndHostBattle()
    {
        HostCommands(CommandResign);
        ASSERT_TRUE(host->Manager().IsGameDecided());
        host->Manager().Update(BattleEnds);
    }

    // The players' replay accepted and its first turns played on the host.
    void PlayTheReplayOnTheHost(int turns)
    {
        CSocketTcpServer& server = host->world.server;
        ASSERT_TRUE(server.SendMessageToSocket(server.FindSocket(LocalHostId()),
                                               MakeMessage(CBattleEndSequence::ReplayAcceptedCode)));
        host->Manager().Reset();
        PlaceFleets();
        host->StartBattle();
        host->Manager().Update(TurnStarts);
        for (int turn = 0; turn < turns; ++turn) {
            HostCommands(CommandPass);
            host->Manager().Update(ReportFinished);
            host->Manager().Update(TurnEnds);
            host->Manager().Update(TurnStarts);
        }
    }

    bool EnterPlay()
    {
        if (!WaitFor<CBattleSequenceOnClient>(ScaledMs(6000) + 10000)) return false;
        play = qobject_cast<CBattleSequenceOnClient*>(Current());
        battle = qobject_cast<CBattleSequence*>(Manager()->GetPrevSequence());
        return battle != nullptr;
    }
    bool ReachResult()
    {
        if (!WaitFor<CBattleEndSequence>(ScaledMs(6000) + 10000)) return false;
        result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
        return result != nullptr && result->IsWatchMode();
    }
    bool IsAtHostsTurn() const
    {
        const PlayOrder now = TurnManager()->GetPlayOrder();
        const PlayOrder there = host->Manager().GetPlayOrder();
        return TurnManager()->IsTurnRunning() && now.Round == there.Round && now.Position == there.Position;
    }
};

TEST_F(LateRewatchTest, WatchAgainAfterTheReplayStartedCatchesUpWithItAndFollowsIt)
{
    WatchTheFirstBattle();
    PlayTheReplayOnTheHost(8);

    result->GetReplayButton()->click();
    ASSERT_TRUE(EnterPlay()) << Describe();
    // The turns it missed play out from the socket, up to the host's.
    ASSERT_TRUE(WaitUntil([this] { return IsAtHostsTurn(); })) << Describe();
    EXPECT_FALSE(TurnManager()->IsDisconnected());
    EXPECT_TRUE(play->GetNetworkMonitor()->IsRunning());
    EXPECT_TRUE(play->IsSoundStarted());

    host->Manager().Update(TurnEnds);
    host->Manager().Update(TurnStarts);
    ASSERT_TRUE(WaitUntil([this] { return IsAtHostsTurn(); })) << Describe();
    EXPECT_FALSE(TurnManager()->IsDisconnected());
}

TEST_F(LateRewatchTest, WatchAgainAfterTheReplayEndedShowsItsResult)
{
    WatchTheFirstBattle();
    PlayTheReplayOnTheHost(2);
    EndHostBattle();

    result->GetReplayButton()->click();
    ASSERT_TRUE(EnterPlay()) << Describe();
    ASSERT_TRUE(WaitUntil([this] { return TurnManager()->IsGameDecided(); })) << Describe();
    ASSERT_TRUE(ReachResult()) << Describe();
    // The verdict, not a battle broken off.
    EXPECT_NE(result->GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));
    EXPECT_FALSE(TurnManager()->IsDisconnected());
    EXPECT_EQ(host->Manager().GetPlayOrder().Round, TurnManager()->GetPlayOrder().Round);
}

} // namespace
} // namespace Marevane::Testing
