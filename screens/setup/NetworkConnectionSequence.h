// The LAN connection screen's flow. One class serves both ends: the host
// listens, answers detection requests, admits entries, lets its user select
// the rivals, waits for their confirmation and sends the battle data; a
// client connects to a typed or detected host, enters, selects the host and
// waits for its confirmation and the battle data. An audience member is a
// client that watches. Every network call is non-blocking and polled by the
// sequence's timers.
#pragma once

#include "screens/setup/NetworkConnectionScene.h"
#include "screens/setup/SetupSequence.h"

#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Marevane {

class CSocketTcpClient;
class CSocketTcpServer;
class CUdpNetwork;

class CNetworkConnectionSequence : public CSetupSequence {
    Q_OBJECT
  public:
    // Test runs only: the address a client's connections and datagrams
    // leave from (several clients of one machine look like several
    // machines), and where detection requests are broadcast.
    static constexpr const char* ClientAddressVariable = "MAREVANE_CLIENT_ADDRESS";
    static constexpr const char* BroadcastAddressVariable = "MAREVANE_BROADCAST_ADDRESS";

    // Moving on (the host's step), the battle data (a client's), and
    // cancelling.
    static constexpr MessageCode ForwardCode = 26;
    static constexpr MessageCode BattleDataCode = 23;
    static constexpr MessageCode CancelCode = 33;

    CNetworkConnectionSequence(CGameSequence* pPlayerSettings, CGameSequence* pRuleSettings);
    ~CNetworkConnectionSequence() override;

    CNetworkConnectionScene* GetScene() const { return m_scene; }
    CUdpNetwork* GetUdp() const { return m_udp.get(); }
    const std::deque<UnitHash>& GetSelectedPlayers() const { return m_selectedPlayers; }
    const std::vector<UnitHash>& GetConfirmedPlayers() const { return m_confirmedPlayers; }
    const std::set<UnitHash>& GetEnteredClients() const { return m_enteredClients; }
    const QTimer& GetConnectionTimer() const { return m_connectionTimer; }
    const QTimer& GetConfirmationTimer() const { return m_confirmationTimer; }
    const QTimer& GetDetectionTimer() const { return m_detectionTimer; }
    const QTimer& GetBattleDataTimer() const { return m_battleDataTimer; }
    // Whether a delayed step (a send, a move on, a late message) waits.
    bool IsStepPending() const { return m_stepTimer.isActive(); }
    // The text ShowRuleConfigDetail gives for a record.
    static QString GetRuleConfigText(const GameEditInfo& info);

  signals:
    void Connected();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void SelectItem(Marevane::UnitHash hash);

  public:
    using CGameSequence::Update;

  private slots:
    void StartConnecting();
    void DetectServer();
    void WaitForConnection();
    void WaitForConfirmation();
    void PrepareForBattle();
    void CancelSelecting();
    void CloseConnection(QString message);
    void CloseConnection();
    void ShowRuleConfigDetail(const Marevane::GameEditInfo* pRuleConfig);

  private:
    bool IsClient() const;
    bool IsServer() const;
    bool IsLocalPlayer() const;
    // Runs one step of a slot; a failure is shown, never thrown on.
    void Guard(const char* step, const std::function<void()>& body);
    void StopAllTimers();
    // One delayed step at a time; leaving, cancelling and closing drop it.
    void ScheduleStep(int ms, std::function<void()> step);
    void CancelStep();
    void BackToConnect();
    void LeaveTo(CGameSequence* pTarget);

    // The host.
    void ServerWaitForConnection();
    void ReplyToDetection();
    void HandleEntries();
    bool EvaluateEntry(const EntryMessage& entry);
    void ServerSelectItem(UnitHash hash);
    void ServerWaitForConfirmation();
    void EndSelection(const UnitHash* pClient);
    void RemoveClient(UnitHash hash);
    void CheckLostClients();
    void PrepareBattleData();
    void SendBattleData();
    void ServerCancelSelecting();

    // A client.
    void ClientStartConnecting();
    void ClientWaitForConnection();
    void HandleAnswers();
    bool SendEntry();
    void ClientDetectServer();
    void ClientSelectItem(UnitHash hash);
    void SendRequest();
    void ClientWaitForConfirmation();
    void ClientPrepareForBattle();
    void ClientCancelSelecting();
    void ApplyBattleData(const EntryMessage& data);
    void SetComplete();

    QPointer<CGameSequence> m_playerSettings;
    QPointer<CGameSequence> m_ruleSettings;
    QTimer m_connectionTimer;
    QTimer m_confirmationTimer;
    QTimer m_detectionTimer;
    QTimer m_battleDataTimer;
    QTimer m_stepTimer;
    std::function<void()> m_step;
    std::unique_ptr<CUdpNetwork> m_udp;
    std::deque<UnitHash> m_selectedPlayers;
    std::vector<UnitHash> m_confirmedPlayers;
    std::set<UnitHash> m_enteredClients;
    // Counts of a visit, reset in Init.
    int m_detectionTicks = 0;
    int m_connectionTicks = 0;
    int m_connectionRetries = 0;
    bool m_isConnected = false;
    QMetaObject::Connection m_onConnected;
    std::string m_clientAddress;

    CNetworkConnectionScene* m_scene = nullptr;
    CGameScene* m_messageScene = nullptr;
    CSocketTcpServer* m_server = nullptr;
    CSocketTcpClient* m_client = nullptr;
};

} // namespace Marevane
