#include "model/Score.h"

#include <algorithm>

namespace Marevane {

namespace {

double Quotient(double a, double b)
{
    return b == 0.0 ? 0.0 : a / b;
}

} // namespace

double CalculateScore(const ActionStatistics& statistics)
{
    auto c = [&statistics](std::size_t k) { return static_cast<double>(statistics[k]); };

    const double hitRate = 14.0 * Quotient(c(StatHits), c(StatAttacks));
    const double hits = 1.5 * c(StatHits) + c(StatSunk);
    const double nearMisses = std::min(1.5 * Quotient(c(StatNearMisses), c(StatAttacks)), 4.0);
    const double hp = 7.0 * Quotient(c(StatHp), c(StatMaxHp));

    double fuel = Quotient(c(StatFp), c(StatMaxFp));
    const double given = Quotient(c(StatFpGiven), c(StatMaxFp));
    if (fuel > given) fuel -= given;
    const double fuelLeft = std::min(fuel * 8.0 / 0.75, 8.0);

    double mines = 0.0;
    if (statistics[StatMinesHeld] != 0) {
        // Summed as a 32-bit counter first, as the score always has been.
        const std::uint32_t mineHits = statistics[StatOtherMineHits] + 2u * statistics[StatOwnMineHits];
        mines = 5.0 *
                (c(StatOtherMinesCleared) - (static_cast<double>(mineHits) + 0.5 * c(StatOwnMinesCleared))) /
                c(StatMinesHeld);
    }

    const double reinforcements = -2.0 * c(StatReinforcements);
    const double flagshipChanges = -1.0 * c(StatFlagshipChanges);
    return hitRate + hits + nearMisses + hp + fuelLeft + mines + reinforcements + flagshipChanges;
}

} // namespace Marevane
