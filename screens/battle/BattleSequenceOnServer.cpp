#include "screens/battle/BattleSequenceOnServer.h"

#include "app/SequenceMakers.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/GameEdit.h"
#include "model/MessageCodes.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"

#include <algorithm>

namespace Marevane {

namespace {

bool IsPlayedByHand(const CUnit* unit)
{
    return unit != nullptr && unit->GetUnitType() == UnitManual;
}

} // namespace

CBattleSequenceOnServer::CBattleSequenceOnServer(CBattleSequence* pBattle, CTurnManager* pTurnManager)
    : CPlaySequence(pBattle, pTurnManager, Flags)
{
}

void CBattleSequenceOnServer::Init()
{
    CGameEdit* rules = GetGameEdit();
    CGameMapScene* map = GetMapScene();
    CPlayerStatusScene* status = GetStatusScene();
    m_confirmed.clear();
    m_isBattleStarted = false;
    m_isLeaving = false;

    if (rules->GetInfo().TeamCount != 0) {
        m_monitor = std::make_unique<CNetworkMonitor>(GetTcpServer(), nullptr, m_turnManager);
    } else if (status != nullptr && m_battle != nullptr) {
        const auto& units = m_turnManager->GetUnits();
        if (std::none_of(units.begin(), units.end(), IsPlayedByHand))
            status->SetUp(&m_battle->GetPlayerList(), nullptr);
    }

    WireCodes();

    if (map != nullptr && (!m_turnManager->IsTurnRunning() || m_turnManager->IsGameDecided()))
        map->Update(BattleStarts);
    SetInstalled();
}

void CBattleSequenceOnServer::Dispatch(MessageCode code)
{
    if (IsErrorCode(code) && code != InvalidDisconnection) {
        m_turnManager->Update(code);
        UpdateMap(code, nullptr);
        return;
    }
    switch (code) {
    case TimeUp:
    case CommandSuccess:
    case NothingToCommand:
        ShowResult(code);
        break;
    case TurnStarts:
        StartTurn();
        break;
    case TurnEnds:
        m_turnManager->Update(code);
        UpdateMap(code);
        break;
    case CommandSent:
        SendCommand();
        break;
    case ReportFinished:
        FinishReport();
        break;
    case StartConfirmed:
        ConfirmStart();
        break;
    case EndOfTurnCheck:
        Update(TurnEnds);
        break;
    case InvalidDisconnection:
        Disconnect();
        break;
    default:
        break;
    }
}

bool CBattleSequenceOnServer::IsDropped(MessageCode code) const
{
    const bool isTurnCode = code == TimeUp || code == CommandSent || code == EndOfTurnCheck;
    return isTurnCode && m_monitor != nullptr && sender() == m_monitor.get() &&
           m_monitor->GetLastUnit() != m_turnManager->GetCurrentUnit();
}

MessageCode CBattleSequenceOnServer::ExecuteCommand()
{
    CUnit* unit = m_turnManager->GetCurrentUnit();
    if (unit == nullptr) return NothingToCommand;
    return unit->ExecuteCommand(m_turnManager->GetCurrentUnitEntry());
}

void CBattleSequenceOnServer::ShowResult(MessageCode code)
{
    if (code == TimeUp) {
        UpdateMap(TimeUp);
        m_turnManager->Update(CommandSent);
        ExecuteCommand();
    }
    m_turnManager->Update(AfterAction);
    m_turnManager->Update(code);

    CMessageScene* messages = GetMessageScene();
    CUnit* unit = m_turnManager->GetCurrentUnit();
    if (messages != nullptr) {
        messages->DisablePageControl();
        messages->Add(ResultLine(code, unit, QString()), true);
    }
    if (CPlayerStatusScene* status = GetStatusScene()) status->blockSignals(true);
    m_report->Start(code);
}

void CBattleSequenceOnServer::StartTurn()
{
    m_turnManager->Update(TurnStarts);
    UpdateMap(TurnStarts);
    if (CPlayerStatusScene* status = GetStatusScene()) status->blockSignals(false);
    if (CMessageScene* messages = GetMessageScene()) messages->ShowLatestLog();
    CUnit* unit = m_turnManager->GetCurrentUnit();
    // A side out of play passes at once.
    if (unit != nullptr && !unit->IsActive()) Update(ExecuteCommand());
}

void CBattleSequenceOnServer::SendCommand()
{
    // A command that arrives while a result is shown is not this turn's.
    if (m_report->IsRunning() || !m_isBattleStarted) return;
    UpdateMap(CommandSent);
    m_turnManager->Update(CommandSent);
    Update(ExecuteCommand());
}

void CBattleSequenceOnServer::FinishReport()
{
    if (m_turnManager->IsGameDecided()) {
        StopBattleSound();
        if (m_monitor != nullptr) m_monitor->Stop();
        m_turnManager->Update(BattleEnds);
        Leave(ScreenTiming::Leave);
        return;
    }
    m_turnManager->Update(ReportFinished);
    UpdateMap(ShipsRefreshed);
    if (CMessageScene* messages = GetMessageScene()) messages->EnablePageControl();
}

void CBattleSequenceOnServer::ConfirmStart()
{
    if (sender() != nullptr && sender() == GetMapScene()) {
        m_turnManager->Update(StartConfirmed);
        UpdateMap(StartConfirmed);
    }
    WaitForBattleStart();
}

void CBattleSequenceOnServer::WaitForBattleStart()
{
    if (m_isBattleStarted || m_isLeaving) return;
    if (m_monitor != nullptr) {
        if (!m_monitor->IsRunning()) {
            m_monitor->SetMode(MonitorRemote);
            m_monitor->Start();
            return;
        }
        CUnit* last = m_monitor->GetLastUnit();
        if (IsNetworkClient(last)) m_confirmed.insert(last);
        std::size_t clients = 0;
        for (const CUnit* unit : m_turnManager->GetUnits()) clients += IsNetworkClient(unit) ? 1 : 0;
        if (clients > 0 && m_confirmed.size() < clients) return;
        // The monitor keeps reading every client, so that one lost during
        // another side's turn ends the battle at once; what a client sends
        // out of its turn is dropped in Update.
        m_confirmed.clear();
    }
    m_isBattleStarted = true;
    CSoundControl* sound = GetScreenSound();
    sound->LoadSe(Sound::SeTypeBattle);
    const std::uint32_t music = GetGameMap()->GetMusicCode();
    if (music != 0) sound->PlayBgm(static_cast<Sound::BgmCode>(music));
    Update(TurnStarts);
}

} // namespace Marevane
