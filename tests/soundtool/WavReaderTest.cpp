#include "WavFile.h"

#include "audio/FileFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace Marevane::SoundTool;

namespace {

using Bytes = std::vector<unsigned char>;

void append(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void append32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void append16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

struct Fmt {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint16_t bits = 16;
    int blockAlign = -1; // -1: the right one
};

Bytes fmtChunk(const Fmt& fmt)
{
    Bytes chunk;
    append(chunk, "fmt ");
    append32(chunk, 16);
    append16(chunk, fmt.tag);
    append16(chunk, fmt.channels);
    append32(chunk, fmt.rate);
    const int align = fmt.blockAlign >= 0 ? fmt.blockAlign : fmt.channels * fmt.bits / 8;
    append32(chunk, fmt.rate * static_cast<std::uint32_t>(align));
    append16(chunk, static_cast<std::uint16_t>(align));
    append16(chunk, fmt.bits);
    return chunk;
}

Bytes dataChunk(const Bytes& data, std::uint32_t claimed = 0xffffffffu)
{
    Bytes chunk;
    append(chunk, "data");
    append32(chunk, claimed == 0xffffffffu ? static_cast<std::uint32_t>(data.size()) : claimed);
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

Bytes riff(const std::vector<Bytes>& chunks, const std::string& form = "WAVE")
{
    Bytes body;
    append(body, form);
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes bytes;
    append(bytes, "RIFF");
    append32(bytes, static_cast<std::uint32_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes wav(const Fmt& fmt, const Bytes& data)
{
    return riff({fmtChunk(fmt), dataChunk(data)});
}

Fmt format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, int align = -1)
{
    return {tag, channels, rate, bits, align};
}

struct BrokenCase {
    const char* name;
    Bytes bytes;
    const char* message;
};

TEST(WavReader, RejectsBrokenFilesNamingTheFault)
{
    const Bytes twoFrames = {1, 0, 2, 0};
    Bytes nanSample(4);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(nanSample.data(), &nan, 4);
    Bytes shortFmt;
    append(shortFmt, "fmt ");
    append32(shortFmt, 14);
    shortFmt.resize(shortFmt.size() + 14, 0);
    const BrokenCase cases[] = {
        {"empty", {}, "not a RIFF file"},
        {"another container", riff({}, "AVI "), "not WAVE"},
        {"no format", riff({dataChunk(twoFrames)}), "no \"fmt \" chunk"},
        {"no data", riff({fmtChunk(Fmt())}), "no \"data\" chunk"},
        {"short format", riff({shortFmt, dataChunk(twoFrames)}), "needs 16"},
        {"compressed", wav(format(2, 1, 8000, 4), twoFrames), "sample format 2 is not supported"},
        {"24-bit", wav(format(1, 1, 8000, 24), {1, 2, 3}), "24-bit PCM is not supported"},
        {"64-bit float", wav(format(3, 1, 8000, 64), Bytes(8)), "64-bit float is not supported"},
        {"three channels", wav(format(1, 3, 8000, 16), Bytes(6)), "3 channels are not supported"},
        {"no channels", wav(format(1, 0, 8000, 16), Bytes(2)), "0 channels are not supported"},
        {"rate 0", wav(format(1, 1, 0, 16), twoFrames), "sample rate 0 Hz"},
        {"rate too high", wav(format(1, 1, 96000, 16), twoFrames), "sample rate 96000 Hz is outside"},
        {"odd block align", wav(format(1, 2, 8000, 16, 3), Bytes(6)), "block align 3 does not match"},
        {"partial frame", wav(format(1, 2, 8000, 16), Bytes(6)), "not whole frames of 4"},
        {"cut short", riff({fmtChunk(Fmt()), dataChunk(twoFrames, 400)}),
         "claims 400 bytes but only 4 follow"},
        {"no frames", wav(Fmt(), {}), "no frames"},
        {"not a number", wav(format(3, 1, 8000, 32), nanSample), "is not a number"},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            parseWav(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const WavError& error) {
            EXPECT_NE(std::string::npos, std::string(error.what()).find(c.message)) << error.what();
        }
    }
}

TEST(WavReader, ReadsEachSampleFormatToFullScale)
{
    const Audio u8 = parseWav(wav(format(1, 1, 11025, 8), {0, 128, 255}));
    EXPECT_EQ(11025, u8.sampleRate);
    EXPECT_EQ((std::vector<float>{-1.0f, 0.0f, 127.0f / 128.0f}), u8.samples);

    const Audio s16 =
        parseWav(wav(format(1, 2, 44100, 16), {0x00, 0x80, 0xff, 0x7f, 0x00, 0x40, 0x00, 0x00}));
    EXPECT_EQ(2, s16.channels);
    EXPECT_EQ(2, s16.frames());
    EXPECT_EQ((std::vector<float>{-1.0f, 32767.0f / 32768.0f, 0.5f, 0.0f}), s16.samples);

    Bytes floats(8);
    const float values[2] = {0.25f, -0.75f};
    std::memcpy(floats.data(), values, 8);
    EXPECT_EQ((std::vector<float>{0.25f, -0.75f}), parseWav(wav(format(3, 1, 48000, 32), floats)).samples);
}

TEST(WavReader, SkipsOtherChunksWithTheirPaddingAndReadsExtensibleFormats)
{
    Bytes list;
    append(list, "LIST");
    append32(list, 3);
    list.insert(list.end(), {'a', 'b', 'c', 0});
    Bytes extensible;
    append(extensible, "fmt ");
    append32(extensible, 40);
    append16(extensible, 0xFFFE);
    append16(extensible, 1);
    append32(extensible, 22050);
    append32(extensible, 44100);
    append16(extensible, 2);
    append16(extensible, 16);
    append16(extensible, 22);
    append16(extensible, 16);
    append32(extensible, 4);
    append16(extensible, 1); // the PCM sub-format
    extensible.resize(extensible.size() + 14, 0);
    const Audio audio = parseWav(riff({list, extensible, dataChunk({0x00, 0x40})}));
    EXPECT_EQ(22050, audio.sampleRate);
    EXPECT_EQ(std::vector<float>{0.5f}, audio.samples);
}

TEST(WavReader, ReadsBackWhatItWrites)
{
    Audio audio;
    audio.channels = 2;
    audio.sampleRate = 32000;
    audio.samples = {0.5f, -0.25f, 1.0f, -1.0f};
    const Audio pcm = parseWav(makeWav(audio, WavSamples::Pcm16));
    ASSERT_EQ(audio.samples.size(), pcm.samples.size());
    for (std::size_t i = 0; i < audio.samples.size(); ++i)
        EXPECT_NEAR(audio.samples[i], pcm.samples[i], 1.0 / 32767);
    EXPECT_EQ(audio.samples, parseWav(makeWav(audio, WavSamples::Float32)).samples);
}

// Read and write share one scale: a 16-bit file read and written again is
// the same file, whatever its samples.
TEST(WavReader, EverySixteenBitSampleComesBackExactly)
{
    Bytes data;
    for (int value = -32768; value <= 32767; ++value) append16(data, static_cast<std::uint16_t>(value));
    const Bytes original = wav(format(1, 1, 48000, 16), data);
    const Audio audio = parseWav(original);
    EXPECT_EQ(-1.0f, audio.samples.front());
    EXPECT_EQ(original, makeWav(audio, WavSamples::Pcm16));
}

TEST(WavReader, WritesFullScaleAndBeyondAtTheSixteenBitLimits)
{
    Audio audio;
    audio.samples = {1.0f, -1.0f, 1.5f, -1.5f, 0.5f, -0.5f};
    const Bytes bytes = makeWav(audio, WavSamples::Pcm16);
    std::vector<int> written;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        written.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    EXPECT_EQ((std::vector<int>{32767, -32768, 32767, -32768, 16384, -16384}), written);
}

} // namespace
