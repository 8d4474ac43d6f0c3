#include "audio/BankFile.h"
#include "audio/BinaryStream.h"
#include "audio/SampleCodec.h"
#include "audio/StreamFile.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Daz;

namespace {

using Bytes = std::vector<unsigned char>;

// A bank of two samples: three 8-bit frames, then two 16-bit stereo frames.
class BankFileTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_first = SampleCodec::makeInfo(kFormat_PcmI8, 1, 8000, 3);
        m_second = SampleCodec::makeInfo(kFormat_PcmI16, 2, 44100, 2);
        m_second.loopCount = -1;
        const BankSample samples[2] = {{"Click", m_first, m_firstData, 3},
                                       {"Swoosh", m_second, m_secondData, 8}};
        m_image.resize(1000);
        BufferStream stream(m_image.data(), 0, static_cast<int>(m_image.size()));
        ASSERT_TRUE(BankImage::write(stream, "System", samples, 2));
        m_image.resize(static_cast<std::size_t>(stream.getSize()));
    }

    static constexpr int kTable = 16 + BankImage::kRecordBytes;
    static constexpr int kData = kTable + 2 * BankImage::kEntryBytes;

    SampleInfo m_first;
    SampleInfo m_second;
    const unsigned char m_firstData[3] = {1, 2, 3};
    const unsigned char m_secondData[8] = {10, 11, 12, 13, 14, 15, 16, 17};
    Bytes m_image;
};

TEST_F(BankFileTest, WritesTheLayout)
{
    ASSERT_EQ(static_cast<std::size_t>(kData + 11), m_image.size());
    EXPECT_EQ(0, std::memcmp(m_image.data(), "ckmk\x08\0\0\0\x01\0\0\0\x02\0\0\0", 16));
    // Record: the name, padded, then the count at 40; the rest is zero.
    Bytes record(m_image.begin() + 16, m_image.begin() + kTable);
    Bytes expectedRecord(BankImage::kRecordBytes, 0);
    std::memcpy(expectedRecord.data(), "System", 6);
    expectedRecord[40] = 2;
    EXPECT_EQ(expectedRecord, record);
    // Second entry: name, sample info at 32, data length at 60.
    const unsigned char* entry = m_image.data() + kTable + BankImage::kEntryBytes;
    EXPECT_STREQ("Swoosh", reinterpret_cast<const char*>(entry));
    Bytes info(SampleInfo::kBytes);
    m_second.toBytes(info.data());
    EXPECT_EQ(0, std::memcmp(info.data(), entry + 32, SampleInfo::kBytes));
    EXPECT_EQ(8u, LittleEndian::u32(entry + 60));
    EXPECT_EQ(0u, LittleEndian::u32(entry + 64));
    EXPECT_EQ(Bytes({1, 2, 3, 10, 11, 12, 13, 14, 15, 16, 17}),
              Bytes(m_image.begin() + kData, m_image.end()));
}

TEST_F(BankFileTest, ProcessingLaysTheEntriesOverTheImage)
{
    BankImage bank;
    ASSERT_TRUE(bank.process(m_image.data(), static_cast<int>(m_image.size())));
    EXPECT_STREQ("System", bank.getName());
    ASSERT_EQ(2, bank.getNumEntries());
    const BankEntry* click = bank.getEntry(0);
    EXPECT_STREQ("Click", click->name);
    EXPECT_EQ(m_image.data() + kData, click->data);
    EXPECT_EQ(3, click->info.blocks);
    const BankEntry* swoosh = bank.findEntry("Swoosh");
    ASSERT_NE(nullptr, swoosh);
    EXPECT_EQ(m_image.data() + kData + 3, swoosh->data);
    EXPECT_EQ(-1, swoosh->info.loopCount);
    EXPECT_EQ(44100, swoosh->info.sampleRate);
    EXPECT_EQ(nullptr, bank.findEntry("swoosh"));
    EXPECT_EQ(nullptr, bank.getEntry(2));
    EXPECT_EQ(nullptr, bank.getEntry(-1));
}

TEST_F(BankFileTest, AShortLastSampleIsCorrupted)
{
    LogCapture log;
    BankImage bank;
    EXPECT_FALSE(bank.process(m_image.data(), static_cast<int>(m_image.size()) - 1));
    EXPECT_EQ(std::vector<LogLine>{(LogLine{kCkLog_Error, "Corrupted or truncated bank data"})}, log.lines());
    EXPECT_FALSE(bank.isProcessed());
    EXPECT_EQ(0, bank.getNumEntries());

    log.lines().clear();
    EXPECT_FALSE(bank.process(m_image.data(), 16 + BankImage::kRecordBytes - 1));
    EXPECT_FALSE(bank.process(m_image.data(), kTable + BankImage::kEntryBytes));
    EXPECT_FALSE(bank.process(m_image.data(), 10));
    EXPECT_EQ(3u, log.lines().size());
}

TEST_F(BankFileTest, CountsAndLengthsThatReachOutsideAreCorrupted)
{
    LogCapture log;
    BankImage bank;
    Bytes negative = m_image;
    LittleEndian::put32(&negative[16 + 40], 0xffffffffu);
    EXPECT_FALSE(bank.process(negative.data(), static_cast<int>(negative.size())));

    // An entry whose blocks need more data than it holds would be read past.
    Bytes moreBlocks = m_image;
    LittleEndian::put32(&moreBlocks[kTable + 32 + 4], 4);
    EXPECT_FALSE(bank.process(moreBlocks.data(), static_cast<int>(moreBlocks.size())));

    Bytes hugeLength = m_image;
    LittleEndian::put32(&hugeLength[kTable + 60], 0xfffffff0u);
    EXPECT_FALSE(bank.process(hugeLength.data(), static_cast<int>(hugeLength.size())));
    EXPECT_EQ(3u, log.lines().size());
    for (const LogLine& line : log.lines()) EXPECT_EQ("Corrupted or truncated bank data", line.text);
}

TEST_F(BankFileTest, AStreamIsNoBank)
{
    LogCapture log;
    unsigned char memory[64];
    BufferStream stream(memory, 0, sizeof memory);
    ASSERT_TRUE(StreamFile::write(stream, m_first, m_firstData));
    BankImage bank;
    EXPECT_FALSE(bank.process(memory, stream.getSize()));
    EXPECT_EQ(std::vector<LogLine>{(LogLine{kCkLog_Error, "Invalid file type: 0 (expecting 1)"})},
              log.lines());
}

TEST(BankWriteTest, AnEmptyBankAndLongNames)
{
    LogCapture log;
    unsigned char memory[128];
    BufferStream stream(memory, 0, sizeof memory);
    const std::string longName(40, 'b');
    ASSERT_TRUE(BankImage::write(stream, longName.c_str(), nullptr, 0));
    EXPECT_EQ(16 + BankImage::kRecordBytes, stream.getSize());
    BankImage bank;
    ASSERT_TRUE(bank.process(memory, stream.getSize()));
    EXPECT_EQ(std::string(31, 'b'), bank.getName());
    EXPECT_EQ(0, bank.getNumEntries());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(kCkLog_Warning, log.lines()[0].level);

    // A stream too small for the bank says so.
    BufferStream tiny(memory, 0, 20);
    EXPECT_FALSE(BankImage::write(tiny, "x", nullptr, 0));
}

} // namespace
