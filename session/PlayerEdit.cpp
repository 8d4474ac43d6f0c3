#include "session/PlayerEdit.h"

#include "model/Board.h"
#include "model/Errors.h"
#include "model/FleetPresetList.h"
#include "model/GameEdit.h"
#include "model/MessageCodes.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/NetErrors.h"
#include "net/TcpServer.h"

#include <algorithm>
#include <stdexcept>

namespace Marevane {

namespace {

constexpr MessageCode EntryAccepted = 16;
constexpr MessageCode AudienceAccepted = 18;
constexpr MessageCode WatchingProhibited = 22;
constexpr MessageCode RuleMismatch = 24;
constexpr MessageCode PlayerDataFailed = 41;
constexpr MessageCode NameLengthInvalid = 121;
constexpr MessageCode NameTaken = 122;
constexpr MessageCode ConnectionClosed = 4;
constexpr MessageCode FleetRejected = 62;
constexpr MissionType MissionFlagship = 0x10000004;

const char* const InvalidPreset = "CPlayerEdit::SetUpComputerShips(): Invalid FleetPreset.";
const char* const InvalidDisconnect = "invalid disconnect";

bool IsOnMap(const MapPos& pos, const CBoard& board)
{
    return pos.x >= 1 && pos.x <= board.GetRows() && pos.y >= 1 && pos.y <= board.GetColumns();
}

// A type for a ship the preset leaves open; the first ship of a fleet may
// not be an oiler.
ShipType DrawShipType(bool first)
{
    return static_cast<ShipType>(RandomUInt(ShipTypeBattleship, first ? ShipTypeSubmarine : ShipTypeOiler));
}

} // namespace

std::uint32_t CountFleetShips(const GameEditInfo& rules, std::uint32_t panelCount, bool hasTeamMates)
{
    const std::int64_t panels = std::max<std::int64_t>(1, panelCount);
    std::int64_t count = rules.FleetSize;
    const bool tagMatch = (rules.Rule & GameModeVersus) != 0 && (rules.Rule & GameModeTag) != 0;
    if (tagMatch && !hasTeamMates) {
        const std::int64_t sides = rules.PlayerCount;
        const std::int64_t even = sides + (sides & 1);
        const std::int64_t lone = std::min(panels, (even - 2) * count);
        // Two sides leave nothing to double: the side keeps the fleet size.
        if (lone > count) count = lone;
    }
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(count, 1, panels));
}

CPlayerEdit::CPlayerEdit(UnitType type, bool remote, CGameEdit& rules, CBoard& board, CUnitFactory& units,
                         CShipFactory& ships, CTcpServer* server, const UnitProfile& profile,
                         PlayerEditPauses pauses)
    : m_unitType(type), m_remote(remote), m_rules(rules), m_board(board), m_units(units), m_ships(ships),
      m_server(server), m_profile(profile), m_pauses(pauses)
{
}

CPlayerEdit::~CPlayerEdit()
{
    StopTask();
}

void CPlayerEdit::StopTask()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
    }
    m_wake.notify_all();
    if (m_unitTask.valid()) m_unitTask.wait();
}

void CPlayerEdit::StartCreateUnit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_unitTask.valid()) return;
    m_started = true;
    m_error = nullptr;
    const bool haveUnit = m_unit != nullptr;
    CUnit* unit = m_unit;
    m_unitTask = std::async(std::launch::async, [this, haveUnit, unit] { return RunTask(haveUnit, unit); });
}

CUnit* CPlayerEdit::RunTask(bool haveUnit, CUnit* unit)
{
    try {
        if (!haveUnit) {
            if (m_unitType == UnitManual) return m_remote ? CreateClientPlayer() : CreateLocalPlayer();
            return CreateComputer();
        }
        if (m_unitType == UnitManual) return m_remote ? SetUpClientShips(*unit) : SetUpLocalShips(*unit);
        SetUpComputerShips(*unit);
        Pause(m_pauses.Ready);
        return unit;
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_error = std::current_exception();
        throw;
    }
}

bool CPlayerEdit::IsUnitCreated(unsigned ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_unitTask.valid()) throw std::future_error(std::future_errc::no_state);
    // Waiting must not hold the lock the task takes when it fails.
    lock.unlock();
    return m_unitTask.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

