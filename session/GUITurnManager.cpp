#include "session/GUITurnManager.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/MessageBuilder.h"
#include "model/MessageCodes.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/TcpClient.h"
#include "net/TcpServer.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <limits>
#include <mutex>
#include <set>

namespace Marevane {

namespace {

constexpr std::uint32_t MinMapSide = 3;

std::uint64_t RemainingTime(const CUnit& unit)
{
    const std::int64_t left = unit.GetTimer().GetTimeLimit();
    return left > 0 ? static_cast<std::uint64_t>(left) : 0;
}

std::int64_t ToLimit(std::uint64_t ms)
{
    return static_cast<std::int64_t>(std::min<std::uint64_t>(ms, std::numeric_limits<std::int64_t>::max()));
}

} // namespace

// Server --------------------------------------------------------------------

CGUITurnManagerOnServer::CGUITurnManagerOnServer(CTcpServer* server) : m_server(server) {}

void CGUITurnManagerOnServer::Reset()
{
    CTurnManagerOnServer::Reset();
    if (m_logger) m_logger->GetImpl().Clear();
}

std::uint32_t CGUITurnManagerOnServer::GetSurfacingPeriod() const
{
    return GetRules() ? GetRules()->GetInfo().SurfacingCycle : DefaultSurfacingPeriod;
}

bool CGUITurnManagerOnServer::IsRemote(const CUnit& unit)
{
    const std::uint32_t type = unit.GetUnitType();
    return (type == UnitManual || type == UnitAuto) && unit.GetProfile().OriginFlag == 1;
}

void CGUITurnManagerOnServer::NotifyAll(MessageCode code)
{
    for (CUnit* unit : GetUnits()) {
        if (unit) unit->OnMessage(code);
    }
    CResultManager* results = GetResultManager();
    if (!results) return;
    results->Record(code, GetCurrentUnit(), GetUnits());
    if (m_logger && (IsResultCode(code) || code == BattleEnds)) {
        m_logger->GetImpl().Log(code, results->GetLatestLog());
    }
    // A network side learns why its command was refused.
    CUnit* unit = GetCurrentUnit();
    if (IsErrorCode(code) && unit && IsRemote(*unit)) {
        ResultMessage& record = results->GetCurrentLog();
        record.Sender = unit->GetProfile();
        record.Code = code;
        SendToAll(record);
    }
}

void CGUITurnManagerOnServer::UpdateBoard()
{
    if (GetBoard()) GetBoard()->StoreMapState(GetUnits());
}

void CGUITurnManagerOnServer::RecordAction()
{
    CUnit* unit = GetCurrentUnit();
    if (!unit) return;
    const std::uint32_t period = GetSurfacingPeriod();
    const std::uint32_t round = GetPlayOrder().Round;
    if (unit->IsActive() && period != 0) {
        bool dive = false;
        bool surface = false;
        if (period == 1) {
            dive = round % 2 == 1;
            surface = !dive;
        } else if (round >= 2) {
            dive = round % period == 0;
            surface = round % period == 1;
        }
        if (dive) unit->MarkVisibleShips();
        if (surface) unit->MarkStealthedShips();
    }
    unit->RefreshShipStatuses();
    unit->RecordAction(3, GetUnits());
}

ProgressMessage CGUITurnManagerOnServer::BuildProgressMessage(MessageCode code) const
{
    CUnit* unit = GetCurrentUnit();
    ProgressMessage state = unit ? MakeProgressMessage(code, *unit, GetUnits()) : ProgressMessage();
    state.Code = code;
    if (unit) {
        state.Time = RemainingTime(*unit);
        if (!unit->CanAct()) state.SecondCode = NothingToCommand;
    }
    state.Order = GetPlayOrder();
    state.TurnOrder = GetTurnOrder();
    if (GetBoard()) {
        state.Map = GetBoard()->GetMap();
        GetBoard()->ToTurnText(state.BoardText, GetUnits());
    }
    return state;
}

void CGUITurnManagerOnServer::SendToAll(const ProgressMessage& state)
{
    if (m_server) m_server->SendToAll(CPacketConverter::GetInstance().Encode(state));
}

void CGUITurnManagerOnServer::SendToAll(const ResultMessage& record)
{
    if (m_server) m_server->SendToAll(CPacketConverter::GetInstance().Encode(record));
}

void CGUITurnManagerOnServer::SendPerSocket(const ProgressMessage& state)
{
    if (!m_server) return;
    const Packet packet = CPacketConverter::GetInstance().Encode(state);
    std::vector<Socket> failed;
    for (Socket socket : m_server->GetSockets()) {
        if (socket != InvalidSocket && !m_server->GetModule().Send(socket, packet)) failed.push_back(socket);
    }
    for (Socket socket : failed) m_server->Disconnect(socket);
}

void CGUITurnManagerOnServer::SendToUnit(const CUnit& unit, const ProgressMessage& state)
{
    if (!m_server) return;
    const Socket socket = m_server->FindSocket(unit.GetHostId());
    if (socket == InvalidSocket) return;
    if (!m_server->GetModule().Send(socket, CPacketConverter::GetInstance().Encode(state))) {
        m_server->Disconnect(socket);
    }
}

void CGUITurnManagerOnServer::TakeRemoteCommand()
{
    CUnit* unit = GetCurrentUnit();
    if (!unit || !IsRemote(*unit) || !m_server) return;
    // Only what the side sent in this turn counts: its command, or the news
    // that its time ran out (an empty command and no time left). Taking it
    // forgets it, so it is carried out once.
    const Message message = m_server->GetReceivedMessageOfUnit(*unit);
    if (message.Code != CommandSent && message.Code != TimeUp) return;
    m_server->ClearReceivedMessage(unit->GetHostId());
    unit->SetCommandInput(message.Command);
    unit->GetTimer().SetTimeLimit(ToLimit(message.Time));
}

void CGUITurnManagerOnServer::SendTurnEndState()
{
    CUnit* unit = GetCurrentUnit();
    if (!unit) return;
    unit->OnMessage(ReportFinished);
    if (!unit->IsActive() || !IsRemote(*unit) || IsGameDecided()) {
        SendToAll(BuildProgressMessage(TurnEndState));
        return;
    }
    if (!m_server) return;

    // The side whose turn ends gets its own record; every other connection
    // gets the turn state once.
    const Socket own = m_server->FindSocket(unit->GetHostId());
    SendToUnit(*unit, MakeProgressMessage(TurnEndState, *unit, GetUnits()));
    std::vector<Socket> targets;
    for (CUnit* other : GetUnits()) {
        if (other && other != unit) targets.push_back(m_server->FindSocket(other->GetHostId()));
    }
    for (Socket socket : m_server->GetSockets()) targets.push_back(socket);

    const Packet packet = CPacketConverter::GetInstance().Encode(BuildProgressMessage(TurnEndState));
    std::set<Socket> done{own, InvalidSocket};
    std::vector<Socket> failed;
    for (Socket socket : targets) {
        if (!done.insert(socket).second) continue;
        if (!m_server->GetModule().Send(socket, packet)) failed.push_back(socket);
    }
    for (Socket socket : failed) m_server->Disconnect(socket);
}

void CGUITurnManagerOnServer::Update(MessageCode code)
{
    CArbiter* arbiter = GetArbiter();
    switch (code) {
    case TimeUp:
    case CommandSuccess:
    case NothingToCommand: {
        RecordAction();
        NotifyAll(code);
        UpdateBoard();
        SendToAll(BuildProgressMessage(TurnState));
        if (CResultManager* results = GetResultManager()) SendToAll(results->GetCurrentLog());
        if (!IsGameDecided() && arbiter) arbiter->GetMission().IsOver(code, GetUnits(), GetPlayOrder());
        break;
    }
    case BattleStarts:
        Start();
        NotifyAll(code);
        UpdateBoard();
        SendToAll(BuildProgressMessage(code));
        break;
    case BattleEnds:
        NotifyAll(code);
        if (CResultManager* results = GetResultManager()) SendToAll(results->GetCurrentLog());
        StopTimers();
        break;
    case TurnStarts: {
        NextTurn();
        // Whatever the side sent before its turn began is not a command of it.
        CUnit* unit = GetCurrentUnit();
        if (m_server && unit && IsRemote(*unit)) m_server->ClearReceivedMessage(unit->GetHostId());
        NotifyAll(code);
        UpdateBoard();
        const ProgressMessage state = BuildProgressMessage(code);
        if (m_logger) m_logger->GetImpl().AddTurnState(state);
        SendToAll(state);
        break;
    }
    case TurnEnds:
        NotifyAll(code);
        SendToAll(BuildProgressMessage(code));
        break;
    case CommandSent:
        TakeRemoteCommand();
        break;
    case RefreshDisplay:
    case TurnState:
        SendPerSocket(BuildProgressMessage(code));
        break;
    case ReportFinished:
        SendTurnEndState();
        break;
    case EndOfTurnCheck:
        break;
    case AfterAction: {
        CUnit* unit = GetCurrentUnit();
        if (unit && unit->IsDefeated() && arbiter)
            arbiter->GetMission().IsOver(code, GetUnits(), GetPlayOrder());
        if (unit && !IsGameDecided()) unit->OnMessage(code);
        break;
    }
    case InvalidDisconnection:
        SetDisconnected();
        SendToAll(BuildProgressMessage(code));
        for (CUnit* unit : GetUnits()) {
            if (unit) unit->GetTimer().Halt();
        }
        break;
    default:
        NotifyAll(code);
        break;
    }
}

// Client --------------------------------------------------------------------

// Hands work from other threads to the thread that owns the manager. The
// receiver lives on that thread; once the manager is gone it is null and
// nothing more is posted.
struct CGUITurnManagerOnClient::PostBox {
    std::mutex Mutex;
    QObject* Receiver = nullptr;

