// A human side, at this machine or on the network.
#pragma once

#include "model/Unit.h"

namespace Marevane {

class CPlayer : public CUnit {
  public:
    using CUnit::CUnit;
    ~CPlayer() override;
};

} // namespace Marevane
