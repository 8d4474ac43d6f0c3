#include "screens/battle/MapSize.h"

namespace Marevane {

bool IsShownMapSize(const MapSize& size)
{
    auto fits = [](std::uint32_t side) { return side >= MinMapSide && side <= MaxMapSide; };
    return fits(size.rows) && fits(size.columns);
}

} // namespace Marevane
