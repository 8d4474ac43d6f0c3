// The 16-byte header that opens bank (.ckb) and stream (.cks) files, the
// 28-byte sample info that describes their audio, and the 32-byte name fields.
// Every number in these files is little endian.
#pragma once

#include <cstdint>

namespace Daz {

class BinaryStream;

enum AudioFormat {
    kFormat_PcmI16 = 0,
    kFormat_PcmI8 = 1,
    kFormat_Adpcm = 2,
    kFormat_PcmF32 = 3,
    kFormat_None = 255,
};

enum FileType {
    kFileType_Stream = 0,
    kFileType_Bank = 1,
};

struct FileHeader {
    static constexpr int kBytes = 16;
    // This platform's bit of the target mask.
    static constexpr std::uint32_t kTarget = 8;
    static constexpr std::int32_t kVersion = 2;

    char marker[4] = {'c', 'k', 'm', 'k'};
    std::uint32_t targetMask = kTarget;
    std::uint32_t fileType = kFileType_Stream;
    std::uint32_t version = kVersion;

    static FileHeader forType(int fileType);

    void fromBytes(const unsigned char* bytes);
    void toBytes(unsigned char* bytes) const;
    // A short read leaves a zero header, which fails the check.
    bool read(BinaryStream& stream);
    bool write(BinaryStream& stream) const;

    // Logs the first fault as an error and gives false.
    bool check(int expectedType) const;
};

struct SampleInfo {
    static constexpr int kBytes = 28;

    std::uint8_t format = kFormat_None;
    std::uint8_t channels = 0;
    std::uint16_t sampleRate = 0;
    std::int32_t blocks = 0;
    std::uint16_t blockBytes = 0;
    std::uint16_t blockFrames = 0;
    std::uint16_t volume = 65535; // x 65535
    std::int16_t pan = 0;         // x 32767, negative to the left
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = -1;  // -1: the end of the sound
    std::int16_t loopCount = 0; // -1: until released

    void fromBytes(const unsigned char* bytes);
    void toBytes(unsigned char* bytes) const;
    bool read(BinaryStream& stream);
    bool write(BinaryStream& stream) const;

    int getFrames() const { return blocks * blockFrames; }
    float getLengthMs() const;
    // The bytes one sample of a PCM format takes; 0 for the others.
    static int bytesPerSample(int format);
    // Whether a decoder can walk the blocks: a known format, 1 or 2 channels
    // and the block layout that format has.
    bool hasDecodableLayout() const;
    // All of that, a sample rate and no negative block count: a fault is
    // logged as an error naming `what`, and gives false.
    bool check(const char* what) const;
    // The bytes of audio data the blocks take.
    long long getDataBytes() const { return static_cast<long long>(blocks) * blockBytes; }
};

// Names are stored in 32 bytes: up to 31 characters, NUL-padded.
struct Name {
    static constexpr int kBytes = 32;
    static constexpr int kMaxLength = kBytes - 1;

    // A longer name is cut with a warning.
    static void copy(char* field, const char* name);
    // Byte-wise and case-sensitive over at most 32 bytes, up to the first NUL.
    static bool equals(const char* field, const char* name);
};

// Little-endian access to file bytes.
namespace LittleEndian {
inline std::uint16_t u16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t u32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::int16_t i16(const unsigned char* p)
{
    return static_cast<std::int16_t>(u16(p));
}
inline std::int32_t i32(const unsigned char* p)
{
    return static_cast<std::int32_t>(u32(p));
}
inline void put16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
} // namespace LittleEndian

} // namespace Daz
