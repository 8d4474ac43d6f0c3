#include "ConsoleGame.h"

#include "HostBattlePlay.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/MessageCodes.h"
#include "model/Mission.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/MessageTexts.h"
#include "session/GUITurnManager.h"
#include "session/PlayerEdit.h"
#include "tools/console/ConsoleInput.h"
#include "tools/console/PlayerEditConsole.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

namespace Marevane {

const char* const ConsoleUsage =
    "usage: marevane-console [--size RxC] [--sides N] [--mission CODE] [--level L] [--seed S]\n"
    "                        [--log-dir DIR] [--countdown | --no-countdown]\n"
    "  --size RxC       map rows and columns, 3 to 9 each (default 5x5)\n"
    "  --sides N        2 to 4 sides: yours and N-1 computer sides (default 2)\n"
    "  --mission CODE   mission code, decimal or 0x-hex (default 0x10000001)\n"
    "  --level L        computer strength: very-easy, easy, normal, hard, very-hard, extreme\n"
    "                   or -10, -6, 0, 10, 16, 30 (default normal)\n"
    "  --seed S         seed of the shared random engine (else MAREVANE_SEED or random)\n"
    "  --log-dir DIR    folder the battle log is written to (default: the settings' log folder)\n"
    "  --countdown      show the remaining think time under the prompt (default: on a terminal)\n"
    "  --no-countdown   never show it\n"
    "Exit status: 0 after a whole battle, 2 for bad options, 3 when the input ended first\n"
    "(the log so far is still written), 4 on an error.\n";

namespace {

const wchar_t* const PreparingText = L"対戦の準備をします。";
const wchar_t* const SideReadyText = L" の艦隊の配置が完了しました。";
const wchar_t* const BattleStartsText = L"対戦開始！";
const wchar_t* const YourTurnText = L" の番です。";
const wchar_t* const InputEndedText = L"入力が終わりました。対戦を終了します。";
const wchar_t* const LogSavedText = L"ログファイル: ";
const wchar_t* const LogFailedText = L"ログファイルを書き込めませんでした。";
const wchar_t* const CountdownText = L"現在の残り時間: ";

// Waits at most this long between two looks at a set-up task.
constexpr unsigned TaskPollMs = 50;

std::int32_t ParseLevel(const std::string& text)
{
    static const std::pair<const char*, std::int32_t> names[] = {
        {"very-easy", ComputerAI::ModeVeryEasy}, {"easy", ComputerAI::ModeEasy},
        {"normal", ComputerAI::ModeNormal},      {"hard", ComputerAI::ModeHard},
        {"very-hard", ComputerAI::ModeVeryHard}, {"extreme", ComputerAI::ModeExtreme},
    };
    for (const auto& [name, level] : names) {
        if (text == name || text == std::to_string(level)) return level;
    }
    throw ConsoleUsageError("invalid level: " + text);
}

std::wstring Wide(const QString& text)
{
    return text.toStdWString();
}

class CConsoleGame {
  public:
    CConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out)
        : m_options(options), m_in(in), m_out(out), m_shipFactory(&m_board, &m_rules),
          m_unitFactory(&m_board, &m_rules)
    {
    }

    int Run();

  private:
    void SetUpRules();
    PlayerEditPauses Pauses() const;
    // Runs a side's two set-up tasks: its unit, then its fleet.
    CUnit* Prepare(CPlayerEdit& edit);
    void CreateSides();
    void Play();
    void Decide(CUnit& unit, MessageCode lastCode);
    void PrintTurn();
    void PrintEnd();
    void SaveLog();
    void Print(const std::wstring& text);

