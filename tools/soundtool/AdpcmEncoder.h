// A quicker adaptive delta encoder for long music: per block it tries every
// predictor with a few first steps sized from the opening residual, and picks
// each code by rounding, where the engine's encoder searches all steps. Its
// blocks decode with the engine's own decoder.
#pragma once

#include "audio/FileFormat.h"

#include <vector>

namespace Marevane {
namespace SoundTool {

// One channel block of up to 36 frames read `stride` samples apart; missing
// frames are silence.
void encodeAdpcmChannel(const float* in, int stride, int frames, unsigned char* block);

// Every block of an adaptive delta sample info, spread over `threads` workers;
// the bytes do not depend on the number of workers.
std::vector<unsigned char> encodeAdpcm(const Daz::SampleInfo& info, const std::vector<float>& samples,
                                       int threads);

} // namespace SoundTool
} // namespace Marevane
