#include "ai/VirtualPanel.h"

namespace Marevane::ComputerAI {

void CVirtualPanel::AddFlag(std::int32_t value)
{
    if (!IsOpen()) return;
    // Wraps like the 32-bit sum it stands for, without overflow in signed arithmetic.
    m_flag =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(m_flag) + static_cast<std::uint32_t>(value));
}

void CVirtualPanel::ResetFlag()
{
    m_flag = IsOpen() ? 1 : 0;
    m_isMarked = false;
}

CVirtualPanel* CVirtualPanel::GetNeighbor(std::uint32_t direction) const
{
    CVirtualPanel* neighbor = direction < m_neighbors.size() ? m_neighbors[direction] : nullptr;
    if (neighbor != nullptr) return neighbor;
    if (direction == DirectionCenter || !IsOpen()) return const_cast<CVirtualPanel*>(this);
    return nullptr;
}

} // namespace Marevane::ComputerAI
