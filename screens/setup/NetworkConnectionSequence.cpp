// The parts of the connection flow both ends share, and the host's half.
#include "screens/setup/NetworkConnectionSequence.h"

#include "app/GameView.h"
#include "app/SequenceManager.h"
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/MessageTexts.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"
#include "net/NetErrors.h"
#include "net/PacketConverter.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "net/UdpNetwork.h"

#include <QtGlobal>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

QString OnOff(bool isOn)
{
    return isOn ? QStringLiteral("ON") : QStringLiteral("OFF");
}

bool HasBits(std::uint32_t value, std::uint32_t bits)
{
    return value == bits || (value & bits) == bits;
}

} // namespace

CNetworkConnectionSequence::CNetworkConnectionSequence(CGameSequence* pPlayerSettings,
                                                       CGameSequence* pRuleSettings)
    : CSetupSequence(SequenceType::NetworkConnection, 0x7F), m_playerSettings(pPlayerSettings),
      m_ruleSettings(pRuleSettings), m_udp(std::make_unique<CUdpNetwork>())
{
    setObjectName(QStringLiteral("NetworkConnectionSequence"));
    m_connectionTimer.setInterval(ScreenTiming::Scaled(ScreenTiming::FastPoll));
    m_confirmationTimer.setInterval(ScreenTiming::Scaled(ScreenTiming::Poll));
    m_detectionTimer.setInterval(ScreenTiming::Scaled(ScreenTiming::Poll));
    m_battleDataTimer.setInterval(ScreenTiming::Scaled(ScreenTiming::Poll));
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] {
        std::function<void()> step = std::move(m_step);
        m_step = nullptr;
        if (step) Guard("delayed step", step);
    });
    const QByteArray broadcast = qgetenv(BroadcastAddressVariable);
    if (!broadcast.isEmpty()) SetBroadcastAddress(broadcast.toStdString());
    m_clientAddress = qgetenv(ClientAddressVariable).toStdString();
}

CNetworkConnectionSequence::~CNetworkConnectionSequence()
{
    StopAllTimers();
    CancelStep();
}

bool CNetworkConnectionSequence::IsClient() const
{
    const CUnit* unit = GetMyUnit();
    return unit != nullptr && unit->GetProfile().OriginFlag == HostClient;
}

bool CNetworkConnectionSequence::IsServer() const
{
    const CUnit* unit = GetMyUnit();
    return unit != nullptr && unit->GetProfile().OriginFlag == HostServer;
}

bool CNetworkConnectionSequence::IsLocalPlayer() const
{
    const CUnit* unit = GetMyUnit();
    return unit != nullptr && unit->GetUnitType() != UnitWatching;
}

void CNetworkConnectionSequence::Guard(const char* step, const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        qWarning("Network connection, %s: %s", step, error.what());
        StopAllTimers();
        CancelStep();
        if (m_scene != nullptr)
            CloseConnection(tr("An unexpected error occurred.\n") + QString::fromUtf8(error.what()));
    }
}

void CNetworkConnectionSequence::StopAllTimers()
{
    m_connectionTimer.stop();
    m_confirmationTimer.stop();
    m_detectionTimer.stop();
    m_battleDataTimer.stop();
}

void CNetworkConnectionSequence::ScheduleStep(int ms, std::function<void()> step)
{
    m_step = std::move(step);
    m_stepTimer.start(ScreenTiming::Scaled(ms));
}

void CNetworkConnectionSequence::CancelStep()
{
    m_stepTimer.stop();
    m_step = nullptr;
}

void CNetworkConnectionSequence::BackToConnect()
{
    if (m_scene != nullptr) m_scene->ChangeConnectionState(ConnectState);
}

