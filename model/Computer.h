// A computer side; its brain comes with its type (CUnit::SetUnitType).
#pragma once

#include "model/Unit.h"

namespace Marevane {

class CComputer : public CUnit {
  public:
    using CUnit::CUnit;
    ~CComputer() override;
};

} // namespace Marevane
