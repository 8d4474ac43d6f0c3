// One square of the map: its type, position, the mines lying on it, which
// units know it, and its eight neighbours.
#pragma once

#include "model/Directions.h"
#include "model/Records.h"
#include "model/Types.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Marevane {

class CPanel {
  public:
    virtual ~CPanel() = default;

    PanelType GetType() const { return m_type; }
    // Drops the mines and what units knew; reefs and the ring block ships.
    void SetType(PanelType type);

    std::uint32_t GetX() const { return m_x; }
    std::uint32_t GetY() const { return m_y; }
    MapPos GetPos() const { return MapPos(m_x, m_y); }

    bool IsPassable() const { return m_isPassable; }
    bool IsRevealed() const { return m_isRevealed; }
    void SetRevealed(bool isRevealed) { m_isRevealed = isRevealed; }

    // "R<row>C<column>".
    std::wstring GetCoordinateText() const;
    std::uint32_t GetDistance(const CPanel& other) const;
    // Signed difference from this panel to pos (rows, columns).
    MapOffset GetOffsetTo(const MapPos& pos) const;

    // Mines: records owned by ships or by the board; a dead (exploded) one
    // never counts and is never handed out as the panel's first mine.
    const std::deque<MineProfile*>& GetMines() const { return m_mines; }
    bool HasMine() const;
    bool HasMineOf(std::uint32_t unitId) const;
    MineProfile* GetFirstMine() const;
    // Lays the mine here: sets its position and placed flag. Nothing for a
    // null or dead mine, or one already lying here.
    void PlaceMine(MineProfile* mine);
    // Sets off the first live mine: marks it exploded and takes it off the
    // panel. Empty when there is none.
    std::vector<MineProfile*> TakeFirstMine();
    void RemoveExplodedMines();
    void DropMines() { m_mines.clear(); }

    void SetNeighbor(std::uint32_t direction, CPanel* panel);
    void ClearNeighbors() { m_neighbors.fill(nullptr); }
    // Never null: a direction without a linked neighbour (the outside of the
    // ring, centre, none or a value out of range) answers this panel.
    CPanel* GetNeighbor(std::uint32_t direction) const;
    // n steps, or |n| steps the opposite way for negative n; stops where a
    // step makes no progress, so a walk never leaves the ring.
    CPanel* GetPanelAlong(std::uint32_t direction, std::int64_t n) const;
    // offset.x rows south (negative: north), then offset.y columns east.
    CPanel* GetPanelByOffset(const MapOffset& offset) const;
    CPanel* GetPanelAt(const MapPos& pos) const;

    // Boundary and revealed panels are known to everyone.
    bool IsKnownBy(std::uint32_t unitId) const;
    // Adds the unit once; true when it did not know the panel before.
    bool AddKnownUnit(std::uint32_t unitId);
    const std::vector<std::uint32_t>& GetKnownUnits() const { return m_knownUnits; }
    PanelType GetTypeKnownTo(std::uint32_t unitId) const;
    bool IsReefKnownTo(std::uint32_t unitId) const;
    // The type's glyph from the panel code table.
    const std::wstring& GetTypeName() const;

  protected:
    CPanel(PanelType type, std::uint32_t x, std::uint32_t y);

  private:
    PanelType m_type;
    std::uint32_t m_x;
    std::uint32_t m_y;
    std::deque<MineProfile*> m_mines;
    bool m_isPassable = false;
    bool m_isRevealed = false;
    std::array<CPanel*, DirectionCenter + 1> m_neighbors{};
    std::vector<std::uint32_t> m_knownUnits;
};

class CSeaPanel : public CPanel {
  public:
    CSeaPanel(std::uint32_t x, std::uint32_t y) : CPanel(PanelSea, x, y) {}
};

class CBoundaryPanel : public CPanel {
  public:
    CBoundaryPanel(std::uint32_t x, std::uint32_t y) : CPanel(PanelBoundary, x, y) {}
};

} // namespace Marevane
