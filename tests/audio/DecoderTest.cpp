#include "audio/AudioNode.h"
#include "audio/BufferSource.h"
#include "audio/Decoders.h"

#include "SoundFixture.h"

using namespace Daz;

namespace {

// Three blocks of adaptive delta data from a sine, mono.
struct AdpcmSample {
    SampleInfo info = SampleCodec::makeInfo(kFormat_Adpcm, 1, 48000, 3 * Adpcm::kBlockFrames);
    Bytes data = Bytes(static_cast<std::size_t>(info.getDataBytes()));

    AdpcmSample()
    {
        std::vector<float> wave(static_cast<std::size_t>(info.getFrames()));
        for (std::size_t i = 0; i < wave.size(); ++i) wave[i] = 0.5f * std::sin(0.2f * static_cast<float>(i));
        EXPECT_TRUE(SampleCodec::encode(info, wave.data(), static_cast<int>(wave.size()), data.data()));
    }
};

TEST(AdpcmDecoderTest, ASeekToFrame40LoadsBlock1AndStartsAtItsFifthFrame)
{
    AdpcmSample sample;
    BufferSource whole(sample.info, sample.data.data());
    AdpcmDecoder reference(&whole);
    std::vector<float> all(256);
    ASSERT_EQ(108, reference.decode(all.data(), 108));
    EXPECT_TRUE(reference.isAtEnd());
    EXPECT_EQ(108, reference.getFrames());

    BufferSource source(sample.info, sample.data.data());
    AdpcmDecoder decoder(&source);
    decoder.setFramePos(40);
    EXPECT_EQ(1, decoder.getBlockIndex());
    EXPECT_EQ(4, decoder.getFrameInBlock());
    EXPECT_FALSE(decoder.isBlockLoaded());
    EXPECT_EQ(40, decoder.getFramePos());
    EXPECT_EQ(1, source.getBlockPos());

    std::vector<float> out(64);
    ASSERT_EQ(10, decoder.decode(out.data(), 10));
    EXPECT_TRUE(decoder.isBlockLoaded());
    EXPECT_EQ(50, decoder.getFramePos());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(all[40 + i], out[i]) << i;
    // The rest of the block, then the next one.
    ASSERT_EQ(58, decoder.decode(out.data(), 64));
    EXPECT_EQ(all[50], out[0]);
    EXPECT_EQ(all[107], out[57]);
    EXPECT_TRUE(decoder.isAtEnd());
}

TEST(AdpcmDecoderTest, ALoopingSourceKeepsTheFramePositionInsideTheLoop)
{
    AdpcmSample sample;
    sample.info.loopStart = 36;
    sample.info.loopCount = -1;
    BufferSource source(sample.info, sample.data.data());
    AdpcmDecoder decoder(&source);
    std::vector<float> out(512);
    ASSERT_EQ(200, decoder.decode(out.data(), 200));
    // 108 frames, then 92 of the loop over blocks 1 and 2 (72 frames): 20 into the second pass.
    EXPECT_EQ(36 + 20, decoder.getFramePos());
    EXPECT_EQ(2, source.getCurrentLoop());
    EXPECT_FALSE(decoder.isAtEnd());
}

struct PcmCase {
    int format;
    Bytes data; // two samples
    float floatValues[2];
    Fixed fixedValues[2];
};

TEST(PcmDecoderTest, EachFormatWidensToBothPipelines)
{
    const PcmCase cases[] = {
        {kFormat_PcmI16,
         {0xff, 0x7f, 0x00, 0x80},
         {32767 * Pcm::kFromI16, -32768 * Pcm::kFromI16},
         {32767 << 9, -32768 * 512}},
        {kFormat_PcmI8, {0x7f, 0x80}, {127 * Pcm::kFromI8, -128 * Pcm::kFromI8}, {127 << 17, -128 * 131072}},
        {kFormat_PcmF32,
         {0x00, 0x00, 0x00, 0x3f, 0x00, 0x00, 0x80, 0xbe},
         {0.5f, -0.25f},
         {1 << 23, -(1 << 22)}},
    };
    for (const PcmCase& c : cases) {
        SCOPED_TRACE(c.format);
        const SampleInfo info = SampleCodec::makeInfo(c.format, 1, 48000, 2);
        BufferSource source(info, c.data.data());
        Decoder* decoder = createDecoder(&source);
        ASSERT_NE(nullptr, decoder);
        float floats[4] = {};
        EXPECT_EQ(2, decoder->decode(floats, 4));
        EXPECT_EQ(c.floatValues[0], floats[0]);
        EXPECT_EQ(c.floatValues[1], floats[1]);
        EXPECT_TRUE(decoder->isAtEnd());
        decoder->setFramePos(0);
        Fixed fixeds[4] = {};
        EXPECT_EQ(2, decoder->decode(fixeds, 4));
        EXPECT_EQ(c.fixedValues[0], fixeds[0]);
        EXPECT_EQ(c.fixedValues[1], fixeds[1]);
        delete decoder;
    }
    SampleInfo none;
    BufferSource unknown(none, nullptr);
    EXPECT_EQ(nullptr, createDecoder(&unknown));
}

} // namespace
