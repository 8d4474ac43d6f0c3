// The SSE2 forms of the mixing kernels. They work across samples where each
// sample stands alone and across the channels of one frame where a gain moves
// from frame to frame, so that every value is computed by the same operations
// in the same order as in the plain forms.
#include "audio/Kernels.h"
#include "audio/KernelsCommon.h"

#if defined(__SSE2__)

#include <emmintrin.h>

namespace Daz {

namespace {

using namespace Kernel;

// ---- helpers

// The low 32 bits of (a x b) >> Shift per lane, on signed 64-bit products.
template <int Shift> inline __m128i mulShiftV(__m128i a, __m128i b)
{
    // Unsigned products of the even and of the odd lanes...
    __m128i even = _mm_mul_epu32(a, b);
    __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    // ...turned signed: a negative factor takes the other factor off the high half.
    const __m128i fix =
        _mm_add_epi32(_mm_and_si128(_mm_srai_epi32(a, 31), b), _mm_and_si128(_mm_srai_epi32(b, 31), a));
    const __m128i highLanes = _mm_set_epi32(-1, 0, -1, 0);
    even = _mm_sub_epi32(even, _mm_slli_epi64(fix, 32));
    odd = _mm_sub_epi32(odd, _mm_and_si128(fix, highLanes));
    even = _mm_srli_epi64(even, Shift);
    odd = _mm_srli_epi64(odd, Shift);
    const __m128i lowLanes = _mm_set_epi32(0, -1, 0, -1);
    return _mm_or_si128(_mm_and_si128(even, lowLanes), _mm_slli_epi64(odd, 32));
}

// Lane-wise a > b ? a : b and a < b ? a : b for 32-bit integers.
inline __m128i select(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

inline __m128 selectPs(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// Four 8-bit or 16-bit samples, sign-extended to 32 bits.
inline __m128i loadI8x4(const unsigned char* bytes)
{
    std::int32_t word;
    std::memcpy(&word, bytes, sizeof word);
    __m128i v = _mm_cvtsi32_si128(word);
    v = _mm_unpacklo_epi8(v, v);
    v = _mm_unpacklo_epi16(v, v);
    return _mm_srai_epi32(v, 24);
}

inline __m128i loadI16x4(const unsigned char* bytes)
{
    __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
    v = _mm_unpacklo_epi16(v, v);
    return _mm_srai_epi32(v, 16);
}

// ---- conversions: the tail first, then blocks of four from the end

// Widens `count` narrow samples in place: `one(i)` converts sample i, `four(i)`
// samples i..i+3. Walking from the end keeps unread samples from being overwritten.
template <typename One, typename Four> void convertBackwards(int count, One one, Four four)
{
    int i = count;
    while (i % 4) one(--i);
    while (i > 0) four(i -= 4);
}

void convertI8Float(float* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    const __m128 factor = _mm_set1_ps(Pcm::kFromI8);
    convertBackwards(
        count, [&](int i) { buffer[i] = static_cast<float>(loadI8(bytes, i)) * Pcm::kFromI8; },
        [&](int i) { _mm_storeu_ps(buffer + i, _mm_mul_ps(_mm_cvtepi32_ps(loadI8x4(bytes + i)), factor)); });
}

void convertI16Float(float* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    const __m128 factor = _mm_set1_ps(Pcm::kFromI16);
    convertBackwards(
        count, [&](int i) { buffer[i] = static_cast<float>(loadI16(bytes, i)) * Pcm::kFromI16; },
        [&](int i) {
            _mm_storeu_ps(buffer + i, _mm_mul_ps(_mm_cvtepi32_ps(loadI16x4(bytes + 2 * i)), factor));
        });
}

void convertF32Float(float*, int) {}

void convertI8Fixed(Fixed* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    convertBackwards(
        count, [&](int i) { buffer[i] = loadI8(bytes, i) * (1 << 17); },
        [&](int i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i), _mm_slli_epi32(loadI8x4(bytes + i), 17));
        });
}

void convertI16Fixed(Fixed* buffer, int count)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
    convertBackwards(
        count, [&](int i) { buffer[i] = loadI16(bytes, i) * (1 << 9); },
        [&](int i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i),
                             _mm_slli_epi32(loadI16x4(bytes + 2 * i), 9));
        });
}

