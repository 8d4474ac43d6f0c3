// The connection screen in the real screen flow, with a local side of the
// chosen kind, on a free loopback port, and the loopback peers a test
// scripts: a client that enters a host, and a host that admits a client.
#pragma once

#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "net/UdpNetwork.h"
#include "screens/setup/NetworkConnectionSequence.h"
#include "tests/screens/kit/ScreenTest.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include "gui/Popups.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"

#include <QLineEdit>
#include <QSpinBox>

#include <cstdint>
#include <random>
#include <string>

namespace Marevane::Testing {

// A port nobody uses now, for TCP and for the discovery datagrams. It is
// drawn below the kernel's range of ports for outgoing connections, so a
// connection made meanwhile cannot take it before the screen listens.
inline std::uint16_t FreePort()
{
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<int> pick(20000, 32000);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = static_cast<std::uint16_t>(pick(engine));
        try {
            const int listener = OpenListener("0.0.0.0", port);
            CloseSocket(listener);
            const int datagrams = OpenDatagramListener(port);
            if (datagrams < 0) continue;
            CloseSocket(datagrams);
            return port;
        } catch (const std::exception&) {
        }
    }
    return 0;
}

// The texts of a row, joined by spaces.
inline QString RowText(const CConnectionListItem& row)
{
    QStringList texts;
    for (const CSimpleTextItem* text : row.GetTexts()) texts << text->text();
    return texts.join(QLatin1Char(' '));
}

class NetworkScreenTest : public ScreensTest {
  protected:
    void SetUp() override
    {
        ScreensTest::SetUp();
        SetBroadcastAddress("127.255.255.255");
        port = FreePort();
        ASSERT_NE(port, 0);
    }
    void TearDown() override
    {
        sequence = nullptr;
        scene = nullptr;
        ScreensTest::TearDown();
        SetBroadcastAddress("255.255.255.255");
    }

    // The local side (named "Host" on a server, "Guest" on a client) and, on
    // a server, one rival of the kind given per network player; then the
    // connection screen, with the test's port in its box.
    void Open(std::uint32_t host, std::uint32_t type = UnitManual, int networkPlayers = 1)
    {
        CUnitFactory* factory = control->GetUnitFactory();
        factory->Clear();
        CUnit* local = factory->CreateLocalUnit(type == UnitAuto ? UnitAuto : UnitManual, host,
                                                host == HostServer ? L"Host" : L"Guest", L"");
        local->SetUnitType(type);
        GameEditInfo& info = Rules()->GetInfo();
        if (host == HostServer) {
            std::vector<std::uint32_t> types = {type};
            for (int i = 0; i < networkPlayers; ++i) types.push_back(UnitManual);
            factory->CreateDefaultUnits(types);
            info.PlayerCount = static_cast<std::uint32_t>(types.size());
            info.PlayerTypes = types;
            info.TeamCount = static_cast<std::uint32_t>(networkPlayers);
        } else {
            info.TeamCount = 1;
        }
        sequence = new CNetworkConnectionSequence(nullptr, nullptr);
        Manager()->Push(sequence);
        ASSERT_TRUE(WaitForType(SequenceType::NetworkConnection));
        scene = sequence->GetScene();
        ASSERT_NE(scene, nullptr);
        scene->GetPortBox()->setValue(port);
    }

    // The profile a scripted peer enters with.
    static UnitProfile Profile(const std::wstring& name, std::uint32_t host, std::uint64_t hostId,
                               std::uint32_t type = UnitManual)
    {
        UnitProfile profile(0, type, host, name, L"");
        profile.HostId = hostId;
        return profile;
    }

    // Polls the client until a packet arrives; its code, or 0 on time-out.
    static MessageCode NextCode(CSocketTcpClient& client, int timeoutMs = 5000)
    {
        MessageCode code = 0;
        WaitUntil(
            [&] {
                const MessageCode result = client.Receive();
                if (result == ReadComplete) code = client.GetReceivedData().Code;
                if (result == ReadFailed) code = ReadFailed;
                return code != 0;
            },
            timeoutMs);
        return code;
    }

    // A scripted client from the source address: connected and entered.
    bool Enter(CSocketTcpClient& client, const std::string& source, const UnitProfile& profile,
               const GameEditInfo& rules)
    {
        client.SetAddress("127.0.0.1");
        client.SetPort(port);
        client.SetLocalAddress(source);
        if (!client.Connect() || NextCode(client) != 1) return false;
        EntryMessage entry(14);
        entry.IsPlayer = profile.Type != UnitWatching;
        entry.Sender = profile;
        entry.Units = {profile};
        entry.Rules = rules;
        return client.Send(CPacketConverter::GetInstance().Encode(entry));
    }

    // The host's screen listening after a push on "Connect".
    void Listen()
    {
        scene->GetConnectButton()->click();
        ASSERT_TRUE(WaitUntil([this] { return control->GetTcpServer()->IsListening(); }));
    }

    std::uint16_t port = 0;
    CNetworkConnectionSequence* sequence = nullptr;
    CNetworkConnectionScene* scene = nullptr;
};

} // namespace Marevane::Testing
