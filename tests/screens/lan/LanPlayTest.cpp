// LAN play as players meet it: several real programs, each in a folder of
// its own, on one X display and the loopback network, driven by keyboard
// only. The host listens on 127.0.0.1; each client leaves from an address of
// its own (127.0.0.2, ...), as separate machines would. The windows cover
// each other, so a program is raised before it is typed into or looked at.
// Every step leaves a screenshot under the build folder.
#include "tests/screens/kit/ProgramDriver.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>

namespace {

using Marevane::Testing::DarkShare;
using Marevane::Testing::PictureDifference;
using Marevane::Testing::ProgramDriver;
using Marevane::Testing::XDoTool;

// A port for the game's TCP listener and discovery datagrams that nobody
// uses now, below the kernel's range for outgoing connections and below the
// ports the offscreen network tests draw.
quint16 FreePort()
{
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<int> pick(12000, 19000);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = static_cast<quint16>(pick(engine));
        QTcpServer listener;
        QUdpSocket datagrams;
        if (listener.listen(QHostAddress::Any, port) && datagrams.bind(QHostAddress::Any, port)) return port;
    }
    return 0;
}

QStringList Repeat(const QString& key, int count)
{
    QStringList keys;
    for (int i = 0; i < count; ++i) keys << key;
    return keys;
}

// Pixels of the area (every other one) within a small distance of the colour.
int CountNear(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); y += 2) {
        for (int x = inside.left(); x <= inside.right(); x += 2) {
            const QColor pixel(image.pixel(x, y));
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                    std::abs(pixel.blue() - colour.blue()) <
                30)
                ++count;
        }
    }
    return count;
}

// The connection screen: the Select button of its first or second row, at
// the bottom of the list's view, in the buttons' colour.
bool HasSelectButton(const QImage& shown, int row)
{
    const QRect area = row == 0 ? QRect(20, 384, 295, 14) : QRect(315, 384, 380, 14);
    return CountNear(shown, area, QColor(55, 95, 185)) > 60;
}

// The address box of the connection screen (light grey or white) is there.
bool IsConnectionScreen(const QImage& shown)
{
    return CountNear(shown, QRect(150, 195, 190, 16), QColor(180, 180, 180)) +
               CountNear(shown, QRect(150, 195, 190, 16), QColor(255, 255, 255)) >
           300;
}

// Fleet formation: its help pane, bottom right, in the deep panel colour.
bool IsFleetFormation(const QImage& shown)
{
    return CountNear(shown, QRect(shown.width() - 30, shown.height() - 30, 20, 20), QColor(5, 40, 120)) > 90;
}

// The title: the big white letters of its logo across the middle of the
// window, below the compass.
bool IsTitle(const QImage& shown)
{
    const QRect band(shown.width() / 2 - 280, 185, 560, 60);
    return CountNear(shown, band, QColor(240, 245, 255)) > 1500;
}

// The lines of a saved battle log that tell what was done and how it ended:
// the same on every side. The turn headers are left out (their marks and
// times are each side's own), and so are the statistics after the end.
QStringList BattleLines(const QString& log)
{
    static const QRegularExpression header(QStringLiteral("Round\\d+ Turn\\d+ \\(Time"));
    QStringList lines;
    bool isStarted = false;
    for (const QString& raw : log.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (header.match(line).hasMatch()) {
            isStarted = true;
            continue;
        }
        if (!isStarted && !line.startsWith(QStringLiteral("Battle End:"))) continue;
        if (line.isEmpty()) continue;
        lines << line;
        if (line.startsWith(QStringLiteral("Battle End:"))) break;
    }
    return lines;
}

class LanPlayTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        port = FreePort();
        ASSERT_NE(port, 0);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        shotFolder = QStringLiteral(MAREVANE_SHOT_DIR "/") + QString::fromUtf8(test->name());
    }

    // A program named for its screenshots; a client leaves from its own
    // loopback address.
    ProgramDriver& Launch(const QString& name, const QString& clientAddress = QString())
    {
        auto program = std::make_unique<ProgramDriver>(QStringLiteral(MAREVANE_PROGRAM), shotFolder);
        program->SetEnvironment(QStringLiteral("MAREVANE_BROADCAST_ADDRESS"),
                                QStringLiteral("127.255.255.255"));
        program->SetEnvironment(QStringLiteral("MAREVANE_CLIENT_ADDRESS"), clientAddress);
        program->SetEnvironment(QStringLiteral("MAREVANE_SEED"), QStringLiteral("1"));
        programs.push_back({name, std::move(program)});
        ProgramDriver& driver = *programs.back().second;
        EXPECT_TRUE(driver.Start()) << name.toStdString();
        return driver;
    }

    QString NameOf(const ProgramDriver& program) const
    {
        for (const auto& entry : programs)
            if (entry.second.get() == &program) return entry.first;
        return QString();
    }

    // Brings the program's window to the front and gives it the keyboard.
    void Use(const ProgramDriver& program)
    {
        XDoTool({QStringLiteral("windowraise"), program.Window()});
        program.Focus();
    }

    // Keys to the program, then its window changes and settles.
    ::testing::AssertionResult Step(ProgramDriver& program, const QStringList& keys, const QString& shot)
    {
        Use(program);
        return program.Step(keys, NameOf(program) + QLatin1Char('-') + shot);
    }

    // The program's window changed since it was last seen (it may have
    // changed meanwhile behind another window).
    ::testing::AssertionResult Changed(ProgramDriver& program, const QString& shot, int timeoutMs = 20000)
    {
        Use(program);
        if (!program.WaitForChange(timeoutMs)) {
            program.Grab().save(
                program.ShotPath(NameOf(program) + QLatin1Char('-') + shot + QStringLiteral("-timeout")));
            return ::testing::AssertionFailure()
                   << NameOf(program).toStdString() << ": no change for " << shot.toStdString();
        }
        program.Shot(NameOf(program) + QLatin1Char('-') + shot);
        return ::testing::AssertionSuccess();
    }

    // Keys that leave the picture alone but for the focus: settles, saves.
    ::testing::AssertionResult Keys(ProgramDriver& program, const QStringList& keys, const QString& shot)
    {
        Use(program);
        program.Keys(keys);
        if (!program.WaitForSettled())
            return ::testing::AssertionFailure() << NameOf(program).toStdString() << ": not settled";
        program.Shot(NameOf(program) + QLatin1Char('-') + shot);
        return ::testing::AssertionSuccess();
    }

    enum class Mode { Single, Tag, Watch };

    // From the title through the player settings (named, in the network mode
    // `network` Downs below "Server", with `players` Downs in the number of
    // players and `manRivals` rivals made "MAN") and the rule settings to the
    // connection screen.
    ::testing::AssertionResult ToConnectionScreen(ProgramDriver& program, const QString& name, Mode mode,
                                                  int network, int players = 0, int manRivals = 0)
    {
        QStringList titleKeys = {QStringLiteral("Down")};
        if (mode == Mode::Watch) titleKeys << QStringLiteral("Down");
        if (auto result = Step(program, {QStringLiteral("Return")}, QStringLiteral("01-modes")); !result)
            return result;
        if (auto result = Step(program, titleKeys, QStringLiteral("02-mode-focused")); !result) return result;
        if (mode != Mode::Watch) {
            if (auto result = Step(program, {QStringLiteral("Return")}, QStringLiteral("03-versus")); !result)
                return result;
            if (mode == Mode::Tag) {
                if (auto result = Step(program, {QStringLiteral("Down")}, QStringLiteral("04-tag-focused"));
                    !result)
                    return result;
            }
        }
        if (auto result = Step(program, {QStringLiteral("Return")}, QStringLiteral("05-player-settings"));
            !result)
            return result;
        program.TypeText(name);
        // Name, command mode, network mode, the number of players, then the
        // rivals that play from elsewhere.
        QStringList keys = {QStringLiteral("Tab"), QStringLiteral("Tab")};
        keys += Repeat(QStringLiteral("Down"), network);
        keys << QStringLiteral("Tab");
        keys += Repeat(QStringLiteral("Down"), players);
        for (int i = 0; i < manRivals; ++i) keys << QStringLiteral("Tab") << QStringLiteral("Up");
        if (mode == Mode::Watch) keys.clear();
        if (auto result = Keys(program, keys, QStringLiteral("06-player-settings-filled")); !result)
            return result;
        // Back to the name box, where Return is Next.
        keys = mode == Mode::Watch ? QStringList() : Repeat(QStringLiteral("shift+Tab"), 3 + manRivals);
        keys << QStringLiteral("Return");
        // An audience has no rules to set.
        if (mode == Mode::Watch) return Step(program, keys, QStringLiteral("08-connection"));
        if (auto result = Step(program, keys, QStringLiteral("07-rule-settings")); !result) return result;
        // From the computer level past the rows and the first buttons to Next.
        keys = Repeat(QStringLiteral("Tab"), 8);
        keys << QStringLiteral("space");
        return Step(program, keys, QStringLiteral("08-connection"));
    }

    // Waits until the program's settled picture meets the condition.
    ::testing::AssertionResult WaitForPicture(ProgramDriver& program,
                                              const std::function<bool(const QImage&)>& isMet,
                                              const QString& shot, int timeoutMs = 30000)
    {
        Use(program);
        const auto check = [&] { return program.WaitForSettled(2000) && isMet(program.Shown()); };
        if (!QTest::qWaitFor(check, timeoutMs)) {
            program.Grab().save(
                program.ShotPath(NameOf(program) + QLatin1Char('-') + shot + QStringLiteral("-timeout")));
            return ::testing::AssertionFailure()
                   << NameOf(program).toStdString() << ": no " << shot.toStdString();
        }
        program.Shot(NameOf(program) + QLatin1Char('-') + shot);
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult AtFleetFormation(ProgramDriver& program, const QString& shot)
    {
        return WaitForPicture(program, IsFleetFormation, shot);
    }

    // The connection screen lists a row (0 or 1) that can be selected.
    ::testing::AssertionResult Listed(ProgramDriver& program, int row, const QString& shot)
    {
        return WaitForPicture(
            program, [row](const QImage& shown) { return HasSelectButton(shown, row); }, shot);
    }

    // The windows of the program that show (its menus are windows of their own).
    static int VisibleWindows(ProgramDriver& program)
    {
        const QString found =
            XDoTool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(program.Process().processId()),
                     QStringLiteral("--name"), QStringLiteral(".*")});
        return found.isEmpty() ? 0 : static_cast<int>(found.split(QLatin1Char('\n')).size());
    }

    // Three destroyers along the first row, R1C1, R1C3 and R1C5: the card
    // taken with Return, the map's pointer moved to the corner and on, the
    // ship placed with Return (again, while the map has not taken it); then
    // OK and "Yes".
    ::testing::AssertionResult FormFleet(ProgramDriver& program, const QString& shot)
    {
        if (auto result = Step(program, {QStringLiteral("Down")}, shot + QStringLiteral("-card")); !result)
            return result;
        for (int ship = 0; ship < 3; ++ship) {
            QStringList pointer = {QStringLiteral("Return"), QStringLiteral("Left"), QStringLiteral("Up")};
            pointer += Repeat(QStringLiteral("Right"), 2 * ship);
            Use(program);
            program.Keys(pointer);
            if (!program.WaitForSettled()) return ::testing::AssertionFailure() << "not settled";
            bool placed = false;
            for (int attempt = 0; attempt < 3 && !placed; ++attempt) {
                program.Keys({QStringLiteral("Return")});
                placed = program.WaitForChange(4000);
            }
            if (!placed)
                return ::testing::AssertionFailure() << NameOf(program).toStdString() << ": ship not placed";
            program.Shot(NameOf(program) + QLatin1Char('-') + shot + QStringLiteral("-ship") +
                         QString::number(ship + 1));
        }
        if (auto result = Step(program, {QStringLiteral("Return")}, shot + QStringLiteral("-question"));
            !result)
            return result;
        return Step(program, {QStringLiteral("Return")}, shot + QStringLiteral("-sent"));
    }

    // Number 1 opens the first ship's menu on the program's turn; before it
    // the map only notes that no command can be given now.
    ::testing::AssertionResult OpenFirstShipMenu(ProgramDriver& program, int timeoutMs)
    {
        Use(program);
        const int windows = VisibleWindows(program);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            program.Keys({QStringLiteral("1")});
            if (QTest::qWaitFor([&] { return VisibleWindows(program) > windows; }, 1000))
                return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << NameOf(program).toStdString() << ": no ship's menu";
    }

    // The first ship's menu, the command's key, then "Yes".
    ::testing::AssertionResult Command(ProgramDriver& program, const QString& key, const QString& shot,
                                       int timeoutMs = 20000)
    {
        if (auto result = OpenFirstShipMenu(program, timeoutMs); !result) return result;
        return Answer(program, key, shot);
    }

    // A key to the open menu (refocusing the main window would close it),
    // then "Yes" to the question it asks.
    ::testing::AssertionResult Answer(ProgramDriver& program, const QString& key, const QString& shot)
    {
        // The question's choice keeps moving: a change is enough.
        const QImage before = program.Grab();
        program.Keys({key});
        if (!QTest::qWaitFor([&] { return PictureDifference(program.Grab(), before) > 1500; }, 10000))
            return ::testing::AssertionFailure()
                   << NameOf(program).toStdString() << ": no question after " << key.toStdString();
        QTest::qWait(300);
        program.Grab().save(program.ShotPath(NameOf(program) + QLatin1Char('-') + shot));
        program.Keys({QStringLiteral("Return")});
        return ::testing::AssertionSuccess();
    }

    // How many shown texts contain the part.
    static int CountShown(const ProgramDriver& program, const QString& part)
    {
        const QStringList texts = program.ShownTexts();
        return static_cast<int>(std::count_if(texts.begin(), texts.end(),
                                              [&](const QString& text) { return text.contains(part); }));
    }

    ::testing::AssertionResult AtResult(ProgramDriver& program, const QString& shot, int timeoutMs = 20000)
    {
        return WaitForPicture(
            program, [](const QImage& shown) { return DarkShare(shown) > 60; }, shot, timeoutMs);
    }

    static QStringList LogFiles(const ProgramDriver& program)
    {
        return QDir(program.LogFolder())
            .entryList({QStringLiteral("Marevane-*.log")}, QDir::Files, QDir::Name);
    }

    // On the result screen: "Save Log" (before "Replay", which has the
    // focus); the log is written. Answers its text.
    QString SaveLog(ProgramDriver& program, const QString& shot)
    {
        const int before = static_cast<int>(LogFiles(program).size());
        Use(program);
        program.Keys({QStringLiteral("shift+Tab"), QStringLiteral("space")});
        if (!QTest::qWaitFor([&] { return LogFiles(program).size() > before; }, 10000)) return QString();
        (void)program.WaitForSettled();
        program.Shot(NameOf(program) + QLatin1Char('-') + shot);
        QString text;
        (void)QTest::qWaitFor(
            [&] {
                text = ProgramDriver::ReadFile(
                    QDir(program.LogFolder()).filePath(LogFiles(program).constLast()));
                return text.contains(QStringLiteral("Battle End:"));
            },
            5000);
        return text;
    }

    // Host (Versus, Single, two players, the rival "MAN") and client ("Guest",
    // typing the host's address) connect, select each other and reach
    // fleet formation; an audience, when given, enters while the host waits
    // for the guest and is taken along.
    ::testing::AssertionResult HostAndClientAtFleetFormation(ProgramDriver& host, ProgramDriver& client,
                                                             ProgramDriver* audience = nullptr)
    {
        if (auto result = ToConnectionScreen(host, QStringLiteral("Host"), Mode::Single, 0, 0, 1); !result)
            return result;
        if (auto result = Connect(host, false); !result) return result;
        if (auto result = ToConnectionScreen(client, QStringLiteral("Guest"), Mode::Single, 1); !result)
            return result;
        if (auto result = Connect(client, true); !result) return result;

        // The host lists the client's entry, and the keys go to its Select
        // button once the message of the entry is up.
        if (auto result = Listed(host, 0, QStringLiteral("11-entry-listed")); !result) return result;
        if (auto result = Step(host, {QStringLiteral("space")}, QStringLiteral("12-selected")); !result)
            return result;

        if (audience != nullptr) {
            if (auto result = ToConnectionScreen(*audience, QStringLiteral("Watcher"), Mode::Watch, 0);
                !result)
                return result;
            if (auto result = Connect(*audience, true); !result) return result;
            if (auto result = Listed(*audience, 0, QStringLiteral("11-host-listed")); !result) return result;
            if (auto result = Step(*audience, {QStringLiteral("space")}, QStringLiteral("12-selected"));
                !result)
                return result;
        }

        if (auto result = Listed(client, 0, QStringLiteral("11-host-listed")); !result) return result;
        if (auto result = Step(client, {QStringLiteral("space")}, QStringLiteral("12-selected")); !result)
            return result;

        if (auto result = AtFleetFormation(host, QStringLiteral("13-fleet-formation")); !result)
            return result;
        if (auto result = AtFleetFormation(client, QStringLiteral("13-fleet-formation")); !result)
            return result;
        if (audience != nullptr) {
            if (auto result = AtFleetFormation(*audience, QStringLiteral("13-fleet-formation")); !result)
                return result;
        }
        // The row the host selected was the guest's.
        if (!host.WaitForShownText(QStringLiteral("Guest responded a request for battle with you.")))
            return ::testing::AssertionFailure() << "the host was not answered by the guest";

        return ::testing::AssertionSuccess();
    }

    // On the connection screen: the address (a client's), the test's port,
    // then Connect.
    ::testing::AssertionResult Connect(ProgramDriver& program, bool isClient)
    {
        QStringList keys;
        if (isClient)
            keys << QStringLiteral("ctrl+a");
        else
            keys << QStringLiteral("shift+Tab");
        Use(program);
        program.Keys(keys);
        if (isClient) {
            program.TypeText(QStringLiteral("127.0.0.1"));
            program.Keys({QStringLiteral("Tab")});
        }
        program.Keys({QStringLiteral("ctrl+a")});
        program.TypeText(QString::number(port));
        program.Keys({QStringLiteral("Tab")});
        if (!program.WaitForSettled()) return ::testing::AssertionFailure() << "not settled";
        program.Shot(NameOf(program) + QStringLiteral("-09-address-and-port"));
        return Step(program, {QStringLiteral("space")}, QStringLiteral("10-connecting"));
    }

    void TearDown() override
    {
        for (auto& entry : programs) {
            // What each program last told its user, and its warnings,
            // explain a failed step.
            if (HasFailure()) {
                const auto tail = [](const QStringList& lines) {
                    return lines.mid(std::max(0, static_cast<int>(lines.size()) - 12))
                        .join(QLatin1Char('\n'));
                };
                QStringList others;
                for (const QString& line : entry.second->StandardError().split(QLatin1Char('\n')))
                    if (!line.startsWith(QLatin1String("marevane.screen.text:"))) others << line;
                std::printf("Last texts shown by %s:\n%s\nIts other output:\n%s\n", qPrintable(entry.first),
                            qPrintable(tail(entry.second->ShownTexts())), qPrintable(tail(others)));
            }
            const QStringList faults = entry.second->StandardErrorFaults();
            EXPECT_TRUE(faults.isEmpty()) << entry.first.toStdString() << ":\n"
                                          << entry.second->StandardError().toStdString();
        }
        programs.clear();
    }

    quint16 port = 0;
    QString shotFolder;
    std::vector<std::pair<QString, std::unique_ptr<ProgramDriver>>> programs;
};

