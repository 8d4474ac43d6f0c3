// The computer's six strengths: the level the set-up screen offers by index,
// and the name each strength is shown by. Built once, read-only afterwards.
#pragma once

#include "model/MappingObject.h"
#include "model/Types.h"

#include <string>

namespace Marevane::ComputerAI {

// Level index 0..5 to strength; any other index is "NORMAL".
class CModeMap : public CMappingObject<unsigned, Mode> {
  public:
    static const CModeMap& GetInstance();

  private:
    CModeMap();
};

// Strength to its name; a value outside the six is "Undefined".
class CModeNames : public CMappingObject<Mode, std::wstring> {
  public:
    static const CModeNames& GetInstance();

  private:
    CModeNames();
};

} // namespace Marevane::ComputerAI
