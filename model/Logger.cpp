#include "model/Logger.h"

#include "model/Timer.h"
#include "model/settings/SystemConfig.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"

#include <QFile>

namespace Marevane {

namespace {

const QString DiamondBlack = QString(QChar(0x25C6));
const QString DiamondWhite = QString(QChar(0x25C7));

QString Text(const std::wstring& text)
{
    return QString::fromStdWString(text);
}

QString PanelText(const MapPos& pos)
{
    return QStringLiteral("R") + QString::number(pos.x) + QStringLiteral("C") + QString::number(pos.y);
}

QString GetShipName(std::uint32_t type)
{
    return CGUIShipNames::GetInstance().Get(static_cast<ShipType>(type));
}

QString GetDirectionName(std::uint32_t direction)
{
    return CGUIDirectionNames::GetInstance().Get(static_cast<Direction>(direction));
}

bool IsSideMissing(const ActionInfo& action, std::uint32_t unitId)
{
    return action.Ships.find(unitId) == action.Ships.end();
}

// Sides write their files with LF line ends only.
QByteArray ToFileBytes(const QString& text)
{
    QString copy = text;
    copy.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return copy.toUtf8();
}

} // namespace

// --- CLogCache ----------------------------------------------------------------

CLogCache::CLogCache(QObject* parent) : QObject(parent)
{
    m_ships.reserve(20);
    m_lines.reserve(20);
}

void CLogCache::Add(const ShipProfile* ship, const QString& line)
{
    m_ships.push_back(ship ? std::optional<ShipProfile>(*ship) : std::nullopt);
    m_lines.push_back(line);
}

void CLogCache::Clear()
{
    m_ships.clear();
    m_lines.clear();
}

const ShipProfile* CLogCache::GetShip(std::size_t i) const
{
    const auto& ship = m_ships.at(i);
    return ship ? &*ship : nullptr;
}

// --- CLoggerImpl ------------------------------------------------------------

struct CLoggerImpl::Context {
    const ResultMessage& Record;
    QString Name;
    std::uint32_t SenderId = 0;
    const ActionInfo* Primary = nullptr;
    const ShipProfile* Ship = nullptr;
    ShipProfile Fallback; // stands for a ship the action does not list
};

CLoggerImpl::CLoggerImpl(QObject* parent)
    : QObject(parent), m_cache(new CLogCache(this)), m_marks(5, DiamondBlack),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    m_logTexts.reserve(200);
    m_boardTexts.reserve(200);
    m_statisticsTexts.reserve(8);
    m_errorTexts[QStringLiteral("no_log")] = tr("There is no log now.");
    m_errorTexts[QStringLiteral("no_number")] = tr("The log of this number does not exist.");
    m_errorTexts[QStringLiteral("invalid_format")] = tr("The specified value is invalid.");
}

CLoggerImpl::~CLoggerImpl() = default;

void CLoggerImpl::Log(MessageCode code, const ResultMessage& record)
{
    switch (code) {
    case 10:
    case 87:
    case 89:
        AddEventLog(record);
        break;
    case 47:
        AddBattleEndLog(record);
        break;
    default:
        break;
    }
}

void CLoggerImpl::AddEventLog(const ResultMessage& record)
{
    if (record.Code == 47) {
        AddBattleEndLog(record);
        return;
    }
    m_logTexts.push_back(MakeEventText(record));
}

void CLoggerImpl::AddTurnState(const ProgressMessage& state)
{
    m_cache->Clear();
    m_boardTexts.push_back(state.BoardText);
    m_turnStates.push_back(state);
}

const QString& CLoggerImpl::GetLogText(unsigned k) const
{
    if (m_logTexts.empty()) return m_errorTexts.at(QStringLiteral("no_log"));
    if (k == 0) return m_errorTexts.at(QStringLiteral("invalid_format"));
    if (k > m_logTexts.size()) return m_errorTexts.at(QStringLiteral("no_number"));
    return m_logTexts[m_logTexts.size() - k];
}

void CLoggerImpl::Clear()
{
    m_cache->Clear();
    m_turnStates.clear();
    m_logTexts.clear();
    m_boardTexts.clear();
    m_statisticsTexts.clear();
    m_lastResigner.reset();
}

