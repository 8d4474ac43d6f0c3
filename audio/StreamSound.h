// Sounds of streams: a stream source over a .cks file, an Ogg Vorbis file or
// the program's own stream. The stream opens later, on the stream file thread.
#pragma once

#include "audio/GraphSound.h"
#include "audio/StreamSource.h"

class CkCustomStream;

namespace Daz {

class StreamSound : public GraphSound {
  public:
    // Kept until the sound can seek, then sent to its decoder.
    void setPlayPosition(int frame) override;
    void setPlayPositionMs(float ms) override;

    const StreamSource& getStreamSource() const { return m_stream; }
    StreamSource& getStreamSource() { return m_stream; }

  protected:
    explicit StreamSound(AudioStream* stream);
    // The sound around a new stream; the stream goes when the sound cannot be had.
    template <typename SoundType> static SoundType* adopt(AudioStream* stream);

    bool refusesLoopChange() const override { return true; }
    void beforeStart() override { sendPendingPosition(); }
    void updateSelf() override;

  private:
    void sendPendingPosition();

    StreamSource m_stream;
    int m_pendingFrame = -1;
    float m_pendingMs = -1.0f;
};

class CksStreamSound : public StreamSound {
  public:
    static CksStreamSound* create(const char* path, int pathType, int offset, int length);

  protected:
    bool isChainable() const override { return true; }

  private:
    friend class StreamSound;
    explicit CksStreamSound(AudioStream* stream) : StreamSound(stream) {}
};

class VorbisStreamSound : public StreamSound {
  public:
    static VorbisStreamSound* create(const char* path, int pathType, int offset, int length);

  protected:
    bool isChainable() const override { return true; }

  private:
    friend class StreamSound;
    explicit VorbisStreamSound(AudioStream* stream) : StreamSound(stream) {}
};

class CustomStreamSound : public StreamSound {
  public:
    // Takes the program's stream over; null when memory runs out.
    static CustomStreamSound* create(CkCustomStream* stream);

  protected:
    bool isChainable() const override { return false; }

  private:
    friend class StreamSound;
    explicit CustomStreamSound(AudioStream* stream) : StreamSound(stream) {}
};

} // namespace Daz
