#include "net/NetErrors.h"
#include "net/PosixSocket.h"
#include "tests/net/TcpLoopback.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class TcpServerTest : public ::testing::Test {
  protected:
    void SetUp() override { port = ListenOnLoopback(server); }

    // A client that has connected from `from` and whose entry waits.
    CSocketTcpClient& Entering(std::uint64_t hostId, std::uint32_t type,
                               const std::string& from = "127.0.0.1")
    {
        clients.push_back(std::make_unique<CSocketTcpClient>());
        Enter(server, *clients.back(), port, hostId, type, from);
        return *clients.back();
    }

    CSocketTcpServer server;
    std::uint16_t port = 0;
    std::vector<std::unique_ptr<CSocketTcpClient>> clients;
};

} // namespace

TEST_F(TcpServerTest, AConnectionIsAnsweredAndItsPacketsArriveWhole)
{
    CSocketTcpClient client;
    ASSERT_EQ(Join(server, client, port), 1u);
    EXPECT_EQ(server.CountWaitingConnections(), 1u);
    EXPECT_EQ(server.ReceiveEntry(), ReadNothing);

    ASSERT_TRUE(client.Send(CPacketConverter::GetInstance().Encode(MakeEntry(77, UnitManual))));
    ASSERT_EQ(ReceiveEntryOnServer(server), 14u);
    EXPECT_EQ(server.GetWaitingEntryMessage().Entry.HostId, 77u);
    EXPECT_EQ(server.GetWaitingEntryMessage().Entry.Name, L"SIDE");

    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Kind, KindEntry);
    EXPECT_EQ(client.GetReceivedData().Code, 15u);
    EXPECT_EQ(&client.GetReceivedMessage(), &client.GetReceivedData().Entry);
    EXPECT_EQ(server.GetClientAddress(77), "127.0.0.1");
    EXPECT_NE(server.GetClientPort(77), 0u);

    // Several packets in a row are read one per call, in order.
    FleetEditMessage fleet;
    fleet.Code = FleetEditMessage::FleetCode;
    fleet.Ships.resize(3);
    ASSERT_TRUE(client.SendMessage(MakeMessage(31)));
    ASSERT_TRUE(client.Send(CPacketConverter::GetInstance().Encode(fleet)));
    ASSERT_EQ(ReceiveOnServer(server, 77), ReadComplete);
    EXPECT_EQ(server.GetReceivedCode(77), 31u);
    ASSERT_EQ(ReceiveOnServer(server, 77), ReadComplete);
    EXPECT_EQ(server.GetReceivedCode(77), FleetEditMessage::FleetCode);
    EXPECT_EQ(server.GetReceivedMessage(77).Code, FleetEditMessage::FleetCode);
    EXPECT_EQ(server.GetFleetEditMessage(77).Ships.size(), 3u);
    EXPECT_EQ(server.ReceiveFrom(77), ReadNothing);

    server.ClearReceivedMessage(77);
    EXPECT_EQ(server.GetReceivedCode(77), 0u);
    EXPECT_EQ(server.GetReceivedMessage(77).Code, 0u);
}

TEST_F(TcpServerTest, ASecondConnectionFromOneMachineIsRefused)
{
    CSocketTcpClient first;
    ASSERT_EQ(Join(server, first, port), 1u);
    CSocketTcpClient second;
    ASSERT_EQ(Join(server, second, port), 3u);
    EXPECT_EQ(second.GetReceivedData().Plain.SecondCode, 21u);
    EXPECT_FALSE(second.IsConnected());
    EXPECT_EQ(server.CountWaitingConnections(), 1u);
    EXPECT_TRUE(first.IsConnected());

    CSocketTcpClient other;
    EXPECT_EQ(Join(server, other, port, "127.0.0.2"), 1u);
    EXPECT_EQ(server.CountWaitingConnections(), 2u);
}