    void Post(std::function<void()> action)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        if (Receiver) QMetaObject::invokeMethod(Receiver, std::move(action), Qt::QueuedConnection);
    }
};

CGUITurnManagerOnClient::CGUITurnManagerOnClient(CTcpClient* client)
    : m_client(client), m_box(std::make_shared<PostBox>())
{
    m_box->Receiver = new QObject();
}

CGUITurnManagerOnClient::~CGUITurnManagerOnClient()
{
    // Deleting the receiver drops what is still queued for it.
    std::lock_guard<std::mutex> lock(m_box->Mutex);
    delete m_box->Receiver;
    m_box->Receiver = nullptr;
}

void CGUITurnManagerOnClient::Post(std::function<void()> action)
{
    m_box->Post(std::move(action));
}

CUnit* CGUITurnManagerOnClient::GetLocalUnit() const
{
    return GetUnitFactory() ? GetUnitFactory()->GetLocalUnit() : nullptr;
}

void CGUITurnManagerOnClient::PostTimeOut()
{
    Post([this] { SendTimeOut(); });
}

bool CGUITurnManagerOnClient::IsLocalTurn() const
{
    return IsTurnRunning() && GetCurrentUnit() && GetCurrentUnit() == GetLocalUnit();
}

void CGUITurnManagerOnClient::SendTimeOut()
{
    // Sent outside the side's turn it would wait at the host and end the
    // side's next turn.
    if (m_timeOutSent || IsDisconnected() || !m_client || !IsLocalTurn()) return;
    m_timeOutSent = true;
    m_client->SendCode(TimeUp);
}

