#include "audio/Kernels.h"
#include "audio/SourceNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace Daz;

namespace {

const int kLengths[] = {1, 3, 4, 239, 240};

bool sameBits(const void* a, const void* b, std::size_t bytes)
{
    return std::memcmp(a, b, bytes) == 0;
}

// Samples spread over and past full scale, with a few awkward values mixed in.
std::vector<float> randomFloats(std::mt19937& rng, int count)
{
    std::uniform_real_distribution<float> spread(-2.0f, 2.0f);
    std::vector<float> values(static_cast<std::size_t>(count));
    for (float& v : values) v = spread(rng);
    const float awkward[] = {1.0f, -1.0f, 0.0f, -0.0f, 1.0000001f, std::numeric_limits<float>::infinity()};
    for (int i = 0; i < count; i += 7) values[static_cast<std::size_t>(i)] = awkward[(i / 7) % 6];
    return values;
}

std::vector<Fixed> randomFixeds(std::mt19937& rng, int count)
{
    std::uniform_int_distribution<Fixed> spread(-(1 << 26), 1 << 26);
    std::vector<Fixed> values(static_cast<std::size_t>(count));
    for (Fixed& v : values) v = spread(rng);
    const Fixed awkward[] = {16777215, 16777216, -16777216, 0, INT32_MAX, INT32_MIN};
    for (int i = 0; i < count; i += 7) values[static_cast<std::size_t>(i)] = awkward[(i / 7) % 6];
    return values;
}

std::vector<float> randomValues(std::mt19937& rng, int count, float*)
{
    return randomFloats(rng, count);
}
std::vector<Fixed> randomValues(std::mt19937& rng, int count, Fixed*)
{
    return randomFixeds(rng, count);
}

// Ramps of every kind: gains snapping, ramping for part of a block, past it.
std::vector<GainRamp> ramps()
{
    std::vector<GainRamp> all;
    const float from[4] = {0.0f, 0.3f, -0.2f, 1.0f};
    const float to[4] = {1.0f, 0.3005f, 0.4f, 0.5f};
    for (float step : {1.0f / 1920.0f, 1.0f / 240.0f, 0.02f, 10.0f})
        all.push_back(GainRamp::make(from, to, step, 240));
    const float same[4] = {0.7f, 0.0f, 0.0f, 0.7f};
    all.push_back(GainRamp::make(same, same, 1.0f / 1920.0f, 240));
    const float big[4] = {3.5f, -2.0f, 1.5f, 0.25f};
    all.push_back(GainRamp::make(same, big, 1.0f / 100.0f, 240));
    return all;
}

template <typename S> class KernelFormsTest : public ::testing::Test {
  protected:
    static const Kernels<S>& plain();
    static const Kernels<S>& simd();
    std::mt19937 rng{12345};

    std::vector<S> values(int count) { return randomValues(rng, count, static_cast<S*>(nullptr)); }
};

template <> const Kernels<float>& KernelFormsTest<float>::plain()
{
    return plainFloatKernels();
}
template <> const Kernels<float>& KernelFormsTest<float>::simd()
{
    return simdFloatKernels();
}
template <> const Kernels<Fixed>& KernelFormsTest<Fixed>::plain()
{
    return plainFixedKernels();
}
template <> const Kernels<Fixed>& KernelFormsTest<Fixed>::simd()
{
    return simdFixedKernels();
}

typedef ::testing::Types<float, Fixed> Pipelines;
TYPED_TEST_SUITE(KernelFormsTest, Pipelines);

TYPED_TEST(KernelFormsTest, PlainAndSimdFormsGiveTheSameBits)
{
    typedef TypeParam S;
    const Kernels<S>& p = this->plain();
    const Kernels<S>& v = this->simd();
    for (int n : kLengths) {
        SCOPED_TRACE(n);
        const std::size_t bytes = sizeof(S) * static_cast<std::size_t>(2 * n);
        const std::vector<S> a = this->values(2 * n);
        const std::vector<S> b = this->values(2 * n);

        // Conversions from raw 8-bit, 16-bit and float samples, in place.
        std::vector<unsigned char> raw(bytes);
        for (unsigned char& c : raw) c = static_cast<unsigned char>(this->rng());
        std::memcpy(raw.data(), a.data(), bytes / 2); // some float bit patterns too
        for (auto convert : {&Kernels<S>::convertI8, &Kernels<S>::convertI16, &Kernels<S>::convertF32}) {
            std::vector<S> x(static_cast<std::size_t>(2 * n)), y(static_cast<std::size_t>(2 * n));
            std::memcpy(x.data(), raw.data(), bytes);
            std::memcpy(y.data(), raw.data(), bytes);
            (p.*convert)(x.data(), 2 * n);
            (v.*convert)(y.data(), 2 * n);
            EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));
        }

