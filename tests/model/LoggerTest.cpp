#include "model/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

UnitProfile Side(std::uint32_t id, const std::wstring& name, std::uint64_t host)
{
    UnitProfile side(id, UnitAuto, 0, name, L"");
    side.HostId = host;
    return side;
}

ShipProfile Ship(std::uint32_t unit, std::uint32_t id, ShipType type)
{
    ShipProfile ship;
    ship.UnitId = unit;
    ship.ShipId = id;
    ship.Type = type;
    ship.Status = ShipStatusNormal;
    ship.Condition = ShipStatusNormal;
    ship.Hp = 3;
    return ship;
}

// A record of two sides, Alice (0) and Bob (1), in round 2, turn 1, whose
// kind-1 action is Alice's command with her destroyer No.1.
ResultMessage Record(std::uint32_t command, MessageCode code = 87)
{
    ResultMessage record;
    record.Code = code;
    record.Units = {Side(0, L"Alice", 100), Side(1, L"Bob", 200)};
    record.Sender = record.Units[0];
    record.Order = {2, 1};
    record.Time = 90000;
    ActionInfo action;
    action.Kind = 1;
    action.Command = command;
    action.UnitId = 0;
    action.ShipId = 1;
    action.ShipType = ShipTypeDestroyer;
    action.Direction = DirectionNorth;
    action.Distance = 2;
    action.Target = MapPos(3, 4);
    action.Ships[0] = {Ship(0, 1, ShipTypeDestroyer)};
    action.Ships[1] = {Ship(1, 1, ShipTypeBattleship), Ship(1, 2, ShipTypeSubmarine)};
    record.Actions.push_back(action);
    return record;
}

ShipProfile& Own(ResultMessage& record)
{
    return record.Actions[0].Ships[0][0];
}

ShipProfile& Bobs(ResultMessage& record, std::size_t i)
{
    return record.Actions[0].Ships[1][i];
}

// The event text without its header line.
QString Body(CLoggerImpl& logger, const ResultMessage& record)
{
    const QString text = logger.MakeEventText(record);
    return text.mid(text.indexOf(QStringLiteral(":\n")) + 2);
}

struct SentenceCase {
    const char* Name;
    std::function<ResultMessage()> Make;
    const char* Expected;
};

} // namespace