void CNetworkConnectionSequence::Init()
{
    m_scene = GetSceneSet()->Get<CNetworkConnectionScene>(SceneSlot::NetworkConnection);
    m_messageScene = GetSceneSet()->Get(SceneSlot::Message);
    m_server = HasModule(TcpServerModule) ? dynamic_cast<CSocketTcpServer*>(GetTcpServer()) : nullptr;
    m_client =
        HasModule(TcpClientModule) ? dynamic_cast<CSocketTcpClient*>(GetModule<TcpClientModule>()) : nullptr;
    CUnitFactory* factory = GetModule<UnitFactoryModule>();
    m_selectedPlayers.clear();
    m_confirmedPlayers.clear();
    m_enteredClients.clear();
    m_detectionTicks = 0;
    m_connectionTicks = 0;
    m_connectionRetries = 0;
    m_isConnected = false;

    if (CUnit* unit = GetMyUnit()) {
        UnitProfile profile = unit->GetProfile();
        try {
            if (profile.OriginFlag == HostClient) {
                profile.Address =
                    m_clientAddress.empty() ? CSocketTcpClient::GetLocalAddress() : m_clientAddress;
                if (m_client != nullptr) m_client->SetLocalAddress(m_clientAddress);
            } else if (m_server != nullptr) {
                profile.Address = CSocketTcpServer::GetLocalAddress();
                profile.Port = m_server->GetPort();
                m_confirmedPlayers.reserve(GetGameEdit()->GetInfo().TeamCount);
            }
        } catch (const std::exception& error) {
            qWarning("This machine's address is unknown: %s", error.what());
        }
        unit->SetProfile(profile);
    }

    if (m_scene != nullptr) {
        m_scene->SetGameEdit(GetGameEdit());
        m_scene->SetUnitFactory(factory);
        m_scene->SetTcpServer(m_server);
        m_scene->SetTcpClient(m_client);
        m_scene->SetUdp(m_udp.get());
        m_scene->CreateItems();
        connect(m_scene, &CNetworkConnectionScene::ItemHovered, this,
                &CNetworkConnectionSequence::ShowRuleConfigDetail);
        connect(m_scene, &CNetworkConnectionScene::ItemSelected, this,
                &CNetworkConnectionSequence::SelectItem);
        connect(m_scene, &CNetworkConnectionScene::PlayerSettingsPushed, this,
                [this] { LeaveTo(m_playerSettings); });
        connect(m_scene, &CNetworkConnectionScene::RuleSettingsPushed, this,
                [this] { LeaveTo(m_ruleSettings); });
        connect(m_scene, &CNetworkConnectionScene::ConnectPushed, this,
                &CNetworkConnectionSequence::StartConnecting);
        connect(m_scene, &CNetworkConnectionScene::DetectPushed, this,
                &CNetworkConnectionSequence::DetectServer);
        connect(m_scene, &CNetworkConnectionScene::CancelPushed, this,
                &CNetworkConnectionSequence::CancelSelecting);
        connect(m_scene, &CNetworkConnectionScene::DisconnectPushed, this,
                qOverload<>(&CNetworkConnectionSequence::CloseConnection));
        connect(m_scene, &CNetworkConnectionScene::ConnectionFailed, this,
                qOverload<QString>(&CNetworkConnectionSequence::CloseConnection));
    }
    connect(&m_connectionTimer, &QTimer::timeout, this, &CNetworkConnectionSequence::WaitForConnection);
    connect(&m_confirmationTimer, &QTimer::timeout, this, &CNetworkConnectionSequence::WaitForConfirmation);
    connect(&m_detectionTimer, &QTimer::timeout, this, &CNetworkConnectionSequence::DetectServer);
    connect(&m_battleDataTimer, &QTimer::timeout, this, &CNetworkConnectionSequence::PrepareForBattle);
    SetInstalled();
}

void CNetworkConnectionSequence::Start()
{
    ResetLeaving();
    Show();
    ShowRuleConfigDetail(nullptr);
}

void CNetworkConnectionSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) m_scene->GetView()->Show();
    QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::SecondViewDelay), this, [this] {
        CGameView* view = m_messageScene != nullptr ? m_messageScene->GetView() : nullptr;
        if (view == nullptr) return;
        view->Show();
        m_messageScene->AdjustViewPosition(view->size());
    });
    show();
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->setFocus(Qt::OtherFocusReason);
        m_scene->FocusFirstWidget();
    }
}

void CNetworkConnectionSequence::Update(MessageCode code)
{
    if (code == BattleDataCode || code == ForwardCode) {
        if (!BeginLeaving()) return;
        StopAllTimers();
        CancelStep();
        const bool isTag = GetGameEdit()->HasRule(GameModeVersus | GameModeTag);
        ReplaceWithSequence(
            CreateSequence(isTag ? SequenceType::TagTeamSelection : SequenceType::FleetFormation));
    } else if (code == CancelCode) {
        if (!BeginLeaving()) return;
        StopAllTimers();
        CancelStep();
        ResetNetwork();
        ReturnToPrevious();
    }
}