        std::vector<S> x = a, y = a;
        EXPECT_EQ(p.clamp(a.data(), x.data(), 2 * n), v.clamp(a.data(), y.data(), 2 * n));
        EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));

        std::vector<float> fx(static_cast<std::size_t>(2 * n)), fy(static_cast<std::size_t>(2 * n));
        p.toFloat(a.data(), fx.data(), 2 * n);
        v.toFloat(a.data(), fy.data(), 2 * n);
        EXPECT_TRUE(sameBits(fx.data(), fy.data(), fx.size() * sizeof(float)));

        x = a, y = a;
        p.add(x.data(), b.data(), 2 * n);
        v.add(y.data(), b.data(), 2 * n);
        EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));

        x = a, y = a;
        p.weightedSum(x.data(), 0.7071068f, b.data(), 0.25f, 2 * n);
        v.weightedSum(y.data(), 0.7071068f, b.data(), 0.25f, 2 * n);
        EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));

        x = a, y = a;
        p.scale(x.data(), 2 * n, 0.3f);
        v.scale(y.data(), 2 * n, 0.3f);
        EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));

        x.assign(x.size(), S()), y.assign(y.size(), S());
        p.copy(a.data(), x.data(), 2 * n);
        v.copy(a.data(), y.data(), 2 * n);
        EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));
        EXPECT_TRUE(sameBits(x.data(), a.data(), bytes));

        for (const GainRamp& ramp : ramps()) {
            SCOPED_TRACE(ramp.frames);
            std::vector<S> mx(static_cast<std::size_t>(2 * n)), my(static_cast<std::size_t>(2 * n));
            p.monoGains(a.data(), mx.data(), n, ramp);
            v.monoGains(a.data(), my.data(), n, ramp);
            EXPECT_TRUE(sameBits(mx.data(), my.data(), bytes));
            x = a, y = a;
            p.stereoGains(x.data(), n, ramp);
            v.stereoGains(y.data(), n, ramp);
            EXPECT_TRUE(sameBits(x.data(), y.data(), bytes));
        }

        // Resampling in both directions, mono and stereo, with state.
        for (int channels : {1, 2}) {
            for (int out : {1, n, 2 * n + 1, 3 * n}) {
                const std::vector<S> in = this->values(channels * n);
                std::vector<S> rx(static_cast<std::size_t>(channels * out)), ry(rx.size());
                S px[2] = {a[0], b[0]};
                S py[2] = {a[0], b[0]};
                p.resample(in.data(), n, rx.data(), out, channels, px);
                v.resample(in.data(), n, ry.data(), out, channels, py);
                EXPECT_TRUE(sameBits(rx.data(), ry.data(), rx.size() * sizeof(S))) << channels << " " << out;
                EXPECT_TRUE(sameBits(px, py, sizeof px));
            }
        }
    }
}

TEST(KernelTest, FloatClampReportsClippingBeyondFullScaleOnly)
{
    struct Case {
        float in;
        float out;
        bool clipped;
    };
    const Case cases[] = {
        {1.0f, 1.0f, false},   {-1.0f, -1.0f, false}, {0.25f, 0.25f, false},
        {1.0001f, 1.0f, true}, {-1.5f, -1.0f, true},  {std::numeric_limits<float>::quiet_NaN(), -1.0f, true},
    };
    for (const Kernels<float>* kernels : {&plainFloatKernels(), &simdFloatKernels()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.in);
            // A lone sample and one inside a block of four take both paths of the SIMD form.
            float block[4] = {0.0f, c.in, 0.0f, 0.0f};
            float lone = c.in;
            EXPECT_EQ(c.clipped, kernels->clamp(block, block, 4));
            EXPECT_EQ(c.clipped, kernels->clamp(&lone, &lone, 1));
            EXPECT_EQ(c.out, block[1]);
            EXPECT_EQ(c.out, lone);
        }
    }
}

TEST(KernelTest, FixedClampReportsClippingBeyondFullScaleOnly)
{
    struct Case {
        Fixed in;
        Fixed out;
        bool clipped;
    };
    const Case cases[] = {
        {16777215, 16777215, false},  {-16777215, -16777215, false}, {16777216, 16777215, true},
        {-16777216, -16777215, true}, {INT32_MIN, -16777215, true},
    };
    for (const Kernels<Fixed>* kernels : {&plainFixedKernels(), &simdFixedKernels()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.in);
            Fixed block[4] = {0, c.in, 0, 0};
            Fixed lone = c.in;
            EXPECT_EQ(c.clipped, kernels->clamp(block, block, 4));
            EXPECT_EQ(c.clipped, kernels->clamp(&lone, &lone, 1));
            EXPECT_EQ(c.out, block[1]);
            EXPECT_EQ(c.out, lone);
        }
    }
}

