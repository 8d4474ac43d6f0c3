// The one command a player is giving on the battle map, gathered click by
// click: the command from the menu, the acting ship, then the target panel,
// from which the direction, distance and target position are worked out.
// The input state says which step the dialogue is at:
//   0 no input, 1 waiting for a panel, 2 command menu open,
//   3 command chosen (waiting for a target), 4 target chosen (confirming).
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <QObject>

namespace Marevane {

class CPanel;
class CShip;

class CCommandInputManager : public QObject {
    Q_OBJECT
  public:
    enum State : unsigned {
        StateDisabled = 0,
        StateWaitingPanel = 1,
        StateMenuOpen = 2,
        StateCommandChosen = 3,
        StateTargetChosen = 4,
    };

    explicit CCommandInputManager(QObject* parent = nullptr);

    CShip* GetShip() const { return m_ship; }
    CPanel* GetPanel() const { return m_panel; }
    const CommandInput& GetCommand() const { return m_command; }
    CommandCode GetCommandCode() const { return static_cast<CommandCode>(m_command.Command); }
    unsigned GetState() const { return m_state; }
    // Sets the state as it is; the map's dialogue jumps between steps.
    void SetState(unsigned state) { m_state = state; }
    // Resign and Pass act for the whole side, without ship or target.
    static bool IsSideCommand(std::uint32_t command)
    {
        return command == CommandResign || command == CommandPass;
    }

  public slots:
    void Init(Marevane::CShip* pShip);
    void Set(Marevane::CommandCode command);
    // Throws std::runtime_error without a ship unless the command is for
    // the whole side.
    void Set(Marevane::CShip* pShip);
    // Throws std::invalid_argument for no panel, std::runtime_error before a
    // command (or a ship, where one is needed) is set. Nothing changes then.
    void Set(Marevane::CPanel* pPanel);
    void Clear();
    void SetEnabled(bool isEnabled);
    // From 0 and from 4 to 0, otherwise one step on.
    void AdvanceState();
    // One step back; 0 and 1 stay.
    void BackState();

  private:
    CShip* m_ship = nullptr;
    CPanel* m_panel = nullptr;
    CommandInput m_command;
    unsigned m_state = StateDisabled;
};

} // namespace Marevane