TEST_F(TcpServerTest, EntryAdmissionByTypeAndMachine)
{
    struct Case {
        const char* From;
        std::uint32_t Type;
        bool Accepted;
        bool Pending;
    };
    std::uint64_t hostId = 100;
    for (const Case& c :
         {Case{"127.0.0.1", UnitManual, true, true}, Case{"127.0.0.2", UnitAuto, true, true},
          Case{"127.0.0.3", UnitWatching, true, false}, Case{"127.0.0.1", UnitWatching, false, false}}) {
        SCOPED_TRACE(std::string(c.From) + " type " + std::to_string(c.Type));
        ++hostId;
        CSocketTcpClient& client = Entering(hostId, c.Type, c.From);
        EntryMessage answer = server.GetWaitingEntryMessage();
        if (c.Accepted) {
            EXPECT_TRUE(server.AcceptEntry(answer));
        } else {
            EXPECT_THROW(server.AcceptEntry(answer), CConnectionRejectedException);
        }
        EXPECT_EQ(server.CountWaitingConnections(), 0u);
        ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
        EXPECT_EQ(client.GetReceivedData().Code, c.Accepted ? 15u : 17u);
        EXPECT_EQ(client.IsConnected(), c.Accepted);
        EXPECT_EQ(server.FindSocket(hostId) != InvalidSocket, c.Accepted);
        EXPECT_EQ(server.IsPending(hostId), c.Pending);
        if (!c.Accepted) {
            EXPECT_EQ(client.GetReceivedData().Entry.SecondCode, 21u);
            // Refused and forgotten: the machine may connect again at once.
            EXPECT_EQ(server.IsAddressConnected(c.From), 0u);
        }
        if (c.Accepted && std::string(c.From) == "127.0.0.1") {
            // Later checks connect from this machine again.
            server.Disconnect(server.FindSocket(hostId));
            ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
            EXPECT_EQ(client.GetReceivedData().Code, 4u);
        }
    }
}

