// The history of one battle: one result record per turn, the record of the
// turn under way and, once the battle is over, the end record.
#pragma once

#include "model/Messages.h"
#include "model/Records.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Marevane {

class CArbiter;
class CUnit;

// Second codes the manager writes into a record.
enum : MessageCode {
    SecondCodeLost = 11,         // the acting side has lost
    SecondCodeOutOfFuel = 12,    // no side can act for want of fuel
    SecondCodeFarewell = 84,     // resigned with at most 10 characters
    SecondCodePoet = 85,         // 11 to 20 characters
    SecondCodeLongFarewell = 86, // 21 or more
};

class CResultManager {
  public:
    // The process-wide manager; units and turn managers keep the reference.
    static CResultManager& GetInstance();

    CResultManager();
    CResultManager(const CResultManager&) = delete;
    CResultManager& operator=(const CResultManager&) = delete;
    virtual ~CResultManager();

    // The one entry for battle events (start, results, turn end, battle end).
    void Record(MessageCode code, CUnit* unit, const std::vector<CUnit*>& units);
    // The opening record: every fleet as it stands.
    void StartBattle(CUnit* unit, const std::vector<CUnit*>& units);
    // Forgets every record and the arbiter.
    void Clear();
    void SetArbiter(const CArbiter* arbiter) { m_arbiter = arbiter; }
    const CArbiter* GetArbiter() const { return m_arbiter; }

    // The k-th most recent stored record (1 = latest); std::range_error
    // "GetLog range_error" for 0 or beyond the count.
    const ResultMessage& GetLog(unsigned k) const;
    // The record under way when it holds a result, else the latest stored.
    const ResultMessage& GetLatestLog() const;
    unsigned GetLogCount() const { return static_cast<unsigned>(m_logs.size()); }
    // The last round's stored records, oldest first.
    std::vector<const ResultMessage*> GetRecentLogs() const;
    static std::vector<const ActionInfo*> GetTurnEffectActions(const ResultMessage& record);

    // Neighbours of a stored record (or of the record under way, whose
    // previous one is the latest stored); null at either end or for a
    // record this manager does not hold. Records carry no links of their
    // own, so a copy never points into storage that has moved.
    const ResultMessage* GetPreviousLog(const ResultMessage& record) const;
    const ResultMessage* GetNextLog(const ResultMessage& record) const;

    // The record under way.
    const ResultMessage& GetCurrentLog() const { return m_current; }
    ResultMessage& GetCurrentLog() { return m_current; }
    // A client takes over the record the host sent.
    void SetCurrentLog(const ResultMessage& record);

    // Where the battle stands: the play order of the record under way.
    const PlayOrder& GetPlayOrder() const { return m_current.Order; }
    std::uint32_t GetCurrentRound() const { return m_current.Order.Round; }
    void SetPlayOrder(const PlayOrder& order) { m_current.Order = order; }

    // Records set aside per pair of sides when a battle starts, and the step
    // by which the storage grows.
    static constexpr std::size_t RecordsPerBlock = 150;

  private:
    void Fill(MessageCode code, CUnit* unit, const std::vector<CUnit*>& units);
    bool FillFrom(CUnit* unit, const std::vector<CUnit*>& units);
    void TakeOverResignation();
    void BuildEndRecord(const std::vector<CUnit*>& units);
    void Store();
    void ResetCurrent();
    std::ptrdiff_t IndexOf(const ResultMessage& record) const;

    std::vector<ResultMessage> m_logs;
    ResultMessage m_current;
    const CArbiter* m_arbiter = nullptr;
    bool m_tookOverResignation = false;
};

// The second code of a resignation by the length of its farewell text.
MessageCode GetFarewellCode(const std::wstring& text);

} // namespace Marevane