void CNetworkConnectionSequence::LeaveTo(CGameSequence* pTarget)
{
    if (!BeginLeaving()) return;
    StopAllTimers();
    CancelStep();
    if (m_udp != nullptr) m_udp->Close();
    ResetNetwork();
    const int index = pTarget != nullptr ? CSequenceManager::GetInstance()->IndexOf(pTarget) : -1;
    if (index >= 0)
        ReturnToIndex(index);
    else
        ReturnToPrevious();
}

QString CNetworkConnectionSequence::GetRuleConfigText(const GameEditInfo& info)
{
    QString text = tr("Battle Rule Settings Detail\n    ");
    text +=
        tr("Mission: ") + CGUIMissionNames::GetInstance().GetName(info.Mission) + QStringLiteral("\n    ");
    text += tr("Map Size: Row=") + QString::number(info.Map.Size.x) + tr(" x Col=") +
            QString::number(info.Map.Size.y) + QStringLiteral("    ");
    text += tr("Time Limit: ") + QString::number(info.TimeLimit / 60000) + tr(" minutes    ");
    if (HasBits(info.Mission, MissionDeadline))
        text += tr("Round Limit: ") + QString::number(info.DeadlineRounds) + tr(" rounds\n    ");
    text += tr("Fuel Point: ") + QString::number(info.FpPercentage) + tr("FP\n    ");
    text += tr("Permission for Audience: ") + OnOff(info.IsTeamVersus) + QStringLiteral("    ");
    text += tr("Panel Effect System: ") + OnOff(info.IsPanelEffectEnabled) + QStringLiteral("\n    ");
    text += tr("Stealth Mode: ") + OnOff(info.IsStealthEnabled) + QStringLiteral("    ");
    text += tr("Surfacing Cycle: ") + QString::number(info.SurfacingCycle) + tr(" rounds\n    ");
    text += tr("Fleet Size: ") + QString::number(info.FleetSize) + tr(" ships    ");
    text += tr("Reserve Fleet Size: ") + QString::number(info.IsReinforcementAllowed) + tr(" ships\n    ");
    const CGUIShipNames& ships = CGUIShipNames::GetInstance();
    text += tr("The Number of ") + ships.Get(ShipTypeDestroyer) + tr(" Auxiliary Weapons: ") +
            QString::number(info.DestroyerWeapons) + tr(" times\n    ");
    text += tr("The Number of ") + ships.Get(ShipTypeSubmarine) + tr(" Auxiliary Weapons: ") +
            QString::number(info.SubmarineWeapons) + tr(" times\n");
    return text;
}

void CNetworkConnectionSequence::ShowRuleConfigDetail(const GameEditInfo* pRuleConfig)
{
    QString text;
    if (pRuleConfig != nullptr) {
        text = GetRuleConfigText(*pRuleConfig);
    } else {
        text = tr("Connect to the other player with the Network.\n\n");
        const ConnectButtonState state = m_scene != nullptr ? m_scene->GetState() : ConnectState;
        const int rows = m_scene != nullptr ? m_scene->CountEnabledItems() : 0;
        if (state != DisconnectState && state != CancelState && rows == 0) {
            text += tr("Push the \"Connect\" button once you are ready.\n");
            if (IsClient()) {
                text += tr("If you are a client's player, input a server IP address.\nYou can also push "
                           "\"Detect\" that is auto-detection of a server in the same network(LAN).\n");
            }
            text += tr("If not needed, you don't have to change the port number from the \"Default\" to the "
                       "other value.");
        } else {
            text += tr("Push the \"Select\" button once you decide the player you want to battle/watch.\n") +
                    tr("The rule settings of the server are prior to those of the client when there is "
                       "mismatched condition.") +
                    QStringLiteral("\n") +
                    tr("If there is the player who doesn't want to battle with you, the process will be "
                       "cancelled.");
        }
    }
    MessagePane::Show(m_messageScene, text);
}

// ---------------------------------------------------------------------------
// The slots, by side

void CNetworkConnectionSequence::StartConnecting()
{
    Guard("connecting", [this] {
        if (IsServer()) {
            if (m_server == nullptr) return;
            if (!m_server->IsListening()) {
                try {
                    m_server->Listen();
                } catch (const std::exception& error) {
                    qWarning("The server cannot listen: %s", error.what());
                    CloseConnection(tr("The port cannot be used for waiting for clients.\nPlease select the "
                                       "other Port."));
                    return;
                }
            }
            if (!m_udp->GetModule().IsOpen()) m_udp->Open();
            m_connectionTimer.start();
        } else if (IsClient()) {
            ClientStartConnecting();
        }
    });
}

