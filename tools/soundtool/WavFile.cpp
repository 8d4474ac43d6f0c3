#include "WavFile.h"

#include "audio/FileFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace Marevane {
namespace SoundTool {

namespace {

using Daz::LittleEndian::put16;
using Daz::LittleEndian::put32;
using Daz::LittleEndian::u16;
using Daz::LittleEndian::u32;

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;

// 16-bit samples are read and written on one scale, so that every value
// comes back as it was: -32768 is -1.0, and 1.0 is held at 32767.
constexpr float kPcm16Scale = 32768.0f;

std::int16_t toPcm16(float value)
{
    if (std::isnan(value)) return 0;
    const float scaled = std::round(value * kPcm16Scale);
    return static_cast<std::int16_t>(scaled < -32768.0f ? -32768.0f : scaled > 32767.0f ? 32767.0f : scaled);
}

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    long rate = 0;
    int blockAlign = 0;
    int bits = 0;
};

Format parseFormat(const unsigned char* chunk, std::uint32_t size)
{
    if (size < 16) throw WavError("the \"fmt \" chunk is " + std::to_string(size) + " bytes; it needs 16");
    Format format;
    format.tag = u16(chunk);
    format.channels = u16(chunk + 2);
    format.rate = static_cast<long>(u32(chunk + 4));
    format.blockAlign = u16(chunk + 12);
    format.bits = u16(chunk + 14);
    if (format.tag == kTagExtensible) {
        // The sub-format GUID's first two bytes carry the plain tag.
        if (size < 40)
            throw WavError("the extensible \"fmt \" chunk is " + std::to_string(size) +
                           " bytes; it needs 40");
        format.tag = u16(chunk + 24);
    }
    if (format.tag != kTagPcm && format.tag != kTagFloat) {
        throw WavError("sample format " + std::to_string(format.tag) +
                       " is not supported; use PCM (1) or IEEE float (3)");
    }
    const bool pcmBits = format.tag == kTagPcm && (format.bits == 8 || format.bits == 16);
    const bool floatBits = format.tag == kTagFloat && format.bits == 32;
    if (!pcmBits && !floatBits) {
        throw WavError(std::to_string(format.bits) + "-bit " + (format.tag == kTagPcm ? "PCM" : "float") +
                       " is not supported; use 8- or 16-bit PCM or 32-bit float");
    }
    if (format.channels < 1 || format.channels > 2) {
        throw WavError(std::to_string(format.channels) + " channels are not supported; use mono or stereo");
    }
    if (format.rate < 1 || format.rate > 65535) {
        throw WavError("sample rate " + std::to_string(format.rate) + " Hz is outside 1..65535");
    }
    if (format.blockAlign != format.channels * format.bits / 8) {
        throw WavError("block align " + std::to_string(format.blockAlign) + " does not match " +
                       std::to_string(format.channels) + " channels of " + std::to_string(format.bits) +
                       " bits");
    }
    return format;
}

} // namespace

Audio parseWav(const std::vector<unsigned char>& bytes)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) {
        throw WavError("not a RIFF file");
    }
    if (std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) throw WavError("a RIFF file but not WAVE");

    const unsigned char* fmt = nullptr;
    std::uint32_t fmtSize = 0;
    const unsigned char* data = nullptr;
    std::uint32_t dataSize = 0;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const unsigned char* chunk = bytes.data() + at;
        const std::uint32_t size = u32(chunk + 4);
        const std::size_t left = bytes.size() - at - 8;
        const std::string id(reinterpret_cast<const char*>(chunk), 4);
        if (size > left) {
            throw WavError("the \"" + id + "\" chunk claims " + std::to_string(size) + " bytes but only " +
                           std::to_string(left) + " follow: the file is cut short");
        }
        if (id == "fmt " && !fmt) {
            fmt = chunk + 8;
            fmtSize = size;
        } else if (id == "data" && !data) {
            data = chunk + 8;
            dataSize = size;
        }
        // Chunks are padded to an even size.
        at += 8 + static_cast<std::size_t>(size) + (size & 1u);
    }
    if (!fmt) throw WavError("no \"fmt \" chunk");
    if (!data) throw WavError("no \"data\" chunk");
    const Format format = parseFormat(fmt, fmtSize);
    if (dataSize % static_cast<std::uint32_t>(format.blockAlign) != 0) {
        throw WavError("the data holds " + std::to_string(dataSize) + " bytes, not whole frames of " +
                       std::to_string(format.blockAlign));
    }
    const std::uint32_t frames = dataSize / static_cast<std::uint32_t>(format.blockAlign);
    if (frames == 0) throw WavError("the data holds no frames");
    if (frames > 0x7fffffffu / 2) throw WavError("too many frames");

    Audio audio;
    audio.channels = format.channels;
    audio.sampleRate = static_cast<int>(format.rate);
    const std::size_t count = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format.channels);
    audio.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (format.bits == 8) {
            audio.samples[i] = (static_cast<int>(data[i]) - 128) / 128.0f;
        } else if (format.bits == 16) {
            audio.samples[i] = static_cast<std::int16_t>(u16(data + 2 * i)) / kPcm16Scale;
        } else {
            const std::uint32_t bits = u32(data + 4 * i);
            float value;
            std::memcpy(&value, &bits, 4);
            if (!std::isfinite(value))
                throw WavError("float sample " + std::to_string(i) + " is not a number");
            audio.samples[i] = value;
        }
    }
    return audio;
}

Audio readWav(const std::string& path)
{
    try {
        return parseWav(readFile(path));
    } catch (const WavError& error) {
        throw WavError(path + ": " + error.what());
    }
}

std::vector<unsigned char> makeWav(const Audio& audio, WavSamples samples)
{
    const int sampleBytes = samples == WavSamples::Pcm16 ? 2 : 4;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(audio.samples.size()) * sampleBytes;
    std::vector<unsigned char> bytes(44 + dataBytes);
    unsigned char* p = bytes.data();
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, 36 + dataBytes);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, 16);
    put16(p + 20, samples == WavSamples::Pcm16 ? kTagPcm : kTagFloat);
    put16(p + 22, static_cast<std::uint16_t>(audio.channels));
    put32(p + 24, static_cast<std::uint32_t>(audio.sampleRate));
    put32(p + 28, static_cast<std::uint32_t>(audio.sampleRate * audio.channels * sampleBytes));
    put16(p + 32, static_cast<std::uint16_t>(audio.channels * sampleBytes));
    put16(p + 34, static_cast<std::uint16_t>(8 * sampleBytes));
    std::memcpy(p + 36, "data", 4);
    put32(p + 40, dataBytes);
    p += 44;
    for (float value : audio.samples) {
        const float clamped = value < -1.0f ? -1.0f : value > 1.0f ? 1.0f : value;
        if (samples == WavSamples::Pcm16) {
            put16(p, static_cast<std::uint16_t>(toPcm16(value)));
            p += 2;
        } else {
            std::uint32_t bits;
            std::memcpy(&bits, &clamped, 4);
            put32(p, bits);
            p += 4;
        }
    }
    return bytes;
}

void writeWav(const std::string& path, const Audio& audio, WavSamples samples)
{
    writeFile(path, makeWav(audio, samples));
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw std::runtime_error(path + ": " + std::strerror(errno));
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    if (std::ferror(file.get())) throw std::runtime_error(path + ": read error");
    return bytes;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    // Written beside the target and renamed, so a failed run leaves no half file.
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) throw std::runtime_error(path + ": " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw std::runtime_error(path + ": could not be written");
    }
}

} // namespace SoundTool
} // namespace Marevane
