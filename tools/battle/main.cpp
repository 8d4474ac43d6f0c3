// marevane-battle: plays one battle in memory, without a screen, and prints
// the verdict. A test and benchmark tool: every side is a computer side,
// the host's turn manager is driven in the order the battle screens drive
// it, and think time is off, so a seed fixes the whole battle and its log
// file.
#include "HostBattlePlay.h"
#include "ToolOptions.h"

#include "ai/ComputerPlayer.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/Mission.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>
#include <optional>
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
    "  --stats            print decisions, their think time and the brain's fallbacks\n";

struct Options {
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
    bool PlainComputer = false;
    std::vector<std::uint32_t> PlainSides;
    bool Stats = false;
};

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

Options ParseOptions(int argc, char** argv)
{
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    ReadToolOptions(args, [&options](const std::string& arg, const ToolOptionValue& value) {
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
            options.PlainComputer = true;
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
    return options;
}

std::string Hex(std::uint32_t value)
{
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

std::string Narrow(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

// A farewell of 1 to 25 characters, so that every farewell class shows up.
std::wstring MakeFarewell()
{
    static const std::wstring words = L"Fair winds and following seas, my friends";
    const std::uint32_t length = RandomUInt(1, 25);
    return words.substr(0, length);
}

class CBattle {
  public:
    explicit CBattle(const Options& options)
        : m_options(options), m_shipFactory(&m_board, &m_rules), m_unitFactory(&m_board, &m_rules)
    {
    }

    int Run();

  private:
    void SetUp();
    void PlaceFleet(CUnit& unit);
    void Decide(CUnit& unit, MessageCode lastCode);
    bool IsLastTurnOfCap() const;

    Options m_options;
    // Decisions, their think time and the full brain's fallbacks by reason.
    std::uint64_t m_decisions = 0;
    std::chrono::steady_clock::duration m_thinkTime{};
    std::map<std::string, std::uint32_t> m_failures;
    std::uint32_t m_fallbacks = 0;
    CGameEdit m_rules;
    CBoard m_board;
    CShipFactory m_shipFactory;
    CUnitFactory m_unitFactory;
    CLogger m_logger;
    CGUITurnManagerOnServer m_manager{nullptr};
    std::vector<CUnit*> m_units;
    std::uint32_t m_refusals = 0;
};

void CBattle::SetUp()
{
    m_rules.SetRule(m_options.Rule, MapPos(m_options.Rows, m_options.Columns));
    GameEditInfo& info = m_rules.GetInfo();
    info.PlayerCount = m_options.Sides;
    info.Mission = m_options.Mission;
    m_rules.UpdateDerivedSettings();
    m_board.Build(info.Map);

    for (std::uint32_t i = 0; i < m_options.Sides; ++i) {
        const std::int32_t level = i < m_options.Levels.size() ? m_options.Levels[i] : 0;
        const std::wstring name = L"COM" + std::to_wstring(i + 1);
        // The brain comes from the factory installed when the unit is made.
        const bool plain = m_options.PlainComputer ||
                           std::count(m_options.PlainSides.begin(), m_options.PlainSides.end(), i + 1) != 0;
        if (plain) {
            ComputerAI::UninstallComputerAI();
        } else {
            ComputerAI::InstallComputerAI();
        }
        m_units.push_back(m_unitFactory.CreateComputerUnit(0, name, level));
    }
    if (m_options.Teams) {
        // Sides 1 and 3 against sides 2 and 4, as far as there are sides.
        for (std::size_t i = 0; i < 2 && i + 2 < m_units.size(); ++i) m_units[i]->JoinTeam(*m_units[i + 2]);
    }
    for (CUnit* unit : m_units) PlaceFleet(*unit);
}

void CBattle::PlaceFleet(CUnit& unit)
{
    const GameEditInfo& info = m_rules.GetInfo();
    unit.SetReinforcementsLeft(info.IsReinforcementAllowed ? info.ReserveFleetSize : 0);
    for (std::uint32_t k = 0; k < info.FleetSize; ++k) {
        // An oiler never leads a fleet.
        const auto type =
            static_cast<ShipType>(RandomUInt(ShipTypeBattleship, k == 0 ? ShipTypeSubmarine : ShipTypeOiler));
        for (int attempt = 0; attempt < 100; ++attempt) {
            const MapPos pos =
                attempt < 50 ? unit.ChooseShipPosition(type)
                             : MapPos(RandomUInt(1, m_board.GetRows()), RandomUInt(1, m_board.GetColumns()));
            CPanel* panel = m_board.GetSeaPanel(pos);
            if (!panel || !panel->IsPassable() || !m_shipFactory.IsPanelFree(&unit, 0, panel)) continue;
            try {
                m_shipFactory.CreateShip(&unit, type, panel);
                break;
            } catch (const std::range_error&) {
                // Taken after all; draw again.
            }
        }
    }
    unit.ChooseFlagship();
    if (!unit.HasFlagship() && !unit.GetShips().empty()) unit.SetFlagship(unit.GetShips().begin()->first);
}

bool CBattle::IsLastTurnOfCap() const
{
    const PlayOrder& order = m_manager.GetPlayOrder();
    return order.Round >= m_options.MaxRounds && order.Position >= m_manager.GetTurnOrder().size();
}

void CBattle::Decide(CUnit& unit, MessageCode lastCode)
{
    m_refusals = lastCode == 51 ? 0 : m_refusals + 1;
    if (RandomChance(m_options.ResignChance)) {
        CommandInput resign;
        resign.Command = CommandResign;
        resign.Text = MakeFarewell();
        unit.SetCommandInput(resign);
    } else if (m_refusals >= 100) {
        // A side that keeps being refused passes.
        CommandInput pass;
        pass.Command = CommandPass;
        pass.Direction = DirectionNorth;
        unit.SetCommandInput(pass);
    } else {
        const auto start = std::chrono::steady_clock::now();
        unit.DecideCommand();
        m_thinkTime += std::chrono::steady_clock::now() - start;
        ++m_decisions;
        auto* brain = dynamic_cast<ComputerAI::CComputerPlayer*>(unit.GetBrain());
        if (brain != nullptr && !brain->GetLastFailure().empty()) {
            ++m_fallbacks;
            ++m_failures[brain->GetLastFailure()];
        }
    }
}

int CBattle::Run()
{
    SetUp();
    CResultManager& results = CResultManager::GetInstance();
    SetUpHostManager(m_manager, m_units, m_rules, m_board, m_unitFactory, m_shipFactory, m_logger);

    CHostBattlePlay::Hooks hooks;
    hooks.Decide = [this](CUnit& unit, MessageCode lastCode) { Decide(unit, lastCode); };
    hooks.Acted = [this](CUnit&, MessageCode) {
        if (m_options.Verbose) std::cout << m_logger->GetLogText(1).toStdString() << "\n";
    };
    hooks.IsCapped = [this] { return IsLastTurnOfCap(); };
    CHostBattlePlay play(m_manager, hooks);
    play.Run();

    const bool saved = m_logger->SaveLogFile(QStringLiteral("Marevane"), m_options.LogDir);
    const QString path = m_logger->GetSavedPath();
    const bool named =
        QRegularExpression(QStringLiteral("(^|/)Marevane-\\d{14}(-\\d+)?\\.log$")).match(path).hasMatch();
    const PlayOrder& order = m_manager.GetPlayOrder();
    const char* envSeed = std::getenv("MAREVANE_SEED");
    const std::string seed =
        m_options.Seed ? std::to_string(*m_options.Seed) : (envSeed && *envSeed ? envSeed : "-");
    std::cout << "seed=" << seed << " sides=" << m_units.size() << " size=" << m_board.GetRows() << "x"
              << m_board.GetColumns() << " mission=" << Hex(m_rules.GetInfo().Mission)
              << " rule=" << Hex(m_rules.GetInfo().Rule) << " rounds=" << order.Round
              << " turns=" << play.GetTurns() << " records=" << results.GetLogCount() << " verdict=\""
              << Narrow(play.GetVerdictText(m_options.MaxRounds)) << "\" log=" << path.toStdString() << "\n";

    int status = 0;
    if (!play.HasEnded()) {
        std::cerr << "error: the battle stopped without an end\n";
        status = 3;
    }
    if (results.GetLogCount() != play.GetTurns()) {
        std::cerr << "error: " << results.GetLogCount() << " result records for " << play.GetTurns()
                  << " turns\n";
        status = 3;
    }
    if (!saved || !named) {
        std::cerr << "error: the log file was not written as Marevane-<14 digits>.log\n";
        status = 3;
    }
    if (m_options.Stats) {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(m_thinkTime).count();
        std::cout << "decisions=" << m_decisions << " think-us=" << micros << " fallbacks=" << m_fallbacks
                  << "\n";
        for (const auto& [text, count] : m_failures)
            std::cout << "fallback " << count << "x: " << text << "\n";
    }
    if (m_options.Verbose && play.GetOtherResults())
        std::cout << play.GetOtherResults() << " results carried on as success\n";
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const Options options = ParseOptions(argc, argv);
        if (options.Seed) SeedRandom(*options.Seed);
        CBattle battle(options);
        return battle.Run();
    } catch (const UsageError& error) {
        if (*error.what()) std::cerr << "marevane-battle: " << error.what() << "\n";
        std::cerr << Usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "marevane-battle: error: " << error.what() << "\n";
        return 4;
    }
}