TEST_F(TcpServerTest, RefusalsAndWhetherTheMachineMayComeBack)
{
    // Refused as watching prohibited: its address is forgotten.
    CSocketTcpClient& watcher = Entering(5, UnitWatching, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    EXPECT_TRUE(server.RejectEntry(answer, 22));
    ASSERT_EQ(ReceiveOnClient(watcher), ReadComplete);
    EXPECT_EQ(watcher.GetReceivedData().Code, 17u);
    EXPECT_EQ(watcher.GetReceivedData().Entry.SecondCode, 22u);
    EXPECT_FALSE(watcher.IsConnected());
    CSocketTcpClient again;
    EXPECT_EQ(Join(server, again, port, "127.0.0.2"), 1u);

    // Refused directly with 21: the machine stays known as connected.
    EntryMessage other = MakeEntry(6, UnitManual);
    ASSERT_TRUE(again.Send(CPacketConverter::GetInstance().Encode(other)));
    ASSERT_EQ(ReceiveEntryOnServer(server), 14u);
    EXPECT_TRUE(server.RejectEntry(other, 21));
    EXPECT_EQ(server.IsAddressConnected("127.0.0.2"), 1u);
    CSocketTcpClient third;
    EXPECT_EQ(Join(server, third, port, "127.0.0.2"), 3u);

    // Nothing waits: nothing to answer.
    EXPECT_EQ(server.ReceiveEntry(), ReadNothing);
    EXPECT_FALSE(server.AcceptEntry(answer));
    EXPECT_FALSE(server.RejectEntry(answer, 22));
}

TEST_F(TcpServerTest, EntriesAreAnsweredInTheOrderTheyConnected)
{
    CSocketTcpClient first;
    CSocketTcpClient second;
    ASSERT_EQ(Join(server, first, port, "127.0.0.2"), 1u);
    ASSERT_EQ(Join(server, second, port, "127.0.0.3"), 1u);
    // Both entries are in: the older connection is answered first.
    ASSERT_TRUE(second.Send(CPacketConverter::GetInstance().Encode(MakeEntry(12, UnitManual))));
    ASSERT_TRUE(first.Send(CPacketConverter::GetInstance().Encode(MakeEntry(11, UnitManual))));
    ASSERT_TRUE(WaitUntil([&] {
        server.ReceiveEntry();
        return server.GetWaitingEntryMessage().Entry.HostId == 11u;
    }));
    for (const std::uint64_t hostId : {11u, 12u}) {
        ASSERT_EQ(ReceiveEntryOnServer(server), 14u);
        EntryMessage answer = server.GetWaitingEntryMessage();
        EXPECT_EQ(answer.Entry.HostId, hostId);
        answer.SecondCode = static_cast<MessageCode>(hostId);
        ASSERT_TRUE(server.AcceptEntry(answer));
    }
    ASSERT_EQ(ReceiveOnClient(first), ReadComplete);
    ASSERT_EQ(ReceiveOnClient(second), ReadComplete);
    EXPECT_EQ(first.GetReceivedData().Entry.SecondCode, 11u);
    EXPECT_EQ(second.GetReceivedData().Entry.SecondCode, 12u);
    EXPECT_EQ(server.GetClientAddress(11), "127.0.0.2");
    EXPECT_EQ(server.GetClientAddress(12), "127.0.0.3");
}

TEST_F(TcpServerTest, ASecondEntryUnderAnEnteredIdIsRefused)
{
    Entering(21, UnitManual, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    const Socket socket = server.FindSocket(21);
    CSocketTcpClient& twin = Entering(21, UnitManual, "127.0.0.3");
    answer = server.GetWaitingEntryMessage();
    EXPECT_THROW(server.AcceptEntry(answer), CConnectionRejectedException);
    ASSERT_EQ(ReceiveOnClient(twin), ReadComplete);
    EXPECT_EQ(twin.GetReceivedData().Code, 17u);
    EXPECT_EQ(server.FindSocket(21), socket);
    EXPECT_EQ(server.CountWaitingConnections(), 0u);
}

TEST_F(TcpServerTest, ConfirmingMovesPlayersOutOfPendingAndAudienceStraightIn)
{
    Entering(31, UnitManual, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    Entering(32, UnitWatching, "127.0.0.3");
    answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    EXPECT_TRUE(server.GetSockets().empty());

    server.ConfirmEntry(31);
    server.ConfirmEntry(32);
    server.ConfirmEntry(99); // never entered
    EXPECT_FALSE(server.IsPending(31));
    EXPECT_TRUE(server.IsConfirmed(31));
    EXPECT_TRUE(server.IsConfirmed(32));
    EXPECT_FALSE(server.IsConfirmed(99));
    EXPECT_EQ(server.GetSockets(), (std::vector<Socket>{server.FindSocket(31), server.FindSocket(32)}));
}

TEST_F(TcpServerTest, APeerThatLeavesIsForgottenEverywhere)
{
    CSocketTcpClient& polite = Entering(41, UnitManual);
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    server.ConfirmEntry(41);
    ASSERT_EQ(ReceiveOnClient(polite), ReadComplete);

    // Code 4: the packet is read, then the connection is gone.
    polite.Disconnect();
    ASSERT_EQ(ReceiveOnServer(server, 41), ReadComplete);
    EXPECT_EQ(server.FindSocket(41), InvalidSocket);
    EXPECT_EQ(server.GetReceivedCode(41), ReadFailed);
    EXPECT_FALSE(server.IsConfirmed(41));
    EXPECT_TRUE(server.GetSockets().empty());
    EXPECT_EQ(server.IsAddressConnected("127.0.0.1"), 0u);
    EXPECT_EQ(server.ReceiveFrom(41), ReadFailed);

    // Without a word: the closed connection reads as failed.
    auto rude = EnterRaw(server, port, 42, "127.0.0.1");
    ASSERT_TRUE(rude);
    rude->Vanish();
    ASSERT_EQ(ReceiveOnServer(server, 42), ReadFailed);
    EXPECT_EQ(server.FindSocket(42), InvalidSocket);
    EXPECT_EQ(server.IsAddressConnected("127.0.0.1"), 0u);
}

TEST_F(TcpServerTest, AWaitingConnectionThatLeavesIsDroppedAlone)
{
    CSocketTcpClient leaving;
    ASSERT_EQ(Join(server, leaving, port, "127.0.0.2"), 1u);
    CSocketTcpClient next;
    ASSERT_EQ(Join(server, next, port, "127.0.0.3"), 1u);
    leaving.Disconnect();
    ASSERT_TRUE(WaitUntil([&] {
        EXPECT_EQ(server.ReceiveEntry(), ReadNothing);
        return server.CountWaitingConnections() == 1u;
    }));
    EXPECT_EQ(server.IsAddressConnected("127.0.0.2"), 0u);
    // The next connection is untouched and answered in its turn.
    EntryMessage answer;
    ASSERT_TRUE(next.Send(CPacketConverter::GetInstance().Encode(MakeEntry(51, UnitManual))));
    ASSERT_EQ(ReceiveEntryOnServer(server), 14u);
    answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(next), ReadComplete);
    EXPECT_EQ(next.GetReceivedData().Code, 15u);
}

TEST_F(TcpServerTest, SendingToAllReportsOnlyUnconfirmedLossesAndDropsTheLost)
{
    CSocketTcpClient& staying = Entering(60, UnitManual, "127.0.0.4");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(staying), ReadComplete);
    const Packet packet = CPacketConverter::GetInstance().Encode(MakeMessage(40));
    for (const bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed ? "confirmed" : "entered");
        const std::uint64_t hostId = confirmed ? 62 : 61;
        auto peer = EnterRaw(server, port, hostId, confirmed ? "127.0.0.3" : "127.0.0.2");
        ASSERT_TRUE(peer);
        if (confirmed) server.ConfirmEntry(hostId);
        EXPECT_TRUE(server.SendToAll(packet));

        // The peer goes away; the host notices on a later send.
        peer->Vanish();
        bool result = true;
        ASSERT_TRUE(WaitUntil([&] {
            result = server.SendToAll(packet);
            return server.FindSocket(hostId) == InvalidSocket;
        }));
        EXPECT_EQ(result, confirmed);
        EXPECT_EQ(server.IsAddressConnected(confirmed ? "127.0.0.3" : "127.0.0.2"), 0u);
    }
    // The side that stayed heard every packet.
    EXPECT_TRUE(server.SendToAll(CPacketConverter::GetInstance().Encode(MakeMessage(41))));
    std::size_t heard = 0;
    while (ReceiveOnClient(staying) == ReadComplete && staying.GetReceivedData().Code == 40u) ++heard;
    EXPECT_EQ(staying.GetReceivedData().Code, 41u);
    EXPECT_GE(heard, 4u);
    EXPECT_NE(server.FindSocket(60), InvalidSocket);
}

