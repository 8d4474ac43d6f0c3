// Start-up of the game: from starting the process to the first painted
// frame of the title, and the resident memory at that moment. Run it on a
// display (for example under xvfb-run); each run starts the program afresh
// in an empty folder and reads what the program records on its first paint
// of the title (MAREVANE_FIRST_PAINT_FILE).
//
//   marevane-bench-startup [--runs N] [--program PATH] [--no-opengl]
//
// --no-opengl starts it with the OpenGL setting off (a settings file in the
// folder), for comparison.
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
};

bool RunOnce(const std::string& program, const std::string& folder, bool isOpenGL, Run* run)
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
    const long long startNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    run->seconds = static_cast<double>(paintedNs - startNs) / 1e9;
    run->megabytes = static_cast<double>(residentKb) / 1024.0;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 10;
    std::string program = "bin/marevane";
    bool isOpenGL = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            program = argv[++i];
        } else if (std::strcmp(argv[i], "--no-opengl") == 0) {
            isOpenGL = false;
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--program PATH] [--no-opengl]\n", argv[0]);
            return 2;
        }
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "no display: run it under xvfb-run\n");
        return 2;
    }
    char resolved[4096];
    if (realpath(program.c_str(), resolved) == nullptr) {
        std::fprintf(stderr, "no program at %s\n", program.c_str());
        return 2;
    }
    program = resolved;
    char folderTemplate[] = "/tmp/marevane-startup-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (folder == nullptr) return 2;

    std::vector<double> seconds;
    std::vector<double> megabytes;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!RunOnce(program, folder, isOpenGL, &run)) return 1;
        std::printf("run %2d: first paint of the title after %.3f s, %.1f MB resident\n", i + 1, run.seconds,
                    run.megabytes);
        seconds.push_back(run.seconds);
        megabytes.push_back(run.megabytes);
    }
    std::remove((std::string(folder) + "/first-paint").c_str());
    std::remove((std::string(folder) + "/Marevane.ini").c_str());
    rmdir(folder);
    const double medianSeconds = Median(seconds);
    const double medianMegabytes = Median(megabytes);
    std::printf(
        "median of %d runs: %.3f s (goal <= %.1f s), %.1f MB (goal <= %.0f MB); min %.3f s, max %.3f s\n",
        runs, medianSeconds, GoalSeconds, medianMegabytes, GoalMegabytes,
        *std::min_element(seconds.begin(), seconds.end()), *std::max_element(seconds.begin(), seconds.end()));
    return 0;
}
