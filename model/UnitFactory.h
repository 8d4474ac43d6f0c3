// Creates, owns and lists the sides of the running program: the local side,
// default sides for a new battle, computer sides, and the sides of other
// machines rebuilt from the host's list. One mutex guards every table: the
// audience manager's worker and the set-up tasks call in beside the GUI.
#pragma once

#include "model/Records.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CUnit;

class CUnitFactory {
  public:
    static constexpr std::size_t MaxNameLength = 17;
    static constexpr std::size_t MaxPasswordLength = 127;

    CUnitFactory(CBoard* board, CGameEdit* gameEdit);
    virtual ~CUnitFactory();

    CUnitFactory(const CUnitFactory&) = delete;
    CUnitFactory& operator=(const CUnitFactory&) = delete;

    // Throws CNameLengthError, CPassLengthError or CDuplicateNameError.
    // Lengths count UTF-16 units.
    void ValidateUnitProfile(const UnitProfile& profile, bool checkDuplicates) const;

    CUnit* CreateUnit(const UnitProfile& profile);
    // The first unit made this way while there is no local unit becomes it.
    CUnit* CreateLocalUnit(std::uint32_t type, std::uint32_t flag, const std::wstring& name,
                           const std::wstring& password);
    CUnit* CreateComputerUnit(std::uint32_t flag, const std::wstring& name, std::int32_t level);
    CUnit* CreateNamedComputerUnit(std::int32_t level);
    void CreateDefaultUnits(const std::vector<std::uint32_t>& types);
    // Rebuilds the table from the host's list; answers the playing units.
    std::vector<CUnit*> CreateUnits(const std::vector<UnitProfile>& profiles);
    bool UpdateUnitProfile(const UnitProfile& profile);

    // Ids come from the network: an unknown one answers none.
    CUnit* GetUnit(std::uint32_t id) const;
    CUnit* FindUnitByHost(std::uint64_t hostId) const;
    void GetUnitProfiles(std::vector<UnitProfile>& out) const;
    CUnit* GetLocalUnit() const;
    std::vector<CUnit*> GetUnits() const;
    std::vector<CUnit*> GetPlayingUnits() const;
    std::size_t CountUnits() const;
    std::uint32_t GetNextUnitNumber() const;

    void Clear();
    void RemoveOtherUnits();
    void RemoveWatchingUnits();
    bool RemoveUnit(CUnit* unit);
    void ClearLocalUnit();
    void ResetTeams();
    // Keeps team-mates side by side and numbers the units 0..n-1, but only
    // while no side holds ships: ship records carry their unit's id.
    void ArrangeUnits();

    // Runs one update per rule-settings entry over the given units.
    template <typename Entry>
    static void ApplyToUnits(const std::vector<Entry>& entries, const std::vector<CUnit*>& units,
                             const std::function<void(const Entry&, CUnit&)>& action)
    {
        for (const Entry& entry : entries) {
            for (CUnit* unit : units) {
                if (unit != nullptr) action(entry, *unit);
            }
        }
    }

    CBoard* GetBoard() const { return m_board; }
    CGameEdit* GetGameEdit() const { return m_gameEdit; }

  private:
    void Validate(const UnitProfile& profile, bool checkDuplicates) const;
    CUnit* MakeUnit(const UnitProfile& profile);
    CUnit* MakeLocalUnit(std::uint32_t type, std::uint32_t flag, const std::wstring& name,
                         const std::wstring& password, std::int32_t level);
    void RemoveOthers();
    void Arrange();
    void SortUnits();
    void RebuildLists();
    void SettleNextId();
    bool AnyShips() const;

    CBoard* m_board;
    CGameEdit* m_gameEdit;
    std::uint32_t m_nextId = 0;
    CUnit* m_localUnit = nullptr;
    std::vector<std::unique_ptr<CUnit>> m_units;
    std::vector<CUnit*> m_allUnits;
    std::vector<CUnit*> m_playingUnits;
    mutable std::mutex m_mutex;
};

} // namespace Marevane
