// The host's watch over its client in the real screen flow, against a
// scripted loopback client: a client lost while the host's own side is to
// move ends the battle with the failure text and the result screen, what a
// client sends out of its turn is not taken for the turn's command, and a
// client's Replay sent as soon as the battle is decided still counts.
#include "tests/screens/netbattle/NetBattleFixture.h"

#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/CodeTables.h"
#include "model/MessageBuilder.h"
#include "model/MessageCodes.h"
#include "model/ResultManager.h"
#include "model/TurnManager.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/BattleSequenceOnServer.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/CommandMenu.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"

#include <QPointer>

#include <set>
#include <vector>

namespace Marevane::Testing {
namespace {

class HostMonitorTest : public BattleFlowTest {
  protected:
    void SetUp() override
    {
        BattleFlowTest::SetUp();
        SeedRandom(26);
        PrepareBattle();
        GameEditInfo& info = Rules()->GetInfo();
        info.TeamCount = 1;
        info.PlayerTypes = {UnitManual, UnitManual};
        // The computer side of the prepared battle plays from the client.
        UnitProfile profile = computer->GetProfile();
        profile.Type = UnitManual;
        profile.OriginFlag = HostClient;
        profile.HostId = GuestHostId;
        computer->SetProfile(profile);
        computer->SetHostId(GuestHostId);
        guest = computer;
        port = ListenOnFreePort(*control->GetTcpServer());
        ASSERT_TRUE(EnterAsGuest(*control->GetTcpServer(), client, port, info));
    }
    void TearDown() override
    {
        client.Disconnect();
        BattleFlowTest::TearDown();
    }

    // The battle started on both machines: the host's player by Return, the
    // client by its code.
    void StartBattle()
    {
        // The fleet formation's place below the battle, whose map knows the
        // host's player.
        below = new StandIn::CStandInSequence(SequenceType::FleetFormation, ModuleFlag::SceneSetUp);
        Manager()->Push(below);
        ASSERT_TRUE(Idle());
        map = SceneOf<CGameMapScene>(SceneSlot::GameMap);
        ASSERT_NE(map, nullptr);
        map->SetPlayer(player);
        Manager()->Push(CreateSequence(SequenceType::Battle));
        ASSERT_TRUE(WaitFor<CBattleSequenceOnServer>());
        play = qobject_cast<CBattleSequenceOnServer*>(Current());
        Activate(*map);
        ASSERT_TRUE(WaitUntil([this] { return map->GetActionConfirmation()->isVisible(); }));
        PressKey(*map, Qt::Key_Return);
        ASSERT_NE(play, nullptr) << "the battle broke off before it started";
        EXPECT_FALSE(play->IsBattleStarted());
        ASSERT_TRUE(client.SendCode(StartConfirmed));
        ASSERT_TRUE(WaitUntil([this] { return play->IsBattleStarted(); }));
    }
    CTurnManager* TurnManager() const
    {
        return qobject_cast<CBattleSequence*>(Manager()->GetSequence(Manager()->GetCurrentIndex() - 1))
            ->GetTurnManager();
    }
    bool IsGuestsTurn() const { return TurnManager()->GetCurrentUnit() == guest; }

    // The client passes its turn, as its screens would: the command, and
    // the end of the turn once the host has shown the result.
    void PassTheGuestsTurn()
    {
        Message command = MakeMessage(CommandSent, *guest);
        command.Command.Command = CommandPass;
        command.Command.ShipId = 1;
        command.Command.Direction = DirectionNorth;
        ASSERT_TRUE(client.SendMessage(command));
        ASSERT_TRUE(WaitUntil([this] { return play->GetReport()->IsRunning(); }));
        ASSERT_TRUE(WaitUntil([this] { return !play->GetReport()->IsRunning(); }));
        ASSERT_TRUE(client.SendCode(EndOfTurnCheck));
    }

    // Reads what the host sent until the code comes; false when it does not.
    bool ClientReceives(MessageCode code)
    {
        return WaitUntil(
            [&] { return client.Receive() == ReadComplete && client.GetReceivedData().Code == code; });
    }

