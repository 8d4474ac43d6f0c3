#include "model/texts/StatisticsTexts.h"

#include "model/Board.h"
#include "model/Player.h"
#include "model/Timer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Marevane;

namespace {
QStringList Labels(std::initializer_list<const char*> labels)
{
    QStringList list;
    for (const char* label : labels) list << QString::fromLatin1(label) + ": ";
    return list;
}

QString ValueOf(const StatisticsTexts& texts, const char* label)
{
    const int row = texts.first.indexOf(QString::fromLatin1(label) + ": ");
    return row < 0 ? QStringLiteral("<no row>") : texts.second.at(row);
}
} // namespace

TEST(TimeTexts, ClockAndWords)
{
    struct Case {
        std::int64_t limitMs;
        const char* clock;
        const char* words;
    };
    const Case cases[] = {
        {90000, "0:01:30", "1 min30 sec"},
        {3605000, "1:00:05", "1 hour5 sec"},
        {7322999, "2:02:02", "2 hours2 min2 sec"},
        {3909000, "1:05:09", "1 hour5 min9 sec"},
        {400, "0:00:00", "0 sec"},
        {0, "- : - : - ", "none"}, // a timer without a limit
    };
    for (const Case& c : cases) {
        const CTimer timer(c.limitMs);
        EXPECT_EQ(GetTimeSpanText(&timer, false).toStdString(), c.clock) << c.limitMs;
        EXPECT_EQ(GetTimeSpanText(&timer, true).toStdString(), c.words) << c.limitMs;
    }
    EXPECT_EQ(GetTimeSpanText(nullptr, false), QString("- : - : - "));
    EXPECT_EQ(GetTimeSpanText(nullptr, true), QString("none"));
    EXPECT_EQ(GetSecondsText(61000), QString("1 min1 sec"));
    EXPECT_EQ(GetSecondsText(0), QString("0 sec"));
}

TEST(StatisticsTexts, SingleBattleRowsAndComputedScore)
{
    ActionStatistics s;
    s[StatAttacks] = 4;
    s[StatHits] = 2;
    s[StatNearMisses] = 8;
    s[StatMinesLaid] = 3;
    s[StatMinesHeld] = 5;
    s[StatPanelsExplored] = 30;
    s[StatPanelCount] = 120;
    s[StatRound] = 12; // shown only for summed records
    s.Time = 3723000;
    const StatisticsTexts texts = GetStatisticsText(s);

    EXPECT_EQ(texts.first, Labels({"Attack Count",
                                   "Attack Hit Count",
                                   "(Hit Rate",
                                   "Splash Frequency",
                                   "Defeating Count",
                                   "Torpedo Use Count",
                                   "Mine Use Count",
                                   "Mine Hit Count(you)",
                                   "Mine Hit Count(rival)",
                                   "Mine Removing Count(you)",
                                   "Mine Removing Count(rival)",
                                   "Move Count",
                                   "Move Distance All",
                                   "Reinforcement Count",
                                   "Refueling Count",
                                   "Refueling Sum",
                                   "Flagship Change Count",
                                   "Rest of HP",
                                   "(Remaining Rate",
                                   "Rest of FP",
                                   "(Remaining Rate",
                                   "Exploration Rate",
                                   "Expended Time",
                                   "Score"}));
    ASSERT_EQ(texts.second.size(), texts.first.size());
    EXPECT_EQ(ValueOf(texts, "Attack Count"), QString("4 times"));
    EXPECT_EQ(ValueOf(texts, "(Hit Rate"), QString("50%)"));
    EXPECT_EQ(ValueOf(texts, "Splash Frequency"), QString("2 times per attack"));
    EXPECT_EQ(ValueOf(texts, "Mine Use Count"), QString("3 / 5 mines"));
    EXPECT_EQ(ValueOf(texts, "Rest of HP"), QString("0 / 0 HP"));
    EXPECT_EQ(texts.second.at(18), QString("0%)")); // no hit points at all
    EXPECT_EQ(ValueOf(texts, "Exploration Rate"), QString("25% (30 / 120 panels)"));
    EXPECT_EQ(ValueOf(texts, "Expended Time"), QString("1 hour2 min3 sec"));
    EXPECT_EQ(ValueOf(texts, "Score"), QString("13 points")); // 7 + 3 + 3 from the counters
}

