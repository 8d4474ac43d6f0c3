#include "audio/GraphOutputAlsa.h"

#include "audio/Log.h"
#include "audio/Memory.h"
#include "audio/System.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstring>

namespace Daz {

namespace {

// Blocks of buffer the device is asked to keep.
constexpr int kBufferBlocks = 4;
// A device that takes blocks at once is caught up with after a short stall
// of the render thread, but not after a long one.
constexpr double kCatchUpMs = 250.0;

// alsa-lib writes its own complaints to standard error; the engine reports
// failures through its log instead.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa()
{
    static const bool silenced = (snd_lib_error_set_handler(&quietAlsa), true);
    (void)silenced;
}

double framesToMs(long long frames)
{
    return static_cast<double>(frames) * 1000.0 / System::kSampleRate;
}

} // namespace

// ---- the device

AlsaPcm* AlsaPcm::open(const char* name, int blockFrames, const char** reason)
{
    silenceAlsa();
    snd_pcm_t* handle = nullptr;
    int result = snd_pcm_open(&handle, name, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (result < 0) {
        *reason = snd_strerror(result);
        return nullptr;
    }
    const unsigned latencyUs = static_cast<unsigned>(static_cast<long long>(blockFrames) * kBufferBlocks *
                                                     1000000 / System::kSampleRate);
    bool isFloat = true;
    result = snd_pcm_set_params(handle, SND_PCM_FORMAT_FLOAT_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                                System::kSampleRate, 1, latencyUs);
    if (result < 0) {
        isFloat = false;
        result = snd_pcm_set_params(handle, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                                    System::kSampleRate, 1, latencyUs);
    }
    if (result < 0) {
        *reason = snd_strerror(result);
        snd_pcm_close(handle);
        return nullptr;
    }
    snd_pcm_uframes_t bufferFrames = 0;
    snd_pcm_uframes_t periodFrames = 0;
    if (snd_pcm_get_params(handle, &bufferFrames, &periodFrames) < 0 || bufferFrames == 0)
        bufferFrames = static_cast<snd_pcm_uframes_t>(blockFrames) * kBufferBlocks;
    AlsaPcm* pcm = new AlsaPcm(handle, isFloat, static_cast<int>(bufferFrames));
    if (!pcm) {
        *reason = "out of memory";
        snd_pcm_close(handle);
    }
    return pcm;
}

bool AlsaPcm::probe(const char* name)
{
    silenceAlsa();
    snd_pcm_t* handle = nullptr;
    if (snd_pcm_open(&handle, name, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
    snd_pcm_close(handle);
    return true;
}

AlsaPcm::~AlsaPcm()
{
    snd_pcm_close(m_handle);
}

// ---- the output

GraphOutputAlsa* GraphOutputAlsa::create(AlsaPcm* pcm, int blockFrames)
{
    GraphOutputAlsa* output = new GraphOutputAlsa(pcm, blockFrames);
    if (!output) {
        delete pcm;
        return nullptr;
    }
    if (!output->m_block || (!pcm->isFloat() && !output->m_block16)) {
        delete output;
        return nullptr;
    }
    return output;
}

GraphOutputAlsa::GraphOutputAlsa(AlsaPcm* pcm, int blockFrames)
    : GraphOutput(blockFrames), m_pcm(pcm), m_thread(&GraphOutputAlsa::threadEntry)
{
    m_thread.setName("CK render");
    m_block = static_cast<float*>(Memory::allocAligned(blockBytesFor(getBlockFrames()), 16));
    if (!pcm->isFloat())
        m_block16 = static_cast<short*>(
            Memory::alloc(sizeof(short) * 2 * static_cast<std::size_t>(getBlockFrames())));
}

GraphOutputAlsa::~GraphOutputAlsa()
{
    stop();
    delete m_pcm;
    Memory::free(m_block);
    Memory::free(m_block16);
}

bool GraphOutputAlsa::startDevice()
{
    // A device that failed is tried afresh at each start.
    m_failed = false;
    int result = snd_pcm_prepare(m_pcm->getHandle());
    if (result < 0) Log::warning("Could not prepare the audio device (%s)", snd_strerror(result));
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = false;
    }
    // One silent block first, so the device has something while the first one renders.
    std::memset(m_block, 0, sizeof(float) * 2 * static_cast<std::size_t>(getBlockFrames()));
    m_anchor = Clock::now();
    m_written = 0;
    write(getBlockFrames());
    return m_thread.start(this);
}

void GraphOutputAlsa::stopDevice()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.signal();
    m_thread.join();
    snd_pcm_drop(m_pcm->getHandle());
}

unsigned GraphOutputAlsa::threadEntry(void* arg)
{
    static_cast<GraphOutputAlsa*>(arg)->run();
    return 0;
}

void GraphOutputAlsa::run()
{
    const int frames = getBlockFrames();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stop) return;
        }
        // Between a stop and the join the block goes out silent, never stale.
        if (isRunning())
            render(m_block, frames);
        else
            std::memset(m_block, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
        write(frames);
        pace();
    }
}

void GraphOutputAlsa::write(int frames)
{
    m_written += frames;
    if (m_failed) return;
    snd_pcm_t* handle = m_pcm->getHandle();
    const void* data = m_block;
    int frameBytes = 2 * static_cast<int>(sizeof(float));
    if (!m_pcm->isFloat()) {
        for (int i = 0; i < 2 * frames; ++i) m_block16[i] = static_cast<short>(m_block[i] * 32767.0f);
        data = m_block16;
        frameBytes = 2 * static_cast<int>(sizeof(short));
    }
    const int waitMs = static_cast<int>(framesToMs(frames)) + 1;
    // A device that stays full for this long takes nothing: the rest of the block is dropped.
    int waitsLeft = kBufferBlocks + 1;
    for (int done = 0; done < frames;) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stop) return;
        }
        const snd_pcm_sframes_t result =
            snd_pcm_writei(handle, static_cast<const char*>(data) + done * frameBytes,
                           static_cast<snd_pcm_uframes_t>(frames - done));
        if (result > 0) {
            done += static_cast<int>(result);
            waitsLeft = kBufferBlocks + 1;
        } else if (result == 0 || result == -EAGAIN) {
            // Full: the device keeps the pace. The wait is bounded, so a stop is seen.
            m_deviceWaited = true;
            if (--waitsLeft < 0) return;
            snd_pcm_wait(handle, waitMs);
        } else if (snd_pcm_recover(handle, static_cast<int>(result), 1) < 0) {
            Log::error("Audio device failed (%s); rendering goes on without sound",
                       snd_strerror(static_cast<int>(result)));
            m_failed = true;
            return;
        }
    }
}

void GraphOutputAlsa::pace()
{
    const double bufferMs = framesToMs(m_pcm->getBufferFrames());
    const Clock::time_point now = Clock::now();
    if (m_deviceWaited) {
        // The device is full: its clock leads, and ours follows it.
        m_deviceWaited = false;
        m_anchor = now - std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double, std::milli>(framesToMs(m_written) - bufferMs));
        return;
    }
    const double elapsedMs = std::chrono::duration<double, std::milli>(now - m_anchor).count();
    const double aheadMs = framesToMs(m_written) - elapsedMs;
    if (aheadMs < -kCatchUpMs) {
        // Far behind (the machine stalled): start afresh rather than rush to catch up.
        m_anchor = now;
        m_written = 0;
        return;
    }
    if (aheadMs <= bufferMs) return;
    const Clock::time_point until = now + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double, std::milli>(aheadMs - bufferMs));
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop && Clock::now() < until) m_wake.waitUntil(lock, until);
}

} // namespace Daz
