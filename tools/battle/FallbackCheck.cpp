// marevane-fallback-check: plays seeded computer-only battles over sizes,
// sides, missions and strengths and counts the decisions where an engine
// failed and the plain command stood in. A test: any such decision, or a
// battle that went wrong, fails it.
//   marevane-fallback-check [BATTLES] [FIRST-SEED]   (default 200, 1)
#include "BattleRun.h"

#include "model/Mission.h"
#include "model/Random.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

using namespace Marevane;

namespace {

const std::int32_t Levels[] = {-10, -6, 0, 10, 16, 30};

// Mostly small maps, so that the sweep stays cheap; every tenth battle on a
// 7 by 7 map and every fifth a death match (3 by 3, time pressure).
BattleOptions OptionsFor(std::uint32_t seed, const QString& logDir)
{
    const std::vector<MissionType>& missions = GetMissionCodes();
    BattleOptions options;
    options.Seed = seed;
    options.LogDir = logDir;
    options.Sides = 2 + seed % 3;
    options.Rows = 3 + seed % 3;
    options.Columns = 3 + (seed / 3) % 3;
    if (seed % 10 == 0) options.Rows = options.Columns = 7;
    options.Mission = missions[seed % missions.size()];
    options.Rule = seed % 5 == 0 ? 0x4Cu : 0x0Cu;
    options.Teams = options.Sides == 4 && seed % 2 == 0;
    options.MaxRounds = 40;
    options.ResignChance = 0;
    for (std::uint32_t side = 0; side < options.Sides; ++side)
        options.Levels.push_back(Levels[(seed + side) % 6]);
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const long battles = argc > 1 ? std::atol(argv[1]) : 200;
    const long first = argc > 2 ? std::atol(argv[2]) : 1;
    if (battles <= 0 || first < 0) {
        std::cerr << "usage: marevane-fallback-check [BATTLES] [FIRST-SEED]\n";
        return 2;
    }
    QTemporaryDir logs;
    if (!logs.isValid()) {
        std::cerr << "marevane-fallback-check: no temporary folder for the logs\n";
        return 4;
    }
    std::uint64_t decisions = 0;
    std::uint32_t passed = 0;
    std::uint32_t failed = 0;
    std::map<std::string, std::uint32_t> reasons;
    for (long i = 0; i < battles; ++i) {
        const auto seed = static_cast<std::uint32_t>(first + i);
        const BattleOptions options = OptionsFor(seed, logs.path());
        SeedRandom(seed);
        std::ostringstream summary;
        BattleStats stats;
        const int status = PlayBattle(options, summary, &stats);
        decisions += stats.Decisions;
        if (status != 0 || stats.Fallbacks != 0) {
            ++failed;
            std::cout << "seed " << seed << ": " << summary.str();
            if (status != 0) std::cout << "  the battle went wrong\n";
            for (const auto& [text, count] : stats.Failures) {
                std::cout << "  fallback " << count << "x: " << text << "\n";
                reasons[text] += count;
            }
        } else {
            ++passed;
        }
    }
    std::cout << "decisions=" << decisions << "\n";
    for (const auto& [text, count] : reasons) std::cout << "fallback " << count << "x: " << text << "\n";
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