void CLoggerImpl::BuildPositionMarks(std::uint32_t senderId, std::size_t count)
{
    m_unitCount = count;
    if (count > 2) {
        m_logTexts.reserve(count * 100);
        m_boardTexts.reserve(count * 100);
    }
    if (m_marks.size() < count + 1) m_marks.resize(count + 1, DiamondBlack);
    m_marks[0] = QStringLiteral("*");
    const QString pair = DiamondBlack + DiamondWhite;
    for (std::size_t i = 1; i <= count; ++i)
        m_marks[i] = pair.at(static_cast<int>((senderId % 2 + i - 1) % 2));
}

void CLoggerImpl::AddCacheLine(const ShipProfile* ship, const QString& line)
{
    m_cache->Add(ship, line);
}

QString CLoggerImpl::MakeShipLabel(const ShipProfile& ship, bool withNumber) const
{
    const QString type = GetShipName(ship.Type);
    if (!withNumber) return type;
    const QString no = tr("No.");
    if (no == QStringLiteral("No.")) return no + QString::number(ship.ShipId) + QStringLiteral(" ") + type;
    return QString::number(ship.ShipId) + no + type;
}

QString CLoggerImpl::MakeSunkText(const ShipProfile& ship) const
{
    if (ship.IsFlagship) return tr("The Flagship ") + MakeShipLabel(ship, false) + tr(" sunk.");
    return MakeShipLabel(ship, true) + tr(" sunk.");
}

QString CLoggerImpl::MakeHeader(const ResultMessage& record) const
{
    const QString roundWord = tr("Round");
    const QString turnWord = tr("Turn");
    const bool english = roundWord == QStringLiteral("Round");
    const QString round = english ? roundWord + QString::number(record.Order.Round) + QStringLiteral(" ")
                                  : QString::number(record.Order.Round) + roundWord;
    const QString turn = turnWord == QStringLiteral("Turn")
                             ? turnWord + QString::number(record.Order.Position) + QStringLiteral(" ")
                             : QString::number(record.Order.Position) + turnWord;
    const QString mark =
        record.Order.Position < m_marks.size() ? m_marks[record.Order.Position] : m_marks.front();
    CTimer timer(static_cast<std::int64_t>(record.Time));
    return mark + round + turn + tr("(Time ") + GetTimeSpanText(&timer, !english) + QStringLiteral(")") +
           QStringLiteral(":\n");
}

QString CLoggerImpl::MakeEventText(const ResultMessage& record)
{
    if (m_logTexts.empty()) BuildPositionMarks(record.Sender.Id, record.Units.size());
    Context context{record, Text(record.Sender.Name), record.Sender.Id, record.GetPrimaryAction(), nullptr,
                    {}};
    // A time-up record's command is a pass; one received naming a ship
    // command still gets a ship to talk about.
    if (context.Primary && context.Primary->Command != CommandResign) {
        if (record.Code != 10)
            context.Ship = context.Primary->FindShipProfile(context.SenderId, context.Primary->ShipId);
        if (!context.Ship) {
            context.Fallback.UnitId = context.SenderId;
            context.Fallback.ShipId = context.Primary->ShipId;
            context.Fallback.Type = context.Primary->ShipType;
            context.Ship = &context.Fallback;
        }
    }
    if (context.Primary && context.Primary->Command == CommandResign) m_lastResigner = context.SenderId;
    QString text = MakeHeader(record) + MakeBody(context);
    if (context.Primary) text += MakeTorpedoText(context) + MakeTurnEndText(context);
    return text;
}

