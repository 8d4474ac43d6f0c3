#include "screens/battle/BattleSequenceOnClient.h"

#include "app/SequenceMakers.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/MessageCodes.h"
#include "model/Unit.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "session/GUITurnManager.h"

namespace Marevane {

namespace {

// A client that joins a battle already under way.
constexpr MessageCode BattleReentered = 46;

} // namespace

CBattleSequenceOnClient::CBattleSequenceOnClient(CBattleSequence* pBattle,
                                                 CGUITurnManagerOnClient* pTurnManager)
    : CPlaySequence(pBattle, pTurnManager, Flags), m_clientTurnManager(pTurnManager)
{
}

CBattleSequenceOnClient::~CBattleSequenceOnClient()
{
    // The turn manager belongs to the battle sequence and may outlive this.
    if (m_battle != nullptr && m_clientTurnManager != nullptr) m_clientTurnManager->SetNotifier(nullptr);
}

void CBattleSequenceOnClient::Init()
{
    m_isLeaving = false;
    m_isSoundStarted = false;
    m_monitor = std::make_unique<CNetworkMonitor>(nullptr, GetModule<TcpClientModule>(), m_turnManager);
    m_monitor->SetMode(MonitorHost);
    WireCodes();
    // What the host sent that cannot be used breaks the battle off as a lost
    // connection does.
    QPointer<CBattleSequenceOnClient> self(this);
    m_clientTurnManager->SetNotifier([self](MessageCode code) {
        if (self != nullptr) self->Update(code);
    });

    SetInstalled();
    const bool isUnderWay = m_turnManager->IsTurnRunning() && !m_turnManager->IsGameDecided();
    Update(isUnderWay ? BattleReentered : BattleStarts);
}

void CBattleSequenceOnClient::Dispatch(MessageCode code)
{
    // The host keeps the rules; here a failure is only shown.
    if (IsErrorCode(code) && code != InvalidDisconnection) {
        UpdateMap(code);
        return;
    }
    switch (code) {
    case BattleStarts:
    case BattleReentered:
        EnterBattle(code);
        break;
    case TimeUp:
    case CommandSuccess:
    case NothingToCommand:
        ShowResult(code);
        break;
    case BattleEnds:
        EndBattle();
        break;
    case TurnStarts:
        StartTurn();
        break;
    case TurnEnds:
    case ShipsRefreshed:
    case TurnEndState:
        m_turnManager->Update(code);
        UpdateMap(code);
        break;
    case CommandSent:
        UpdateMap(CommandSent);
        m_turnManager->Update(CommandSent);
        break;
    case TurnState:
        m_turnManager->Update(code);
        break;
    case ReportFinished:
        FinishReport();
        break;
    case StartConfirmed:
        ConfirmStart();
        break;
    case EndOfTurnCheck:
        m_turnManager->Update(EndOfTurnCheck);
        if (CMessageScene* messages = GetMessageScene()) messages->EnablePageControl();
        break;
    case InvalidDisconnection:
        Disconnect();
        break;
    default:
        break;
    }
}

void CBattleSequenceOnClient::EnterBattle(MessageCode code)
{
    if (CGameMapScene* map = GetMapScene()) {
        map->SetUnits(m_turnManager->GetUnits());
        map->Update(code);
    }
    // A battle under way has no start to confirm: the host's turns come at
    // once, and its sound plays from now on.
    if (code != BattleReentered) return;
    StartMonitor();
    if (!m_isSoundStarted) StartBattleSound();
}

void CBattleSequenceOnClient::ShowResult(MessageCode code)
{
    if (code == TimeUp) UpdateMap(TimeUp);
    m_turnManager->Update(code);
    if (m_turnManager->IsDisconnected()) return;
    if (CMessageScene* messages = GetMessageScene()) {
        messages->DisablePageControl();
        messages->Add(ResultLine(code, m_turnManager->GetCurrentUnit(), QStringLiteral("\n")), true);
    }
    if (CPlayerStatusScene* status = GetStatusScene()) status->blockSignals(true);
    m_report->Start(code);
}

void CBattleSequenceOnClient::StartTurn()
{
    m_turnManager->Update(TurnStarts);
    if (m_turnManager->IsDisconnected()) return;
    UpdateMap(TurnStarts);
    // The first turn this machine sees, also of a battle joined under way.
    if (!m_isSoundStarted) StartBattleSound();
    if (CPlayerStatusScene* status = GetStatusScene()) status->blockSignals(false);
    if (CMessageScene* messages = GetMessageScene()) messages->ShowLatestLog();
}

void CBattleSequenceOnClient::FinishReport()
{
    m_turnManager->Update(ReportFinished);
    // The lines are shown: the local side, when it is its turn, may end it.
    UpdateMap(ShipsRefreshed);
}

void CBattleSequenceOnClient::ConfirmStart()
{
    m_turnManager->Update(StartConfirmed);
    UpdateMap(StartConfirmed);
    StartMonitor();
}

void CBattleSequenceOnClient::StartMonitor()
{
    if (m_monitor != nullptr && !m_monitor->IsRunning()) m_monitor->Start();
}

void CBattleSequenceOnClient::EndBattle()
{
    if (m_monitor != nullptr) m_monitor->Stop();
    StopBattleSound();
    m_turnManager->Update(BattleEnds);
    Leave(ScreenTiming::Leave);
}

void CBattleSequenceOnClient::StartBattleSound()
{
    m_isSoundStarted = true;
    CSoundControl* sound = GetScreenSound();
    sound->LoadSe(Sound::SeTypeBattle);
    // The host's choice when it is known here; otherwise one of the battle
    // tracks, kept for a replay.
    CBoard* board = GetGameMap();
    if (board->GetMusicCode() == 0) board->SetMusicCode(sound->ChooseBgm(Sound::BgmTypeBattle));
    const std::uint32_t music = board->GetMusicCode();
    if (music != 0) sound->PlayBgm(static_cast<Sound::BgmCode>(music));
}

} // namespace Marevane
