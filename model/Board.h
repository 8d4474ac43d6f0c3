// The map of one battle: a grid of panels inside a ring of boundary panels,
// with the battle's MapData. One board lives for the whole run and is
// rebuilt for every battle.
#pragma once

#include "model/Panel.h"
#include "model/Records.h"
#include "model/Types.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace Marevane {

class CUnit;

class CBoard {
  public:
    // True for a panel that a ship of the excluded sides stands on.
    using PanelTest = std::function<bool(const CPanel&)>;

    // What the host gathers of one side for the turn state.
    struct SideState {
        std::uint32_t UnitId = 0;
        std::vector<TorpedoProfile> Torpedoes;
        // The side's laid mines, exploded ones included; may repeat mines
        // lying on panels, each is stored once.
        std::vector<const MineProfile*> Mines;
    };

    // How a client hands the host's torpedoes and mines to one side's ships.
    struct SideSync {
        std::function<void(const std::vector<TorpedoProfile>&)> SyncTorpedoes; // every torpedo of the map
        std::function<void(const MineProfile&)> SyncMine;                      // each mine of the side
    };

    // Sides beyond this are refused: sizes arrive from the network.
    static constexpr std::uint32_t MaxSide = 255;
    // Below this a ship's move range (the longer side minus 1) would be 1 or
    // wrap; a 0 by 0 map is the arcade's "run over" marker, never a board.
    static constexpr std::uint32_t MinSide = 3;

    CBoard();
    CBoard(const CBoard&) = delete;
    CBoard& operator=(const CBoard&) = delete;

    std::uint32_t GetRows() const { return m_rows; }
    std::uint32_t GetColumns() const { return m_columns; }
    std::uint32_t GetTotalRows() const { return m_totalRows; }
    std::uint32_t GetTotalColumns() const { return m_totalColumns; }
    const MapData& GetMap() const { return m_map; }

    // The panel at a position of the grid (ring included); null outside.
    CPanel* GetPanel(std::uint32_t row, std::uint32_t column) const;
    CPanel* GetPanel(const MapPos& pos) const { return GetPanel(pos.x, pos.y); }
    // Only panels inside the ring; null elsewhere.
    CPanel* GetSeaPanel(const MapPos& pos) const;

    const std::vector<std::vector<CPanel*>>& GetGrid() const { return m_grid; }
    std::vector<CSeaPanel>& GetSeaPanels() { return m_seaPanels; }
    const std::vector<CSeaPanel>& GetSeaPanels() const { return m_seaPanels; }
    const std::vector<CBoundaryPanel>& GetBoundaryPanels() const { return m_boundaryPanels; }
    // Mines laid on the board from map data, or found on the panels when a
    // client took over the host's state.
    const std::vector<MineProfile*>& GetPlacedMines() const { return m_placedMines; }

    // Wide text of the board (model/BoardText.cpp): the framed grid with its
    // legend; the glyph gives each panel's two full-width columns.
    using PanelGlyph = std::function<std::wstring(CPanel*)>;
    void RenderText(std::wstring& out, const PanelGlyph& glyph) const;
    void ToText(std::wstring& out) const;
    // The grid as the side places its fleet, then its ship box.
    void ToFleetSetupText(std::wstring& out, CUnit* pUnit) const;

    // The battle's music (0 = none chosen yet); kept here so that a replay
    // plays the track its first battle chose.
    std::uint32_t GetMusicCode() const { return m_musicCode; }
    void SetMusicCode(std::uint32_t code) { m_musicCode = code; }
    // The grid with the sides' ships, mines and torpedoes, then the status
    // box of the sides; the viewer is marked as the viewing side.
    void ToTurnText(std::wstring& out, const std::vector<CUnit*>& units, const CUnit* viewer = nullptr) const;

    // Throws CPanelRangeError for a side below MinSide or above MaxSide.
    void Resize(std::uint32_t rows, std::uint32_t columns);
    void ResetPanels();
    void Build(const MapData& mapData);
    void LinkPanels();

    // Draws the map's random special panels once; later calls add none.
    void PlacePanelEffects(const PanelTest& isOccupied = {});
    // Turns up to count free sea panels into the type; answers how many.
    std::uint32_t PlacePanels(PanelType type, std::uint32_t count, const PanelTest& isOccupied = {});

    void ApplyKnownPanels(std::uint32_t unitId, const std::set<MapPos>& positions);
    void WritePanelTypes(std::map<MapPos, PanelType>& table) const;

    // The host writes the sides' known panels, torpedoes and mines into the map.
    void StoreMapState(const std::vector<SideState>& sides);
    // A client takes over the host's state for one side.
    void ApplyMapState(std::uint32_t unitId, const MapData& mapData, const SideSync& sync);

