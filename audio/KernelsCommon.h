// Scalar steps shared by the plain and SSE2 kernel forms, written to match
// what the SSE2 instructions do, so both forms agree bit for bit.
#pragma once

#include "audio/Kernels.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace Daz {
namespace Kernel {

inline int loadI8(const unsigned char* bytes, int index)
{
    return static_cast<signed char>(bytes[index]);
}

inline int loadI16(const unsigned char* bytes, int index)
{
    std::int16_t value;
    std::memcpy(&value, bytes + 2 * index, sizeof value);
    return value;
}

// Truncation toward zero; out of range or not a number gives INT32_MIN, as cvttps2dq does.
inline std::int32_t truncateToInt(float value)
{
    if (!(value > -2147483904.0f && value < 2147483648.0f)) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// maxps and minps: the second operand wins when either is not a number.
inline float maxPs(float a, float b)
{
    return a > b ? a : b;
}
inline float minPs(float a, float b)
{
    return a < b ? a : b;
}

inline Fixed wrapAdd(Fixed a, Fixed b)
{
    return static_cast<Fixed>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline Fixed wrapSub(Fixed a, Fixed b)
{
    return static_cast<Fixed>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// The low 32 bits of (a x b) >> shift on the 64-bit product.
template <int Shift> inline Fixed mulShift(Fixed a, Fixed b)
{
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    return static_cast<Fixed>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(product) >> Shift));
}

// The ramping frames of the fixed-point gains, frame by frame in scalar code:
// a 64-bit product per sample beats SSE2's emulation of one. Each gain steps
// by whole 8.24 steps, so accumulating equals multiplying. Both give the frames done.
struct FixedRampWalk {
    Fixed gain[4];
    explicit FixedRampWalk(const GainRamp& ramp)
    {
        for (int i = 0; i < 4; ++i) gain[i] = ramp.currentFixed[i];
    }
    void next(const GainRamp& ramp, int frame)
    {
        for (int i = 0; i < 4; ++i)
            gain[i] = frame + 1 < ramp.count[i] ? wrapAdd(gain[i], ramp.stepFixed[i]) : ramp.targetFixed[i];
    }
};

inline int monoRampFixed(const Fixed* in, Fixed* out, int frames, const GainRamp& ramp)
{
    int j = 0;
    FixedRampWalk walk(ramp);
    for (; j < ramp.frames && j < frames; ++j) {
        walk.next(ramp, j);
        out[2 * j] = mulShift<24>(in[j], walk.gain[0]);
        out[2 * j + 1] = mulShift<24>(in[j], walk.gain[3]);
    }
    return j;
}

inline int stereoRampFixed(Fixed* buffer, int frames, const GainRamp& ramp)
{
    int j = 0;
    FixedRampWalk walk(ramp);
    for (; j < ramp.frames && j < frames; ++j) {
        walk.next(ramp, j);
        const Fixed* g = walk.gain;
        const Fixed l = buffer[2 * j];
        const Fixed r = buffer[2 * j + 1];
        buffer[2 * j] = wrapAdd(mulShift<24>(l, g[0]), mulShift<24>(r, g[1]));
        buffer[2 * j + 1] = wrapAdd(mulShift<24>(l, g[2]), mulShift<24>(r, g[3]));
    }
    return j;
}

// Input frames per output frame.
inline float resampleRatio(int inFrames, int outFrames)
{
    return static_cast<float>(inFrames) / static_cast<float>(outFrames);
}

// The same as a 16.16 step, rounded half away from zero.
inline Fixed resampleStepFixed(int inFrames, int outFrames)
{
    return static_cast<Fixed>(std::lround(resampleRatio(inFrames, outFrames) * 65536.0f));
}

// Fixed-point resampling in scalar code for both forms: SSE2 has no signed
// 32 x 32 -> 64-bit product, and emulating one costs more than the gathers save.
inline void resampleFixedScalar(const Fixed* in, int inFrames, Fixed* out, int outFrames, int channels,
                                Fixed* prev)
{
    if (inFrames <= 0 || outFrames <= 0) return;
    const Fixed step = resampleStepFixed(inFrames, outFrames);
    for (int j = 0; j < outFrames; ++j) {
        const Fixed pos = j * step;
        const int i = pos >> 16;
        const bool past = i >= inFrames;
        const Fixed fraction = past ? 0 : pos & 0xffff;
        for (int c = 0; c < channels; ++c) {
            const Fixed last = in[(inFrames - 1) * channels + c];
            const Fixed a = past ? last : i == 0 ? prev[c] : in[(i - 1) * channels + c];
            const Fixed b = past ? last : in[i * channels + c];
            out[j * channels + c] = wrapAdd(a, mulShift<16>(wrapSub(b, a), fraction));
        }
    }
    for (int c = 0; c < channels; ++c) prev[c] = in[(inFrames - 1) * channels + c];
}

} // namespace Kernel
} // namespace Daz
