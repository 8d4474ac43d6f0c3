#include "ai/BoardFlagMap.h"

#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Marevane::ComputerAI {

namespace {

struct Pattern {
    int Default;
    int Centre;
    int Neighbor; // the same for all eight directions in every pattern
};

// Indexed by pattern number less one.
constexpr std::array<Pattern, 6> Patterns = {{
    {0, 1, 0}, // the centre alone
    {1, 0, 1}, // everything but the centre
    {0, 0, 1}, // the ring of eight
    {0, 1, 1}, // the three-by-three block
    {1, 0, 0}, // everything outside the block
    {0, 0, 0}, // nothing
}};

} // namespace

CBoardFlagMap::CBoardFlagMap(std::uint32_t pattern, const CPanel* centre)
{
    if (pattern < 1 || pattern > Patterns.size()) {
        throw std::out_of_range("CBoardFlagMap::CBoardFlagMap(): no pattern " + std::to_string(pattern));
    }
    const Pattern& row = Patterns[pattern - 1];
    m_defaultFlag = row.Default;

    std::vector<std::pair<const CPanel*, int>> pairs;
    pairs.reserve(9);
    // The centre first: where a neighbour answers the panel itself (outside
    // the ring), the centre's weight stays.
    pairs.emplace_back(centre, row.Centre);
    if (centre != nullptr) {
        for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d)
            pairs.emplace_back(centre->GetNeighbor(d), row.Neighbor);
    }
    Fill(std::move(pairs), row.Default);
}

} // namespace Marevane::ComputerAI
