// The scores of the side assessment (CVirtualGame::AssessSides): one side
// against another, from the health ratios and the counts of ships that can
// still attack.
#pragma once

#include <cstdint>

namespace Marevane::ComputerAI {

// 8, 4, 1, -4 or -8 as the own ratio r lies well above, above, at, below or
// well below q; "well" is more than 0.3.
std::int32_t SideHealthScore(double r, double q);
// 6, 2, 1, -2 or -6 as the own attack ships a are two or more above, one
// above, equal to, one below or two or more below b.
std::int32_t SideAttackScore(std::uint32_t a, std::uint32_t b);

} // namespace Marevane::ComputerAI
