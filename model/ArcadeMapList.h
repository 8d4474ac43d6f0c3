// The maps of the arcade run, one per stage. A stage past the last answers
// the empty 0 by 0 map, which tells the arcade screens the run is over.
#pragma once

#include "model/MappingObject.h"
#include "model/Records.h"

#include <cstdint>

namespace Marevane {

class CArcadeMapList : public CMappingObject<std::uint32_t, MapData> {
  public:
    static const CArcadeMapList& GetInstance();

    // True for the 0 by 0 map answered for a stage the run does not have.
    static bool IsRunOver(const MapData& map) { return map.Size.x == 0 || map.Size.y == 0; }

  private:
    CArcadeMapList();
};

} // namespace Marevane
