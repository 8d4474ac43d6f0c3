#include "screens/battle/BattleEndSequence.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "model/ArcadeMapList.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Score.h"
#include "model/ShipFactory.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/AudienceManager.h"
#include "net/NetworkMonitor.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/GameMapScene.h"

#include <QHideEvent>
#include <QScrollBar>

#include <exception>

namespace Marevane {

namespace {

// A peer's exit, its closing the connection or losing it during the
// exchange rejects the replay.
MessageCode AsReplayAnswer(MessageCode code)
{
    constexpr MessageCode ClosedCode = 4;
    const bool isGone = code == CBattleEndSequence::ExitCode || code == ClosedCode ||
                        code == CBattleEndSequence::DisconnectedCode;
    return isGone ? CBattleEndSequence::ReplayRejectedCode : code;
}

} // namespace

CBattleEndSequence::CBattleEndSequence(CGameSequence* pReturnSequence, CTurnManager* pTurnManager)
    : CGameSequence(2), m_returnSequence(pReturnSequence), m_turnManager(pTurnManager)
{
    setObjectName(QStringLiteral("BattleEndSequence"));
    SetModuleFlags(Flags);
    m_step.setSingleShot(true);
    connect(&m_step, &QTimer::timeout, this, [this] {
        std::function<void()> step = std::move(m_pendingStep);
        m_pendingStep = nullptr;
        if (!step) return;
        try {
            step();
        } catch (const std::exception& error) {
            qWarning("The battle end could not go on: %s", error.what());
        }
    });
}

CBattleEndSequence::~CBattleEndSequence()
{
    m_step.stop();
}

void CBattleEndSequence::Init()
{
    m_scene = GetSceneSet()->Get<CBattleResultScene>(SceneSlot::BattleResult);
    if (m_scene != nullptr)
        connect(m_scene, &CBattleResultScene::MenuSelected, this,
                static_cast<void (CBattleEndSequence::*)(MessageCode)>(&CBattleEndSequence::Update),
                Qt::UniqueConnection);
    SetInstalled();
}

void CBattleEndSequence::Start()
{
    m_step.stop();
    m_pendingStep = nullptr;
    m_isLeaving = false;
    // Each entry starts a fresh exchange.
    StopMonitor();
    m_monitor.reset();
    m_replayRequests.clear();

    if (HasModule(AudienceManagerModule)) {
        CAudienceManager* audience = GetModule<AudienceManagerModule>();
        audience->Stop();
        audience->SetSource(nullptr);
    }
    CUnit* unit = GetMyUnit();
    if (unit != nullptr) {
        ActionStatistics& battle = unit->GetStatistics(0);
        battle.Score = CalculateScore(battle);
    }
    const bool isWatching = IsWatching();
    m_isWon = unit != nullptr && (unit->GetStatistics(0)[StatVictory] != 0 || isWatching);

    if (m_scene != nullptr) {
        m_scene->SetTurnManager(m_turnManager);
        m_scene->SetArcadeMode(GetGameEdit()->HasRule(GameModeArcade));
        m_scene->SetWatchMode(isWatching);
        m_scene->ShowStageButtons(HasNextStage(), m_isWon && !isWatching);
    }
    GetScreenSound()->PlayBgm(m_isWon ? Sound::BgmWin : Sound::BgmLoss);
    Show();
    if (m_scene != nullptr) m_scene->FocusFirstChoice();
}

void CBattleEndSequence::Show()
{
    if (m_scene != nullptr) {
        if (CGameView* view = m_scene->GetView()) {
            view->Show();
            const QScrollBar* bar = view->verticalScrollBar();
            const int barWidth = bar->isVisible() ? bar->width() : 0;
            m_scene->AdjustViewPosition(QSize(view->width() - barWidth, view->height()));
        }
    }
    show();
}

void CBattleEndSequence::Hide()
{
    hide();
}

void CBattleEndSequence::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous() && m_step.isActive()) {
        m_step.stop();
        m_pendingStep = nullptr;
        m_isLeaving = false;
    }
    CGameSequence::hideEvent(event);
}

CGameMapScene* CBattleEndSequence::GetMapScene() const
{
    return HasModule(SceneSetModule) ? GetSceneSet()->Get<CGameMapScene>(SceneSlot::GameMap) : nullptr;
}

CUnit* CBattleEndSequence::GetLocalUnit() const
{
    return GetMyUnit();
}

bool CBattleEndSequence::IsNetworkBattle() const
{
    return GetGameEdit()->GetInfo().TeamCount != 0;
}

bool CBattleEndSequence::IsHost() const
{
    const CUnit* unit = GetMyUnit();
    return unit == nullptr || unit->GetProfile().OriginFlag != HostClient;
}

bool CBattleEndSequence::IsWatching() const
{
    const CUnit* unit = GetMyUnit();
    return unit != nullptr && unit->GetUnitType() == UnitWatching;
}

