#include "screens/battle/FleetFormationSequence.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Messages.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/MessageTexts.h"
#include "net/AudienceManager.h"
#include "net/PacketConverter.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "screens/battle/FleetLimit.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipSelectionScene.h"
#include "screens/battle/TimerBar.h"
#include "session/PlayerEdit.h"
#include "sound/BgmManager.h"

#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <exception>

namespace Marevane {

namespace {

constexpr MessageCode LeaveCode = 4;
constexpr MessageCode BattleStarts = 45;
constexpr MessageCode StateFromHost = 58;
constexpr MessageCode FleetsReady = 60;
constexpr MessageCode FleetRejected = 62;
constexpr MessageCode Cancelled = 64;
constexpr MessageCode Disconnected = 124;
constexpr MessageCode Accepted = 26;
constexpr MessageCode Declined = 27;
constexpr MessageCode Back = 33;
constexpr std::uint32_t ClientHost = 1;
constexpr MissionType FlagshipMission = 0x10000004;

// The pauses of the rivals' set-up at the screens' speed.
PlayerEditPauses ScaledPauses()
{
    PlayerEditPauses pauses;
    pauses.Placed = std::chrono::milliseconds(ScreenTiming::Scaled(500));
    pauses.Ready = std::chrono::milliseconds(ScreenTiming::Scaled(1000));
    return pauses;
}

void PlayFormationMusic()
{
    if (Sound::CBgmManager::HasInstance()) {
        Sound::CBgmManager* bgm = Sound::CBgmManager::GetInstance();
        if (bgm->GetCurrentId() == Sound::BgmSubmarine && bgm->GetCurrentSound() != nullptr &&
            !bgm->IsStopping())
            return;
        bgm->SetFadeInEnabled(true);
        bgm->SetFadeOutEnabled(true);
    }
    GetScreenSound()->PlayBgm(Sound::BgmSubmarine);
}

} // namespace

CFleetFormationSequence::CFleetFormationSequence() : CGameSequence(SequenceType::FleetFormation)
{
    setObjectName(QStringLiteral("FleetFormationSequence"));
    SetModuleFlags(Modules);
    m_pollTimer.setInterval(ScreenTiming::Scaled(ScreenTiming::Poll));
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] {
        std::function<void()> step = std::move(m_step);
        m_step = nullptr;
        try {
            if (step) step();
        } catch (const std::exception& error) {
            qWarning("A step of fleet formation failed: %s", error.what());
        }
    });
}

CFleetFormationSequence::~CFleetFormationSequence()
{
    m_pollTimer.stop();
    m_stepTimer.stop();
    // The tasks are cancelled and waited for before the factories go.
    m_edits.clear();
}

// --- helpers ------------------------------------------------------------------

CTcpClient* CFleetFormationSequence::GetTcpClient() const
{
    return HasModule(TcpClientModule) ? GetModule<TcpClientModule>() : nullptr;
}

CUnitFactory* CFleetFormationSequence::GetUnitFactory() const
{
    return HasModule(UnitFactoryModule) ? GetModule<UnitFactoryModule>() : nullptr;
}

bool CFleetFormationSequence::IsClient() const
{
    const CUnit* me = GetMyUnit();
    return me != nullptr && me->GetProfile().OriginFlag == ClientHost;
}

bool CFleetFormationSequence::IsWatching() const
{
    const CUnit* me = GetMyUnit();
    return me == nullptr || me->GetUnitType() == UnitWatching;
}

std::uint32_t CFleetFormationSequence::GetFleetLimit() const
{
    if (!HasModule(GameEditModule)) return 0;
    return FleetLimit(GetGameEdit()->GetInfo(), GetMyUnit());
}

void CFleetFormationSequence::AddMessage(const QString& text)
{
    if (m_messages != nullptr) m_messages->Add(text);
}

void CFleetFormationSequence::After(int ms, std::function<void()> step)
{
    m_step = std::move(step);
    m_stepTimer.start(ScreenTiming::Scaled(ms));
}

