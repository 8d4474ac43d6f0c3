#include "ConsoleGame.h"

#include "model/Random.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

TEST(ConsoleOptions, TakeTheRulesAndRefuseWhatCannotBePlayed)
{
    struct Case {
        std::vector<std::string> args;
        const char* error; // the start of the reason, or null when accepted
    };
    const Case cases[] = {
        {{}, nullptr},
        {{"--size", "3x9", "--sides", "4", "--mission", "0x10000004", "--level", "hard", "--seed", "7"},
         nullptr},
        {{"--level", "-6", "--no-countdown", "--log-dir", "/tmp/x", "--plain-computer"}, nullptr},
        {{"--think-time", "3"}, nullptr},
        {{"--think-time", "0"}, "--think-time takes 1 to 86400"},
        {{"--think-time", "86401"}, "--think-time takes 1 to 86400"},
        {{"--think-time", "1m"}, "invalid think time"},
        {{"--size", "2x5"}, "--size takes 3 to 9"},
        {{"--size", "10x3"}, "--size takes 3 to 9"},
        {{"--size", "5"}, "--size takes RxC"},
        {{"--size", "5x"}, "invalid column count"},
        {{"--size", "-5x5"}, "invalid row count"},
        {{"--sides", "1"}, "--sides takes 2 to 4"},
        {{"--sides", "5"}, "--sides takes 2 to 4"},
        {{"--mission", "0x12345"}, "unknown mission code"},
        {{"--level", "7"}, "invalid level"},
        {{"--seed", "4294967296"}, "--seed takes a 32-bit number"},
        {{"--seed"}, "missing value for --seed"},
        {{"--speed", "3"}, "unknown option --speed"},
        {{"--help"}, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += arg + " ";
        if (c.error == nullptr) {
            EXPECT_NO_THROW(ParseConsoleOptions(c.args)) << joined;
            continue;
        }
        try {
            ParseConsoleOptions(c.args);
            ADD_FAILURE() << joined << "was accepted";
        } catch (const ConsoleUsageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.error, 0), 0u) << joined << ": " << error.what();
        }
    }
}

TEST(ConsoleOptions, ValuesReachTheOptions)
{
    const ConsoleOptions options =
        ParseConsoleOptions({"--size", "4X7", "--sides", "3", "--mission", "0x50000010", "--level", "extreme",
                             "--countdown", "--think-time", "90"});
    EXPECT_EQ(options.Rows, 4u);
    EXPECT_EQ(options.Columns, 7u);
    EXPECT_EQ(options.Sides, 3u);
    EXPECT_EQ(options.Mission, MissionType(0x50000010));
    EXPECT_EQ(options.Level, 30);
    EXPECT_EQ(options.Countdown, true);
    EXPECT_EQ(options.ThinkSeconds, 90u);
    EXPECT_FALSE(options.PlainComputer);
    EXPECT_FALSE(options.Seed.has_value());
}

namespace {

const std::wstring TimeLine = L"現在の残り時間: ";
const std::wstring TimeUp =
    L"時間切れです。このターンは終わりました。入力中のコマンドは使われません。Enter を押してください。";
// Save the cursor, up two lines to the time's line, ..., clear the rest of
// the line, restore the cursor.
const std::wstring Up = L"\x1b"
                        L"7\x1b[2A\r";
const std::wstring Back = L"\x1b[K\x1b"
                          L"8";

} // namespace

TEST(ConsoleCountdown, RedrawsTheTimeAboveThePromptAndLeavesTheInputLineAlone)
{
    CTimer timer(1200000);
    std::wostringstream out;
    std::mutex lock;
    CConsoleCountdown countdown(out, lock, true);

    countdown.OpenPrompt(L"Prompt", timer);
    EXPECT_EQ(out.str(), TimeLine + L"20分\nPrompt\n");
    out.str(L"");
    countdown.Tick(timer);
    EXPECT_EQ(out.str(), L""); // the same text is not drawn again
    timer.SetTimeLimit(65000);
    countdown.Tick(timer);
    EXPECT_EQ(out.str(), Up + TimeLine + L"1分5秒" + Back);

    out.str(L"");
    countdown.ClosePrompt();
    timer.SetTimeLimit(64000);
    countdown.Tick(timer);
    EXPECT_EQ(out.str(), L""); // no prompt, no line of its own to draw on
}

TEST(ConsoleCountdown, TellsTheTimeUpAtOnceAndOnlyOnce)
{
    for (const bool draw : {true, false}) {
        SCOPED_TRACE(draw);
        CTimer timer(1200000);
        std::wostringstream out;
        std::mutex lock;
        CConsoleCountdown countdown(out, lock, draw);
        countdown.OpenPrompt(L"Prompt", timer);
        out.str(L"");

        timer.SetTimeLimit(0);
        countdown.Tick(timer);
        countdown.Tick(timer);
        // Drawn over the time's line; else a line of its own.
        EXPECT_EQ(out.str(), draw ? Up + TimeUp + Back : L"\n" + TimeUp + L"\n");
    }
}

TEST(ConsoleCountdown, UndrawnShowsOnlyThePrompt)
{
    CTimer timer(1200000);
    std::wostringstream out;
    std::mutex lock;
    CConsoleCountdown countdown(out, lock, false);
    countdown.OpenPrompt(L"Prompt", timer);
    timer.SetTimeLimit(65000);
    countdown.Tick(timer);
    EXPECT_EQ(out.str(), L"Prompt\n");
}

