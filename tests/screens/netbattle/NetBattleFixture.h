// A network battle in the real screen flow, one machine's half at a time,
// on loopback at 1/20 speed. For the client's half a scripted host: a
// listening socket with the host's own battle model, whose turn manager
// speaks the wire messages, stepped by the test as the host's screens would
// step it (its own side passes every turn). For the host's half a scripted
// client: a bare connection that has entered as the guest.
#pragma once

#include "model/Random.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "tests/screens/battleflow/BattleFlowFixture.h"
#include "tests/session/NetworkBattle.h"

#include <QElapsedTimer>

#include <deque>
#include <random>
#include <stdexcept>

namespace Marevane::Testing {

// Listens on a free port of 127.0.0.1 below the range of outgoing ports.
inline std::uint16_t ListenOnFreePort(CSocketTcpServer& server)
{
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<int> pick(20000, 32000);
    server.SetListenAddress("127.0.0.1");
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = static_cast<std::uint16_t>(pick(engine));
        server.SetPort(port);
        try {
            server.Listen();
            return port;
        } catch (const std::exception&) {
        }
    }
    throw std::runtime_error("no free loopback port");
}

// Connects the client to the server as the guest (or a watcher of that
// host id) and has the server admit and confirm it, as the connection
// screens do; nothing is left unread.
inline bool EnterAsGuest(CSocketTcpServer& server, CSocketTcpClient& client, std::uint16_t port,
                         const GameEditInfo& rules, std::uint32_t type = UnitManual,
                         std::uint64_t hostId = GuestHostId)
{
    client.SetAddress("127.0.0.1");
    client.SetPort(port);
    client.SetLocalAddress("127.0.0.2");
    if (!client.Connect()) return false;
    MessageCode code = ReadNothing;
    WaitUntil([&] {
        server.Accept();
        code = client.Receive();
        return code != ReadNothing;
    });
    if (code != ReadComplete || client.GetReceivedData().Code != 1) return false;
    EntryMessage entry(14);
    entry.IsPlayer = type != UnitWatching;
    entry.Entry = UnitProfile(0, type, HostClient, L"Guest", L"");
    entry.Entry.HostId = hostId;
    entry.Sender = entry.Entry;
    entry.Rules = rules;
    if (!client.Send(CPacketConverter::GetInstance().Encode(entry))) return false;
    if (!WaitUntil([&] { return server.ReceiveEntry() == 14; })) return false;
    EntryMessage answer = server.GetWaitingEntryMessage();
    if (!server.AcceptEntry(answer)) return false;
    server.ConfirmEntry(hostId);
    code = ReadNothing;
    WaitUntil([&] {
        code = client.Receive();
        return code != ReadNothing;
    });
    client.ClearReceivedData();
    return code == ReadComplete;
}

// The host of the client's half. Its steps wait as the host's screens do:
// the end of a result until the client's report has shown it (the host's
// own report takes as long), the next turn a while after the last ended.
class ScriptedHost {
  public:
    using Gate = std::function<bool()>;

    explicit ScriptedHost(const GameEditInfo& info)
    {
        port = ListenOnFreePort(world.server);
        world.rules.GetInfo() = info;
        world.board.Build(info.Map);
        world.units.CreateLocalUnit(UnitManual, HostServer, L"Host", L"");
        UnitProfile guest(world.units.GetNextUnitNumber(), UnitManual, HostClient, L"Guest", L"");
        guest.HostId = GuestHostId;
        world.units.CreateUnit(guest);
    }

    // The guest's fleet as it sent it, placed on the host's board, and the
    // host's own fleet on the free panels farthest from it.
    bool TakeFleet()
    {
        if (!WaitUntil([this] { return world.server.ReceiveFrom(GuestHostId) == ReadComplete; }))
            return false;
        const FleetEditMessage fleet = world.server.GetFleetEditMessage(GuestHostId);
        for (const ShipProfile& ship : fleet.Ships) {
            CPanel* panel = world.board.GetPanel(ship.Pos);
            world.ships.CreateShip(world.Guest(), ship.Type, panel);
            world.m_taken.insert(panel);
        }
        world.Place(*world.Local(), {{ShipTypeBattleship, MapPos(5, 5)},
                                     {ShipTypeDestroyer, MapPos(5, 3)},
                                     {ShipTypeSubmarine, MapPos(4, 5)}});
        return fleet.Ships.size() == 3;
    }

