#include "ConsoleGame.h"

#include "HostBattlePlay.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/MessageCodes.h"
#include "model/Mission.h"
#include "model/ResultManager.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/settings/SystemConfig.h"
#include "model/texts/MessageTexts.h"
#include "session/GUITurnManager.h"
#include "session/PlayerEdit.h"
#include "tools/console/ConsoleInput.h"
#include "tools/console/PlayerEditConsole.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

namespace Marevane {

const char* const ConsoleUsage =
    "usage: marevane-console [--size RxC] [--sides N] [--mission CODE] [--level L] [--seed S]\n"
    "                        [--think-time T] [--log-dir DIR] [--countdown | --no-countdown]\n"
    "                        [--plain-computer]\n"
    "  --size RxC       map rows and columns, 3 to 9 each (default 5x5)\n"
    "  --sides N        2 to 4 sides: yours and N-1 computer sides (default 2)\n"
    "  --mission CODE   mission code, decimal or 0x-hex (default 0x10000001)\n"
    "  --level L        computer strength: very-easy, easy, normal, hard, very-hard, extreme\n"
    "                   or -10, -6, 0, 10, 16, 30 (default normal)\n"
    "  --seed S         seed of the shared random engine (else MAREVANE_SEED or random)\n"
    "  --think-time T   each side's think time for the whole battle, 1 to 86400 seconds\n"
    "                   (default 1200)\n"
    "  --log-dir DIR    folder the battle log is written to (default: the settings' log folder,\n"
    "                   else the working directory); checked before the battle starts\n"
    "  --countdown      draw the remaining think time above the prompt even when the input\n"
    "                   is not a terminal (never into output that is not one)\n"
    "  --no-countdown   never draw it; the time running out is still told\n"
    "  --plain-computer computer sides play the plain brain that picks among the allowed\n"
    "                   commands, for comparison with the computer opponent\n"
    "Exit status: 0 after a whole battle with its log saved; 2 for bad options or a log folder\n"
    "that is missing or cannot be written; 3 when the input ended first; 4 on an error; 5 when\n"
    "the battle log could not be saved; 6 when Ctrl-C or SIGTERM stopped the program. With 3\n"
    "and 6 the log of a battle that has begun is saved first.\n";

namespace {

const wchar_t* const PreparingText = L"対戦の準備をします。";
const wchar_t* const SideReadyText = L" の艦隊の配置が完了しました。";
const wchar_t* const BattleStartsText = L"対戦開始！";
const wchar_t* const YourTurnText = L" の番です。";
const wchar_t* const InputEndedText = L"入力が終わりました。対戦を終了します。";
const wchar_t* const InterruptedText = L"中断の指示を受けました。対戦を終了します。";
const wchar_t* const LogSavedText = L"ログファイル: ";
const wchar_t* const LogFailedText = L"ログファイルを書き込めませんでした: ";
const wchar_t* const CountdownText = L"現在の残り時間: ";
const wchar_t* const TimeUpText =
    L"時間切れです。このターンは終わりました。入力中のコマンドは使われません。Enter を押してください。";

// Terminal controls: save and restore the cursor, move it up two lines (from
// the input line to the time's line above the prompt), clear to the line's end.
const wchar_t* const SaveCursor = L"\x1b"
                                  L"7";
const wchar_t* const RestoreCursor = L"\x1b"
                                     L"8";
const wchar_t* const UpToTimeLine = L"\x1b[2A\r";
const wchar_t* const ClearToEnd = L"\x1b[K";

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
    CConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out,
                 InterruptionCheck interrupted)
        : m_options(options), m_in(in), m_out(out), m_interrupted(std::move(interrupted)),
          m_countdown(out, m_outputLock, options.Countdown.value_or(false)),
          m_shipFactory(&m_board, &m_rules), m_unitFactory(&m_board, &m_rules)
    {
    }

    int Run();

  private:
    void SetUpRules();
    PlayerEditPauses Pauses() const;
    // Runs a side's two set-up tasks: its unit, then its fleet.
    CUnit* Prepare(CPlayerEdit& edit);
    void CreateSides();
    void ReadCommand(CUnit& unit);
    void Play();
    void Decide(CUnit& unit, MessageCode lastCode);
    void PrintTurn();
    void PrintEnd();
    bool SaveLog();
    void Print(const std::wstring& text);
    int Interruption() const { return m_interrupted ? m_interrupted() : 0; }

    ConsoleOptions m_options;
    std::wistream& m_in;
    std::wostream& m_out;
    InterruptionCheck m_interrupted;
    // Kept by the countdown of the local side's timer: outlives the units.
    std::mutex m_outputLock;
    CConsoleCountdown m_countdown;
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
    if (m_options.ThinkSeconds) info.TimeLimit = *m_options.ThinkSeconds * 1000u;
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
    m_local->SetCommandReader([this](CUnit& unit) { ReadCommand(unit); });

    const std::uint32_t computers = m_options.Sides - 1;
    for (std::uint32_t i = 1; i <= computers; ++i) {
        if (Interruption() != 0) throw CConsoleInputEnded();
        UnitProfile profile;
        profile.Name = computers == 1 ? L"COM" : L"COM" + std::to_wstring(i);
        CPlayerEdit edit(UnitAuto, false, m_rules, m_board, m_unitFactory, m_shipFactory, nullptr, profile,
                         Pauses());
        CUnit* unit = Prepare(edit);
        Print(unit->GetProfile().Name + SideReadyText + L"\n");
    }
}