void CNetworkConnectionSequence::WaitForConnection()
{
    Guard("waiting for connection", [this] {
        if (IsServer())
            ServerWaitForConnection();
        else if (IsClient())
            ClientWaitForConnection();
    });
}

void CNetworkConnectionSequence::DetectServer()
{
    Guard("detecting", [this] {
        if (IsClient()) ClientDetectServer();
    });
}

void CNetworkConnectionSequence::SelectItem(UnitHash hash)
{
    Guard("selecting", [this, hash] {
        if (IsServer())
            ServerSelectItem(hash);
        else if (IsClient())
            ClientSelectItem(hash);
    });
}

void CNetworkConnectionSequence::WaitForConfirmation()
{
    Guard("waiting for confirmation", [this] {
        if (IsServer())
            ServerWaitForConfirmation();
        else if (IsClient())
            ClientWaitForConfirmation();
    });
}

void CNetworkConnectionSequence::PrepareForBattle()
{
    Guard("loading", [this] {
        if (IsClient()) ClientPrepareForBattle();
    });
}

void CNetworkConnectionSequence::CancelSelecting()
{
    Guard("cancelling", [this] {
        if (IsServer())
            ServerCancelSelecting();
        else if (IsClient())
            ClientCancelSelecting();
    });
}

void CNetworkConnectionSequence::CloseConnection()
{
    CloseConnection(QString());
}

void CNetworkConnectionSequence::CloseConnection(QString message)
{
    StopAllTimers();
    CancelStep();
    disconnect(m_onConnected);
    if (m_scene != nullptr) m_scene->Clear();
    if (IsClient()) {
        m_selectedPlayers.clear();
        QTimer::singleShot(0, this, [this] {
            if (m_client != nullptr) {
                m_client->ClearReceivedData();
                if (m_client->IsConnected()) m_client->Disconnect();
            }
        });
    } else {
        m_enteredClients.clear();
        m_selectedPlayers.clear();
        m_confirmedPlayers.clear();
        // Watchers added for this attempt go with it.
        if (CUnitFactory* factory = GetUnitFactory()) factory->RemoveWatchingUnits();
        QTimer::singleShot(0, this, [this] {
            if (m_server != nullptr) m_server->Reset();
        });
    }
    if (m_scene == nullptr) return;
    m_scene->ShowMessage(tr("Network has been disconnected."), message.isEmpty()
                                                                   ? ScreenTiming::FailureNotice
                                                                   : ScreenTiming::DisconnectionWithReason);
    if (message.isEmpty()) {
        BackToConnect();
        return;
    }
    ScheduleStep(ScreenTiming::ShortPause, [this, message] {
        BackToConnect();
        m_scene->ShowSubMessage(message, ScreenTiming::LongMessage);
    });
}

// ---------------------------------------------------------------------------
// The host

void CNetworkConnectionSequence::ServerWaitForConnection()
{
    if (m_server == nullptr || m_scene == nullptr) return;
    if (m_server->CountWaitingConnections() == 0 && m_server->CountConnections() == 0 &&
        m_enteredClients.empty())
        m_scene->ShowConnectionMessage(tr("Now waiting for connection from clients..."),
                                       ScreenTiming::FailureNotice);
    m_server->Accept();
    if (m_server->CountWaitingConnections() == 0) {
        ReplyToDetection();
        return;
    }
    m_scene->ShowConnectionMessage(tr("Server accepted the connection from a client."),
                                   ScreenTiming::FailureNotice);
    HandleEntries();
}

void CNetworkConnectionSequence::ReplyToDetection()
{
    MessageCode code = m_udp->Receive();
    const ReceivedData* data = m_udp->GetLastData();
    const std::string* sender = m_udp->GetLastSender();
    if (code != ReadComplete || data == nullptr || sender == nullptr) return;
    code = data->Code;
    if (code != 5 || data->Kind != KindEntry) return;
    const EntryMessage& request = data->Entry;
    const CUnit* local = GetMyUnit();
    if (local == nullptr || request.Sender.HostId == local->GetHostId()) return;
    const GameEditInfo& info = GetGameEdit()->GetInfo();
    EntryMessage answer;
    answer.Rules = info;
    if (request.Sender.Type != UnitWatching || info.IsTeamVersus) {
        answer.Code = 5;
        answer.SecondCode = BattleDataCode;
        answer.IsPlayer = request.IsPlayer;
        answer.Sender = local->GetProfile();
        answer.Entry = request.Sender;
    } else {
        answer.Code = 17;
        answer.SecondCode = 22;
    }
    const Packet packet = CPacketConverter::GetInstance().Encode(answer);
    CUdpModule::SendTo(*sender, PortInUse(m_udp->GetPort()), packet.data(), packet.size());
}

