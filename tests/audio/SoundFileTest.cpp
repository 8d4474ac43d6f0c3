#include "SoundFixture.h"

#include <functional>

using namespace Daz;

namespace {

// One 2-frame mono PCM16 sample at 48 kHz, "Pair" in bank "Hand", written out byte by byte.
const Bytes kHandBank = {
    'c',  'k',  'm',  'k',  0x08, 0,    0,    0,    0x01, 0,    0,    0,
    0x02, 0,    0,    0, // header: bank, version 2
    'H',  'a',  'n',  'd',  0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0, // bank name
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,                                                 //
    0,    0,    0,    0,    0,    0,    0,    0,    0x01, 0,    0,    0, // table reference, reserved, 1 entry
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, // reserved
    'P',  'a',  'i',  'r',  0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0, // sample name
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,                                                    //
    0x00, 0x01, 0x80, 0xbb,                                                 // PCM16, mono, 48000
    0x02, 0,    0,    0,    0x02, 0x00, 0x01, 0x00,                         // 2 blocks of 2 bytes, 1 frame
    0xff, 0xff, 0x00, 0x00,                                                 // volume 1.0, centre
    0,    0,    0,    0,    0xff, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, // loop 0..end, count 0, padding
    0x04, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    // 4 bytes of data
    0x00, 0x10, 0x00, 0xf0,                                                 // 4096, -4096
};

// Where the fields of the first entry's sample info lie in a bank file.
constexpr int kInfo = 16 + BankImage::kRecordBytes + 32;

using SoundFileTest = SoundFixture;

TEST_F(SoundFileTest, AHandAssembledBankLoadsPlaysAndIsWhatTheWriterWrites)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 2);
    const unsigned char data[4] = {0x00, 0x10, 0x00, 0xf0};
    EXPECT_EQ(kHandBank, bankBytes("Hand", {{"Pair", info, data, 4}}));

    CkBank* bank = CkBank::createFromFile(folder.write("hand.ckb", kHandBank).c_str(), kCkPathType_AsGiven);
    ASSERT_NE(nullptr, bank);
    EXPECT_STREQ("Hand", bank->getName());
    ASSERT_EQ(1, bank->getNumSounds());
    EXPECT_STREQ("Pair", bank->getSoundName(0));

    CkSound* sound = CkSound::createFromBank(bank, "Pair");
    ASSERT_NE(nullptr, sound);
    EXPECT_EQ(2, sound->getLength());
    EXPECT_EQ(48000, sound->getSampleRate());
    EXPECT_EQ(1, sound->getChannels());
    playAtUnitGain(sound);
    EXPECT_EQ((std::vector<int>{4096, -4096}), playOut(sound));
    EXPECT_FALSE(sound->isPlaying());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SoundFileTest, CorruptBanksFailWithTheirReason)
{
    const std::vector<std::int16_t> frames = markers(8);
    const Bytes data = pcm16Bytes(frames);
    const Bytes valid =
        bankBytes("Valid", {{"Pair", SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 8), data.data(), 16}});
    const std::string corrupted = "Corrupted or truncated bank data";
    struct Case {
        const char* name;
        std::function<void(Bytes&)> patch;
        std::string reason;
    };
    const auto put32 = [](int at, std::uint32_t v) {
        return [=](Bytes& b) { LittleEndian::put32(&b[at], v); };
    };
    const auto put16 = [](int at, std::uint16_t v) {
        return [=](Bytes& b) { LittleEndian::put16(&b[at], v); };
    };
    const auto put8 = [](int at, unsigned char v) { return [=](Bytes& b) { b[at] = v; }; };
    const Case cases[] = {
        {"count -1", put32(16 + 40, 0xffffffffu), corrupted},
        {"count 0x7fffffff", put32(16 + 40, 0x7fffffffu), corrupted},
        {"one entry too many", put32(16 + 40, 2), corrupted},
        {"format 9", put8(kInfo, 9), "Sample \"Pair\" has unknown sample format 9"},
        {"3 channels", put8(kInfo + 1, 3), "Sample \"Pair\" has 3 channels; sounds must have 1 or 2"},
        {"no channels", put8(kInfo + 1, 0), "Sample \"Pair\" has 0 channels; sounds must have 1 or 2"},
        {"rate 0", put16(kInfo + 2, 0), "Sample \"Pair\" has sample rate 0"},
        {"more blocks than data", put32(kInfo + 4, 9), corrupted},
        {"negative blocks", put32(kInfo + 4, 0xffffffffu), "Sample \"Pair\" has a negative block count (-1)"},
        {"0 bytes per block", put16(kInfo + 8, 0),
         "Sample \"Pair\" has 0 bytes and 1 frames per block, which format 0 does not use"},
        {"0 frames per block", put16(kInfo + 10, 0),
         "Sample \"Pair\" has 2 bytes and 0 frames per block, which format 0 does not use"},
        {"adaptive delta with PCM blocks", put8(kInfo, kFormat_Adpcm),
         "Sample \"Pair\" has 2 bytes and 1 frames per block, which format 2 does not use"},
        {"data length past the end", put32(kInfo + 28, 0xfffffff0u), corrupted},
        {"cut inside the header", [](Bytes& b) { b.resize(10); }, corrupted},
        {"cut inside the table", [](Bytes& b) { b.resize(100); }, corrupted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = valid;
        c.patch(bytes);
        const std::string path = folder.write("corrupt.ckb", bytes);
        log.lines().clear();
        EXPECT_EQ(nullptr, CkBank::createFromFile(path.c_str(), kCkPathType_AsGiven));
        const std::vector<LogLine> expected = {
            {kCkLog_Error, c.reason},
            {kCkLog_Error, "Bank from file \"" + path + "\" could not be processed"}};
        EXPECT_EQ(expected, log.lines());
        EXPECT_EQ(nullptr, Bank::getFirst());
    }
}

