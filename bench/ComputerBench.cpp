// marevane-bench-computer: plays a fixed set of seeded computer-only battles
// at each strength and prints the decisions per second and the think time
// per decision. Every side of a battle plays at the level being measured;
// "plain" is the plain brain for comparison.
//   marevane-bench-computer [BATTLES-PER-LEVEL]   (default 20)
//
// With --cpu it plays the strongest level on 9 by 9 with four sides and on
// 5 by 5 with two, to the end, and prints the process CPU time per decision
// (p50, p95, max; worker threads included) and per whole battle (median,
// max). Run it under `taskset -c 0` for one core and without for all cores.
// --threads T gives the computer's tasks T worker threads instead of one
// less than the usable processors; --share-after US has a batch wake them
// after US microseconds instead of the default.
//   marevane-bench-computer --cpu [SEEDS] [--threads T] [--share-after US]   (default 20)
//
// With --versus it plays two-side battles on 5 by 5 and 7 by 7 between every
// pair of strengths and the plain brain, each seed once in either seat, and
// prints how often each side beat each other one.
//   marevane-bench-computer --versus [SEEDS] [--jobs N]   (default 100 seeds, 3 jobs)
#include "BattleRun.h"

#include "ai/TaskPool.h"
#include "model/Random.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

struct LevelRow {
    const char* Name;
    std::int32_t Level;
    bool Plain;
};

const LevelRow Rows[] = {
    {"plain", 0, true},  {"very-easy", -10, false}, {"easy", -6, false},    {"normal", 0, false},
    {"hard", 10, false}, {"very-hard", 16, false},  {"extreme", 30, false},
};

constexpr std::size_t RowCount = sizeof(Rows) / sizeof(Rows[0]);

// One battle of the versus table: two entries of Rows, the seat of the first.
struct VersusGame {
    std::uint32_t Size;
    std::size_t First;
    std::size_t Second;
    std::uint32_t Seed;
    bool Swapped;
};

std::vector<VersusGame> VersusGames(std::uint32_t seeds)
{
    std::vector<VersusGame> games;
    for (std::uint32_t size : {5u, 7u}) {
        for (std::size_t a = 0; a < RowCount; ++a) {
            for (std::size_t b = a + 1; b < RowCount; ++b) {
                for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
                    games.push_back({size, a, b, seed, false});
                    games.push_back({size, a, b, seed, true});
                }
            }
        }
    }
    return games;
}

// 1 when the first entry won, 2 the second, 0 a draw or no verdict, -1 a
// battle that went wrong.
int PlayVersus(const VersusGame& game, const QString& logDir)
{
    BattleOptions options;
    options.Sides = 2;
    options.Rows = game.Size;
    options.Columns = game.Size;
    options.Seed = game.Seed;
    options.MaxRounds = 60;
    options.ResignChance = 0;
    options.LogDir = logDir;
    const LevelRow& seat1 = Rows[game.Swapped ? game.Second : game.First];
    const LevelRow& seat2 = Rows[game.Swapped ? game.First : game.Second];
    options.Levels = {seat1.Level, seat2.Level};
    if (seat1.Plain) options.PlainSides.push_back(1);
    if (seat2.Plain) options.PlainSides.push_back(2);
    SeedRandom(*options.Seed);
    std::ostringstream summary;
    BattleStats stats;
    if (PlayBattle(options, summary, &stats) != 0) {
        std::cerr << "versus battle failed: " << summary.str();
        return -1;
    }
    if (stats.WinnerSide == 0) return 0;
    const bool firstWon = (stats.WinnerSide == 1) != game.Swapped;
    return firstWon ? 1 : 2;
}

