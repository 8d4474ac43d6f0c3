#include "model/Board.h"

#include "model/Directions.h"
#include "model/Errors.h"
#include "model/Random.h"

#include <array>
#include <limits>

namespace Marevane {

namespace {

bool IsSpecial(PanelType type)
{
    return type >= PanelReef && type <= PanelHighWave;
}

} // namespace

CBoard::CBoard()
{
    m_placedMines.reserve(10);
    Resize(5, 5);
}

CPanel* CBoard::GetPanel(std::uint32_t row, std::uint32_t column) const
{
    if (row >= m_grid.size() || column >= m_grid[row].size()) return nullptr;
    return m_grid[row][column];
}

CPanel* CBoard::GetSeaPanel(const MapPos& pos) const
{
    if (pos.x < 1 || pos.x > m_rows || pos.y < 1 || pos.y > m_columns) return nullptr;
    return GetPanel(pos);
}

void CBoard::Resize(std::uint32_t rows, std::uint32_t columns)
{
    if (rows < MinSide || columns < MinSide || rows > MaxSide || columns > MaxSide) {
        throw CPanelRangeError("CBoard::Resize(): CPanelRangeError - The map size is out of range.");
    }
    ClearMines();
    m_totalRows = rows + 2;
    m_totalColumns = columns + 2;
    m_rows = rows;
    m_columns = columns;
    m_map.Size = MapPos(rows, columns);

    m_grid.clear();
    m_seaPanels.clear();
    m_boundaryPanels.clear();
    // Reserved up front: the grid points into these vectors.
    m_grid.reserve(m_totalRows);
    m_seaPanels.reserve(static_cast<std::size_t>(rows) * columns);
    m_boundaryPanels.reserve(static_cast<std::size_t>(m_totalRows) * m_totalColumns -
                             static_cast<std::size_t>(rows) * columns);
    for (std::uint32_t r = 0; r < m_totalRows; ++r) {
        std::vector<CPanel*> row;
        row.reserve(m_totalColumns);
        for (std::uint32_t c = 0; c < m_totalColumns; ++c) {
            if (r == 0 || r == rows + 1 || c == 0 || c == columns + 1) {
                m_boundaryPanels.emplace_back(r, c);
                row.push_back(&m_boundaryPanels.back());
            } else {
                m_seaPanels.emplace_back(r, c);
                row.push_back(&m_seaPanels.back());
            }
        }
        m_grid.push_back(std::move(row));
    }
    LinkPanels();
}

void CBoard::ResetPanels()
{
    for (CSeaPanel& panel : m_seaPanels) panel.SetType(PanelSea);
    for (CBoundaryPanel& panel : m_boundaryPanels) panel.SetType(PanelBoundary);
    ClearMines();
    if (m_map.Id == 0) {
        m_map.PanelTypes.clear();
        m_map.UnitCoordinateInfo.clear();
    }
}

void CBoard::ClearMines()
{
    m_placedMines.clear();
    m_mapMines.clear();
}

void CBoard::LinkPanels()
{
    for (std::uint32_t r = 0; r < m_grid.size(); ++r) {
        for (std::uint32_t c = 0; c < m_grid[r].size(); ++c) {
            CPanel* panel = m_grid[r][c];
            panel->ClearNeighbors();
            for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d) {
                const MapOffset step = GetDirectionStep(d);
                const std::int64_t nr = static_cast<std::int64_t>(r) + step.x;
                const std::int64_t nc = static_cast<std::int64_t>(c) + step.y;
                if (nr < 0 || nc < 0) continue;
                if (CPanel* neighbor =
                        GetPanel(static_cast<std::uint32_t>(nr), static_cast<std::uint32_t>(nc))) {
                    panel->SetNeighbor(d, neighbor);
                }
            }
        }
    }
}

