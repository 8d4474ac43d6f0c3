// The game as a player meets it: the real program in a folder of its own,
// on an X display, driven by keyboard only through xdotool. Each step waits
// for the window to change and settle, and leaves a screenshot under the
// build folder: the menus, a fleet placed by keys, a battle given up on the
// first turn, the result with its saved log, and the way back to the title.
#include "tests/screens/kit/ProgramDriver.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

using Marevane::Testing::DarkShare;
using Marevane::Testing::ProgramDriver;

// Share of warm pixels, in percent: the title's sunset has many, the
// screens of a battle next to none.
int WarmShare(const QImage& image)
{
    int warm = 0;
    int all = 0;
    for (int y = 40; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8) {
            const QRgb pixel = image.pixel(x, y);
            ++all;
            if (qRed(pixel) > qBlue(pixel) + 60) ++warm;
        }
    }
    return all == 0 ? 0 : warm * 100 / all;
}

class MenuFlowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(game.Start()); }

    // The focused card taken with Return, the map's pointer moved by one key
    // (a small change), the ship placed with Return. The sea is drawn anew
    // each run and may hide a reef on the pointed panel: the map leaves it
    // out of the highlight and refuses it with a notice, so the pointer goes
    // one panel right, as a player would move on, and Return is tried there.
    ::testing::AssertionResult PlaceShip(const QString& pointerKey, const QString& name)
    {
        if (auto chosen = game.Step({QStringLiteral("Return")}, name + QStringLiteral("-chosen")); !chosen)
            return chosen;
        QString key = pointerKey;
        for (int attempt = 1; attempt <= 4; ++attempt) {
            const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
            if (auto pointed = game.Step({key}, name + QStringLiteral("-pointed") + suffix, 20000, 200);
                !pointed)
                return pointed;
            const QImage before = game.Shown();
            game.Keys({QStringLiteral("Return")});
            if (game.WaitForChange(5000) && game.WaitForStill(800) &&
                Marevane::Testing::PictureDifference(game.Shown(), before) > 1500) {
                if (attempt > 1)
                    std::cout << "the " << name.toStdString() << " went " << attempt - 1
                              << " panel(s) right of a refused one" << std::endl;
                game.Shot(name + QStringLiteral("-placed"));
                return ::testing::AssertionSuccess();
            }
            game.Shot(name + QStringLiteral("-refused") + suffix);
            key = QStringLiteral("Right");
        }
        return ::testing::AssertionFailure() << "the map did not place the " << name.toStdString();
    }

    // Number 1 opens the first ship's menu on the player's turn; before it,
    // the map only notes that no command can be given now.
    ::testing::AssertionResult OpenFirstShipMenu(int timeoutMs = 30000)
    {
        const int windows = static_cast<int>(game.VisibleWindows().size());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            game.Keys({QStringLiteral("1")});
            if (QTest::qWaitFor([&] { return game.VisibleWindows().size() > windows; }, 1500))
                return ::testing::AssertionSuccess();
        }
        game.Grab().save(game.ShotPath(QStringLiteral("20-ship-menu-timeout")));
        return ::testing::AssertionFailure() << "the ship's menu did not open";
    }

    QStringList LogFiles() const
    {
        return QDir(game.LogFolder()).entryList({QStringLiteral("Marevane-*.log")}, QDir::Files, QDir::Name);
    }

    ProgramDriver game{QStringLiteral(MAREVANE_PROGRAM), QStringLiteral(MAREVANE_SHOT_DIR)};
};

