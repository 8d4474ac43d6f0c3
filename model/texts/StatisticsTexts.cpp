#include "model/texts/StatisticsTexts.h"

#include "model/Score.h"
#include "model/TextUtil.h"
#include "model/Timer.h"
#include "model/Unit.h"

#include <QCoreApplication>

namespace Marevane {

namespace {

QString Tr(const char* source)
{
    return QCoreApplication::translate("QObject", source);
}

QString Clock(const TimeSpan& span)
{
    return QStringLiteral("%1:%2:%3")
        .arg(span.Hours)
        .arg(span.Minutes, 2, 10, QLatin1Char('0'))
        .arg(span.Seconds, 2, 10, QLatin1Char('0'));
}

QString Words(const TimeSpan& span)
{
    QString text;
    if (span.Hours == 1)
        text += QStringLiteral("1") + Tr(QT_TRANSLATE_NOOP("QObject", " hour"));
    else if (span.Hours != 0)
        text += QString::number(span.Hours) + Tr(QT_TRANSLATE_NOOP("QObject", " hours"));
    if (span.Minutes != 0) text += QString::number(span.Minutes) + Tr(QT_TRANSLATE_NOOP("QObject", " min"));
    text += QString::number(span.Seconds) + Tr(QT_TRANSLATE_NOOP("QObject", " sec"));
    return text;
}

QString Decimal(double value)
{
    return QString::number(value, 'g', 6);
}

double Ratio(std::uint32_t a, std::uint32_t b)
{
    return b == 0 ? 0.0 : static_cast<double>(a) / b;
}

QString Rate(std::uint32_t a, std::uint32_t b)
{
    return Decimal(Ratio(a, b) * 100);
}

QString Of(std::uint32_t a, std::uint32_t b)
{
    return QString::number(a) + QStringLiteral(" / ") + QString::number(b);
}

class CLines {
  public:
    CLines()
    {
        m_texts.first.reserve(22);
        m_texts.second.reserve(22);
    }

    void Add(const char* label, const QString& value)
    {
        m_texts.first << Tr(label) + QStringLiteral(": ");
        m_texts.second << value;
    }

    // The lines both a side and a ship show, up to the mine counts.
    void AddAttacks(std::uint32_t attacks, std::uint32_t hits, std::uint32_t splashes, std::uint32_t sunk,
                    std::uint32_t torpedoes)
    {
        Add(QT_TRANSLATE_NOOP("QObject", "Attack Count"),
            QString::number(attacks) + Tr(QT_TRANSLATE_NOOP("QObject", " times")));
        Add(QT_TRANSLATE_NOOP("QObject", "Attack Hit Count"),
            QString::number(hits) + Tr(QT_TRANSLATE_NOOP("QObject", " times")));
        Add(QT_TRANSLATE_NOOP("QObject", "(Hit Rate"),
            Rate(hits, attacks) + Tr(QT_TRANSLATE_NOOP("QObject", "%)")));
        Add(QT_TRANSLATE_NOOP("QObject", "Splash Frequency"),
            Decimal(Ratio(splashes, attacks)) + Tr(QT_TRANSLATE_NOOP("QObject", " times per attack")));
        Add(QT_TRANSLATE_NOOP("QObject", "Defeating Count"),
            QString::number(sunk) + Tr(QT_TRANSLATE_NOOP("QObject", " ships")));
        Add(QT_TRANSLATE_NOOP("QObject", "Torpedo Use Count"),
            QString::number(torpedoes) + Tr(QT_TRANSLATE_NOOP("QObject", " torpedoes")));
    }

    // From the mine hits to the flagship changes; ten counters in a row.
    template <typename Statistics> void AddMinesToFlagship(const Statistics& statistics, std::size_t first)
    {
        static const std::pair<const char*, const char*> rows[] = {
            {QT_TRANSLATE_NOOP("QObject", "Mine Hit Count(you)"), QT_TRANSLATE_NOOP("QObject", " mines")},
            {QT_TRANSLATE_NOOP("QObject", "Mine Hit Count(rival)"), QT_TRANSLATE_NOOP("QObject", " mines")},
            {QT_TRANSLATE_NOOP("QObject", "Mine Removing Count(you)"),
             QT_TRANSLATE_NOOP("QObject", " mines")},
            {QT_TRANSLATE_NOOP("QObject", "Mine Removing Count(rival)"),
             QT_TRANSLATE_NOOP("QObject", " mines")},
            {QT_TRANSLATE_NOOP("QObject", "Move Count"), QT_TRANSLATE_NOOP("QObject", " times")},
            {QT_TRANSLATE_NOOP("QObject", "Move Distance All"), QT_TRANSLATE_NOOP("QObject", " panels")},
            {QT_TRANSLATE_NOOP("QObject", "Reinforcement Count"), QT_TRANSLATE_NOOP("QObject", " times")},
            {QT_TRANSLATE_NOOP("QObject", "Refueling Count"), QT_TRANSLATE_NOOP("QObject", " times")},
            {QT_TRANSLATE_NOOP("QObject", "Refueling Sum"), QT_TRANSLATE_NOOP("QObject", " FP")},
            {QT_TRANSLATE_NOOP("QObject", "Flagship Change Count"), QT_TRANSLATE_NOOP("QObject", " times")},
        };
        std::size_t index = first;
        for (const auto& row : rows) Add(row.first, QString::number(statistics[index++]) + Tr(row.second));
    }

