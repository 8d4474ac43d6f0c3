// The sound effects of both banks, synthesized at 48000 frames per second.
#pragma once

#include "SoundFiles.h"

#include "sound/SoundTypes.h"

#include <string>
#include <vector>

namespace Marevane {
namespace SoundGen {

constexpr int kEffectRate = 48000;

// The bank's cues in the tables' order; code 0 ("None") has no sound.
std::vector<SoundTool::Cue> effectCues(Sound::SeType type);
std::string bankName(Sound::SeType type);

} // namespace SoundGen
} // namespace Marevane
