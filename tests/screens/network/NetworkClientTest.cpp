// A client's half of the connection screen against a scripted loopback
// host: connecting, entering, asking for the battle and loading its data.
#include "tests/screens/network/NetworkTestSupport.h"

#include "model/Board.h"
#include "model/texts/MessageTexts.h"

namespace Marevane::Testing {
namespace {

class NetworkClientTest : public NetworkScreenTest {
  protected:
    void TearDown() override
    {
        host.Reset();
        NetworkScreenTest::TearDown();
    }

    // The client's screen pushing "Connect" towards the scripted host.
    void Connect(std::uint32_t type = UnitManual)
    {
        Open(HostClient, type);
        host.SetPort(port);
        host.SetListenAddress("127.0.0.1");
        host.Listen();
        scene->GetAddressBox()->setText(QStringLiteral("127.0.0.1"));
        scene->GetConnectButton()->click();
        ASSERT_EQ(scene->GetState(), DisconnectState);
    }
    // The host accepts the connection and waits for the entry; its copy.
    EntryMessage AwaitEntry()
    {
        EntryMessage entry;
        WaitUntil([&] {
            host.Accept();
            if (host.ReceiveEntry() != 14) return false;
            entry = host.GetWaitingEntryMessage();
            return true;
        });
        return entry;
    }
    // The host's answer 15 with the second code.
    void Admit(const EntryMessage& entry, MessageCode second = 16)
    {
        EntryMessage answer(14);
        answer.SecondCode = second;
        answer.Rules = Rules()->GetInfo();
        answer.Sender = hostProfile;
        answer.Entry = entry.Sender;
        ASSERT_TRUE(host.AcceptEntry(answer));
    }
    // The code the guest sent last, once one arrived.
    MessageCode AwaitFromGuest(std::uint64_t guestId)
    {
        MessageCode code = 0;
        WaitUntil([&] {
            const MessageCode result = host.ReceiveFrom(guestId);
            if (result == ReadComplete) code = host.GetReceivedCode(guestId);
            return code != 0;
        });
        return code;
    }

    // Connected, entered, the host's row selected and the host's answer
    // (16 accepted, 18 invited as audience) sent; the guest's entry.
    EntryMessage Answer(MessageCode code)
    {
        Connect();
        const EntryMessage entry = AwaitEntry();
        Admit(entry);
        EXPECT_TRUE(WaitUntil([this] { return scene->FindRow(0x4242) != nullptr; }));
        scene->FindRow(0x4242)->GetSelectButton()->click();
        EXPECT_EQ(AwaitFromGuest(entry.Sender.HostId), 26U);
        EntryMessage answer = host.GetEntryMessage(entry.Sender.HostId);
        answer.Code = code;
        EXPECT_TRUE(host.SendEntryMessageToId(entry.Sender.HostId, answer));
        return entry;
    }

