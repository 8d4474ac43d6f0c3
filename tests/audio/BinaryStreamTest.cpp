#include "audio/BinaryStream.h"
#include "audio/FileStream.h"
#include "audio/ReadStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Daz;

namespace {

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/marevane-audio-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        m_dir = pattern;
    }
    void TearDown() override
    {
        for (const std::string& file : m_files) std::remove(file.c_str());
        rmdir(m_dir.c_str());
    }
    std::string file(const char* name)
    {
        m_files.push_back(m_dir + "/" + name);
        return m_files.back();
    }
    void writeFile(const std::string& path, const std::string& bytes)
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    std::string m_dir;
    std::vector<std::string> m_files;
};

TEST(BufferStreamTest, ReadsStopAtTheEndAndSeeksStayInside)
{
    const unsigned char bytes[6] = {1, 2, 3, 4, 5, 6};
    BufferStream stream(bytes, 6);
    unsigned char out[8] = {};
    EXPECT_EQ(4, stream.read(out, 4));
    EXPECT_EQ(2, stream.read(out, 4));
    EXPECT_EQ(0, stream.read(out, 4));
    EXPECT_EQ(6, stream.getPos());
    stream.setPos(100);
    EXPECT_EQ(6, stream.getPos());
    stream.setPos(-3);
    EXPECT_EQ(0, stream.getPos());
    stream.setPos(5);
    EXPECT_EQ(1, stream.read(out, 4));
    EXPECT_EQ(6, out[0]);
    EXPECT_EQ(0, stream.write(out, 1)); // read only
}

TEST(BufferStreamTest, WritesUpToCapacityAndGrowTheSize)
{
    unsigned char memory[8] = {};
    BufferStream stream(memory, 0, 8);
    EXPECT_TRUE(stream.writeUint32(0x04030201u));
    EXPECT_TRUE(stream.writeUint16(0x0605));
    EXPECT_EQ(6, stream.getSize());
    EXPECT_FALSE(stream.writeUint32(0xffffffffu)); // only two bytes of room
    EXPECT_EQ(8, stream.getSize());
    const unsigned char expected[8] = {1, 2, 3, 4, 5, 6, 0xff, 0xff};
    EXPECT_EQ(0, std::memcmp(expected, memory, 8));

    stream.setPos(0);
    std::uint32_t value = 0;
    EXPECT_TRUE(stream.readUint32(value));
    EXPECT_EQ(0x04030201u, value);
    std::int64_t tooLong = 7;
    EXPECT_FALSE(stream.readInt64(tooLong));
    EXPECT_EQ(0, tooLong);
}

