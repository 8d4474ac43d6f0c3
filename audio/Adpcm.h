// The 4-bit adaptive delta encoding: blocks of 36 frames, one 24-byte block
// per channel (left first), each opening with its predictor, step and first
// two samples. The tables are the published MS-ADPCM ones.
#pragma once

#include <cstdint>

namespace Daz {

namespace Adpcm {

constexpr int kBlockFrames = 36;
constexpr int kChannelBlockBytes = 24;
constexpr int kMaxChannels = 2;
constexpr int kPredictors = 7;
constexpr int kMinStep = 16;

extern const int kCoefficient1[kPredictors];
extern const int kCoefficient2[kPredictors];
extern const int kAdaptation[16];

// One channel block into 36 frames written `stride` samples apart; gives the
// frames written. A block with an unknown predictor decodes as silence.
int decodeChannel(const unsigned char* block, std::int16_t* out, int stride);
// A whole block of 24 x channels bytes into 36 interleaved frames.
int decodeBlock(const unsigned char* block, int channels, std::int16_t* out);

// Up to 36 frames read `stride` samples apart into one channel block; missing
// frames are silence. The predictor and first step are the ones that decode closest.
void encodeChannel(const std::int16_t* in, int stride, int frames, unsigned char* block);
// Up to 36 interleaved frames into one block of 24 x channels bytes.
void encodeBlock(const std::int16_t* in, int frames, int channels, unsigned char* block);

} // namespace Adpcm

} // namespace Daz
