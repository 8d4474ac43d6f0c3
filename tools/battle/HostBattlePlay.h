// Plays a battle on the host's turn manager without a screen: the message
// codes go to the manager in the order the battle screens pass them on a
// host or offline (turn start, the side's command, its result, the check
// after the action, the finished result report, the end of the turn). The
// headless driver and the console game both play their battles with it.
#pragma once

#include "model/Types.h"
#include "session/GUITurnManager.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CLogger;
class CShipFactory;
class CUnit;
class CUnitFactory;

// Hands the manager the battle's objects, as the battle screens do before
// the battle starts. Nothing is owned.
void SetUpHostManager(CGUITurnManagerOnServer& manager, const std::vector<CUnit*>& units, CGameEdit& rules,
                      CBoard& board, CUnitFactory& unitFactory, CShipFactory& shipFactory, CLogger& logger);

class CHostBattlePlay {
  public:
    struct Hooks {
        // After the battle started (45) and every side confirmed it (68).
        std::function<void()> Started;
        // Stores the current side's next command in it. `lastCode` is 51 for
        // the first command of a turn, else the code that refused the last.
        std::function<void(CUnit& unit, MessageCode lastCode)> Decide;
        // A turn's result (10, 87 or 89) has reached the manager and the log.
        std::function<void(CUnit& unit, MessageCode code)> Acted;
        // Asked when a turn is over and the battle undecided; true ends the
        // battle there, undecided.
        std::function<bool()> IsCapped;
    };

    // The manager is set up (units, arbiter, board, factories, results and
    // log) and not owned.
    CHostBattlePlay(CGUITurnManagerOnServer& manager, Hooks hooks);

    // Starts the battle and plays it until the manager has ended it (47).
    // What a hook throws leaves the battle where it stood.
    void Run();

    bool HasEnded() const { return m_ended; }
    bool WasCapped() const { return m_capped; }
    std::uint32_t GetTurns() const { return m_turns; }
    // Results the play has no step for, carried on as a success.
    std::uint32_t GetOtherResults() const { return m_otherResults; }

    // The mission's verdict: the winner and its team mates, and how it won.
    std::wstring GetVerdictText(std::uint32_t roundCap = 0) const;
    // The winning unit, or null when the battle ended undecided or drawn.
    const CUnit* GetWinner() const;

  private:
    void Step(MessageCode code);
    void Decide(CUnit& unit, MessageCode lastCode);

    CGUITurnManagerOnServer& m_manager;
    Hooks m_hooks;
    std::deque<MessageCode> m_pending;
    std::uint32_t m_turns = 0;
    std::uint32_t m_otherResults = 0;
    bool m_ended = false;
    bool m_capped = false;
};

} // namespace Marevane
