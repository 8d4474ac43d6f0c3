#include "model/ResultManager.h"

#include "model/Arbiter.h"
#include "model/CodeTables.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Unit.h"

#include <functional>
#include <stdexcept>

namespace Marevane {

namespace {

const char* const GetLogRangeError = "GetLog range_error";

UnitProfile ProfileOf(const CUnit* unit)
{
    return unit ? unit->GetProfile() : UnitProfile{};
}

} // namespace

MessageCode GetFarewellCode(const std::wstring& text)
{
    if (text.size() <= 10) return SecondCodeFarewell;
    if (text.size() <= 20) return SecondCodePoet;
    return SecondCodeLongFarewell;
}

CResultManager& CResultManager::GetInstance()
{
    static CResultManager instance;
    return instance;
}

CResultManager::CResultManager() = default;

CResultManager::~CResultManager() = default;

void CResultManager::Record(MessageCode code, CUnit* unit, const std::vector<CUnit*>& units)
{
    switch (code) {
    case 45:
        m_logs.reserve((units.size() + 1) / 2 * RecordsPerBlock);
        m_current.Units.clear();
        break;
    case 10:
        m_current.Time = unit ? static_cast<std::uint64_t>(unit->GetTimer().GetTimeLimit()) : 0;
        FillFrom(unit, units);
        m_current.Code = 10;
        break;
    case 87:
    case 89:
        m_current.Time = unit ? static_cast<std::uint64_t>(unit->GetTimer().GetTimeLimit()) : 0;
        Fill(code, unit, units);
        break;
    case 52:
        Store();
        ResetCurrent();
        break;
    case 47:
        // A battle that ends at a turn's result stores that turn here; one
        // that ends between turns, or on a refused command, has nothing
        // more to store.
        if (m_current.Code != 0 && !IsErrorCode(m_current.Code)) Store();
        ResetCurrent();
        BuildEndRecord(units);
        break;
    default:
        if (IsErrorCode(code) && unit) {
            m_current.Sender = unit->GetProfile();
            m_current.Code = code;
        }
        break;
    }
}

bool CResultManager::FillFrom(CUnit* unit, const std::vector<CUnit*>& units)
{
    m_current.Units.clear();
    m_current.Units.reserve(units.size());
    for (const CUnit* side : units) m_current.Units.push_back(ProfileOf(side));
    m_current.Sender = ProfileOf(unit);
    m_current.Actions = unit ? unit->GetActions() : std::vector<ActionInfo>{};
    if (!unit || unit->GetCommandInput().Command != CommandResign) return false;
    m_current.SecondCode = GetFarewellCode(unit->GetCommandInput().Text);
    m_current.Command.Text = unit->GetCommandInput().Text;
    return true;
}

void CResultManager::Fill(MessageCode code, CUnit* unit, const std::vector<CUnit*>& units)
{
    const bool resigned = FillFrom(unit, units);
    m_current.Code = code;
    // The farewell code of a resignation stays: the log and the end record
    // read it, and a side that resigned is never active.
    if (resigned || !unit) return;
    if (!unit->IsActive()) m_current.SecondCode = SecondCodeLost;
    bool anyoneCanAct = false;
    bool everyoneActive = true;
    for (CUnit* side : units) {
        if (!side) continue;
        if (side->RefreshShipStatuses()) anyoneCanAct = true;
        if (!side->IsActive()) everyoneActive = false;
    }
    if (!anyoneCanAct && everyoneActive) m_current.SecondCode = SecondCodeOutOfFuel;
}

void CResultManager::TakeOverResignation()
{
    m_tookOverResignation = false;
    if (m_logs.empty()) return;
    const ResultMessage& latest = m_logs.back();
    const ActionInfo* primary = latest.GetPrimaryAction();
    if (!primary || primary->Command != CommandResign) return;
    m_current.SecondCode = latest.SecondCode;
    m_current.Command.Text = latest.Command.Text;
    m_tookOverResignation = true;
}

void CResultManager::BuildEndRecord(const std::vector<CUnit*>& units)
{
    for (CUnit* side : units) {
        if (side) side->OnMessage(59);
    }
    const CMissionCriteria* mission = m_arbiter ? &m_arbiter->GetMission() : nullptr;
    CUnit* winner = mission ? mission->GetWinner() : nullptr;
    if (winner) {
        FillFrom(winner, units);
    } else {
        // Undecided (aborted or broken off): nobody sends the end record.
        FillFrom(nullptr, units);
    }
    m_current.Code = 47;
    // A battle broken off undecided has no winner to bid the farewell to.
    m_tookOverResignation = false;
    if (winner) TakeOverResignation();
    if (!m_tookOverResignation) m_current.SecondCode = winner ? mission->GetJudgement() : 0;
}

void CResultManager::Store()
{
    if (m_logs.size() == m_logs.capacity()) m_logs.reserve(m_logs.capacity() + RecordsPerBlock);
    m_logs.push_back(m_current);
}

void CResultManager::ResetCurrent()
{
    const PlayOrder order = m_current.Order;
    m_current = ResultMessage{};
    m_current.Order = order;
}

void CResultManager::StartBattle(CUnit* unit, const std::vector<CUnit*>& units)
{
    ResetCurrent();
    m_current.Sender = ProfileOf(unit);
    for (const CUnit* side : units) m_current.Units.push_back(ProfileOf(side));
    ActionInfo fleets;
    for (const CUnit* side : units) {
        if (!side) continue;
        std::vector<ShipProfile>& ships = fleets.Ships[side->GetProfile().Id];
        for (const auto& entry : side->GetShips()) ships.push_back(entry.second->GetProfile());
    }
    m_current.Actions.push_back(std::move(fleets));
}

void CResultManager::Clear()
{
    std::vector<ResultMessage>().swap(m_logs);
    m_arbiter = nullptr;
    m_current = ResultMessage{};
    m_tookOverResignation = false;
}

void CResultManager::SetCurrentLog(const ResultMessage& record)
{
    m_current = record;
}

const ResultMessage& CResultManager::GetLog(unsigned k) const
{
    if (k == 0 || k > m_logs.size()) throw std::range_error(GetLogRangeError);
    return m_logs[m_logs.size() - k];
}

const ResultMessage& CResultManager::GetLatestLog() const
{
    if (m_current.Code != 0 && !IsErrorCode(m_current.Code)) return m_current;
    return GetLog(1);
}

std::vector<const ResultMessage*> CResultManager::GetRecentLogs() const
{
    std::vector<const ResultMessage*> recent;
    if (m_logs.empty()) return recent;
    const std::size_t n = std::min(m_logs.back().Units.size(), m_logs.size());
    for (std::size_t i = m_logs.size() - n; i < m_logs.size(); ++i) recent.push_back(&m_logs[i]);
    return recent;
}

std::vector<const ActionInfo*> CResultManager::GetTurnEffectActions(const ResultMessage& record)
{
    std::vector<const ActionInfo*> actions = record.GetActions(2);
    for (const ActionInfo* action : record.GetActions(3)) actions.push_back(action);
    return actions;
}

std::ptrdiff_t CResultManager::IndexOf(const ResultMessage& record) const
{
    if (&record == &m_current) return static_cast<std::ptrdiff_t>(m_logs.size());
    // Only addresses inside the storage are the manager's own records.
    const std::less<const ResultMessage*> before;
    if (m_logs.empty() || before(&record, m_logs.data()) || !before(&record, m_logs.data() + m_logs.size())) {
        return -1;
    }
    return &record - m_logs.data();
}

const ResultMessage* CResultManager::GetPreviousLog(const ResultMessage& record) const
{
    const std::ptrdiff_t i = IndexOf(record);
    return i > 0 ? &m_logs[static_cast<std::size_t>(i - 1)] : nullptr;
}

const ResultMessage* CResultManager::GetNextLog(const ResultMessage& record) const
{
    const std::ptrdiff_t i = IndexOf(record);
    if (i < 0 || static_cast<std::size_t>(i) + 1 >= m_logs.size()) return nullptr;
    return &m_logs[static_cast<std::size_t>(i + 1)];
}

} // namespace Marevane
