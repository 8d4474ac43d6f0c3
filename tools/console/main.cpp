// marevane-console: plays one battle in the terminal against computer sides.
#include "ConsoleGame.h"

#include "ai/ComputerPlayer.h"
#include "model/Random.h"

#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <exception>
#include <iostream>
#include <locale>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

// Wide console text is UTF-8 whatever the environment says. The standard
// wide streams go through the C library, so its locale is set too.
void UseUtf8Console()
{
    for (const char* name : {"C.UTF-8", "en_US.UTF-8", ""}) {
        try {
            const std::locale locale(name);
            std::locale::global(locale);
            std::setlocale(LC_ALL, name);
            std::wcin.imbue(locale);
            std::wcout.imbue(locale);
            return;
        } catch (const std::runtime_error&) {
            // Not installed here; try the next one.
        }
    }
}

const char* const PlainComputerUsage =
    "  --plain-computer computer sides play the plain brain that picks among the allowed\n"
    "                   commands, for comparison with the computer opponent\n";

} // namespace

int main(int argc, char** argv)
{
    UseUtf8Console();
    ConsoleOptions options;
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto plain = std::remove(args.begin(), args.end(), std::string("--plain-computer"));
    const bool plainComputer = plain != args.end();
    args.erase(plain, args.end());
    try {
        options = ParseConsoleOptions(args);
    } catch (const ConsoleUsageError& error) {
        // Only the error stream is narrow; standard output stays wide.
        if (*error.what()) std::cerr << "marevane-console: " << error.what() << "\n";
        std::cerr << ConsoleUsage << PlainComputerUsage;
        return *error.what() ? ExitUsage : 0;
    }
    // Countdown and set-up pauses are for a player at a terminal; piped,
    // scripted sessions get clean output at once.
    const bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    if (!options.Countdown) options.Countdown = terminal;
    if (!options.Pauses) options.Pauses = terminal;
    if (options.Seed) SeedRandom(*options.Seed);
    // Computer sides made from here on play the computer opponent at the
    // chosen level, unless the plain brain is asked for.
    if (!plainComputer) ComputerAI::InstallComputerAI();
    try {
        return RunConsoleGame(options, std::wcin, std::wcout);
    } catch (const std::exception& error) {
        std::cerr << "marevane-console: error: " << error.what() << "\n";
        return ExitFailure;
    }
}