TEST_F(LanPlayTest, HostAndClientPlayTwoBattlesAndTheReplayIsRefusedWhenTheClientExits)
{
    ProgramDriver& host = Launch(QStringLiteral("host"));
    ProgramDriver& client = Launch(QStringLiteral("client"), QStringLiteral("127.0.0.2"));
    // It watches the first battle and chooses "Watch Again" only once the
    // second is under way.
    ProgramDriver& audience = Launch(QStringLiteral("audience"), QStringLiteral("127.0.0.4"));
    ASSERT_FALSE(HasFailure());
    const QString turnStarts = QStringLiteral("'s turn starts.");
    const QString header = QStringLiteral("header: ");
    int audienceTurns = 0;
    int audienceResults = 0;
    int hostTurns = 0;

    ASSERT_TRUE(HostAndClientAtFleetFormation(host, client, &audience));

    for (int battle = 1; battle <= 2; ++battle) {
        const QString prefix = QString::number(battle) + QLatin1Char('-');
        ASSERT_TRUE(FormFleet(host, prefix + QStringLiteral("20-fleet")));
        ASSERT_TRUE(FormFleet(client, prefix + QStringLiteral("20-fleet")));
        // Both are asked to start; the host moves first.
        // (the question may be up already when the fleet has gone).
        for (ProgramDriver* program : {&host, &client}) {
            Use(*program);
            (void)program->WaitForChange(8000);
            ASSERT_TRUE(program->WaitForSettled());
            program->Shot(NameOf(*program) + QLatin1Char('-') + prefix + QStringLiteral("21-start-question"));
            ASSERT_TRUE(Step(*program, {QStringLiteral("Return")}, prefix + QStringLiteral("21-battle")));
        }
        if (battle == 2) {
            // The replay has begun without the audience; now it asks to watch.
            ASSERT_TRUE(QTest::qWaitFor([&] { return CountShown(host, turnStarts) > hostTurns; }, 20000));
            Use(audience);
            audience.Keys({QStringLiteral("space")});
            EXPECT_TRUE(audience.WaitForShownText(QStringLiteral("Request for a \"Replay\" is accepted.")));
        }
        // The audience follows the battle: a turn starts on its map.
        ASSERT_TRUE(QTest::qWaitFor([&] { return CountShown(audience, turnStarts) > audienceTurns; }, 30000));
        Use(audience);
        ASSERT_TRUE(audience.WaitForSettled());
        audience.Shot(QStringLiteral("audience-") + prefix + QStringLiteral("21-watching"));
        // Either side may move first: on the host's turn it passes, then the
        // client resigns on its own.
        if (!OpenFirstShipMenu(client, 4000)) {
            // No pass on the first turn: the first ship moves a row down.
            ASSERT_TRUE(OpenFirstShipMenu(host, 20000));
            host.Keys({QStringLiteral("m")});
            ASSERT_TRUE(host.WaitForChange(10000));
            host.Shot(QStringLiteral("host-") + prefix + QStringLiteral("22-move"));
            host.Keys({QStringLiteral("Down")});
            (void)host.WaitForChange(3000);
            ASSERT_TRUE(Answer(host, QStringLiteral("Return"), prefix + QStringLiteral("22-move-question")));
            QTest::qWait(1500);
            host.Grab().save(host.ShotPath(QStringLiteral("host-") + prefix + QStringLiteral("22-moved")));
            host.Keys({QStringLiteral("Return")});
            QTest::qWait(1500);
            host.Grab().save(
                host.ShotPath(QStringLiteral("host-") + prefix + QStringLiteral("22-turn-ended")));
            ASSERT_TRUE(OpenFirstShipMenu(client, 20000));
        }
        ASSERT_TRUE(Answer(client, QStringLiteral("r"), prefix + QStringLiteral("23-resign-question")));
        ASSERT_TRUE(AtResult(client, prefix + QStringLiteral("24-result")));
        ASSERT_TRUE(AtResult(host, prefix + QStringLiteral("24-result")));
        // The audience reaches the same end.
        ASSERT_TRUE(QTest::qWaitFor([&] { return CountShown(audience, header) > audienceResults; }, 30000));
        EXPECT_TRUE(AtResult(audience, prefix + QStringLiteral("24-result")));
        audienceTurns = CountShown(audience, turnStarts);
        audienceResults = CountShown(audience, header);
        hostTurns = CountShown(host, turnStarts);

        // Both logs tell the same battle and the same end.
        const QString hostLog = SaveLog(host, prefix + QStringLiteral("25-log-saved"));
        const QString clientLog = SaveLog(client, prefix + QStringLiteral("25-log-saved"));
        const QStringList hostLines = BattleLines(hostLog);
        ASSERT_FALSE(hostLines.isEmpty()) << hostLog.toStdString();
        EXPECT_TRUE(hostLines.constLast().startsWith(QStringLiteral("Battle End: Host wins")))
            << hostLog.toStdString();
        EXPECT_GT(hostLines.size(), 1) << hostLog.toStdString();
        EXPECT_EQ(hostLines, BattleLines(clientLog)) << hostLog.toStdString() << "\n---\n"
                                                     << clientLog.toStdString();

        if (battle == 1) {
            // "Replay" has the keys after the log: both play again.
            for (ProgramDriver* program : {&host, &client}) {
                Use(*program);
                program->Keys({QStringLiteral("space")});
            }
            ASSERT_TRUE(AtFleetFormation(host, prefix + QStringLiteral("26-replayed")));
            ASSERT_TRUE(AtFleetFormation(client, prefix + QStringLiteral("26-replayed")));
            for (ProgramDriver* program : {&host, &client})
                EXPECT_TRUE(
                    program->WaitForShownText(QStringLiteral("Request for a \"Replay\" is accepted.")))
                    << NameOf(*program).toStdString();
        } else {
            // The client exits ("Exit" follows "Replay"); the host's replay is refused.
            Use(client);
            client.Keys({QStringLiteral("Tab"), QStringLiteral("space")});
            Use(host);
            host.Keys({QStringLiteral("space")});
            ASSERT_TRUE(WaitForPicture(client, IsTitle, prefix + QStringLiteral("27-title")));
            ASSERT_TRUE(WaitForPicture(host, IsTitle, prefix + QStringLiteral("27-title")));
            EXPECT_TRUE(client.WaitForShownText(QStringLiteral("\"Exit\" is selected.")));
            EXPECT_TRUE(host.WaitForShownText(QStringLiteral("Request for a \"Replay\" is rejected.")));
        }
    }
}

