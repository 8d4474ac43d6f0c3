#include "audio/Adpcm.h"

#include "audio/FileFormat.h"

#include <cstring>

namespace Daz {
namespace Adpcm {

const int kCoefficient1[kPredictors] = {256, 512, 0, 192, 240, 460, 392};
const int kCoefficient2[kPredictors] = {0, -256, 0, 64, 0, -208, -232};
const int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

namespace {

constexpr int kCodes = kBlockFrames - 2;

// One step of the decoder: the sample for code c, then the next step.
struct State {
    int older;
    int newer;
    int step;

    int next(int p, int c)
    {
        const int predicted = (newer * kCoefficient1[p] + older * kCoefficient2[p]) / 256;
        const int signedCode = c < 8 ? c : c - 16;
        int sample = predicted + signedCode * step;
        sample = sample < -32768 ? -32768 : sample > 32767 ? 32767 : sample;
        older = newer;
        newer = sample;
        // Kept as 16 bits, as a stored step is.
        step = static_cast<std::int16_t>(static_cast<std::uint16_t>((kAdaptation[c] * step) / 256));
        if (step < kMinStep) step = kMinStep;
        return sample;
    }
};

int clampCode(int value)
{
    return value < -8 ? -8 : value > 7 ? 7 : value;
}

// The code whose decoded sample lies nearest the wanted one.
int chooseCode(const State& state, int p, int wanted)
{
    const int predicted = (state.newer * kCoefficient1[p] + state.older * kCoefficient2[p]) / 256;
    const int diff = wanted - predicted;
    int code = state.step != 0 ? diff / state.step : 0;
    int best = clampCode(code);
    long long bestError = -1;
    for (int candidate = clampCode(code - 1); candidate <= clampCode(code + 1); ++candidate) {
        State trial = state;
        const long long error = trial.next(p, candidate & 15) - wanted;
        if (bestError < 0 || error * error < bestError) {
            bestError = error * error;
            best = candidate;
        }
    }
    return best & 15;
}

// Encodes with one predictor and first step; gives the squared error.
long long encodeWith(const int* samples, int p, int step, unsigned char* codes)
{
    State state{samples[0], samples[1], step};
    long long total = 0;
    std::memset(codes, 0, kCodes / 2);
    for (int i = 0; i < kCodes; ++i) {
        const int code = chooseCode(state, p, samples[i + 2]);
        const long long error = state.next(p, code) - samples[i + 2];
        total += error * error;
        codes[i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? code : code << 4);
    }
    return total;
}

} // namespace

int decodeChannel(const unsigned char* block, std::int16_t* out, int stride)
{
    const int p = block[0];
    if (p >= kPredictors) {
        for (int i = 0; i < kBlockFrames; ++i) out[i * stride] = 0;
        return kBlockFrames;
    }
    State state{LittleEndian::i16(block + 3), LittleEndian::i16(block + 5), LittleEndian::i16(block + 1)};
    out[0] = static_cast<std::int16_t>(state.older);
    out[stride] = static_cast<std::int16_t>(state.newer);
    int frame = 2;
    for (int i = 0; i < kCodes / 2; ++i) {
        const int byte = block[7 + i];
        out[frame++ * stride] = static_cast<std::int16_t>(state.next(p, byte & 15));
        out[frame++ * stride] = static_cast<std::int16_t>(state.next(p, byte >> 4));
    }
    return frame;
}

int decodeBlock(const unsigned char* block, int channels, std::int16_t* out)
{
    if (channels < 1 || channels > kMaxChannels) return 0;
    for (int c = 0; c < channels; ++c) decodeChannel(block + c * kChannelBlockBytes, out + c, channels);
    return kBlockFrames;
}

void encodeChannel(const std::int16_t* in, int stride, int frames, unsigned char* block)
{
    int samples[kBlockFrames] = {};
    if (frames > kBlockFrames) frames = kBlockFrames;
    for (int i = 0; i < frames; ++i) samples[i] = in[i * stride];

    unsigned char codes[kCodes / 2];
    unsigned char bestCodes[kCodes / 2] = {};
    long long bestError = -1;
    int bestP = 0;
    int bestStep = kMinStep;
    for (int p = 0; p < kPredictors; ++p) {
        for (int step = kMinStep; step <= 16384; step *= 2) {
            const long long error = encodeWith(samples, p, step, codes);
            if (bestError < 0 || error < bestError) {
                bestError = error;
                bestP = p;
                bestStep = step;
                std::memcpy(bestCodes, codes, sizeof codes);
            }
        }
    }
    block[0] = static_cast<unsigned char>(bestP);
    LittleEndian::put16(block + 1, static_cast<std::uint16_t>(bestStep));
    LittleEndian::put16(block + 3, static_cast<std::uint16_t>(samples[0]));
    LittleEndian::put16(block + 5, static_cast<std::uint16_t>(samples[1]));
    std::memcpy(block + 7, bestCodes, sizeof bestCodes);
}

void encodeBlock(const std::int16_t* in, int frames, int channels, unsigned char* block)
{
    for (int c = 0; c < channels && c < kMaxChannels; ++c) {
        encodeChannel(in + c, channels, frames, block + c * kChannelBlockBytes);
    }
}

} // namespace Adpcm
} // namespace Daz
