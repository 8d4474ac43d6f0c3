// The play sequence of a battle on a machine that joined a network battle.
// The rules run on the host: the turn manager here sends the local side's
// commands and takes the states and results the host sends, which a network
// monitor polls. The sequence wires the map, the result report and the
// monitor to one Update and shows the battle as the host does.
#pragma once

#include "screens/battle/PlaySequence.h"

namespace Marevane {

class CGUITurnManagerOnClient;

class CBattleSequenceOnClient : public CPlaySequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x2B;

    // Neither is owned; the battle sequence is returned to at the end.
    CBattleSequenceOnClient(CBattleSequence* pBattle, CGUITurnManagerOnClient* pTurnManager);
    ~CBattleSequenceOnClient() override;

    // The battle's sound bank and music have been started.
    bool IsSoundStarted() const { return m_isSoundStarted; }

  public slots:
    void Init() override;

  private:
    void Dispatch(MessageCode code) override;
    void EnterBattle(MessageCode code);
    void ShowResult(MessageCode code);
    void StartTurn();
    void FinishReport();
    void ConfirmStart();
    void EndBattle();
    void StartBattleSound();
    void StartMonitor();

    CGUITurnManagerOnClient* m_clientTurnManager;
    bool m_isSoundStarted = false;
};

} // namespace Marevane
