// marevane-battle: plays one battle in memory, without a screen, and prints
// the verdict. A test and benchmark tool: every side is a computer side and
// a seed fixes the whole battle and its log file.
#include "BattleRun.h"
#include "ToolOptions.h"

#include "model/Random.h"

#include <cstdint>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

const char* const Usage =
    "usage: marevane-battle --sides N --size RxC --mission CODE --rule BITS --seed S --log-dir DIR\n"
    "                       [--max-rounds K] [--levels L1,L2,...] [--teams] [--resign-chance P] [--verbose]\n"
    "                       [--plain-computer] [--stats]\n"
    "  --sides N          2 to 4 sides (default 2)\n"
    "  --size RxC         map rows and columns, 3 to 9 each (default 5x5)\n"
    "  --mission CODE     mission code, decimal or 0x-hex (default 0x10000001)\n"
    "  --rule BITS        game-mode bits, decimal or 0x-hex (default 0x0C)\n"
    "  --seed S           seed of the shared random engine (else MAREVANE_SEED or random)\n"
    "  --log-dir DIR      folder the battle log is written to (default: working directory)\n"
    "  --max-rounds K     the battle ends undecided after round K (default 200)\n"
    "  --levels L,...     computer strength of each side (default 0)\n"
    "  --teams            sides 1 and 3 against sides 2 and 4\n"
    "  --resign-chance P  percent chance per turn that a side resigns with a farewell (default 1)\n"
    "  --verbose          print every log text\n"
    "  --plain-computer   every side plays the plain brain instead of the computer opponent\n"
    "  --plain-sides A,.. only these sides (1-based) play the plain brain\n"
    "  --stats            print decisions, their think time and the brain's fallbacks\n"
    "Exit status: 0 after a whole battle with its log saved; 2 for bad options or a log folder that\n"
    "is missing or cannot be written; 3 when the battle stopped without an end, its result records\n"
    "do not match its turns, or its log could not be saved; 4 on an error.\n";

using UsageError = ToolUsageError;

std::int32_t ParseLevel(const std::string& text)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used, 10);
        if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
    throw UsageError("invalid level: " + text);
}

BattleOptions ParseOptions(int argc, char** argv)
{
    BattleOptions options;
    bool plainComputer = false;
    const std::vector<std::string> args(argv + 1, argv + argc);
    ReadToolOptions(args, [&options, &plainComputer](const std::string& arg, const ToolOptionValue& value) {
        if (arg == "--sides") {
            options.Sides = ParseSideCount(value());
        } else if (arg == "--size") {
            const MapPos size = ParseMapSize(value());
            options.Rows = size.x;
            options.Columns = size.y;
        } else if (arg == "--mission") {
            options.Mission = static_cast<MissionType>(ParseToolNumber(value(), "mission code"));
        } else if (arg == "--rule") {
            options.Rule = static_cast<std::uint32_t>(ParseToolNumber(value(), "rule bits"));
        } else if (arg == "--seed") {
            options.Seed = ParseSeed(value());
        } else if (arg == "--log-dir") {
            options.LogDir = QString::fromStdString(value());
        } else if (arg == "--max-rounds") {
            options.MaxRounds = static_cast<std::uint32_t>(ParseToolNumber(value(), "round cap"));
            if (options.MaxRounds == 0) throw UsageError("--max-rounds takes at least 1");
        } else if (arg == "--levels") {
            std::stringstream list(value());
            for (std::string level; std::getline(list, level, ',');)
                options.Levels.push_back(ParseLevel(level));
        } else if (arg == "--teams") {
            options.Teams = true;
        } else if (arg == "--resign-chance") {
            options.ResignChance = static_cast<std::uint32_t>(ParseToolNumber(value(), "percentage"));
        } else if (arg == "--verbose") {
            options.Verbose = true;
        } else if (arg == "--plain-computer") {
            plainComputer = true;
        } else if (arg == "--plain-sides") {
            std::stringstream list(value());
            for (std::string side; std::getline(list, side, ',');)
                options.PlainSides.push_back(
                    static_cast<std::uint32_t>(ParseToolNumber(side, "side number")));
        } else if (arg == "--stats") {
            options.Stats = true;
        } else {
            return false;
        }
        return true;
    });
    if (plainComputer) {
        options.PlainSides.clear();
        for (std::uint32_t side = 1; side <= options.Sides; ++side) options.PlainSides.push_back(side);
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const BattleOptions options = ParseOptions(argc, argv);
        const std::string problem = LogFolderProblem(options.LogDir);
        if (!problem.empty()) {
            std::cerr << "marevane-battle: battle logs cannot be written to " << ShownFolder(options.LogDir)
                      << ": " << problem << "\n";
            return 2;
        }
        if (options.Seed) SeedRandom(*options.Seed);
        return PlayBattle(options, std::cout);
    } catch (const UsageError& error) {
        if (!*error.what()) {
            std::cout << Usage << std::flush;
            return 0;
        }
        std::cerr << "marevane-battle: " << error.what() << "\n" << Usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "marevane-battle: error: " << error.what() << "\n";
        return 4;
    }
}
