#include "audio/FileFormat.h"
#include "audio/BinaryStream.h"
#include "audio/StreamFile.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Daz;

namespace {

using Bytes = std::vector<unsigned char>;

TEST(FileHeaderTest, RoundTripsItsBytes)
{
    const Bytes expected = {'c', 'k', 'm', 'k', 8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    Bytes bytes(FileHeader::kBytes);
    FileHeader::forType(kFileType_Bank).toBytes(bytes.data());
    EXPECT_EQ(expected, bytes);

    const Bytes other = {'c', 'k', 'm', 'k', 0x0c, 0, 0, 0x80, 0, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff};
    FileHeader header;
    header.fromBytes(other.data());
    EXPECT_EQ(0x8000000cu, header.targetMask);
    EXPECT_EQ(0u, header.fileType);
    EXPECT_EQ(0xfffffffeu, header.version);
    header.toBytes(bytes.data());
    EXPECT_EQ(other, bytes);
}

struct HeaderCase {
    const char* marker;
    std::uint32_t mask;
    std::uint32_t type;
    std::uint32_t version;
    int expectedType;
    std::vector<std::string> lines;
};

class HeaderCheckTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderCheckTest, LogsTheFirstFault)
{
    const HeaderCase& c = GetParam();
    LogCapture log;
    FileHeader header;
    std::memcpy(header.marker, c.marker, 4);
    header.targetMask = c.mask;
    header.fileType = c.type;
    header.version = c.version;
    EXPECT_EQ(c.lines.empty(), header.check(c.expectedType));
    std::vector<LogLine> expected;
    for (const std::string& line : c.lines) expected.push_back({kCkLog_Error, line});
    EXPECT_EQ(expected, log.lines());
}

const std::string kRebuild = "must be rebuilt with the current version of the bank and stream build tool";

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderCheckTest,
    ::testing::Values(
        HeaderCase{"ckmk", 8, 1, 2, 1, {}}, HeaderCase{"ckmk", 0xff, 0, 2, 0, {}},
        HeaderCase{"ckmK", 8, 1, 2, 1, {"Invalid file marker: \"ckmK\" (expecting \"ckmk\")"}},
        // The mask comes before the type and the version.
        HeaderCase{"ckmk", 7, 5, 9, 1, {"Invalid file target mask: 7 (does not include current target 8)"}},
        HeaderCase{"ckmk", 8, 0, 2, 1, {"Invalid file type: 0 (expecting 1)"}},
        HeaderCase{"ckmk",
                   8,
                   1,
                   3,
                   1,
                   {"Invalid file version: 3 (expecting 2)",
                    "The file is newer than this engine library; use a newer engine library"}},
        HeaderCase{"ckmk",
                   8,
                   1,
                   0xffffffff,
                   1,
                   {"Invalid file version: -1 (expecting 2)",
                    "The file is newer than this engine library; use a newer engine library"}},
        HeaderCase{"ckmk", 8, 1, 1, 1, {"Invalid file version: 1 (expecting 2)", "The banks " + kRebuild}},
        HeaderCase{
            "ckmk", 8, 0, 0, 0, {"Invalid file version: 0 (expecting 2)", "The streams " + kRebuild}}));

TEST(SampleInfoTest, DefaultsAndFieldsRoundTrip)
{
    Bytes bytes(SampleInfo::kBytes, 0xee);
    SampleInfo().toBytes(bytes.data());
    const Bytes defaults = {0xff, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0, 0, 0xff, 0xff,
                            0,    0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0, 0, 0,    0};
    EXPECT_EQ(defaults, bytes);

    SampleInfo info;
    info.format = kFormat_Adpcm;
    info.channels = 2;
    info.sampleRate = 22050;
    info.blocks = 3;
    info.blockBytes = 48;
    info.blockFrames = 36;
    info.volume = 32768;
    info.pan = -32767;
    info.loopStart = 10;
    info.loopEnd = -1;
    info.loopCount = -1;
    info.toBytes(bytes.data());
    const Bytes expected = {2,    2,    0x22, 0x56, 3, 0, 0,    0,    48,   0,    36,   0,    0x00, 0x80,
                            0x01, 0x80, 10,   0,    0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0,    0};
    EXPECT_EQ(expected, bytes);

    bytes[26] = 0x55; // padding is skipped
    SampleInfo back;
    back.fromBytes(bytes.data());
    Bytes again(SampleInfo::kBytes);
    back.toBytes(again.data());
    EXPECT_EQ(expected, again);
    EXPECT_EQ(108, back.getFrames());
    EXPECT_FLOAT_EQ(108 * 1000.0f / 22050.0f, back.getLengthMs());
}

TEST(NameTest, ThirtyOneCharactersFitAndMoreAreCut)
{
    LogCapture log;
    char field[Name::kBytes];
    const std::string name31(31, 'n');
    Name::copy(field, name31.c_str());
    EXPECT_EQ(name31, field);
    EXPECT_TRUE(log.lines().empty());

    const std::string name33 = name31 + "xy";
    Name::copy(field, name33.c_str());
    EXPECT_EQ(name31, field);
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Warning, "Name \"" + name33 + "\" is more than 31 characters; truncating"}),
              log.lines()[0]);

    Name::copy(field, "Boom");
    EXPECT_TRUE(Name::equals(field, "Boom"));
    EXPECT_FALSE(Name::equals(field, "boom"));
    EXPECT_FALSE(Name::equals(field, "Boo"));
    EXPECT_FALSE(Name::equals(field, "Boom2"));
    EXPECT_EQ(0, field[4]);
    EXPECT_EQ(0, field[31]);
}

TEST(StreamFileTest, WritesAndReadsItsHead)
{
    SampleInfo info;
    info.format = kFormat_PcmI8;
    info.channels = 1;
    info.sampleRate = 8000;
    info.blocks = 3;
    info.blockBytes = 1;
    info.blockFrames = 1;
    const unsigned char data[3] = {1, 2, 3};

    // Embedded after five bytes of something else.
    unsigned char memory[64] = {9, 9, 9, 9, 9};
    BufferStream file(memory, 5, sizeof memory);
    file.setPos(5);
    ASSERT_TRUE(StreamFile::write(file, info, data));
    EXPECT_EQ(5 + StreamFile::kDataOffset + 3, file.getSize());
    EXPECT_EQ(0, std::memcmp(memory + 5, "ckmk\x08\0\0\0\0\0\0\0\x02\0\0\0", 16));

    SubStream span(file, 5, StreamFile::kDataOffset + 3);
    SampleInfo back;
    ASSERT_TRUE(StreamFile::readHead(span, back));
    EXPECT_EQ(8000, back.sampleRate);
    EXPECT_EQ(3, back.blocks);
    EXPECT_EQ(StreamFile::kDataOffset, span.getPos());
    unsigned char block = 0;
    EXPECT_EQ(1, span.read(&block, 1));
    EXPECT_EQ(1, block);
}

TEST(StreamFileTest, ABankIsNoStreamAndAShortFileHasNoMarker)
{
    LogCapture log;
    const unsigned char bank[16] = {'c', 'k', 'm', 'k', 8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    BufferStream stream(bank, 16);
    SampleInfo info;
    EXPECT_FALSE(StreamFile::readHead(stream, info));
    BufferStream shortFile(bank, 3);
    EXPECT_FALSE(StreamFile::readHead(shortFile, info));
    ASSERT_EQ(2u, log.lines().size());
    EXPECT_EQ("Invalid file type: 1 (expecting 0)", log.lines()[0].text);
    EXPECT_EQ(0u, log.lines()[1].text.find("Invalid file marker"));
}

} // namespace