void CNetworkConnectionSequence::HandleEntries()
{
    m_scene->ShowConnectionMessage(tr("Now waiting for entry from clients..."), ScreenTiming::FailureNotice);
    const MessageCode code = m_server->ReceiveEntry();
    EntryMessage answer;
    switch (code) {
    case 4:
    case 123:
    case 124:
    case 125:
        m_server->RejectEntry(answer, code);
        if (code == 123 || code == 125)
            m_scene->ShowSubMessage(CGUICore::GetMessage(code), ScreenTiming::FailureNotice);
        break;
    case 14: {
        const EntryMessage entry = m_server->GetWaitingEntryMessage();
        if (entry.Sender.Type != UnitWatching || GetGameEdit()->GetInfo().IsTeamVersus) {
            if (EvaluateEntry(entry)) {
                m_scene->ShowMessage(
                    tr("Entry from the client has been accepted.\nCheck client's data and rule settings, "
                       "then "
                       "push \"Select\" if you want to battle the client.\n\nNotice: The rule settings of "
                       "the "
                       "server are prior to those of the client when there is mismatched condition."),
                    ScreenTiming::LongMessage);
            }
        } else {
            m_server->RejectEntry(answer, 22);
        }
        break;
    }
    default:
        break;
    }
}

bool CNetworkConnectionSequence::EvaluateEntry(const EntryMessage& entry)
{
    const GameEditInfo& info = GetGameEdit()->GetInfo();
    const UnitProfile& client = entry.Sender;
    const bool isPlayer = client.Type != UnitWatching;
    EntryMessage answer(14);
    answer.Rules = info;
    answer.IsPlayer = isPlayer;
    const int failureMs = ScreenTiming::FailureNotice;
    const QString rejected = tr("Entry from the client has been rejected.\n");
    try {
        GetModule<UnitFactoryModule>()->ValidateUnitProfile(client, isPlayer);
        answer.SecondCode = isPlayer ? (GetGameEdit()->IsSameRule(entry.Rules) ? 16 : 24) : 18;
        if (const CUnit* local = GetMyUnit()) answer.Sender = local->GetProfile();
        answer.Entry = client;
        m_server->AcceptEntry(answer);
    } catch (const CNameLengthError&) {
        m_server->RejectEntry(answer, 121);
        m_scene->ShowSubMessage(rejected + CGUICore::GetErrorMessage(121), failureMs);
        return false;
    } catch (const CDuplicateNameError&) {
        m_server->RejectEntry(answer, 122);
        m_scene->ShowSubMessage(rejected + CGUICore::GetErrorMessage(122), failureMs);
        return false;
    } catch (const CConnectionRejectedException&) {
        m_scene->ShowSubMessage(rejected + CGUICore::GetErrorMessage(21), failureMs);
        return false;
    } catch (const CConnectionFailedException&) {
        m_scene->ShowSubMessage(
            tr("Entry from the client has been canceled.\n") + CGUICore::GetErrorMessage(124), failureMs);
        return false;
    } catch (const std::exception&) {
        // A password of a bad length or a record the model refuses.
        m_server->RejectEntry(answer, 123);
        m_scene->ShowSubMessage(rejected + CGUICore::GetErrorMessage(123), failureMs);
        return false;
    }
    EntryMessage kept = entry;
    kept.Sender.Address = m_server->GetClientAddress(client.HostId);
    kept.Sender.Port = m_server->GetClientPort(client.HostId);
    m_scene->Add(kept);
    m_enteredClients.insert(client.HostId);
    return true;
}

