// The files the sound tables name, as bytes: the way the build makes them.
#pragma once

#include "Render.h"
#include "SoundFiles.h"

#include "sound/SoundTypes.h"

#include <vector>

namespace Marevane {
namespace SoundGen {

constexpr int kMusicRate = 44100;

// The stream of a track, adaptive delta at 44100 Hz stereo, carrying the
// tables' loop points and looping until released. `audio` keeps the rendering.
std::vector<unsigned char> trackFile(Sound::BgmCode code, TrackReport* report = nullptr,
                                     SoundTool::Audio* audio = nullptr);

// A bank of 16-bit effects; `cues` keeps them.
std::vector<unsigned char> bankFile(Sound::SeType type, std::vector<SoundTool::Cue>* cues = nullptr);

// Two seconds of stereo silence, the source of the "No Music" file.
SoundTool::Audio silence();

} // namespace SoundGen
} // namespace Marevane
