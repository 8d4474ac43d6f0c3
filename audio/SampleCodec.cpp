#include "audio/SampleCodec.h"

#include "audio/Adpcm.h"

#include <cmath>
#include <cstring>

namespace Daz {
namespace SampleCodec {

namespace {

constexpr float kFromI8 = 1.0f / 127.0f;
constexpr float kFromI16 = 1.0f / 32767.0f;

float clampUnit(float value)
{
    return value < -1.0f ? -1.0f : value > 1.0f ? 1.0f : value;
}

int toInt(float value, float scale)
{
    return static_cast<int>(std::lround(clampUnit(value) * scale));
}

} // namespace

SampleInfo makeInfo(int format, int channels, int sampleRate, int frames)
{
    SampleInfo info;
    info.format = static_cast<std::uint8_t>(format);
    info.channels = static_cast<std::uint8_t>(channels);
    info.sampleRate = static_cast<std::uint16_t>(sampleRate);
    if (format == kFormat_Adpcm) {
        info.blockFrames = Adpcm::kBlockFrames;
        info.blockBytes = static_cast<std::uint16_t>(Adpcm::kChannelBlockBytes * channels);
        info.blocks = (frames + Adpcm::kBlockFrames - 1) / Adpcm::kBlockFrames;
    } else {
        info.blockFrames = 1;
        info.blockBytes = static_cast<std::uint16_t>(SampleInfo::bytesPerSample(format) * channels);
        info.blocks = frames;
    }
    return info;
}

bool isDecodable(const SampleInfo& info)
{
    return info.hasDecodableLayout();
}

int decode(const SampleInfo& info, const void* data, int blocks, float* out)
{
    if (!isDecodable(info) || blocks <= 0) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const int samples = blocks * info.blockFrames * info.channels;
    switch (info.format) {
    case kFormat_PcmI16:
        for (int i = 0; i < samples; ++i) out[i] = LittleEndian::i16(bytes + 2 * i) * kFromI16;
        break;
    case kFormat_PcmI8:
        for (int i = 0; i < samples; ++i) out[i] = static_cast<signed char>(bytes[i]) * kFromI8;
        break;
    case kFormat_PcmF32:
        for (int i = 0; i < samples; ++i) {
            const std::uint32_t bits = LittleEndian::u32(bytes + 4 * i);
            std::memcpy(out + i, &bits, 4);
        }
        break;
    case kFormat_Adpcm: {
        std::int16_t frames[Adpcm::kBlockFrames * Adpcm::kMaxChannels];
        const int blockSamples = Adpcm::kBlockFrames * info.channels;
        for (int b = 0; b < blocks; ++b) {
            Adpcm::decodeBlock(bytes + b * info.blockBytes, info.channels, frames);
            for (int i = 0; i < blockSamples; ++i) out[b * blockSamples + i] = frames[i] * kFromI16;
        }
        break;
    }
    }
    return blocks * info.blockFrames;
}

bool encode(const SampleInfo& info, const float* in, int frames, void* data)
{
    if (!isDecodable(info) || frames < 0 || frames > info.getFrames()) return false;
    auto* bytes = static_cast<unsigned char*>(data);
    const int channels = info.channels;
    const int samples = frames * channels;
    switch (info.format) {
    case kFormat_PcmI16:
        for (int i = 0; i < samples; ++i) {
            LittleEndian::put16(bytes + 2 * i, static_cast<std::uint16_t>(toInt(in[i], 32767.0f)));
        }
        break;
    case kFormat_PcmI8:
        for (int i = 0; i < samples; ++i) bytes[i] = static_cast<unsigned char>(toInt(in[i], 127.0f));
        break;
    case kFormat_PcmF32:
        for (int i = 0; i < samples; ++i) {
            std::uint32_t bits;
            const float value = clampUnit(in[i]);
            std::memcpy(&bits, &value, 4);
            LittleEndian::put32(bytes + 4 * i, bits);
        }
        break;
    case kFormat_Adpcm:
        for (int b = 0; b < info.blocks; ++b) {
            std::int16_t block[Adpcm::kBlockFrames * Adpcm::kMaxChannels] = {};
            const int first = b * Adpcm::kBlockFrames;
            const int count = frames - first < Adpcm::kBlockFrames ? frames - first : Adpcm::kBlockFrames;
            for (int i = 0; i < count * channels; ++i) {
                block[i] = static_cast<std::int16_t>(toInt(in[first * channels + i], 32767.0f));
            }
            Adpcm::encodeBlock(block, Adpcm::kBlockFrames, channels, bytes + b * info.blockBytes);
        }
        return true;
    }
    // The PCM blocks past the given frames are silence.
    const long long total = info.getDataBytes();
    const long long used = static_cast<long long>(frames) * info.blockBytes;
    std::memset(bytes + used, 0, static_cast<std::size_t>(total - used));
    return true;
}

} // namespace SampleCodec
} // namespace Daz