QString CLoggerImpl::MakeBody(const Context& context)
{
    const ResultMessage& record = context.Record;
    const QString& name = context.Name;
    const ShipProfile* ship = context.Ship;
    const std::uint32_t command = context.Primary ? context.Primary->Command : CommandNone;
    auto shipLine = [&](const QString& tail) {
        const QString line = name + tr("'s ") + MakeShipLabel(*ship, true) + tail;
        AddCacheLine(ship, line);
        return line;
    };
    auto plainLine = [&](const QString& line) {
        AddCacheLine(nullptr, line);
        return line;
    };
    auto hitMine = [&]() {
        const MineProfile& mine = ship->MineHits[0];
        return mine.VictimUnitId == context.SenderId && mine.IsExploded;
    };

    switch (command) {
    case CommandAttack: {
        const QString line =
            name + tr(" attacked on the Panel ") + PanelText(context.Primary->Target) + tr(".");
        AddCacheLine(ship, line);
        return line + QStringLiteral("\n") + MakeAttackResultText(context, *context.Primary);
    }
    case CommandMove: {
        const bool hidden = ship->Status == ShipStatusStealth ||
                            (ship->Config.CanStealth && ship->Condition == 5 && ship->PendingStatus == 5);
        QString text =
            hidden ? shipLine(tr(" moved."))
                   : shipLine(tr(" moved to ") + GetDirectionName(context.Primary->Direction) + tr(" by ") +
                              QString::number(context.Primary->Distance) + tr(" panels."));
        if (hitMine()) {
            QString line = tr("But it hit mine(s) during moving. ");
            if (ship->LastEvent == 3) line += MakeSunkText(*ship);
            AddCacheLine(ship, line);
            text += QStringLiteral("\n") + line;
        }
        if (ship->LastEvent == 5) {
            const QString line = tr("But it found a reef during moving.");
            AddCacheLine(ship, line);
            text += QStringLiteral("\n") + line;
        }
        return text;
    }
    case CommandMine:
        return shipLine(tr(" laid a mine."));
    case CommandTorpedo:
        return shipLine(tr(" fire a torpedo."));
    case CommandReinforce: {
        const QString first = name + tr(" sent a ship as reinforcement.");
        AddCacheLine(ship, first);
        QString text = first;
        if (hitMine()) {
            QString line = tr("But it hit mine(s) at the destination. ");
            if (ship->LastEvent == 3) line += MakeShipLabel(*ship, false) + tr(" sunk.");
            AddCacheLine(ship, line);
            text += QStringLiteral("\n") + line;
        }
        return text;
    }
    case CommandRefuel:
        return shipLine(tr(" refueled."));
    case CommandResign:
        return plainLine(name + tr(" resigned."));
    case CommandChangeFlagship: {
        const QString line = name + tr(" changed the flagship.");
        AddCacheLine(ship, line);
        return line;
    }
    default:
        break;
    }
    if (record.Code == 10) return plainLine(name + tr("'s time is up."));
    if (record.Code == 89 && record.SecondCode == 11) return plainLine(name + tr(" has already lost."));
    if (record.Code == 89)
        return plainLine(name + tr(" had nothing to do for being unable to input a command."));
    return QString();
}

QString CLoggerImpl::MakeAttackResultText(const Context& context, const ActionInfo& action)
{
    QString text;
    if (action.Ships.empty()) return text;
    const UnitProfile& sender = context.Record.Sender;
    for (const UnitProfile& side : context.Record.Units) {
        if (side.Id == sender.Id || sender.TeamMates.count(side.HostId)) continue;
        // A side the action does not list took no part in it.
        if (IsSideMissing(action, side.Id)) continue;
        const auto& ships = action.Ships.at(side.Id);
        const QString sideName = Text(side.Name);
        const ShipProfile* hit = nullptr;
        for (const ShipProfile& ship : ships) {
            if (ship.Type != ShipTypeNone && (ship.LastEvent == 2 || ship.LastEvent == 3)) {
                hit = &ship;
                break;
            }
        }
        if (!hit) {
            const QString line = tr("This attack didn't hit ") + sideName + tr("'s ship.");
            AddCacheLine(nullptr, line);
            text += QStringLiteral("\n") + line;
        } else {
            QString line = tr("This attack hit ") + sideName + tr("'s ship. ");
            if (hit->LastEvent == 3) {
                if (hit->IsFlagship) line += tr("The Flagship ");
                line += MakeShipLabel(*hit, false) + tr(" was sunk.");
            }
            AddCacheLine(hit, line);
            text += QStringLiteral("\n") + line;
        }
        for (const ShipProfile& ship : ships) {
            if (ship.Type == ShipTypeNone || ship.Status == ShipStatusStealth || ship.LastEvent != 4)
                continue;
            const QString line = sideName + tr("'s ") + MakeShipLabel(ship, true) + tr(" found a splash.");
            AddCacheLine(&ship, line);
            text += QStringLiteral("\n") + line;
        }
    }
    return text;
}