    CSocketTcpServer host;
    UnitProfile hostProfile = Profile(L"Host", HostServer, 0x4242);
};

TEST_F(NetworkClientTest, EntersAsksForTheBattleAndLoadsItsData)
{
    Connect();
    const EntryMessage entry = AwaitEntry();
    EXPECT_EQ(entry.Code, 14U);
    EXPECT_TRUE(entry.IsPlayer);
    EXPECT_EQ(entry.Sender.Name, L"Guest");
    ASSERT_EQ(entry.Units.size(), 1U);
    const std::uint64_t guestId = entry.Sender.HostId;
    Admit(entry);
    ASSERT_TRUE(WaitUntil([this] { return scene->FindRow(0x4242) != nullptr; }));
    EXPECT_FALSE(sequence->GetConnectionTimer().isActive());
    EXPECT_TRUE(RowText(*scene->FindRow(0x4242)).startsWith(QStringLiteral("Player:  Host Host:  Server")));

    scene->FindRow(0x4242)->GetSelectButton()->click();
    EXPECT_TRUE(sequence->GetConfirmationTimer().isActive());
    ASSERT_EQ(AwaitFromGuest(guestId), 26U);
    EntryMessage accepted = host.GetEntryMessage(guestId);
    accepted.Code = 16;
    ASSERT_TRUE(host.SendEntryMessageToId(guestId, accepted));
    ASSERT_TRUE(WaitUntil([this] { return sequence->GetBattleDataTimer().isActive(); }));

    // The battle data: other rules and map, both sides, the guest second.
    EntryMessage data(23);
    data.Rules = Rules()->GetInfo();
    data.Rules.Map.Size = MapPos(6, 7);
    data.Rules.ComputerLevel = 30;
    const std::int32_t level = Rules()->GetInfo().ComputerLevel;
    UnitProfile guest = entry.Sender;
    guest.Id = 1;
    UnitProfile hostSide = hostProfile;
    hostSide.Id = 0;
    data.Units = {hostSide, guest};
    ASSERT_TRUE(host.SendEntryMessageToId(guestId, data));
    ASSERT_TRUE(WaitUntil([this] { return scene->GetState() == CompleteState; }));
    CUnitFactory* factory = control->GetUnitFactory();
    EXPECT_EQ(factory->CountUnits(), 2U);
    EXPECT_EQ(factory->GetLocalUnit()->GetProfile().Id, 1U);
    EXPECT_EQ(factory->FindUnitByHost(0x4242)->GetProfile().Name, L"Host");
    EXPECT_EQ(Rules()->GetInfo().Map.Size.x, 6U);
    EXPECT_EQ(Rules()->GetInfo().ComputerLevel, level);
    EXPECT_TRUE(WaitForType(SequenceType::FleetFormation));
}

TEST_F(NetworkClientTest, ARefusedNameAsksForAnotherName)
{
    Connect();
    AwaitEntry();
    EntryMessage answer;
    host.RejectEntry(answer, 121);
    ASSERT_TRUE(WaitUntil([this] { return !scene->GetSubMessageBar()->GetText().isEmpty(); }));
    EXPECT_TRUE(scene->GetSubMessageBar()->GetText().endsWith(QStringLiteral("\nPlease change your name.")));
    EXPECT_TRUE(scene->GetSubMessageBar()->GetText().startsWith(CGUICore::GetErrorMessage(17)));
    EXPECT_EQ(scene->GetState(), ConnectState);
    EXPECT_FALSE(sequence->GetConnectionTimer().isActive());
}

TEST_F(NetworkClientTest, GivesUpAfterFiveAttemptsWithoutAHost)
{
    Open(HostClient);
    scene->GetAddressBox()->setText(QStringLiteral("127.0.0.1"));
    scene->GetConnectButton()->click();
    // Five refused attempts take a while on a busy machine under the sanitizers.
    ASSERT_TRUE(WaitUntil([this] { return !scene->GetSubMessageBar()->GetText().isEmpty(); }, 20000));
    EXPECT_EQ(scene->GetSubMessageBar()->GetText(), CGUICore::GetErrorMessage(2));
    EXPECT_EQ(scene->GetState(), ConnectState);
    EXPECT_FALSE(sequence->GetConnectionTimer().isActive());
}

TEST_F(NetworkClientTest, APlayerInvitedAsAudienceWatches)
{
    Answer(18);
    ASSERT_TRUE(WaitUntil([this] { return sequence->IsStepPending(); }));
    EXPECT_EQ(control->GetUnitFactory()->GetLocalUnit()->GetUnitType(), UnitWatching);
    EXPECT_TRUE(scene->GetMessageBar()->GetText().startsWith(
        QStringLiteral("This server refused a request for battle with you.\nThe server invited you")));
}

TEST_F(NetworkClientTest, TheHostsCancelMakesTheRowSelectableAgain)
{
    const EntryMessage entry = Answer(16);
    ASSERT_TRUE(WaitUntil([this] { return sequence->GetBattleDataTimer().isActive(); }));
    ASSERT_TRUE(host.SendMessageToSocket(host.FindSocket(entry.Sender.HostId), MakeMessage(33)));
    ASSERT_TRUE(WaitUntil([this] { return scene->FindRow(0x4242)->IsSelectable(); }));
    EXPECT_FALSE(sequence->GetBattleDataTimer().isActive());
    EXPECT_EQ(scene->GetState(), DisconnectState);
}

TEST_F(NetworkClientTest, LeavingDuringTheWaitDropsTheLoadingStep)
{
    Answer(16);
    ASSERT_TRUE(WaitUntil([this] { return sequence->IsStepPending(); }));
    // "Disconnect" while the loading waits.
    scene->GetConnectButton()->click();
    EXPECT_FALSE(sequence->IsStepPending());
    QTest::qWait(ScaledMs(4000));
    EXPECT_FALSE(sequence->GetBattleDataTimer().isActive());
    EXPECT_EQ(scene->GetState(), ConnectState);
}

TEST_F(NetworkClientTest, DetectionListsTheHostsThatAnswerOnly)
{
    Open(HostClient);
    scene->GetDetectButton()->click();
    ASSERT_TRUE(sequence->GetDetectionTimer().isActive());
    EXPECT_EQ(scene->GetMessageBar()->GetText(), QStringLiteral("Now detecting servers automatically..."));
    // Another client's request and a host's announcement.
    EntryMessage request(5);
    request.Sender = Profile(L"Other", HostClient, 0x77);
    EntryMessage announcement(5);
    announcement.SecondCode = 23;
    announcement.Sender = hostProfile;
    announcement.Rules = Rules()->GetInfo();
    for (const EntryMessage* message : {&request, &announcement}) {
        const Packet packet = CPacketConverter::GetInstance().Encode(*message);
        ASSERT_TRUE(CUdpModule::SendTo("127.0.0.1", port, packet.data(), packet.size()));
    }
    ASSERT_TRUE(WaitUntil([this] { return !sequence->GetDetectionTimer().isActive(); }));
    ASSERT_EQ(scene->GetRows().size(), 1U);
    EXPECT_EQ(scene->GetRows()[0].first, 0x4242U);
    EXPECT_EQ(scene->GetRows()[0].second->GetProfile()->Address, "127.0.0.1");
    EXPECT_TRUE(scene->GetMessageBar()->GetText().startsWith(QStringLiteral("The server has been found.")));
    ShootWindow(QStringLiteral("network-connection-client"));
}

TEST_F(NetworkClientTest, DetectionWithoutHostsSaysSo)
{
    Open(HostClient);
    scene->GetDetectButton()->click();
    ASSERT_TRUE(WaitUntil([this] { return !sequence->GetDetectionTimer().isActive(); }));
    EXPECT_TRUE(scene->GetRows().empty());
    EXPECT_TRUE(scene->GetMessageBar()->GetText().startsWith(QStringLiteral("The server has not been found.")));
}

} // namespace
} // namespace Marevane::Testing