namespace {

const std::wstring InputEnded = L"入力が終わりました。対戦を終了します。";
const std::wstring Interrupted = L"中断の指示を受けました。対戦を終了します。";
const std::wstring LogSaved = L"ログファイル: ";
const std::wstring LogFailed = L"ログファイルを書き込めませんでした: ";

// Set-up, an unknown command and a refused reinforcement, then commands
// over and over and a resignation.
std::wstring Script()
{
    std::wstring script = L"yes\nTester\ny\n11\n22\n33\nyes\nx\nf 1 1 1\n";
    for (int i = 0; i < 40; ++i) script += L"a 1 s 1\nm 1 e 1\nt 3 1 1\nl 1 2 2\n";
    return script + L"r I give up\n";
}

struct GameRun {
    int Status = -1;
    std::wstring Out;
};

GameRun PlayGame(const std::wstring& script, const QString& logDir, InterruptionCheck interrupted = {})
{
    SeedRandom(7);
    ConsoleOptions options;
    options.Rows = 3;
    options.Columns = 3;
    options.LogDir = logDir;
    options.Countdown = false;
    options.Pauses = false;
    std::wistringstream in(script);
    std::wostringstream out;
    GameRun run;
    run.Status = RunConsoleGame(options, in, out, std::move(interrupted));
    run.Out = out.str();
    return run;
}

QStringList LogsIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("Marevane-*.log")}, QDir::Files);
}

bool Has(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

} // namespace

TEST(ConsoleGame, AWholeBattleEndsWithItsLogSaved)
{
    QTemporaryDir folder;
    const GameRun run = PlayGame(Script(), folder.path());
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(Has(run.Out, L"Verdict: "));
    ASSERT_EQ(LogsIn(folder.path()).size(), 1);
    EXPECT_TRUE(Has(run.Out, LogSaved + folder.path().toStdWString() + L"/Marevane-"));
}

TEST(ConsoleGame, RefusedCommandsSayWhy)
{
    QTemporaryDir folder;
    const GameRun run = PlayGame(Script(), folder.path());
    EXPECT_TRUE(Has(run.Out, L"\nInput of command type is invalid.\nコマンドを再入力してください。\n"));
    // A reinforcement refusal has no text of its own: its meaning stands in.
    EXPECT_TRUE(Has(run.Out, L"\nReinforce: ")) << "no reason for the refused reinforcement";
}

// The interruption is asked for before every decision; the battle begins
// after the computer side's set-up asked once.
TEST(ConsoleGame, AnInterruptionSavesTheLogOfABegunBattle)
{
    struct Case {
        int asksBeforeTheSignal;
        bool logSaved;
    };
    for (const Case& c : {Case{0, false}, Case{4, true}}) {
        SCOPED_TRACE(c.asksBeforeTheSignal);
        QTemporaryDir folder;
        int asks = 0;
        const GameRun run =
            PlayGame(Script(), folder.path(), [&] { return asks++ < c.asksBeforeTheSignal ? 0 : 2; });
        EXPECT_EQ(run.Status, ExitInterrupted);
        EXPECT_TRUE(Has(run.Out, Interrupted));
        EXPECT_FALSE(Has(run.Out, InputEnded));
        EXPECT_FALSE(Has(run.Out, L"Verdict: "));
        EXPECT_EQ(LogsIn(folder.path()).size(), c.logSaved ? 1 : 0);
        EXPECT_EQ(Has(run.Out, LogSaved + folder.path().toStdWString()), c.logSaved);
    }
}

TEST(ConsoleGame, InputEndingInTheBattleSavesTheLogSoFar)
{
    QTemporaryDir folder;
    const GameRun run = PlayGame(L"yes\nTester\ny\n11\n22\n33\nyes\n", folder.path());
    EXPECT_EQ(run.Status, ExitInputEnded);
    EXPECT_TRUE(Has(run.Out, InputEnded));
    EXPECT_EQ(LogsIn(folder.path()).size(), 1);
}

// The folder is checked before the battle; one that goes away during it
// still costs the log, and the player learns where and why.
TEST(ConsoleGame, ALogThatCannotBeSavedIsReportedWithPathAndReason)
{
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/logs");
    ASSERT_TRUE(QDir().mkpath(folder));
    const GameRun run = PlayGame(Script(), folder, [&] {
        QDir(folder).removeRecursively();
        return 0;
    });
    EXPECT_EQ(run.Status, ExitLogNotSaved);
    EXPECT_TRUE(Has(run.Out, L"Verdict: "));
    EXPECT_FALSE(Has(run.Out, LogSaved));
    EXPECT_TRUE(Has(run.Out, LogFailed + folder.toStdWString() + L"/Marevane-")) << "no path";
    EXPECT_TRUE(Has(run.Out, L".log: No such file or directory\n")) << "no reason";
}

TEST(LogFolderCheck, NamesWhatIsWrongWithTheFolder)
{
    QTemporaryDir parent;
    const QString file = parent.path() + QStringLiteral("/file");
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(LogFolderProblem(parent.path()), "");
    EXPECT_EQ(LogFolderProblem(parent.path() + QStringLiteral("/missing")), "No such file or directory");
    EXPECT_EQ(LogFolderProblem(file), "Not a directory");
    EXPECT_EQ(LogFolderProblem(file + QStringLiteral("/below")), "Not a directory");
    EXPECT_EQ(LogFolderProblem(QString()), ""); // the working directory
    EXPECT_EQ(ShownFolder(parent.path() + QStringLiteral("/./x/..")),
              QDir(parent.path()).canonicalPath().toStdString());
}
