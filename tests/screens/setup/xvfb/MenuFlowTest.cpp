// The game as a player meets it: the real program in a folder of its own,
// on an X display, driven by keyboard only through xdotool. Each step waits
// for the window to change and settle, and leaves a screenshot under the
// build folder. The battle steps join the flow where the menus hand over.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// Runs xdotool with the arguments; answers its output.
QString XDoTool(const QStringList& arguments, int timeoutMs = 15000)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return QString();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

// Pixels that differ between two pictures of the same size (every other one).
int Difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); y += 2) {
        for (int x = 0; x < a.width(); x += 2) {
            if (a.pixel(x, y) != b.pixel(x, y)) ++count;
        }
    }
    return count;
}

// Whether the picture below the menu bar is black all over: a screen change
// or a view not painted yet.
bool IsBlank(const QImage& image)
{
    int dark = 0;
    int all = 0;
    for (int y = 40; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8) {
            const QRgb pixel = image.pixel(x, y);
            ++all;
            if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 40) ++dark;
        }
    }
    return all == 0 || dark * 100 / all >= 97;
}

class MenuFlowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display (xvfb-run)";
        QDir(folder.path()).mkpath(QStringLiteral("logs"));
        QFile ini(folder.filePath(QStringLiteral("Marevane.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[SystemConfig]\nSound=0\nBGM=0\nSE=0\nMuteBGM=true\nMuteSE=true\nOpenGL=true\n"
                  "Animation=true\nLanguage=1\nLogPath=" +
                  folder.filePath(QStringLiteral("logs")).toUtf8() + "\n");
        ini.close();
        QDir().mkpath(QStringLiteral(MAREVANE_SHOT_DIR));

        program.setWorkingDirectory(folder.path());
        program.setStandardErrorFile(folder.filePath(QStringLiteral("stderr.txt")));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MAREVANE_TIME_SCALE"), QStringLiteral("0.25"));
        environment.insert(QStringLiteral("MAREVANE_AUDIO_OUTPUT"), QStringLiteral("dummy"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // Under AddressSanitizer the program's own leaks are checked by the
        // start-and-exit test; here the OpenGL driver, unloaded at exit,
        // leaves blocks that can only be reported as unknown modules.
        if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) +
                                   QStringLiteral(":detect_leaks=0"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MAREVANE_PROGRAM), QStringList());
        ASSERT_TRUE(program.waitForStarted());
        window = XDoTool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--pid"), QString::number(program.processId()),
                          QStringLiteral("--name"), QStringLiteral("^Marevane$")},
                         30000)
                     .section(QLatin1Char('\n'), 0, 0);
        ASSERT_FALSE(window.isEmpty());
        XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        // The pointer rests on the menu bar, away from the screens' rows.
        XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("700"),
                 QStringLiteral("8")});
        ASSERT_TRUE(WaitForSettled());
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    QImage Grab() const
    {
        return QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    }

    // Waits until two pictures 150 ms apart are (nearly) the same and not
    // blank: a blinking text cursor does not count.
    bool WaitForSettled(int timeoutMs = 20000)
    {
        QImage last = Grab();
        return QTest::qWaitFor(
            [this, &last] {
                QThread::msleep(150);
                const QImage now = Grab();
                const bool isSettled = Difference(now, last) < 100 && !IsBlank(now);
                last = now;
                if (isSettled) shown = now;
                return isSettled;
            },
            timeoutMs);
    }

    // Waits until the window shows something else than the last settled
    // picture, then until it settles.
    bool WaitForChange(int timeoutMs = 20000)
    {
        const QImage before = shown;
        if (!QTest::qWaitFor([this, &before] { return Difference(Grab(), before) > 1500; }, timeoutMs))
            return false;
        return WaitForSettled(timeoutMs);
    }

    void Keys(const QStringList& keys)
    {
        QStringList arguments = {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")};
        arguments += keys;
        XDoTool(arguments);
    }

    void TypeText(const QString& text)
    {
        XDoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
    }

    void Shot(const QString& name) const
    {
        shown.save(QStringLiteral(MAREVANE_SHOT_DIR "/") + name + QStringLiteral(".png"));
    }

    // Keys, then the window changes and settles; the picture is saved.
    ::testing::AssertionResult Step(const QStringList& keys, const QString& shot)
    {
        Keys(keys);
        if (!WaitForChange()) {
            Grab().save(QStringLiteral(MAREVANE_SHOT_DIR "/") + shot + QStringLiteral("-timeout.png"));
            return ::testing::AssertionFailure()
                   << "the window did not change after " << keys.join(' ').toStdString();
        }
        Shot(shot);
        return ::testing::AssertionSuccess();
    }

    QString StandardError() const
    {
        QFile file(folder.filePath(QStringLiteral("stderr.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir folder;
    QProcess program;
    QString window;
    QImage shown;
};

TEST_F(MenuFlowTest, FromTheTitleToTheFleetFormationAndOutThroughTheSystemMenu)
{
    Shot(QStringLiteral("01-title"));
    ASSERT_TRUE(Step({QStringLiteral("Return")}, QStringLiteral("02-modes")));
    ASSERT_TRUE(Step({QStringLiteral("Down")}, QStringLiteral("03-versus-focused")));
    ASSERT_TRUE(Step({QStringLiteral("Return")}, QStringLiteral("04-versus")));
    ASSERT_TRUE(Step({QStringLiteral("Return")}, QStringLiteral("05-player-settings")));
    TypeText(QStringLiteral("Tester"));
    ASSERT_TRUE(WaitForSettled());
    Shot(QStringLiteral("06-name"));
    // Return in the name box is Next.
    ASSERT_TRUE(Step({QStringLiteral("Return")}, QStringLiteral("07-rule-settings")));
    // From the computer level past the rows and the first buttons to Next.
    QStringList tabs;
    for (int i = 0; i < 8; ++i) tabs << QStringLiteral("Tab");
    Keys(tabs);
    ASSERT_TRUE(WaitForSettled());
    Shot(QStringLiteral("08-rule-settings-next"));
    ASSERT_TRUE(Step({QStringLiteral("space")}, QStringLiteral("09-fleet-formation")));
    // The fleet formation has the help pane at the bottom right, in the deep panel colour.
    const QColor help(shown.pixel(shown.width() - 20, shown.height() - 20));
    EXPECT_LT(std::abs(help.red() - 5) + std::abs(help.green() - 40) + std::abs(help.blue() - 120), 20)
        << help.name().toStdString();

    // Out through the System menu: Quit, then Yes.
    ASSERT_TRUE(Step({QStringLiteral("alt+s")}, QStringLiteral("10-system-menu")));
    Keys({QStringLiteral("q")});
    const QString question =
        XDoTool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), QStringLiteral("^Quit Marevane$")},
                20000);
    ASSERT_FALSE(question.isEmpty());
    QTest::qWait(300);
    Grab().save(QStringLiteral(MAREVANE_SHOT_DIR "/11-quit-question.png"));
    Keys({QStringLiteral("alt+y")});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const QString errors = StandardError();
    for (const char* bad : {"QThread: Destroyed", "ASSERT", "terminate"})
        EXPECT_FALSE(errors.contains(QLatin1String(bad))) << bad << "\n" << errors.toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    // The test grabs the program's window from the same display; without
    // one (listing the tests at build time) it starts offscreen.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
