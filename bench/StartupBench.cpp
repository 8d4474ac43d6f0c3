// Start-up of the game: from starting the process to the first painted
// frame of the title, and the resident memory at that moment. Run it on a
// display (for example under xvfb-run); each run starts the program afresh
// in an empty folder and reads what the program records on its first paint
// of the title (MAREVANE_FIRST_PAINT_FILE). The title is first painted behind
// the first screen fade's black; the first frame it can be seen in comes with
// the fade back in, after the fade's fixed waits (100 ms to black, 200 ms of
// black), and is reported beside it.
//
//   marevane-bench-startup [--runs N] [--program PATH] [--reference PATH]
//                          [--no-opengl]
//
// --no-opengl starts it with the OpenGL setting off (a settings file in the
// folder), for comparison. Each run of the game is followed by one of a bare
// Qt program (marevane-bench-startup-reference, beside the benchmark; its
// window, menu and view are what the game shows at least), so the figures
// can be told apart from the machine's own speed and load. With OpenGL on,
// the bare program runs twice: with Qt's default OpenGL format, and with the
// game's multisampled one, so the cost of the format and the game's own
// share over it show apart.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Goals: faster and leaner than a comparable Qt game on this machine.
constexpr double GoalSeconds = 0.3;
constexpr double GoalMegabytes = 100.0;

struct Run {
    double seconds;
    double megabytes;
    double shownSeconds; // the first frame the title can be seen in
};

bool RunOnce(const std::string& program, const std::string& folder, bool isOpenGL, Run* run,
             bool isGameFormat = false)
{
    const std::string record = folder + "/first-paint";
    if (!isOpenGL) {
        std::ofstream settings(folder + "/Marevane.ini");
        settings << "[SystemConfig]\nSound=100\nBGM=80\nSE=100\nMuteBGM=false\nMuteSE=false\nOpenGL=false\n"
                    "Animation=true\nLogPath=\nLanguage=0\n";
    }
    std::remove(record.c_str());
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "MAREVANE_", 9) != 0) variables.emplace_back(*entry);
    }
    variables.push_back("MAREVANE_FIRST_PAINT_FILE=" + record);
    if (isGameFormat) variables.push_back("MAREVANE_REFERENCE_GAME_FORMAT=1");
    std::vector<char*> environment;
    for (std::string& variable : variables) environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string programCopy = program;
    char* arguments[] = {programCopy.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(error));
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream file(record);
    long long paintedNs = 0;
    long residentKb = 0;
    if (!(file >> paintedNs >> residentKb)) {
        std::fprintf(stderr, "the program recorded no first paint (exit status %d)\n", status);
        return false;
    }
    // The reference program records its one paint only.
    long long shownNs = paintedNs;
    long shownKb = 0;
    if (!(file >> shownNs >> shownKb)) shownNs = paintedNs;
    const long long startNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    run->seconds = static_cast<double>(paintedNs - startNs) / 1e9;
    run->megabytes = static_cast<double>(residentKb) / 1024.0;
    run->shownSeconds = static_cast<double>(shownNs - startNs) / 1e9;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Series {
    std::vector<double> seconds;
    std::vector<double> megabytes;
    std::vector<double> shownSeconds;

    void Add(const Run& run)
    {
        seconds.push_back(run.seconds);
        megabytes.push_back(run.megabytes);
        shownSeconds.push_back(run.shownSeconds);
    }
};

// The one-minute load average: figures taken on a busy machine read slower.
double LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    double load = -1.0;
    file >> load;
    return load;
}

