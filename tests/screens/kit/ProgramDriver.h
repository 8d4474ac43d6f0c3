// The real game program driven from outside, as a player meets it: one
// instance in a folder of its own (its "Marevane.ini" with sound off and a
// log folder, its XDG folders), on the X display of the test, with keys
// sent through xdotool and its window grabbed to see what it shows.
//
// Several instances can run at once on one display: each finds its window
// by its process id. Keys go to the window that has the focus, so a test
// driving several programs calls Focus() before it types into one.
//
// Header-only, on Qt5::Gui and gtest; the test program needs a
// QGuiApplication on the same display (see ProgramDriver::PlatformForTests).
#pragma once

#include <QDir>
#include <QElapsedTimer>
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

#include <algorithm>
#include <map>
#include <utility>

namespace Marevane::Testing {

// Runs xdotool with the arguments; answers its output (empty on a timeout).
inline QString XDoTool(const QStringList& arguments, int timeoutMs = 15000)
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
inline int PictureDifference(const QImage& a, const QImage& b)
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

// The share (percent) of dark pixels below the menu bar, every 8th one.
inline int DarkShare(const QImage& image)
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
    return all == 0 ? 0 : dark * 100 / all;
}

// Whether the picture below the menu bar is black all over: a screen change
// or a view not painted yet.
inline bool IsBlankPicture(const QImage& image)
{
    return image.height() <= 40 || image.width() <= 0 || DarkShare(image) >= 97;
}

class ProgramDriver {
  public:
    // `program` is the game's executable; screenshots go to `shotFolder`.
    ProgramDriver(QString program, QString shotFolder)
        : m_program(std::move(program)), m_shotFolder(std::move(shotFolder))
    {
    }

