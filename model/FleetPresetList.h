// Fleet compositions a computer side draws its fleet from, by preset name.
// Presets keep the order of the table and slots run 1 to 5, so a fleet is
// always built in the same order (no preset starts with an oiler).
#pragma once

#include "model/MappingObject.h"
#include "model/Types.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace Marevane {

// Ship type per slot, slots from 1; type 0 is left for the user to fill.
using FleetSlots = std::map<unsigned, ShipType>;

class CFleetPresetList : public CMappingObject<std::wstring, FleetSlots> {
  public:
    using Entry = std::pair<const std::wstring, FleetSlots>;

    static const CFleetPresetList& GetInstance();

    // A preset drawn uniformly with the shared random engine.
    const Entry& GetRandomPreset() const;

    // The presets in table order.
    const std::vector<const Entry*>& GetPresets() const { return m_presets; }

  private:
    CFleetPresetList();

    std::vector<const Entry*> m_presets;
};

} // namespace Marevane
