// Rendering compositions into loopable tracks: an intro played once, a loop
// section that the player repeats, and an ending heard when the loop is let go.
#pragma once

#include "Instruments.h"
#include "Score.h"
#include "WavFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Marevane {
namespace SoundGen {

struct Section {
    double beats = 0.0;
    Score score;
};

struct Composition {
    // The loop section's tempo; the intro is fitted to the loop start.
    double bpm = 120.0;
    std::vector<Patch> patches;
    Section intro;
    Section loop;
    Section outro;
    float roomSize = 0.75f;
    float damping = 0.45f;
    float reverbWet = 1.0f;
    float chorusDepthMs = 3.0f;
    float chorusRateHz = 0.35f;
    float chorusMix = 0.6f;
    // Loudness (RMS) the track is brought to unless its peak would pass the ceiling.
    float loudnessDb = -17.0f;
    std::uint32_t seed = 1;

    int add(const Patch& patch)
    {
        patches.push_back(patch);
        return static_cast<int>(patches.size()) - 1;
    }
};

// Where the engine's player turns: loop points in frames rounded to whole
// adaptive delta blocks, half away from zero.
std::int32_t blockRounded(std::int32_t frame);

// What a render measured, for the generator's log.
struct TrackReport {
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = 0;
    double introBpm = 0.0;
    double loopBpm = 0.0;
    float peakDb = 0.0f;
    float rmsDb = 0.0f;
};

// `loopStart` and `loopEnd` are the table's frames (end -1: the end of the
// track). The track's frames are a whole number of blocks, and its loop
// seam, taken at the block-rounded points, continues the music exactly.
SoundTool::Audio renderTrack(const Composition& composition, std::int32_t loopStart, std::int32_t loopEnd,
                             int sampleRate, TrackReport* report = nullptr);

// Scales to the loudness, never past `ceilingDb` at the peak; gives the gain.
float normalize(std::vector<float>& samples, float loudnessDb, float ceilingDb);

} // namespace SoundGen
} // namespace Marevane
