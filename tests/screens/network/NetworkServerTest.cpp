// The host's half of the connection screen against scripted loopback
// clients: admission, listing, confirmation and the battle data.
#include "tests/screens/network/NetworkTestSupport.h"

#include "model/Board.h"
#include "tests/screens/kit/ScreenRender.h"

namespace Marevane::Testing {
namespace {

class NetworkServerTest : public NetworkScreenTest {
  protected:
    // The screen listening and one player "Guest" from 127.0.0.2, listed.
    void EnterGuest(CSocketTcpClient& guest)
    {
        Open(HostServer);
        ASSERT_NO_FATAL_FAILURE(Listen());
        ASSERT_TRUE(Enter(guest, "127.0.0.2", Profile(L"Guest", HostClient, guestId), Rules()->GetInfo()));
        ASSERT_EQ(NextCode(guest), 15U);
        ASSERT_TRUE(WaitUntil([this] { return scene->FindRow(guestId) != nullptr; }));
    }
    // The guest's request for the battle: its copy of the host's answer, 26.
    static bool Request(CSocketTcpClient& guest, MessageCode code = 26)
    {
        EntryMessage request = guest.GetReceivedData().Entry;
        request.Code = code;
        return guest.Send(CPacketConverter::GetInstance().Encode(request));
    }

