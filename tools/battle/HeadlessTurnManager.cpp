#include "HeadlessTurnManager.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Logger.h"
#include "model/MessageBuilder.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Unit.h"

namespace Marevane {

void CHeadlessTurnManager::Reset()
{
    CTurnManagerOnServer::Reset();
    if (m_logger) m_logger->GetImpl().Clear();
}

void CHeadlessTurnManager::NotifyAll(MessageCode code)
{
    for (CUnit* unit : GetUnits()) {
        if (unit) unit->OnMessage(code);
    }
    CResultManager* results = GetResultManager();
    if (results) results->Record(code, GetCurrentUnit(), GetUnits());
    if (m_logger && results && (code == 10 || code == 87 || code == 89 || code == 47)) {
        m_logger->GetImpl().Log(code, results->GetLatestLog());
    }
}

void CHeadlessTurnManager::UpdateBoard()
{
    if (GetBoard()) GetBoard()->StoreMapState(GetUnits());
}

void CHeadlessTurnManager::RecordAction()
{
    CUnit* unit = GetCurrentUnit();
    if (!unit) return;
    const std::uint32_t round = GetPlayOrder().Round;
    const std::uint32_t p = SurfacingPeriod;
    if (unit->IsActive() && p != 0) {
        std::uint32_t status = 0;
        if (p == 1) {
            status = round % 2 ? ShipStatusStealth : ShipStatusNormal;
        } else if (round >= 2) {
            if (round % p == 0) status = ShipStatusStealth;
            if (round % p == 1) status = ShipStatusNormal;
        }
        if (status != 0) {
            for (const auto& entry : unit->GetShips()) {
                CShip* ship = entry.second;
                const ShipProfile& profile = ship->GetProfile();
                const bool shortOfFuel =
                    profile.Status == ShipStatusFuelShortage || profile.Condition == ShipStatusFuelShortage;
                if (!shortOfFuel && profile.Hp > 0 && profile.Config.CanStealth) ship->SetStatus(status);
            }
        }
    }
    unit->RefreshShipStatuses();
    unit->RecordAction(3, GetUnits());
}

ProgressMessage CHeadlessTurnManager::BuildProgressMessage(MessageCode code) const
{
    CUnit* unit = GetCurrentUnit();
    ProgressMessage state = unit ? MakeProgressMessage(code, *unit, GetUnits()) : ProgressMessage{};
    state.Code = code;
    if (unit) {
        const std::int64_t left = unit->GetTimer().GetTimeLimit();
        state.Time = left > 0 ? static_cast<std::uint64_t>(left) : 0;
        if (!unit->CanAct()) state.SecondCode = 89;
    }
    state.Order = GetPlayOrder();
    state.TurnOrder = GetTurnOrder();
    if (GetBoard()) state.Map = GetBoard()->GetMap();
    return state;
}

void CHeadlessTurnManager::Update(MessageCode code)
{
    switch (code) {
    case 10:
    case 87:
    case 89:
        RecordAction();
        NotifyAll(code);
        UpdateBoard();
        if (!IsGameDecided() && GetArbiter()) {
            GetArbiter()->GetMission().IsOver(code, GetUnits(), GetPlayOrder());
        }
        break;
    case 45:
        Start();
        NotifyAll(code);
        UpdateBoard();
        break;
    case 47:
        NotifyAll(code);
        StopTimers();
        break;
    case 51:
        NextTurn();
        NotifyAll(code);
        UpdateBoard();
        if (m_logger) m_logger->GetImpl().AddTurnState(BuildProgressMessage(51));
        break;
    case 52:
        NotifyAll(code);
        break;
    case 53: // a local side's command is already in the unit
    case 56:
    case 58:
    case 69:
        break;
    case 67:
        if (GetCurrentUnit()) GetCurrentUnit()->OnMessage(67);
        break;
    case 73:
        if (GetCurrentUnit() && GetCurrentUnit()->IsDefeated() && GetArbiter()) {
            GetArbiter()->GetMission().IsOver(73, GetUnits(), GetPlayOrder());
        }
        if (!IsGameDecided() && GetCurrentUnit()) GetCurrentUnit()->OnMessage(73);
        break;
    case 124:
        SetDisconnected();
        for (CUnit* unit : GetUnits()) {
            if (unit) unit->GetTimer().Halt();
        }
        break;
    default:
        NotifyAll(code);
        break;
    }
}

} // namespace Marevane