void CFleetFormationSequence::StopSteps()
{
    m_stepTimer.stop();
    m_step = nullptr;
    m_pollTimer.stop();
}

void CFleetFormationSequence::ReturnToPrevious()
{
    CSequenceManager* manager = CSequenceManager::GetInstance();
    // The screen below this one, by itself: a change still under way cannot
    // take the flow one screen too far.
    const int own = manager->IndexOf(this);
    CGameSequence* previous = manager->GetSequence((own >= 0 ? own : manager->GetCurrentIndex()) - 1);
    if (previous == nullptr) {
        qWarning("Fleet formation has no screen to go back to");
        m_isLeaving = false;
        return;
    }
    try {
        manager->ReturnTo(previous);
    } catch (const std::exception& error) {
        qWarning("Fleet formation could not be left: %s", error.what());
        m_isLeaving = false;
    }
}

// --- set-up -------------------------------------------------------------------

void CFleetFormationSequence::Init()
{
    const SceneSet* scenes = HasModule(SceneSetModule) ? GetSceneSet() : nullptr;
    if (scenes != nullptr) {
        m_map = scenes->Get<CGameMapScene>(SceneSlot::GameMap);
        m_shipSelection = scenes->Get<CShipSelectionScene>(SceneSlot::ShipSelection);
        m_messages = scenes->Get<CMessageScene>(SceneSlot::Message);
        m_help = scenes->Get<CHelpScene>(SceneSlot::Help);
    }
    CUnit* me = GetMyUnit();
    if (me != nullptr && HasModule(GameEditModule)) {
        UnitProfile profile = me->GetProfile();
        profile.Level = static_cast<std::uint32_t>(GetGameEdit()->GetInfo().ComputerLevel);
        me->SetProfile(profile);
    }
    if (m_map != nullptr) {
        if (IsClient()) m_map->Init();
        if (HasModule(ShipFactoryModule)) m_map->SetShipFactory(GetShipFactory());
        if (HasModule(GameEditModule)) m_map->SetPlacementRules(&GetGameEdit()->GetInfo());
        if (me != nullptr) m_map->SetPlayer(me);
    }
    if (m_shipSelection != nullptr) {
        m_playerList.clear();
        if (m_map != nullptr)
            for (CUnit* unit : m_map->GetUnits()) m_playerList.append(unit);
        m_shipSelection->SetUp(&m_playerList, me);
    }
    ConnectScenes();
    if (IsClient())
        connect(&m_pollTimer, &QTimer::timeout, this, &CFleetFormationSequence::WaitUntilDataLoaded);
    else
        connect(&m_pollTimer, &QTimer::timeout, this, &CFleetFormationSequence::WaitForRivalData);
    SetInstalled();
}

void CFleetFormationSequence::ConnectScenes()
{
    const auto unique = Qt::UniqueConnection;
    if (m_map != nullptr) {
        connect(m_map, &CGameScene::Notified, this, qOverload<MessageCode>(&CFleetFormationSequence::Update),
                unique);
        if (m_messages != nullptr) {
            connect(m_map, &CGameMapScene::MessageSent, m_messages, qOverload<QString>(&CMessageScene::Add),
                    unique);
            connect(m_map, &CGameMapScene::MessageDeleted, m_messages, &CMessageScene::Clear, unique);
        }
        if (m_help != nullptr)
            connect(m_map, &CGameMapScene::PanelHovered, m_help,
                    qOverload<const CPanelIcon*, const CShipIcon*>(&CHelpScene::Set), unique);
    }
    if (m_shipSelection == nullptr) return;
    if (m_help != nullptr)
        connect(m_shipSelection, &CSideScene::ItemHovered, m_help,
                qOverload<const CShipIcon*>(&CHelpScene::Set), unique);
    connect(m_shipSelection, &CShipSelectionScene::PrevButtonPushed, this,
            qOverload<MessageCode>(&CFleetFormationSequence::Update), unique);
    connect(m_shipSelection, &CShipSelectionScene::ResetButtonPushed, this,
            &CFleetFormationSequence::PrintResetMessage, unique);
    if (m_map == nullptr) return;
    connect(m_map, &CGameMapScene::ShipDataChanged, m_shipSelection, &CShipSelectionScene::UpdateAll, unique);
    for (auto signal : {&CShipSelectionScene::ShipProfileSelected, &CShipSelectionScene::ShipDragStarted,
                        &CShipSelectionScene::ShipDragStopped})
        connect(m_shipSelection, signal, m_map, &CGameMapScene::ChangeToPositionable, unique);
    connect(m_shipSelection, &CShipSelectionScene::ResetButtonPushed, m_map, &CGameMapScene::InitShipData,
            unique);
    const bool isFlagshipMission = HasModule(GameEditModule) && GetGameEdit()->HasMission(FlagshipMission);
    if (isFlagshipMission)
        connect(m_shipSelection, &CShipSelectionScene::OkButtonPushed, m_map, &CGameMapScene::ConfirmFlagship,
                unique);
    else
        connect(m_shipSelection, &CShipSelectionScene::OkButtonPushed, m_map,
                qOverload<>(&CGameMapScene::ConfirmRequest), unique);
}

