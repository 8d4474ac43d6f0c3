#include "model/Panel.h"

#include "model/CodeTables.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Marevane {

namespace {

bool IsLive(const MineProfile* mine)
{
    return mine != nullptr && !mine->IsExploded;
}

std::int32_t Difference(std::uint32_t to, std::uint32_t from)
{
    const std::int64_t d = static_cast<std::int64_t>(to) - static_cast<std::int64_t>(from);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(d, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

CPanel::CPanel(PanelType type, std::uint32_t x, std::uint32_t y) : m_type(PanelSea), m_x(x), m_y(y)
{
    SetType(type);
}

void CPanel::SetType(PanelType type)
{
    m_mines.clear();
    m_type = type;
    m_isPassable = type != PanelBoundary && type != PanelReef;
    m_knownUnits.clear();
    m_isRevealed = false;
}

std::wstring CPanel::GetCoordinateText() const
{
    return L"R" + std::to_wstring(m_x) + L"C" + std::to_wstring(m_y);
}

std::uint32_t CPanel::GetDistance(const CPanel& other) const
{
    const auto rows = std::llabs(static_cast<long long>(m_x) - other.m_x);
    const auto columns = std::llabs(static_cast<long long>(m_y) - other.m_y);
    return static_cast<std::uint32_t>(rows + columns);
}

MapOffset CPanel::GetOffsetTo(const MapPos& pos) const
{
    return {Difference(pos.x, m_x), Difference(pos.y, m_y)};
}

bool CPanel::HasMine() const
{
    return std::any_of(m_mines.begin(), m_mines.end(), IsLive);
}

bool CPanel::HasMineOf(std::uint32_t unitId) const
{
    return std::any_of(m_mines.begin(), m_mines.end(),
                       [unitId](const MineProfile* mine) { return IsLive(mine) && mine->UnitId == unitId; });
}

MineProfile* CPanel::GetFirstMine() const
{
    auto it = std::find_if(m_mines.begin(), m_mines.end(), IsLive);
    return it != m_mines.end() ? *it : nullptr;
}

void CPanel::PlaceMine(MineProfile* mine)
{
    if (!IsLive(mine)) return;
    if (std::find(m_mines.begin(), m_mines.end(), mine) != m_mines.end()) return;
    mine->Pos = GetPos();
    mine->IsPlaced = true;
    m_mines.push_back(mine);
}

std::vector<MineProfile*> CPanel::TakeFirstMine()
{
    RemoveExplodedMines();
    if (m_mines.empty()) return {};
    MineProfile* mine = m_mines.front();
    m_mines.pop_front();
    mine->IsExploded = true;
    return {mine};
}

void CPanel::RemoveExplodedMines()
{
    m_mines.erase(
        std::remove_if(m_mines.begin(), m_mines.end(), [](const MineProfile* m) { return !IsLive(m); }),
        m_mines.end());
}

void CPanel::SetNeighbor(std::uint32_t direction, CPanel* panel)
{
    if (direction >= DirectionNorth && direction <= DirectionSouthWest) m_neighbors[direction] = panel;
}

CPanel* CPanel::GetNeighbor(std::uint32_t direction) const
{
    CPanel* neighbor = direction < m_neighbors.size() ? m_neighbors[direction] : nullptr;
    return neighbor != nullptr ? neighbor : const_cast<CPanel*>(this);
}

CPanel* CPanel::GetPanelAlong(std::uint32_t direction, std::int64_t n) const
{
    if (n < 0) direction = GetOppositeDirection(direction);
    // Unsigned so that the most negative n has a magnitude too.
    std::uint64_t steps = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    CPanel* panel = const_cast<CPanel*>(this);
    for (; steps > 0; --steps) {
        CPanel* next = panel->GetNeighbor(direction);
        if (next == panel) break;
        panel = next;
    }
    return panel;
}

CPanel* CPanel::GetPanelByOffset(const MapOffset& offset) const
{
    return GetPanelAlong(DirectionSouth, offset.x)->GetPanelAlong(DirectionEast, offset.y);
}

CPanel* CPanel::GetPanelAt(const MapPos& pos) const
{
    return GetPanelByOffset(GetOffsetTo(pos));
}

bool CPanel::IsKnownBy(std::uint32_t unitId) const
{
    if (m_type == PanelBoundary || m_isRevealed) return true;
    return std::find(m_knownUnits.begin(), m_knownUnits.end(), unitId) != m_knownUnits.end();
}

bool CPanel::AddKnownUnit(std::uint32_t unitId)
{
    if (std::find(m_knownUnits.begin(), m_knownUnits.end(), unitId) != m_knownUnits.end()) return false;
    m_knownUnits.push_back(unitId);
    return true;
}

PanelType CPanel::GetTypeKnownTo(std::uint32_t unitId) const
{
    return IsKnownBy(unitId) ? m_type : PanelUnknown;
}

bool CPanel::IsReefKnownTo(std::uint32_t unitId) const
{
    return GetTypeKnownTo(unitId) == PanelReef;
}

const std::wstring& CPanel::GetTypeName() const
{
    return CPanelCodes::GetInstance().Get(m_type);
}

} // namespace Marevane
