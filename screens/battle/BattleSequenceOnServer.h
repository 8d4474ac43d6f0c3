// The play sequence of a battle on the machine that runs the rules: the
// host of a network battle and every battle without network. It is the
// hub of the battle's codes: the map scene, the result report and the
// network monitor report to its Update, which hands them to the turn
// manager, lets the current side carry out its command, shows the result
// lines and decides when the battle is left.
#pragma once

#include "screens/battle/PlaySequence.h"

#include <set>

namespace Marevane {

class CBattleSequenceOnServer : public CPlaySequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x1B;

    // Neither is owned; the battle sequence is returned to at the end.
    CBattleSequenceOnServer(CBattleSequence* pBattle, CTurnManager* pTurnManager);

    // The first turn has been started.
    bool IsBattleStarted() const { return m_isBattleStarted; }

  public slots:
    void Init() override;
    // Starts the first turn once every player confirmed the start.
    void WaitForBattleStart();

  private:
    void Dispatch(MessageCode code) override;
    // A turn's code that a client sent outside its side's turn.
    bool IsDropped(MessageCode code) const override;
    void ShowResult(MessageCode code);
    void StartTurn();
    void SendCommand();
    void FinishReport();
    void ConfirmStart();
    // The result of the current side's command, carried out now.
    MessageCode ExecuteCommand();

    // The clients that confirmed the start of this battle.
    std::set<const CUnit*> m_confirmed;
    bool m_isBattleStarted = false;
};

} // namespace Marevane
