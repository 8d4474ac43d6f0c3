#include "audio/AudioStream.h"

#include "audio/CkCustomStream.h"
#include "audio/Log.h"
#include "audio/StreamFile.h"

#include <tremor/ivorbisfile.h>

#include <climits>
#include <cstdio>

namespace Daz {

// ---- a span of a file

FileSpan::FileSpan(const char* path, int pathType, int offset, int length)
    : m_given(path), m_pathType(pathType), m_path(path, pathType), m_offset(offset), m_length(length)
{
}

bool FileSpan::open()
{
    m_span.reset();
    m_file.emplace(m_given.getBuffer(), m_pathType);
    if (m_file->isValid()) {
        const int length = m_length > 0 ? m_length : m_file->getSize() - m_offset;
        m_span.emplace(*m_file, m_offset, length);
        if (m_span->isValid()) return true;
    }
    Log::error("Stream file \"%s\" could not be opened", m_path.getBuffer());
    m_span.reset();
    m_file.reset();
    return false;
}

// ---- .cks

CksAudioStream::CksAudioStream(const char* path, int pathType, int offset, int length)
    : m_file(path, pathType, offset, length)
{
}

bool CksAudioStream::open()
{
    m_failed = true;
    if (!m_file.open()) return false;
    BinaryStream& span = m_file.get();
    char what[Path::kCapacity + 16];
    std::snprintf(what, sizeof what, "Stream file \"%s\"", m_file.getPath());
    FileHeader header;
    header.read(span);
    if (!header.check(kFileType_Stream)) return false;
    if (!m_info.read(span)) {
        Log::error("%s is truncated", what);
        return false;
    }
    if (!m_info.check(what)) return false;
    const long long dataBlocks = (span.getSize() - StreamFile::kDataOffset) / m_info.blockBytes;
    m_totalBlocks = m_info.blocks < dataBlocks ? m_info.blocks : static_cast<int>(dataBlocks);
    m_pos = 0;
    m_failed = false;
    return true;
}

int CksAudioStream::read(void* buffer, int blocks)
{
    if (m_failed || blocks <= 0) return 0;
    if (blocks > m_totalBlocks - m_pos) blocks = m_totalBlocks - m_pos;
    if (blocks <= 0) return 0;
    const int bytes = m_file.get().read(buffer, blocks * m_info.blockBytes);
    const int got = bytes / m_info.blockBytes;
    m_pos += got;
    // A block cut short is not handed out, and the next read starts at it again.
    if (bytes % m_info.blockBytes != 0)
        m_file.get().setPos(StreamFile::kDataOffset + m_pos * m_info.blockBytes);
    return got;
}

void CksAudioStream::setBlockPos(int block)
{
    if (m_failed) return;
    m_pos = block < 0 ? 0 : block > m_totalBlocks ? m_totalBlocks : block;
    m_file.get().setPos(StreamFile::kDataOffset + m_pos * m_info.blockBytes);
}

// ---- Ogg Vorbis through Tremor

struct VorbisAudioStream::Decoder : Allocatable {
    OggVorbis_File file;
    bool open = false;

