#include "HostBattlePlay.h"

#include "model/CodeTables.h"
#include "model/MessageCodes.h"
#include "model/Mission.h"
#include "model/ResultManager.h"
#include "model/Unit.h"

#include <string>

namespace Marevane {

void SetUpHostManager(CGUITurnManagerOnServer& manager, const std::vector<CUnit*>& units, CGameEdit& rules,
                      CBoard& board, CUnitFactory& unitFactory, CShipFactory& shipFactory, CLogger& logger)
{
    manager.SetUnits(units);
    manager.CreateArbiter(&rules);
    manager.SetBoard(&board);
    manager.SetUnitFactory(&unitFactory);
    manager.SetShipFactory(&shipFactory);
    manager.SetResultManager(&CResultManager::GetInstance());
    manager.SetLogCache(&logger);
}

CHostBattlePlay::CHostBattlePlay(CGUITurnManagerOnServer& manager, Hooks hooks)
    : m_manager(manager), m_hooks(std::move(hooks))
{
}

void CHostBattlePlay::Run()
{
    if (m_pending.empty() && !m_ended) {
        m_manager.Update(BattleStarts);
        m_manager.Update(StartConfirmed);
        if (m_hooks.Started) m_hooks.Started();
        m_pending.push_back(TurnStarts);
    }
    while (!m_ended && !m_pending.empty()) {
        const MessageCode code = m_pending.front();
        m_pending.pop_front();
        Step(code);
    }
}

void CHostBattlePlay::Decide(CUnit& unit, MessageCode lastCode)
{
    if (m_hooks.Decide) {
        m_hooks.Decide(unit, lastCode);
    } else {
        unit.DecideCommand();
    }
    m_pending.push_back(CommandSent);
}

void CHostBattlePlay::Step(MessageCode code)
{
    CUnit* unit = m_manager.GetCurrentUnit();
    if (IsErrorCode(code) && code != InvalidDisconnection) {
        // Refused: the side gives its command again.
        m_manager.Update(code);
        if (unit) Decide(*unit, code);
        return;
    }
    switch (code) {
    case TimeUp:
    case CommandSuccess:
    case NothingToCommand:
        if (code == TimeUp) {
            m_manager.Update(CommandSent);
            unit->ExecuteCommand(m_manager.GetCurrentUnitEntry());
        }
        m_manager.Update(AfterAction);
        m_manager.Update(code);
        ++m_turns;
        if (m_hooks.Acted) m_hooks.Acted(*unit, code);
        m_pending.push_back(ReportFinished);
        break;
    case TurnStarts:
        m_manager.Update(TurnStarts);
        unit = m_manager.GetCurrentUnit();
        if (!unit->IsActive()) {
            // A side out of play passes at once.
            m_pending.push_back(unit->ExecuteCommand(m_manager.GetCurrentUnitEntry()));
        } else {
            Decide(*unit, TurnStarts);
        }
        break;
    case TurnEnds:
        m_manager.Update(TurnEnds);
        m_pending.push_back(TurnStarts);
        break;
    case CommandSent: {
        m_manager.Update(CommandSent);
        MessageCode result = unit->ExecuteCommand(m_manager.GetCurrentUnitEntry());
        if (!IsErrorCode(result) && !IsResultCode(result)) {
            // A result the play has no step for (a refused change of
            // flagship is recorded like a success): carried on as one.
            ++m_otherResults;
            result = CommandSuccess;
        }
        m_pending.push_back(result);
        break;
    }
    case ReportFinished:
        if (m_manager.IsGameDecided() || (m_hooks.IsCapped && m_hooks.IsCapped())) {
            m_capped = !m_manager.IsGameDecided();
            m_manager.Update(BattleEnds);
            m_ended = true;
        } else {
            m_manager.Update(ReportFinished);
            m_pending.push_back(EndOfTurnCheck);
        }
        break;
    case EndOfTurnCheck:
        m_pending.push_back(TurnEnds);
        break;
    default:
        break;
    }
}

const CUnit* CHostBattlePlay::GetWinner() const
{
    const CArbiter* arbiter = m_manager.GetArbiter();
    if (m_capped || arbiter == nullptr || arbiter->GetMission().GetJudgement() == JudgementDraw)
        return nullptr;
    return arbiter->GetMission().GetWinner();
}

std::wstring CHostBattlePlay::GetVerdictText(std::uint32_t roundCap) const
{
    if (m_capped) return L"undecided: round cap " + std::to_wstring(roundCap) + L" reached";
    const CArbiter* arbiter = m_manager.GetArbiter();
    const CUnit* winner = arbiter ? arbiter->GetMission().GetWinner() : nullptr;
    if (!winner) return L"undecided";
    std::wstring names = winner->GetProfile().Name;
    for (CUnit* unit : m_manager.GetUnits()) {
        if (unit && unit != winner && winner->IsTeamMate(*unit)) names += L" & " + unit->GetProfile().Name;
    }
    switch (arbiter->GetMission().GetJudgement()) {
    case JudgementDraw:
        return L"draw (first side " + names + L")";
    case JudgementOnPoints:
        return names + L" wins on points";
    default:
        return names + L" wins";
    }
}

} // namespace Marevane
