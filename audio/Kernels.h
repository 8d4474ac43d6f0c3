// The mixing kernels of both render pipelines: floating point (full scale
// -1.0..1.0) and fixed point (signed 32-bit, 1.0 = 2^24). Each kernel has a
// plain form and an SSE2 form that give bit-identical results.
#pragma once

#include <cmath>
#include <cstdint>

namespace Daz {

typedef std::int32_t Fixed;

namespace Pcm {
constexpr float kFromI8 = 0.007874016f;     // 1 / 127
constexpr float kFromI16 = 3.051851e-5f;    // 1 / 32767
constexpr float kFromFixed = 5.9604645e-8f; // 2^-24
constexpr Fixed kFixedOne = 1 << 24;
constexpr Fixed kFixedMax = kFixedOne - 1; // the output clamp
} // namespace Pcm

// A float gain or weight as an 8.24 fixed-point factor, rounded half away from zero.
inline Fixed toFixedGain(float gain)
{
    const double scaled = std::round(static_cast<double>(gain) * 16777216.0);
    if (!(scaled < 2147483647.0)) return 2147483647;
    if (!(scaled > -2147483648.0)) return -2147483647 - 1;
    return static_cast<Fixed>(scaled);
}

// The four gains of one block of a source, m1..m4 (left out = L m1 + R m2,
// right out = L m3 + R m4; a mono source uses m1 left and m4 right). Each
// gain steps towards its target for `count` frames, then holds the target;
// a count of 0 means it is at its target from the first frame.
struct GainRamp {
    float current[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    float target[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    float step[4] = {};
    int count[4] = {};
    // Frames of the block that ramp: the longest count, at most the block.
    int frames = 0;
    // The same in 8.24 for the fixed-point kernels.
    Fixed currentFixed[4] = {};
    Fixed targetFixed[4] = {};
    Fixed stepFixed[4] = {};

    // The ramp over a block of `blockFrames` from `current` to `target` with
    // `stepPerFrame` per frame; gains within 0.001 of their targets snap.
    static GainRamp make(const float current[4], const float target[4], float stepPerFrame, int blockFrames);
    // The gain of one entry at frame `frame` of the ramp (float pipeline).
    float gainAt(int index, int frame) const
    {
        return frame + 1 < count[index] ? current[index] + step[index] * static_cast<float>(frame + 1)
                                        : target[index];
    }
    bool isConstant() const { return frames == 0; }
    // Where each gain stands after the block.
    void endValues(float out[4]) const;
};

template <typename S> struct Kernels {
    // `count` samples of signed 8-bit, signed 16-bit or 32-bit float at the
    // start of `buffer`, widened in place to pipeline samples.
    void (*convertI8)(S* buffer, int count);
    void (*convertI16)(S* buffer, int count);
    void (*convertF32)(S* buffer, int count);
    // Clamped to full scale (float -1..1, fixed +-16777215); true when any sample was clipped.
    // `out` may be `in`.
    bool (*clamp)(const S* in, S* out, int count);
    void (*toFloat)(const S* in, float* out, int count);
    // a += b.
    void (*add)(S* a, const S* b, int count);
    // a = a wA + b wB.
    void (*weightedSum)(S* a, float wA, const S* b, float wB, int count);
    // Mono frames into stereo frames through m1 (left) and m4 (right); `out` is not `in`.
    void (*monoGains)(const S* in, S* out, int frames, const GainRamp& ramp);
    // Stereo frames through the matrix, in place.
    void (*stereoGains)(S* buffer, int frames, const GainRamp& ramp);
    void (*scale)(S* buffer, int count, float gain);
    void (*copy)(const S* in, S* out, int count);
    // Linear interpolation of `inFrames` frames into `outFrames`, per channel
    // (1 or 2); `prev` holds the last input frame of the previous block and
    // takes this block's last one.
    void (*resample)(const S* in, int inFrames, S* out, int outFrames, int channels, S* prev);
};

const Kernels<float>& plainFloatKernels();
const Kernels<Fixed>& plainFixedKernels();
// The SSE2 forms; the plain ones where the processor has none.
const Kernels<float>& simdFloatKernels();
const Kernels<Fixed>& simdFixedKernels();

} // namespace Daz
