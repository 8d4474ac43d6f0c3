#include "audio/FileFormat.h"

#include "audio/Adpcm.h"
#include "audio/BinaryStream.h"
#include "audio/Log.h"

#include <cstring>

namespace Daz {

using namespace LittleEndian;

FileHeader FileHeader::forType(int fileType)
{
    FileHeader header;
    header.fileType = static_cast<std::uint32_t>(fileType);
    return header;
}

void FileHeader::fromBytes(const unsigned char* bytes)
{
    std::memcpy(marker, bytes, 4);
    targetMask = u32(bytes + 4);
    fileType = u32(bytes + 8);
    version = u32(bytes + 12);
}

void FileHeader::toBytes(unsigned char* bytes) const
{
    std::memcpy(bytes, marker, 4);
    put32(bytes + 4, targetMask);
    put32(bytes + 8, fileType);
    put32(bytes + 12, version);
}

bool FileHeader::read(BinaryStream& stream)
{
    unsigned char bytes[kBytes] = {};
    const bool whole = stream.read(bytes, kBytes) == kBytes;
    if (!whole) std::memset(bytes, 0, kBytes);
    fromBytes(bytes);
    return whole;
}

bool FileHeader::write(BinaryStream& stream) const
{
    unsigned char bytes[kBytes];
    toBytes(bytes);
    return stream.write(bytes, kBytes) == kBytes;
}

bool FileHeader::check(int expectedType) const
{
    static const char kMarker[4] = {'c', 'k', 'm', 'k'};
    for (int i = 0; i < 4; ++i) {
        if (marker[i] != kMarker[i]) {
            Log::error("Invalid file marker: \"%.4s\" (expecting \"%.4s\")", marker, kMarker);
            return false;
        }
    }
    if (!(targetMask & kTarget)) {
        Log::error("Invalid file target mask: %x (does not include current target %x)", targetMask, kTarget);
        return false;
    }
    if (static_cast<int>(fileType) != expectedType) {
        Log::error("Invalid file type: %d (expecting %d)", static_cast<int>(fileType), expectedType);
        return false;
    }
    const int fileVersion = static_cast<int>(version);
    if (fileVersion != kVersion) {
        Log::error("Invalid file version: %d (expecting %d)", fileVersion, kVersion);
        if (fileVersion > kVersion || fileVersion < 0) {
            Log::error("The file is newer than this engine library; use a newer engine library");
        } else {
            Log::error("The %s must be rebuilt with the current version of the bank and stream build tool",
                       expectedType == kFileType_Bank ? "banks" : "streams");
        }
        return false;
    }
    return true;
}

void SampleInfo::fromBytes(const unsigned char* bytes)
{
    format = bytes[0];
    channels = bytes[1];
    sampleRate = u16(bytes + 2);
    blocks = i32(bytes + 4);
    blockBytes = u16(bytes + 8);
    blockFrames = u16(bytes + 10);
    volume = u16(bytes + 12);
    pan = i16(bytes + 14);
    loopStart = i32(bytes + 16);
    loopEnd = i32(bytes + 20);
    loopCount = i16(bytes + 24);
}

void SampleInfo::toBytes(unsigned char* bytes) const
{
    bytes[0] = format;
    bytes[1] = channels;
    put16(bytes + 2, sampleRate);
    put32(bytes + 4, static_cast<std::uint32_t>(blocks));
    put16(bytes + 8, blockBytes);
    put16(bytes + 10, blockFrames);
    put16(bytes + 12, volume);
    put16(bytes + 14, static_cast<std::uint16_t>(pan));
    put32(bytes + 16, static_cast<std::uint32_t>(loopStart));
    put32(bytes + 20, static_cast<std::uint32_t>(loopEnd));
    put16(bytes + 24, static_cast<std::uint16_t>(loopCount));
    bytes[26] = 0;
    bytes[27] = 0;
}

bool SampleInfo::read(BinaryStream& stream)
{
    unsigned char bytes[kBytes];
    if (stream.read(bytes, kBytes) != kBytes) return false;
    fromBytes(bytes);
    return true;
}

bool SampleInfo::write(BinaryStream& stream) const
{
    unsigned char bytes[kBytes];
    toBytes(bytes);
    return stream.write(bytes, kBytes) == kBytes;
}

float SampleInfo::getLengthMs() const
{
    return sampleRate == 0 ? 0.0f
                           : static_cast<float>(getFrames()) * 1000.0f / static_cast<float>(sampleRate);
}

int SampleInfo::bytesPerSample(int format)
{
    switch (format) {
    case kFormat_PcmI16:
        return 2;
    case kFormat_PcmI8:
        return 1;
    case kFormat_PcmF32:
        return 4;
    default:
        return 0;
    }
}

bool SampleInfo::hasDecodableLayout() const
{
    if (channels < 1 || channels > 2) return false;
    if (format == kFormat_Adpcm) {
        // The adaptive delta decoder keeps one block of 24 bytes a channel.
        return blockFrames == Adpcm::kBlockFrames && blockBytes == Adpcm::kChannelBlockBytes * channels;
    }
    const int sampleBytes = bytesPerSample(format);
    return sampleBytes > 0 && blockFrames == 1 && blockBytes == sampleBytes * channels;
}

bool SampleInfo::check(const char* what) const
{
    // Every later division and buffer size rests on these fields.
    if (format > kFormat_PcmF32) {
        Log::error("%s has unknown sample format %d", what, format);
    } else if (channels < 1 || channels > 2) {
        Log::error("%s has %d channels; sounds must have 1 or 2", what, channels);
    } else if (sampleRate == 0) {
        Log::error("%s has sample rate 0", what);
    } else if (!hasDecodableLayout()) {
        Log::error("%s has %d bytes and %d frames per block, which format %d does not use", what, blockBytes,
                   blockFrames, format);
    } else if (blocks < 0) {
        Log::error("%s has a negative block count (%d)", what, blocks);
    } else {
        return true;
    }
    return false;
}

void Name::copy(char* field, const char* name)
{
    std::memset(field, 0, kBytes);
    if (!name) return;
    const std::size_t length = std::strlen(name);
    if (length > static_cast<std::size_t>(kMaxLength)) {
        Log::warning("Name \"%s\" is more than %d characters; truncating", name, kMaxLength);
    }
    std::memcpy(field, name, length < static_cast<std::size_t>(kMaxLength) ? length : kMaxLength);
}

bool Name::equals(const char* field, const char* name)
{
    for (int i = 0; i < kBytes; ++i) {
        const signed char a = static_cast<signed char>(field[i]);
        const signed char b = static_cast<signed char>(name[i]);
        if (a != b) return false;
        if (a == 0) return true;
    }
    return true;
}

} // namespace Daz
