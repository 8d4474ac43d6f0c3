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

} // namespace Kernel
} // namespace Daz