TEST_F(SoundFileTest, CorruptStreamsFailWithTheirReasonAndNeverPlay)
{
    const Bytes data = pcm16Bytes(markers(8));
    const Bytes valid = streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 8), data.data());
    struct Case {
        const char* name;
        std::function<void(Bytes&)> patch;
        const char* reason; // after the file's name
    };
    const Case cases[] = {
        {"format 7", [](Bytes& b) { b[16] = 7; }, " has unknown sample format 7"},
        {"3 channels", [](Bytes& b) { b[17] = 3; }, " has 3 channels; sounds must have 1 or 2"},
        {"rate 0", [](Bytes& b) { LittleEndian::put16(&b[18], 0); }, " has sample rate 0"},
        {"0 bytes per block", [](Bytes& b) { LittleEndian::put16(&b[24], 0); },
         " has 0 bytes and 1 frames per block, which format 0 does not use"},
        {"0 frames per block", [](Bytes& b) { LittleEndian::put16(&b[26], 0); },
         " has 2 bytes and 0 frames per block, which format 0 does not use"},
        {"cut inside the sample info", [](Bytes& b) { b.resize(30); }, " is truncated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = valid;
        c.patch(bytes);
        const std::string path = folder.write("corrupt.cks", bytes);
        CkSound* sound = CkSound::createFromStream(path.c_str(), kCkPathType_AsGiven);
        ASSERT_NE(nullptr, sound);
        log.lines().clear();
        refill();
        EXPECT_TRUE(sound->isFailed());
        EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "Stream file \"" + path + "\"" + c.reason}}),
                  log.lines());
        EXPECT_EQ(-1, sound->getLength());
        EXPECT_EQ(-1.0f, sound->getLengthMs());
        log.lines().clear();
        sound->play();
        EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "tried to play sound that failed to load"}}),
                  log.lines());
        EXPECT_FALSE(sound->isPlaying());
        sound->destroy();
    }
}

TEST_F(SoundFileTest, AStreamWithMoreBlocksThanDataPlaysTheDataItHas)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 8);
    const Bytes data = pcm16Bytes(markers(8));
    Bytes bytes = streamBytes(info, data.data());
    LittleEndian::put32(&bytes[20], 1000);
    bytes.push_back(0x55); // half a block more
    CkSound* sound = CkSound::createFromStream(folder.write("long.cks", bytes).c_str(), kCkPathType_AsGiven);
    ASSERT_NE(nullptr, sound);
    refill();
    EXPECT_EQ(8, sound->getLength());
    playAtUnitGain(sound);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), playOut(sound));
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
