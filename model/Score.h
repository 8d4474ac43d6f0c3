// A side's score from its battle counters; not clamped, may be negative.
#pragma once

#include "model/Records.h"

namespace Marevane {

double CalculateScore(const ActionStatistics& statistics);

} // namespace Marevane
