// The turn managers the battle screens drive, one message code at a time.
// On the host (or with no network) the manager carries out commands through
// the units, keeps the mission informed and sends the turn state and the
// results to the clients. On a client it sends the local side's commands and
// rebuilds the battle from what the host sent. Neither blocks or has a
// thread of its own; both run on the thread that owns the connection.
#pragma once

#include "model/Messages.h"
#include "model/TurnManager.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Marevane {

class CTcpClient;
class CTcpServer;

class CGUITurnManagerOnServer : public CTurnManagerOnServer {
  public:
    // The rounds between two surfacings when no rules say otherwise.
    static constexpr std::uint32_t DefaultSurfacingPeriod = 3;

    // The server is not owned; null in a battle without network.
    explicit CGUITurnManagerOnServer(CTcpServer* server);

    void Update(MessageCode code) override;
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }
    void Reset() override;

    CTcpServer* GetServer() const { return m_server; }
    // Rounds between surfacings: the rules' cycle, 0 for never.
    std::uint32_t GetSurfacingPeriod() const;

    // The turn state as sent with this code.
    ProgressMessage BuildProgressMessage(MessageCode code) const;

  private:
    void NotifyAll(MessageCode code);
    void RecordAction();
    void UpdateBoard();
    void TakeRemoteCommand();
    void SendTurnEndState();
    // A side played from a network client.
    static bool IsRemote(const CUnit& unit);

    void SendToAll(const ProgressMessage& state);
    void SendToAll(const ResultMessage& record);
    // One packet per connected socket; failed sockets are disconnected.
    void SendPerSocket(const ProgressMessage& state);
    void SendToUnit(const CUnit& unit, const ProgressMessage& state);

    CTcpServer* m_server;
    CLogger* m_logger = nullptr;
};

class CGUITurnManagerOnClient : public CTurnManager {
  public:
    // Codes the manager raises itself, delivered on its own thread after the
    // call that caused them: 124 when what the host sent cannot be used.
    using Notifier = std::function<void(MessageCode)>;

    // The client is not owned. Construct on the thread that owns the
    // connection: the local side's time-out is sent from there.
    explicit CGUITurnManagerOnClient(CTcpClient* client);
    ~CGUITurnManagerOnClient() override;

    void Update(MessageCode code) override;
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }
    void Reset() override;
    void Start() override;
    void StopTimers() override;
    void NextTurn() override;

    void SetNotifier(Notifier notifier) { m_notifier = std::move(notifier); }
    CTcpClient* GetClient() const { return m_client; }
    // This machine's own side: the unit factory's local unit.
    CUnit* GetLocalUnit() const;

    // What the local side's timer calls on its own thread when the time is
    // up: the code 10 is handed to the owning thread, which sends it once
    // per turn.
    void PostTimeOut();

  private:
    struct PostBox;

    bool ApplyReceivedState(bool withCommand);
    bool ReplaceShips();
    bool StoreResult(MessageCode code);
    void SendTimeOut();
    bool IsLocalTurn() const;
    // Treats what cannot be used as a broken connection.
    void BreakConnection();
    void Post(std::function<void()> action);

    // Checks of what arrived, before any of it is used.
    bool IsUsableState(const ProgressMessage& state, bool needProfiles) const;
    bool AreUsableShips(const std::map<std::uint32_t, std::vector<ShipProfile>>& table) const;
    bool IsUsableResult(const ResultMessage& record) const;

    CTcpClient* m_client;
    CLogger* m_logger = nullptr;
    Notifier m_notifier;
    std::shared_ptr<PostBox> m_box;
    bool m_timeOutSent = false;
};

} // namespace Marevane
