// The audio source of a bank sound: the blocks of one sample straight from
// the bank's memory, looped in place.
#pragma once

#include "audio/AudioSource.h"

#include <atomic>

namespace Daz {

class BufferSource : public AudioSource {
  public:
    // The data holds info.blocks blocks and outlives the source's reads.
    BufferSource(const SampleInfo& info, const unsigned char* data);

    const SampleInfo& getSampleInfo() const override { return m_info; }
    bool isReady() const override { return true; }
    bool isFailed() const override { return false; }
    void setLoopCount(int count) override { m_loopCount = count; }
    void releaseLoop() override { m_released = true; }
    void setLoop(int startFrame, int endFrame) override;
    void reset() override;
    bool isAtEnd() const override;
    int read(void* buffer, int blocks) override;
    void setBlockPos(int block) override;
    int getBlockPos() const override { return m_cursor.load(); }
    int getCurrentLoop() const override { return m_loopsDone.load(); }

  private:
    bool isLooping() const;

    SampleInfo m_info;
    const unsigned char* m_data;
    // The render thread moves these; the program's thread reads them.
    std::atomic<int> m_cursor{0};
    std::atomic<int> m_loopsDone{0};
    int m_loopCount;
    int m_loopStart;
    int m_loopEnd;
    bool m_released = false;
};

} // namespace Daz