void CPlayerEdit::GetCreationResult()
{
    std::exception_ptr error;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_started) throw std::future_error(std::future_errc::no_state);
        std::swap(error, m_error);
    }
    if (error) std::rethrow_exception(error);
}

CUnit* CPlayerEdit::TakeUnit()
{
    std::future<CUnit*> task;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_unitTask.valid()) throw std::future_error(std::future_errc::no_state);
        task = std::move(m_unitTask);
    }
    CUnit* unit = task.get();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unit = unit;
    return unit;
}

CUnit* CPlayerEdit::GetUnit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unit;
}

void CPlayerEdit::SetUnit(CUnit* unit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unit = unit;
}

void CPlayerEdit::Pause(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_for(lock, duration, [this] { return m_cancelled; })) throw Cancelled();
}

CTcpServer& CPlayerEdit::Server() const
{
    if (m_server == nullptr) throw CUnitDataError("CPlayerEdit: a network side needs the TCP server.");
    return *m_server;
}

std::uint32_t CPlayerEdit::CountShips(const CUnit& unit) const
{
    return CountFleetShips(m_rules.GetInfo(), m_board.GetRows() * m_board.GetColumns(), unit.HasTeamMates());
}

CUnit* CPlayerEdit::CreateLocalPlayer()
{
    throw std::logic_error("CPlayerEdit::CreateLocalPlayer(): no front-end asks for a local side.");
}

CUnit* CPlayerEdit::SetUpLocalShips(CUnit&)
{
    throw std::logic_error("CPlayerEdit::SetUpLocalShips(): no front-end asks for a local side.");
}

CUnit* CPlayerEdit::CreateComputer()
{
    const std::int32_t level = m_rules.GetInfo().ComputerLevel;
    CUnit* unit = m_profile.Name.empty()
                      ? m_units.CreateNamedComputerUnit(level)
                      : m_units.CreateComputerUnit(m_profile.OriginFlag, m_profile.Name, level);
    SetUpComputerShips(*unit);
    Pause(m_pauses.Ready);
    return unit;
}

void CPlayerEdit::SetUpComputerShips(CUnit& unit)
{
    const FleetSlots& slots = CFleetPresetList::GetInstance().GetRandomPreset().second;
    auto first = slots.find(1);
    if (first != slots.end() && first->second == ShipTypeOiler) throw std::logic_error(InvalidPreset);

    // A second fleet task draws the fleet anew instead of adding to it.
    m_ships.RemoveShipsOf(&unit);
    const std::uint32_t count = CountShips(unit);
    for (std::uint32_t k = 0; k < count; ++k) {
        auto slot = slots.find(k + 1);
        ShipType type = slot == slots.end() ? ShipTypeNone : slot->second;
        if (type == ShipTypeNone) type = DrawShipType(k == 0);
        const MapPos pos = unit.ChooseShipPosition(type);
        if (!IsOnMap(pos, m_board)) {
            throw CPanelRangeError(
                "CPlayerEdit::SetUpComputerShips(): CPanelRangeError - The position is off the map.");
        }
        m_ships.CreateShip(&unit, type, m_board.GetPanel(pos));
    }
    if (m_rules.HasMission(MissionFlagship)) unit.ChooseFlagship();
}