void CNetworkConnectionSequence::ServerSelectItem(UnitHash hash)
{
    m_selectedPlayers.push_back(hash);
    m_scene->ChangeConnectionState(CancelState);
    // Watchers never count toward the players the battle needs.
    auto isPlayer = [this](UnitHash h) {
        const UnitProfile* profile = m_scene->FindUnitProfile(h);
        return profile != nullptr && profile->Type != UnitWatching;
    };
    const auto players = std::count_if(m_selectedPlayers.begin(), m_selectedPlayers.end(), isPlayer) +
                         std::count_if(m_confirmedPlayers.begin(), m_confirmedPlayers.end(), isPlayer);
    if (static_cast<std::uint32_t>(players) >= GetGameEdit()->GetInfo().TeamCount) {
        m_scene->SetSelectable(false);
        m_confirmationTimer.start();
    }
}

void CNetworkConnectionSequence::ServerWaitForConfirmation()
{
    const int noticeMs = ScreenTiming::FailureNotice;
    m_scene->ShowConnectionMessage(tr("Wait until other players select a competitor/competitors..."),
                                   noticeMs);
    while (!m_selectedPlayers.empty() && m_enteredClients.count(m_selectedPlayers.front()) == 0)
        m_selectedPlayers.pop_front();
    if (m_selectedPlayers.empty()) {
        EndSelection(nullptr);
        return;
    }
    const UnitHash hash = m_selectedPlayers.front();
    const MessageCode result = m_server->ReceiveFrom(hash);
    const MessageCode code = result == ReadFailed ? ReadFailed : m_server->GetReceivedCode(hash);
    switch (code) {
    case 4:
    case ReadFailed:
        m_selectedPlayers.pop_front();
        EndSelection(&hash);
        m_scene->ShowMessage(CGUICore::GetMessage(code) + tr("\nPlease select the other player."), noticeMs);
        break;
    case ForwardCode: {
        m_selectedPlayers.pop_front();
        EntryMessage answer = m_server->GetEntryMessage(hash);
        m_server->ClearReceivedMessage(hash);
        const UnitProfile* profile = m_scene->FindUnitProfile(hash);
        const bool isWatcher = profile != nullptr && profile->Type == UnitWatching;
        answer.Code = isWatcher ? 18 : 16;
        const QString name = profile != nullptr ? GetProfileName(*profile) : QString();
        if (!m_server->SendEntryMessageToId(hash, answer)) {
            EndSelection(&hash);
            m_scene->ShowMessage(
                tr("Confirmation Data has not been sent.\nConnection with this client will be closed..."),
                noticeMs);
            break;
        }
        if (m_enteredClients.erase(hash) != 0)
            m_scene->ShowMessage(name + tr(" responded a request for battle with you."), noticeMs);
        if (!isWatcher) {
            m_confirmedPlayers.push_back(hash);
            if (m_confirmedPlayers.size() >= GetGameEdit()->GetInfo().TeamCount) PrepareBattleData();
        }
        break;
    }
    case 27: {
        m_selectedPlayers.pop_front();
        EntryMessage answer = m_server->GetEntryMessage(hash);
        m_server->ClearReceivedMessage(hash);
        answer.Code = 17;
        answer.SecondCode = 24;
        m_server->SendEntryMessageToId(hash, answer);
        EndSelection(&hash);
        m_scene->ShowMessage(
            tr("This client refused a request for battle with you.\nThe client might have not been "
               "able to accept your rule settings or have selected the other rival.\nConnection "
               "with the client will be closed..."),
            ScreenTiming::LongMessage);
        break;
    }
    default:
        CheckLostClients();
        break;
    }
}

void CNetworkConnectionSequence::EndSelection(const UnitHash* pClient)
{
    m_confirmationTimer.stop();
    if (pClient != nullptr) RemoveClient(*pClient);
    m_scene->SetSelectable(true);
    // A rival that already confirmed is not asked twice.
    for (UnitHash hash : m_confirmedPlayers) {
        if (CConnectionListItem* row = m_scene->FindRow(hash)) row->SetSelectable(false);
    }
    m_scene->ChangeConnectionState(m_scene->GetRows().empty() ? ConnectState : DisconnectState);
}

void CNetworkConnectionSequence::RemoveClient(UnitHash hash)
{
    m_server->Disconnect(m_server->FindSocket(hash));
    m_enteredClients.erase(hash);
    m_scene->Remove(hash);
    if (m_scene->GetRows().empty()) {
        StopAllTimers();
        CancelStep();
        BackToConnect();
        m_selectedPlayers.clear();
    }
}

