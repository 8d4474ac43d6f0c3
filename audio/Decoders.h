// The decoders of the four sample formats. Each reads blocks from its audio
// source into the pipeline buffer it is given and widens them in place.
#pragma once

#include "audio/Adpcm.h"
#include "audio/Allocatable.h"
#include "audio/AudioSource.h"

#include <atomic>
#include <cstdint>

namespace Daz {

// The PCM formats: a block is one frame, converted by the pipeline's kernel.
template <int Format> class PcmDecoder : public Decoder, public Allocatable {
  public:
    explicit PcmDecoder(AudioSource* source) : m_source(source) {}

    int decode(float* out, int frames) override { return decodeAs(out, frames); }
    int decode(Fixed* out, int frames) override { return decodeAs(out, frames); }
    bool isAtEnd() const override { return m_source->isAtEnd(); }
    void setFramePos(int frame) override { m_source->setBlockPos(frame); }
    int getFramePos() const override { return m_source->getBlockPos(); }
    int getFrames() const override { return m_source->getSampleInfo().getFrames(); }

  private:
    template <typename S> int decodeAs(S* out, int frames);

    AudioSource* m_source;
};

typedef PcmDecoder<kFormat_PcmI16> PcmI16Decoder;
typedef PcmDecoder<kFormat_PcmI8> PcmI8Decoder;
typedef PcmDecoder<kFormat_PcmF32> PcmF32Decoder;

// Adaptive delta: one decoded block of 36 frames is kept, and frames are
// handed out of it until it is used up.
class AdpcmDecoder : public Decoder, public Allocatable {
  public:
    explicit AdpcmDecoder(AudioSource* source) : m_source(source) {}

    int decode(float* out, int frames) override { return decodeAs(out, frames); }
    int decode(Fixed* out, int frames) override { return decodeAs(out, frames); }
    bool isAtEnd() const override { return !m_loaded && m_source->isAtEnd(); }
    void setFramePos(int frame) override;
    int getFramePos() const override { return m_framePos.load(); }
    int getFrames() const override { return m_source->getSampleInfo().getFrames(); }

    // The block the kept frames come from and the next frame in it.
    int getBlockIndex() const { return m_block; }
    int getFrameInBlock() const { return m_frameInBlock; }
    bool isBlockLoaded() const { return m_loaded; }

  private:
    template <typename S> int decodeAs(S* out, int frames);
    bool loadBlock();
    void updateFramePos();

    AudioSource* m_source;
    std::int16_t m_frames[Adpcm::kBlockFrames * Adpcm::kMaxChannels] = {};
    unsigned char m_raw[Adpcm::kChannelBlockBytes * Adpcm::kMaxChannels] = {};
    int m_block = 0;
    int m_frameInBlock = 0;
    bool m_loaded = false;
    // Read by the sound on the program's thread.
    std::atomic<int> m_framePos{0};
};

} // namespace Daz