TEST(SwapStreamTest, BigEndianValuesAreTurned)
{
    const unsigned char bytes[] = {0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x3f, 0x80, 0x00, 0x00, 0x7f};
    BufferStream memory(bytes, sizeof bytes);
    SwapStream big(memory, kBigEndian);
    std::uint16_t u16 = 0;
    std::int32_t i32 = 0;
    float f = 0;
    std::uint8_t u8 = 0;
    EXPECT_TRUE(big.readUint16(u16));
    EXPECT_TRUE(big.readInt32(i32));
    EXPECT_TRUE(big.readFloat(f));
    EXPECT_TRUE(big.readUint8(u8));
    EXPECT_EQ(0x0102, u16);
    EXPECT_EQ(0x01020304, i32);
    EXPECT_EQ(1.0f, f);
    EXPECT_EQ(0x7f, u8);

    memory.setPos(0);
    SwapStream little(memory, kLittleEndian);
    EXPECT_TRUE(little.readUint16(u16));
    EXPECT_EQ(0x0201, u16);

    unsigned char out[8] = {};
    BufferStream sink(out, 0, 8);
    SwapStream bigOut(sink, kBigEndian);
    EXPECT_TRUE(bigOut.writeUint64(0x0102030405060708ull));
    const unsigned char expected[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(0, std::memcmp(expected, out, 8));
}

TEST(SubStreamTest, PositionsAreTheSpansOwn)
{
    const unsigned char bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    BufferStream memory(bytes, 10);
    SubStream span(memory, 3, 4);
    ASSERT_TRUE(span.isValid());
    EXPECT_EQ(4, span.getSize());
    unsigned char out[8] = {};
    EXPECT_EQ(4, span.read(out, 8));
    EXPECT_EQ(3, out[0]);
    EXPECT_EQ(6, out[3]);
    EXPECT_EQ(0, span.read(out, 1));
    span.setPos(9);
    EXPECT_EQ(4, span.getPos());
    span.setPos(-1);
    EXPECT_EQ(0, span.getPos());
    memory.setPos(0); // someone else moved the source
    span.setPos(2);
    EXPECT_EQ(2, span.read(out, 8));
    EXPECT_EQ(5, out[0]);
}

TEST(SubStreamTest, ASpanPastTheSourceIsInvalid)
{
    const unsigned char bytes[10] = {};
    BufferStream memory(bytes, 10);
    EXPECT_TRUE(SubStream(memory, 0, 10).isValid());
    EXPECT_FALSE(SubStream(memory, 3, 8).isValid());
    EXPECT_FALSE(SubStream(memory, -1, 2).isValid());
    SubStream bad(memory, 8, 4);
    unsigned char out[4];
    EXPECT_EQ(0, bad.read(out, 4));
}

TEST_F(TempDir, FileStreamWritesThenReads)
{
    const std::string path = file("data.bin");
    {
        FileStream out(path.c_str(), FileStream::kWrite);
        ASSERT_TRUE(out.isValid());
        EXPECT_EQ(0, out.getSize());
        EXPECT_TRUE(out.writeInt32(-2));
        EXPECT_TRUE(out.writeDouble(0.5));
        EXPECT_EQ(12, out.getSize());
    }
    FileStream in(path.c_str(), FileStream::kRead);
    ASSERT_TRUE(in.isValid());
    EXPECT_EQ(12, in.getSize());
    in.setPos(4);
    double d = 0;
    EXPECT_TRUE(in.readDouble(d));
    EXPECT_EQ(0.5, d);
    std::int32_t past = 1;
    EXPECT_FALSE(in.readInt32(past));
    in.setPos(0);
    EXPECT_TRUE(in.readInt32(past));
    EXPECT_EQ(-2, past);
}

TEST_F(TempDir, FileStreamUpdatesInPlace)
{
    const std::string path = file("update.bin");
    writeFile(path, "abcdef");
    {
        FileStream stream(path.c_str(), FileStream::kReadWrite);
        char two[2];
        EXPECT_EQ(2, stream.read(two, 2));
        EXPECT_EQ(1, stream.write("X", 1)); // straight after a read
        EXPECT_EQ(1, stream.read(two, 1));
        EXPECT_EQ('d', two[0]);
        stream.setPos(6);
        EXPECT_EQ(2, stream.write("gh", 2));
        EXPECT_EQ(8, stream.getSize());
    }
    FileStream in(path.c_str(), FileStream::kRead);
    char all[9] = {};
    EXPECT_EQ(8, in.read(all, 8));
    EXPECT_STREQ("abXdefgh", all);
}

TEST_F(TempDir, MissingFilesAndFoldersAreInvalid)
{
    FileStream missing(file("none").c_str(), FileStream::kRead);
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(-1, missing.getSize());
    char out[4];
    EXPECT_EQ(0, missing.read(out, 4));
    FileStream folder(m_dir.c_str(), FileStream::kRead);
    EXPECT_FALSE(folder.isValid());
    EXPECT_FALSE(FileStream(file("x").c_str(), 9).isValid());
    EXPECT_EQ(-1, FileStream::getFileSize(m_dir.c_str()));
}

TEST_F(TempDir, ReadStreamResolvesItsPath)
{
    const std::string path = file("r.bin");
    writeFile(path, "xyz");
    // The temporary folder of this process may not be /tmp; an absolute path as given always works.
    ReadStream stream(path.c_str(), kCkPathType_AsGiven);
    ASSERT_TRUE(stream.isValid());
    EXPECT_EQ(3, stream.getSize());
    EXPECT_TRUE(fileExists(path.c_str(), kCkPathType_AsGiven));
    EXPECT_EQ(3, getFileSize(path.c_str(), kCkPathType_AsGiven));
    EXPECT_FALSE(fileExists((path + "x").c_str(), kCkPathType_AsGiven));
    EXPECT_EQ(0, stream.write("a", 1));
}

class MemoryFile : public CkCustomFile {
  public:
    explicit MemoryFile(int* deleted) : m_deleted(deleted) {}
    ~MemoryFile() override { ++*m_deleted; }
    bool isValid() const override { return true; }
    int read(void* buffer, int bytes) override
    {
        const int n = bytes < 4 - m_pos ? bytes : 4 - m_pos;
        std::memcpy(buffer, "wxyz" + m_pos, n);
        m_pos += n;
        return n;
    }
    int getSize() const override { return 4; }
    int getPos() const override { return m_pos; }
    void setPos(int pos) override { m_pos = pos; }

  private:
    int* m_deleted;
    int m_pos = 0;
};

struct HandlerState {
    std::string lastPath;
    int deleted = 0;
};

CkCustomFile* openMemoryFile(const char* path, void* data)
{
    auto* state = static_cast<HandlerState*>(data);
    state->lastPath = path;
    if (std::strstr(path, "mem") == nullptr) return nullptr;
    return new MemoryFile(&state->deleted);
}

TEST(ReadStreamTest, CustomHandlerIsAskedFirst)
{
    HandlerState state;
    setCustomFileHandler(&openMemoryFile, &state);
    {
        ReadStream stream("dir\\mem.ckb", kCkPathType_AsGiven);
        EXPECT_EQ("dir/mem.ckb", state.lastPath);
        ASSERT_TRUE(stream.isValid());
        EXPECT_EQ(4, stream.getSize());
        char out[4];
        stream.setPos(2);
        EXPECT_EQ(2, stream.read(out, 4));
        EXPECT_EQ('y', out[0]);
        EXPECT_EQ(0, state.deleted);
    }
    EXPECT_EQ(1, state.deleted);
    EXPECT_EQ(4, getFileSize("mem", kCkPathType_AsGiven));
    EXPECT_EQ(2, state.deleted);
    // Declined: the disk is read.
    EXPECT_FALSE(ReadStream("/nonexistent/file", kCkPathType_AsGiven).isValid());
    EXPECT_FALSE(fileExists("/nonexistent/file", kCkPathType_AsGiven));
    setCustomFileHandler(nullptr, nullptr);
    EXPECT_FALSE(fileExists("mem", kCkPathType_AsGiven));
}

} // namespace