// Worker processes keep the battles apart: the model's random engine and
// result log are process-wide.
int RunVersus(std::uint32_t seeds, int jobs)
{
    const std::vector<VersusGame> games = VersusGames(seeds);
    QTemporaryDir work;
    if (!work.isValid()) {
        std::cerr << "marevane-bench-computer: no temporary folder\n";
        return 4;
    }
    std::vector<pid_t> workers;
    for (int job = 0; job < jobs; ++job) {
        const QString dir = work.path() + QStringLiteral("/%1").arg(job);
        QDir().mkpath(dir);
        const pid_t pid = fork();
        if (pid < 0) {
            std::perror("fork");
            return 4;
        }
        if (pid == 0) {
            std::ofstream out((dir + QStringLiteral("/results")).toStdString());
            for (std::size_t i = static_cast<std::size_t>(job); i < games.size(); i += jobs)
                out << i << ' ' << PlayVersus(games[i], dir) << '\n';
            out.flush();
            std::_Exit(out ? 0 : 1);
        }
        workers.push_back(pid);
    }
    bool failed = false;
    for (pid_t pid : workers) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) failed = true;
    }
    // wins[size][row][column]: battles the row entry won against the column entry.
    std::map<std::uint32_t, std::vector<std::vector<std::uint32_t>>> wins;
    std::map<std::uint32_t, std::uint32_t> draws;
    std::uint32_t read = 0;
    for (int job = 0; job < jobs; ++job) {
        std::ifstream in((work.path() + QStringLiteral("/%1/results").arg(job)).toStdString());
        std::size_t index = 0;
        int result = 0;
        while (in >> index >> result) {
            if (index >= games.size() || result < 0) {
                failed = true;
                continue;
            }
            ++read;
            const VersusGame& game = games[index];
            auto& table = wins[game.Size];
            if (table.empty()) table.assign(RowCount, std::vector<std::uint32_t>(RowCount, 0));
            if (result == 1) ++table[game.First][game.Second];
            if (result == 2) ++table[game.Second][game.First];
            if (result == 0) ++draws[game.Size];
        }
    }
    if (failed || read != games.size()) {
        std::cerr << "marevane-bench-computer: " << games.size() - read << " battles went wrong\n";
        return 3;
    }
    const std::uint32_t perPair = seeds * 2;
    std::printf("Two sides, sea control, %u seeds per pair in both seats (%u battles per pair).\n", seeds,
                perPair);
    std::printf("Each cell: how often the row side beat the column side; draws and battles\n"
                "without a verdict count as no win.\n");
    for (const auto& [size, table] : wins) {
        std::printf("\n%ux%u (%u draws or undecided of %u battles)\n%-10s", size, size, draws[size],
                    perPair * static_cast<std::uint32_t>(RowCount * (RowCount - 1) / 2), "");
        for (const LevelRow& row : Rows) std::printf(" %9s", row.Name);
        std::printf("\n");
        for (std::size_t r = 0; r < RowCount; ++r) {
            std::printf("%-10s", Rows[r].Name);
            for (std::size_t c = 0; c < RowCount; ++c) {
                if (r == c)
                    std::printf(" %9s", "-");
                else
                    std::printf(" %8.1f%%", 100.0 * table[r][c] / perPair);
            }
            std::printf("\n");
        }
    }
    return 0;
}

// The value below which the given share of the sorted values lies.
double Percentile(std::vector<double> values, double share)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(rank, values.size() - 1)];
}