void CGUITurnManagerOnClient::BreakConnection()
{
    if (IsDisconnected()) return;
    SetDisconnected();
    for (CUnit* unit : GetUnits()) {
        if (unit) unit->GetTimer().Halt();
    }
    Post([this] {
        if (!m_notifier) return;
        try {
            m_notifier(InvalidDisconnection);
        } catch (...) {
            // A report must not take the event loop down.
        }
    });
}

bool CGUITurnManagerOnClient::AreUsableShips(
    const std::map<std::uint32_t, std::vector<ShipProfile>>& table) const
{
    for (const auto& entry : table) {
        if (!FindUnit(entry.first)) return false;
    }
    for (CUnit* unit : GetUnits()) {
        auto it = table.find(unit->GetId());
        if (it == table.end()) return false;
        for (const ShipProfile& ship : it->second) {
            if (ship.UnitId != unit->GetId() || !unit->HasShip(ship.ShipId)) return false;
        }
    }
    return true;
}

bool CGUITurnManagerOnClient::IsUsableState(const ProgressMessage& state, bool needProfiles) const
{
    const std::vector<std::uint32_t>& order = GetTurnOrder();
    if (state.Order.Position > order.size()) return false;
    if (GetBoard() && state.Map.Size != MapPos(GetBoard()->GetRows(), GetBoard()->GetColumns())) return false;
    if (needProfiles) {
        for (CUnit* unit : GetUnits()) {
            const std::uint32_t id = unit->GetId();
            if (id >= state.Units.size() || state.Units[id].Id != id) return false;
        }
    }
    return AreUsableShips(state.Ships);
}

bool CGUITurnManagerOnClient::IsUsableResult(const ResultMessage& record) const
{
    if (!FindUnit(record.Sender.Id)) return false;
    for (const ActionInfo& action : record.Actions) {
        for (const auto& entry : action.Ships) {
            if (!FindUnit(entry.first)) return false;
        }
    }
    return true;
}