    CSocketTcpClient client;
    std::uint16_t port = 0;
    CUnit* guest = nullptr;
    QPointer<CBattleSequenceOnServer> play;
    CGameMapScene* map = nullptr;
};

TEST_F(HostMonitorTest, AClientLostInTheHostsTurnEndsTheBattleWithinTheLeaveTime)
{
    StartBattle();
    if (IsGuestsTurn()) PassTheGuestsTurn();
    ASSERT_TRUE(WaitUntil([this] {
        return TurnManager()->GetCurrentUnit() == player && map->GetInputManager()->GetState() == 1;
    }));
    EXPECT_TRUE(play->GetNetworkMonitor()->IsRunning());

    // A command sent out of the client's turn is not this turn's: nothing is
    // carried out, nor refused.
    Message early = MakeMessage(CommandSent, *guest);
    early.Command.Command = CommandPass;
    early.Command.ShipId = 1;
    ASSERT_TRUE(client.SendMessage(early));
    ASSERT_TRUE(
        WaitUntil([this] { return control->GetTcpServer()->GetReceivedCode(GuestHostId) == CommandSent; }));
    Settle();
    EXPECT_FALSE(play->GetReport()->IsRunning());
    EXPECT_EQ(map->GetInputManager()->GetState(), 1);
    EXPECT_FALSE(IsErrorCode(CResultManager::GetInstance().GetCurrentLog().Code));
    EXPECT_EQ(TurnManager()->GetCurrentUnit(), player);

    // The client's program is killed: its connection closes without a word.
    client.Disconnect();
    ASSERT_TRUE(WaitUntil([this] {
        return map->GetNotificationBar()->GetText().contains(QStringLiteral("This battle will end."));
    }));
    EXPECT_TRUE(TurnManager()->IsDisconnected());
    EXPECT_TRUE(Logged("StopBgm"));
    ASSERT_TRUE(WaitFor<CBattleEndSequence>(ScaledMs(4000) + 2000));
    auto* result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));
    SaveScreenRender(*control->GetMainWindow(), QStringLiteral("netbattle/host-client-lost"));
}

// An audience entered with the players: it watches, so it has no turn, and
// the sides sent to the clients are the players only (a client refuses a
// state whose turn order names a side it does not play with).
TEST_F(HostMonitorTest, AWatcherTakesNoTurnAndIsNotSentAsASide)
{
    UnitProfile watcher;
    watcher.Type = UnitWatching;
    watcher.OriginFlag = HostClient;
    watcher.Name = L"Watcher";
    watcher.HostId = 0xA0D1;
    Units()->CreateUnit(watcher);
    StartBattle();
    const std::vector<CUnit*> sides = TurnManager()->GetUnits();
    EXPECT_EQ(sides, (std::vector<CUnit*>{player, guest}));
    EXPECT_EQ(TurnManager()->GetTurnOrder().size(), 2u);

    ASSERT_TRUE(ClientReceives(TurnStarts));
    const ProgressMessage& state = client.GetReceivedData().Progress;
    std::multiset<std::uint32_t> ids;
    for (const UnitProfile& side : state.Units) {
        EXPECT_NE(side.Type, UnitWatching);
        ids.insert(side.Id);
    }
    EXPECT_EQ(ids, std::multiset<std::uint32_t>(state.TurnOrder.begin(), state.TurnOrder.end()));
    EXPECT_EQ(ids.size(), 2u);
}

TEST_F(HostMonitorTest, AClientsReplayRightAfterTheVerdictIsCountedOnTheResultScreen)
{
    StartBattle();
    if (IsGuestsTurn()) PassTheGuestsTurn();
    ASSERT_TRUE(WaitUntil([this] {
        return TurnManager()->GetCurrentUnit() == player && map->GetInputManager()->GetState() == 1;
    }));
    PressKey(*map, Qt::Key_1);
    ASSERT_TRUE(map->GetCommandMenu()->isVisible());
    map->GetCommandMenu()->GetResignAction()->trigger();
    PressKey(*map, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([this] { return play->IsLeaving(); }));
    EXPECT_TRUE(TurnManager()->IsGameDecided());

    // The client chose before the host's result screen is shown.
    ASSERT_TRUE(client.SendCode(CBattleEndSequence::ReplayCode));
    ASSERT_TRUE(WaitFor<CBattleEndSequence>());
    auto* result = SceneOf<CBattleResultScene>(SceneSlot::BattleResult);
    ASSERT_NE(result, nullptr);
    result->GetReplayButton()->click();
    EXPECT_TRUE(ClientReceives(CBattleEndSequence::ReplayCode));
    EXPECT_TRUE(ClientReceives(CBattleEndSequence::ReplayAcceptedCode));
    ASSERT_TRUE(
        WaitUntil([this] { return Current() == below && !Manager()->IsChanging(); }, ScaledMs(3000) + 5000));
}

} // namespace
} // namespace Marevane::Testing
