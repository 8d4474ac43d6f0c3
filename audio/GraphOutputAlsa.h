// The output on Linux: an ALSA playback device fed by a render thread of the
// output's own, one block at a time, as float stereo at 48000 frames per second
// (16-bit where the device takes no float).
#pragma once

#include "audio/GraphOutput.h"

#include <chrono>

typedef struct _snd_pcm snd_pcm_t;

namespace Daz {

// An open playback device set up for the engine's format.
class AlsaPcm : public Allocatable {
  public:
    // Null when the device does not open or takes neither format; `reason` then says why.
    static AlsaPcm* open(const char* name, int blockFrames, const char** reason);
    // Whether a device of that name opens at all.
    static bool probe(const char* name);
    ~AlsaPcm();

    snd_pcm_t* getHandle() const { return m_handle; }
    bool isFloat() const { return m_float; }
    int getBufferFrames() const { return m_bufferFrames; }

  private:
    AlsaPcm(snd_pcm_t* handle, bool isFloat, int bufferFrames)
        : m_handle(handle), m_float(isFloat), m_bufferFrames(bufferFrames)
    {
    }

    snd_pcm_t* m_handle;
    bool m_float;
    int m_bufferFrames;
};

class GraphOutputAlsa : public GraphOutput {
  public:
    // Takes the device over; null when the buffers cannot be had.
    static GraphOutputAlsa* create(AlsaPcm* pcm, int blockFrames);
    ~GraphOutputAlsa() override;

    bool hasThread() const override { return true; }

  protected:
    bool startDevice() override;
    void stopDevice() override;

  private:
    typedef std::chrono::steady_clock Clock;

    GraphOutputAlsa(AlsaPcm* pcm, int blockFrames);
    static unsigned threadEntry(void* arg);
    void run();
    // The block to the device; the device's own pace, when it keeps one, is followed.
    void write(int frames);
    // A device that takes blocks at once is held to the clock.
    void pace();

    AlsaPcm* m_pcm;
    float* m_block = nullptr;
    short* m_block16 = nullptr;
    Thread m_thread;
    bool m_stop = false;
    std::mutex m_lock;
    Condition m_wake;
    // Pacing: frames handed over since the anchor, and whether the device made us wait.
    Clock::time_point m_anchor;
    long long m_written = 0;
    bool m_deviceWaited = false;
    bool m_failed = false;
};

} // namespace Daz