void convertF32Fixed(Fixed* buffer, int count)
{
    const __m128 scale = _mm_set1_ps(16777216.0f);
    convertBackwards(
        count,
        [&](int i) {
            float value;
            std::memcpy(&value, buffer + i, sizeof value);
            buffer[i] = truncateToInt(value * 16777216.0f);
        },
        [&](int i) {
            const __m128 v = _mm_loadu_ps(reinterpret_cast<const float*>(buffer + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i), _mm_cvttps_epi32(_mm_mul_ps(v, scale)));
        });
}

// ---- clamp and conversion to float

bool clampFloat(const float* in, float* out, int count)
{
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 minusOne = _mm_set1_ps(-1.0f);
    __m128 clipped = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_loadu_ps(in + i);
        clipped = _mm_or_ps(clipped, _mm_or_ps(_mm_cmpnle_ps(x, one), _mm_cmpnge_ps(x, minusOne)));
        _mm_storeu_ps(out + i, _mm_min_ps(_mm_max_ps(x, minusOne), one));
    }
    bool any = _mm_movemask_ps(clipped) != 0;
    for (; i < count; ++i) {
        const float x = in[i];
        if (!(x <= 1.0f) || !(x >= -1.0f)) any = true;
        out[i] = minPs(maxPs(x, -1.0f), 1.0f);
    }
    return any;
}

bool clampFixed(const Fixed* in, Fixed* out, int count)
{
    const __m128i high = _mm_set1_epi32(Pcm::kFixedMax);
    const __m128i low = _mm_set1_epi32(-Pcm::kFixedMax);
    __m128i clipped = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i over = _mm_cmpgt_epi32(x, high);
        const __m128i under = _mm_cmplt_epi32(x, low);
        clipped = _mm_or_si128(clipped, _mm_or_si128(over, under));
        x = select(over, high, select(under, low, x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), x);
    }
    bool any = _mm_movemask_epi8(clipped) != 0;
    for (; i < count; ++i) {
        Fixed x = in[i];
        if (x > Pcm::kFixedMax) {
            x = Pcm::kFixedMax;
            any = true;
        } else if (x < -Pcm::kFixedMax) {
            x = -Pcm::kFixedMax;
            any = true;
        }
        out[i] = x;
    }
    return any;
}

void toFloatFloat(const float* in, float* out, int count)
{
    if (in != out) std::memcpy(out, in, sizeof(float) * static_cast<std::size_t>(count));
}

void toFloatFixed(const Fixed* in, float* out, int count)
{
    const __m128 factor = _mm_set1_ps(Pcm::kFromFixed);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_ps(out + i, _mm_mul_ps(_mm_cvtepi32_ps(x), factor));
    }
    for (; i < count; ++i) out[i] = static_cast<float>(in[i]) * Pcm::kFromFixed;
}

// ---- sums and scales

void addFloat(float* a, const float* b, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4) _mm_storeu_ps(a + i, _mm_add_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)));
    for (; i < count; ++i) a[i] += b[i];
}

void addFixed(Fixed* a, const Fixed* b, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* pa = reinterpret_cast<__m128i*>(a + i);
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(pa, _mm_add_epi32(_mm_loadu_si128(pa), vb));
    }
    for (; i < count; ++i) a[i] = wrapAdd(a[i], b[i]);
}

void weightedSumFloat(float* a, float wA, const float* b, float wB, int count)
{
    const __m128 va = _mm_set1_ps(wA);
    const __m128 vb = _mm_set1_ps(wB);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_mul_ps(_mm_loadu_ps(a + i), va);
        const __m128 y = _mm_mul_ps(_mm_loadu_ps(b + i), vb);
        _mm_storeu_ps(a + i, _mm_add_ps(x, y));
    }
    for (; i < count; ++i) a[i] = a[i] * wA + b[i] * wB;
}

