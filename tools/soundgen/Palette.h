// The instruments every piece draws from, by name.
#pragma once

#include "Instruments.h"

#include <string>

namespace Marevane {
namespace SoundGen {

// Throws std::invalid_argument for a name it does not know.
Patch instrument(const std::string& name);

} // namespace SoundGen
} // namespace Marevane