void CFleetFormationSequence::Start()
{
    StopSteps();
    m_isConfirmed = false;
    m_isLeaving = false;
    if (m_shipSelection != nullptr) {
        m_shipSelection->blockSignals(false);
        m_shipSelection->UpdateAll();
    }
    if (m_map != nullptr && m_map->GetTurnInfoBar() != nullptr)
        m_map->GetTurnInfoBar()->Show(QPixmap(QStringLiteral(":/Resources/FormationOfFleetLabel.png")));
    Show();
    PlayFormationMusic();

    if (IsWatching()) {
        if (m_messages != nullptr) {
            m_messages->Clear();
            m_messages->Add(tr("You are now audience.") + QStringLiteral("\n"));
        }
        const CTcpClient* client = GetTcpClient();
        Update(client != nullptr && client->GetReceivedMessage().Code == StateFromHost ? StateFromHost
                                                                                       : Accepted);
        return;
    }
    if (m_messages == nullptr) return;
    const QString ships = tr(" ships you operate. ");
    const QString prefix = ships == QLatin1String(" ships you operate. ") ? tr("Select ") : QString();
    m_messages->Clear();
    m_messages->Add(
        prefix + QString::number(GetFleetLimit()) + ships +
            tr("You can drag & drop a ship icon or click an item of the Ship List to select them.") +
            QStringLiteral("\n") +
            tr("It is permitted to select same types of ships. But Oiler cannot be selected as "
               "first ship(No.1 ship).") +
            QStringLiteral("\n"),
        false);
}

void CFleetFormationSequence::Show()
{
    if (m_messages != nullptr) m_messages->HidePageControl();
    if (m_map != nullptr && m_map->GetView() != nullptr) m_map->GetView()->Show();
    if (m_messages != nullptr && m_messages->GetView() != nullptr) {
        m_messages->GetView()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_messages->GetView()->Show();
    }
    if (m_shipSelection != nullptr && m_shipSelection->GetView() != nullptr)
        m_shipSelection->GetView()->Show();
    show();
    if (m_map != nullptr) m_map->CGameScene::AdjustViewPosition();
    if (m_messages != nullptr) m_messages->CGameScene::AdjustViewPosition();
    if (m_shipSelection != nullptr && m_shipSelection->GetView() != nullptr)
        m_shipSelection->GetView()->setFocus();
}

void CFleetFormationSequence::Hide()
{
    hide();
}

// --- the flow -----------------------------------------------------------------

