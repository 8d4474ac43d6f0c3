#include "audio/Decoders.h"

#include "audio/AudioNode.h"

namespace Daz {

namespace {

template <typename S> void convert(int format, S* buffer, int count)
{
    const Kernels<S>& kernels = RenderContext::get().kernels<S>();
    switch (format) {
    case kFormat_PcmI16:
        kernels.convertI16(buffer, count);
        break;
    case kFormat_PcmI8:
        kernels.convertI8(buffer, count);
        break;
    case kFormat_PcmF32:
        kernels.convertF32(buffer, count);
        break;
    default:
        break;
    }
}

} // namespace

template <int Format> template <typename S> int PcmDecoder<Format>::decodeAs(S* out, int frames)
{
    if (frames <= 0) return 0;
    const int got = m_source->read(out, frames);
    if (got > 0) convert(Format, out, got * m_source->getSampleInfo().channels);
    return got > 0 ? got : 0;
}

template class PcmDecoder<kFormat_PcmI16>;
template class PcmDecoder<kFormat_PcmI8>;
template class PcmDecoder<kFormat_PcmF32>;

void AdpcmDecoder::setFramePos(int frame)
{
    if (frame < 0) frame = 0;
    m_block = frame / Adpcm::kBlockFrames;
    m_source->setBlockPos(m_block);
    m_frameInBlock = frame - Adpcm::kBlockFrames * m_block;
    m_loaded = false;
    updateFramePos();
}

void AdpcmDecoder::updateFramePos()
{
    const int block = m_loaded || m_frameInBlock > 0 ? m_block : m_source->getBlockPos();
    m_framePos = block * Adpcm::kBlockFrames + m_frameInBlock;
}

bool AdpcmDecoder::loadBlock()
{
    // The source wraps its loop before a read, so where it stands is the block read.
    const int block = m_source->getBlockPos();
    if (m_source->read(m_raw, 1) != 1) return false;
    Adpcm::decodeBlock(m_raw, m_source->getSampleInfo().channels, m_frames);
    m_block = block;
    m_loaded = true;
    return true;
}

template <typename S> int AdpcmDecoder::decodeAs(S* out, int frames)
{
    const int channels = m_source->getSampleInfo().channels;
    // The frames are gathered as 16-bit samples at the start of the buffer,
    // then widened in place like PCM.
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    int done = 0;
    while (done < frames) {
        if (!m_loaded && !loadBlock()) break;
        int count = Adpcm::kBlockFrames - m_frameInBlock;
        if (count > frames - done) count = frames - done;
        const std::int16_t* from = m_frames + m_frameInBlock * channels;
        unsigned char* to = bytes + 2 * done * channels;
        for (int i = 0; i < count * channels; ++i)
            LittleEndian::put16(to + 2 * i, static_cast<std::uint16_t>(from[i]));
        done += count;
        m_frameInBlock += count;
        if (m_frameInBlock == Adpcm::kBlockFrames) {
            m_frameInBlock = 0;
            m_loaded = false;
        }
    }
    if (done > 0) convert(kFormat_PcmI16, out, done * channels);
    updateFramePos();
    return done;
}

template int AdpcmDecoder::decodeAs<float>(float*, int);
template int AdpcmDecoder::decodeAs<Fixed>(Fixed*, int);

Decoder* createDecoder(AudioSource* source)
{
    if (!source) return nullptr;
    switch (source->getSampleInfo().format) {
    case kFormat_PcmI16:
        return new PcmI16Decoder(source);
    case kFormat_PcmI8:
        return new PcmI8Decoder(source);
    case kFormat_Adpcm:
        return new AdpcmDecoder(source);
    case kFormat_PcmF32:
        return new PcmF32Decoder(source);
    default:
        return nullptr;
    }
}

} // namespace Daz
