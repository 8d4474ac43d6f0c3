// marevane-golden-battles: plays a fixed table of seeded computer-only battles
// (3 by 3 to 9 by 9, two to four sides, every mission code in turn, every
// strength) and compares each battle's log with a recorded fingerprint: its
// length and SHA-256, with the round and turn counts. A change to the
// computer's speed must leave every decision, so every log byte, as it was.
//   marevane-golden-battles --record FILE
//   marevane-golden-battles --check FILE [--part K/N] [--threads T] [--dump DIR]
// --part plays the battles whose index is K modulo N; --threads gives the
// computer's tasks T worker threads that take part in every batch (the
// result must not depend on it);
// --dump keeps the logs.
// The seed of each battle goes through MAREVANE_SEED, as a replay sets it.
#include "BattleRun.h"

#include "ai/TaskPool.h"
#include "model/Mission.h"
#include "model/Random.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

constexpr std::uint32_t BattleCount = 66;
const std::int32_t Levels[] = {-10, -6, 0, 10, 16, 30};

// Sizes run through 3..9 in both directions; the strongest level turns up
// on the big maps too, so the slow paths are covered.
BattleOptions OptionsFor(std::uint32_t index)
{
    const std::vector<MissionType>& missions = GetMissionCodes();
    BattleOptions options;
    options.Seed = 7000 + index;
    options.Sides = 2 + index % 3;
    options.Rows = 3 + index % 7;
    options.Columns = 3 + (index / 7 + index) % 7;
    options.Mission = missions[(index * 5) % missions.size()];
    options.Rule = index % 9 == 4 ? 0x4Cu : 0x0Cu;
    options.Teams = options.Sides == 4 && index % 2 == 0;
    options.MaxRounds = 30;
    options.ResignChance = index % 4 == 3 ? 1 : 0;
    for (std::uint32_t side = 0; side < options.Sides; ++side)
        options.Levels.push_back(Levels[(index + side * (1 + index % 2)) % 6]);
    return options;
}

std::string Describe(std::uint32_t index, const BattleOptions& options)
{
    std::ostringstream out;
    out << index << " seed=" << *options.Seed << " sides=" << options.Sides << " size=" << options.Rows << "x"
        << options.Columns << " mission=0x" << std::hex << options.Mission << " rule=0x" << options.Rule
        << std::dec << " teams=" << (options.Teams ? 1 : 0) << " resign=" << options.ResignChance
        << " levels=";
    for (std::size_t i = 0; i < options.Levels.size(); ++i) out << (i ? "," : "") << options.Levels[i];
    return out.str();
}

// The battle's line: its options and the fingerprint of its log; empty when
// the battle went wrong.
std::string PlayAndFingerprint(std::uint32_t index, const QString& dumpDir)
{
    const BattleOptions base = OptionsFor(index);
    QTemporaryDir logs;
    if (!logs.isValid()) return {};
    BattleOptions options = base;
    options.LogDir = logs.path();
    ::setenv("MAREVANE_SEED", std::to_string(*options.Seed).c_str(), 1);
    SeedRandomFromEnvironment();
    std::ostringstream summary;
    BattleStats stats;
    if (PlayBattle(options, summary, &stats) != 0) {
        std::cerr << "battle " << index << " went wrong: " << summary.str();
        return {};
    }
    const QStringList files = QDir(logs.path()).entryList({QStringLiteral("*.log")}, QDir::Files);
    if (files.size() != 1) {
        std::cerr << "battle " << index << ": " << files.size() << " log files\n";
        return {};
    }
    QFile file(logs.path() + QLatin1Char('/') + files.front());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (!dumpDir.isEmpty()) {
        QDir().mkpath(dumpDir);
        QFile copy(dumpDir + QStringLiteral("/%1.log").arg(index));
        if (copy.open(QIODevice::WriteOnly)) copy.write(bytes);
    }
    std::ostringstream line;
    line << Describe(index, base) << " rounds=" << stats.Rounds << " turns=" << stats.Turns
         << " bytes=" << bytes.size()
         << " sha256=" << QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
    return line.str();
}

int Usage()
{
    std::cerr << "usage: marevane-golden-battles --record FILE\n"
                 "       marevane-golden-battles --check FILE [--part K/N] [--threads T] [--dump DIR]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode;
    std::string path;
    std::uint32_t part = 0;
    std::uint32_t parts = 1;
    QString dumpDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--record" || arg == "--check") && i + 1 < argc) {
            mode = arg;
            path = argv[++i];
        } else if (arg == "--part" && i + 1 < argc) {
            const std::string value = argv[++i];
            const auto slash = value.find('/');
            if (slash == std::string::npos) return Usage();
            part = static_cast<std::uint32_t>(std::atoi(value.substr(0, slash).c_str()));
            parts = static_cast<std::uint32_t>(std::atoi(value.substr(slash + 1).c_str()));
            if (parts == 0 || part >= parts) return Usage();
        } else if (arg == "--threads" && i + 1 < argc) {
            ComputerAI::SetTaskWorkerCount(static_cast<std::size_t>(std::atoi(argv[++i])),
                                           std::chrono::microseconds{0});
        } else if (arg == "--dump" && i + 1 < argc) {
            dumpDir = QString::fromStdString(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (mode.empty()) return Usage();

    if (mode == "--record") {
        std::ofstream out(path);
        for (std::uint32_t index = 0; index < BattleCount; ++index) {
            const std::string line = PlayAndFingerprint(index, dumpDir);
            if (line.empty()) return 3;
            out << line << '\n';
            std::cout << line << std::endl;
        }
        return out ? 0 : 4;
    }

    std::ifstream in(path);
    if (!in) {
        std::cerr << "marevane-golden-battles: cannot read " << path << "\n";
        return 4;
    }
    std::map<std::uint32_t, std::string> expected;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) expected[static_cast<std::uint32_t>(std::stoul(line))] = line;
    }
    if (expected.size() != BattleCount) {
        std::cerr << "marevane-golden-battles: " << expected.size() << " recorded battles, expected "
                  << BattleCount << "\n";
        return 1;
    }
    std::uint32_t played = 0;
    std::uint32_t failed = 0;
    for (std::uint32_t index = part; index < BattleCount; index += parts) {
        const std::string line = PlayAndFingerprint(index, dumpDir);
        ++played;
        if (line != expected[index]) {
            ++failed;
            std::cout << "battle " << index << " differs\n  recorded: " << expected[index]
                      << "\n  now:      " << line << "\n";
        }
    }
    std::cout << played - failed << " of " << played << " battles replayed byte for byte\n";
    return failed == 0 ? 0 : 1;
}