void weightedSumFixed(Fixed* a, float wA, const Fixed* b, float wB, int count)
{
    const Fixed fA = toFixedGain(wA);
    const Fixed fB = toFixedGain(wB);
    const __m128i va = _mm_set1_epi32(fA);
    const __m128i vb = _mm_set1_epi32(fB);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* pa = reinterpret_cast<__m128i*>(a + i);
        const __m128i x = mulShiftV<24>(_mm_loadu_si128(pa), va);
        const __m128i y = mulShiftV<24>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)), vb);
        _mm_storeu_si128(pa, _mm_add_epi32(x, y));
    }
    for (; i < count; ++i) a[i] = wrapAdd(mulShift<24>(a[i], fA), mulShift<24>(b[i], fB));
}

void scaleFloat(float* buffer, int count, float gain)
{
    const __m128 g = _mm_set1_ps(gain);
    int i = 0;
    for (; i + 4 <= count; i += 4) _mm_storeu_ps(buffer + i, _mm_mul_ps(_mm_loadu_ps(buffer + i), g));
    for (; i < count; ++i) buffer[i] *= gain;
}

void scaleFixed(Fixed* buffer, int count, float gain)
{
    const Fixed fg = toFixedGain(gain);
    const __m128i g = _mm_set1_epi32(fg);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(buffer + i);
        _mm_storeu_si128(p, mulShiftV<24>(_mm_loadu_si128(p), g));
    }
    for (; i < count; ++i) buffer[i] = mulShift<24>(buffer[i], fg);
}

template <typename S> void copyAny(const S* in, S* out, int count)
{
    if (in == out) return;
    const unsigned char* from = reinterpret_cast<const unsigned char*>(in);
    unsigned char* to = reinterpret_cast<unsigned char*>(out);
    const int bytes = count * static_cast<int>(sizeof(S));
    // Forwards or backwards as the overlap asks, like memmove.
    if (to < from || to >= from + bytes) {
        int i = 0;
        for (; i + 16 <= bytes; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
        for (; i < bytes; ++i) to[i] = from[i];
    } else {
        std::memmove(to, from, static_cast<std::size_t>(bytes));
    }
}

// ---- gains

// The ramp's gains at one frame, lanes (m1, m2, m3, m4).
struct FloatRampV {
    __m128 current, target, step;
    __m128i count;
    explicit FloatRampV(const GainRamp& ramp)
        : current(_mm_loadu_ps(ramp.current)), target(_mm_loadu_ps(ramp.target)),
          step(_mm_loadu_ps(ramp.step)), count(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ramp.count)))
    {
    }
    __m128 at(int frame) const
    {
        const __m128 ramping = _mm_castsi128_ps(_mm_cmplt_epi32(_mm_set1_epi32(frame + 1), count));
        const __m128 moved =
            _mm_add_ps(current, _mm_mul_ps(step, _mm_set1_ps(static_cast<float>(frame + 1))));
        return selectPs(ramping, moved, target);
    }
};

void monoGainsFloat(const float* in, float* out, int frames, const GainRamp& ramp)
{
    int j = 0;
    const FloatRampV rv(ramp);
    for (; j < ramp.frames && j < frames; ++j) {
        const __m128 g = rv.at(j); // (m1, m2, m3, m4)
        const __m128 lr = _mm_shuffle_ps(g, g, _MM_SHUFFLE(3, 0, 3, 0));
        _mm_storel_pi(reinterpret_cast<__m64*>(out + 2 * j), _mm_mul_ps(_mm_set1_ps(in[j]), lr));
    }
    const __m128 lr = _mm_setr_ps(ramp.target[0], ramp.target[3], ramp.target[0], ramp.target[3]);
    for (; j + 4 <= frames; j += 4) {
        const __m128 x = _mm_loadu_ps(in + j);
        _mm_storeu_ps(out + 2 * j, _mm_mul_ps(_mm_unpacklo_ps(x, x), lr));
        _mm_storeu_ps(out + 2 * j + 4, _mm_mul_ps(_mm_unpackhi_ps(x, x), lr));
    }
    for (; j < frames; ++j) {
        const float x = in[j];
        out[2 * j] = x * ramp.target[0];
        out[2 * j + 1] = x * ramp.target[3];
    }
}

