#include "model/UnitFactory.h"

#include "model/Computer.h"
#include "model/Errors.h"
#include "model/Player.h"
#include "model/TextUtil.h"

#include <algorithm>

namespace Marevane {

namespace {

std::size_t Utf16Length(const std::wstring& text)
{
    return ToU16String(text).size();
}

} // namespace

CUnitFactory::CUnitFactory(CBoard* board, CGameEdit* gameEdit) : m_board(board), m_gameEdit(gameEdit)
{
    m_units.reserve(2);
    m_allUnits.reserve(2);
    m_playingUnits.reserve(4);
}

CUnitFactory::~CUnitFactory() = default;

void CUnitFactory::ValidateUnitProfile(const UnitProfile& profile, bool checkDuplicates) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Validate(profile, checkDuplicates);
}

void CUnitFactory::Validate(const UnitProfile& profile, bool checkDuplicates) const
{
    const std::size_t nameLength = Utf16Length(profile.Name);
    if (nameLength == 0 || nameLength > MaxNameLength) throw CNameLengthError();
    if (Utf16Length(profile.Password) > MaxPasswordLength) throw CPassLengthError();
    if (!checkDuplicates) return;
    for (const auto& unit : m_units) {
        if (unit->GetProfile().Name == profile.Name) throw CDuplicateNameError();
    }
}

CUnit* CUnitFactory::MakeUnit(const UnitProfile& profile)
{
    ++m_nextId;
    std::unique_ptr<CUnit> unit;
    if (profile.Type == UnitAuto) {
        unit = std::make_unique<CComputer>(profile, m_board);
    } else {
        unit = std::make_unique<CPlayer>(profile, m_board);
    }
    if (unit->GetHostId() == 0) unit->MakeHostId();
    CUnit* made = unit.get();
    m_units.push_back(std::move(unit));
    m_allUnits.push_back(made);
    if (made->GetUnitType() != UnitWatching) m_playingUnits.push_back(made);
    return made;
}

CUnit* CUnitFactory::CreateUnit(const UnitProfile& profile)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Validate(profile, false);
    return MakeUnit(profile);
}

CUnit* CUnitFactory::MakeLocalUnit(std::uint32_t type, std::uint32_t flag, const std::wstring& name,
                                   const std::wstring& password, std::int32_t level)
{
    const UnitProfile profile(m_nextId, type, flag, name, password, flag == 0 ? "127.0.0.1" : "", level);
    Validate(profile, false);
    CUnit* unit = MakeUnit(profile);
    if (m_localUnit == nullptr) m_localUnit = unit;
    return unit;
}

CUnit* CUnitFactory::CreateLocalUnit(std::uint32_t type, std::uint32_t flag, const std::wstring& name,
                                     const std::wstring& password)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return MakeLocalUnit(type, flag, name, password, 0);
}

CUnit* CUnitFactory::CreateComputerUnit(std::uint32_t flag, const std::wstring& name, std::int32_t level)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const UnitProfile profile(m_nextId, UnitAuto, flag, name, L"", flag == 0 ? "127.0.0.1" : "", level);
    Validate(profile, false);
    return MakeUnit(profile);
}

CUnit* CUnitFactory::CreateNamedComputerUnit(std::int32_t level)
{
    return CreateComputerUnit(0, L"COM", level);
}

void CUnitFactory::CreateDefaultUnits(const std::vector<std::uint32_t>& types)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool existed = !m_units.empty();
    if (existed) {
        RemoveOthers();
        Arrange();
    }
    if (types.empty() || types.front() == UnitWatching) return;

    std::uint32_t number = m_nextId;
    for (std::uint32_t type : types) {
        const std::uint32_t n = number++;
        // The local unit already holds the first place.
        if (existed && n == 1) continue;
        std::wstring name;
        if (type == UnitAuto) {
            name = types.size() <= 2 ? L"COM" : L"COM" + std::to_wstring(n);
        } else {
            name = L"PL" + std::to_wstring(n);
        }
        MakeLocalUnit(type, type == UnitAuto ? 0 : 1, name, L"", 0);
    }
    if (m_localUnit != nullptr && m_localUnit->GetUnitType() == UnitWatching) Arrange();
}

namespace {
constexpr std::uint32_t MaxReceivedUnitId = 0xFFFF;
} // namespace

std::vector<CUnit*> CUnitFactory::CreateUnits(const std::vector<UnitProfile>& profiles)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A bad entry refuses the whole list before the table changes. Ids come
    // from the network: one near the top would wrap the next unit number
    // and hand a later side an id already held.
    for (const UnitProfile& profile : profiles) {
        Validate(profile, false);
        if (profile.Id > MaxReceivedUnitId) throw CUnitDataError("CUnitFactory::CreateUnits(): UnitDataError");
    }

    const std::uint64_t localHost = m_localUnit != nullptr ? m_localUnit->GetHostId() : 0;
    RemoveOthers();
    std::uint32_t largest = 0;
    for (const UnitProfile& profile : profiles) {
        largest = std::max(largest, profile.Id);
        if (localHost == 0 || localHost != profile.HostId) {
            m_nextId = profile.Id;
            CUnit* unit = MakeUnit(profile);
            if (profile.HostId != 0) unit->SetHostId(profile.HostId);
        } else {
            m_localUnit->SetProfile(profile);
        }
    }
    if (!profiles.empty()) m_nextId = largest + 1;
    SortUnits();
    RebuildLists();
    return m_playingUnits;
}