int RunCpu(std::uint32_t seeds)
{
    QTemporaryDir logs;
    if (!logs.isValid()) {
        std::cerr << "marevane-bench-computer: no temporary folder for the logs\n";
        return 4;
    }
    struct Shape {
        std::uint32_t Size;
        std::uint32_t Sides;
    };
    std::printf("extreme level, %u seeds, process CPU in ms\n", seeds);
    std::printf("%-10s %10s %9s %9s %9s %12s %12s %12s\n", "map", "decisions", "dec-p50", "dec-p95",
                "dec-max", "battle-p50", "battle-max", "battle-sum");
    for (const Shape shape : {Shape{9, 4}, Shape{5, 2}}) {
        std::vector<double> decisions;
        std::vector<double> battles;
        for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
            BattleOptions options;
            options.Sides = shape.Sides;
            options.Rows = options.Columns = shape.Size;
            options.Seed = seed;
            options.ResignChance = 0;
            options.LogDir = logs.path();
            options.Levels.assign(shape.Sides, 30);
            SeedRandom(seed);
            std::ostringstream summary;
            BattleStats stats;
            if (PlayBattle(options, summary, &stats) != 0) {
                std::cerr << "battle " << seed << " failed: " << summary.str();
                return 3;
            }
            double battle = 0.0;
            for (double cpu : stats.DecisionCpu) battle += cpu;
            battles.push_back(battle);
            decisions.insert(decisions.end(), stats.DecisionCpu.begin(), stats.DecisionCpu.end());
        }
        double sum = 0.0;
        for (double b : battles) sum += b;
        const std::string name =
            std::to_string(shape.Size) + "x" + std::to_string(shape.Size) + "/" + std::to_string(shape.Sides);
        std::printf("%-10s %10zu %9.2f %9.2f %9.2f %12.1f %12.1f %12.1f\n", name.c_str(), decisions.size(),
                    Percentile(decisions, 0.5) * 1e3, Percentile(decisions, 0.95) * 1e3,
                    Percentile(decisions, 1.0) * 1e3, Percentile(battles, 0.5) * 1e3,
                    Percentile(battles, 1.0) * 1e3, sum * 1e3);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--versus") {
        std::uint32_t seeds = 100;
        int jobs = 3;
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--jobs" && i + 1 < argc) {
                jobs = std::atoi(argv[++i]);
            } else {
                seeds = static_cast<std::uint32_t>(std::atoi(argv[i]));
            }
        }
        if (seeds == 0 || jobs <= 0) {
            std::cerr << "usage: marevane-bench-computer --versus [SEEDS] [--jobs N]\n";
            return 2;
        }
        return RunVersus(seeds, jobs);
    }
    if (argc > 1 && std::string(argv[1]) == "--cpu") {
        int seeds = 20;
        int threads = -1;
        long shareAfter = ComputerAI::DefaultTaskShareAfter.count();
        for (int i = 2; i < argc; ++i) {
            if (std::string(argv[i]) == "--threads" && i + 1 < argc) {
                threads = std::atoi(argv[++i]);
            } else if (std::string(argv[i]) == "--share-after" && i + 1 < argc) {
                shareAfter = std::atol(argv[++i]);
            } else {
                seeds = std::atoi(argv[i]);
            }
        }
        if (threads >= 0 || shareAfter != ComputerAI::DefaultTaskShareAfter.count()) {
            ComputerAI::SetTaskWorkerCount(threads >= 0 ? static_cast<std::size_t>(threads)
                                                        : ComputerAI::GetTaskWorkerCount(),
                                           std::chrono::microseconds{shareAfter});
        }
        if (seeds <= 0) {
            std::cerr << "usage: marevane-bench-computer --cpu [SEEDS] [--threads T] [--share-after US]\n";
            return 2;
        }
        return RunCpu(static_cast<std::uint32_t>(seeds));
    }
    const int battles = argc > 1 ? std::atoi(argv[1]) : 20;
    if (battles <= 0) {
        std::cerr << "usage: marevane-bench-computer [BATTLES-PER-LEVEL]\n"
                     "       marevane-bench-computer --versus [SEEDS] [--jobs N]\n";
        return 2;
    }
    QTemporaryDir logs;
    if (!logs.isValid()) {
        std::cerr << "marevane-bench-computer: no temporary folder for the logs\n";
        return 4;
    }
    std::printf("%-10s %8s %10s %12s %14s %10s\n", "level", "battles", "decisions", "decisions/s",
                "us/decision", "fallbacks");
    for (const LevelRow& row : Rows) {
        std::uint64_t decisions = 0;
        std::uint64_t fallbacks = 0;
        std::chrono::steady_clock::duration think{};
        for (int i = 0; i < battles; ++i) {
            // Two to four sides on 5x5 to 8x8 maps, the same set for every level.
            BattleOptions options;
            options.Sides = 2 + static_cast<std::uint32_t>(i % 3);
            options.Rows = 5 + static_cast<std::uint32_t>(i % 4);
            options.Columns = 5 + static_cast<std::uint32_t>((i / 4) % 4);
            options.Seed = 1000 + static_cast<std::uint32_t>(i);
            options.MaxRounds = 60;
            options.ResignChance = 0;
            options.LogDir = logs.path();
            options.Levels.assign(options.Sides, row.Level);
            if (row.Plain) {
                for (std::uint32_t side = 1; side <= options.Sides; ++side)
                    options.PlainSides.push_back(side);
            }
            SeedRandom(*options.Seed);
            std::ostringstream summary;
            BattleStats stats;
            if (PlayBattle(options, summary, &stats) != 0) {
                std::cerr << "battle " << i << " at " << row.Name << " failed: " << summary.str();
                return 3;
            }
            decisions += stats.Decisions;
            fallbacks += stats.Fallbacks;
            think += stats.ThinkTime;
        }
        const double seconds = std::chrono::duration<double>(think).count();
        std::printf("%-10s %8d %10llu %12.0f %14.1f %10llu\n", row.Name, battles,
                    static_cast<unsigned long long>(decisions), seconds > 0 ? decisions / seconds : 0.0,
                    decisions > 0 ? seconds * 1e6 / static_cast<double>(decisions) : 0.0,
                    static_cast<unsigned long long>(fallbacks));
        std::fflush(stdout);
    }
    return 0;
}
