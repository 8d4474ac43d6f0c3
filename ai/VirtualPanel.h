// One panel of a virtual board: the real panel as one unit knows it, with a
// weight (the flag) for how likely the tracked ship is on it, and a mark for
// panels the computer's own mines block.
#pragma once

#include "model/Panel.h"
#include "model/Types.h"

#include <array>
#include <cstdint>

namespace Marevane::ComputerAI {

class CVirtualBoard;

class CVirtualPanel {
  public:
    CVirtualPanel(std::uint32_t observerId, const CPanel* panel) : m_observerId(observerId), m_panel(panel) {}
    virtual ~CVirtualPanel() = default;

    // Neighbour links point into the owning board; the board relinks copies.
    CVirtualPanel(const CVirtualPanel&) = default;
    CVirtualPanel& operator=(const CVirtualPanel&) = default;

    std::uint32_t GetObserverId() const { return m_observerId; }
    const CPanel* GetPanel() const { return m_panel; }

    std::int32_t GetFlag() const { return m_flag; }
    bool IsMarked() const { return m_isMarked; }
    void SetMark(bool isMarked) { m_isMarked = isMarked; }

    // The real panel's type as the observer knows it (0 when unknown).
    PanelType GetKnownType() const { return m_panel->GetTypeKnownTo(m_observerId); }
    // Passable, or of a type the observer does not know: unknown water counts
    // as open. Read live, since what the observer knows grows in battle.
    bool IsOpen() const { return m_panel->IsPassable() || GetKnownType() == PanelUnknown; }
    bool IsKnownReef() const { return GetKnownType() == PanelReef; }

    // Writes keep every panel that is not open at 0.
    void SetFlag(std::int32_t value) { m_flag = IsOpen() ? value : 0; }
    void AddFlag(std::int32_t value);
    void ResetFlag();

    // The linked neighbour; without one, the panel itself for the centre or
    // when it is not open, else null.
    CVirtualPanel* GetNeighbor(std::uint32_t direction) const;

  private:
    friend class CVirtualBoard;

    void Link(std::uint32_t direction, CVirtualPanel* neighbor) { m_neighbors[direction] = neighbor; }
    void ClearLinks() { m_neighbors.fill(nullptr); }

    std::uint32_t m_observerId;
    std::int32_t m_flag = 0;
    bool m_isMarked = false;
    const CPanel* m_panel;
    // Indexed by Direction; only the eight compass directions are linked.
    std::array<CVirtualPanel*, DirectionCenter + 1> m_neighbors{};
};

} // namespace Marevane::ComputerAI
