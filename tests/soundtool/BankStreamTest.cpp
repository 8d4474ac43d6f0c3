#include "AdpcmEncoder.h"
#include "SoundFiles.h"

#include "audio/BankFile.h"
#include "audio/BinaryStream.h"
#include "audio/SampleCodec.h"
#include "audio/StreamFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Marevane::SoundTool;

namespace {

using Bytes = std::vector<unsigned char>;

Audio tone(int channels, int rate, int frames, double hz, float level = 0.5f)
{
    Audio audio;
    audio.channels = channels;
    audio.sampleRate = rate;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            audio.samples.push_back(
                level * static_cast<float>(std::sin(2.0 * 3.14159265358979 * hz * (c + 1) * i / rate)));
        }
    }
    return audio;
}

std::vector<float> decodeAll(const Daz::SampleInfo& info, const unsigned char* data)
{
    std::vector<float> out(static_cast<std::size_t>(info.getFrames()) * info.channels);
    EXPECT_EQ(info.getFrames(), Daz::SampleCodec::decode(info, data, info.blocks, out.data()));
    return out;
}

double snrDb(const std::vector<float>& wanted, const std::vector<float>& got)
{
    double signal = 0.0;
    double noise = 0.0;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        signal += wanted[i] * wanted[i];
        noise += (wanted[i] - got[i]) * (wanted[i] - got[i]);
    }
    return 10.0 * std::log10(signal / noise);
}

// One 2-frame 16-bit mono sample, "Tick" in bank "Blip", byte by byte from the
// file layout rather than from any writer.
const Bytes kHandBank = {
    'c', 'k', 'm', 'k', 8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0,
    // Bank record: name, table reference, reserved, entry count, reserved.
    'B', 'l', 'i', 'p', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // Entry: name, then the sample info: PCM16, mono, 48000 Hz, 2 blocks of 2 bytes
    // and 1 frame, volume 1, pan 0, loop 0..-1 count 0, padding.
    'T', 'i', 'c', 'k', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 0x80, 0xBB, 2, 0, 0, 0, 2, 0, 1, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0,
    // Data length, data reference, reserved.
    4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // The two samples: 4660 and -2.
    0x34, 0x12, 0xFE, 0xFF};

TEST(HandAssembledBank, LoadsThroughTheEngineReader)
{
    Daz::BankImage image;
    ASSERT_TRUE(image.process(kHandBank.data(), static_cast<int>(kHandBank.size())));
    EXPECT_STREQ("Blip", image.getName());
    ASSERT_EQ(1, image.getNumEntries());
    const Daz::BankEntry* entry = image.findEntry("Tick");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(entry, image.getEntry(0));
    EXPECT_EQ(Daz::kFormat_PcmI16, entry->info.format);
    EXPECT_EQ(48000, entry->info.sampleRate);
    EXPECT_EQ(2, entry->info.getFrames());
    EXPECT_EQ(-1, entry->info.loopEnd);
    EXPECT_EQ(4u, entry->dataBytes);
    const std::vector<float> samples = decodeAll(entry->info, entry->data);
    EXPECT_FLOAT_EQ(4660.0f / 32767.0f, samples[0]);
    EXPECT_FLOAT_EQ(-2.0f / 32767.0f, samples[1]);
}

TEST(HandAssembledBank, IsWhatTheToolWritesForTheSameSound)
{
    Audio audio;
    audio.sampleRate = 48000;
    audio.samples = {4660.0f / 32767.0f, -2.0f / 32767.0f};
    EXPECT_EQ(kHandBank, makeBank("Blip", {{"Tick", audio}}, Daz::kFormat_PcmI16));
    bool ok = false;
    const std::string text = describe(kHandBank, ok);
    EXPECT_TRUE(ok);
    EXPECT_NE(std::string::npos, text.find("\"Tick\""));
    EXPECT_NE(std::string::npos, text.find("pcm16, 1 ch, 48000 Hz, 2 frames"));
}

TEST(ToolBank, CuesAreFoundByNameAndIndexAndDecodeInEveryFormat)
{
    const struct {
        const char* format;
        double minimumSnrDb;
    } formats[] = {{"pcm16", 80.0}, {"pcm8", 35.0}, {"float", 140.0}, {"adpcm", 25.0}};
    const std::vector<Cue> cues = {{"Low", tone(1, 48000, 1000, 220.0)},
                                   {"StereoHigh", tone(2, 44100, 777, 1000.0)},
                                   {"ThirtyOneCharactersLongCueName1", tone(1, 22050, 36, 440.0)}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        const Bytes bank = makeBank("Test", cues, parseFormat(f.format));
        Daz::BankImage image;
        ASSERT_TRUE(image.process(bank.data(), static_cast<int>(bank.size())));
        ASSERT_EQ(3, image.getNumEntries());
        for (int i = 0; i < 3; ++i) {
            const Daz::BankEntry* entry = image.findEntry(cues[i].name.c_str());
            ASSERT_NE(nullptr, entry) << cues[i].name;
            EXPECT_EQ(image.getEntry(i), entry);
            EXPECT_EQ(cues[i].audio.sampleRate, entry->info.sampleRate);
            EXPECT_EQ(cues[i].audio.channels, entry->info.channels);
            // Adaptive delta rounds up to whole blocks of 36 frames.
            const int frames = entry->info.getFrames();
            EXPECT_GE(frames, cues[i].audio.frames());
            EXPECT_LT(frames, cues[i].audio.frames() + 36);
            std::vector<float> decoded = decodeAll(entry->info, entry->data);
            decoded.resize(cues[i].audio.samples.size());
            EXPECT_GT(snrDb(cues[i].audio.samples, decoded), f.minimumSnrDb);
        }
        EXPECT_EQ(nullptr, image.findEntry("Missing"));
    }
}