    ~ProgramDriver() { Kill(); }

    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Before Start: an environment variable of the program (an empty value
    // removes it), a key of its ini's [SystemConfig] section in place of the
    // test's default, and its arguments.
    void SetEnvironment(const QString& name, const QString& value) { m_environment[name] = value; }
    void SetIni(const QString& key, const QString& value) { m_ini[key] = value; }
    void SetArguments(const QStringList& arguments) { m_arguments = arguments; }

    // Writes the folder, starts the program, finds its main window by process
    // id, focuses it and waits until it shows a settled picture.
    ::testing::AssertionResult Start(int timeoutMs = 30000)
    {
        if (!m_folder.isValid()) return ::testing::AssertionFailure() << "no temporary folder";
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return ::testing::AssertionFailure() << "needs an X display (xvfb-run)";
        QDir folder(m_folder.path());
        for (const char* name : {"logs", "xdg/config", "xdg/data", "xdg/cache", "xdg/state"})
            folder.mkpath(QLatin1String(name));
        QFile ini(FilePath(QStringLiteral("Marevane.ini")));
        if (!ini.open(QIODevice::WriteOnly)) return ::testing::AssertionFailure() << "cannot write the ini";
        std::map<QString, QString> keys = {{QStringLiteral("Sound"), QStringLiteral("0")},
                                           {QStringLiteral("BGM"), QStringLiteral("0")},
                                           {QStringLiteral("SE"), QStringLiteral("0")},
                                           {QStringLiteral("MuteBGM"), QStringLiteral("true")},
                                           {QStringLiteral("MuteSE"), QStringLiteral("true")},
                                           {QStringLiteral("OpenGL"), QStringLiteral("true")},
                                           {QStringLiteral("Animation"), QStringLiteral("true")},
                                           {QStringLiteral("Language"), QStringLiteral("1")},
                                           {QStringLiteral("LogPath"), LogFolder()}};
        for (const auto& [key, value] : m_ini) keys[key] = value;
        QByteArray text = "[SystemConfig]\n";
        for (const auto& [key, value] : keys) text += key.toUtf8() + '=' + value.toUtf8() + '\n';
        ini.write(text);
        ini.close();
        QDir().mkpath(m_shotFolder);

        m_process.setWorkingDirectory(m_folder.path());
        m_process.setStandardErrorFile(FilePath(QStringLiteral("stderr.txt")));
        m_process.setStandardOutputFile(FilePath(QStringLiteral("stdout.txt")));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MAREVANE_TIME_SCALE"), QStringLiteral("0.25"));
        environment.insert(QStringLiteral("MAREVANE_AUDIO_OUTPUT"), QStringLiteral("dummy"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FilePath(QStringLiteral("xdg/config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), FilePath(QStringLiteral("xdg/data")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), FilePath(QStringLiteral("xdg/cache")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), FilePath(QStringLiteral("xdg/state")));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
        // The texts the program shows go to its stderr too (see ShownTexts).
        const QString rules = environment.value(QStringLiteral("QT_LOGGING_RULES"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           (rules.isEmpty() ? QString() : rules + QLatin1Char(';')) +
                               QLatin1String(ScreenTextRule));
        // Under AddressSanitizer the program's own leaks are checked by the
        // start-and-exit test; here the OpenGL driver, unloaded at exit,
        // leaves blocks that can only be reported as unknown modules.
        if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) +
                                   QStringLiteral(":detect_leaks=0"));
        for (const auto& [name, value] : m_environment) {
            if (value.isEmpty())
                environment.remove(name);
            else
                environment.insert(name, value);
        }
        m_process.setProcessEnvironment(environment);
        m_process.start(m_program, m_arguments);
        if (!m_process.waitForStarted()) return ::testing::AssertionFailure() << "the program did not start";
        m_window = FindWindow(QStringLiteral("^Marevane$"), timeoutMs);
        if (m_window.isEmpty()) return ::testing::AssertionFailure() << "no window of the program";
        Focus();
        // The pointer rests on the menu bar, away from the screens' rows.
        XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QStringLiteral("700"),
                 QStringLiteral("8")});
        if (!WaitForSettled()) return ::testing::AssertionFailure() << "the window did not settle";
        return ::testing::AssertionSuccess();
    }

    // The first visible window of this program whose title matches the
    // regular expression; empty when none shows within the time.
    QString FindWindow(const QString& title, int timeoutMs = 20000) const
    {
        QString found;
        (void)QTest::qWaitFor(
            [&] {
                // --all: xdotool otherwise takes a window that meets any one condition.
                found = XDoTool({QStringLiteral("search"), QStringLiteral("--all"),
                                 QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                 QString::number(m_process.processId()), QStringLiteral("--name"), title})
                            .section(QLatin1Char('\n'), 0, 0);
                return !found.isEmpty() || m_process.state() == QProcess::NotRunning;
            },
            timeoutMs);
        return found;
    }

    // Gives the keyboard focus to a window of the program (its main window
    // by default).
    void Focus(const QString& window = QString()) const
    {
        XDoTool(
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window.isEmpty() ? m_window : window});
    }

    // Moves the main window, so several programs on one display do not cover
    // each other.
    void Move(int x, int y) const
    {
        XDoTool({QStringLiteral("windowmove"), QStringLiteral("--sync"), m_window, QString::number(x),
                 QString::number(y)});
    }

    QImage Grab(const QString& window = QString()) const
    {
        return QGuiApplication::primaryScreen()
            ->grabWindow((window.isEmpty() ? m_window : window).toULongLong())
            .toImage();
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
                const bool isSettled = PictureDifference(now, last) < 100 && !IsBlankPicture(now);
                last = now;
                if (isSettled) m_shown = now;
                return isSettled;
            },
            timeoutMs);
    }

    // Waits until the window shows something else than the last settled
    // picture, then until it settles.
    bool WaitForChange(int timeoutMs = 20000, int pixels = 1500)
    {
        const QImage before = m_shown;
        if (!QTest::qWaitFor([&] { return PictureDifference(Grab(), before) > pixels; }, timeoutMs))
            return false;
        return WaitForSettled(timeoutMs);
    }

    // Keys (xdotool names, e.g. "Return", "alt+s") to the focused window.
    void Keys(const QStringList& keys) const
    {
        QStringList arguments = {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")};
        arguments += keys;
        XDoTool(arguments);
    }

    void TypeText(const QString& text) const
    {
        XDoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
    }

    // Saves the last settled picture as `name`.png in the screenshot folder.
    void Shot(const QString& name) const { m_shown.save(ShotPath(name)); }
    QString ShotPath(const QString& name) const { return m_shotFolder + QLatin1Char('/') + name + ".png"; }

    // Waits until the window has shown the same picture for `stillMs`: a
    // screen that waits for the player, not one between two steps.
    bool WaitForStill(int stillMs, int timeoutMs = 20000)
    {
        QImage last = Grab();
        QElapsedTimer still;
        still.start();
        return QTest::qWaitFor(
            [&] {
                QThread::msleep(100);
                const QImage now = Grab();
                if (PictureDifference(now, last) >= 100 || IsBlankPicture(now)) still.restart();
                last = now;
                if (still.elapsed() < stillMs) return false;
                m_shown = now;
                return true;
            },
            timeoutMs);
    }

    // The program's windows on the display: its main window and whatever
    // popups (menus, questions) it shows.
    QStringList VisibleWindows() const
    {
        return XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                        QString::number(m_process.processId())})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Keys, then the window changes (by `pixels` at least) and settles; the
    // picture is saved as `shot`.
    ::testing::AssertionResult Step(const QStringList& keys, const QString& shot, int timeoutMs = 20000,
                                    int pixels = 1500)
    {
        Keys(keys);
        if (!WaitForChange(timeoutMs, pixels)) {
            Grab().save(ShotPath(shot + QStringLiteral("-timeout")));
            return ::testing::AssertionFailure()
                   << "the window did not change after " << keys.join(' ').toStdString();
        }
        Shot(shot);
        return ::testing::AssertionSuccess();
    }

    // Waits for the program to end; then its exit status and code tell how.
    ::testing::AssertionResult WaitForExit(int timeoutMs = 20000)
    {
        if (!m_process.waitForFinished(timeoutMs))
            return ::testing::AssertionFailure() << "the program did not end";
        if (m_process.exitStatus() != QProcess::NormalExit)
            return ::testing::AssertionFailure() << "the program crashed";
        if (m_process.exitCode() != 0)
            return ::testing::AssertionFailure() << "exit code " << m_process.exitCode();
        return ::testing::AssertionSuccess();
    }

    void Kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // What the program wrote to stderr so far.
    QString StandardError() const { return ReadFile(FilePath(QStringLiteral("stderr.txt"))); }

    // The texts the program has shown so far (notices, message lines,
    // result headers), oldest first, each as "<where>: <text>" with its line
    // breaks written as "\n" (see gui/ScreenText.h).
    QStringList ShownTexts() const
    {
        QStringList texts;
        const QStringList lines = StandardError().split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String(ScreenTextPrefix)))
                texts << line.mid(static_cast<int>(qstrlen(ScreenTextPrefix)));
        }
        return texts;
    }

    // Waits until a shown text contains `part` (line breaks as "\n").
    bool WaitForShownText(const QString& part, int timeoutMs = 10000) const
    {
        return QTest::qWaitFor(
            [&] {
                const QStringList texts = ShownTexts();
                return std::any_of(texts.begin(), texts.end(),
                                   [&](const QString& text) { return text.contains(part); });
            },
            timeoutMs);
    }

    // Lines of stderr that tell of a fault: threads left running, failed
    // assertions, an uncaught exception. The shown texts are the game's own
    // words, whatever they say.
    QStringList StandardErrorFaults() const
    {
        QStringList faults;
        const QStringList lines = StandardError().split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String(ScreenTextPrefix))) continue;
            for (const char* bad : {"QThread: Destroyed", "ASSERT", "terminate"})
                if (line.contains(QLatin1String(bad))) faults << line;
        }
        return faults;
    }

    static QString ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QString Folder() const { return m_folder.path(); }
    QString FilePath(const QString& name) const { return m_folder.filePath(name); }
    QString LogFolder() const { return FilePath(QStringLiteral("logs")); }
    QString Window() const { return m_window; }
    const QImage& Shown() const { return m_shown; }
    QProcess& Process() { return m_process; }
    const QProcess& Process() const { return m_process; }

    // For main() of a test program: the test grabs the program's window from
    // the same display; without one (listing the tests at build time) it
    // starts offscreen. Call before QGuiApplication is made.
    static void PlatformForTests()
    {
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    }

  private:
    static constexpr const char* ScreenTextRule = "marevane.screen.text.info=true";
    static constexpr const char* ScreenTextPrefix = "marevane.screen.text: ";

    QString m_program;
    QString m_shotFolder;
    QTemporaryDir m_folder;
    QProcess m_process;
    std::map<QString, QString> m_environment;
    std::map<QString, QString> m_ini;
    QStringList m_arguments;
    QString m_window;
    QImage m_shown;
};

} // namespace Marevane::Testing
