// marevane-console: a battle in the terminal. The local side is set up and
// commanded by typing; the other sides are computer sides; the host's turn
// manager runs the battle without network.
#pragma once

#include "ToolOptions.h"

#include "model/Timer.h"

#include <QString>

#include <cstdint>
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
    QString LogDir; // empty: the folder of the settings
    // The remaining think time counting down under the prompt; set by
    // --countdown / --no-countdown, else on when the console is a terminal.
    std::optional<bool> Countdown;
    // The set-up pauses that let a player watch the sides prepare; by
    // default only when the console is a terminal.
    std::optional<bool> Pauses;
};

// Exit codes besides 0 (the battle was played to its end).
enum : int {
    ExitUsage = 2,
    ExitInputEnded = 3,
    ExitFailure = 4,
};

using ConsoleUsageError = ToolUsageError;

extern const char* const ConsoleUsage;

// Throws ConsoleUsageError with the reason; an empty reason asks for help.
ConsoleOptions ParseConsoleOptions(const std::vector<std::string>& args);

// The console's tick action of the local side's timer: each time the
// remaining time's text changes it rewrites the current line with it.
CTimer::TickAction MakeCountdownTick(const CTimer& timer, std::wostream& out, std::mutex& outputLock);

// Plays one battle on the given console. Answers the exit code; the input
// ending at any point ends the program with a message and ExitInputEnded.
int RunConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out);

} // namespace Marevane
