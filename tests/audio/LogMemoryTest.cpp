#include "audio/Log.h"
#include "audio/Memory.h"

#include "CountingAllocator.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Daz;

namespace {

TEST(LogTest, WritesLevelLinesToStandardOutput)
{
    Log::set(0xf, nullptr);
    ::testing::internal::CaptureStdout();
    Log::error("You must call %s before calling %s!", "CkInit()", "CkUpdate()");
    Log::warning("w");
    Log::info("i");
    Log::write(8, "odd");
    EXPECT_EQ(
        "CK ERROR: You must call CkInit() before calling CkUpdate()!\nCK WARNING: w\nCK INFO: i\nCK : odd\n",
        ::testing::internal::GetCapturedStdout());
    Log::set(kCkLog_All, nullptr);
}

TEST(LogTest, MaskAndSinkChooseWhatIsWrittenWhere)
{
    LogCapture log;
    Log::set(kCkLog_Error, Log::getFunc());
    ::testing::internal::CaptureStdout();
    Log::info("dropped");
    Log::error("kept %d", 4);
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Error, "kept 4"}), log.lines()[0]);
}

TEST(LogTest, LongMessagesAreCut)
{
    LogCapture log;
    Log::error("%s", std::string(1000, 'x').c_str());
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(std::string(Log::kMaxMessage - 1, 'x'), log.lines()[0].text);
}

TEST(MemoryTest, BlocksGoThroughTheInstalledPair)
{
    CountingAllocs::allocs = CountingAllocs::frees = 0;
    FuncAllocator allocator(&CountingAllocs::alloc, &CountingAllocs::free);
    Memory::setAllocator(&allocator);
    EXPECT_TRUE(Memory::isMainThread());
    void* block = Memory::alloc(10);
    EXPECT_EQ(10u, Memory::getSize(block));
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % 16);
    std::memcpy(block, "0123456789", 10);
    void* grown = Memory::realloc(block, 20);
    EXPECT_EQ(0, std::memcmp(grown, "0123456789", 10));
    EXPECT_EQ(nullptr, Memory::realloc(grown, 0));
    Memory::free(nullptr);
    Memory::setAllocator(nullptr);
    EXPECT_EQ(2, CountingAllocs::allocs);
    EXPECT_EQ(2, CountingAllocs::frees);
}

TEST(MemoryTest, AlignedBlocksKeepTheirHeader)
{
    for (std::size_t align : {1u, 4u, 6u, 8u, 12u, 16u, 64u}) {
        for (int i = 0; i < 8; ++i) {
            auto* block = static_cast<unsigned char*>(Memory::allocAligned(5 + i, align));
            ASSERT_NE(nullptr, block);
            // At least 16 for SSE members; a power of two is kept as asked.
            EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % 16) << align;
            if ((align & (align - 1)) == 0) {
                EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % align) << align;
            }
            EXPECT_EQ(5u + i, Memory::getSize(block));
            std::memset(block, 0xab, 5 + i); // stays inside the raw block under a checker
            Memory::free(block);
        }
    }
    auto* zeroed = static_cast<unsigned char*>(Memory::allocZeroed(3, 4));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(0, zeroed[i]);
    Memory::free(zeroed);
}

TEST(MemoryTest, FailedAllocationsAreLogged)
{
    LogCapture log;
    EXPECT_EQ(nullptr, Memory::alloc(std::size_t(1) << 40));
    EXPECT_EQ(nullptr, Memory::allocZeroed(std::size_t(1) << 20, std::size_t(1) << 20));
    ASSERT_EQ(2u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Error, "out of memory!"}), log.lines()[0]);
}

TEST(MemoryTest, ByteReversal)
{
    EXPECT_EQ(0x0807060504030201ull, reverseBytes(std::uint64_t(0x0102030405060708ull)));
    const float one = 1.0f;
    std::uint32_t bits;
    const float turned = reverseBytes(one);
    std::memcpy(&bits, &turned, 4);
    EXPECT_EQ(0x0000803fu, bits);
}

} // namespace