CUnit* CPlayerEdit::CreateClientPlayer()
{
    CTcpServer& server = Server();
    for (;;) {
        if (server.IsClosing()) throw CUnitDataError("CPlayerEdit::CreateClientPlayer(): UnitDataError");
        Pause(m_pauses.Poll);

        std::lock_guard<std::recursive_mutex> lock(server.GetMutex());
        const MessageCode code = server.ReceiveEntry();
        if (code == ReadFailed) {
            EntryMessage answer(EntryRequest);
            server.RejectEntry(answer, ReadFailed);
            throw CConnectionFailedException(InvalidDisconnect);
        }
        if (code != EntryRequest) continue;

        const EntryMessage entry = server.GetWaitingEntryMessage();
        EntryMessage answer(EntryRequest);
        answer.IsPlayer = entry.IsPlayer;
        answer.Rules = m_rules.GetInfo();
        answer.Entry = entry.Entry;

        // A refused side is told why and dropped; the wait goes on for the next.
        const bool watching = entry.Entry.Type == UnitWatching;
        if (!entry.IsPlayer && watching) {
            server.RejectEntry(answer, WatchingProhibited);
            continue;
        }
        try {
            m_units.ValidateUnitProfile(entry.Entry, true);
        } catch (const CNameLengthError&) {
            server.RejectEntry(answer, NameLengthInvalid);
            continue;
        } catch (const CDuplicateNameError&) {
            server.RejectEntry(answer, NameTaken);
            continue;
        } catch (const CPassLengthError&) {
            server.RejectEntry(answer, PlayerDataFailed);
            continue;
        }
        if (!m_rules.IsSameRule(entry.Rules)) {
            server.RejectEntry(answer, RuleMismatch);
            continue;
        }
        answer.SecondCode = watching ? AudienceAccepted : EntryAccepted;
        try {
            server.AcceptEntry(answer);
        } catch (const CConnectionRejectedException&) {
            continue;
        }

        UnitProfile profile = entry.Entry;
        profile.OriginFlag = 1; // played from a network client
        profile.Address = server.GetClientAddress(profile.HostId);
        profile.Port = server.GetClientPort(profile.HostId);
        return m_units.CreateUnit(profile);
    }
}

CUnit* CPlayerEdit::SetUpClientShips(CUnit& unit)
{
    CTcpServer& server = Server();
    for (;;) {
        if (server.IsClosing()) throw CUnitDataError("CPlayerEdit::SetUpClientShips(): UnitDataError");
        Pause(m_pauses.Poll);

        std::vector<ShipProfile> ships;
        {
            std::lock_guard<std::recursive_mutex> lock(server.GetMutex());
            const MessageCode result = server.ReceiveFromUnit(unit);
            if (result == ReadFailed) throw CConnectionFailedException(InvalidDisconnect);
            if (result != ReadComplete) continue;
            const MessageCode code = server.GetReceivedCodeOfUnit(unit);
            if (code == ConnectionClosed || code == ReadFailed)
                throw CConnectionFailedException(InvalidDisconnect);
            if (code != FleetEditMessage::FleetCode) continue;
            ships = server.GetFleetEditMessageOfUnit(unit).Ships;
        }

        const bool placed = PlaceClientFleet(unit, ships);
        SendFleetEditMessage(unit, placed ? FleetEditMessage::FleetCode : FleetRejected,
                             placed ? CommandSuccess : 0);
        Pause(m_pauses.Ready);
        if (placed) return &unit;
        m_ships.RemoveShipsOf(&unit);
    }
}

bool CPlayerEdit::PlaceClientFleet(CUnit& unit, const std::vector<ShipProfile>& ships)
{
    if (ships.empty() || ships.size() > CountShips(unit)) return false;
    m_ships.RemoveShipsOf(&unit);
    std::uint32_t flagship = 0;
    try {
        for (const ShipProfile& profile : ships) {
            if (!IsOnMap(profile.Pos, m_board)) return false;
            CShip* ship = m_ships.CreateShip(&unit, profile.Type, m_board.GetPanel(profile.Pos));
            if (profile.IsFlagship) flagship = ship->GetShipId();
        }
    } catch (const std::range_error&) {
        return false;
    }
    if (flagship != 0) unit.SetFlagship(flagship);
    return true;
}

void CPlayerEdit::SendFleetEditMessage(CUnit& unit, MessageCode code, MessageCode secondCode)
{
    FleetEditMessage answer;
    answer.Code = code;
    answer.SecondCode = secondCode;
    answer.Sender = unit.GetProfile();
    for (CShip* ship : m_ships.GetShips(&unit)) answer.Ships.push_back(ship->GetProfile());

    // Without the server's lock: a side that does not read must not hold up
    // the host while the write waits for it.
    CTcpServer& server = Server();
    const Socket socket = server.FindSocket(unit.GetHostId());
    if (socket == InvalidSocket) return;
    if (!server.GetModule().Send(socket, CPacketConverter::GetInstance().Encode(answer)))
        server.Disconnect(socket);
}

} // namespace Marevane
