// A synthetic sound for render tests: an audio source and its decoder in one,
// whose sample at (frame, channel) is given by a function.
#pragma once

#include "audio/AudioSource.h"

#include <atomic>
#include <cmath>
#include <functional>

class TestSource : public Daz::AudioSource, public Daz::Decoder {
  public:
    typedef std::function<float(int frame, int channel)> Wave;

    // `frames` < 0: without end.
    TestSource(int channels, int sampleRate, int frames, Wave wave)
        : m_frames(frames), m_wave(std::move(wave))
    {
        m_info.format = Daz::kFormat_PcmF32;
        m_info.channels = static_cast<std::uint8_t>(channels);
        m_info.sampleRate = static_cast<std::uint16_t>(sampleRate);
        m_info.blockFrames = 1;
        m_info.blockBytes = static_cast<std::uint16_t>(4 * channels);
        m_info.blocks = frames < 0 ? 0x7fffffff : frames;
    }

    static Wave constant(float value)
    {
        return [value](int, int) { return value; };
    }
    static Wave sine(float amplitude, float hz, int sampleRate)
    {
        return [=](int frame, int) {
            return amplitude *
                   static_cast<float>(std::sin(2.0 * 3.141592653589793 * hz * frame / sampleRate));
        };
    }

    // AudioSource
    const Daz::SampleInfo& getSampleInfo() const override { return m_info; }
    bool isReady() const override { return true; }
    bool isFailed() const override { return false; }
    void setLoopCount(int count) override { loopCount = count; }
    void releaseLoop() override { released = true; }
    void setLoop(int start, int end) override
    {
        loopStart = start;
        loopEnd = end;
    }
    void reset() override
    {
        m_pos = 0;
        ++resets;
    }
    // Both the source's and the decoder's.
    bool isAtEnd() const override { return m_frames >= 0 && m_pos >= m_frames; }
    // Its frames come through the decoder side; the block side only seeks.
    int read(void*, int) override { return 0; }
    void setBlockPos(int block) override { m_pos = block; }
    int getBlockPos() const override { return m_pos; }
    int getCurrentLoop() const override { return 0; }

    // Decoder
    int decode(float* out, int frames) override { return produce(out, frames, 1.0f); }
    int decode(Daz::Fixed* out, int frames) override { return produce(out, frames, 16777216.0f); }
    void setFramePos(int frame) override { m_pos = frame; }
    int getFramePos() const override { return m_pos; }
    int getFrames() const override { return m_frames; }

    int loopCount = 0;
    bool released = false;
    int loopStart = 0;
    int loopEnd = -1;
    int resets = 0;

  private:
    template <typename S> int produce(S* out, int frames, float scale)
    {
        const int pos = m_pos.load();
        int n = frames;
        if (m_frames >= 0 && pos + n > m_frames) n = m_frames - pos;
        if (n < 0) n = 0;
        const int channels = m_info.channels;
        for (int f = 0; f < n; ++f)
            for (int c = 0; c < channels; ++c)
                out[f * channels + c] = static_cast<S>(m_wave(pos + f, c) * scale);
        m_pos = pos + n;
        return n;
    }

    Daz::SampleInfo m_info;
    int m_frames;
    // Read by tests while a render thread plays the source.
    std::atomic<int> m_pos{0};
    Wave m_wave;
};
