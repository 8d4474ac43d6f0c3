#include "audio/SampleCodec.h"
#include "audio/Adpcm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace Daz;

namespace {

using Bytes = std::vector<unsigned char>;

// One channel block: predictor, step, first two samples, then the code bytes.
Bytes channelBlock(int p, int step, int s0, int s1, std::vector<unsigned char> codes)
{
    Bytes block(Adpcm::kChannelBlockBytes, 0);
    block[0] = static_cast<unsigned char>(p);
    LittleEndian::put16(&block[1], static_cast<std::uint16_t>(step));
    LittleEndian::put16(&block[3], static_cast<std::uint16_t>(s0));
    LittleEndian::put16(&block[5], static_cast<std::uint16_t>(s1));
    for (std::size_t i = 0; i < codes.size(); ++i) block[7 + i] = codes[i];
    return block;
}

TEST(AdpcmTest, DecodesAHandWorkedBlock)
{
    // Predictor 1 predicts 2 x newer - older. Worked by hand:
    //   code 7:  20 + 7 x 100 = 720,             step 614 x 100 / 256 = 239
    //   code 8:  1430 - 8 x 239 = -482,          step 768 x 239 / 256 = 717
    //   code 0:  -964 - 720 = -1684,             step 230 x 717 / 256 = 644
    //   code 15: -2886 - 644 = -3530,            step 578
    //   code 0:  -5376, then -7222
    const Bytes block = channelBlock(1, 100, 0, 10, {0x87, 0xf0});
    std::int16_t out[Adpcm::kBlockFrames];
    EXPECT_EQ(36, Adpcm::decodeChannel(block.data(), out, 1));
    const std::vector<int> expected = {0, 10, 720, -482, -1684, -3530, -5376, -7222};
    EXPECT_EQ(expected, std::vector<int>(out, out + 8));
}

TEST(AdpcmTest, PredictionTruncatesTowardZeroAndStepsStayAtLeast16)
{
    // 192 x -1 / 256 is -0.75, which truncates to 0 (not -1).
    std::int16_t out[Adpcm::kBlockFrames];
    Adpcm::decodeChannel(channelBlock(3, 16, 0, -1, {}).data(), out, 1);
    EXPECT_EQ(0, out[2]);

    // Step 16 adapts to 14 under code 1 and is raised to 16 again: +16 each time.
    Adpcm::decodeChannel(channelBlock(0, 16, 100, 200, {0x11, 0x11}).data(), out, 1);
    EXPECT_EQ((std::vector<int>{100, 200, 216, 232, 248, 264, 264}), std::vector<int>(out, out + 7));
}

TEST(AdpcmTest, SamplesAreClampedAndUnknownPredictorsAreSilent)
{
    std::int16_t out[Adpcm::kBlockFrames];
    Adpcm::decodeChannel(channelBlock(1, 16384, -32768, 32767, {0x7}).data(), out, 1);
    EXPECT_EQ(32767, out[2]);
    Adpcm::decodeChannel(channelBlock(1, 16384, 32767, -32768, {0x8}).data(), out, 1);
    EXPECT_EQ(-32768, out[2]);

    Adpcm::decodeChannel(channelBlock(7, 16, 500, 600, {0x77}).data(), out, 1);
    for (int i = 0; i < Adpcm::kBlockFrames; ++i) EXPECT_EQ(0, out[i]);
}

TEST(AdpcmTest, StereoBlocksInterleaveLeftThenRight)
{
    Bytes block = channelBlock(0, 16, 1, 2, {});
    const Bytes right = channelBlock(0, 16, -1, -2, {});
    block.insert(block.end(), right.begin(), right.end());
    ASSERT_EQ(48u, block.size());
    std::int16_t out[2 * Adpcm::kBlockFrames];
    EXPECT_EQ(36, Adpcm::decodeBlock(block.data(), 2, out));
    EXPECT_EQ((std::vector<int>{1, -1, 2, -2, 2, -2}), std::vector<int>(out, out + 6));
}

struct PcmCase {
    int format;
    Bytes data;
    std::vector<float> samples;
};

class PcmDecodeTest : public ::testing::TestWithParam<PcmCase> {};

TEST_P(PcmDecodeTest, DecodesToFullScale)
{
    const PcmCase& c = GetParam();
    const SampleInfo info = SampleCodec::makeInfo(c.format, 1, 8000, static_cast<int>(c.samples.size()));
    ASSERT_EQ(c.data.size(), static_cast<std::size_t>(info.getDataBytes()));
    std::vector<float> out(c.samples.size());
    EXPECT_EQ(static_cast<int>(out.size()),
              SampleCodec::decode(info, c.data.data(), info.blocks, out.data()));
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(c.samples[i], out[i]) << i;

    Bytes encoded(c.data.size());
    ASSERT_TRUE(SampleCodec::encode(info, c.samples.data(), info.getFrames(), encoded.data()));
    EXPECT_EQ(c.data, encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PcmDecodeTest,
    ::testing::Values(PcmCase{kFormat_PcmI16,
                              {0xff, 0x7f, 0x01, 0x80, 0, 0, 0x00, 0x40},
                              {1.0f, -1.0f, 0.0f, 16384 / 32767.0f}},
                      PcmCase{kFormat_PcmI8, {0x7f, 0x81, 0x00, 0x20}, {1.0f, -1.0f, 0.0f, 32 / 127.0f}},
                      PcmCase{kFormat_PcmF32, {0, 0, 0x80, 0x3f, 0, 0, 0, 0xbf}, {1.0f, -0.5f}}));

TEST(SampleCodecTest, AnAdpcmBlockDecodesToFullScale)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_Adpcm, 1, 8000, 36);
    EXPECT_EQ(1, info.blocks);
    EXPECT_EQ(24, info.blockBytes);
    EXPECT_EQ(36, info.blockFrames);
    const Bytes block = channelBlock(0, 16, 32767, -32767, {});
    float out[36];
    EXPECT_EQ(36, SampleCodec::decode(info, block.data(), 1, out));
    EXPECT_FLOAT_EQ(1.0f, out[0]);
    EXPECT_FLOAT_EQ(-1.0f, out[1]);
}

