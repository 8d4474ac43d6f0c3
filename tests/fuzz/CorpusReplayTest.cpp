// The fuzzer's corpus replayed as an ordinary test: every input is fed to
// the same entry the fuzzer uses, so a finding once fixed stays fixed.
#include "tests/fuzz/PacketFuzzEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

std::vector<std::filesystem::path> CorpusFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(MAREVANE_FUZZ_CORPUS)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(PacketFuzzCorpus, EveryInputIsDecodedOrRefusedCleanly)
{
    const std::vector<std::filesystem::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 12u);
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string bytes = Marevane::Testing::ReadFile(file.string());
        Marevane::Fuzzing::FeedInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

TEST(PacketFuzzCorpus, SeedsOpenToTheirRecords)
{
    // The seeds are real packets and their plaintexts: the decoder takes
    // each packet seed whole.
    std::size_t packets = 0;
    for (const std::filesystem::path& file : CorpusFiles()) {
        if (file.filename().string().rfind("seed-packet-", 0) != 0) continue;
        Marevane::ReceivedData data;
        EXPECT_NO_THROW(Marevane::CPacketConverter::GetInstance().Decode(
            data, Marevane::Testing::ReadFile(file.string())))
            << file;
        ++packets;
    }
    EXPECT_GE(packets, 6u);
}
