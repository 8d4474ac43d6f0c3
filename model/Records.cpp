#include "model/Records.h"

namespace Marevane {

MineProfile MakeDefaultMineProfile()
{
    MineProfile mine;
    mine.Number = NoNumber;
    mine.UnitId = NoNumber;
    mine.VictimUnitId = NoNumber;
    return mine;
}

} // namespace Marevane
