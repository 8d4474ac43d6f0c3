#include "AdpcmEncoder.h"

#include "audio/Adpcm.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace Marevane {
namespace SoundTool {

namespace {

using namespace Daz::Adpcm;

constexpr int kCodes = kBlockFrames - 2;

int toSample(float value)
{
    const float clamped = value < -1.0f ? -1.0f : value > 1.0f ? 1.0f : value;
    return static_cast<int>(std::lround(clamped * 32767.0f));
}

int predict(int p, int newer, int older)
{
    return (newer * kCoefficient1[p] + older * kCoefficient2[p]) / 256;
}

// Codes for one predictor and first step, tracking the decoder exactly; gives
// the squared error of the decoded samples.
long long trial(const int* samples, int p, int firstStep, unsigned char* codes)
{
    int older = samples[0];
    int newer = samples[1];
    int step = firstStep;
    long long error = 0;
    std::memset(codes, 0, kCodes / 2);
    for (int i = 0; i < kCodes; ++i) {
        const int predicted = predict(p, newer, older);
        const int wanted = samples[i + 2];
        // Nearest code; the clamp to 16 bits only ever moves a sample towards the wanted one.
        const int diff = wanted - predicted;
        const int rounded = (diff >= 0 ? diff + step / 2 : diff - step / 2) / step;
        const int code = std::max(-8, std::min(7, rounded));
        const int sample = std::max(-32768, std::min(32767, predicted + code * step));
        const int nibble = code & 15;
        error += static_cast<long long>(sample - wanted) * (sample - wanted);
        codes[i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? nibble : nibble << 4);
        older = newer;
        newer = sample;
        step = static_cast<std::int16_t>(static_cast<std::uint16_t>((kAdaptation[nibble] * step) / 256));
        if (step < kMinStep) step = kMinStep;
    }
    return error;
}

} // namespace

void encodeAdpcmChannel(const float* in, int stride, int frames, unsigned char* block)
{
    int samples[kBlockFrames] = {};
    frames = std::min(frames, kBlockFrames);
    for (int i = 0; i < frames; ++i) samples[i] = toSample(in[i * stride]);

    unsigned char codes[kCodes / 2];
    unsigned char bestCodes[kCodes / 2] = {};
    long long bestError = -1;
    int bestP = 0;
    int bestStep = kMinStep;
    for (int p = 0; p < kPredictors; ++p) {
        const int residual = std::abs(samples[2] - predict(p, samples[1], samples[0]));
        int previous = 0;
        for (int shift = 3; shift >= 1; --shift) {
            const int step = std::min(16384, std::max(kMinStep, residual >> shift));
            if (step == previous) continue;
            previous = step;
            const long long error = trial(samples, p, step, codes);
            if (bestError < 0 || error < bestError) {
                bestError = error;
                bestP = p;
                bestStep = step;
                std::memcpy(bestCodes, codes, sizeof codes);
            }
        }
    }
    block[0] = static_cast<unsigned char>(bestP);
    Daz::LittleEndian::put16(block + 1, static_cast<std::uint16_t>(bestStep));
    Daz::LittleEndian::put16(block + 3, static_cast<std::uint16_t>(samples[0]));
    Daz::LittleEndian::put16(block + 5, static_cast<std::uint16_t>(samples[1]));
    std::memcpy(block + 7, bestCodes, sizeof bestCodes);
}

std::vector<unsigned char> encodeAdpcm(const Daz::SampleInfo& info, const std::vector<float>& samples,
                                       int threads)
{
    const int channels = info.channels;
    const int frames = static_cast<int>(samples.size()) / channels;
    std::vector<unsigned char> data(static_cast<std::size_t>(info.getDataBytes()));
    auto encodeRange = [&](int first, int last) {
        for (int b = first; b < last; ++b) {
            const int start = b * kBlockFrames;
            const int count = std::min(kBlockFrames, frames - start);
            for (int c = 0; c < channels; ++c) {
                encodeAdpcmChannel(samples.data() + static_cast<std::size_t>(start) * channels + c, channels,
                                   std::max(0, count),
                                   data.data() + static_cast<std::size_t>(b) * info.blockBytes +
                                       c * kChannelBlockBytes);
            }
        }
    };
    threads = std::max(1, std::min(threads, info.blocks / 1024 + 1));
    std::vector<std::thread> workers;
    const int share = (info.blocks + threads - 1) / threads;
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back(encodeRange, std::min(info.blocks, t * share),
                             std::min(info.blocks, (t + 1) * share));
    }
    encodeRange(0, std::min(info.blocks, share));
    for (std::thread& worker : workers) worker.join();
    return data;
}

} // namespace SoundTool
} // namespace Marevane