TEST(StatisticsTexts, NoAttackGivesZeroRates)
{
    const StatisticsTexts texts = GetStatisticsText(ActionStatistics());
    EXPECT_EQ(ValueOf(texts, "(Hit Rate"), QString("0%)"));
    EXPECT_EQ(ValueOf(texts, "Splash Frequency"), QString("0 times per attack"));
    EXPECT_EQ(ValueOf(texts, "Score"), QString("0 points"));
}

TEST(StatisticsTexts, SummedRecordsShowBattlesAndTheMeanScore)
{
    ActionStatistics s;
    s[StatAttacks] = 3;
    s[StatHits] = 1;
    s[StatHp] = 7;
    s[StatMaxHp] = 9;
    s[StatRound] = 40;
    s[StatBattles] = 4;
    s[StatVictory] = 3;
    s.Score = 50.0;
    const StatisticsTexts texts = GetStatisticsText(s);
    ASSERT_EQ(texts.first.size(), 28);
    EXPECT_EQ(texts.first.mid(22), Labels({"Total Round Count", "Expended Time", "Battle Count", "Win Count",
                                           "(Winning Percentage", "Score"}));
    EXPECT_EQ(ValueOf(texts, "(Hit Rate"), QString("33.3333%)"));
    EXPECT_EQ(texts.second.at(18), QString("77.7778%)"));
    EXPECT_EQ(ValueOf(texts, "Total Round Count"), QString("40 rounds"));
    EXPECT_EQ(ValueOf(texts, "Battle Count"), QString("4 battles"));
    EXPECT_EQ(ValueOf(texts, "Win Count"), QString("3 wins"));
    EXPECT_EQ(ValueOf(texts, "(Winning Percentage"), QString("75%)"));
    EXPECT_EQ(ValueOf(texts, "Score"), QString("12.5 points"));
}

TEST(StatisticsTexts, ShipLists)
{
    ShipStatistics s;
    for (std::size_t i = 0; i < ShipStatCount; ++i) s[i] = static_cast<std::uint32_t>(i + 1);
    const StatisticsTexts texts = GetStatisticsTextLists(s);
    ASSERT_EQ(texts.first.size(), 18);
    ASSERT_EQ(texts.second.size(), 18);
    EXPECT_EQ(texts.first.at(6), QString("Mine Use Count: "));
    EXPECT_EQ(texts.second.at(6), QString("6 mines"));
    EXPECT_EQ(ValueOf(texts, "Mine Hit Count(you)"), QString("7 mines"));
    EXPECT_EQ(ValueOf(texts, "Refueling Sum"), QString("15 FP"));
    EXPECT_EQ(ValueOf(texts, "Flagship Change Count"), QString("16 times"));
    EXPECT_EQ(texts.first.last(), QString("Exploration Count: "));
    EXPECT_EQ(texts.second.last(), QString("17 panels"));
    EXPECT_EQ(ValueOf(texts, "Splash Frequency"), QString("3 times per attack"));
}

TEST(PlayerName, KeepsCharactersOutsideTheBasicPlane)
{
    CBoard board;
    const UnitProfile profile(0, UnitManual, 0, L"Ann\U0001F6A2", L"");
    const CPlayer unit(profile, &board);
    const QString name = GetPlayerName(unit);
    EXPECT_EQ(name.size(), 5);
    EXPECT_EQ(name.toUcs4().size(), 4);
    EXPECT_EQ(name.toUcs4().back(), 0x1F6A2u);
}