void CFleetFormationSequence::Update(MessageCode code)
{
    try {
        switch (code) {
        case Accepted: {
            // Return and a click both confirm; only the first counts.
            if (m_isConfirmed || m_isLeaving) return;
            m_isConfirmed = true;
            if (m_map != nullptr) {
                for (CShipIcon* icon : m_map->GetShipIcons()) {
                    icon->setFlag(QGraphicsItem::ItemIsSelectable, false);
                    icon->SetDraggable(false);
                }
            }
            if (!IsWatching())
                AddMessage(QStringLiteral("\n") + tr("Selecting your ships has been finished."));
            if (IsClient()) {
                SendFleetDataToServer();
                return;
            }
            const bool isNetwork = HasModule(GameEditModule) && GetGameEdit()->GetInfo().TeamCount != 0;
            AddMessage(isNetwork ? tr("Wait for receiving client's data of fleet...")
                                 : tr("Now creating rival's data of fleet..."));
            After(ScreenTiming::ShortPause, [this] {
                RunEditTaskAsServer();
                m_pollTimer.start();
            });
            return;
        }
        case Declined:
            if (m_shipSelection != nullptr) m_shipSelection->SetButtonEnabled(true);
            return;
        case Back:
            if (m_isLeaving) return;
            m_isLeaving = true;
            CancelProcess();
            ReturnToPrevious();
            return;
        case BattleStarts:
        case StateFromHost:
        case FleetsReady: {
            if (m_isLeaving) return;
            m_isLeaving = true;
            StopSteps();
            if (m_shipSelection != nullptr) {
                m_shipSelection->clearFocus();
                m_shipSelection->blockSignals(true);
            }
            CGameSequence* battle = CreateSequence(SequenceType::Battle);
            try {
                CSequenceManager::GetInstance()->Push(battle);
            } catch (const std::exception& error) {
                qWarning("The battle could not be started: %s", error.what());
                delete battle;
                m_isLeaving = false;
            }
            return;
        }
        case FleetRejected:
            if (HasModule(ShipFactoryModule) && GetMyUnit() != nullptr)
                GetShipFactory()->RemoveShipsOf(GetMyUnit());
            m_isConfirmed = false;
            if (m_map != nullptr) m_map->Init();
            if (m_shipSelection != nullptr) m_shipSelection->UpdateAll();
            AddMessage(tr("Your ship data is not processed correctly.") + QStringLiteral("\n") +
                       tr("Retry selecting your ships again."));
            return;
        case LeaveCode:
        case Cancelled:
        case Disconnected: {
            if (m_isLeaving) return;
            m_isLeaving = true;
            CancelProcess();
            const QString text = CGUICore::GetErrorMessage(code == LeaveCode ? Disconnected : code) +
                                 QStringLiteral("\n") + tr("It goes back to previous process...");
            if (m_map != nullptr)
                m_map->GetNotificationBar()->Show(text, ScreenTiming::Scaled(ScreenTiming::FailureNotice));
            AddMessage(text);
            After(ScreenTiming::LeaveAfterFailure, [this] { ReturnToPrevious(); });
            return;
        }
        default:
            return;
        }
    } catch (const std::exception& error) {
        qWarning("Fleet formation could not handle code %u: %s", static_cast<unsigned>(code), error.what());
    }
}

void CFleetFormationSequence::PrintResetMessage()
{
    Start();
    AddMessage(tr("Ship data has been deleted."));
}

void CFleetFormationSequence::RunEditTaskAsServer()
{
    CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr || !HasModule(GameEditModule) || !HasModule(GameMapModule) ||
        !HasModule(ShipFactoryModule))
        return;
    CTcpServer* server = HasModule(TcpServerModule) ? GetTcpServer() : nullptr;
    const std::vector<CUnit*> units = factory->GetUnits();
    const CUnit* me = GetMyUnit();
    m_edits.clear();
    m_edits.reserve(units.empty() ? 0 : units.size() - 1);
    for (CUnit* unit : units) {
        if (unit == nullptr || unit == me || unit->GetUnitType() == UnitWatching) continue;
        auto edit = std::make_unique<CPlayerEdit>(static_cast<UnitType>(unit->GetUnitType()),
                                                  unit->GetProfile().OriginFlag == ClientHost, *GetGameEdit(),
                                                  *GetGameMap(), *factory, *GetShipFactory(), server,
                                                  unit->GetProfile(), ScaledPauses());
        // The side exists already: its task prepares the fleet.
        edit->SetUnit(unit);
        edit->StartCreateUnit();
        m_edits.push_back(std::move(edit));
    }
}