TEST_F(LanPlayTest, TheHostEndsTheBattleAndStaysWhenTheClientIsKilled)
{
    ProgramDriver& host = Launch(QStringLiteral("host"));
    ProgramDriver& client = Launch(QStringLiteral("client"), QStringLiteral("127.0.0.2"));
    ProgramDriver& audience = Launch(QStringLiteral("audience"), QStringLiteral("127.0.0.4"));
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(HostAndClientAtFleetFormation(host, client, &audience));
    ASSERT_TRUE(FormFleet(host, QStringLiteral("20-fleet")));
    ASSERT_TRUE(FormFleet(client, QStringLiteral("20-fleet")));
    for (ProgramDriver* program : {&host, &client}) {
        Use(*program);
        (void)program->WaitForChange(8000);
        ASSERT_TRUE(program->WaitForSettled());
        ASSERT_TRUE(Step(*program, {QStringLiteral("Return")}, QStringLiteral("21-battle")));
    }
    // The audience watches the battle without being asked anything.
    ASSERT_TRUE(audience.WaitForShownText(QStringLiteral("Host's turn starts."), 20000));
    Use(audience);
    ASSERT_TRUE(audience.WaitForSettled());
    audience.Shot(QStringLiteral("audience-21-watching"));
    // The host's turn: its ship's menu opens; then the client dies.
    ASSERT_TRUE(OpenFirstShipMenu(host, 20000));
    host.Keys({QStringLiteral("Escape")});
    QElapsedTimer clock;
    clock.start();
    client.Kill();
    ASSERT_TRUE(host.WaitForChange(8000));
    host.Shot(QStringLiteral("host-22-failure"));
    // The map tells of the failure; the result screen says the battle ended.
    EXPECT_TRUE(host.WaitForShownText(
        QStringLiteral("notice: Invalid Disconnection.\\nEither host may have operated this program "
                       "incorrectly.\\nThis battle will end."),
        8000));
    ASSERT_TRUE(host.WaitForShownText(QStringLiteral("header: \\nThis battle ended."), 8000));
    const qint64 toText = clock.elapsed();
    ASSERT_TRUE(AtResult(host, QStringLiteral("23-result"), 8000));
    const qint64 toPicture = clock.elapsed();
    std::printf(
        "[ measured ] kill to \"This battle ended.\": %lld ms, to the settled result screen: %lld ms\n",
        static_cast<long long>(toText), static_cast<long long>(toPicture));
    EXPECT_LT(toText, 4000);
    EXPECT_LT(toPicture, 6000);
    // Still there, and still answering the keys: the log can be saved.
    const int logs = static_cast<int>(LogFiles(host).size());
    Use(host);
    host.Keys({QStringLiteral("shift+Tab"), QStringLiteral("space")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<int>(LogFiles(host).size()) > logs; }, 10000));
    EXPECT_EQ(host.Process().state(), QProcess::Running);
    // The audience is told too, and its battle ends the same way.
    EXPECT_TRUE(audience.WaitForShownText(QStringLiteral("header: \\nThis battle ended."), 10000));
    EXPECT_TRUE(AtResult(audience, QStringLiteral("23-result")));
    EXPECT_EQ(audience.Process().state(), QProcess::Running);
}

