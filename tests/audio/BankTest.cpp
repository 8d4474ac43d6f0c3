#include "audio/Bank.h"
#include "audio/BinaryStream.h"
#include "audio/SampleCodec.h"
#include "audio/SystemFolders.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Daz;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes makeBank(const char* name, const std::vector<std::string>& sounds)
{
    const SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI8, 1, 8000, 2);
    const unsigned char data[2] = {5, 6};
    std::vector<BankSample> samples;
    for (const std::string& sound : sounds) samples.push_back({sound.c_str(), info, data, 2});
    Bytes image(4096);
    BufferStream stream(image.data(), 0, static_cast<int>(image.size()));
    EXPECT_TRUE(BankImage::write(stream, name, samples.data(), static_cast<int>(samples.size())));
    image.resize(static_cast<std::size_t>(stream.getSize()));
    return image;
}

// Bank files in the temporary folder, removed afterwards.
class BankTest : public ::testing::Test {
  protected:
    void TearDown() override
    {
        for (const std::string& path : m_paths) std::remove(path.c_str());
    }
    // Writes the bytes behind `prefix` junk bytes; gives the name relative to the temporary folder.
    std::string writeTemp(const Bytes& bytes, int prefix = 0)
    {
        const std::string name =
            "marevane-bank-" + std::to_string(getpid()) + "-" + std::to_string(m_paths.size());
        const std::string path = std::string(SystemFolders::get().getTempDir()) + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < prefix; ++i) std::fputc('J', file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        m_paths.push_back(path);
        return name;
    }
    std::string tempPath(const std::string& name) const
    {
        return std::string(SystemFolders::get().getTempDir()) + "/" + name;
    }

    std::vector<std::string> m_paths;
};

TEST_F(BankTest, LoadsAWholeFileFromTheTemporaryFolder)
{
    LogCapture log;
    const std::string name = writeTemp(makeBank("System", {"Click", "Cancel"}));
    CkBank* bank = CkBank::createFromFile(name.c_str(), kCkPathType_Temp);
    ASSERT_NE(nullptr, bank);
    EXPECT_TRUE(bank->isLoaded());
    EXPECT_FALSE(bank->isFailed());
    EXPECT_STREQ("System", bank->getName());
    EXPECT_EQ(2, bank->getNumSounds());
    EXPECT_STREQ("Cancel", bank->getSoundName(1));
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(nullptr, bank->getSoundName(-1));
    EXPECT_EQ(nullptr, bank->getSoundName(2));
    const LogLine outOfRange{kCkLog_Error, "Index 2 out of range; bank \"System\" has only 2 sounds"};
    ASSERT_EQ(2u, log.lines().size());
    EXPECT_EQ("Index -1 out of range; bank \"System\" has only 2 sounds", log.lines()[0].text);
    EXPECT_EQ(outOfRange, log.lines()[1]);
    bank->destroy();
}

TEST_F(BankTest, OffsetsAndLengthsMustLieInTheFile)
{
    LogCapture log;
    const Bytes image = makeBank("Embedded", {"A"});
    const int size = 7 + static_cast<int>(image.size());
    const std::string name = writeTemp(image, 7);
    const std::string path = tempPath(name);

    CkBank* exact = CkBank::createFromFile(name.c_str(), kCkPathType_Temp, 7, size - 7);
    ASSERT_NE(nullptr, exact);
    EXPECT_STREQ("Embedded", exact->getName());
    exact->destroy();
    CkBank* toEnd = CkBank::createFromFile(name.c_str(), kCkPathType_Temp, 7, 0);
    ASSERT_NE(nullptr, toEnd);
    toEnd->destroy();
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(nullptr, CkBank::createFromFile(name.c_str(), kCkPathType_Temp, 7, size - 6));
    EXPECT_EQ(nullptr, CkBank::createFromFile(name.c_str(), kCkPathType_Temp, size, 0));
    EXPECT_EQ(nullptr, CkBank::createFromFile(name.c_str(), kCkPathType_Temp, -1, 0));
    // The junk in front is no bank.
    EXPECT_EQ(nullptr, CkBank::createFromFile(name.c_str(), kCkPathType_Temp, 0, 0));
    const std::vector<std::string> expected = {
        "Invalid length " + std::to_string(size - 6) + " for bank file \"" + path + "\"",
        "Invalid offset " + std::to_string(size) + " for bank file \"" + path + "\"",
        "Invalid offset -1 for bank file \"" + path + "\"",
        "Invalid file marker: \"JJJJ\" (expecting \"ckmk\")",
        "Bank from file \"" + path + "\" could not be processed",
    };
    ASSERT_EQ(expected.size(), log.lines().size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], log.lines()[i].text);
    EXPECT_EQ(nullptr, Bank::getFirst());
}

TEST_F(BankTest, MissingAndTruncatedFilesGiveNoBank)
{
    LogCapture log;
    EXPECT_EQ(nullptr, CkBank::createFromFile("/nonexistent\\x.ckb", kCkPathType_AsGiven));
    Bytes image = makeBank("Short", {"A", "B"});
    image.pop_back();
    const std::string name = writeTemp(image);
    EXPECT_EQ(nullptr, CkBank::createFromFile(name.c_str(), kCkPathType_Temp));
    const std::vector<std::string> expected = {
        "Bank file \"/nonexistent/x.ckb\" could not be opened",
        "Corrupted or truncated bank data",
        "Bank from file \"" + tempPath(name) + "\" could not be processed",
    };
    ASSERT_EQ(expected.size(), log.lines().size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], log.lines()[i].text);
}

TEST_F(BankTest, NamesAreFoundInTheNewestBankFirst)
{
    const std::string older = writeTemp(makeBank("Older", {"Shared", "OnlyOld"}));
    const std::string newer = writeTemp(makeBank("Newer", {"Shared"}));
    auto* first = static_cast<Bank*>(CkBank::createFromFile(older.c_str(), kCkPathType_Temp));
    auto* second = static_cast<Bank*>(CkBank::createFromFile(newer.c_str(), kCkPathType_Temp));
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);

    Bank* holder = nullptr;
    EXPECT_EQ(second->getEntry(0), Bank::findEntry("Shared", &holder));
    EXPECT_EQ(second, holder);
    EXPECT_EQ(first->getEntry(1), Bank::findEntry("OnlyOld", &holder));
    EXPECT_EQ(nullptr, Bank::findEntry("shared", &holder));
    EXPECT_EQ(nullptr, holder);

    second->destroy();
    EXPECT_EQ(first->getEntry(0), Bank::findEntry("Shared", &holder));
    EXPECT_EQ(first, Bank::getFirst());
    first->destroy();
    EXPECT_EQ(nullptr, Bank::getFirst());
}

} // namespace
