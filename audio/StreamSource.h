// The audio source of a stream sound: a ring buffer that the stream file
// thread fills from an audio stream and the render thread reads from. The
// loop is followed while filling; the play position follows it while reading.
#pragma once

#include "audio/AudioSource.h"
#include "audio/AudioStream.h"
#include "audio/RingBuffer.h"
#include "audio/StreamFileThread.h"

#include <atomic>
#include <mutex>

namespace Daz {

class StreamSource : public AudioSource, public StreamListMember {
  public:
    // Takes the stream over and joins the stream list.
    explicit StreamSource(AudioStream* stream);
    // Leaves the stream list first, so that no refill runs on a dying source.
    ~StreamSource() override;

    const SampleInfo& getSampleInfo() const override { return m_info; }
    // Opened, filled once and not failed.
    bool isReady() const override { return m_ready.load() && !m_failed.load(); }
    bool isFailed() const override { return m_failed.load(); }
    void setLoopCount(int count) override;
    void releaseLoop() override;
    void setLoop(int startFrame, int endFrame) override;
    void reset() override;
    bool isAtEnd() const override { return m_finished.load(); }
    int read(void* buffer, int blocks) override;
    void setBlockPos(int block) override;
    int getBlockPos() const override { return m_pos.load(); }
    int getCurrentLoop() const override { return m_loopsDone.load(); }

    // The refill step, on the stream file thread.
    void fileUpdate() override;

    int getCapacity() const { return m_ring.getCapacity(); }
    int getBufferedBytes() const { return m_ring.getFilled(); }
    AudioStream* getStream() const { return m_stream; }

    // The ring's size for `bufferMs` of the stream, in whole blocks.
    static int capacityFor(const SampleInfo& info, float bufferMs);

  private:
    bool openStream();
    void fill(std::unique_lock<std::mutex>& lock);
    // The loop in blocks; under the lock.
    LoopBlocks loopBlocks() const { return LoopBlocks(m_info, m_info.blocks, m_loopStart, m_loopEnd); }
    void advance(int blocks);

    AudioStream* m_stream;
    // Taken by the refill and by the render thread's calls; after the stream list lock.
    std::mutex m_lock;
    SampleInfo m_info;
    RingBuffer m_ring;
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_pos{0};
    std::atomic<int> m_loopsDone{0};
    // Under the lock from here on.
    bool m_buffered = false; // the ring holds data for the play position
    bool m_resetRequested = false;
    int m_seekTarget = 0;
    int m_loopCount = 0;
    int m_loopStart = 0;
    int m_loopEnd = -1;
    bool m_loopSet = false;
    bool m_loopCountSet = false;
    bool m_released = false;
    bool m_endOfData = false;
    int m_fillLoops = 0;
    bool m_underrunWarned = false;
};

} // namespace Daz
