// marevane-bench-computer: plays a fixed set of seeded computer-only battles
// at each strength and prints the decisions per second and the think time
// per decision. Every side of a battle plays at the level being measured;
// "plain" is the plain brain for comparison.
//   marevane-bench-computer [BATTLES-PER-LEVEL]   (default 20)
#include "BattleRun.h"

#include "model/Random.h"

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

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

} // namespace

int main(int argc, char** argv)
{
    const int battles = argc > 1 ? std::atoi(argv[1]) : 20;
    if (battles <= 0) {
        std::cerr << "usage: marevane-bench-computer [BATTLES-PER-LEVEL]\n";
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