std::string Resolve(const std::string& path)
{
    char resolved[4096];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// The reference program is built beside the benchmark.
std::string DefaultReference()
{
    const std::string self = Resolve("/proc/self/exe");
    const std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string()
                                      : self.substr(0, slash) + "/marevane-bench-startup-reference";
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 10;
    std::string program = "bin/marevane";
    std::string reference = DefaultReference();
    bool isOpenGL = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            program = argv[++i];
        } else if (std::strcmp(argv[i], "--reference") == 0 && i + 1 < argc) {
            reference = argv[++i];
        } else if (std::strcmp(argv[i], "--no-opengl") == 0) {
            isOpenGL = false;
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--program PATH] [--reference PATH] [--no-opengl]\n",
                         argv[0]);
            return 2;
        }
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "no display: run it under xvfb-run\n");
        return 2;
    }
    const std::string gamePath = Resolve(program);
    if (gamePath.empty()) {
        std::fprintf(stderr, "no program at %s\n", program.c_str());
        return 2;
    }
    const std::string referencePath = Resolve(reference);
    if (referencePath.empty()) {
        std::fprintf(stderr, "no reference program at %s\n", reference.c_str());
        return 2;
    }
    char folderTemplate[] = "/tmp/marevane-startup-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (folder == nullptr) return 2;

    const double loadBefore = LoadAverage();
    Series game;
    Series bare;
    Series bareGameFormat;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        Run referenceRun{};
        Run formatRun{};
        if (!RunOnce(gamePath, folder, isOpenGL, &run) ||
            !RunOnce(referencePath, folder, isOpenGL, &referenceRun) ||
            (isOpenGL && !RunOnce(referencePath, folder, isOpenGL, &formatRun, true)))
            return 1;
        std::printf("run %2d: first paint of the title after %.3f s, %.1f MB resident; seen after %.3f s"
                    " (bare Qt: %.3f s, %.1f MB",
                    i + 1, run.seconds, run.megabytes, run.shownSeconds, referenceRun.seconds,
                    referenceRun.megabytes);
        if (isOpenGL) {
            std::printf("; with the game's format: %.3f s, %.1f MB", formatRun.seconds, formatRun.megabytes);
            bareGameFormat.Add(formatRun);
        }
        std::printf(")\n");
        game.Add(run);
        bare.Add(referenceRun);
    }
    std::remove((std::string(folder) + "/first-paint").c_str());
    std::remove((std::string(folder) + "/Marevane.ini").c_str());
    rmdir(folder);
    const double medianSeconds = Median(game.seconds);
    const double medianMegabytes = Median(game.megabytes);
    std::printf("OpenGL %s, median of %d runs: %.3f s (goal <= %.1f s), %.1f MB (goal <= %.0f MB);"
                " min %.3f s, max %.3f s\n",
                isOpenGL ? "on" : "off", runs, medianSeconds, GoalSeconds, medianMegabytes, GoalMegabytes,
                *std::min_element(game.seconds.begin(), game.seconds.end()),
                *std::max_element(game.seconds.begin(), game.seconds.end()));
    const double bareSeconds = Median(bare.seconds);
    const double bareMegabytes = Median(bare.megabytes);
    std::printf(
        "bare Qt window, median: %.3f s (min %.3f s), %.1f MB; the game takes %+.3f s and %+.1f MB more\n",
        bareSeconds, *std::min_element(bare.seconds.begin(), bare.seconds.end()), bareMegabytes,
        medianSeconds - bareSeconds, medianMegabytes - bareMegabytes);
    if (isOpenGL) {
        const double formatSeconds = Median(bareGameFormat.seconds);
        const double formatMegabytes = Median(bareGameFormat.megabytes);
        std::printf("bare Qt window with the game's OpenGL format, median: %.3f s (min %.3f s), %.1f MB;"
                    " the game takes %+.3f s and %+.1f MB more\n",
                    formatSeconds,
                    *std::min_element(bareGameFormat.seconds.begin(), bareGameFormat.seconds.end()),
                    formatMegabytes, medianSeconds - formatSeconds, medianMegabytes - formatMegabytes);
    }
    std::printf("load average %.1f before, %.1f after, on %ld processors\n", loadBefore, LoadAverage(),
                sysconf(_SC_NPROCESSORS_ONLN));
    const double shownSeconds = Median(game.shownSeconds);
    std::printf("the title is first seen (fading in) after %.3f s (median); 0.3 s of the wait to it is the"
                " screen fade's fixed timing\n",
                shownSeconds);
    std::printf("goal time, first painted frame (<= %.1f s): %s\n", GoalSeconds,
                medianSeconds <= GoalSeconds ? "met" : "NOT met");
    std::printf("goal time, first frame the title is seen in (<= %.1f s): %s\n", GoalSeconds,
                shownSeconds <= GoalSeconds ? "met" : "NOT met");
    std::printf("goal memory (<= %.0f MB): %s\n", GoalMegabytes,
                medianMegabytes <= GoalMegabytes ? "met" : "NOT met");
    return 0;
}