    const std::uint64_t guestId = 0x1234;
};

TEST_F(NetworkServerTest, AcceptsListsConfirmsAndSendsTheBattleData)
{
    CSocketTcpClient guest;
    ASSERT_NO_FATAL_FAILURE(EnterGuest(guest));
    EXPECT_EQ(guest.GetReceivedData().Entry.SecondCode, 16U);
    EXPECT_EQ(guest.GetReceivedData().Entry.Sender.Name, L"Host");
    const CConnectionListItem* row = scene->FindRow(guestId);
    EXPECT_TRUE(RowText(*row).startsWith(QStringLiteral("Player:  Guest Host:  Client Command:  Manual "
                                                        "IP Address:  127.0.0.2")));
    EXPECT_TRUE(RowText(*row).endsWith(QStringLiteral("Rule Condition:  Match")));
    EXPECT_EQ(sequence->GetEnteredClients().count(guestId), 1U);

    scene->FindRow(guestId)->GetSelectButton()->click();
    EXPECT_EQ(scene->GetState(), CancelState);
    EXPECT_TRUE(sequence->GetConfirmationTimer().isActive());
    ASSERT_TRUE(Request(guest));
    ASSERT_EQ(NextCode(guest), 16U);
    ASSERT_EQ(NextCode(guest), 23U);
    const EntryMessage data = guest.GetReceivedData().Entry;
    EXPECT_EQ(data.Rules.Map.Size.x, Rules()->GetInfo().Map.Size.x);
    std::wstring board;
    control->GetBoard()->ToText(board);
    EXPECT_EQ(data.Text, board);
    ASSERT_EQ(data.Units.size(), 2U);
    // The rival's place now holds the guest.
    EXPECT_EQ(data.Units[1].Name, L"Guest");
    EXPECT_EQ(data.Units[1].HostId, guestId);
    EXPECT_EQ(scene->GetState(), CompleteState);
    EXPECT_FALSE(scene->GetConnectButton()->isEnabled());
    EXPECT_TRUE(WaitForType(SequenceType::FleetFormation));
}

TEST_F(NetworkServerTest, AnswersEachKindOfEntry)
{
    Open(HostServer);
    ASSERT_NO_FATAL_FAILURE(Listen());
    Rules()->GetInfo().IsTeamVersus = false; // no audience
    GameEditInfo otherRules = Rules()->GetInfo();
    otherRules.Map.Size = MapPos(9, 9);
    struct Case {
        const char* what;
        std::wstring name;
        std::uint32_t type;
        const GameEditInfo* rules;
        MessageCode code;
        MessageCode second;
        const char* rowRule; // the row's rule line; none when refused
    };
    const Case cases[] = {
        {"mismatched rules", L"Mismatch", UnitManual, &otherRules, 15, 24, "Mismatch"},
        {"name too long", L"ABCDEFGHIJKLMNOPQR", UnitManual, &Rules()->GetInfo(), 17, 121, nullptr},
        {"name of the host", L"Host", UnitManual, &Rules()->GetInfo(), 17, 122, nullptr},
        {"audience not permitted", L"Watcher", UnitWatching, &Rules()->GetInfo(), 17, 22, nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSocketTcpClient client;
        const std::uint64_t id = 0x500 + static_cast<std::uint64_t>(n);
        const std::string source = "127.0.0." + std::to_string(10 + n++);
        ASSERT_TRUE(Enter(client, source, Profile(c.name, HostClient, id, c.type), *c.rules));
        ASSERT_EQ(NextCode(client), c.code);
        EXPECT_EQ(client.GetReceivedData().Entry.SecondCode, c.second);
        if (c.rowRule != nullptr) {
            ASSERT_TRUE(WaitUntil([&] { return scene->FindRow(id) != nullptr; }));
            EXPECT_TRUE(RowText(*scene->FindRow(id)).endsWith(QString::fromLatin1(c.rowRule)));
        } else {
            Settle();
            EXPECT_EQ(scene->FindRow(id), nullptr);
        }
    }
    EXPECT_TRUE(scene->GetSubMessageBar()->GetText().startsWith(
                    QStringLiteral("Entry from the client has been rejected.")) ||
                scene->GetSubMessageBar()->GetText().isEmpty());
}

TEST_F(NetworkServerTest, CancelInTheWaitBeforeTheDataSendsNoData)
{
    CSocketTcpClient guest;
    ASSERT_NO_FATAL_FAILURE(EnterGuest(guest));
    scene->FindRow(guestId)->GetSelectButton()->click();
    ASSERT_TRUE(Request(guest));
    ASSERT_EQ(NextCode(guest), 16U);
    ASSERT_TRUE(sequence->IsStepPending());
    scene->GetConnectButton()->click(); // reads "Cancel"
    EXPECT_FALSE(sequence->IsStepPending());
    EXPECT_EQ(NextCode(guest), 33U);
    EXPECT_NE(NextCode(guest, ScaledMs(5000)), 23U);
    EXPECT_EQ(scene->GetState(), DisconnectState);
    EXPECT_TRUE(scene->FindRow(guestId)->IsSelectable());
    EXPECT_EQ(Current(), sequence);
}

TEST_F(NetworkServerTest, AClientThatRefusesIsToldAndDropped)
{
    CSocketTcpClient guest;
    ASSERT_NO_FATAL_FAILURE(EnterGuest(guest));
    scene->FindRow(guestId)->GetSelectButton()->click();
    ASSERT_TRUE(Request(guest, 27));
    ASSERT_EQ(NextCode(guest), 17U);
    EXPECT_EQ(guest.GetReceivedData().Entry.SecondCode, 24U);
    ASSERT_TRUE(WaitUntil([this] { return scene->GetRows().empty(); }));
    EXPECT_EQ(scene->GetState(), ConnectState);
    EXPECT_FALSE(sequence->GetConfirmationTimer().isActive());
}

TEST_F(NetworkServerTest, AClientThatLeavesIsRemovedAndTheScreenGoesIdle)
{
    CSocketTcpClient guest;
    ASSERT_NO_FATAL_FAILURE(EnterGuest(guest));
    scene->FindRow(guestId)->GetSelectButton()->click();
    guest.Disconnect();
    ASSERT_TRUE(WaitUntil([this] { return scene->GetRows().empty(); }));
    EXPECT_EQ(scene->GetState(), ConnectState);
    EXPECT_FALSE(sequence->GetConnectionTimer().isActive());
    EXPECT_FALSE(sequence->GetConfirmationTimer().isActive());
    EXPECT_TRUE(sequence->GetSelectedPlayers().empty());
}

TEST_F(NetworkServerTest, AnEnteredClientThatLeavesUnselectedIsNoticed)
{
    // Two players are needed; the first is selected, the second leaves.
    Open(HostServer, UnitManual, 2);
    ASSERT_NO_FATAL_FAILURE(Listen());
    CSocketTcpClient first;
    CSocketTcpClient second;
    ASSERT_TRUE(Enter(first, "127.0.0.2", Profile(L"First", HostClient, 0x71), Rules()->GetInfo()));
    ASSERT_EQ(NextCode(first), 15U);
    ASSERT_TRUE(Enter(second, "127.0.0.3", Profile(L"Second", HostClient, 0x72), Rules()->GetInfo()));
    ASSERT_EQ(NextCode(second), 15U);
    ASSERT_TRUE(WaitUntil([this] { return scene->GetRows().size() == 2; }));
    scene->FindRow(0x71)->GetSelectButton()->click();
    // One selection of two: nothing is asked yet.
    EXPECT_FALSE(sequence->GetConfirmationTimer().isActive());
    scene->FindRow(0x72)->GetSelectButton()->click();
    EXPECT_TRUE(sequence->GetConfirmationTimer().isActive());
    second.Disconnect();
    ASSERT_TRUE(WaitUntil([this] { return scene->FindRow(0x72) == nullptr; }));
    EXPECT_NE(scene->FindRow(0x71), nullptr);
    EXPECT_TRUE(scene->GetMessageBar()->GetText().contains(QStringLiteral("Second")));
}

TEST_F(NetworkServerTest, TheScreenAsAPlayerSeesIt)
{
    Open(HostServer, UnitManual, 2);
    ASSERT_NO_FATAL_FAILURE(Listen());
    CSocketTcpClient first;
    CSocketTcpClient second;
    GameEditInfo otherRules = Rules()->GetInfo();
    otherRules.Map.Size = MapPos(7, 8);
    ASSERT_TRUE(Enter(first, "127.0.0.2", Profile(L"Guest", HostClient, 0x81), Rules()->GetInfo()));
    ASSERT_TRUE(Enter(second, "127.0.0.3", Profile(L"Visitor", HostClient, 0x82), otherRules));
    ASSERT_TRUE(WaitUntil([this] { return scene->GetRows().size() == 2; }));
    Settle();
    // The notice of the last entry would cover the rows.
    scene->GetMessageBar()->Hide();
    const QImage picture = ShootWindow(QStringLiteral("network-connection-host"));
    EXPECT_FALSE(picture.isNull());
    SaveScreenRender(*scene, QStringLiteral("network/network-connection-scene"));
}

} // namespace
} // namespace Marevane::Testing
