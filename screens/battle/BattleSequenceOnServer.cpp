#include "screens/battle/BattleSequenceOnServer.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/GameEdit.h"
#include "model/MessageCodes.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/StatisticsTexts.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailSequence.h"

#include <QDebug>

#include <exception>

namespace Marevane {

namespace {

constexpr Sound::SeCode WindowOpenedSound = Sound::SeCode(7);

bool IsPlayedByHand(const CUnit* unit)
{
    return unit != nullptr && unit->GetUnitType() == UnitManual;
}

} // namespace

CBattleSequenceOnServer::CBattleSequenceOnServer(CBattleSequence* pBattle, CTurnManager* pTurnManager)
    : CGameSequence(SequenceType::Battle), m_battle(pBattle), m_turnManager(pTurnManager),
      m_resultManager(&CResultManager::GetInstance()),
      m_logger(pTurnManager != nullptr ? pTurnManager->GetLogCache() : nullptr)
{
    SetModuleFlags(Flags);
    m_leaveTimer.setSingleShot(true);
    connect(&m_leaveTimer, &QTimer::timeout, this, [this] {
        if (m_battle == nullptr) return;
        try {
            CSequenceManager::GetInstance()->ReturnTo(m_battle.data());
        } catch (const std::exception& error) {
            qWarning() << "The battle could not be left:" << error.what();
        }
    });
}

CBattleSequenceOnServer::~CBattleSequenceOnServer()
{
    m_leaveTimer.stop();
    if (m_monitor != nullptr) m_monitor->Stop();
    m_report.reset();
    m_monitor.reset();
}

CGameMapScene* CBattleSequenceOnServer::GetMapScene() const
{
    return GetUIComponent()->Get<CGameMapScene>(SceneSlot::GameMap);
}

CPlayerStatusScene* CBattleSequenceOnServer::GetStatusScene() const
{
    return GetUIComponent()->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus);
}

void CBattleSequenceOnServer::UpdateMap(MessageCode code, const ShipProfile* pShipProfile)
{
    if (CGameMapScene* map = GetMapScene()) map->Update(code, pShipProfile);
}

CMessageScene* CBattleSequenceOnServer::GetMessageScene() const
{
    return GetUIComponent()->Get<CMessageScene>(SceneSlot::Message);
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

    m_report = std::make_unique<CCommandResultReport>(m_resultManager, m_logger);
    if (map != nullptr) {
        QPointer<CGameMapScene> mapScene(map);
        m_report->SetMapUpdater([mapScene](MessageCode code, const ShipProfile* profile) {
            if (mapScene != nullptr) mapScene->Update(code, profile);
        });
    }

    const auto update =
        static_cast<void (CBattleSequenceOnServer::*)(MessageCode)>(&CBattleSequenceOnServer::Update);
    if (map != nullptr) connect(map, &CGameScene::Notified, this, update, Qt::UniqueConnection);
    connect(m_report.get(),
            static_cast<void (CCommandResultReport::*)(MessageCode)>(&CCommandResultReport::Stopped), this,
            update, Qt::UniqueConnection);
    if (m_monitor != nullptr)
        connect(m_monitor.get(), &CNetworkMonitor::DataReceived, this, update, Qt::UniqueConnection);
    if (status != nullptr) {
        connect(status, &CPlayerStatusScene::PlayerDataSent, this, &CBattleSequenceOnServer::OpenStatusDetail,
                Qt::UniqueConnection);
    }

    if (map != nullptr && (!m_turnManager->IsTurnRunning() || m_turnManager->IsGameDecided()))
        map->Update(BattleStarts);
    SetInstalled();
}

void CBattleSequenceOnServer::Start()
{
    m_report->SetUIComponent(GetUIComponent());
    Show();
}

void CBattleSequenceOnServer::Show()
{
    for (SceneSlot slot : {SceneSlot::GameMap, SceneSlot::PlayerStatus, SceneSlot::Message}) {
        CGameScene* scene = GetUIComponent()->Get(slot);
        if (scene != nullptr && scene->GetView() != nullptr) scene->GetView()->Show();
    }
    show();
    for (SceneSlot slot : {SceneSlot::GameMap, SceneSlot::Message}) {
        CGameScene* scene = GetUIComponent()->Get(slot);
        if (scene != nullptr && scene->GetView() != nullptr)
            scene->AdjustViewPosition(scene->GetView()->size());
    }
}

void CBattleSequenceOnServer::Hide()
{
    hide();
}

void CBattleSequenceOnServer::Update(MessageCode code)
{
    // Once the battle is left, nothing more of it is played.
    if (m_isLeaving || m_turnManager == nullptr || !IsInstalled()) return;
    try {
        Dispatch(code);
    } catch (const std::exception& error) {
        qWarning() << "The battle code" << code << "could not be handled:" << error.what();
    }
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
        QString line;
        if (unit != nullptr && code == CommandSuccess)
            line = QStringLiteral("\n") + GetPlayerName(*unit) + tr(" inputted a command.");
        else if (unit != nullptr && code == NothingToCommand && unit->IsActive())
            line = QStringLiteral("\n") + GetPlayerName(*unit) + tr(" was not able to input a command.");
        messages->Add(line, true);
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
        m_monitor->SetMode(MonitorCurrent);
        m_confirmed.clear();
    }
    m_isBattleStarted = true;
    CSoundControl* sound = GetScreenSound();
    sound->LoadSe(Sound::SeTypeBattle);
    const std::uint32_t music = GetGameMap()->GetMusicCode();
    if (music != 0) sound->PlayBgm(static_cast<Sound::BgmCode>(music));
    Update(TurnStarts);
}

void CBattleSequenceOnServer::Disconnect()
{
    if (m_monitor != nullptr) m_monitor->Stop();
    m_report->Reset();
    m_turnManager->Update(InvalidDisconnection);
    UpdateMap(InvalidDisconnection);
    StopBattleSound();
    Leave(ScreenTiming::LeaveAfterFailure);
}

void CBattleSequenceOnServer::StopBattleSound()
{
    CSoundControl* sound = GetScreenSound();
    sound->StopBgm();
    sound->UnloadSe(Sound::SeTypeBattle);
}

void CBattleSequenceOnServer::Leave(int delay)
{
    if (m_isLeaving) return;
    m_isLeaving = true;
    m_leaveTimer.start(ScreenTiming::Scaled(delay));
}

void CBattleSequenceOnServer::OpenStatusDetail(CUnit* pUnit, CShip* pShip)
{
    try {
        CSequenceManager* manager = CSequenceManager::GetInstance();
        if (auto* detail = qobject_cast<CStatusDetailSequence*>(manager->GetCurrentSequence())) {
            detail->ResetData(pUnit, pShip);
            return;
        }
        if (m_isLeaving || m_turnManager->IsGameDecided()) return;
        PlaySoundEffect(WindowOpenedSound);
        manager->Push(new CStatusDetailSequence(m_turnManager, m_report.get(), pUnit, pShip));
    } catch (const std::exception& error) {
        qWarning() << "The status detail could not be opened:" << error.what();
    }
}

} // namespace Marevane