    StatisticsTexts Take() { return std::move(m_texts); }

  private:
    StatisticsTexts m_texts;
};

} // namespace

QString GetTimeSpanText(const CTimer* timer, bool words)
{
    if (timer == nullptr || !timer->HasLimit())
        return words ? Tr(QT_TRANSLATE_NOOP("QObject", "none"))
                     : Tr(QT_TRANSLATE_NOOP("QObject", "- : - : - "));
    const TimeSpan span = timer->GetTimeLimitHms();
    return words ? Words(span) : Clock(span);
}

QString GetProfileName(const UnitProfile& profile)
{
    const std::u16string name = ToU16String(profile.Name);
    return QString::fromUtf16(name.data(), static_cast<int>(name.size()));
}

QString GetPlayerName(const CUnit& unit)
{
    return GetProfileName(unit.GetProfile());
}

QString GetEntryName(const EntryMessage& entry)
{
    return GetProfileName(entry.Sender);
}

QString GetSecondsText(std::uint64_t ms)
{
    return Words(SplitMilliseconds(ms));
}

StatisticsTexts GetStatisticsText(const ActionStatistics& s)
{
    CLines lines;
    lines.AddAttacks(s[StatAttacks], s[StatHits], s[StatNearMisses], s[StatSunk], s[StatTorpedoes]);
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Mine Use Count"),
              Of(s[StatMinesLaid], s[StatMinesHeld]) + Tr(QT_TRANSLATE_NOOP("QObject", " mines")));
    lines.AddMinesToFlagship(s, StatOwnMineHits);
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Rest of HP"),
              Of(s[StatHp], s[StatMaxHp]) + Tr(QT_TRANSLATE_NOOP("QObject", " HP")));
    lines.Add(QT_TRANSLATE_NOOP("QObject", "(Remaining Rate"),
              Rate(s[StatHp], s[StatMaxHp]) + Tr(QT_TRANSLATE_NOOP("QObject", "%)")));
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Rest of FP"),
              Of(s[StatFp], s[StatMaxFp]) + Tr(QT_TRANSLATE_NOOP("QObject", " FP")));
    lines.Add(QT_TRANSLATE_NOOP("QObject", "(Remaining Rate"),
              Rate(s[StatFp], s[StatMaxFp]) + Tr(QT_TRANSLATE_NOOP("QObject", "%)")));
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Exploration Rate"),
              Rate(s[StatPanelsExplored], s[StatPanelCount]) + Tr(QT_TRANSLATE_NOOP("QObject", "% (")) +
                  Of(s[StatPanelsExplored], s[StatPanelCount]) +
                  Tr(QT_TRANSLATE_NOOP("QObject", " panels)")));
    const std::uint32_t battles = s[StatBattles];
    if (battles != 0)
        lines.Add(QT_TRANSLATE_NOOP("QObject", "Total Round Count"),
                  QString::number(s[StatRound]) + Tr(QT_TRANSLATE_NOOP("QObject", " rounds")));
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Expended Time"), GetSecondsText(s.Time));
    if (battles != 0) {
        lines.Add(QT_TRANSLATE_NOOP("QObject", "Battle Count"),
                  QString::number(battles) + Tr(QT_TRANSLATE_NOOP("QObject", " battles")));
        lines.Add(QT_TRANSLATE_NOOP("QObject", "Win Count"),
                  QString::number(s[StatVictory]) + Tr(QT_TRANSLATE_NOOP("QObject", " wins")));
        lines.Add(QT_TRANSLATE_NOOP("QObject", "(Winning Percentage"),
                  Rate(s[StatVictory], battles) + Tr(QT_TRANSLATE_NOOP("QObject", "%)")));
    }
    // Summed records hold the score total of their battles; one battle's is computed.
    const double score = battles != 0 ? s.Score / battles : CalculateScore(s);
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Score"),
              Decimal(score) + Tr(QT_TRANSLATE_NOOP("QObject", " points")));
    return lines.Take();
}

StatisticsTexts GetStatisticsTextLists(const ShipStatistics& s)
{
    CLines lines;
    lines.AddAttacks(s[ShipStatAttacks], s[ShipStatHits], s[ShipStatNearMisses], s[ShipStatSunk],
                     s[ShipStatTorpedoes]);
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Mine Use Count"),
              QString::number(s[ShipStatMinesLaid]) + Tr(QT_TRANSLATE_NOOP("QObject", " mines")));
    lines.AddMinesToFlagship(s, ShipStatOwnMineHits);
    lines.Add(QT_TRANSLATE_NOOP("QObject", "Exploration Count"),
              QString::number(s[ShipStatPanelsExplored]) + Tr(QT_TRANSLATE_NOOP("QObject", " panels")));
    return lines.Take();
}

} // namespace Marevane