QString CLoggerImpl::MakeTorpedoText(const Context& context)
{
    QString text;
    for (const ActionInfo* action : context.Record.GetActions(2)) {
        if (action->Command != CommandTorpedo) continue;
        const QString line =
            context.Name + tr("'s torpedo exploded on the panel ") + PanelText(action->Target) + tr(".");
        AddCacheLine(nullptr, line);
        text += QStringLiteral("\n") + line + MakeAttackResultText(context, *action);
    }
    return text;
}

QString CLoggerImpl::MakeTurnEndText(const Context& context)
{
    const ResultMessage& record = context.Record;
    const QString& name = context.Name;
    QStringList lines;
    for (const ActionInfo* action : record.GetActions(3)) {
        if (IsSideMissing(*action, context.SenderId)) continue;
        for (const ShipProfile& ship : action->Ships.at(context.SenderId)) {
            if (ship.Type == ShipTypeNone) continue;
            QString line;
            switch (ship.PendingStatus) {
            case 1:
                line = name + tr("'s ") + MakeShipLabel(ship, true) + tr(" dived.");
                break;
            case 2:
                line = name + tr("'s ") + MakeShipLabel(ship, true) + tr(" surfaced.");
                break;
            case 5:
                line = name + tr("'s ") + MakeShipLabel(ship, true) + tr(" ran out of fuel. ");
                if (ship.Condition == 5) line += MakeSunkText(ship);
                break;
            default:
                continue;
            }
            AddCacheLine(&ship, line);
            lines << line;
        }
    }
    const bool resignedNow = context.Primary && context.Primary->Command == CommandResign;
    if (record.Sender.IsResigned && record.Code != 89 && !resignedNow) {
        const QString line =
            name +
            tr(" ended up resigning in order to lose the right to win and the ability to continue combat "
               "any more.");
        AddCacheLine(nullptr, line);
        lines << line;
    }
    if (record.SecondCode == 12) {
        const QString line = tr("All players ran out of fuel.");
        AddCacheLine(nullptr, line);
        lines << line;
    }
    if (lines.isEmpty()) return QString();
    return QStringLiteral("\n\n") + lines.join(QStringLiteral("\n"));
}

QString CLoggerImpl::MakeWinners(const ResultMessage& record) const
{
    QString winners = Text(record.Sender.Name);
    if (record.Sender.TeamMates.empty()) return winners;
    for (const UnitProfile& side : record.Units) {
        if (side.Id != record.Sender.Id && record.Sender.TeamMates.count(side.HostId)) {
            winners += QStringLiteral(" & ") + Text(side.Name);
        }
    }
    return winners;
}

QString CLoggerImpl::MakeStatisticsText(const QString& name, const ActionStatistics& stats) const
{
    QString text = QStringLiteral("[") + name + tr("'s Battle Statistics]") + QStringLiteral("\n");
    const auto lines = GetStatisticsText(stats);
    const auto count = std::min(lines.first.size(), lines.second.size());
    for (int i = 0; i < count; ++i) text += lines.first.at(i) + lines.second.at(i) + QStringLiteral("\n");
    return text;
}

