// The game as a player meets it: the real program in a folder of its own,
// on an X display, driven by keyboard only through xdotool. Each step waits
// for the window to change and settle, and leaves a screenshot under the
// build folder. The battle steps join the flow where the menus hand over.
#include "tests/screens/kit/ProgramDriver.h"

#include <QColor>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Marevane::Testing::ProgramDriver;

class MenuFlowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(game.Start()); }

    ProgramDriver game{QStringLiteral(MAREVANE_PROGRAM), QStringLiteral(MAREVANE_SHOT_DIR)};
};

TEST_F(MenuFlowTest, FromTheTitleToTheFleetFormationAndOutThroughTheSystemMenu)
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

    // Out through the System menu: Quit, then Yes.
    ASSERT_TRUE(game.Step({QStringLiteral("alt+s")}, QStringLiteral("10-system-menu")));
    game.Keys({QStringLiteral("q")});
    const QString question = game.FindWindow(QStringLiteral("^Quit Marevane$"));
    ASSERT_FALSE(question.isEmpty());
    QTest::qWait(300);
    game.Grab().save(game.ShotPath(QStringLiteral("11-quit-question")));
    game.Keys({QStringLiteral("alt+y")});
    EXPECT_TRUE(game.WaitForExit());
    EXPECT_TRUE(game.StandardErrorFaults().isEmpty()) << game.StandardError().toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    ProgramDriver::PlatformForTests();
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
