#include "tests/net/InMemoryTransport.h"

#include <gtest/gtest.h>

using namespace Marevane;

namespace {

EntryMessage MakeEntry(std::uint64_t hostId, std::uint32_t type)
{
    EntryMessage entry(14);
    entry.Entry.HostId = hostId;
    entry.Entry.Type = type;
    entry.Entry.Name = L"PL1";
    return entry;
}

} // namespace

TEST(InMemoryTransport, AcceptedEntryIsAnsweredAndEntered)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient client;
    server.Connect(client, "192.0.2.7", 41000);
    ASSERT_EQ(client.Receive(), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Code, 1u);

    EXPECT_EQ(server.ReceiveEntry(), ReadNothing);
    ASSERT_TRUE(client.Send(CPacketConverter::GetInstance().Encode(MakeEntry(77, UnitManual))));
    ASSERT_EQ(server.ReceiveEntry(), 14u);
    EXPECT_EQ(server.GetWaitingEntryMessage().Entry.HostId, 77u);

    EntryMessage answer = server.GetWaitingEntryMessage();
    answer.SecondCode = 16;
    EXPECT_TRUE(server.AcceptEntry(answer));
    EXPECT_EQ(server.CountWaitingConnections(), 0u);
    EXPECT_NE(server.FindSocket(77), InvalidSocket);
    EXPECT_EQ(server.GetClientAddress(77), "192.0.2.7");
    EXPECT_EQ(server.GetClientPort(77), 41000);

    ASSERT_EQ(client.Receive(), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Kind, KindEntry);
    EXPECT_EQ(client.GetReceivedData().Entry.Code, 15u);
    EXPECT_EQ(client.GetReceivedData().Entry.SecondCode, 16u);
}

TEST(InMemoryTransport, RefusedEntryClosesTheConnection)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient client;
    server.Connect(client);
    client.Receive();
    client.Send(CPacketConverter::GetInstance().Encode(MakeEntry(5, UnitWatching)));
    ASSERT_EQ(server.ReceiveEntry(), 14u);
    EntryMessage answer = server.GetWaitingEntryMessage();
    EXPECT_TRUE(server.RejectEntry(answer, 22));
    EXPECT_EQ(server.FindSocket(5), InvalidSocket);

    ASSERT_EQ(client.Receive(), ReadComplete);
    EXPECT_EQ(client.GetReceivedData().Code, 17u);
    EXPECT_EQ(client.GetReceivedData().Entry.SecondCode, 22u);
    EXPECT_EQ(client.Receive(), ReadFailed);
    EXPECT_FALSE(client.SendCode(53));
}

TEST(InMemoryTransport, AudienceFromTheHostItselfIsRejected)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient client;
    server.Connect(client, "127.0.0.1");
    client.Send(CPacketConverter::GetInstance().Encode(MakeEntry(9, UnitWatching)));
    ASSERT_EQ(server.ReceiveEntry(), 14u);
    EntryMessage answer = server.GetWaitingEntryMessage();
    EXPECT_THROW(server.AcceptEntry(answer), CConnectionRejectedException);
    EXPECT_EQ(server.CountWaitingConnections(), 0u);
}

TEST(InMemoryTransport, SendToAllDisconnectsAFailedPeer)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient a;
    CInMemoryTcpClient b;
    server.Attach(a, 1);
    const Socket socketB = server.Attach(b, 2);
    server.FailSendsTo(socketB);

    EXPECT_TRUE(server.SendToAll(CPacketConverter::GetInstance().Encode(MakeMessage(58))));
    EXPECT_EQ(server.FindSocket(2), InvalidSocket);
    EXPECT_EQ(server.GetSockets().size(), 1u);
    ASSERT_EQ(a.Receive(), ReadComplete);
    EXPECT_EQ(a.GetReceivedData().Code, 58u);
    EXPECT_EQ(a.Receive(), ReadNothing);
}

TEST(InMemoryTransport, BrokenOrClosingPeerReadsAsFailed)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient a;
    CInMemoryTcpClient b;
    server.Attach(a, 1);
    server.Attach(b, 2);

    a.SendCode(4);
    EXPECT_EQ(server.ReceiveFrom(1), ReadComplete);
    EXPECT_EQ(server.FindSocket(1), InvalidSocket);

    EXPECT_EQ(server.ReceiveFrom(2), ReadNothing);
    b.Break();
    EXPECT_EQ(server.ReceiveFrom(2), ReadFailed);
    EXPECT_EQ(server.GetReceivedCode(2), ReadFailed);
    EXPECT_EQ(b.Receive(), ReadFailed);
}