// One typed command; a line that was not UTF-8 is shown and asked again.
void CConsoleGame::ReadCommand(CUnit& unit)
{
    for (;;) {
        m_countdown.OpenPrompt(CommandPromptText(m_lastCode), unit.GetTimer());
        std::wstring line;
        bool typed = false;
        try {
            typed = ReadTypedLine(m_in, line);
        } catch (...) {
            m_countdown.ClosePrompt();
            throw;
        }
        m_countdown.ClosePrompt();
        if (typed) {
            unit.SetCommandInput(ParseCommandText(CutCommandLine(line)));
            return;
        }
        Print(BadInputText(line) + L"\n");
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
    // A computer side may think for a while; the stop asked for meanwhile
    // is taken before the next decision.
    if (Interruption() != 0) throw CConsoleInputEnded();
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
    if (lastCode != TurnStarts) Print(Wide(CGUICore::GetRefusalReason(lastCode)) + L"\n");
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
}

void CConsoleGame::Play()
{
    SetUpHostManager(m_manager, m_unitFactory.GetUnits(), m_rules, m_board, m_unitFactory, m_shipFactory,
                     m_logger);

    CHostBattlePlay::Hooks hooks;
    hooks.Started = [this] {
        m_started = true;
        if (m_local->GetBrain() == nullptr) {
            CTimer& timer = m_local->GetTimer();
            timer.LaunchWithCallback([this, &timer] { m_countdown.Tick(timer); });
        }
        Print(std::wstring(L"\n") + BattleStartsText + L"\n");
    };
    hooks.Decide = [this](CUnit& unit, MessageCode lastCode) { Decide(unit, lastCode); };
    hooks.Acted = [this](CUnit&, MessageCode) { Print(Wide(m_logger->GetLogText(1)) + L"\n"); };
    m_play = std::make_unique<CHostBattlePlay>(m_manager, hooks);
    m_play->Run();
}

bool CConsoleGame::SaveLog()
{
    const QString folder = m_options.LogDir.isEmpty()
                               ? QString::fromStdWString(CSystemConfig::GetInstance().LogPath)
                               : m_options.LogDir;
    if (!m_logger->SaveLogFile(QStringLiteral("Marevane"), folder)) {
        Print(LogFailedText + Wide(m_logger->GetSaveError()) + L"\n");
        return false;
    }
    Print(LogSavedText + Wide(QFileInfo(m_logger->GetSavedPath()).absoluteFilePath()) + L"\n");
    return true;
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
    int status = 0;
    // The records of an earlier battle in this process.
    CResultManager::GetInstance().Clear();
    try {
        SetUpRules();
        Print(std::wstring(PreparingText) + L"\n");
        CreateSides();
        Play();
        PrintEnd();
    } catch (const CConsoleInputEnded&) {
        m_manager.StopTimers();
        // An interruption ends the input too; it is told as what it is.
        const bool interrupted = Interruption() != 0;
        Print(std::wstring(L"\n") + (interrupted ? InterruptedText : InputEndedText) + L"\n");
        status = interrupted ? ExitInterrupted : ExitInputEnded;
        // What was played so far is not lost.
        if (!m_started) return status;
    }
    return SaveLog() ? status : ExitLogNotSaved;
}

} // namespace

CConsoleCountdown::CConsoleCountdown(std::wostream& out, std::mutex& outputLock, bool draw)
    : m_out(out), m_lock(outputLock), m_draw(draw)
{
}

void CConsoleCountdown::OpenPrompt(const std::wstring& prompt, const CTimer& timer)
{
    const std::wstring left = timer.GetTimeLimitText();
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_draw) {
        m_out << CountdownText << left << L"\n";
        m_shown = left;
    }
    m_out << prompt << std::endl;
    m_open = true;
    m_timeUpTold = false;
}

void CConsoleCountdown::ClosePrompt()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_open = false;
}

void CConsoleCountdown::Tick(const CTimer& timer)
{
    const bool timeUp = timer.HasLimit() && timer.GetTimeLimit() <= 0;
    const std::wstring left = timer.GetTimeLimitText();
    std::lock_guard<std::mutex> lock(m_lock);
    const bool onTimeLine = m_draw && m_open;
    if (timeUp) {
        if (m_timeUpTold) return;
        m_timeUpTold = true;
        if (onTimeLine) {
            m_out << SaveCursor << UpToTimeLine << TimeUpText << ClearToEnd << RestoreCursor << std::flush;
        } else {
            m_out << L"\n" << TimeUpText << std::endl;
        }
        return;
    }
    if (!onTimeLine || left == m_shown) return;
    m_shown = left;
    m_out << SaveCursor << UpToTimeLine << CountdownText << left << ClearToEnd << RestoreCursor << std::flush;
}

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
        } else if (arg == "--think-time") {
            const std::string text = value();
            const std::uint64_t seconds = ParseToolNumber(text, "think time");
            if (seconds < 1 || seconds > 86400)
                throw ConsoleUsageError("--think-time takes 1 to 86400 seconds");
            options.ThinkSeconds = static_cast<std::uint32_t>(seconds);
        } else if (arg == "--log-dir") {
            options.LogDir = QString::fromStdString(value());
        } else if (arg == "--countdown") {
            options.Countdown = true;
        } else if (arg == "--no-countdown") {
            options.Countdown = false;
        } else if (arg == "--plain-computer") {
            options.PlainComputer = true;
        } else {
            return false;
        }
        return true;
    });
    return options;
}

int RunConsoleGame(const ConsoleOptions& options, std::wistream& in, std::wostream& out,
                   InterruptionCheck interrupted)
{
    CConsoleGame game(options, in, out, std::move(interrupted));
    return game.Run();
}

} // namespace Marevane