TEST_F(TcpServerTest, ClosingTellsEveryConnectionAndFreesThePort)
{
    CSocketTcpClient& entered = Entering(71, UnitManual, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    server.ConfirmEntry(71);
    ASSERT_EQ(ReceiveOnClient(entered), ReadComplete);
    CSocketTcpClient waiting;
    ASSERT_EQ(Join(server, waiting, port, "127.0.0.3"), 1u);

    EXPECT_FALSE(server.IsClosing());
    server.CloseAll();
    EXPECT_TRUE(server.IsClosing());
    EXPECT_FALSE(server.IsListening());
    for (CSocketTcpClient* client : {&entered, &waiting}) {
        ASSERT_EQ(ReceiveOnClient(*client), ReadComplete);
        EXPECT_EQ(client->GetReceivedData().Code, 4u);
        EXPECT_FALSE(client->IsConnected());
    }
    EXPECT_EQ(server.FindSocket(71), InvalidSocket);
    EXPECT_TRUE(server.GetSockets().empty());
    EXPECT_EQ(server.CountWaitingConnections(), 0u);
    EXPECT_EQ(server.IsAddressConnected("127.0.0.2"), 0u);

    // The same port serves the next battle.
    server.Listen();
    EXPECT_FALSE(server.IsClosing());
    CSocketTcpClient next;
    EXPECT_EQ(Join(server, next, port, "127.0.0.2"), 1u);
}

TEST(TcpClient, AClientWithoutAHostFailsAndStaysQuiet)
{
    CSocketTcpClient client;
    EXPECT_EQ(client.Receive(), ReadFailed);
    EXPECT_FALSE(client.SendCode(4));

    // Nobody listens there: the refusal shows on the first read.
    CSocketTcpServer probe;
    const std::uint16_t port = ListenOnLoopback(probe);
    probe.StopListening();
    client.SetAddress("127.0.0.1");
    client.SetPort(port);
    ASSERT_TRUE(client.Connect());
    EXPECT_EQ(ReceiveOnClient(client), ReadFailed);
    EXPECT_FALSE(client.IsConnected());
}

TEST(TcpClient, TheOwnAddressIsOneStringRefreshedByEachCall)
{
    const std::string* first = nullptr;
    try {
        first = &CSocketTcpClient::GetLocalAddress();
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "no address look-up on this machine";
    }
    EXPECT_EQ(&CSocketTcpClient::GetLocalAddress(), first);
    EXPECT_TRUE(CSocketTcpServer::IsLocalAddress("127.0.0.1"));
    EXPECT_FALSE(CSocketTcpServer::IsLocalAddress("127.0.0.2"));
}

TEST_F(TcpServerTest, ASideWhosePacketCannotBeReadIsABrokenConnection)
{
    auto peer = EnterRaw(server, port, 81, "127.0.0.2");
    ASSERT_TRUE(peer);
    auto other = EnterRaw(server, port, 82, "127.0.0.3");
    ASSERT_TRUE(other);
    Packet forged = CPacketConverter::GetInstance().Encode(MakeMessage(30));
    forged.back() = static_cast<char>(forged.back() ^ 1);
    ASSERT_TRUE(peer->Send(forged));
    ASSERT_TRUE(other->Send(CPacketConverter::GetInstance().Encode(MakeMessage(31))));
    // No exception leaves the transport: the connection is broken, and
    // only that one.
    EXPECT_EQ(ReceiveOnServer(server, 81), ReadFailed);
    EXPECT_EQ(server.FindSocket(81), InvalidSocket);
    EXPECT_EQ(server.GetReceivedCode(81), ReadFailed);
    ASSERT_EQ(ReceiveOnServer(server, 82), ReadComplete);
    EXPECT_EQ(server.GetReceivedCode(82), 31u);
}

TEST_F(TcpServerTest, WhatGettersGaveStaysWhenTheConnectionGoesAndLaterAnswersAreSafe)
{
    CSocketTcpClient& client = Entering(91, UnitManual, "127.0.0.2");
    const EntryMessage waiting = server.GetWaitingEntryMessage();
    EntryMessage answer = waiting;
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
    FleetEditMessage fleet;
    fleet.Ships.resize(2);
    ASSERT_TRUE(client.Send(CPacketConverter::GetInstance().Encode(fleet)));
    ASSERT_EQ(ReceiveOnServer(server, 91), ReadComplete);

    // Copies held across the read that removes the connection.
    const Message message = server.GetReceivedMessage(91);
    const FleetEditMessage held = server.GetFleetEditMessage(91);
    const EntryMessage entry = server.GetEntryMessage(91);
    const ReceivedData block = server.GetClientData(server.FindSocket(91));
    client.Disconnect();
    ASSERT_EQ(ReceiveOnServer(server, 91), ReadComplete);
    EXPECT_EQ(server.FindSocket(91), InvalidSocket);
    EXPECT_EQ(message.Code, FleetEditMessage::FleetCode);
    EXPECT_EQ(held.Ships.size(), 2u);
    EXPECT_EQ(entry.Entry.HostId, 91u);
    EXPECT_EQ(block.FleetEdit.Ships.size(), 2u);
    EXPECT_EQ(waiting.Entry.Name, L"SIDE");

    // Asked again, or for a side that never was, the answers are empty.
    for (const std::uint64_t hostId : {91ull, 12345ull}) {
        EXPECT_EQ(server.GetReceivedCode(hostId), ReadFailed);
        EXPECT_EQ(server.GetReceivedMessage(hostId).Code, 0u);
        EXPECT_EQ(server.GetFleetEditMessage(hostId).Code, 0u);
        EXPECT_TRUE(server.GetFleetEditMessage(hostId).Ships.empty());
        EXPECT_EQ(server.GetEntryMessage(hostId).Entry.HostId, 0u);
        EXPECT_EQ(server.GetClientAddress(hostId), "");
        EXPECT_EQ(server.GetClientPort(hostId), 0u);
    }
    EXPECT_EQ(server.GetClientData(InvalidSocket).Code, 0u);
    EXPECT_EQ(server.GetWaitingEntryMessage().Entry.HostId, 0u);
}

TEST_F(TcpServerTest, ARefusedMachineIsKnownByItsAddressNotByItsClosedSocket)
{
    Entering(93, UnitManual, "127.0.0.5");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.RejectEntry(answer, 21));
    // The next connection may well get the refused one's socket number; it
    // comes and goes without freeing the refusal or being taken for it.
    CSocketTcpClient other;
    ASSERT_EQ(Join(server, other, port, "127.0.0.6"), 1u);
    EXPECT_EQ(server.IsAddressConnected("127.0.0.6"), 1u);
    other.Disconnect();
    ASSERT_TRUE(WaitUntil([&] {
        server.ReceiveEntry();
        return server.CountWaitingConnections() == 0;
    }));
    EXPECT_EQ(server.IsAddressConnected("127.0.0.6"), 0u);
    EXPECT_EQ(server.IsAddressConnected("127.0.0.5"), 1u);
    CSocketTcpClient again;
    EXPECT_EQ(Join(server, again, port, "127.0.0.5"), 3u);
    CSocketTcpClient back;
    EXPECT_EQ(Join(server, back, port, "127.0.0.6"), 1u);
    // A new set-up forgets the refusal.
    server.CloseAll();
    server.Listen();
    CSocketTcpClient forgiven;
    EXPECT_EQ(Join(server, forgiven, port, "127.0.0.5"), 1u);
}