// (L, R, L, R) x (m1, m3, m1, m3) + (R, ...) x (m2, m4, m2, m4): one or two frames.
inline __m128 stereoFrames(__m128 x, __m128 g13, __m128 g24)
{
    const __m128 l = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 r = _mm_shuffle_ps(x, x, _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_add_ps(_mm_mul_ps(l, g13), _mm_mul_ps(r, g24));
}

void stereoGainsFloat(float* buffer, int frames, const GainRamp& ramp)
{
    int j = 0;
    const FloatRampV rv(ramp);
    for (; j < ramp.frames && j < frames; ++j) {
        const __m128 g = rv.at(j);
        const __m128 g13 = _mm_shuffle_ps(g, g, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 g24 = _mm_shuffle_ps(g, g, _MM_SHUFFLE(3, 1, 3, 1));
        __m128 x = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(buffer + 2 * j));
        _mm_storel_pi(reinterpret_cast<__m64*>(buffer + 2 * j), stereoFrames(x, g13, g24));
    }
    const float* m = ramp.target;
    const __m128 g13 = _mm_setr_ps(m[0], m[2], m[0], m[2]);
    const __m128 g24 = _mm_setr_ps(m[1], m[3], m[1], m[3]);
    for (; j + 2 <= frames; j += 2)
        _mm_storeu_ps(buffer + 2 * j, stereoFrames(_mm_loadu_ps(buffer + 2 * j), g13, g24));
    for (; j < frames; ++j) {
        const float l = buffer[2 * j];
        const float r = buffer[2 * j + 1];
        buffer[2 * j] = l * m[0] + r * m[1];
        buffer[2 * j + 1] = l * m[2] + r * m[3];
    }
}

inline __m128i loadFrame(const Fixed* p)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline void storeFrame(Fixed* p, __m128i v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}

void monoGainsFixed(const Fixed* in, Fixed* out, int frames, const GainRamp& ramp)
{
    int j = monoRampFixed(in, out, frames, ramp);
    const Fixed* m = ramp.targetFixed;
    const __m128i lr = _mm_setr_epi32(m[0], m[3], m[0], m[3]);
    for (; j + 4 <= frames; j += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * j),
                         mulShiftV<24>(_mm_unpacklo_epi32(x, x), lr));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * j + 4),
                         mulShiftV<24>(_mm_unpackhi_epi32(x, x), lr));
    }
    for (; j < frames; ++j) {
        const Fixed x = in[j];
        out[2 * j] = mulShift<24>(x, m[0]);
        out[2 * j + 1] = mulShift<24>(x, m[3]);
    }
}

