// marevane-console: a battle in the terminal. The local side is set up and
// commanded by typing; the other sides are computer sides; the host's turn
// manager runs the battle without network.
#pragma once

#include "ToolOptions.h"

#include "model/Timer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Marevane {

struct ConsoleOptions {
    std::uint32_t Rows = 0; // 0: the rules' default size
    std::uint32_t Columns = 0;
    std::uint32_t Sides = 2; // the local side and the computer sides
    std::optional<MissionType> Mission;
    std::optional<std::int32_t> Level;
    std::optional<std::uint32_t> Seed;
    // Each side's think time for the whole battle; else the rules' default.
    std::optional<std::uint32_t> ThinkSeconds;
    QString LogDir; // empty: the folder of the settings
    // The remaining think time drawn above the prompt; set by --countdown /
    // --no-countdown, else on when the console is a terminal. Never drawn
    // into output that is not a terminal.
    std::optional<bool> Countdown;
    // Computer sides play the plain brain instead of the computer opponent.
    bool PlainComputer = false;
    // The set-up pauses that let a player watch the sides prepare; by
    // default only when the console is a terminal.
    std::optional<bool> Pauses;
};

// Exit codes besides 0 (the battle was played to its end and its log saved).
enum : int {
    ExitUsage = 2, // bad options, or a log folder that cannot be written
    ExitInputEnded = 3,
    ExitFailure = 4,
    ExitLogNotSaved = 5,
    ExitInterrupted = 6,
};

using ConsoleUsageError = ToolUsageError;

extern const char* const ConsoleUsage;

// Throws ConsoleUsageError with the reason; an empty reason asks for help.
ConsoleOptions ParseConsoleOptions(const std::vector<std::string>& args);

// The command prompt of the local side and its think time on the line above
// it. The time is redrawn with the cursor saved and restored, so what the
// player types stays readable where it is; when the time runs out that is
// said at once. All output goes through `outputLock`.
class CConsoleCountdown {
  public:
    // `draw`: redraw the time above the prompt (a terminal); else only the
    // time running out is told, on a line of its own.
    CConsoleCountdown(std::wostream& out, std::mutex& outputLock, bool draw);

    // Shows the time left (when drawn) and the prompt; input follows on the
    // next line.
    void OpenPrompt(const std::wstring& prompt, const CTimer& timer);
    void ClosePrompt();

    // The tick action of the local side's timer.
    void Tick(const CTimer& timer);

  private:
    std::wostream& m_out;
    std::mutex& m_lock;
    const bool m_draw;
    bool m_open = false;
    bool m_timeUpTold = false;
    std::wstring m_shown;
};

// Answers the number of the signal that asked the program to stop, else 0.
using InterruptionCheck = std::function<int()>;

// Plays one battle on the given console. Answers the exit code; the input
// ending at any point ends the program with a message and ExitInputEnded,
// an interruption with ExitInterrupted, both saving the log of a battle
// that has begun.
int RunConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out,
                   InterruptionCheck interrupted = {});

} // namespace Marevane