bool CGUITurnManagerOnClient::ApplyReceivedState(bool withCommand)
{
    const ReceivedData& received = m_client->GetReceivedData();
    const ProgressMessage& state = received.Progress;
    if (received.Kind != KindProgress || !IsUsableState(state, true)) {
        BreakConnection();
        return false;
    }
    for (CUnit* unit : GetUnits()) {
        if (GetBoard()) GetBoard()->ApplyMapState(unit, state.Map);
        unit->SetProfile(state.Units[unit->GetId()]);
        unit->UpdateShips(state.Ships.at(unit->GetId()));
    }
    if (withCommand && GetCurrentUnit()) GetCurrentUnit()->SetCommandInput(state.Command);
    return true;
}

bool CGUITurnManagerOnClient::ReplaceShips()
{
    const ReceivedData& received = m_client->GetReceivedData();
    if (received.Kind != KindProgress || !AreUsableShips(received.Progress.Ships)) {
        BreakConnection();
        return false;
    }
    for (CUnit* unit : GetUnits()) unit->UpdateShips(received.Progress.Ships.at(unit->GetId()));
    return true;
}

bool CGUITurnManagerOnClient::StoreResult(MessageCode code)
{
    const ReceivedData& received = m_client->GetReceivedData();
    if (received.Kind != KindResult || received.Result.Code != code || !IsUsableResult(received.Result)) {
        BreakConnection();
        return false;
    }
    CResultManager* results = GetResultManager();
    if (!results) return true;
    results->SetCurrentLog(received.Result);
    if (m_logger) m_logger->GetImpl().Log(code, results->GetCurrentLog());
    return true;
}

void CGUITurnManagerOnClient::Start()
{
    const ReceivedData& received = m_client->GetReceivedData();
    if (received.Kind != KindProgress || !GetUnitFactory() || !GetShipFactory()) {
        BreakConnection();
        return;
    }
    const ProgressMessage state = received.Progress;
    // A battle map is 3 by 3 at least; a smaller one would leave ships no
    // range to move.
    const MapPos& size = state.Map.Size;
    if (size.x < MinMapSide || size.y < MinMapSide || size.x > CBoard::MaxSide || size.y > CBoard::MaxSide) {
        BreakConnection();
        return;
    }

    std::vector<CUnit*> units = GetUnitFactory()->CreateUnits(state.Units);
    SetUnits(units);
    // The turn order must name exactly the sides that arrived.
    std::multiset<std::uint32_t> ids;
    for (CUnit* unit : units) ids.insert(unit->GetId());
    const bool distinct = std::set<std::uint32_t>(ids.begin(), ids.end()).size() == ids.size();
    const bool running = state.Order.Round != 0 && state.Order.Position != 0;
    if (units.empty() || !distinct ||
        ids != std::multiset<std::uint32_t>(state.TurnOrder.begin(), state.TurnOrder.end()) ||
        state.Order.Position > state.TurnOrder.size()) {
        SetCurrentUnitById(units.empty() ? 0 : units.front()->GetId());
        BreakConnection();
        return;
    }
    SetTurnOrder(state.TurnOrder);
    SetCurrentUnitById(state.TurnOrder[running ? state.Order.Position - 1 : 0]);
    SetPlayOrder(running ? state.Order : PlayOrder());
    SetTurnRunning(running);
    SetTimersStopped(false);

    // The board first: a new size moves its panels, and ships keep pointers
    // to the panels they stand on.
    if (GetBoard()) GetBoard()->Build(state.Map, units);
    std::vector<CShipOwner*> owners(units.begin(), units.end());
    GetShipFactory()->PlaceShips(owners, state.Ships);

    const std::uint32_t panels = state.Map.Size.x * state.Map.Size.y;
    for (CUnit* unit : units) {
        ActionStatistics& stats = unit->GetStatistics();
        stats = ActionStatistics();
        stats[StatPanelsExplored] = 0;
        stats[StatPanelCount] = panels;
    }

    const std::int64_t limit = GetRules() ? static_cast<std::int64_t>(GetRules()->GetInfo().TimeLimit) : 0;
    for (CUnit* unit : units) {
        const bool resumed = running && unit->GetId() == state.Sender.Id && state.Time > 0;
        unit->GetTimer().Reset(resumed ? ToLimit(state.Time) : limit);
        unit->GetTimer().Launch();
    }
    if (CUnit* local = GetLocalUnit()) {
        std::shared_ptr<PostBox> box = m_box;
        local->GetTimer().SetTimeOutCallback(
            [box, this](MessageCode) { box->Post([this] { SendTimeOut(); }); });
    }
    m_timeOutSent = false;
    BuildOpponents();

    if (IsTurnRunning() && !ApplyReceivedState(true)) return;

    if (CArbiter* arbiter = GetArbiter()) {
        arbiter->SetRules(GetRules());
        arbiter->SetPlayOrder(&GetPlayOrder());
        arbiter->StartBattle(GetUnits());
    }
    if (CResultManager* results = GetResultManager()) {
        results->SetArbiter(GetArbiter());
        results->SetPlayOrder(GetPlayOrder());
        results->StartBattle(GetCurrentUnit(), GetUnits());
    }
}