void CNetworkConnectionSequence::CheckLostClients()
{
    std::vector<UnitHash> watched(m_enteredClients.begin(), m_enteredClients.end());
    watched.insert(watched.end(), m_confirmedPlayers.begin(), m_confirmedPlayers.end());
    for (UnitHash hash : watched) {
        // A packet read here stays the side's last one, so a request that
        // arrives before the side is asked is still seen.
        const MessageCode result = m_server->ReceiveFrom(hash);
        if (result != ReadFailed && m_server->GetReceivedCode(hash) != 4) continue;
        const UnitProfile* profile = m_scene->FindUnitProfile(hash);
        const QString name = profile != nullptr ? GetProfileName(*profile) : QString();
        m_scene->ShowMessage(name + tr(" disconnected from this server."), ScreenTiming::FailureNotice);
        m_selectedPlayers.erase(std::remove(m_selectedPlayers.begin(), m_selectedPlayers.end(), hash),
                                m_selectedPlayers.end());
        m_confirmedPlayers.erase(std::remove(m_confirmedPlayers.begin(), m_confirmedPlayers.end(), hash),
                                 m_confirmedPlayers.end());
        RemoveClient(hash);
        if (m_scene->GetRows().empty()) return;
    }
}

void CNetworkConnectionSequence::PrepareBattleData()
{
    m_confirmationTimer.stop();
    const auto registered =
        std::count_if(m_confirmedPlayers.begin(), m_confirmedPlayers.end(),
                      [this](UnitHash h) { return m_server->IsPending(h) || m_server->IsConfirmed(h); });
    if (static_cast<std::size_t>(registered) < m_confirmedPlayers.size()) {
        ServerCancelSelecting();
        m_scene->ShowMessage(tr("Not every selected player has entered this server.\nPlease select again."),
                             ScreenTiming::FailureNotice);
        return;
    }
    m_scene->SetUpClientPlayers(m_confirmedPlayers);
    if (!m_enteredClients.empty()) {
        m_scene->SetUpAudience(m_enteredClients);
        m_enteredClients.clear();
    }
    GetModule<UnitFactoryModule>()->ArrangeUnits();
    ScheduleStep(ScreenTiming::FailureNotice, [this] { SendBattleData(); });
}

void CNetworkConnectionSequence::SendBattleData()
{
    // A rival that left while the data waited ends this attempt.
    for (UnitHash hash : m_confirmedPlayers) {
        const MessageCode result = m_server->ReceiveFrom(hash);
        if (result == ReadFailed || m_server->GetReceivedCode(hash) == 4) {
            const UnitProfile* profile = m_scene->FindUnitProfile(hash);
            CloseConnection((profile != nullptr ? GetProfileName(*profile) : QString()) +
                            tr(" disconnected from this server."));
            return;
        }
    }
    EntryMessage data(BattleDataCode);
    data.SecondCode = 0;
    data.Rules = GetGameEdit()->GetInfo();
    if (const CUnit* local = GetMyUnit()) data.Sender = local->GetProfile();
    GetGameMap()->ToText(data.Text);
    GetModule<UnitFactoryModule>()->GetUnitProfiles(data.Units);
    if (!m_server->SendToAll(CPacketConverter::GetInstance().Encode(data))) {
        CloseConnection();
        return;
    }
    SetComplete();
    m_scene->ShowMessage(tr("Battle data is now ready. It goes on next step..."),
                         ScreenTiming::FailureNotice);
    ScheduleStep(ScreenTiming::Leave, [this] {
        for (UnitHash hash : m_confirmedPlayers) {
            if (m_server->FindSocket(hash) == InvalidSocket) {
                CloseConnection(tr("A player disconnected from this server before the battle."));
                return;
            }
        }
        Update(ForwardCode);
    });
}

void CNetworkConnectionSequence::SetComplete()
{
    StopAllTimers();
    m_scene->SetSelectable(false);
    m_scene->ChangeConnectionState(CompleteState);
}

void CNetworkConnectionSequence::ServerCancelSelecting()
{
    m_confirmationTimer.stop();
    CancelStep();
    m_selectedPlayers.clear();
    for (UnitHash hash : m_confirmedPlayers)
        m_server->SendMessageToSocket(m_server->FindSocket(hash), MakeMessage(CancelCode));
    m_confirmedPlayers.clear();
    m_scene->SetSelectable(true);
    m_scene->ChangeConnectionState(m_scene->GetRows().empty() ? ConnectState : DisconnectState);
    m_scene->ShowMessage(tr("You canceled the current process.\nPlease select again."),
                         ScreenTiming::FailureNotice);
}

} // namespace Marevane
