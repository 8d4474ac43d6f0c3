#include "BattleRun.h"

#include "HostBattlePlay.h"
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
#include <ctime>
#include <exception>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace Marevane {

namespace {

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

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
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
    CBattle(const BattleOptions& options, std::ostream& out)
        : m_options(options), m_out(out), m_shipFactory(&m_board, &m_rules), m_unitFactory(&m_board, &m_rules)
    {
    }

    int Run();
    const BattleStats& GetStats() const { return m_stats; }

  private:
    void SetUp();
    void PlaceFleet(CUnit& unit);
    void Decide(CUnit& unit, MessageCode lastCode);
    bool IsLastTurnOfCap() const;

    BattleOptions m_options;
    // Decisions, their think time and the full brain's fallbacks by reason.
    std::ostream& m_out;
    CGameEdit m_rules;
    CBoard m_board;
    CShipFactory m_shipFactory;
    CUnitFactory m_unitFactory;
    CLogger m_logger;
    CGUITurnManagerOnServer m_manager{nullptr};
    std::vector<CUnit*> m_units;
    std::uint32_t m_refusals = 0;
    BattleStats m_stats;
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
        const bool plain = std::count(m_options.PlainSides.begin(), m_options.PlainSides.end(), i + 1) != 0;
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
    // As the fleet set-up does: a flagship only where flagships decide.
    if (HasAllBits(info.Mission, MissionFlagship)) unit.ChooseFlagship();
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
        const double cpuStart = ProcessCpuSeconds();
        unit.DecideCommand();
        m_stats.DecisionCpu.push_back(ProcessCpuSeconds() - cpuStart);
        m_stats.ThinkTime += std::chrono::steady_clock::now() - start;
        ++m_stats.Decisions;
        auto* brain = dynamic_cast<ComputerAI::CComputerPlayer*>(unit.GetBrain());
        if (brain != nullptr && !brain->GetLastFailure().empty()) {
            ++m_stats.Fallbacks;
            ++m_stats.Failures[brain->GetLastFailure()];
        }
    }
}

int CBattle::Run()
{
    CResultManager& results = CResultManager::GetInstance();
    // The records of an earlier battle in this process.
    results.Clear();
    SetUp();
    SetUpHostManager(m_manager, m_units, m_rules, m_board, m_unitFactory, m_shipFactory, m_logger);

    CHostBattlePlay::Hooks hooks;
    hooks.Decide = [this](CUnit& unit, MessageCode lastCode) { Decide(unit, lastCode); };
    hooks.Acted = [this](CUnit&, MessageCode) {
        if (m_options.Verbose) m_out << m_logger->GetLogText(1).toStdString() << "\n";
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
    m_out << "seed=" << seed << " sides=" << m_units.size() << " size=" << m_board.GetRows() << "x"
          << m_board.GetColumns() << " mission=" << Hex(m_rules.GetInfo().Mission)
          << " rule=" << Hex(m_rules.GetInfo().Rule) << " rounds=" << order.Round
          << " turns=" << play.GetTurns() << " records=" << results.GetLogCount() << " verdict=\""
          << Narrow(play.GetVerdictText(m_options.MaxRounds)) << "\" log=" << path.toStdString() << "\n";

    m_stats.Rounds = order.Round;
    m_stats.Turns = play.GetTurns();
    m_stats.Verdict = Narrow(play.GetVerdictText(m_options.MaxRounds));
    const CUnit* winner = play.GetWinner();
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        if (m_units[i] == winner) m_stats.WinnerSide = static_cast<std::uint32_t>(i + 1);
    }
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
    if (!saved) {
        std::cerr << "error: the battle log could not be saved: " << m_logger->GetSaveError().toStdString()
                  << "\n";
        status = 3;
    } else if (!named) {
        std::cerr << "error: the log file was not written as Marevane-<14 digits>.log\n";
        status = 3;
    }
    if (m_options.Stats) {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(m_stats.ThinkTime).count();
        m_out << "decisions=" << m_stats.Decisions << " think-us=" << micros
              << " fallbacks=" << m_stats.Fallbacks << "\n";
        for (const auto& [text, count] : m_stats.Failures)
            m_out << "fallback " << count << "x: " << text << "\n";
    }
    if (m_options.Verbose && play.GetOtherResults())
        m_out << play.GetOtherResults() << " results carried on as success\n";
    return status;
}

} // namespace

int PlayBattle(const BattleOptions& options, std::ostream& out, BattleStats* stats)
{
    CBattle battle(options, out);
    const int status = battle.Run();
    if (stats != nullptr) *stats = battle.GetStats();
    return status;
}

} // namespace Marevane