TEST_F(MenuFlowTest, FromTheTitleThroughABattleBackToTheTitleAndOutThroughTheSystemMenu)
{
    game.Shot(QStringLiteral("01-title"));
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("02-modes")));
    ASSERT_TRUE(game.Step({QStringLiteral("Down")}, QStringLiteral("03-versus-focused")));
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("04-versus")));
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("05-player-settings")));
    game.TypeText(QStringLiteral("Tester"));
    ASSERT_TRUE(game.WaitForSettled());
    game.Shot(QStringLiteral("06-name"));
    // Return in the name box is Next.
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("07-rule-settings")));
    // From the computer level past the rows and the first buttons to Next.
    QStringList tabs;
    for (int i = 0; i < 8; ++i) tabs << QStringLiteral("Tab");
    game.Keys(tabs);
    ASSERT_TRUE(game.WaitForSettled());
    game.Shot(QStringLiteral("08-rule-settings-next"));
    ASSERT_TRUE(game.Step({QStringLiteral("space")}, QStringLiteral("09-fleet-formation")));
    // The fleet formation has the help pane at the bottom right, in the deep panel colour.
    const QImage& shown = game.Shown();
    const QColor help(shown.pixel(shown.width() - 20, shown.height() - 20));
    EXPECT_LT(std::abs(help.red() - 5) + std::abs(help.green() - 40) + std::abs(help.blue() - 120), 20)
        << help.name().toStdString();

    // Three ships down the first column of the 5 by 5 sea (a hidden reef
    // moves one a column right): the first arrow puts the pointer on R1C1,
    // Down moves it a row. After each ship the list has the keyboard again.
    ASSERT_TRUE(game.Step({QStringLiteral("Down")}, QStringLiteral("10-destroyer-card")));
    ASSERT_TRUE(game.Step({QStringLiteral("Up")}, QStringLiteral("11-battleship-card")));
    ASSERT_TRUE(PlaceShip(QStringLiteral("Right"), QStringLiteral("12-battleship")));
    ASSERT_TRUE(game.Step({QStringLiteral("Down")}, QStringLiteral("13-destroyer-card")));
    ASSERT_TRUE(PlaceShip(QStringLiteral("Down"), QStringLiteral("14-destroyer")));
    ASSERT_TRUE(game.Step({QStringLiteral("Down")}, QStringLiteral("15-submarine-card")));
    ASSERT_TRUE(PlaceShip(QStringLiteral("Down"), QStringLiteral("16-submarine")));
    // Return is OK once the fleet is full, then "Yes".
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("17-fleet-question")));
    game.Keys({QStringLiteral("Return")});
    // The battle asks for its start and waits.
    ASSERT_TRUE(game.WaitForChange());
    ASSERT_TRUE(game.WaitForStill(1000));
    game.Shot(QStringLiteral("18-start-question"));
    ASSERT_TRUE(game.Step({QStringLiteral("Return")}, QStringLiteral("19-battle")));

    // The computer may move first; then the first ship's menu, Resign, Yes.
    ASSERT_TRUE(OpenFirstShipMenu());
    ASSERT_TRUE(game.WaitForSettled());
    game.Shot(QStringLiteral("20-ship-menu"));
    ASSERT_TRUE(game.Step({QStringLiteral("r")}, QStringLiteral("21-resign-question")));
    game.Keys({QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([this] { return DarkShare(game.Grab()) > 60; }, 20000));
    ASSERT_TRUE(game.WaitForStill(1000));
    game.Shot(QStringLiteral("22-result"));

    // "Save Log" stands before "Replay", which has the focus.
    EXPECT_TRUE(LogFiles().isEmpty());
    game.Keys({QStringLiteral("shift+Tab")});
    ASSERT_TRUE(game.Step({QStringLiteral("space")}, QStringLiteral("23-log-saved"), 20000, 200));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !LogFiles().isEmpty(); }, 10000));
    // The saved button gives the focus on to "Replay"; "Exit" is next.
    game.Keys({QStringLiteral("Tab"), QStringLiteral("space")});
    const bool isTitle = QTest::qWaitFor([this] { return WarmShare(game.Grab()) >= 2; }, 20000);
    if (!isTitle) game.Grab().save(game.ShotPath(QStringLiteral("24-title-again-timeout")));
    ASSERT_TRUE(isTitle) << "warm share " << WarmShare(game.Grab());
    ASSERT_TRUE(game.WaitForSettled());
    game.Shot(QStringLiteral("24-title-again"));

    // Out through the System menu: Quit, then Yes.
    ASSERT_TRUE(game.Step({QStringLiteral("alt+s")}, QStringLiteral("25-system-menu")));
    game.Keys({QStringLiteral("q")});
    const QString question = game.FindWindow(QStringLiteral("^Quit Marevane$"));
    ASSERT_FALSE(question.isEmpty());
    QTest::qWait(300);
    game.Grab().save(game.ShotPath(QStringLiteral("26-quit-question")));
    game.Keys({QStringLiteral("alt+y")});
    EXPECT_TRUE(game.WaitForExit());
    EXPECT_TRUE(game.StandardErrorFaults().isEmpty()) << game.StandardError().toStdString();

    // One log, named by its time, telling the battle and both statistics.
    const QStringList logs = LogFiles();
    ASSERT_EQ(logs.size(), 1) << logs.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Marevane-\\d{14}\\.log$")).match(logs.front()).hasMatch())
        << logs.front().toStdString();
    const QString text = ProgramDriver::ReadFile(QDir(game.LogFolder()).filePath(logs.front()));
    for (const char* part : {"Tester", "COM", "Tester resigned.", "Battle End:", " wins!",
                             "<<The Current Battle Statistics>>", "<<The All Play Statistics>>"})
        EXPECT_TRUE(text.contains(QLatin1String(part))) << part << "\n" << text.toStdString();
    for (const char* block : {"[Tester's Battle Statistics]", "[COM's Battle Statistics]"})
        EXPECT_EQ(text.count(QLatin1String(block)), 2) << block;
}

} // namespace

int main(int argc, char** argv)
{
    ProgramDriver::PlatformForTests();
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
