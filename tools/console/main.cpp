// marevane-console: plays one battle in the terminal against computer sides.
#include "ConsoleGame.h"

#include "model/Random.h"

#include <unistd.h>

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

} // namespace

int main(int argc, char** argv)
{
    UseUtf8Console();
    ConsoleOptions options;
    try {
        options = ParseConsoleOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ConsoleUsageError& error) {
        // Only the error stream is narrow; standard output stays wide.
        if (*error.what()) std::cerr << "marevane-console: " << error.what() << "\n";
        std::cerr << ConsoleUsage;
        return *error.what() ? ExitUsage : 0;
    }
    // Countdown and set-up pauses are for a player at a terminal; piped,
    // scripted sessions get clean output at once.
    const bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    if (!options.Countdown) options.Countdown = terminal;
    if (!options.Pauses) options.Pauses = terminal;
    if (options.Seed) SeedRandom(*options.Seed);
    try {
        return RunConsoleGame(options, std::wcin, std::wcout);
    } catch (const std::exception& error) {
        std::cerr << "marevane-console: error: " << error.what() << "\n";
        return ExitFailure;
    }
}