void CBoard::Build(const MapData& mapData)
{
    const MapData map = mapData; // the caller may hand in our own map
    if (map.Size != MapPos(m_rows, m_columns)) {
        Resize(map.Size.x, map.Size.y);
    } else {
        ResetPanels();
    }
    m_map = map;

    ApplyListedPanelTypes();
    PlacePanelEffects();

    for (const MapPos& pos : m_map.CoordinateInfo.KnownPositions) {
        if (CPanel* panel = GetSeaPanel(pos)) panel->SetRevealed(true);
    }

    for (const MineProfile& listed : m_map.Mines) {
        if (listed.IsPlaced || listed.IsExploded) continue;
        CPanel* panel = GetSeaPanel(listed.Pos);
        if (panel == nullptr) continue;
        m_mapMines.push_back(listed);
        panel->PlaceMine(&m_mapMines.back());
        m_placedMines.push_back(&m_mapMines.back());
    }
}

void CBoard::ApplyListedPanelTypes()
{
    std::vector<std::pair<MapPos, PanelType>> misplaced;
    for (const auto& [pos, type] : m_map.PanelTypes) {
        if (type == PanelUnknown || type > PanelHighWave) continue; // not a panel type
        if (CPanel* panel = GetSeaPanel(pos)) {
            panel->SetType(type);
        } else {
            misplaced.emplace_back(pos, type);
        }
    }
    // Entries off the playing area move to a random panel; one that is
    // already listed or given a type keeps what it has.
    if (m_rows == 0 || m_columns == 0) return;
    for (const auto& [pos, type] : misplaced) {
        MapPos drawn = pos;
        if (drawn.x == 0 || drawn.x > m_rows) drawn.x = RandomUInt(1, m_rows);
        if (drawn.y == 0 || drawn.y > m_columns) drawn.y = RandomUInt(1, m_columns);
        CPanel* panel = GetSeaPanel(drawn);
        if (panel == nullptr || panel->GetType() != PanelSea || m_map.PanelTypes.count(drawn) != 0) continue;
        panel->SetType(type);
    }
}

std::uint32_t CBoard::CountSpecialPanels() const
{
    std::uint32_t count = 0;
    for (const CSeaPanel& panel : m_seaPanels) {
        if (panel.GetType() != PanelSea && panel.GetType() != PanelBoundary) ++count;
    }
    return count;
}