void CGUITurnManagerOnClient::NextTurn()
{
    const ReceivedData& received = m_client->GetReceivedData();
    const ProgressMessage& state = received.Progress;
    const PlayOrder& order = state.Order;
    if (received.Kind != KindProgress || order.Round == 0 || order.Position == 0 ||
        order.Position > GetTurnOrder().size() || !IsUsableState(state, true)) {
        BreakConnection();
        return;
    }
    SetTurnRunning(true);
    SetTimersStopped(false);
    SetPlayOrder(order);
    SetCurrentUnitById(GetTurnOrder()[order.Position - 1]);
    if (CResultManager* results = GetResultManager()) results->SetPlayOrder(order);
    if (m_logger) m_logger->GetImpl().AddTurnState(state);
    if (!ApplyReceivedState(false)) return;
    if (CUnit* unit = GetCurrentUnit()) unit->GetTimer().SetTimeLimit(ToLimit(state.Time));
    m_timeOutSent = false;
    ApplyTimePressure();
}

void CGUITurnManagerOnClient::StopTimers()
{
    SetTimersStopped(true);
    for (CUnit* unit : GetUnits()) {
        if (unit) unit->GetTimer().Halt();
    }
}

void CGUITurnManagerOnClient::Reset()
{
    CTurnManager::Reset();
    if (m_logger) m_logger->GetImpl().Clear();
    m_timeOutSent = false;
}

void CGUITurnManagerOnClient::Update(MessageCode code)
{
    // Once the connection is broken nothing that arrives counts; without one
    // nothing arrives.
    if ((IsDisconnected() || !m_client) && code != InvalidDisconnection) return;
    auto notify = [this](MessageCode notified) {
        for (CUnit* unit : GetUnits()) {
            if (unit) unit->OnMessage(notified);
        }
        CResultManager* results = GetResultManager();
        if (!results) return;
        results->Record(notified, GetCurrentUnit(), GetUnits());
        if (m_logger && notified == BattleEnds) m_logger->GetImpl().Log(notified, results->GetLatestLog());
    };
    try {
        switch (code) {
        case TimeUp:
        case CommandSuccess:
        case NothingToCommand:
            StoreResult(code);
            break;
        case BattleStarts:
            Start();
            if (!IsDisconnected()) notify(code);
            break;
        case BattleEnds:
            if (CArbiter* arbiter = GetArbiter())
                arbiter->GetMission().IsOver(code, GetUnits(), GetPlayOrder());
            notify(code);
            StopTimers();
            break;
        case TurnStarts:
            NextTurn();
            if (!IsDisconnected()) notify(code);
            break;
        case CommandSent: {
            // Only the side's own turn takes a command; one sent earlier
            // would be carried out in its next turn.
            CUnit* unit = GetCurrentUnit();
            if (!m_client || !IsLocalTurn()) break;
            Message message = MakeMessage(CommandSent, *unit);
            message.Command = unit->GetCommandInput();
            message.Time = RemainingTime(*unit);
            m_client->SendMessage(message);
            break;
        }
        case TurnState:
            ApplyReceivedState(true);
            break;
        case ReportFinished:
            if (CUnit* unit = GetCurrentUnit()) unit->OnMessage(code);
            break;
        case StartConfirmed:
            if (m_client) m_client->SendCode(code);
            break;
        case EndOfTurnCheck:
            if (m_client && GetCurrentUnit() && GetCurrentUnit() == GetLocalUnit()) m_client->SendCode(code);
            break;
        case ShipsRefreshed:
        case TurnEndState:
            ReplaceShips();
            break;
        case TurnEnds:
            // The turn's end (torpedoes under way, high waves) is the host's
            // to play out, with its own random draws; its outcome comes with
            // the next turn state. Played here as well it would leave this
            // side knowing panels the host never showed it.
            if (CResultManager* results = GetResultManager()) {
                results->Record(code, GetCurrentUnit(), GetUnits());
            }
            break;
        case AfterAction:
            break;
        case InvalidDisconnection:
            SetDisconnected();
            for (CUnit* unit : GetUnits()) {
                if (unit) unit->GetTimer().Halt();
            }
            break;
        default:
            notify(code);
            break;
        }
    } catch (const std::exception&) {
        // What arrived passed the checks yet could not be used: the
        // connection cannot be trusted any more.
        BreakConnection();
    }
}

} // namespace Marevane
