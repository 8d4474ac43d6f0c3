// marevane-console: plays one battle in the terminal against computer sides.
#include "ConsoleGame.h"

#include "ai/ComputerPlayer.h"
#include "model/Random.h"
#include "model/settings/SystemConfig.h"
#include "tools/console/Utf8Input.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <exception>
#include <iostream>
#include <locale>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

// Wide console text is UTF-8 whatever the environment says. The standard
// wide output goes through the C library, so its locale is set too.
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

// Ctrl-C and SIGTERM: the handler notes the signal and wakes the input's
// wait through a pipe; the game ends at its next step and saves its log. A
// second signal ends the program at once.
volatile std::sig_atomic_t g_signal = 0;
int g_wakePipe[2] = {-1, -1};

extern "C" void NoteSignal(int number)
{
    g_signal = number;
    const char byte = 1;
    const ssize_t written = write(g_wakePipe[1], &byte, 1);
    (void)written; // a full pipe is already awake
}

void CatchStopSignals()
{
    if (pipe(g_wakePipe) != 0) return;
    for (int end : g_wakePipe) {
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
        fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Bytes of the standard input; the input ends early when a stop signal came.
std::size_t ReadStandardInput(char* bytes, std::size_t size)
{
    for (;;) {
        if (g_signal != 0) return 0;
        pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {g_wakePipe[0], POLLIN, 0}};
        const nfds_t count = g_wakePipe[0] >= 0 ? 2 : 1;
        if (poll(waits, count, -1) < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        if (g_signal != 0) return 0;
        const ssize_t got = read(STDIN_FILENO, bytes, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR && errno != EAGAIN) return 0;
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
        if (!*error.what()) {
            std::cout << ConsoleUsage << std::flush;
            return 0;
        }
        // Only the error stream is narrow; standard output stays wide.
        std::cerr << "marevane-console: " << error.what() << "\n" << ConsoleUsage;
        return ExitUsage;
    }
    CIniManager::GetInstance().Load();
    const QString logFolder = options.LogDir.isEmpty()
                                  ? QString::fromStdWString(CSystemConfig::GetInstance().LogPath)
                                  : options.LogDir;
    const std::string problem = LogFolderProblem(logFolder);
    if (!problem.empty()) {
        std::cerr << "marevane-console: battle logs cannot be written to " << ShownFolder(logFolder) << ": "
                  << problem << "\n";
        return ExitUsage;
    }
    // Countdown and set-up pauses are for a player at a terminal; piped,
    // scripted sessions get clean output at once.
    const bool output = isatty(STDOUT_FILENO) == 1;
    const bool terminal = isatty(STDIN_FILENO) == 1 && output;
    options.Countdown = output && options.Countdown.value_or(terminal);
    if (!options.Pauses) options.Pauses = terminal;
    if (options.Seed) SeedRandom(*options.Seed);
    // Computer sides made from here on play the computer opponent at the
    // chosen level, unless the plain brain is asked for.
    if (!options.PlainComputer) ComputerAI::InstallComputerAI();

    CatchStopSignals();
    CUtf8InputBuffer input(ReadStandardInput);
    std::wistream in(&input);
    in.imbue(std::wcin.getloc());
    try {
        return RunConsoleGame(options, in, std::wcout, [] { return static_cast<int>(g_signal); });
    } catch (const std::exception& error) {
        std::cerr << "marevane-console: error: " << error.what() << "\n";
        return ExitFailure;
    }
}
