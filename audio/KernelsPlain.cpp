// The plain forms of the mixing kernels. Integer sums wrap as the SSE2 forms
// do, and float-to-integer conversions of out-of-range values give the
// processor's "integer indefinite", so both forms agree on every input.
#include "audio/Kernels.h"
#include "audio/KernelsCommon.h"

#include <cstring>

namespace Daz {

GainRamp GainRamp::make(const float current[4], const float target[4], float stepPerFrame, int blockFrames)
{
    GainRamp ramp;
    bool equal = true;
    for (int i = 0; i < 4; ++i) {
        ramp.current[i] = current[i];
        ramp.target[i] = target[i];
        if (std::fabs(target[i] - current[i]) > 0.001f) equal = false;
    }
    if (!equal) {
        for (int i = 0; i < 4; ++i) {
            const float delta = target[i] - current[i];
            const float frames = std::fabs(delta) / stepPerFrame;
            // A gain closer to its target than one step lands there at once
            // rather than stepping by delta / 0.
            const int count = frames < 2147483647.0f ? static_cast<int>(frames) : 2147483647;
            ramp.count[i] = count;
            ramp.step[i] = count > 0 ? delta / static_cast<float>(count) : 0.0f;
            if (count > ramp.frames) ramp.frames = count;
        }
        if (ramp.frames > blockFrames) ramp.frames = blockFrames;
    }
    if (ramp.frames == 0) {
        for (int i = 0; i < 4; ++i) {
            ramp.current[i] = target[i];
            ramp.count[i] = 0;
        }
    }
    for (int i = 0; i < 4; ++i) {
        ramp.currentFixed[i] = toFixedGain(ramp.current[i]);
        ramp.targetFixed[i] = toFixedGain(ramp.target[i]);
        ramp.stepFixed[i] = toFixedGain(ramp.step[i]);
    }
    return ramp;
}

void GainRamp::endValues(float out[4]) const
{
    for (int i = 0; i < 4; ++i)
        out[i] = count[i] <= frames ? target[i] : current[i] + step[i] * static_cast<float>(frames);
}

namespace {

using namespace Kernel;

// ---- conversions: in place, last sample first, so wider samples never
// overwrite narrower ones not yet read.

void convertI8Float(float* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    for (int i = count - 1; i >= 0; --i) buffer[i] = static_cast<float>(loadI8(bytes, i)) * Pcm::kFromI8;
}

void convertI16Float(float* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    for (int i = count - 1; i >= 0; --i) buffer[i] = static_cast<float>(loadI16(bytes, i)) * Pcm::kFromI16;
}

void convertF32Float(float*, int) {}

void convertI8Fixed(Fixed* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    for (int i = count - 1; i >= 0; --i) buffer[i] = loadI8(bytes, i) * (1 << 17);
}

void convertI16Fixed(Fixed* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    for (int i = count - 1; i >= 0; --i) buffer[i] = loadI16(bytes, i) * (1 << 9);
}

void convertF32Fixed(Fixed* buffer, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        float value;
        std::memcpy(&value, buffer + i, sizeof value);
        buffer[i] = truncateToInt(value * 16777216.0f);
    }
}

// ---- clamp and conversion to float

bool clampFloat(const float* in, float* out, int count)
{
    bool clipped = false;
    for (int i = 0; i < count; ++i) {
        const float x = in[i];
        if (!(x <= 1.0f) || !(x >= -1.0f)) clipped = true;
        out[i] = minPs(maxPs(x, -1.0f), 1.0f);
    }
    return clipped;
}

bool clampFixed(const Fixed* in, Fixed* out, int count)
{
    bool clipped = false;
    for (int i = 0; i < count; ++i) {
        Fixed x = in[i];
        if (x > Pcm::kFixedMax) {
            x = Pcm::kFixedMax;
            clipped = true;
        } else if (x < -Pcm::kFixedMax) {
            x = -Pcm::kFixedMax;
            clipped = true;
        }
        out[i] = x;
    }
    return clipped;
}

void toFloatFloat(const float* in, float* out, int count)
{
    if (in != out) std::memcpy(out, in, sizeof(float) * static_cast<std::size_t>(count));
}

void toFloatFixed(const Fixed* in, float* out, int count)
{
    for (int i = 0; i < count; ++i) out[i] = static_cast<float>(in[i]) * Pcm::kFromFixed;
}

// ---- sums and scales

void addFloat(float* a, const float* b, int count)
{
    for (int i = 0; i < count; ++i) a[i] += b[i];
}

void addFixed(Fixed* a, const Fixed* b, int count)
{
    for (int i = 0; i < count; ++i) a[i] = wrapAdd(a[i], b[i]);
}

void weightedSumFloat(float* a, float wA, const float* b, float wB, int count)
{
    for (int i = 0; i < count; ++i) a[i] = a[i] * wA + b[i] * wB;
}

void weightedSumFixed(Fixed* a, float wA, const Fixed* b, float wB, int count)
{
    const Fixed fA = toFixedGain(wA);
    const Fixed fB = toFixedGain(wB);
    for (int i = 0; i < count; ++i) a[i] = wrapAdd(mulShift<24>(a[i], fA), mulShift<24>(b[i], fB));
}

void scaleFloat(float* buffer, int count, float gain)
{
    for (int i = 0; i < count; ++i) buffer[i] *= gain;
}

void scaleFixed(Fixed* buffer, int count, float gain)
{
    const Fixed g = toFixedGain(gain);
    for (int i = 0; i < count; ++i) buffer[i] = mulShift<24>(buffer[i], g);
}

template <typename S> void copyAny(const S* in, S* out, int count)
{
    if (in != out) std::memmove(out, in, sizeof(S) * static_cast<std::size_t>(count));
}

// ---- gains

void monoGainsFloat(const float* in, float* out, int frames, const GainRamp& ramp)
{
    int j = 0;
    for (; j < ramp.frames && j < frames; ++j) {
        const float x = in[j];
        out[2 * j] = x * ramp.gainAt(0, j);
        out[2 * j + 1] = x * ramp.gainAt(3, j);
    }
    const float left = ramp.target[0];
    const float right = ramp.target[3];
    for (; j < frames; ++j) {
        const float x = in[j];
        out[2 * j] = x * left;
        out[2 * j + 1] = x * right;
    }
}

void stereoGainsFloat(float* buffer, int frames, const GainRamp& ramp)
{
    int j = 0;
    for (; j < ramp.frames && j < frames; ++j) {
        const float l = buffer[2 * j];
        const float r = buffer[2 * j + 1];
        buffer[2 * j] = l * ramp.gainAt(0, j) + r * ramp.gainAt(1, j);
        buffer[2 * j + 1] = l * ramp.gainAt(2, j) + r * ramp.gainAt(3, j);
    }
    const float* m = ramp.target;
    for (; j < frames; ++j) {
        const float l = buffer[2 * j];
        const float r = buffer[2 * j + 1];
        buffer[2 * j] = l * m[0] + r * m[1];
        buffer[2 * j + 1] = l * m[2] + r * m[3];
    }
}

void monoGainsFixed(const Fixed* in, Fixed* out, int frames, const GainRamp& ramp)
{
    int j = monoRampFixed(in, out, frames, ramp);
    const Fixed left = ramp.targetFixed[0];
    const Fixed right = ramp.targetFixed[3];
    for (; j < frames; ++j) {
        const Fixed x = in[j];
        out[2 * j] = mulShift<24>(x, left);
        out[2 * j + 1] = mulShift<24>(x, right);
    }
}

void stereoGainsFixed(Fixed* buffer, int frames, const GainRamp& ramp)
{
    int j = stereoRampFixed(buffer, frames, ramp);
    const Fixed* m = ramp.targetFixed;
    for (; j < frames; ++j) {
        const Fixed l = buffer[2 * j];
        const Fixed r = buffer[2 * j + 1];
        buffer[2 * j] = wrapAdd(mulShift<24>(l, m[0]), mulShift<24>(r, m[1]));
        buffer[2 * j + 1] = wrapAdd(mulShift<24>(l, m[2]), mulShift<24>(r, m[3]));
    }
}

// ---- resampling

void resampleFloat(const float* in, int inFrames, float* out, int outFrames, int channels, float* prev)
{
    if (inFrames <= 0 || outFrames <= 0) return;
    const float ratio = resampleRatio(inFrames, outFrames);
    for (int j = 0; j < outFrames; ++j) {
        const float pos = static_cast<float>(j) * ratio;
        const int i = truncateToInt(pos);
        // Past the input (only by rounding) the last frame is held.
        const bool past = i >= inFrames;
        const float fraction = past ? 0.0f : pos - static_cast<float>(i);
        for (int c = 0; c < channels; ++c) {
            const float last = in[(inFrames - 1) * channels + c];
            const float a = past ? last : i == 0 ? prev[c] : in[(i - 1) * channels + c];
            const float b = past ? last : in[i * channels + c];
            out[j * channels + c] = a + (b - a) * fraction;
        }
    }
    for (int c = 0; c < channels; ++c) prev[c] = in[(inFrames - 1) * channels + c];
}

const Kernels<float> g_plainFloat = {
    convertI8Float,   convertI16Float, convertF32Float,  clampFloat, toFloatFloat,   addFloat,
    weightedSumFloat, monoGainsFloat,  stereoGainsFloat, scaleFloat, copyAny<float>, resampleFloat,
};

const Kernels<Fixed> g_plainFixed = {
    convertI8Fixed,   convertI16Fixed, convertF32Fixed,  clampFixed, toFloatFixed,   addFixed,
    weightedSumFixed, monoGainsFixed,  stereoGainsFixed, scaleFixed, copyAny<Fixed>, resampleFixedScalar,
};

} // namespace

const Kernels<float>& plainFloatKernels()
{
    return g_plainFloat;
}

const Kernels<Fixed>& plainFixedKernels()
{
    return g_plainFixed;
}

} // namespace Daz
