#include "audio/StreamSound.h"

#include "audio/CkCustomStream.h"
#include "audio/Log.h"
#include "audio/Path.h"
#include "audio/ReadStream.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace {

bool endsWith(const char* text, const char* suffix, bool caseSensitive)
{
    const std::size_t length = std::strlen(text);
    const std::size_t suffixLength = std::strlen(suffix);
    if (length < suffixLength) return false;
    const char* tail = text + length - suffixLength;
    return caseSensitive ? std::strcmp(tail, suffix) == 0 : strcasecmp(tail, suffix) == 0;
}

} // namespace

CkSound* CkSound::createFromStream(const char* path, int pathType, int offset, int length,
                                   const char* extension)
{
    using Daz::Log;
    if (!path) path = "";
    const Daz::Path resolved(path, pathType);
    const int size = Daz::getFileSize(path, pathType);
    if (size < 0) {
        Log::error("Stream file \"%s\" could not be opened", resolved.getBuffer());
        return nullptr;
    }
    if (offset < 0 || offset >= size) {
        Log::error("Invalid offset %d for stream file \"%s\"", offset, resolved.getBuffer());
        return nullptr;
    }
    if (length < 1) length = size - offset;
    if (length > size - offset) {
        Log::error("Invalid length %d for stream file \"%s\"", length, resolved.getBuffer());
        return nullptr;
    }
    if (offset >= 1 && !extension) {
        Log::error("File extension must be specified for embedded stream file \"%s\"", resolved.getBuffer());
        return nullptr;
    }
    const char* type = extension ? extension : resolved.getExtension();
    if (!type) type = "";
    if (endsWith(type, "cks", false)) return Daz::CksStreamSound::create(path, pathType, offset, length);
    if (endsWith(type, "ogg", true)) return Daz::VorbisStreamSound::create(path, pathType, offset, length);
    if (endsWith(type, "ogg", false)) {
        // Only the lower-case extension names Ogg Vorbis; say so rather than fail silently.
        Log::warning(
            "Stream file \"%s\" has the extension \"%s\"; Ogg Vorbis streams need \"ogg\" in lower case",
            resolved.getBuffer(), type);
    }
    return nullptr;
}

namespace Daz {

StreamSound::StreamSound(AudioStream* stream) : GraphSound(&m_stream), m_stream(stream) {}

void StreamSound::setPlayPosition(int frame)
{
    m_pendingFrame = frame;
    m_pendingMs = -1.0f;
    if (isInitialized()) sendPendingPosition();
}

void StreamSound::setPlayPositionMs(float ms)
{
    m_pendingMs = ms;
    m_pendingFrame = -1;
    if (isInitialized()) sendPendingPosition();
}

void StreamSound::sendPendingPosition()
{
    if (m_pendingFrame < 0 && m_pendingMs < 0.0f) return;
    if (!isInitialized()) return;
    int frame = m_pendingFrame;
    if (frame < 0)
        frame = static_cast<int>(std::lround(static_cast<double>(getSampleRate()) * m_pendingMs * 0.001));
    m_pendingFrame = -1;
    m_pendingMs = -1.0f;
    post(SourceNode::kDecoderSeek, frame);
}

void StreamSound::updateSelf()
{
    GraphSound::updateSelf();
    sendPendingPosition();
}

template <typename SoundType> SoundType* StreamSound::adopt(AudioStream* stream)
{
    if (!stream) return nullptr;
    auto* sound = new SoundType(stream);
    if (!sound) delete stream;
    return sound;
}

CksStreamSound* CksStreamSound::create(const char* path, int pathType, int offset, int length)
{
    return adopt<CksStreamSound>(new CksAudioStream(path, pathType, offset, length));
}

VorbisStreamSound* VorbisStreamSound::create(const char* path, int pathType, int offset, int length)
{
    return adopt<VorbisStreamSound>(new VorbisAudioStream(path, pathType, offset, length));
}

CustomStreamSound* CustomStreamSound::create(CkCustomStream* stream)
{
    auto* audio = new CustomAudioStream(stream);
    if (!audio) delete stream;
    return adopt<CustomStreamSound>(audio);
}

} // namespace Daz