    ConsoleOptions m_options;
    std::wistream& m_in;
    std::wostream& m_out;
    // Kept by the countdown of the local side's timer: outlives the units.
    std::mutex m_outputLock;
    CGameEdit m_rules;
    CBoard m_board;
    CShipFactory m_shipFactory;
    CUnitFactory m_unitFactory;
    CLogger m_logger;
    CGUITurnManagerOnServer m_manager{nullptr};
    std::unique_ptr<CHostBattlePlay> m_play;
    CUnit* m_local = nullptr;
    MessageCode m_lastCode = TurnStarts;
    bool m_started = false;
};

void CConsoleGame::Print(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(m_outputLock);
    m_out << text << std::flush;
}

void CConsoleGame::SetUpRules()
{
    if (m_options.Rows != 0)
        m_rules.SetRule(m_rules.GetInfo().Rule, MapPos(m_options.Rows, m_options.Columns));
    GameEditInfo& info = m_rules.GetInfo();
    info.PlayerCount = m_options.Sides;
    if (m_options.Mission) info.Mission = *m_options.Mission;
    if (m_options.Level) info.ComputerLevel = *m_options.Level;
    m_rules.UpdateDerivedSettings();
    m_board.Build(info.Map);
}

PlayerEditPauses CConsoleGame::Pauses() const
{
    if (m_options.Pauses.value_or(false)) return PlayerEditPauses();
    using std::chrono::milliseconds;
    return PlayerEditPauses{milliseconds(0), milliseconds(0), milliseconds(0)};
}

CUnit* CConsoleGame::Prepare(CPlayerEdit& edit)
{
    CUnit* unit = nullptr;
    for (int task = 0; task < 2; ++task) {
        edit.StartCreateUnit();
        while (!edit.IsUnitCreated(TaskPollMs)) {
        }
        unit = edit.TakeUnit();
    }
    return unit;
}

void CConsoleGame::CreateSides()
{
    {
        CPlayerEditConsole edit(UnitManual, false, m_rules, m_board, m_unitFactory, m_shipFactory, nullptr,
                                UnitProfile(), Pauses());
        edit.SetConsole(m_in, m_out);
        m_local = Prepare(edit);
    }
    m_local->SetCommandReader(MakeConsoleCommandReader([this] { return m_lastCode; }, m_in, m_out));

    const std::uint32_t computers = m_options.Sides - 1;
    for (std::uint32_t i = 1; i <= computers; ++i) {
        UnitProfile profile;
        profile.Name = computers == 1 ? L"COM" : L"COM" + std::to_wstring(i);
        CPlayerEdit edit(UnitAuto, false, m_rules, m_board, m_unitFactory, m_shipFactory, nullptr, profile,
                         Pauses());
        CUnit* unit = Prepare(edit);
        Print(unit->GetProfile().Name + SideReadyText + L"\n");
    }
}

void CConsoleGame::PrintTurn()
{
    const PlayOrder& order = m_manager.GetPlayOrder();
    std::wstring board;
    m_board.ToTurnText(board, m_manager.GetUnits(), m_local);
    Print(L"\n── Round " + std::to_wstring(order.Round) + L"  Turn " + std::to_wstring(order.Position) +
          L": " + m_local->GetProfile().Name + YourTurnText + L" ──\n" + board);
}

void CConsoleGame::Decide(CUnit& unit, MessageCode lastCode)
{
    if (&unit != m_local) {
        unit.DecideCommand();
        return;
    }
    if (lastCode == TurnStarts) PrintTurn();
    if (unit.GetBrain() != nullptr) {
        // Played by the computer: no think time is counted, as for the others.
        unit.DecideCommand();
        return;
    }
    if (lastCode != TurnStarts) {
        // Why the last command was refused, where there are words for it.
        const std::wstring reason = Wide(CGUICore::GetErrorMessage(lastCode));
        if (!reason.empty()) Print(reason + L"\n");
    }
    m_lastCode = lastCode;
    CTimer& timer = unit.GetTimer();
    // Only the turn's first command gets the grace of a short remainder.
    if (lastCode == TurnStarts) {
        timer.Start();
    } else {
        timer.Restart();
    }
    try {
        unit.DecideCommand();
    } catch (...) {
        timer.Stop();
        throw;
    }
    timer.Stop();
    // The countdown wrote over the prompt's line; what follows starts afresh.
    if (m_options.Countdown.value_or(false)) Print(L"\n");
}

void CConsoleGame::Play()
{
    SetUpHostManager(m_manager, m_unitFactory.GetUnits(), m_rules, m_board, m_unitFactory, m_shipFactory,
                     m_logger);

    CHostBattlePlay::Hooks hooks;
    hooks.Started = [this] {
        m_started = true;
        if (m_options.Countdown.value_or(false)) {
            CTimer& timer = m_local->GetTimer();
            timer.LaunchWithCallback(MakeCountdownTick(timer, m_out, m_outputLock));
        }
        Print(std::wstring(L"\n") + BattleStartsText + L"\n");
    };
    hooks.Decide = [this](CUnit& unit, MessageCode lastCode) { Decide(unit, lastCode); };
    hooks.Acted = [this](CUnit&, MessageCode) { Print(Wide(m_logger->GetLogText(1)) + L"\n"); };
    m_play = std::make_unique<CHostBattlePlay>(m_manager, hooks);
    m_play->Run();
}

void CConsoleGame::SaveLog()
{
    const bool saved = m_options.LogDir.isEmpty()
                           ? m_logger->SaveLogFile(QStringLiteral("Marevane"))
                           : m_logger->SaveLogFile(QStringLiteral("Marevane"), m_options.LogDir);
    Print(saved ? LogSavedText + Wide(m_logger->GetSavedPath()) + L"\n"
                : std::wstring(LogFailedText) + L"\n");
}

void CConsoleGame::PrintEnd()
{
    std::wstring text;
    m_board.ToTurnText(text, m_manager.GetUnits(), m_local);
    text = L"\n" + text + Wide(m_logger->GetLogText(1)) + L"\n";
    text += L"Verdict: " + m_play->GetVerdictText() + L"\n";
    Print(text);
}

int CConsoleGame::Run()
{
    try {
        SetUpRules();
        Print(std::wstring(PreparingText) + L"\n");
        CreateSides();
        Play();
        PrintEnd();
        SaveLog();
        return 0;
    } catch (const CConsoleInputEnded&) {
        m_manager.StopTimers();
        Print(std::wstring(L"\n") + InputEndedText + L"\n");
        // What was played so far is not lost.
        if (m_started) SaveLog();
        return ExitInputEnded;
    }
}

} // namespace

