// A client's half of the connection flow, the audience's included.
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/MessageTexts.h"
#include "net/PacketConverter.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpClient.h"
#include "net/UdpNetwork.h"
#include "screens/setup/NetworkConnectionSequence.h"

#include <exception>

namespace Marevane {

namespace {

// An attempt to connect lasts this long before it is made again.
constexpr int AttemptMs = 2000;
constexpr int MaxRetries = 4;
// Detection requests go out every this many ticks while no host is listed,
// and detection ends after this long.
constexpr int RequestTicks = 15;
constexpr int DetectionMs = 5000;

} // namespace

void CNetworkConnectionSequence::ClientStartConnecting()
{
    if (m_connectionTimer.isActive() || m_client == nullptr) return;
    m_client->Connect();
    m_connectionTicks = 0;
    m_connectionTimer.start();
}

void CNetworkConnectionSequence::ClientWaitForConnection()
{
    if (m_client == nullptr) return;
    const int attemptTicks = AttemptMs / ScreenTiming::FastPoll;
    m_scene->ShowConnectionMessage(tr("Now connecting to server. Please wait a while..."), 0);
    if (m_client->IsAlive()) {
        m_connectionTicks = 0;
        m_connectionRetries = 0;
        m_isConnected = true;
        HandleAnswers();
        return;
    }
    if (m_connectionTicks < attemptTicks && !m_isConnected) {
        ++m_connectionTicks;
        return;
    }
    m_connectionTicks = 0;
    m_isConnected = false;
    if (m_connectionRetries < MaxRetries) {
        ++m_connectionRetries;
        m_client->Disconnect();
        m_client->Connect();
        return;
    }
    m_connectionRetries = 0;
    CloseConnection(CGUICore::GetErrorMessage(2));
    BackToConnect();
}

void CNetworkConnectionSequence::HandleAnswers()
{
    const bool overTcp = IsClientAlive(m_client);
    MessageCode code = overTcp ? m_client->Receive() : m_udp->Receive();
    if (code == ReadComplete) {
        if (overTcp) {
            code = m_client->GetReceivedData().Code;
        } else {
            const ReceivedData* data = m_udp->GetLastData();
            code = data != nullptr ? data->Code : 0;
        }
    }
    const CUnit* local = GetMyUnit();
    switch (code) {
    case 1:
        if (SendEntry() && IsLocalPlayer() && m_client->GetReceivedMessage().SecondCode == 18) {
            m_scene->ShowMessage(
                tr("Entry from you has been accepted by the server.\nBut you are audience in "
                   "this battle."),
                ScreenTiming::FailureNotice);
        }
        break;
    case 3:
        StopAllTimers();
        CloseConnection(tr("Network Connection Refused.\nYou are refused to connect by this server.\nPlease "
                           "confirm your settings and retry to connect."));
        break;
    case 4:
        StopAllTimers();
        CloseConnection(
            tr("The server closed this network connection.\nPlease confirm your settings and retry "
               "to connect."));
        break;
    case 5: {
        const ReceivedData* data = m_udp->GetLastData();
        const std::string* sender = m_udp->GetLastSender();
        if (overTcp || data == nullptr || sender == nullptr || data->Kind != KindEntry) break;
        EntryMessage entry = data->Entry;
        if (entry.Sender.OriginFlag == HostClient) break;
        if (local != nullptr && entry.Sender.HostId == local->GetHostId()) break;
        // The host is reached where its announcement came from.
        entry.Sender.Address = *sender;
        m_scene->Add(entry);
        break;
    }
    case 15: {
        EntryMessage entry = m_client->GetReceivedData().Entry;
        // The host is reached where this connection went.
        if (!m_client->GetAddress().empty()) entry.Sender.Address = m_client->GetAddress();
        entry.Sender.Port = m_client->GetPort();
        m_scene->Add(entry);
        m_connectionTimer.stop();
        emit Connected();
        m_scene->ShowMessage(tr("Entry from you has been accepted by the server.\nCheck server's data and "
                                "rule settings, then push "
                                "\"Select\" if you want to battle the server.\n\nNotice: The rule settings "
                                "of the server are prior "
                                "to those of the client when there is mismatched condition."),
                             ScreenTiming::LongMessage);
        break;
    }
    case 17: {
        StopAllTimers();
        const ReceivedData* data = overTcp ? &m_client->GetReceivedData() : m_udp->GetLastData();
        const MessageCode detail = data != nullptr ? data->GetMessage().SecondCode : 0;
        QString text =
            CGUICore::GetErrorMessage(17) + QStringLiteral("\n") + CGUICore::GetErrorMessage(detail);
        if (detail == 121 || detail == 122) text += QStringLiteral("\n") + tr("Please change your name.");
        CloseConnection(text);
        break;
    }
    case 123:
        SendEntry();
        break;
    case ReadFailed:
        StopAllTimers();
        CloseConnection(CGUICore::GetErrorMessage(ReadFailed));
        break;
    case 125:
        if (overTcp) {
            StopAllTimers();
            CloseConnection(CGUICore::GetErrorMessage(125));
        }
        break;
    default:
        break;
    }
}

bool CNetworkConnectionSequence::SendEntry()
{
    const CUnit* local = GetMyUnit();
    if (local == nullptr || m_client == nullptr) return false;
    EntryMessage entry(14);
    entry.Rules = GetGameEdit()->GetInfo();
    entry.IsPlayer = local->GetUnitType() != UnitWatching;
    entry.Sender = local->GetProfile();
    entry.Units = {local->GetProfile()};
    if (entry.IsPlayer && m_client->GetReceivedMessage().SecondCode == 18) {
        entry.IsPlayer = false;
        entry.Sender.Type = UnitWatching;
    }
    if (m_client->Send(CPacketConverter::GetInstance().Encode(entry))) return true;
    StopAllTimers();
    CloseConnection(
        tr("Entry data has not been sent.\nNetwork may be disconnected unexpectedly.\nPlease retry to "
           "connect."));
    return false;
}

void CNetworkConnectionSequence::ClientDetectServer()
{
    if (!m_detectionTimer.isActive()) {
        if (!m_udp->GetModule().IsOpen()) m_udp->Open();
        m_detectionTimer.start();
        m_detectionTicks = 0;
        m_scene->ShowMessage(tr("Now detecting servers automatically..."), 4900);
    } else {
        HandleAnswers();
        ++m_detectionTicks;
    }
    if (!m_detectionTimer.isActive()) return; // an answer closed the connection
    if (m_scene->GetRows().empty() && m_detectionTicks % RequestTicks == 0) {
        const CUnit* local = GetMyUnit();
        EntryMessage request(5);
        request.Rules = GetGameEdit()->GetInfo();
        if (local != nullptr) {
            request.IsPlayer = local->GetUnitType() != UnitWatching;
            request.Sender = local->GetProfile();
        }
        const Packet packet = CPacketConverter::GetInstance().Encode(request);
        if (!CUdpModule::SendTo(GetBroadcastAddress(), PortInUse(m_udp->GetPort()), packet.data(),
                                packet.size(), m_clientAddress)) {
            m_scene->ShowMessage(tr("The detection is not complete."), ScreenTiming::FailureNotice);
            m_detectionTimer.stop();
            return;
        }
    }
    if (ScreenTiming::Poll * m_detectionTicks <= DetectionMs && !m_confirmationTimer.isActive()) return;
    m_detectionTimer.stop();
    m_detectionTicks = 0;
    if (m_confirmationTimer.isActive()) return;
    if (!m_scene->GetRows().empty()) {
        ShowRuleConfigDetail(nullptr);
        m_scene->ShowMessage(tr("The server has been found.\nCheck server's data and rule settings, then "
                                "push \"Select\" if you "
                                "want to battle the server.\n\nNotice: The rule settings of the server are "
                                "prior to those of the "
                                "client when there is mismatched condition."),
                             ScreenTiming::LongMessage);
    } else {
        m_scene->ShowMessage(tr("The server has not been found.\nA server need to be ready before your "
                                "detection.\nPlease wait for a while and retry to detect."),
                             4000);
    }
}

void CNetworkConnectionSequence::ClientSelectItem(UnitHash hash)
{
    m_selectedPlayers.push_back(hash);
    m_scene->ChangeConnectionState(DisconnectState);
    m_scene->SetSelectable(false);
    if (hash == 0) {
        m_confirmationTimer.start();
        return;
    }
    // A row found by detection: the request goes out once this side has
    // entered (at once when it already has).
    if (IsClientAlive(m_client)) {
        SendRequest();
        return;
    }
    disconnect(m_onConnected);
    m_onConnected = connect(this, &CNetworkConnectionSequence::Connected, this, [this] {
        disconnect(m_onConnected);
        SendRequest();
    });
    ClientStartConnecting();
}

void CNetworkConnectionSequence::SendRequest()
{
    // The host's answer to the entry, asking for the battle.
    EntryMessage request = m_client->GetReceivedData().Entry;
    request.Code = ForwardCode;
    if (!m_client->Send(CPacketConverter::GetInstance().Encode(request))) {
        CloseConnection();
        return;
    }
    m_confirmationTimer.start();
}

void CNetworkConnectionSequence::ClientWaitForConfirmation()
{
    m_scene->ShowConnectionMessage(tr("Wait until other players select a competitor/competitors..."),
                                   ScreenTiming::FailureNotice);
    MessageCode code = m_client->Receive();
    if (code == ReadComplete) code = m_client->GetReceivedData().Code;
    switch (code) {
    case 16:
        m_confirmationTimer.stop();
        m_scene->ShowMessage(
            tr("This server responded a request for battle with you.\nNow Loading player and "
               "settings data..."),
            ScreenTiming::FailureNotice);
        ScheduleStep(ScreenTiming::FailureNotice, [this] { m_battleDataTimer.start(); });
        break;
    case 17: {
        StopAllTimers();
        const EntryMessage entry = m_client->GetReceivedData().Entry;
        m_scene->Remove(entry.Sender.HostId);
        CloseConnection(CGUICore::GetErrorMessage(17) + QStringLiteral("\n") +
                        CGUICore::GetErrorMessage(entry.SecondCode) +
                        tr("This server refused a request for battle with you."));
        break;
    }
    case 18: {
        m_confirmationTimer.stop();
        QString text =
            IsLocalPlayer() ? tr("This server refused a request for battle with you.\n") : QString();
        text += tr(
            "The server invited you as audience of their battle.\nNow Loading player and settings data...");
        m_scene->ShowMessage(text, ScreenTiming::FailureNotice);
        // Setting the type drops any computer brain the side had.
        if (CUnit* local = GetMyUnit()) local->SetUnitType(UnitWatching);
        ScheduleStep(ScreenTiming::FailureNotice, [this] { m_battleDataTimer.start(); });
        break;
    }
    case 33:
        ClientCancelSelecting();
        break;
    case ReadFailed:
        StopAllTimers();
        CloseConnection(tr("The server closed this network connection.\nPlease retry to connect or choose a "
                           "different server."));
        break;
    default:
        break;
    }
}

void CNetworkConnectionSequence::ClientPrepareForBattle()
{
    MessageCode code = m_client->Receive();
    if (code == ReadComplete) code = m_client->GetReceivedData().Code;
    switch (code) {
    case BattleDataCode: {
        m_battleDataTimer.stop();
        const EntryMessage data = m_client->GetReceivedData().Entry;
        try {
            ApplyBattleData(data);
        } catch (const std::exception& error) {
            qWarning("The battle data could not be used: %s", error.what());
            CloseConnection(tr("Battle data from the server could not be loaded.\nPlease retry to connect."));
            return;
        }
        SetComplete();
        m_scene->ShowMessage(tr("Battle data has been loaded from the server. It goes on next step..."),
                             ScreenTiming::FailureNotice);
        ScheduleStep(ScreenTiming::Leave, [this] {
            if (!IsClientAlive(m_client)) {
                CloseConnection(CGUICore::GetErrorMessage(ReadFailed));
                return;
            }
            Update(BattleDataCode);
        });
        break;
    }
    case 33:
        ClientCancelSelecting();
        break;
    case ReadFailed:
        m_scene->ShowMessage(CGUICore::GetErrorMessage(ReadFailed), ScreenTiming::FailureNotice);
        StopAllTimers();
        CloseConnection();
        break;
    default:
        break;
    }
}

void CNetworkConnectionSequence::ApplyBattleData(const EntryMessage& data)
{
    GetModule<UnitFactoryModule>()->CreateUnits(data.Units);
    GameEditInfo& info = GetGameEdit()->GetInfo();
    const std::int32_t level = info.ComputerLevel;
    info = data.Rules;
    info.ComputerLevel = level;
    // The host's map, special panels included, so both boards agree from
    // the first turn; its size alone when the map cannot be built.
    CBoard* board = GetGameMap();
    try {
        board->Build(info.Map);
    } catch (const std::exception& error) {
        qWarning("The host's map could not be built: %s", error.what());
        board->Resize(info.Map.Size.x, info.Map.Size.y);
    }
}

void CNetworkConnectionSequence::ClientCancelSelecting()
{
    m_confirmationTimer.stop();
    m_battleDataTimer.stop();
    CancelStep();
    m_scene->SetSelectable(true);
    m_scene->ChangeConnectionState(m_scene->GetRows().empty() ? ConnectState : DisconnectState);
    m_scene->ShowMessage(tr("The current process has been canceled by the server.\nPlease select again."),
                         ScreenTiming::FailureNotice);
}

} // namespace Marevane