void CFleetFormationSequence::WaitForRivalData()
{
    try {
        const bool isDone =
            std::all_of(m_edits.begin(), m_edits.end(),
                        [](const std::unique_ptr<CPlayerEdit>& edit) { return edit->IsUnitCreated(0); });
        if (!isDone) return;
        m_pollTimer.stop();
        for (const std::unique_ptr<CPlayerEdit>& edit : m_edits) {
            edit->TakeUnit();
            edit->GetCreationResult();
        }
        m_edits.clear();
    } catch (const std::exception& error) {
        qWarning("A rival's fleet could not be made: %s", error.what());
        m_pollTimer.stop();
        m_edits.clear();
        if (HasModule(TcpServerModule))
            GetTcpServer()->SendToAll(CPacketConverter::GetInstance().Encode(MakeMessage(Cancelled)));
        Update(Disconnected);
        return;
    }
    Update(FleetsReady);
}

void CFleetFormationSequence::WaitUntilDataLoaded()
{
    CTcpClient* client = GetTcpClient();
    if (client == nullptr) return;
    MessageCode code = client->Receive();
    if (code == ReadComplete) code = client->GetReceivedMessage().Code;
    switch (code) {
    case BattleStarts:
    case StateFromHost:
    case FleetRejected:
    case Disconnected:
    // The host cancelling or closing ends the wait as a disconnection does.
    case Cancelled:
    case LeaveCode:
        m_pollTimer.stop();
        Update(code);
        return;
    default:
        return;
    }
}

void CFleetFormationSequence::SendFleetDataToServer()
{
    CTcpClient* client = GetTcpClient();
    CUnit* me = GetMyUnit();
    if (IsWatching()) {
        AddMessage(
            tr("Now loading battle data from the server.\nWait until all players finish preparing..."));
        After(ScreenTiming::ShortPause, [this] { m_pollTimer.start(); });
        return;
    }
    FleetEditMessage message;
    message.Sender = me->GetProfile();
    for (std::uint32_t id = 1; me->HasShip(id); ++id) message.Ships.push_back(me->GetShip(id)->GetProfile());
    const bool isSent = client != nullptr && client->Send(CPacketConverter::GetInstance().Encode(message));
    if (!isSent) {
        AddMessage(tr("Your ship data cannot be sent. Network may be disconnected."));
        Update(Disconnected);
        return;
    }
    AddMessage(tr("Now loading battle data from the server. Wait until other players finish preparing..."));
    After(ScreenTiming::ShortPause, [this] { m_pollTimer.start(); });
}

void CFleetFormationSequence::CancelProcess()
{
    StopSteps();
    // Waits for the rivals' tasks to wind down before their objects change.
    m_edits.clear();
    if (HasModule(ShipFactoryModule)) GetShipFactory()->Clear();
    if (m_map != nullptr) m_map->Init();
    CUnitFactory* factory = GetUnitFactory();
    if (!IsClient()) {
        if (HasModule(AudienceManagerModule)) GetModule<AudienceManagerModule>()->Stop();
        if (HasModule(TcpServerModule)) {
            if (auto* server = dynamic_cast<CSocketTcpServer*>(GetTcpServer())) server->Reset();
        }
        if (factory != nullptr) factory->ResetTeams();
        return;
    }
    if (CTcpClient* client = GetTcpClient()) {
        client->ClearReceivedData();
        client->SendCode(LeaveCode);
        if (auto* socket = dynamic_cast<CSocketTcpClient*>(client)) socket->Disconnect();
    }
    if (factory != nullptr) {
        factory->RemoveOtherUnits();
        factory->ArrangeUnits();
    }
}

void RegisterFleetFormationSequence()
{
    SetSequenceMaker(SequenceType::FleetFormation,
                     [](const SequenceArgs&) -> CGameSequence* { return new CFleetFormationSequence; });
}

} // namespace Marevane