ConsoleOptions ParseConsoleOptions(const std::vector<std::string>& args)
{
    ConsoleOptions options;
    ReadToolOptions(args, [&options](const std::string& arg, const ToolOptionValue& value) {
        if (arg == "--size") {
            const MapPos size = ParseMapSize(value());
            options.Rows = size.x;
            options.Columns = size.y;
        } else if (arg == "--sides") {
            options.Sides = ParseSideCount(value());
        } else if (arg == "--mission") {
            const std::string text = value();
            const std::uint64_t code = ParseToolNumber(text, "mission code");
            const auto& codes = GetMissionCodes();
            if (std::find(codes.begin(), codes.end(), code) == codes.end())
                throw ConsoleUsageError("unknown mission code: " + text);
            options.Mission = static_cast<MissionType>(code);
        } else if (arg == "--level") {
            options.Level = ParseLevel(value());
        } else if (arg == "--seed") {
            options.Seed = ParseSeed(value());
        } else if (arg == "--log-dir") {
            options.LogDir = QString::fromStdString(value());
        } else if (arg == "--countdown") {
            options.Countdown = true;
        } else if (arg == "--no-countdown") {
            options.Countdown = false;
        } else {
            return false;
        }
        return true;
    });
    return options;
}

CTimer::TickAction MakeCountdownTick(const CTimer& timer, std::wostream& out, std::mutex& outputLock)
{
    auto shown = std::make_shared<std::wstring>();
    return [&timer, &out, &outputLock, shown] {
        const std::wstring text = timer.GetTimeLimitText();
        if (text == *shown) return;
        *shown = text;
        std::lock_guard<std::mutex> lock(outputLock);
        out << L"\r" << CountdownText << text << L"\u3000" << std::flush;
    };
}

int RunConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out)
{
    CConsoleGame game(options, in, out);
    return game.Run();
}

} // namespace Marevane
