#include "model/ArcadeMapList.h"

namespace Marevane {

namespace {

// A stage's map: its size and stage code; the board draws its special panels
// itself (every count and cap left negative).
MapData MakeStageMap(std::uint32_t stage, std::uint32_t size, std::uint32_t stageCode)
{
    MapData map(size, size);
    map.Id = stage;
    map.StageCode = stageCode;
    return map;
}

MapData MakeRunOverMap()
{
    MapData map(0, 0);
    map.SpecialPanelCount = 0;
    map.MaxReefs = 0;
    map.MaxShallows = 0;
    map.MaxFogs = 0;
    map.MaxHighWaves = 0;
    map.StageCode = 0;
    return map;
}

} // namespace

CArcadeMapList::CArcadeMapList()
{
    Fill({{1, MakeStageMap(1, 5, 1)},
          {2, MakeStageMap(2, 6, 5)},
          {3, MakeStageMap(3, 7, 6)},
          {4, MakeStageMap(4, 8, 7)},
          {5, MakeStageMap(5, 9, 8)}},
         MakeRunOverMap());
}

const CArcadeMapList& CArcadeMapList::GetInstance()
{
    static const CArcadeMapList instance;
    return instance;
}

} // namespace Marevane