    // Forms that take the sides themselves. A side type needs GetId() and
    // GetShips() (pairs of ship id and ship pointer); a ship type needs
    // IsSinking(), GetCurrentPanel(), GetMines() (a reference to its own
    // MineProfile records, kept at stable addresses since panels point at
    // them: a std::list or std::deque), GetTorpedoProfiles() (TorpedoProfile
    // records), SyncTorpedoes(const std::vector<TorpedoProfile>&) and
    // SyncMine(const MineProfile&). Ships are walked by ship id.
    template <typename Unit> static bool IsOccupied(const std::vector<Unit*>& units, const CPanel* panel);
    template <typename Unit> void PlacePanelEffects(const std::vector<Unit*>& excluded);
    template <typename Unit> void Build(const MapData& mapData, const std::vector<Unit*>& units);
    template <typename Unit> void StoreMapState(const std::vector<Unit*>& units);
    template <typename Unit> void ApplyMapState(Unit* unit, const MapData& mapData);

  private:
    template <typename Unit> static auto ShipsById(Unit& unit);

    void ClearMines();
    void RebuildPlacedMinesFromPanels();
    std::uint32_t CountSpecialPanels() const;
    void ApplyListedPanelTypes();

    std::vector<std::vector<CPanel*>> m_grid;
    std::vector<CSeaPanel> m_seaPanels;
    std::vector<CBoundaryPanel> m_boundaryPanels;
    MapData m_map;
    std::uint32_t m_totalRows = 7;
    std::uint32_t m_totalColumns = 7;
    std::uint32_t m_rows = 5;
    std::uint32_t m_columns = 5;
    std::uint32_t m_musicCode = 0;
    // Mines listed in map data live here, at addresses that stay put while
    // panels point at them; the map's own list is rewritten freely.
    std::deque<MineProfile> m_mapMines;
    std::vector<MineProfile*> m_placedMines;
};

template <typename Unit> auto CBoard::ShipsById(Unit& unit)
{
    using ShipPointer = decltype(&*unit.GetShips().begin()->second);
    std::vector<std::pair<std::uint32_t, ShipPointer>> ships;
    for (auto& entry : unit.GetShips()) {
        if (entry.second != nullptr) ships.emplace_back(entry.first, &*entry.second);
    }
    std::sort(ships.begin(), ships.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return ships;
}

template <typename Unit> bool CBoard::IsOccupied(const std::vector<Unit*>& units, const CPanel* panel)
{
    for (Unit* unit : units) {
        if (unit == nullptr) continue;
        for (const auto& entry : ShipsById(*unit)) {
            if (!entry.second->IsSinking() && entry.second->GetCurrentPanel() == panel) return true;
        }
    }
    return false;
}

template <typename Unit> void CBoard::PlacePanelEffects(const std::vector<Unit*>& excluded)
{
    PlacePanelEffects(PanelTest([&excluded](const CPanel& panel) { return IsOccupied(excluded, &panel); }));
}

template <typename Unit> void CBoard::Build(const MapData& mapData, const std::vector<Unit*>& units)
{
    Build(mapData);
    for (Unit* unit : units) {
        if (unit == nullptr) continue;
        auto it = m_map.UnitCoordinateInfo.find(unit->GetId());
        if (it != m_map.UnitCoordinateInfo.end()) ApplyKnownPanels(unit->GetId(), it->second.KnownPositions);
    }
}

template <typename Unit> void CBoard::StoreMapState(const std::vector<Unit*>& units)
{
    std::vector<SideState> sides;
    for (Unit* unit : units) {
        if (unit == nullptr) continue;
        SideState side;
        side.UnitId = unit->GetId();
        for (const auto& entry : ShipsById(*unit)) {
            for (const TorpedoProfile& torpedo : entry.second->GetTorpedoProfiles())
                side.Torpedoes.push_back(torpedo);
            // The records must be the ship's own: panels point at them.
            static_assert(std::is_lvalue_reference_v<decltype(entry.second->GetMines())>,
                          "GetMines() must return the ship's own mine list");
            for (const MineProfile& mine : entry.second->GetMines()) side.Mines.push_back(&mine);
        }
        sides.push_back(std::move(side));
    }
    StoreMapState(sides);
}

template <typename Unit> void CBoard::ApplyMapState(Unit* unit, const MapData& mapData)
{
    if (unit == nullptr) return;
    SideSync sync;
    sync.SyncTorpedoes = [unit](const std::vector<TorpedoProfile>& torpedoes) {
        for (const auto& entry : ShipsById(*unit)) entry.second->SyncTorpedoes(torpedoes);
    };
    sync.SyncMine = [unit](const MineProfile& mine) {
        for (const auto& entry : ShipsById(*unit)) {
            if (entry.first == mine.ShipId) entry.second->SyncMine(mine);
        }
    };
    ApplyMapState(unit->GetId(), mapData, sync);
}

} // namespace Marevane