TEST_F(LanPlayTest, ThreeProgramsChooseTagTeamsAndAnAudienceEnters)
{
    ProgramDriver& host = Launch(QStringLiteral("host"));
    ProgramDriver& alpha = Launch(QStringLiteral("alpha"), QStringLiteral("127.0.0.2"));
    ProgramDriver& bravo = Launch(QStringLiteral("bravo"), QStringLiteral("127.0.0.3"));
    ProgramDriver& audience = Launch(QStringLiteral("audience"), QStringLiteral("127.0.0.4"));
    ASSERT_FALSE(HasFailure());

    // Three players: two rivals from elsewhere.
    ASSERT_TRUE(ToConnectionScreen(host, QStringLiteral("Host"), Mode::Tag, 0, 1, 2));
    ASSERT_TRUE(Connect(host, false));
    ASSERT_TRUE(ToConnectionScreen(alpha, QStringLiteral("Alpha"), Mode::Tag, 1));
    ASSERT_TRUE(Connect(alpha, true));
    ASSERT_TRUE(Listed(host, 0, QStringLiteral("11-alpha-listed")));
    ASSERT_TRUE(Step(host, {QStringLiteral("space")}, QStringLiteral("12-alpha-selected")));

    // The audience is listed, but cannot be selected.
    ASSERT_TRUE(ToConnectionScreen(audience, QStringLiteral("Watcher"), Mode::Watch, 0));
    ASSERT_TRUE(Connect(audience, true));
    ASSERT_TRUE(Listed(audience, 0, QStringLiteral("11-host-listed")));
    ASSERT_TRUE(Step(audience, {QStringLiteral("space")}, QStringLiteral("12-selected")));

    // Bravo's row is the third, below the view: once Bravo lists the host,
    // the host has listed Bravo and given it the keys.
    ASSERT_TRUE(ToConnectionScreen(bravo, QStringLiteral("Bravo"), Mode::Tag, 1));
    ASSERT_TRUE(Connect(bravo, true));
    ASSERT_TRUE(Listed(bravo, 0, QStringLiteral("11-host-listed")));
    ASSERT_TRUE(Step(host, {QStringLiteral("space")}, QStringLiteral("13-bravo-selected")));

    ASSERT_TRUE(Listed(alpha, 0, QStringLiteral("11-host-listed")));
    ASSERT_TRUE(Step(alpha, {QStringLiteral("space")}, QStringLiteral("12-selected")));
    ASSERT_TRUE(Step(bravo, {QStringLiteral("space")}, QStringLiteral("12-selected")));

    // Each player leaves its mate to chance ("Select at Random" has the keys).
    for (ProgramDriver* program : {&host, &alpha, &bravo}) {
        ASSERT_TRUE(WaitForPicture(
            *program, [](const QImage& shown) { return !IsConnectionScreen(shown); },
            QStringLiteral("20-tag-team")));
        ASSERT_TRUE(Step(*program, {QStringLiteral("space")}, QStringLiteral("21-chosen")));
    }
    for (ProgramDriver* program : {&host, &alpha, &bravo, &audience}) {
        ASSERT_TRUE(AtFleetFormation(*program, QStringLiteral("22-fleet-formation")));
        EXPECT_TRUE(program->WaitForShownText(QStringLiteral("All tag teams were formed.")))
            << NameOf(*program).toStdString();
    }
    // The audience was told it watches, and forms no fleet.
    EXPECT_TRUE(
        audience.WaitForShownText(QStringLiteral("The server invited you as audience of their battle.")));
    EXPECT_TRUE(audience.WaitForShownText(QStringLiteral("message: You are now audience.")));
}

} // namespace

int main(int argc, char** argv)
{
    ProgramDriver::PlatformForTests();
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
