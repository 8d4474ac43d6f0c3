// The battle log: English sentences made from the result records, kept for
// the battle screens and written with the board texts and the statistics
// to a text file on request.
#pragma once

#include "model/Messages.h"
#include "model/Records.h"
#include "model/Types.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Marevane {

// The per-ship lines of the events since the last turn state, each with a
// copy of the ship it is about (none for a line about no ship). Copies, so
// that a line's ship stays valid whatever happens to the records.
class CLogCache : public QObject {
    Q_OBJECT
  public:
    explicit CLogCache(QObject* parent = nullptr);

    void Add(const ShipProfile* ship, const QString& line);
    void Clear();
    std::size_t GetCount() const { return m_lines.size(); }
    const QString& GetLine(std::size_t i) const { return m_lines.at(i); }
    // The ship of line i, or null for a line about no ship.
    const ShipProfile* GetShip(std::size_t i) const;
    const std::vector<QString>& GetLines() const { return m_lines; }

  private:
    std::vector<std::optional<ShipProfile>> m_ships;
    std::vector<QString> m_lines;
};

class CLoggerImpl : public QObject {
    Q_OBJECT
  public:
    using Clock = std::function<QDateTime()>;

    explicit CLoggerImpl(QObject* parent = nullptr);
    ~CLoggerImpl() override;

    // 10, 87 and 89 add an event text, 47 the end-of-battle block.
    void Log(MessageCode code, const ResultMessage& record);
    void AddEventLog(const ResultMessage& record);
    void AddBattleEndLog(const ResultMessage& record);
    void AddTurnState(const ProgressMessage& state);

    // The k-th most recent text (1 = latest); an error text for 0, for k
    // beyond the count and when nothing is logged.
    const QString& GetLogText(unsigned k) const;
    std::size_t GetLogCount() const { return m_logTexts.size(); }
    const std::vector<QString>& GetStatisticsTexts() const { return m_statisticsTexts; }
    const std::vector<ProgressMessage>& GetTurnStates() const { return m_turnStates; }

    // Writes the log into the "LogPath" folder of the settings, or into the
    // given folder. Never replaces a file: a name already taken gets a
    // suffix. True when the whole file was written.
    bool SaveLogFile(const QString& prefix);
    bool SaveLogFile(const QString& prefix, const QString& folder);
    // The path of the file the last successful save wrote.
    const QString& GetSavedPath() const { return m_savedPath; }
    // The file the last failed save tried and why it failed.
    const QString& GetSaveError() const { return m_saveError; }
    // The date and time that name the file; the local time unless a test
    // sets its own.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    void Clear();
    CLogCache& GetCache() { return *m_cache; }
    const CLogCache& GetCache() const { return *m_cache; }

    // Pieces of the sentences, open for the tests' tables.
    QString MakeEventText(const ResultMessage& record);
    QString MakeShipLabel(const ShipProfile& ship, bool withNumber) const;
    static QString LogFolder(const QString& setting);

  private:
    struct Context;

    void BuildPositionMarks(std::uint32_t senderId, std::size_t count);
    void AddCacheLine(const ShipProfile* ship, const QString& line);
    QString MakeHeader(const ResultMessage& record) const;
    QString MakeBody(const Context& context);
    QString MakeAttackResultText(const Context& context, const ActionInfo& action);
    QString MakeTorpedoText(const Context& context);
    QString MakeTurnEndText(const Context& context);
    QString MakeSunkText(const ShipProfile& ship) const;
    QString MakeStatisticsText(const QString& name, const ActionStatistics& stats) const;
    QString MakeWinners(const ResultMessage& record) const;

    CLogCache* m_cache;
    std::vector<ProgressMessage> m_turnStates;
    std::vector<QString> m_logTexts;
    std::vector<std::wstring> m_boardTexts;
    std::vector<QString> m_marks;
    std::vector<QString> m_statisticsTexts;
    std::map<QString, QString> m_errorTexts;
    std::size_t m_unitCount = 0;
    // The side whose resignation was logged last; its farewell closes the
    // end block.
    std::optional<std::uint32_t> m_lastResigner;
    QString m_savedPath;
    QString m_saveError;
    Clock m_clock;
};

// One per battle flow; the battle sequence owns it.
class CLogger {
  public:
    CLogger() = default;
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;
    virtual ~CLogger() = default;

    CLoggerImpl& GetImpl() { return m_impl; }
    const CLoggerImpl& GetImpl() const { return m_impl; }
    CLoggerImpl* operator->() { return &m_impl; }
    const CLoggerImpl* operator->() const { return &m_impl; }

  private:
    CLoggerImpl m_impl;
};

} // namespace Marevane
