// A pattern of weights around one panel: the panel itself, its eight
// neighbours and everything else. The virtual board multiplies or adds these
// weights into its flags.
#pragma once

#include "model/MappingObject.h"
#include "model/Panel.h"

#include <cstdint>

namespace Marevane::ComputerAI {

class CBoardFlagMap : public CMappingObject<const CPanel*, int> {
  public:
    // Patterns 1 to 6; any other number throws std::out_of_range. A null
    // centre gives a map that weighs every real panel with the default.
    CBoardFlagMap(std::uint32_t pattern, const CPanel* centre);

    int GetDefaultFlag() const { return m_defaultFlag; }

  private:
    int m_defaultFlag = 0;
};

} // namespace Marevane::ComputerAI