TEST(SampleCodecTest, BlocksThatCannotBeDecodedGiveNothing)
{
    float out[72];
    const Bytes data(96, 0);
    SampleInfo adpcm = SampleCodec::makeInfo(kFormat_Adpcm, 2, 8000, 36);
    adpcm.blockBytes = 96; // more than the decoder's block holds
    EXPECT_EQ(0, SampleCodec::decode(adpcm, data.data(), 1, out));
    SampleInfo none = SampleCodec::makeInfo(kFormat_PcmI16, 1, 8000, 1);
    none.format = kFormat_None;
    EXPECT_EQ(0, SampleCodec::decode(none, data.data(), 1, out));
    SampleInfo three = SampleCodec::makeInfo(kFormat_PcmI8, 3, 8000, 1);
    EXPECT_EQ(0, SampleCodec::decode(three, data.data(), 1, out));
}

class SineTest : public ::testing::TestWithParam<int> {};

// The encoders against their decoders: a sine comes back within each encoding's quantisation error.
TEST_P(SineTest, EncodeThenDecodeStaysClose)
{
    const int format = GetParam();
    const int channels = 2;
    const int frames = 1000; // not a whole number of adaptive delta blocks
    std::vector<float> in(frames * channels);
    for (int i = 0; i < frames; ++i) {
        in[2 * i] = 0.8f * std::sin(2.0f * 3.14159265f * 440.0f * i / 22050.0f);
        in[2 * i + 1] = 0.3f * std::sin(2.0f * 3.14159265f * 1000.0f * i / 22050.0f);
    }
    const SampleInfo info = SampleCodec::makeInfo(format, channels, 22050, frames);
    Bytes data(static_cast<std::size_t>(info.getDataBytes()));
    ASSERT_TRUE(SampleCodec::encode(info, in.data(), frames, data.data()));
    std::vector<float> out(static_cast<std::size_t>(info.getFrames()) * channels);
    ASSERT_EQ(info.getFrames(), SampleCodec::decode(info, data.data(), info.blocks, out.data()));

    const float bound = format == kFormat_PcmF32   ? 0.0f
                        : format == kFormat_PcmI16 ? 0.5f / 32767.0f
                        : format == kFormat_PcmI8  ? 0.5f / 127.0f
                                                   : 0.04f;
    double squares = 0;
    for (int i = 0; i < frames * channels; ++i) {
        EXPECT_NEAR(in[i], out[i], bound + 1e-6f) << i;
        squares += (in[i] - out[i]) * (in[i] - out[i]);
    }
    if (format == kFormat_Adpcm) {
        const double rms = std::sqrt(squares / (frames * channels));
        EXPECT_LT(rms, 0.004);
        for (std::size_t i = frames * channels; i < out.size(); ++i) EXPECT_NEAR(0.0f, out[i], 0.01f);
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, SineTest,
                         ::testing::Values(kFormat_PcmI16, kFormat_PcmI8, kFormat_Adpcm, kFormat_PcmF32));

} // namespace
