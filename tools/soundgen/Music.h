// The music of every track the sound tables name, composed as data.
#pragma once

#include "Render.h"

#include "sound/SoundTypes.h"

#include <vector>

namespace Marevane {
namespace SoundGen {

// The codes whose stream file we compose, one code per file.
std::vector<Sound::BgmCode> composedTracks();

// Throws std::invalid_argument for a code without a composition.
Composition compose(Sound::BgmCode code);

} // namespace SoundGen
} // namespace Marevane
