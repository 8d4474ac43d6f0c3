// Texts of time spans and of the statistics of a side or a ship, shared by
// the status screens, the result screen and the battle log.
#pragma once

#include "model/Messages.h"
#include "model/Records.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

namespace Marevane {

class CTimer;
class CUnit;

// Label texts and value texts, one pair per line.
using StatisticsTexts = std::pair<QStringList, QStringList>;

// The remaining time of a timer with a limit, as "1:05:09" or, in words,
// "1 hour5 sec"; "- : - : - " or "none" without one.
QString GetTimeSpanText(const CTimer* timer, bool words);
// A duration in ms, in words.
QString GetSecondsText(std::uint64_t ms);

// A side's name as the screens show it; the name's UTF-16 form, so a
// character outside the BMP stays one character.
QString GetPlayerName(const CUnit& unit);
// The same for a side's profile, and for a connection-list entry (the side
// that sent it).
QString GetProfileName(const UnitProfile& profile);
QString GetEntryName(const EntryMessage& entry);

StatisticsTexts GetStatisticsText(const ActionStatistics& statistics);
StatisticsTexts GetStatisticsTextLists(const ShipStatistics& statistics);

} // namespace Marevane
