// Output devices: they pull the render graph a block at a time and hand the
// float stereo result on. The base keeps the timing statistics, the clip flag
// and an optional capture of everything rendered.
#pragma once

#include "audio/Allocatable.h"
#include "audio/Thread.h"

#include <atomic>
#include <mutex>

namespace Daz {

class AudioNode;
class FileStream;

class GraphOutput : public Allocatable {
  public:
    typedef void (*Callback)(void* arg);

    // The engine's block: `audioUpdateMs` at the output rate, rounded half away from zero.
    static int blockFramesFor(float audioUpdateMs);
    // The bytes of one block of float stereo frames, a multiple of 16.
    static int blockBytesFor(int frames);

    explicit GraphOutput(int blockFrames);
    GraphOutput(const GraphOutput&) = delete;
    GraphOutput& operator=(const GraphOutput&) = delete;
    virtual ~GraphOutput();

    void setRoot(AudioNode* root) { m_root = root; }
    AudioNode* getRoot() const { return m_root; }
    // Called before and after each block, on the thread that renders.
    void setPreRenderCallback(Callback callback, void* arg);
    void setPostRenderCallback(Callback callback, void* arg);

    // False when the device could not start.
    bool start();
    void stop();
    bool isRunning() const { return m_running.load(); }
    // Whether blocks are rendered on a thread of the output's own.
    virtual bool hasThread() const = 0;

    int getBlockFrames() const { return m_blockFrames; }
    bool isClipped() const { return m_clipped.load(); }
    void clearClipped() { m_clipped = false; }
    // Average render time over the average interval between blocks.
    float getRenderLoad() const { return m_load.load(); }
    long long getBlockCount() const { return m_blocks.load(); }

    // Every block rendered from now on is also written to `path` as raw float
    // stereo frames. False (and an error line) when the file cannot be made.
    bool openCapture(const char* path);
    void closeCapture();
    bool isCapturing() const;

    // One render pass of `frames` frames into `out`, clamped, as float stereo.
    void render(float* out, int frames);

  protected:
    virtual bool startDevice() = 0;
    virtual void stopDevice() = 0;

  private:
    template <typename S> void renderChunk(float* out, int frames);
    void capture(const float* samples, int frames);

    int m_blockFrames;
    AudioNode* m_root = nullptr;
    Callback m_preRender = nullptr;
    void* m_preRenderArg = nullptr;
    Callback m_postRender = nullptr;
    void* m_postRenderArg = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_clipped{false};
    Timer m_renderTimer;
    Timer m_intervalTimer;
    std::atomic<float> m_load{0.0f};
    MovingAverage<50> m_renderTimes;
    MovingAverage<50> m_intervals;
    std::atomic<long long> m_blocks{0};
    mutable std::mutex m_captureLock;
    FileStream* m_capture = nullptr;
};

// Renders nothing unless asked for a thread: then, while running, 256 frames
// into a scratch buffer every 100 ms. Only one exists at a time.
class GraphOutputDummy : public GraphOutput {
  public:
    static constexpr int kScratchFrames = 256;
    static constexpr int kPeriodMs = 100;

    // Null when one already exists.
    static GraphOutputDummy* create(int blockFrames, bool withThread);
    ~GraphOutputDummy() override;

    bool hasThread() const override { return m_withThread; }

  protected:
    bool startDevice() override;
    void stopDevice() override;

  private:
    GraphOutputDummy(int blockFrames, bool withThread);
    static unsigned threadEntry(void* arg);
    void run();

    bool m_withThread;
    float m_scratch[2 * kScratchFrames] = {};
    Thread m_thread;
    bool m_stop = false;
    std::mutex m_lock;
    Condition m_wake;
    static std::atomic<bool> s_exists;
};

// No thread: whoever holds it pumps the blocks and reads the samples.
class GraphOutputPumped : public GraphOutput {
  public:
    explicit GraphOutputPumped(int blockFrames) : GraphOutput(blockFrames) {}

    bool hasThread() const override { return false; }
    // One render pass into `out`; false and nothing rendered while stopped.
    bool pump(float* out, int frames);

  protected:
    bool startDevice() override { return true; }
    void stopDevice() override {}
};

} // namespace Daz