TEST(ToolBank, RefusesNamesTheFileCannotHold)
{
    const Audio audio = tone(1, 8000, 10, 100.0);
    const struct {
        std::string bank;
        std::vector<std::string> cues;
        const char* message;
    } cases[] = {
        {"Bank", {"A", "A"}, "given twice"},
        {"Bank", {std::string(32, 'x')}, "1 to 31 characters"},
        {"Bank", {""}, "1 to 31 characters"},
        {std::string(32, 'b'), {"A"}, "longer than 31"},
    };
    for (const auto& c : cases) {
        std::vector<Cue> cues;
        for (const std::string& name : c.cues) cues.push_back({name, audio});
        try {
            makeBank(c.bank, cues, Daz::kFormat_PcmI16);
            ADD_FAILURE() << c.message;
        } catch (const UsageError& error) {
            EXPECT_NE(std::string::npos, std::string(error.what()).find(c.message)) << error.what();
        }
    }
    EXPECT_THROW(parseFormat("mp3"), UsageError);
}

TEST(ToolStream, LoadsThroughTheStreamReaderWithItsLoop)
{
    const Audio audio = tone(2, 44100, 44100, 440.0);
    Loop loop;
    loop.start = 1000;
    loop.end = 40000;
    loop.count = -1;
    const Bytes bytes = makeStream(audio, Daz::kFormat_Adpcm, loop);
    Daz::BufferStream stream(bytes.data(), static_cast<int>(bytes.size()));
    Daz::SampleInfo info;
    ASSERT_TRUE(Daz::StreamFile::readHead(stream, info));
    EXPECT_EQ(Daz::StreamFile::kDataOffset, stream.getPos());
    EXPECT_EQ(Daz::kFormat_Adpcm, info.format);
    EXPECT_EQ(2, info.channels);
    EXPECT_EQ(44100, info.sampleRate);
    EXPECT_EQ(1225, info.blocks);
    EXPECT_EQ(1000, info.loopStart);
    EXPECT_EQ(40000, info.loopEnd);
    EXPECT_EQ(-1, info.loopCount);
    ASSERT_EQ(static_cast<std::size_t>(Daz::StreamFile::kDataOffset + info.getDataBytes()), bytes.size());
    const std::vector<float> decoded = decodeAll(info, bytes.data() + Daz::StreamFile::kDataOffset);
    EXPECT_GT(snrDb(audio.samples, decoded), 25.0);

    loop.end = 50000;
    EXPECT_THROW(makeStream(audio, Daz::kFormat_Adpcm, loop), UsageError);
    loop.end = 500;
    EXPECT_THROW(makeStream(audio, Daz::kFormat_Adpcm, loop), UsageError);
}

TEST(AdpcmEncoder, KeepsPaceWithTheEngineEncoderAndIgnoresTheWorkerCount)
{
    Audio audio = tone(2, 44100, 36 * 400, 523.25, 0.6f);
    for (std::size_t i = 0; i < audio.samples.size(); ++i) {
        audio.samples[i] += 0.2f * static_cast<float>(std::sin(0.37 * i)) * (i % 7 == 0 ? 1.0f : -0.5f);
    }
    const Daz::SampleInfo info = Daz::SampleCodec::makeInfo(Daz::kFormat_Adpcm, 2, 44100, audio.frames());
    const Bytes ours = encodeAdpcm(info, audio.samples, 1);
    EXPECT_EQ(ours, encodeAdpcm(info, audio.samples, 3));
    Bytes engine(static_cast<std::size_t>(info.getDataBytes()));
    ASSERT_TRUE(Daz::SampleCodec::encode(info, audio.samples.data(), audio.frames(), engine.data()));
    const double oursDb = snrDb(audio.samples, decodeAll(info, ours.data()));
    EXPECT_GT(oursDb, snrDb(audio.samples, decodeAll(info, engine.data())) - 1.5);
    EXPECT_GT(oursDb, 25.0);
}

} // namespace