TEST(KernelTest, ConversionsUseThePipelinesFactors)
{
    const Kernels<float>& f = plainFloatKernels();
    const Kernels<Fixed>& x = plainFixedKernels();
    float fb[4] = {};
    Fixed xb[4] = {};
    const std::int16_t pcm16[2] = {32767, -32768};
    std::memcpy(fb, pcm16, sizeof pcm16);
    std::memcpy(xb, pcm16, sizeof pcm16);
    f.convertI16(fb, 2);
    x.convertI16(xb, 2);
    EXPECT_FLOAT_EQ(1.0f, fb[0]);
    EXPECT_FLOAT_EQ(-32768.0f / 32767.0f, fb[1]);
    EXPECT_EQ(32767 * 512, xb[0]);
    EXPECT_EQ(-32768 * 512, xb[1]);

    const std::int8_t pcm8[2] = {127, -128};
    std::memcpy(fb, pcm8, sizeof pcm8);
    std::memcpy(xb, pcm8, sizeof pcm8);
    f.convertI8(fb, 2);
    x.convertI8(xb, 2);
    EXPECT_FLOAT_EQ(1.0f, fb[0]);
    EXPECT_EQ(127 << 17, xb[0]);
    EXPECT_EQ(-128 * (1 << 17), xb[1]);

    const float pcmF[2] = {0.5f, -0.25f};
    std::memcpy(xb, pcmF, sizeof pcmF);
    x.convertF32(xb, 2);
    EXPECT_EQ(1 << 23, xb[0]);
    EXPECT_EQ(-(1 << 22), xb[1]);

    float back[1];
    const Fixed half = 1 << 23;
    x.toFloat(&half, back, 1);
    EXPECT_EQ(0.5f, back[0]);
}

struct RampCase {
    const char* name;
    float rampMs;
    float from;
    float to;
    int framesToTarget; // the frame at which the gain first stands at its target
};

TEST(KernelTest, GainsRampOverTheRampTime)
{
    const RampCase cases[] = {
        {"0 to 1 over 40 ms", 40.0f, 0.0f, 1.0f, 1919},
        {"0 to 1 with no ramp time", 0.0f, 0.0f, 1.0f, 0},
        {"a ramp of one frame's time", 1000.0f / 48000.0f, 0.0f, 1.0f, 0},
        {"within 0.001 snaps", 40.0f, 0.5f, 0.5009f, 0},
        // Closer than one step: it lands at once instead of stepping by delta / 0.
        {"0.002 over 5 ms", 5.0f, 0.5f, 0.502f, 0},
    };
    for (const RampCase& c : cases) {
        SCOPED_TRACE(c.name);
        const float step = SourceNode::rampStepFor(c.rampMs);
        float current[4] = {c.from, 0.0f, 0.0f, c.from};
        const float target[4] = {c.to, 0.0f, 0.0f, c.to};
        const std::vector<float> ones(240, 1.0f);
        std::vector<float> out(480);
        int reached = -1;
        for (int block = 0; block < 10 && reached < 0; ++block) {
            const GainRamp ramp = GainRamp::make(current, target, step, 240);
            plainFloatKernels().monoGains(ones.data(), out.data(), 240, ramp);
            ramp.endValues(current);
            for (int j = 0; j < 240; ++j) {
                ASSERT_TRUE(std::isfinite(out[2 * j]));
                if (reached < 0 && out[2 * j] == c.to) reached = block * 240 + j;
            }
        }
        EXPECT_EQ(c.framesToTarget, reached);
        EXPECT_EQ(c.to, current[0]);
    }
}

TEST(KernelTest, ARampMovesByEqualStepsAndHoldsOnceDone)
{
    const float from[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float to[4] = {1.0f, 0.0f, 0.0f, 0.5f};
    const GainRamp ramp = GainRamp::make(from, to, 1.0f / 100.0f, 240);
    EXPECT_EQ(100, ramp.count[0]);
    EXPECT_EQ(50, ramp.count[3]);
    EXPECT_EQ(100, ramp.frames);
    std::vector<float> in(240, 1.0f);
    std::vector<float> out(480);
    for (const Kernels<float>* kernels : {&plainFloatKernels(), &simdFloatKernels()}) {
        kernels->monoGains(in.data(), out.data(), 240, ramp);
        EXPECT_FLOAT_EQ(0.01f, out[0]);
        EXPECT_FLOAT_EQ(0.5f, out[2 * 49]);
        EXPECT_EQ(1.0f, out[2 * 99]);
        EXPECT_EQ(1.0f, out[2 * 239]);
        EXPECT_FLOAT_EQ(0.99f, out[1]);
        EXPECT_EQ(0.5f, out[2 * 49 + 1]); // the right gain is done after its 50 frames
        EXPECT_EQ(0.5f, out[2 * 99 + 1]);
    }
}

TEST(KernelTest, ResamplingInterpolatesFromTheLastFrameOfTheBlockBefore)
{
    // Half the rate: every other output frame lies half-way between two inputs.
    const float in[4] = {2.0f, 4.0f, 6.0f, 8.0f};
    float prev[2] = {0.0f, 0.0f};
    float out[8];
    for (const Kernels<float>* kernels : {&plainFloatKernels(), &simdFloatKernels()}) {
        prev[0] = 0.0f;
        kernels->resample(in, 4, out, 8, 1, prev);
        const float expected[8] = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f};
        for (int j = 0; j < 8; ++j) EXPECT_EQ(expected[j], out[j]) << j;
        EXPECT_EQ(8.0f, prev[0]);
    }
    Fixed fin[4] = {2 << 16, 4 << 16, 6 << 16, 8 << 16};
    Fixed fprev[2] = {0, 0};
    Fixed fout[8];
    plainFixedKernels().resample(fin, 4, fout, 8, 1, fprev);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(j << 16, fout[j]) << j;
}

} // namespace
