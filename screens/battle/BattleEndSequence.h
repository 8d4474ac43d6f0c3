// The screen after a battle: the result with every side's statistics, and
// the player's choice carried out. Replay goes back to the fleet formation
// with the same rules, Next Stage back to the arcade stage screen, Exit to
// the title (or, in an arcade run, to the closing screens). In a network
// battle a replay needs every player's consent, so the choice is exchanged
// with the host or the clients first.
#pragma once

#include "app/GameSequence.h"
#include "model/Types.h"

#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>

namespace Marevane {

class CBattleResultScene;
class CGameMapScene;
class CNetworkMonitor;
class CTurnManager;

class CBattleEndSequence : public CGameSequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x27F;
    static constexpr MessageCode ReplayCode = 28;
    static constexpr MessageCode ExitCode = 29;
    static constexpr MessageCode NextStageCode = 30;
    static constexpr MessageCode ReplayAcceptedCode = 32;
    static constexpr MessageCode ReplayRejectedCode = 33;
    static constexpr MessageCode DisconnectedCode = 124;

    // pReturnSequence: where a replay goes back to (the fleet formation,
    // below the battle); pTurnManager: the finished battle's. Neither is
    // owned; either may go before this sequence does.
    CBattleEndSequence(CGameSequence* pReturnSequence, CTurnManager* pTurnManager);
    ~CBattleEndSequence() override;

    CGameSequence* GetReturnSequence() const { return m_returnSequence; }
    CTurnManager* GetTurnManager() const { return m_turnManager; }
    // The local side won, or only watched; set by Start().
    bool IsWon() const { return m_isWon; }
    // Made when a replay request waits for the other machines.
    CNetworkMonitor* GetNetworkMonitor() const { return m_monitor.get(); }
    // A choice is being carried out; later ones are ignored until the next entry.
    bool IsLeaving() const { return m_isLeaving; }
    bool IsStepPending() const { return m_step.isActive(); }
    // Whether the arcade map list has a stage after the one just played.
    bool HasNextStage() const;

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;

  public:
    using CGameSequence::Update;

  protected:
    // Leaving the screen (another screen pushed over it) cancels a step
    // still waiting.
    void hideEvent(QHideEvent* event) override;

  private slots:
    void ReceiveRequest(Marevane::MessageCode code);

  private:
    CGameMapScene* GetMapScene() const;
    CUnit* GetLocalUnit() const;
    bool IsNetworkBattle() const;
    bool IsHost() const;
    bool IsWatching() const;

    // What Update and ReceiveRequest do; they keep exceptions in.
    void Choose(MessageCode code, bool isFromScene);
    void Answer(MessageCode code);
    void Replay();
    void Exit(bool isFromScene);
    void NextStage();
    void RejectReplay();
    // Runs the step once the delay (from the timing table) has passed,
    // unless the screen is left first.
    void RunLater(int ms, std::function<void()> step);
    // Both battle objects back to their state before a battle.
    void ResetBattle();
    void ResetToTitle();
    // Sends the choice to the other machines; false when a client could
    // not be told.
    bool SendChoice(MessageCode code);
    void StartMonitor();
    void StopMonitor();
    void SendToAudience(MessageCode code);
    void ShutDownNetwork();

    QPointer<CGameSequence> m_returnSequence;
    CTurnManager* m_turnManager;
    std::unique_ptr<CNetworkMonitor> m_monitor;
    CBattleResultScene* m_scene = nullptr;
    QTimer m_step;
    std::function<void()> m_pendingStep;
    // The clients (host ids) that asked for a replay in this exchange.
    std::set<std::uint64_t> m_replayRequests;
    bool m_isWon = false;
    bool m_isLeaving = false;
};

} // namespace Marevane