bool CBattleEndSequence::HasNextStage() const
{
    if (!HasModule(GameMapModule)) return false;
    const std::uint32_t stage = GetGameMap()->GetMap().Id;
    return !CArcadeMapList::IsRunOver(CArcadeMapList::GetInstance().Get(stage + 1));
}

void CBattleEndSequence::Update(MessageCode code)
{
    try {
        Choose(code, sender() != nullptr && sender() == m_scene);
    } catch (const std::exception& error) {
        qWarning("The battle end could not carry out code %u: %s", static_cast<unsigned>(code), error.what());
    }
}

void CBattleEndSequence::Choose(MessageCode code, bool isFromScene)
{
    if (GetMyUnit() == nullptr || m_isLeaving) return;
    switch (code) {
    case ReplayCode:
        Replay();
        break;
    case ExitCode:
        Exit(isFromScene);
        break;
    case NextStageCode:
        NextStage();
        break;
    case ReplayAcceptedCode:
        m_isLeaving = true;
        StopMonitor();
        if (m_scene != nullptr)
            m_scene->ShowMessage(tr("Request for a \"Replay\" is accepted.\nNow preparing for a replay..."),
                                 ScreenTiming::FailureNotice);
        RunLater(ScreenTiming::FailureNotice, [this] {
            ResetBattle();
            if (m_returnSequence != nullptr)
                CSequenceManager::GetInstance()->ReturnTo(m_returnSequence.data());
            else
                ResetToTitle();
        });
        break;
    case ReplayRejectedCode:
        RejectReplay();
        break;
    default:
        break;
    }
}

void CBattleEndSequence::Replay()
{
    if (!IsNetworkBattle() && !IsWatching()) {
        SendToAudience(ReplayAcceptedCode);
        Update(ReplayAcceptedCode);
        return;
    }
    if (m_scene != nullptr) {
        if (IsWatching())
            m_scene->ShowRewatchGuidance();
        else
            m_scene->ShowReplayGuidance();
    }
    if (!SendChoice(ReplayCode)) {
        RejectReplay();
        return;
    }
    StartMonitor();
}

void CBattleEndSequence::Exit(bool isFromScene)
{
    m_isLeaving = true;
    if (GetGameEdit()->HasRule(GameModeArcade)) {
        ResetBattle();
        const int type = m_isWon && !HasNextStage() ? SequenceType::Credits : SequenceType::GameOver;
        CGameSequence* next = CreateSequence(type);
        try {
            CSequenceManager::GetInstance()->ReplaceWith(next);
        } catch (const std::exception& error) {
            qWarning("The closing screen could not be shown: %s", error.what());
            delete next;
            m_isLeaving = false;
        }
        return;
    }
    // A replay request still waiting already told the others; otherwise
    // they learn of the exit before the connections close.
    if (IsNetworkBattle() && m_monitor == nullptr) SendChoice(ExitCode);
    if (isFromScene && m_scene != nullptr && m_monitor == nullptr)
        m_scene->ShowMessage(tr("\"Exit\" is selected.\nNow going back the Title..."),
                             ScreenTiming::FailureNotice);
    StopMonitor();
    ShutDownNetwork();
    RunLater(ScreenTiming::FailureNotice, [this] { ResetToTitle(); });
}

void CBattleEndSequence::NextStage()
{
    if (!m_isWon) return;
    CSequenceManager* manager = CSequenceManager::GetInstance();
    CGameSequence* arcade = nullptr;
    for (int i = manager->GetMaxIndex(); i >= 0 && arcade == nullptr; --i) {
        CGameSequence* sequence = manager->GetSequence(i);
        if (sequence != nullptr && sequence->GetType() == SequenceType::ArcadeStage) arcade = sequence;
    }
    if (arcade == nullptr) {
        qWarning("No arcade stage screen to go on to");
        return;
    }
    m_isLeaving = true;
    ResetBattle();
    // The stage screen moves on only when told that this stage was won.
    arcade->Update(NextStageCode);
    manager->ReturnTo(arcade);
}

void CBattleEndSequence::RejectReplay()
{
    m_isLeaving = true;
    StopMonitor();
    if (m_scene != nullptr)
        m_scene->ShowMessage(tr("Request for a \"Replay\" is rejected.\nNow going back the Title..."),
                             ScreenTiming::FailureNotice);
    RunLater(ScreenTiming::FailureNotice, [this] { Exit(false); });
}

void CBattleEndSequence::RunLater(int ms, std::function<void()> step)
{
    m_pendingStep = std::move(step);
    m_step.start(ScreenTiming::Scaled(ms));
}

void CBattleEndSequence::ResetBattle()
{
    if (m_turnManager != nullptr) m_turnManager->Reset();
    if (CGameMapScene* map = GetMapScene()) map->Init();
}

