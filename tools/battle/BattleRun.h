// One computer-only battle played in memory, as marevane-battle and the
// benchmark play it: every side is a computer side, the host's turn manager
// is driven in the order the battle screens drive it, and think time is
// off, so a seed fixes the whole battle and its log file.
#pragma once

#include "model/Mission.h"
#include "model/Records.h"
#include "model/Types.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace Marevane {

struct BattleOptions {
    std::uint32_t Sides = 2;
    std::uint32_t Rows = 5;
    std::uint32_t Columns = 5;
    MissionType Mission = MissionSeaControl;
    std::uint32_t Rule = GameModeVersus | GameModeSingle;
    std::optional<std::uint32_t> Seed;
    QString LogDir;
    std::uint32_t MaxRounds = 200;
    std::vector<std::int32_t> Levels;
    bool Teams = false;
    std::uint32_t ResignChance = 1;
    bool Verbose = false;
    // Sides (1-based) that play the plain brain; the rest play the computer
    // opponent.
    std::vector<std::uint32_t> PlainSides;
    bool Stats = false;
};

struct BattleStats {
    std::uint64_t Decisions = 0;
    std::chrono::steady_clock::duration ThinkTime{};
    // The process CPU time of each decision in seconds, worker threads
    // included.
    std::vector<double> DecisionCpu;
    std::uint32_t Fallbacks = 0;
    // The computer opponent's fallbacks by reason.
    std::map<std::string, std::uint32_t> Failures;
    std::uint32_t Rounds = 0;
    std::uint32_t Turns = 0;
    std::string Verdict;
    // The winner's side number (1-based, in the order of Levels); 0 when the
    // battle ended undecided or drawn.
    std::uint32_t WinnerSide = 0;
};

// Plays the battle and writes its summary line (and with Stats or Verbose
// more) to `out`. Answers 0, or 3 when the battle or its log went wrong.
// The seed, if any, is the caller's to set.
int PlayBattle(const BattleOptions& options, std::ostream& out, BattleStats* stats = nullptr);

} // namespace Marevane
