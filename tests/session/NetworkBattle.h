// A host and one client in one process, joined by the in-memory transport,
// and a driver that plays the battle screens' part on both: the codes the
// map scenes, the result reports and the network monitors would pass, in
// the order they would pass them. The client side's fleet is driven by the
// computer brain on the client, so whole battles run without input.
#pragma once

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/MessageCodes.h"
#include "model/Panel.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "session/GUITurnManager.h"
#include "tests/net/InMemoryTransport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace Marevane::Testing {

// Queued calls need an application object to be delivered.
inline void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "gui-turn-manager-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

constexpr std::uint64_t GuestHostId = 0xC11E47;

// What the battle sequence hands a new turn manager, in its order.
inline void Wire(CTurnManager& manager, CGameEdit& rules, CBoard& board, CUnitFactory& units,
                 CShipFactory& ships, CResultManager& results, CLogger& logger)
{
    manager.SetUnits(units.GetUnits());
    manager.CreateArbiter(&rules);
    manager.SetBoard(&board);
    manager.SetUnitFactory(&units);
    manager.SetShipFactory(&ships);
    manager.SetResultManager(&results);
    manager.SetLogCache(&logger);
}

// The transport is a parameter so that the same battles run over sockets.
template <class Server> struct BasicHostWorld {
    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CShipFactory ships{&board, &rules};
    CLogger logger;
    Server server;
    CGUITurnManagerOnServer manager{&server};

    CUnit* Local() const { return units.GetLocalUnit(); }
    CUnit* Guest() const { return units.FindUnitByHost(GuestHostId); }

    // Each ship on its panel, or on the next free one where the board drew
    // a reef or a ship already stands.
    void Place(CUnit& unit, std::vector<std::pair<ShipType, MapPos>> fleet)
    {
        for (const auto& ship : fleet) ships.CreateShip(&unit, ship.first, FreePanel(ship.second));
    }

    CPanel* FreePanel(const MapPos& wanted)
    {
        const std::uint32_t count = board.GetRows() * board.GetColumns();
        const std::uint32_t start = (wanted.x - 1) * board.GetColumns() + (wanted.y - 1);
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t i = (start + k) % count;
            CPanel* panel = board.GetPanel(MapPos(i / board.GetColumns() + 1, i % board.GetColumns() + 1));
            if (panel->IsPassable() && m_taken.insert(panel).second) return panel;
        }
        return nullptr;
    }

    std::set<const CPanel*> m_taken;

    void Wire() { Testing::Wire(manager, rules, board, units, ships, CResultManager::GetInstance(), logger); }
};

template <class Client> struct BasicClientWorld {
    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CShipFactory ships{&board, &rules};
    CResultManager results;
    CLogger logger;
    Client client;
    CGUITurnManagerOnClient manager{&client};

    CUnit* Local() const { return units.GetLocalUnit(); }

    void Wire() { Testing::Wire(manager, rules, board, units, ships, results, logger); }
};

// Everything of a side the client must agree on with the host.
inline auto ShipKey(const ShipProfile& s)
{
    return std::make_tuple(s.UnitId, s.ShipId, s.Type, s.Status, s.Condition, s.LastEvent, s.PendingStatus,
                           s.Hp, s.Fp, s.FpChange, s.Pos.x, s.Pos.y, s.WeaponStock, s.IsFlagship,
                           s.Statistics.Counters);
}

inline std::map<std::uint32_t, std::vector<decltype(ShipKey(ShipProfile()))>>
FleetsOf(const std::vector<CUnit*>& units)
{
    std::map<std::uint32_t, std::vector<decltype(ShipKey(ShipProfile()))>> fleets;
    for (CUnit* unit : units) {
        auto& fleet = fleets[unit->GetId()];
        for (const auto& entry : unit->GetShips()) fleet.push_back(ShipKey(entry.second->GetProfile()));
    }
    return fleets;
}

inline std::map<std::uint32_t, std::set<MapPos>> KnownPanelsOf(const CBoard& board)
{
    std::map<std::uint32_t, std::set<MapPos>> known;
    for (const CSeaPanel& panel : board.GetSeaPanels()) {
        for (std::uint32_t id : panel.GetKnownUnits()) known[id].insert(panel.GetPos());
    }
    return known;
}

