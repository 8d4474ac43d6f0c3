// The console front-end of a local side: its set-up from typed answers, and
// the readers its unit calls for a ship's position and for each typed
// command.
#pragma once

#include "model/Types.h"
#include "model/Unit.h"
#include "session/PlayerEdit.h"

#include <cstdint>
#include <functional>
#include <iosfwd>

namespace Marevane {

// The player editor whose local side asks on the console: its mode and name,
// then its fleet placed from typed positions.
class CPlayerEditConsole : public CPlayerEdit {
  public:
    using CPlayerEdit::CPlayerEdit;
    ~CPlayerEditConsole() override;

    // The streams the set-up asks on; the standard wide streams unless set.
    // Set them before a task starts.
    void SetConsole(std::wistream& in, std::wostream& out);

  protected:
    CUnit* CreateLocalPlayer() override;
    CUnit* SetUpLocalShips(CUnit& unit) override;

  private:
    std::wistream* m_consoleIn = nullptr;
    std::wostream* m_consoleOut = nullptr;
};

class CBoard;

// Asks until a typed line is the number of a panel of the board: the row
// then the column, one digit each and both from 1 ("23" is row 2, column 3).
// Answers row * 10 + column. Throws CConsoleInputEnded when the input ends.
std::uint32_t ReadPlacementNumber(const CBoard& board, std::wistream& in, std::wostream& out);

// A number reader that asks on the given streams for a panel of the unit's
// board. The streams outlive the unit.
CUnit::NumberReader MakeConsoleNumberReader(std::wistream& in, std::wostream& out);

// A command reader that prompts, reads one typed line and stores its command
// in the unit. `lastCode` answers the code of the side's last command check
// (51 when its turn has just started), so that a refused command is asked
// for again with the re-entry prompt.
CUnit::CommandReader MakeConsoleCommandReader(std::function<MessageCode()> lastCode, std::wistream& in,
                                              std::wostream& out);

} // namespace Marevane