void CBoard::PlacePanelEffects(const PanelTest& isOccupied)
{
    const std::int64_t n = static_cast<std::int64_t>(m_seaPanels.size());
    // The rounding terms belong to the default count only: an explicit 0
    // means no special panel.
    const std::int64_t target = m_map.SpecialPanelCount >= 0
                                    ? m_map.SpecialPanelCount
                                    : n / 10 * 2 + ((2 * n) % 10 >= 5 ? 1 : 0) + (n % 10 >= 5 ? 1 : 0);
    const std::int64_t existing = CountSpecialPanels();
    const std::int64_t draws = std::max<std::int64_t>(0, target - existing);

    // Sea is one of the five choices; a draw of sea places nothing.
    constexpr std::array<PanelType, 5> choices = {PanelReef, PanelShallow, PanelFog, PanelHighWave, PanelSea};
    const std::array<std::int32_t, 4> caps = {m_map.MaxReefs, m_map.MaxShallows, m_map.MaxFogs,
                                              m_map.MaxHighWaves};
    // No type can use more than the sea panels (or its cap): once every
    // tally is there, further draws change nothing. A count received with a
    // map may be two billion.
    std::array<std::int64_t, 4> enough{};
    for (std::size_t i = 0; i < enough.size(); ++i)
        enough[i] = caps[i] >= 0 ? std::min<std::int64_t>(n, caps[i]) : n;
    std::array<std::int64_t, 4> tally{};
    for (std::int64_t i = 0; i < draws; ++i) {
        bool full = true;
        for (std::size_t t = 0; t < tally.size(); ++t) full = full && tally[t] >= enough[t];
        if (full) break;
        const PanelType type = choices[RandomUInt(0, choices.size() - 1)];
        if (IsSpecial(type)) ++tally[type - PanelReef];
    }
    for (std::size_t i = 0; i < tally.size(); ++i) {
        if (caps[i] >= 0) tally[i] = std::min<std::int64_t>(tally[i], caps[i]);
        PlacePanels(static_cast<PanelType>(PanelReef + i), static_cast<std::uint32_t>(tally[i]), isOccupied);
    }

    WritePanelTypes(m_map.PanelTypes);
    // The count is reached: a rebuild from this map, or a client building
    // the host's map, draws no further panels.
    m_map.SpecialPanelCount = static_cast<std::int32_t>(
        std::min<std::size_t>(m_map.PanelTypes.size(), std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t CBoard::PlacePanels(PanelType type, std::uint32_t count, const PanelTest& isOccupied)
{
    if (!IsSpecial(type) || count == 0) return 0;
    // Drawn without replacement from the free sea panels inside the ring, so
    // the draw always ends and never picks a panel twice.
    std::vector<CPanel*> eligible;
    for (CSeaPanel& panel : m_seaPanels) {
        if (panel.GetType() != PanelSea || panel.HasMine()) continue;
        if (isOccupied && isOccupied(panel)) continue;
        eligible.push_back(&panel);
    }
    const std::uint32_t placed = static_cast<std::uint32_t>(std::min<std::size_t>(count, eligible.size()));
    for (std::uint32_t i = 0; i < placed; ++i) {
        const std::uint32_t index = RandomUInt(0, static_cast<std::uint32_t>(eligible.size() - 1));
        eligible[index]->SetType(type);
        eligible[index] = eligible.back();
        eligible.pop_back();
    }
    return placed;
}

void CBoard::ApplyKnownPanels(std::uint32_t unitId, const std::set<MapPos>& positions)
{
    for (const MapPos& pos : positions) {
        CPanel* panel = GetPanel(pos);
        if (panel == nullptr || panel->GetType() == PanelBoundary || panel->IsRevealed()) continue;
        panel->AddKnownUnit(unitId);
    }
}

void CBoard::WritePanelTypes(std::map<MapPos, PanelType>& table) const
{
    table.clear();
    for (const CSeaPanel& panel : m_seaPanels) {
        if (panel.GetType() != PanelSea && panel.GetType() != PanelBoundary)
            table[panel.GetPos()] = panel.GetType();
    }
}

void CBoard::StoreMapState(const std::vector<SideState>& sides)
{
    // The new lists are complete before the old ones go: the mines read
    // below may well be records of the map itself.
    std::vector<TorpedoProfile> torpedoes;
    std::vector<MineProfile> mines;
    std::set<const MineProfile*> listed;
    auto add = [&](const MineProfile* mine) {
        if (mine != nullptr && listed.insert(mine).second) mines.push_back(*mine);
    };

    for (const MineProfile* mine : m_placedMines) add(mine);
    for (const SideState& side : sides) {
        torpedoes.insert(torpedoes.end(), side.Torpedoes.begin(), side.Torpedoes.end());
        for (const MineProfile* mine : side.Mines) {
            if (mine != nullptr && mine->IsPlaced) add(mine);
        }
    }
    for (const CSeaPanel& panel : m_seaPanels) {
        for (const MineProfile* mine : panel.GetMines()) add(mine);
    }

    for (const SideState& side : sides) {
        std::set<MapPos>& known = m_map.UnitCoordinateInfo[side.UnitId].KnownPositions;
        known.clear();
        for (const CSeaPanel& panel : m_seaPanels) {
            const auto& units = panel.GetKnownUnits();
            if (std::find(units.begin(), units.end(), side.UnitId) != units.end())
                known.insert(panel.GetPos());
        }
    }
    m_map.Torpedoes = std::move(torpedoes);
    m_map.Mines = std::move(mines);
}

void CBoard::ApplyMapState(std::uint32_t unitId, const MapData& mapData, const SideSync& sync)
{
    ApplyKnownPanels(unitId, mapData.CoordinateInfo.KnownPositions);
    auto own = mapData.UnitCoordinateInfo.find(unitId);
    if (own != mapData.UnitCoordinateInfo.end()) ApplyKnownPanels(unitId, own->second.KnownPositions);

    if (sync.SyncTorpedoes) sync.SyncTorpedoes(mapData.Torpedoes);
    if (sync.SyncMine) {
        for (const MineProfile& mine : mapData.Mines) {
            if (mine.UnitId == unitId) sync.SyncMine(mine);
        }
    }
    RebuildPlacedMinesFromPanels();
}

void CBoard::RebuildPlacedMinesFromPanels()
{
    m_placedMines.clear();
    for (CSeaPanel& panel : m_seaPanels) {
        for (MineProfile* mine : panel.GetMines()) m_placedMines.push_back(mine);
    }
}

} // namespace Marevane