void CLoggerImpl::AddBattleEndLog(const ResultMessage& record)
{
    const QString winners = MakeWinners(record);
    QString block = QStringLiteral("\n") + tr("Battle End: ");
    const bool decided = !record.Sender.Name.empty() || record.SecondCode != 0;
    if (record.SecondCode == 49) {
        block += winners + tr(" wins on points!") + QStringLiteral("\n");
        for (std::size_t i = 0; i < record.Units.size(); ++i) {
            if (i > 0) block += i % 2 ? QStringLiteral("  ") : QStringLiteral("\n");
            const UnitProfile& side = record.Units[i];
            block += Text(side.Name) + tr("'s Score = ") + QString::number(side.Statistics[0].Score, 'g', 6) +
                     tr(" pts");
        }
    } else if (record.SecondCode == 48) {
        block += tr("Draw.");
    } else if (!decided) {
        // Broken off before the mission decided anything.
        block += tr("Undecided.");
    } else {
        block += winners + tr(" wins!");
    }

    const MessageCode second = record.SecondCode;
    const QString farewell = Text(record.Command.Text);
    if ((second == 84 || second == 85 || second == 86) && !farewell.isEmpty()) {
        for (const UnitProfile& side : record.Units) {
            if (side.Id == record.Sender.Id) continue;
            // Only the side that resigned says farewell; without a logged
            // resignation, the sides marked resigned.
            if (m_lastResigner ? side.Id != *m_lastResigner : !side.IsResigned) continue;
            const QString name = Text(side.Name);
            block += QStringLiteral("\n") + name + QStringLiteral("\"") + farewell + QStringLiteral("\" ");
            if (second == 85) block += tr("Poet!");
            if (second == 84 || second == 85) {
                block += QStringLiteral("\n") + winners + QStringLiteral("\"Salve!\" ") + name +
                         QStringLiteral("\"Vale!\" ");
            }
            block += name + tr(" died.");
        }
    }
    m_logTexts.push_back(block);

    m_statisticsTexts.push_back(QStringLiteral("\n\n") + tr("<<The Current Battle Statistics>>"));
    for (const UnitProfile& side : record.Units) {
        m_statisticsTexts.push_back(QStringLiteral("\n") +
                                    MakeStatisticsText(Text(side.Name), side.Statistics[0]));
    }
    m_statisticsTexts.push_back(QStringLiteral("\n\n") + tr("<<The All Play Statistics>>"));
    for (const UnitProfile& side : record.Units) {
        m_statisticsTexts.push_back(QStringLiteral("\n") +
                                    MakeStatisticsText(Text(side.Name), side.Statistics[1]));
    }
}

QString CLoggerImpl::LogFolder(const QString& setting)
{
    QString folder = setting;
    // Either separator may come from the settings file.
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

bool CLoggerImpl::SaveLogFile(const QString& prefix)
{
    return SaveLogFile(prefix, Text(CSystemConfig::GetInstance().LogPath));
}

bool CLoggerImpl::SaveLogFile(const QString& prefix, const QString& folder)
{
    const QString stem = LogFolder(folder) + prefix + QStringLiteral("-") +
                         m_clock().toString(QStringLiteral("yyyyMMddhhmmss"));
    QFile file;
    const auto failed = [&] {
        m_saveError = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    };
    // A name already taken gets a suffix: a saved log is never replaced.
    for (int n = 1; n < 1000; ++n) {
        file.setFileName(n == 1 ? stem + QStringLiteral(".log")
                                : stem + QStringLiteral("-") + QString::number(n) + QStringLiteral(".log"));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
        if (!file.exists()) return failed();
    }
    if (!file.isOpen()) return failed();

    bool ok = true;
    auto write = [&](const QString& text) {
        const QByteArray bytes = ToFileBytes(text);
        ok = ok && file.write(bytes) == bytes.size();
    };
    std::size_t cursor = 0;
    std::size_t i = 1;
    for (const QString& text : m_logTexts) {
        if (cursor < m_boardTexts.size()) {
            // An empty board text is passed over, so later turns keep theirs.
            if (!m_boardTexts[cursor].empty()) write(Text(m_boardTexts[cursor]));
            ++cursor;
        }
        if (i < m_unitCount) {
            write(text + QStringLiteral("\n"));
            ++i;
        } else {
            write(text + QStringLiteral("\n\n"));
            i = 1;
        }
    }
    for (const QString& text : m_statisticsTexts) write(text);
    ok = file.flush() && ok;
    if (!ok) failed();
    file.close();
    if (ok && file.error() != QFileDevice::NoError) ok = failed();
    if (ok) m_savedPath = file.fileName();
    return ok;
}

} // namespace Marevane