inline __m128i stereoFramesFixed(__m128i x, __m128i g13, __m128i g24)
{
    const __m128i l = _mm_shuffle_epi32(x, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128i r = _mm_shuffle_epi32(x, _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_add_epi32(mulShiftV<24>(l, g13), mulShiftV<24>(r, g24));
}

void stereoGainsFixed(Fixed* buffer, int frames, const GainRamp& ramp)
{
    int j = stereoRampFixed(buffer, frames, ramp);
    const Fixed* m = ramp.targetFixed;
    const __m128i g13 = _mm_setr_epi32(m[0], m[2], m[0], m[2]);
    const __m128i g24 = _mm_setr_epi32(m[1], m[3], m[1], m[3]);
    for (; j + 2 <= frames; j += 2) {
        __m128i* p = reinterpret_cast<__m128i*>(buffer + 2 * j);
        _mm_storeu_si128(p, stereoFramesFixed(_mm_loadu_si128(p), g13, g24));
    }
    for (; j < frames; ++j)
        storeFrame(buffer + 2 * j, stereoFramesFixed(loadFrame(buffer + 2 * j), g13, g24));
}

// ---- resampling: the positions of four output frames at once, the
// interpolation of their samples as vectors.

// The samples, per channel, that input position `i` lies between: the frame
// before it (the previous block's last at 0) and its own. Past the input
// (only by rounding) both are the last frame; that case gives true.
template <typename S>
inline bool gatherPair(const S* in, int last, int channels, const S* prev, int i, S* a, S* b)
{
    const bool past = i > last;
    for (int c = 0; c < channels; ++c) {
        a[c] = past ? in[last * channels + c] : i == 0 ? prev[c] : in[(i - 1) * channels + c];
        b[c] = past ? a[c] : in[i * channels + c];
    }
    return past;
}

void resampleFloat(const float* in, int inFrames, float* out, int outFrames, int channels, float* prev)
{
    if (inFrames <= 0 || outFrames <= 0) return;
    const float ratio = resampleRatio(inFrames, outFrames);
    const __m128 vRatio = _mm_set1_ps(ratio);
    const int last = inFrames - 1;
    alignas(16) std::int32_t index[4];
    alignas(16) float fraction[4] = {};
    alignas(16) float a[8] = {};
    alignas(16) float b[8] = {};
    int j = 0;
    for (; j < outFrames; j += 4) {
        const __m128 pos = _mm_mul_ps(_mm_cvtepi32_ps(_mm_setr_epi32(j, j + 1, j + 2, j + 3)), vRatio);
        const __m128i whole = _mm_cvttps_epi32(pos);
        _mm_store_si128(reinterpret_cast<__m128i*>(index), whole);
        _mm_store_ps(fraction, _mm_sub_ps(pos, _mm_cvtepi32_ps(whole)));
        const int n = outFrames - j < 4 ? outFrames - j : 4;
        for (int k = 0; k < n; ++k)
            if (gatherPair(in, last, channels, prev, index[k], a + k * channels, b + k * channels))
                fraction[k] = 0.0f;
        float* dest = out + j * channels;
        if (channels == 1) {
            const __m128 va = _mm_load_ps(a);
            const __m128 vb = _mm_load_ps(b);
            const __m128 v = _mm_add_ps(va, _mm_mul_ps(_mm_sub_ps(vb, va), _mm_load_ps(fraction)));
            if (n == 4) {
                _mm_storeu_ps(dest, v);
            } else {
                alignas(16) float tmp[4];
                _mm_store_ps(tmp, v);
                for (int k = 0; k < n; ++k) dest[k] = tmp[k];
            }
        } else {
            const __m128 f = _mm_load_ps(fraction);
            for (int half = 0; half < 2; ++half) {
                const int frames = n - 2 * half;
                if (frames <= 0) break;
                const __m128 va = _mm_load_ps(a + 4 * half);
                const __m128 vb = _mm_load_ps(b + 4 * half);
                const __m128 vf = half == 0 ? _mm_unpacklo_ps(f, f) : _mm_unpackhi_ps(f, f);
                const __m128 v = _mm_add_ps(va, _mm_mul_ps(_mm_sub_ps(vb, va), vf));
                if (frames >= 2)
                    _mm_storeu_ps(dest + 4 * half, v);
                else
                    _mm_storel_pi(reinterpret_cast<__m64*>(dest + 4 * half), v);
            }
        }
    }
    for (int c = 0; c < channels; ++c) prev[c] = in[last * channels + c];
}

const Kernels<float> g_simdFloat = {
    convertI8Float,   convertI16Float, convertF32Float,  clampFloat, toFloatFloat,   addFloat,
    weightedSumFloat, monoGainsFloat,  stereoGainsFloat, scaleFloat, copyAny<float>, resampleFloat,
};

const Kernels<Fixed> g_simdFixed = {
    convertI8Fixed,   convertI16Fixed, convertF32Fixed,  clampFixed, toFloatFixed,   addFixed,
    weightedSumFixed, monoGainsFixed,  stereoGainsFixed, scaleFixed, copyAny<Fixed>, resampleFixedScalar,
};

} // namespace

const Kernels<float>& simdFloatKernels()
{
    return g_simdFloat;
}

const Kernels<Fixed>& simdFixedKernels()
{
    return g_simdFixed;
}

} // namespace Daz

#else

namespace Daz {

const Kernels<float>& simdFloatKernels()
{
    return plainFloatKernels();
}

const Kernels<Fixed>& simdFixedKernels()
{
    return plainFixedKernels();
}

} // namespace Daz

#endif