void CBattleEndSequence::ResetToTitle()
{
    ResetBattle();
    if (HasModule(ShipFactoryModule)) GetShipFactory()->Clear();
    if (HasModule(UnitFactoryModule)) GetModule<UnitFactoryModule>()->Clear();
    CGameEdit* rules = GetGameEdit();
    rules->ResetPlayers();
    rules->GetInfo().ComputerLevel = 0;
    rules->SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
    CBoard* board = GetGameMap();
    board->ResetPanels();
    board->Resize(rules->GetInfo().Map.Size.x, rules->GetInfo().Map.Size.y);
    try {
        CSequenceManager::GetInstance()->ReturnTo(0);
    } catch (const std::exception& error) {
        qWarning("The title could not be shown: %s", error.what());
    }
}

bool CBattleEndSequence::SendChoice(MessageCode code)
{
    if (!IsHost()) {
        if (!HasModule(TcpClientModule)) return false;
        return GetModule<TcpClientModule>()->SendCode(code);
    }
    if (!HasModule(TcpServerModule)) return code == ExitCode;
    CTcpServer* server = GetTcpServer();
    bool isSent = true;
    for (CUnit* unit : GetModule<UnitFactoryModule>()->GetUnits()) {
        if (unit == nullptr || unit->GetProfile().OriginFlag != HostClient) continue;
        if (!server->SendCodeToUnit(*unit, code)) isSent = false;
    }
    return isSent || code == ExitCode;
}

void CBattleEndSequence::StartMonitor()
{
    if (m_monitor != nullptr) return;
    if (IsHost()) {
        if (!HasModule(TcpServerModule)) return;
        m_monitor = std::make_unique<CNetworkMonitor>(GetTcpServer(), nullptr, m_turnManager);
        m_monitor->SetMode(MonitorRemote);
    } else {
        if (!HasModule(TcpClientModule)) return;
        m_monitor = std::make_unique<CNetworkMonitor>(nullptr, GetModule<TcpClientModule>(), m_turnManager);
        m_monitor->SetMode(MonitorHost);
    }
    connect(m_monitor.get(), &CNetworkMonitor::DataReceived, this, &CBattleEndSequence::ReceiveRequest);
    m_monitor->Start();
}

void CBattleEndSequence::StopMonitor()
{
    if (m_monitor == nullptr) return;
    m_monitor->disconnect(this);
    m_monitor->Stop();
}

void CBattleEndSequence::ReceiveRequest(MessageCode code)
{
    try {
        Answer(code);
    } catch (const std::exception& error) {
        qWarning("The battle end could not take code %u: %s", static_cast<unsigned>(code), error.what());
    }
}

void CBattleEndSequence::Answer(MessageCode code)
{
    if (m_isLeaving || m_monitor == nullptr) return;
    code = AsReplayAnswer(code);
    if (IsHost()) {
        if (code == ReplayCode) {
            // Each client counts once, however often it asks.
            if (CUnit* unit = m_monitor->GetLastUnit()) m_replayRequests.insert(unit->GetHostId());
            const std::size_t players = GetGameEdit()->GetInfo().TeamCount;
            if (m_replayRequests.size() < players) return;
            code = SendChoice(ReplayAcceptedCode) ? ReplayAcceptedCode : ReplayRejectedCode;
        } else if (code == ReplayRejectedCode) {
            SendChoice(ReplayRejectedCode);
        }
    }
    if (code != ReplayAcceptedCode && code != ReplayRejectedCode) return;
    m_replayRequests.clear();
    SendToAudience(code);
    StopMonitor();
    Update(code);
}

void CBattleEndSequence::SendToAudience(MessageCode code)
{
    if (!IsHost() || IsWatching() || !GetGameEdit()->GetInfo().IsTeamVersus) return;
    if (!HasModule(TcpServerModule)) return;
    CTcpServer* server = GetTcpServer();
    for (CUnit* unit : GetModule<UnitFactoryModule>()->GetUnits()) {
        if (unit == nullptr || unit->GetUnitType() != UnitWatching) continue;
        const Socket socket = server->FindSocket(unit->GetHostId());
        if (socket == InvalidSocket) continue;
        if (!server->SendMessageToSocket(socket, MakeMessage(code))) server->Disconnect(socket);
    }
}

void CBattleEndSequence::ShutDownNetwork()
{
    if (HasModule(TcpServerModule)) {
        if (auto* server = dynamic_cast<CSocketTcpServer*>(GetTcpServer())) server->Reset();
    }
    if (HasModule(TcpClientModule)) {
        CTcpClient* client = GetModule<TcpClientModule>();
        client->ClearReceivedData();
        auto* socketClient = dynamic_cast<CSocketTcpClient*>(client);
        if (socketClient != nullptr && socketClient->IsConnected()) socketClient->Disconnect();
    }
}

} // namespace Marevane