bool CUnitFactory::UpdateUnitProfile(const UnitProfile& profile)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& unit : m_units) {
        if (unit->GetId() == profile.Id) {
            unit->SetProfile(profile);
            RebuildLists();
            return true;
        }
    }
    return false;
}

CUnit* CUnitFactory::GetUnit(std::uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (id < m_units.size() && m_units[id]->GetId() == id) return m_units[id].get();
    for (const auto& unit : m_units) {
        if (unit->GetId() == id) return unit.get();
    }
    return nullptr;
}

CUnit* CUnitFactory::FindUnitByHost(std::uint64_t hostId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& unit : m_units) {
        if (unit->GetHostId() == hostId) return unit.get();
    }
    return nullptr;
}

void CUnitFactory::GetUnitProfiles(std::vector<UnitProfile>& out) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& unit : m_units) out.push_back(unit->GetProfile());
}

CUnit* CUnitFactory::GetLocalUnit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_localUnit;
}

std::vector<CUnit*> CUnitFactory::GetUnits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_allUnits;
}

std::vector<CUnit*> CUnitFactory::GetPlayingUnits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_playingUnits;
}

std::size_t CUnitFactory::CountUnits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_units.size();
}

std::uint32_t CUnitFactory::GetNextUnitNumber() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nextId;
}

void CUnitFactory::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_localUnit = nullptr;
    m_units.clear();
    m_nextId = 0;
    RebuildLists();
}

void CUnitFactory::RemoveOthers()
{
    m_units.erase(
        std::remove_if(m_units.begin(), m_units.end(),
                       [this](const std::unique_ptr<CUnit>& unit) { return unit.get() != m_localUnit; }),
        m_units.end());
    SettleNextId();
    RebuildLists();
}

void CUnitFactory::RemoveOtherUnits()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RemoveOthers();
}

void CUnitFactory::RemoveWatchingUnits()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_localUnit != nullptr && m_localUnit->GetUnitType() == UnitWatching) m_localUnit = nullptr;
    m_units.erase(std::remove_if(
                      m_units.begin(), m_units.end(),
                      [](const std::unique_ptr<CUnit>& unit) { return unit->GetUnitType() == UnitWatching; }),
                  m_units.end());
    SettleNextId();
    Arrange();
}

bool CUnitFactory::RemoveUnit(CUnit* unit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (unit == nullptr || unit == m_localUnit) return false;
    auto it = std::find_if(m_units.begin(), m_units.end(),
                           [unit](const std::unique_ptr<CUnit>& owned) { return owned.get() == unit; });
    if (it == m_units.end()) return false;
    m_units.erase(it);
    Arrange();
    return true;
}

void CUnitFactory::ClearLocalUnit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_localUnit != nullptr) m_localUnit->SetHostId(0);
    m_localUnit = nullptr;
}

void CUnitFactory::ResetTeams()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& unit : m_units) {
        if (unit.get() == m_localUnit) {
            unit->ClearTeam();
            continue;
        }
        const UnitProfile& old = unit->GetProfile();
        const UnitProfile fresh(old.Id, old.Type, old.OriginFlag, old.OriginFlag != 0 ? L"" : old.Name, L"",
                                "127.0.0.1", 0);
        unit->SetProfile(fresh);
        unit->MakeHostId();
    }
}

void CUnitFactory::ArrangeUnits()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Arrange();
}

bool CUnitFactory::AnyShips() const
{
    return std::any_of(m_units.begin(), m_units.end(),
                       [](const std::unique_ptr<CUnit>& unit) { return unit->ShipCount() != 0; });
}

void CUnitFactory::SortUnits()
{
    // Playing sides first, watchers after; each by id.
    std::stable_sort(m_units.begin(), m_units.end(),
                     [](const std::unique_ptr<CUnit>& a, const std::unique_ptr<CUnit>& b) {
                         const bool aWatches = a->GetUnitType() == UnitWatching;
                         const bool bWatches = b->GetUnitType() == UnitWatching;
                         if (aWatches != bWatches) return bWatches;
                         return a->GetId() < b->GetId();
                     });
}

void CUnitFactory::Arrange()
{
    // Ship records carry their unit's id: once a fleet stands, a side that
    // leaves must not renumber the others.
    if (!AnyShips()) {
        SortUnits();
        const std::size_t count = m_units.size();
        for (std::size_t i = 0; i + 1 < count; ++i) {
            CUnit& unit = *m_units[i];
            if (unit.GetUnitType() == UnitWatching || !unit.HasTeamMates()) continue;
            if (unit.IsTeamMate(*m_units[i + 1])) continue;
            for (std::size_t j = i + 2; j < count; ++j) {
                if (unit.IsTeamMate(*m_units[j])) {
                    std::swap(m_units[i + 1], m_units[j]);
                    break;
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i) m_units[i]->SetId(static_cast<std::uint32_t>(i));
        m_nextId = static_cast<std::uint32_t>(count);
    }
    RebuildLists();
}

void CUnitFactory::SettleNextId()
{
    // The count, unless ids could not be renumbered and a higher one is
    // still in use.
    std::uint32_t next = static_cast<std::uint32_t>(m_units.size());
    for (const auto& unit : m_units) next = std::max(next, unit->GetId() + 1);
    m_nextId = next;
}

void CUnitFactory::RebuildLists()
{
    m_allUnits.clear();
    m_playingUnits.clear();
    for (const auto& unit : m_units) {
        m_allUnits.push_back(unit.get());
        if (unit->GetUnitType() != UnitWatching) m_playingUnits.push_back(unit.get());
    }
}

} // namespace Marevane
