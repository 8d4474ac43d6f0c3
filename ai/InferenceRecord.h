// What the computer remembers about each side from turn to turn: one record
// per side, filled by the side assessment, and the table that holds them.
#pragma once

#include "model/Errors.h"
#include "model/Records.h"

#include <cstdint>
#include <map>
#include <stdexcept>

namespace Marevane::ComputerAI {

struct InferenceRecord {
    // The side's follow-up actions (turn effects and end-of-turn changes) of
    // its last own record, each under itself.
    using FollowUpMap = std::map<const ActionInfo*, const ActionInfo*>;

    std::uint32_t ActiveShips = 0;
    std::uint32_t AttackShips = 0;
    std::uint32_t StealthedShips = 0;
    // Set only for the rivals; 0 until then rather than left unset, so a
    // copy or a sum never reads an indeterminate value.
    std::uint32_t ThreatCount = 0;
    std::uint32_t HitPoints = 0;
    std::uint32_t Damage = 0;
    std::uint32_t RecordCount = 0;
    double HealthRatio = 0.0;
    std::int32_t LastCommand = 0;
    std::int32_t LastShip = 0;
    std::int32_t HealthScore = 1;
    std::int32_t AttackScore = 1;
    std::int32_t Phase = 0;
    std::int32_t Stance = 1;
    bool ReachFlag = false;
    bool FollowUpFlag = false;
    bool FirstKindFlag = false;
    bool SecondKindFlag = false;
    FollowUpMap FollowUps;
};

class CInferenceTable {
  public:
    using RecordMap = std::map<std::uint32_t, InferenceRecord>;

    // All ones stands for a game without an own unit.
    static constexpr std::uint32_t NoUnit = 0xFFFFFFFFu;

    explicit CInferenceTable(std::uint32_t ownUnitId = NoUnit) : m_ownUnitId(ownUnitId) {}

    std::uint32_t GetOwnUnitId() const { return m_ownUnitId; }

    bool HasRecord(std::uint32_t unitId) const { return m_records.count(unitId) != 0; }
    // Throws std::out_of_range for a side without a record.
    InferenceRecord& GetRecord(std::uint32_t unitId)
    {
        return const_cast<InferenceRecord&>(static_cast<const CInferenceTable&>(*this).GetRecord(unitId));
    }
    const InferenceRecord& GetRecord(std::uint32_t unitId) const
    {
        auto it = m_records.find(unitId);
        if (it == m_records.end()) throw std::out_of_range(MissingKeyText);
        return it->second;
    }
    // Inserts a default record unless the side already has one; true when it did.
    bool AddRecord(std::uint32_t unitId) { return m_records.emplace(unitId, InferenceRecord{}).second; }
    RecordMap& GetRecords() { return m_records; }
    const RecordMap& GetRecords() const { return m_records; }

    // The sums over the own side with its team mates and over the rest.
    InferenceRecord& GetAllies() { return m_allies; }
    const InferenceRecord& GetAllies() const { return m_allies; }
    InferenceRecord& GetRivals() { return m_rivals; }
    const InferenceRecord& GetRivals() const { return m_rivals; }

    // The kind value the last side assessment was run with.
    std::uint32_t GetAssessedKind() const { return m_assessedKind; }
    void SetAssessedKind(std::uint32_t kind) { m_assessedKind = kind; }
    std::uint32_t GetKindWord() const { return m_kindWord; }
    void SetKindWord(std::uint32_t word) { m_kindWord = word; }
    // An own stealth ship low on fuel; an own oiler that can still give fuel.
    bool GetFirstFlag() const { return m_firstFlag; }
    void SetFirstFlag(bool flag) { m_firstFlag = flag; }
    bool GetSecondFlag() const { return m_secondFlag; }
    void SetSecondFlag(bool flag) { m_secondFlag = flag; }

  private:
    std::uint32_t m_ownUnitId;
    RecordMap m_records;
    InferenceRecord m_allies;
    InferenceRecord m_rivals;
    std::uint32_t m_assessedKind = 0;
    std::uint32_t m_kindWord = 0;
    bool m_firstFlag = false;
    bool m_secondFlag = false;
};

} // namespace Marevane::ComputerAI