template <class Server, class Client> class BasicNetworkBattle {
  public:
    using Check = std::function<void(const std::string& when)>;

    BasicNetworkBattle()
    {
        EnsureApp();
        CResultManager::GetInstance().Clear();
    }

    // Two computer sides, one on each machine, with fixed fleets.
    void SetUp(std::uint32_t deadlineRounds = 8, MapPos size = MapPos(5, 5))
    {
        host.rules.SetRule(GameModeVersus | GameModeSingle, size);
        GameEditInfo& info = host.rules.GetInfo();
        info.Mission = 0x50000010; // deadline: the battle ends by itself
        info.DeadlineRounds = deadlineRounds;
        host.board.Build(info.Map);
        CUnit* local = host.units.CreateLocalUnit(UnitAuto, 0, L"HOST", L"");
        UnitProfile guest(host.units.GetNextUnitNumber(), UnitAuto, 1, L"GUEST", L"");
        guest.HostId = GuestHostId;
        CUnit* remote = host.units.CreateUnit(guest);
        host.Place(*local, {{ShipTypeBattleship, MapPos(1, 1)},
                            {ShipTypeDestroyer, MapPos(1, 3)},
                            {ShipTypeSubmarine, MapPos(2, 5)}});
        host.Place(*remote, {{ShipTypeBattleship, MapPos(5, 5)},
                             {ShipTypeDestroyer, MapPos(5, 3)},
                             {ShipTypeSubmarine, MapPos(4, 1)}});
        host.Wire();
        host.server.Attach(guestClient(), GuestHostId);

        client.rules.GetInfo() = info;
        client.units.CreateLocalUnit(UnitAuto, 0, L"GUEST", L"")->SetHostId(GuestHostId);
        client.Wire();
    }

    Client& guestClient() { return client.client; }

    // Plays until the battle ends on both machines (or a step limit).
    void Run(const Check& check = Check(), std::size_t maxSteps = 20000)
    {
        m_check = check;
        RunUntil([this] { return hostEnded && clientEnded; }, maxSteps);
    }

    // Plays until the condition holds after a step; false when the battle
    // stalled or the step limit came first.
    template <typename Condition> bool RunUntil(Condition done, std::size_t maxSteps = 20000)
    {
        if (!m_begun) {
            m_begun = true;
            host.manager.Update(45);
            PumpClient();
        }
        for (std::size_t step = 0; step < maxSteps; ++step) {
            if (done()) return true;
            if (!Step()) return false;
        }
        return done();
    }

    // One host step and whatever the client does about it.
    bool Step()
    {
        if (!m_hostPending.empty()) {
            const MessageCode code = m_hostPending.front();
            m_hostPending.pop_front();
            HostStep(code);
        } else if (!PumpHost()) {
            return false; // nobody has anything left to do
        }
        PumpClient();
        return true;
    }

    // Reads what the client sent; answers whether anything was read.
    bool PumpHost()
    {
        CUnit* guest = host.Guest();
        if (!guest) return false;
        const MessageCode result = host.server.ReceiveFromUnit(*guest);
        if (result == ReadFailed) {
            HostStep(124);
            return true;
        }
        if (result != ReadComplete) return false;
        HostStep(host.server.GetReceivedCodeOfUnit(*guest));
        return true;
    }

    void PumpClient()
    {
        while (!clientEnded) {
            const MessageCode result = client.client.Receive();
            if (result == ReadFailed) {
                ClientStep(124);
                return;
            }
            if (result != ReadComplete) return;
            ClientStep(client.client.GetReceivedData().Code);
        }
    }

    void HostStep(MessageCode code)
    {
        CGUITurnManagerOnServer& manager = host.manager;
        CUnit* unit = manager.GetCurrentUnit();
        if (IsErrorCode(code) && code != 124) {
            manager.Update(code);
            ++refusals;
            if (unit && IsLocal(*unit)) DecideOnHost(*unit);
            return;
        }
        switch (code) {
        case 10:
        case 87:
        case 89:
            if (code == 10) {
                manager.Update(53);
                unit->ExecuteCommand(manager.GetCurrentUnitEntry());
            }
            manager.Update(73);
            manager.Update(code);
            ++turns;
            m_hostPending.push_back(67);
            break;
        case 51:
            refusals = 0;
            manager.Update(51);
            unit = manager.GetCurrentUnit();
            if (!unit->IsActive()) {
                m_hostPending.push_back(Carry(unit->ExecuteCommand(manager.GetCurrentUnitEntry())));
            } else if (IsLocal(*unit)) {
                DecideOnHost(*unit);
            }
            break;
        case 52:
            manager.Update(52);
            m_hostPending.push_back(51);
            break;
        case 53:
            manager.Update(53);
            m_hostPending.push_back(Carry(unit->ExecuteCommand(manager.GetCurrentUnitEntry())));
            break;
        case 67:
            if (manager.IsGameDecided()) {
                manager.Update(47);
                hostEnded = true;
            } else {
                manager.Update(67);
                if (IsLocal(*unit)) m_hostPending.push_back(69);
            }
            break;
        case 68:
            if (!m_started) m_hostPending.push_back(51);
            m_started = true;
            break;
        case 69:
            m_hostPending.push_back(52);
            break;
        case 124:
            manager.Update(124);
            hostEnded = true;
            break;
        default:
            break;
        }
    }

    void ClientStep(MessageCode code)
    {
        CGUITurnManagerOnClient& manager = client.manager;
        if (IsErrorCode(code) && code != 124) {
            // Shown on the map only; the side tries again.
            DecideOnClient();
            return;
        }
        switch (code) {
        case 10:
        case 87:
        case 89:
            manager.Update(code);
            manager.Update(67); // the result report has shown its lines
            break;
        case 45:
            manager.Update(45);
            manager.Update(68);
            break;
        case 47:
            manager.Update(47);
            clientEnded = true;
            break;
        case 51:
            manager.Update(51);
            Compare("turn start");
            DecideOnClient();
            break;
        case 71:
            manager.Update(71);
            Compare("turn end");
            manager.Update(69);
            break;
        case 52:
        case 58:
        case 70:
            manager.Update(code);
            break;
        case 124:
            manager.Update(124);
            clientEnded = true;
            break;
        default:
            break;
        }
        if (manager.IsDisconnected()) clientEnded = true;
    }

    bool IsLocal(const CUnit& unit) const { return unit.GetProfile().OriginFlag == 0; }

    void DecideOnHost(CUnit& unit)
    {
        if (refusals >= 100) {
            CommandInput pass;
            pass.Command = CommandPass;
            pass.Direction = DirectionNorth;
            unit.SetCommandInput(pass);
        } else {
            unit.DecideCommand();
        }
        m_hostPending.push_back(53);
    }

    void DecideOnClient()
    {
        CGUITurnManagerOnClient& manager = client.manager;
        CUnit* unit = manager.GetCurrentUnit();
        if (!unit || unit != client.Local() || !unit->IsActive() || !manager.IsTurnRunning()) return;
        if (holdClient && holdClient()) return;
        unit->DecideCommand();
        manager.Update(53);
        ++clientCommands;
    }

    // A result the play sequence has no step for goes on as a success.
    static MessageCode Carry(MessageCode result)
    {
        if (!IsErrorCode(result) && !IsResultCode(result)) return CommandSuccess;
        return result;
    }

    void Compare(const std::string& when)
    {
        ++comparisons;
        if (m_check) m_check(when);
    }

    BasicHostWorld<Server> host;
    BasicClientWorld<Client> client;
    bool hostEnded = false;
    bool clientEnded = false;
    std::size_t turns = 0;
    std::size_t refusals = 0;
    std::size_t clientCommands = 0;
    std::size_t comparisons = 0;
    // While it holds, the client's side does not decide (tests act for it).
    std::function<bool()> holdClient;

  private:
    std::deque<MessageCode> m_hostPending;
    bool m_begun = false;
    bool m_started = false;
    Check m_check;
};

using HostWorld = BasicHostWorld<CInMemoryTcpServer>;
using ClientWorld = BasicClientWorld<CInMemoryTcpClient>;
using NetworkBattle = BasicNetworkBattle<CInMemoryTcpServer, CInMemoryTcpClient>;

} // namespace Marevane::Testing