TEST(Logger, SentencePerCommand)
{
    const std::vector<SentenceCase> cases = {
        {"attack hit",
         [] {
             auto r = Record(CommandAttack);
             Bobs(r, 1).LastEvent = 2;
             return r;
         },
         "Alice attacked on the Panel R3C4.\n\nThis attack hit Bob's ship. "},
        {"attack miss with a splash",
         [] {
             auto r = Record(CommandAttack);
             Bobs(r, 0).LastEvent = 4;
             return r;
         },
         "Alice attacked on the Panel R3C4.\n\nThis attack didn't hit Bob's ship.\nBob's No.1 Battleship "
         "found a "
         "splash."},
        {"attack sinks the flagship",
         [] {
             auto r = Record(CommandAttack);
             Bobs(r, 0).LastEvent = 3;
             Bobs(r, 0).IsFlagship = true;
             return r;
         },
         "Alice attacked on the Panel R3C4.\n\nThis attack hit Bob's ship. The Flagship Battleship was "
         "sunk."},
        {"move seen", [] { return Record(CommandMove); },
         "Alice's No.1 Destroyer moved to North by 2 panels."},
        {"move hidden",
         [] {
             auto r = Record(CommandMove);
             Own(r).Status = ShipStatusStealth;
             return r;
         },
         "Alice's No.1 Destroyer moved."},
        {"move into a mine",
         [] {
             auto r = Record(CommandMove);
             Own(r).MineHits[0].VictimUnitId = 0;
             Own(r).MineHits[0].IsExploded = true;
             Own(r).LastEvent = 3;
             return r;
         },
         "Alice's No.1 Destroyer moved to North by 2 panels.\nBut it hit mine(s) during moving. No.1 "
         "Destroyer "
         "sunk."},
        {"move stopped by a reef",
         [] {
             auto r = Record(CommandMove);
             Own(r).LastEvent = 5;
             return r;
         },
         "Alice's No.1 Destroyer moved to North by 2 panels.\nBut it found a reef during moving."},
        {"mine", [] { return Record(CommandMine); }, "Alice's No.1 Destroyer laid a mine."},
        {"torpedo", [] { return Record(CommandTorpedo); }, "Alice's No.1 Destroyer fire a torpedo."},
        {"reinforce onto a mine",
         [] {
             auto r = Record(CommandReinforce);
             Own(r).MineHits[0].VictimUnitId = 0;
             Own(r).MineHits[0].IsExploded = true;
             Own(r).LastEvent = 3;
             return r;
         },
         "Alice sent a ship as reinforcement.\nBut it hit mine(s) at the destination. Destroyer sunk."},
        {"resign",
         [] {
             auto r = Record(CommandResign);
             r.Sender.IsResigned = true;
             return r;
         },
         "Alice resigned."},
        {"change of flagship", [] { return Record(CommandChangeFlagship); }, "Alice changed the flagship."},
        {"time up", [] { return Record(CommandPass, 10); }, "Alice's time is up."},
        {"pass", [] { return Record(CommandPass, 89); },
         "Alice had nothing to do for being unable to input a command."},
        {"already lost",
         [] {
             auto r = Record(CommandPass, 89);
             r.SecondCode = 11;
             return r;
         },
         "Alice has already lost."},
        {"torpedo exploding at turn end",
         [] {
             auto r = Record(CommandPass, 89);
             ActionInfo blast;
             blast.Kind = 2;
             blast.Command = CommandTorpedo;
             blast.Target = MapPos(2, 2);
             blast.Ships[1] = {Ship(1, 2, ShipTypeSubmarine)};
             blast.Ships[1][0].LastEvent = 2;
             r.Actions.push_back(blast);
             return r;
         },
         "Alice had nothing to do for being unable to input a command.\nAlice's torpedo exploded on the "
         "panel "
         "R2C2.\nThis attack hit Bob's ship. "},
        {"turn-end changes",
         [] {
             auto r = Record(CommandMine);
             ActionInfo end;
             end.Kind = 3;
             end.Ships[0] = {Ship(0, 1, ShipTypeDestroyer), Ship(0, 2, ShipTypeSubmarine),
                             Ship(0, 3, ShipTypeOiler)};
             end.Ships[0][1].PendingStatus = 1;
             end.Ships[0][2].PendingStatus = 5;
             end.Ships[0][2].Condition = 5;
             end.Ships[0][2].IsFlagship = true;
             r.Actions.push_back(end);
             r.SecondCode = 12;
             return r;
         },
         "Alice's No.1 Destroyer laid a mine.\n\nAlice's No.2 Submarine dived.\nAlice's No.3 Oiler ran out "
         "of "
         "fuel. The Flagship Oiler sunk.\nAll players ran out of fuel."},
    };
    for (const auto& c : cases) {
        CLoggerImpl logger;
        EXPECT_EQ(Body(logger, c.Make()).toStdString(), c.Expected) << c.Name;
    }
}