    // The battle data: the host's battle sequence starts its battle.
    void StartBattle()
    {
        Wire(world.manager, world.rules, world.board, world.units, world.ships, results, world.logger);
        world.manager.Update(BattleStarts);
    }

    // One step of the host, when one is due: its own pending steps first,
    // else what the guest sent.
    void Pump()
    {
        if (ended) return;
        if (!pending.empty()) {
            if (pending.front().gate && !pending.front().gate()) return;
            const MessageCode code = pending.front().code;
            pending.pop_front();
            Step(code);
            return;
        }
        CUnit* guest = world.Guest();
        const MessageCode result = world.server.ReceiveFromUnit(*guest);
        if (result == ReadFailed) {
            Step(InvalidDisconnection);
        } else if (result == ReadComplete) {
            const MessageCode code = world.server.GetReceivedCodeOfUnit(*guest);
            fromGuest.push_back(code);
            Step(code);
        }
    }

    // The host's player or the connection goes: the socket closes without
    // a word.
    void Vanish()
    {
        ended = true;
        world.server.Reset();
    }

    CTurnManager& Manager() { return world.manager; }

    BasicHostWorld<CSocketTcpServer> world;
    CResultManager results;
    std::uint16_t port = 0;
    // How many results the client has shown to their end.
    std::function<int()> resultsShown;
    std::vector<MessageCode> fromGuest;
    bool ended = false;

  private:
    struct Pending {
        MessageCode code;
        Gate gate;
    };

    void Later(MessageCode code, Gate gate = Gate()) { pending.push_back({code, std::move(gate)}); }
    void After(MessageCode code, int ms)
    {
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        Later(code, [clock, ms] { return clock->elapsed() >= ScaledMs(ms); });
    }

    void Step(MessageCode code)
    {
        CGUITurnManagerOnServer& manager = world.manager;
        CUnit* unit = manager.GetCurrentUnit();
        switch (code) {
        case TimeUp:
        case CommandSent: {
            if (unit == nullptr) return;
            manager.Update(CommandSent);
            // A time-out still carries out what the side had put in.
            MessageCode result = unit->ExecuteCommand(manager.GetCurrentUnitEntry());
            if (code == TimeUp) result = TimeUp;
            if (IsErrorCode(result)) {
                manager.Update(result);
                return;
            }
            manager.Update(AfterAction);
            manager.Update(result);
            // The host's report takes as long as the client's.
            const int sent = ++resultsSent;
            Later(ReportFinished, [this, sent] { return !resultsShown || resultsShown() >= sent; });
            return;
        }
        case StartConfirmed:
            if (!started) After(TurnStarts, 0);
            started = true;
            return;
        case TurnStarts:
            manager.Update(TurnStarts);
            unit = manager.GetCurrentUnit();
            if (unit != nullptr && unit == world.Local()) {
                CommandInput pass;
                pass.Command = CommandPass;
                pass.ShipId = 1;
                pass.Direction = DirectionNorth;
                unit->SetCommandInput(pass);
                After(CommandSent, 2000);
            }
            return;
        case ReportFinished:
            if (manager.IsGameDecided()) {
                manager.Update(BattleEnds);
                ended = true;
                return;
            }
            manager.Update(ReportFinished);
            if (unit == world.Local()) After(EndOfTurnCheck, 2000);
            return;
        case EndOfTurnCheck:
            if (unit != world.Local() && unit != world.Guest()) return;
            manager.Update(TurnEnds);
            After(TurnStarts, 2000);
            return;
        case InvalidDisconnection:
            manager.Update(InvalidDisconnection);
            ended = true;
            return;
        default:
            return;
        }
    }

    std::deque<Pending> pending;
    int resultsSent = 0;
    bool started = false;
};

} // namespace Marevane::Testing
