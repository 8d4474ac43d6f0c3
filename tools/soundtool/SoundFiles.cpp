#include "SoundFiles.h"

#include "AdpcmEncoder.h"

#include "audio/BankFile.h"
#include "audio/BinaryStream.h"
#include "audio/SampleCodec.h"
#include "audio/StreamFile.h"

#include <cstdarg>
#include <cstdio>
#include <set>
#include <thread>

namespace Marevane {
namespace SoundTool {

namespace {

void checkAudio(const Audio& audio, const std::string& what)
{
    if (audio.channels < 1 || audio.channels > 2)
        throw UsageError(what + ": only mono or stereo can be stored");
    if (audio.sampleRate < 1 || audio.sampleRate > 65535) {
        throw UsageError(what + ": sample rate " + std::to_string(audio.sampleRate) + " is outside 1..65535");
    }
    if (audio.frames() == 0) throw UsageError(what + ": no frames");
}

std::vector<unsigned char> toBytes(Daz::BufferStream& stream, std::vector<unsigned char>& buffer)
{
    buffer.resize(static_cast<std::size_t>(stream.getSize()));
    return std::move(buffer);
}

std::string line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string line(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return std::string(text) + "\n";
}

std::string describeInfo(const Daz::SampleInfo& info)
{
    std::string text =
        line("%s, %d ch, %u Hz, %d frames (%.1f ms), %d blocks of %u bytes and %u frames",
             formatName(info.format), info.channels, info.sampleRate, info.getFrames(),
             static_cast<double>(info.getLengthMs()), info.blocks, info.blockBytes, info.blockFrames);
    text += line("    volume %.3f, pan %.3f, loop %d..%d, loop count %d", info.volume / 65535.0,
                 info.pan / 32767.0, info.loopStart, info.loopEnd, info.loopCount);
    if (!Daz::SampleCodec::isDecodable(info)) text += line("    cannot be decoded");
    return text;
}

} // namespace

int parseFormat(const std::string& name)
{
    if (name == "pcm16") return Daz::kFormat_PcmI16;
    if (name == "pcm8") return Daz::kFormat_PcmI8;
    if (name == "float") return Daz::kFormat_PcmF32;
    if (name == "adpcm") return Daz::kFormat_Adpcm;
    throw UsageError("unknown format \"" + name + "\"; use pcm16, pcm8, float or adpcm");
}

const char* formatName(int format)
{
    switch (format) {
    case Daz::kFormat_PcmI16:
        return "pcm16";
    case Daz::kFormat_PcmI8:
        return "pcm8";
    case Daz::kFormat_PcmF32:
        return "float";
    case Daz::kFormat_Adpcm:
        return "adpcm";
    default:
        return "unknown format";
    }
}

Encoded encode(const Audio& audio, int format, const Loop& loop)
{
    if (loop.start < 0 || (loop.end >= 0 && loop.end <= loop.start) || loop.count < -1) {
        throw UsageError("loop " + std::to_string(loop.start) + ".." + std::to_string(loop.end) + " x" +
                         std::to_string(loop.count) + " is not a loop: the start must be before the end");
    }
    Encoded encoded;
    encoded.info = Daz::SampleCodec::makeInfo(format, audio.channels, audio.sampleRate, audio.frames());
    encoded.info.loopStart = loop.start;
    encoded.info.loopEnd = loop.end;
    encoded.info.loopCount = loop.count;
    if (format == Daz::kFormat_Adpcm) {
        const int threads = static_cast<int>(std::thread::hardware_concurrency());
        encoded.data = encodeAdpcm(encoded.info, audio.samples, threads > 0 ? threads : 1);
    } else {
        encoded.data.resize(static_cast<std::size_t>(encoded.info.getDataBytes()));
        Daz::SampleCodec::encode(encoded.info, audio.samples.data(), audio.frames(), encoded.data.data());
    }
    return encoded;
}

std::vector<unsigned char> makeBank(const std::string& bankName, const std::vector<Cue>& cues, int format)
{
    if (bankName.size() > static_cast<std::size_t>(Daz::Name::kMaxLength)) {
        throw UsageError("bank name \"" + bankName + "\" is longer than 31 characters");
    }
    std::set<std::string> names;
    std::vector<Encoded> encoded;
    std::size_t bytes = Daz::FileHeader::kBytes + Daz::BankImage::kRecordBytes;
    for (const Cue& cue : cues) {
        if (cue.name.empty() || cue.name.size() > static_cast<std::size_t>(Daz::Name::kMaxLength)) {
            throw UsageError("cue name \"" + cue.name + "\" must have 1 to 31 characters");
        }
        if (!names.insert(cue.name).second) throw UsageError("cue name \"" + cue.name + "\" is given twice");
        checkAudio(cue.audio, "cue \"" + cue.name + "\"");
        encoded.push_back(encode(cue.audio, format));
        bytes += Daz::BankImage::kEntryBytes + encoded.back().data.size();
    }
    if (bytes > 0x7fffffff) throw UsageError("the bank would pass 2 GiB");
    std::vector<Daz::BankSample> samples;
    for (std::size_t i = 0; i < cues.size(); ++i) {
        samples.push_back({cues[i].name.c_str(), encoded[i].info, encoded[i].data.data(),
                           static_cast<std::uint32_t>(encoded[i].data.size())});
    }
    std::vector<unsigned char> buffer(bytes);
    Daz::BufferStream stream(buffer.data(), 0, static_cast<int>(bytes));
    if (!Daz::BankImage::write(stream, bankName.c_str(), samples.data(), static_cast<int>(samples.size()))) {
        throw std::runtime_error("the bank writer failed");
    }
    return toBytes(stream, buffer);
}

std::vector<unsigned char> makeStream(const Audio& audio, int format, const Loop& loop)
{
    checkAudio(audio, "the stream");
    const Encoded encoded = encode(audio, format, loop);
    if (loop.end > encoded.info.getFrames()) {
        throw UsageError("loop end " + std::to_string(loop.end) + " is past the sound's " +
                         std::to_string(encoded.info.getFrames()) + " frames");
    }
    const std::size_t bytes = Daz::StreamFile::kDataOffset + encoded.data.size();
    if (bytes > 0x7fffffff) throw UsageError("the stream would pass 2 GiB");
    std::vector<unsigned char> buffer(bytes);
    Daz::BufferStream stream(buffer.data(), 0, static_cast<int>(bytes));
    if (!Daz::StreamFile::write(stream, encoded.info, encoded.data.data())) {
        throw std::runtime_error("the stream writer failed");
    }
    return toBytes(stream, buffer);
}

std::string describe(const std::vector<unsigned char>& bytes, bool& ok)
{
    ok = false;
    if (bytes.size() < static_cast<std::size_t>(Daz::FileHeader::kBytes) || bytes.size() > 0x7fffffff) {
        return line("not a bank or stream: %zu bytes", bytes.size());
    }
    Daz::FileHeader header;
    header.fromBytes(bytes.data());
    const bool bank = header.fileType == Daz::kFileType_Bank;
    std::string text = line("header: marker \"%.4s\", target mask 0x%x, type %u (%s), version %u",
                            header.marker, header.targetMask, header.fileType,
                            bank                                       ? "bank"
                            : header.fileType == Daz::kFileType_Stream ? "stream"
                                                                       : "unknown",
                            header.version);
    if (!header.check(bank ? Daz::kFileType_Bank : Daz::kFileType_Stream)) return text + line("not playable");

    const int size = static_cast<int>(bytes.size());
    if (bank) {
        Daz::BankImage image;
        if (!image.process(bytes.data(), size)) return text + line("not playable");
        text += line("bank \"%s\": %d entries", image.getName(), image.getNumEntries());
        for (int i = 0; i < image.getNumEntries(); ++i) {
            const Daz::BankEntry* entry = image.getEntry(i);
            text += line("  %d \"%s\": %u data bytes", i, entry->name, entry->dataBytes);
            text += "    " + describeInfo(entry->info);
        }
        ok = true;
        for (int i = 0; i < image.getNumEntries(); ++i)
            ok = ok && Daz::SampleCodec::isDecodable(image.getEntry(i)->info);
        return text;
    }
    Daz::BufferStream stream(bytes.data(), size);
    Daz::SampleInfo info;
    if (!Daz::StreamFile::readHead(stream, info)) return text + line("no sample info: the file is cut short");
    text += "stream: " + describeInfo(info);
    const long long held = size - Daz::StreamFile::kDataOffset;
    text += line("data: %lld bytes, %lld expected", held, info.getDataBytes());
    ok = held >= info.getDataBytes() && info.blocks > 0 && Daz::SampleCodec::isDecodable(info);
    return text;
}

} // namespace SoundTool
} // namespace Marevane