    static size_t read(void* buffer, size_t size, size_t count, void* source)
    {
        if (size == 0) return 0;
        const size_t bytes = size * count > INT_MAX ? INT_MAX : size * count;
        return static_cast<size_t>(
                   static_cast<BinaryStream*>(source)->read(buffer, static_cast<int>(bytes))) /
               size;
    }
    static int seek(void* source, ogg_int64_t offset, int whence)
    {
        auto* stream = static_cast<BinaryStream*>(source);
        ogg_int64_t pos = offset;
        if (whence == SEEK_CUR) pos += stream->getPos();
        if (whence == SEEK_END) pos += stream->getSize();
        if (pos < 0 || pos > stream->getSize()) return -1;
        stream->setPos(static_cast<int>(pos));
        return 0;
    }
    static int close(void*) { return 0; }
    static long tell(void* source) { return static_cast<BinaryStream*>(source)->getPos(); }
};

VorbisAudioStream::VorbisAudioStream(const char* path, int pathType, int offset, int length)
    : m_file(path, pathType, offset, length)
{
}

VorbisAudioStream::~VorbisAudioStream()
{
    if (m_decoder && m_decoder->open) ov_clear(&m_decoder->file);
    delete m_decoder;
}

bool VorbisAudioStream::open()
{
    m_failed = true;
    if (!m_file.open()) return false;
    if (!m_decoder) m_decoder = new Decoder;
    if (!m_decoder) return false;
    const ov_callbacks callbacks = {&Decoder::read, &Decoder::seek, &Decoder::close, &Decoder::tell};
    const int result = ov_open_callbacks(&m_file.get(), &m_decoder->file, nullptr, 0, callbacks);
    if (result < 0) {
        Log::error("Stream file \"%s\" is no Ogg Vorbis stream (error %d)", m_file.getPath(), result);
        return false;
    }
    m_decoder->open = true;
    const vorbis_info* info = ov_info(&m_decoder->file, -1);
    const ogg_int64_t frames = ov_pcm_total(&m_decoder->file, -1);
    if (!info || info->channels < 1 || info->channels > 2) {
        Log::error("Ogg Vorbis stream \"%s\" has %d channels; streams must have 1 or 2", m_file.getPath(),
                   info ? info->channels : 0);
        return false;
    }
    // The sample info holds the rate in 16 bits.
    if (info->rate < 1 || info->rate > 65535) {
        Log::error("Ogg Vorbis stream \"%s\" has sample rate %ld; the engine plays 1 to 65535",
                   m_file.getPath(), info->rate);
        return false;
    }
    if (frames < 0) {
        Log::error("Ogg Vorbis stream \"%s\" has no known length", m_file.getPath());
        return false;
    }
    m_info = SampleInfo();
    m_info.format = kFormat_PcmI16;
    m_info.channels = static_cast<std::uint8_t>(info->channels);
    m_info.sampleRate = static_cast<std::uint16_t>(info->rate);
    m_info.blocks = frames > INT_MAX ? INT_MAX : static_cast<int>(frames);
    m_info.blockBytes = static_cast<std::uint16_t>(2 * info->channels);
    m_info.blockFrames = 1;
    m_totalBlocks = m_info.blocks;
    m_failed = false;
    return true;
}

int VorbisAudioStream::read(void* buffer, int blocks)
{
    if (m_failed || blocks <= 0) return 0;
    auto* out = static_cast<char*>(buffer);
    const int wanted = blocks * m_info.blockBytes;
    int done = 0;
    int holes = 0;
    while (done < wanted) {
        int section = 0;
        const long got = ov_read(&m_decoder->file, out + done, wanted - done, &section);
        if (got > 0) {
            done += static_cast<int>(got);
            holes = 0;
        } else if (got == 0) {
            break;
        } else if (got == OV_HOLE && ++holes < 64) {
            // A gap in the data: the decoder goes on after it.
            continue;
        } else {
            Log::error("Ogg Vorbis stream \"%s\" could not be decoded (error %ld)", m_file.getPath(), got);
            m_failed = true;
            break;
        }
    }
    return done / m_info.blockBytes;
}

void VorbisAudioStream::setBlockPos(int block)
{
    if (m_failed) return;
    const ogg_int64_t frame = block < 0 ? 0 : block > m_totalBlocks ? m_totalBlocks : block;
    ov_pcm_seek(&m_decoder->file, frame);
}

int VorbisAudioStream::getBlockPos() const
{
    if (!m_decoder || !m_decoder->open) return 0;
    const ogg_int64_t pos = ov_pcm_tell(&m_decoder->file);
    return pos < 0 ? 0 : pos > INT_MAX ? INT_MAX : static_cast<int>(pos);
}

// ---- the program's own stream

CustomAudioStream::~CustomAudioStream()
{
    delete m_stream;
}

bool CustomAudioStream::open()
{
    m_failed = true;
    if (!m_stream) return false;
    m_stream->init();
    if (m_stream->isFailed()) return false;
    const int channels = m_stream->getChannels();
    if (channels < 1 || channels > 2) {
        Log::error("Custom stream has %d channels; streams must have 1 or 2.", channels);
        return false;
    }
    const int rate = m_stream->getSampleRate();
    if (rate < 1 || rate > 48000) {
        Log::error("Custom stream has illegal sample rate (%d); must be between 1 and %d", rate, 48000);
        return false;
    }
    const int length = m_stream->getLength();
    m_info = SampleInfo();
    m_info.format = kFormat_PcmI16;
    m_info.channels = static_cast<std::uint8_t>(channels);
    m_info.sampleRate = static_cast<std::uint16_t>(rate);
    m_info.blocks = length < 0 ? 0 : length;
    m_info.blockBytes = static_cast<std::uint16_t>(2 * channels);
    m_info.blockFrames = 1;
    m_failed = false;
    return true;
}

bool CustomAudioStream::isFailed() const
{
    return m_failed || !m_stream || m_stream->isFailed();
}

int CustomAudioStream::read(void* buffer, int blocks)
{
    if (isFailed() || blocks <= 0) return 0;
    auto* out = static_cast<short*>(buffer);
    int done = 0;
    // A stream may hand out less than asked before its end: it is asked again.
    while (done < blocks && !m_stream->isAtEnd()) {
        const int got = m_stream->read(out + done * m_info.channels, blocks - done);
        if (got <= 0) break;
        done += got < blocks - done ? got : blocks - done;
    }
    return done;
}

void CustomAudioStream::setBlockPos(int block)
{
    if (!isFailed()) m_stream->setPlayPosition(block < 0 ? 0 : block);
}

int CustomAudioStream::getBlockPos() const
{
    return m_stream ? m_stream->getPlayPosition() : 0;
}

} // namespace Daz