TEST(Logger, HeaderNamesRoundTurnAndMarks)
{
    CLoggerImpl logger;
    ResultMessage record = Record(CommandMine);
    logger.AddEventLog(record);
    const QString text = logger.GetLogText(1);
    EXPECT_TRUE(text.startsWith(QString(QChar(0x25C6)) + QStringLiteral("Round2 Turn1 (Time ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("):\n")));

    // Turn 2 of a side with an odd id gets the other mark.
    record.Order = {2, 2};
    logger.AddEventLog(record);
    EXPECT_TRUE(logger.GetLogText(1).startsWith(QString(QChar(0x25C7))));
}

TEST(Logger, CacheKeepsCopiesOfTheShipsOfEachLine)
{
    CLoggerImpl logger;
    auto record = std::make_unique<ResultMessage>(Record(CommandAttack));
    Bobs(*record, 0).LastEvent = 3;
    logger.AddEventLog(*record);
    record.reset(); // the record may move or go; the cache must not care

    const CLogCache& cache = logger.GetCache();
    ASSERT_EQ(cache.GetCount(), 2u);
    ASSERT_NE(cache.GetShip(0), nullptr);
    EXPECT_EQ(cache.GetShip(0)->UnitId, 0u); // the attacker
    ASSERT_NE(cache.GetShip(1), nullptr);
    EXPECT_EQ(cache.GetShip(1)->UnitId, 1u); // the ship that was hit
    EXPECT_EQ(cache.GetShip(1)->LastEvent, 3u);

    logger.AddTurnState(ProgressMessage());
    EXPECT_EQ(cache.GetCount(), 0u);
}

TEST(Logger, SideMissingFromTheActionIsSkipped)
{
    CLoggerImpl logger;
    ResultMessage record = Record(CommandAttack);
    record.Units.push_back(Side(2, L"Carol", 300)); // Carol's ships are not in the action
    ActionInfo end;
    end.Kind = 3; // and no side at all here
    record.Actions.push_back(end);
    EXPECT_NO_THROW(logger.AddEventLog(record));
    EXPECT_FALSE(logger.GetLogText(1).contains(QStringLiteral("Carol")));
}

TEST(Logger, TeamMatesAreNotReportedAsTargets)
{
    CLoggerImpl logger;
    ResultMessage record = Record(CommandAttack);
    record.Sender.TeamMates = {200}; // Bob is on Alice's team
    record.Units[0] = record.Sender;
    EXPECT_EQ(Body(logger, record).toStdString(), "Alice attacked on the Panel R3C4.\n");
}

TEST(Logger, GetLogTextAnswersErrorTexts)
{
    CLoggerImpl logger;
    EXPECT_EQ(logger.GetLogText(0).toStdString(), "There is no log now.");
    EXPECT_EQ(logger.GetLogText(1).toStdString(), "There is no log now.");
    logger.AddEventLog(Record(CommandMine));
    EXPECT_EQ(logger.GetLogText(0).toStdString(), "The specified value is invalid.");
    EXPECT_EQ(logger.GetLogText(2).toStdString(), "The log of this number does not exist.");
    EXPECT_TRUE(logger.GetLogText(1).endsWith(QStringLiteral("laid a mine.")));
    logger.Clear();
    EXPECT_EQ(logger.GetLogText(1).toStdString(), "There is no log now.");
}

namespace {

ResultMessage EndRecord(MessageCode second)
{
    ResultMessage record;
    record.Code = 47;
    record.SecondCode = second;
    record.Units = {Side(0, L"Alice", 100), Side(1, L"Bob", 200), Side(2, L"Carol", 300),
                    Side(3, L"Dave", 400)};
    record.Units[0].Statistics[0].Score = 12.5;
    record.Units[1].Statistics[0].Score = 3;
    record.Units[2].Statistics[0].Score = 7.25;
    record.Units[3].Statistics[0].Score = -1;
    record.Sender = record.Units[0];
    return record;
}

} // namespace

TEST(Logger, EndBlockByJudgement)
{
    struct Case {
        const char* Name;
        MessageCode Second;
        bool Team;
        const char* Expected;
    };
    const std::vector<Case> cases = {
        {"wins", 0, false, "\nBattle End: Alice wins!"},
        {"team wins", 0, true, "\nBattle End: Alice & Carol wins!"},
        {"draw", 48, false, "\nBattle End: Draw."},
        {"on points", 49, false,
         "\nBattle End: Alice wins on points!\nAlice's Score = 12.5 pts  Bob's Score = 3 pts\nCarol's Score "
         "= 7.25 "
         "pts  Dave's Score = -1 pts"},
    };
    for (const auto& c : cases) {
        CLoggerImpl logger;
        ResultMessage record = EndRecord(c.Second);
        if (c.Team) record.Sender.TeamMates = {300};
        logger.Log(47, record);
        EXPECT_EQ(logger.GetLogText(1).toStdString(), c.Expected) << c.Name;
        EXPECT_EQ(logger.GetStatisticsTexts().size(), 2u + 2u * record.Units.size()) << c.Name;
    }
}

TEST(Logger, EndBlockOfAnUndecidedBattleNamesNoWinner)
{
    CLoggerImpl logger;
    ResultMessage record = EndRecord(0);
    record.Sender = UnitProfile();
    logger.Log(47, record);
    EXPECT_EQ(logger.GetLogText(1).toStdString(), "\nBattle End: Undecided.");
}

TEST(Logger, FarewellOfTheResignedSideOnly)
{
    CLoggerImpl logger;
    // Bob resigned with 15 characters; Carol and Dave did not.
    ResultMessage resign = Record(CommandResign);
    resign.Units = EndRecord(0).Units;
    resign.Sender = resign.Units[1];
    resign.Actions[0].UnitId = 1;
    logger.AddEventLog(resign);

    ResultMessage end = EndRecord(85);
    end.Command.Text = L"Farewell, dear!";
    logger.Log(47, end);
    EXPECT_EQ(
        logger.GetLogText(1).toStdString(),
        "\nBattle End: Alice wins!\nBob\"Farewell, dear!\" Poet!\nAlice\"Salve!\" Bob\"Vale!\" Bob died.");
}

TEST(Logger, FarewellLinesByLength)
{
    struct Case {
        MessageCode Second;
        const char* Tail;
    };
    const std::vector<Case> cases = {
        {84, "\nBob\"Bye\" \nAlice\"Salve!\" Bob\"Vale!\" Bob died."},
        {86, "\nBob\"Bye\" Bob died."},
    };
    for (const auto& c : cases) {
        CLoggerImpl logger;
        ResultMessage end = EndRecord(c.Second);
        end.Units.resize(2);
        end.Units[1].IsResigned = true; // no resignation logged: the resigned side speaks
        end.Command.Text = L"Bye";
        logger.Log(47, end);
        EXPECT_EQ(logger.GetLogText(1).toStdString(), std::string("\nBattle End: Alice wins!") + c.Tail);
    }
}

namespace {

class LogFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_logger.SetClock([] { return QDateTime(QDate(2031, 4, 5), QTime(6, 7, 8)); });
    }

    // Four turns of two sides, each after a turn state of its own.
    void PlayTwoRounds(const std::vector<std::wstring>& boards)
    {
        for (std::size_t i = 0; i < 4; ++i) {
            ProgressMessage state;
            state.BoardText = i < boards.size() ? boards[i] : std::wstring();
            m_logger.AddTurnState(state);
            ResultMessage record = Record(CommandMine);
            record.Order = {static_cast<std::uint32_t>(i / 2 + 1), static_cast<std::uint32_t>(i % 2 + 1)};
            m_logger.AddEventLog(record);
        }
        ResultMessage end = EndRecord(0);
        end.Units.resize(2);
        m_logger.Log(47, end);
    }

    QByteArray Read(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir m_dir;
    CLoggerImpl m_logger;
};

} // namespace

TEST_F(LogFile, NamedByDateAndNeverReplaced)
{
    PlayTwoRounds({});
    ASSERT_TRUE(m_logger.SaveLogFile(QStringLiteral("Marevane"), m_dir.path()));
    const QString first = m_logger.GetSavedPath();
    EXPECT_EQ(first, m_dir.path() + QStringLiteral("/Marevane-20310405060708.log"));
    const QByteArray content = Read(first);

    // A second save in the same second keeps the first file.
    ASSERT_TRUE(m_logger.SaveLogFile(QStringLiteral("Marevane"), m_dir.path()));
    EXPECT_EQ(m_logger.GetSavedPath(), m_dir.path() + QStringLiteral("/Marevane-20310405060708-2.log"));
    EXPECT_EQ(Read(first), content);
    EXPECT_EQ(Read(m_logger.GetSavedPath()), content);
}

TEST_F(LogFile, Utf8WithoutBomWithLfAndBlankLinePerRound)
{
    PlayTwoRounds({L"board 1\r\n", L"board 2\n", L"board ★3\n", L"board 4\n"});
    ASSERT_TRUE(m_logger.SaveLogFile(QStringLiteral("Marevane"), m_dir.path()));
    const QByteArray bytes = Read(m_logger.GetSavedPath());
    ASSERT_GE(bytes.size(), 3);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(bytes.contains('\r'));
    const QString text = QString::fromUtf8(bytes);
    EXPECT_TRUE(text.startsWith(QStringLiteral("board 1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("board ★3\n")));
    // Two sides: every second text closes its round with a blank line.
    EXPECT_EQ(text.count(QStringLiteral("laid a mine.\nboard")), 2);
    EXPECT_EQ(text.count(QStringLiteral("laid a mine.\n\nboard")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("\nBattle End: Alice wins!\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("<<The All Play Statistics>>")));
}

TEST_F(LogFile, EmptyBoardTextIsSkipped)
{
    PlayTwoRounds({L"board 1\n", L"", L"board 3\n", L"board 4\n"});
    ASSERT_TRUE(m_logger.SaveLogFile(QStringLiteral("Marevane"), m_dir.path()));
    const QString text = QString::fromUtf8(Read(m_logger.GetSavedPath()));
    // Turn 3 still gets its own board; the pairing does not shift.
    EXPECT_TRUE(text.contains(QStringLiteral("laid a mine.\n\nboard 3\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("laid a mine.\nboard 4\n")));
}

TEST_F(LogFile, FolderSettingWithEitherSeparator)
{
    EXPECT_EQ(CLoggerImpl::LogFolder(QString()), QString());
    EXPECT_EQ(CLoggerImpl::LogFolder(QStringLiteral("logs")), QStringLiteral("logs/"));
    EXPECT_EQ(CLoggerImpl::LogFolder(QStringLiteral("logs/")), QStringLiteral("logs/"));
    EXPECT_EQ(CLoggerImpl::LogFolder(QStringLiteral("a\\logs\\")), QStringLiteral("a/logs/"));

    PlayTwoRounds({});
    const QString withSlash = m_dir.path() + QStringLiteral("/");
    ASSERT_TRUE(m_logger.SaveLogFile(QStringLiteral("Marevane"), withSlash));
    EXPECT_EQ(QFileInfo(m_logger.GetSavedPath()).absolutePath(), QFileInfo(m_dir.path()).absoluteFilePath());
}

TEST_F(LogFile, UnwritableFolderGivesFalseWithPathAndReason)
{
    PlayTwoRounds({});
    const QString folder = m_dir.path() + QStringLiteral("/missing/deeper");
    EXPECT_FALSE(m_logger.SaveLogFile(QStringLiteral("Marevane"), folder));
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(m_logger.GetSavedPath().isEmpty());
    const QString error = m_logger.GetSaveError();
    EXPECT_TRUE(error.startsWith(folder + QStringLiteral("/Marevane-"))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral(".log: No such file or directory"))) << error.toStdString();
}

TEST(Logger, ReceivedRecordsWithUnknownShipsAreLoggedWithoutCrashing)
{
    struct Case {
        const char* Name;
        std::function<ResultMessage()> Make;
        const char* Expected;
    };
    const std::vector<Case> cases = {
        {"time up naming a move", [] { return Record(CommandMove, 10); },
         "Alice's No.1 Destroyer moved to North by 2 panels."},
        {"time up naming a mine", [] { return Record(CommandMine, 10); },
         "Alice's No.1 Destroyer laid a mine."},
        {"move of a ship the action does not list",
         [] {
             auto r = Record(CommandMove);
             r.Actions[0].ShipId = 9;
             return r;
         },
         "Alice's No.9 Destroyer moved to North by 2 panels."},
        {"reinforce by a side the action does not list",
         [] {
             auto r = Record(CommandReinforce);
             r.Actions[0].Ships.erase(0);
             return r;
         },
         "Alice sent a ship as reinforcement."},
    };
    for (const auto& c : cases) {
        CLoggerImpl logger;
        EXPECT_EQ(Body(logger, c.Make()).toStdString(), c.Expected) << c.Name;
    }
}