namespace {
// What the server needs of a side: its host id and its profile.
struct SideStub {
    UnitProfile Profile;
    std::uint64_t GetHostId() const { return Profile.HostId; }
    const UnitProfile& GetProfile() const { return Profile; }
};
} // namespace

TEST_F(TcpServerTest, CodesGoToOneSideWithItsProfileAsSender)
{
    CSocketTcpClient& client = Entering(95, UnitManual, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);

    SideStub side;
    side.Profile.HostId = 95;
    side.Profile.Name = L"NINETY-FIVE";
    EXPECT_EQ(server.GetEntryMessageOfUnit(side).Entry.Name, L"SIDE");
    ASSERT_TRUE(server.SendCodeToUnit(side, 33));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Kind, KindMessage);
    EXPECT_EQ(client.GetReceivedData().Plain.Code, 33u);
    EXPECT_EQ(client.GetReceivedData().Plain.SecondCode, 0u);
    EXPECT_EQ(client.GetReceivedData().Plain.Sender.Name, L"NINETY-FIVE");

    EXPECT_TRUE(server.SendMessageToSocket(server.FindSocket(95), MakeMessage(34)));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Code, 34u);
    // Nobody to send to: no packet, false.
    EXPECT_FALSE(server.SendMessageToSocket(InvalidSocket, MakeMessage(34)));
    side.Profile.HostId = 96;
    EXPECT_FALSE(server.SendCodeToUnit(side, 33));
    EXPECT_EQ(server.GetEntryMessageOfUnit(side).Entry.HostId, 0u);
}
