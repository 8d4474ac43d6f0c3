#include "audio/GraphOutput.h"

#include "audio/AudioNode.h"
#include "audio/FileStream.h"
#include "audio/Log.h"
#include "audio/System.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace Daz {

namespace {

// A chain of sounds that end at once could hand over without end; a block
// takes at most this many follow-up passes.
constexpr int kMaxFollowUpPasses = 64;

} // namespace

int GraphOutput::blockFramesFor(float audioUpdateMs)
{
    return static_cast<int>(std::round(audioUpdateMs * 0.001f * static_cast<float>(System::kSampleRate)));
}

int GraphOutput::blockBytesFor(int frames)
{
    return (frames * 8 + 15) / 16 * 16;
}

GraphOutput::GraphOutput(int blockFrames) : m_blockFrames(blockFrames > 0 ? blockFrames : 1) {}

GraphOutput::~GraphOutput()
{
    closeCapture();
}

void GraphOutput::setPreRenderCallback(Callback callback, void* arg)
{
    m_preRender = callback;
    m_preRenderArg = arg;
}

void GraphOutput::setPostRenderCallback(Callback callback, void* arg)
{
    m_postRender = callback;
    m_postRenderArg = arg;
}

bool GraphOutput::start()
{
    if (m_running.load()) return true;
    // Running first: a device thread renders only while it is set.
    m_running = true;
    if (!startDevice()) {
        m_running = false;
        return false;
    }
    return true;
}

void GraphOutput::stop()
{
    if (m_running.load()) {
        m_running = false;
        stopDevice();
    }
    m_load = 0.0f;
    m_renderTimes.clear();
    m_intervals.clear();
    m_renderTimer.stop();
    m_intervalTimer.stop();
}

bool GraphOutput::openCapture(const char* path)
{
    std::lock_guard<std::mutex> lock(m_captureLock);
    delete m_capture;
    m_capture = new FileStream(path, FileStream::kWrite);
    if (m_capture && m_capture->isValid()) return true;
    delete m_capture;
    m_capture = nullptr;
    Log::error("Could not open capture file \"%s\"", path ? path : "");
    return false;
}

void GraphOutput::closeCapture()
{
    std::lock_guard<std::mutex> lock(m_captureLock);
    delete m_capture;
    m_capture = nullptr;
}

bool GraphOutput::isCapturing() const
{
    std::lock_guard<std::mutex> lock(m_captureLock);
    return m_capture != nullptr;
}

void GraphOutput::capture(const float* samples, int frames)
{
    std::lock_guard<std::mutex> lock(m_captureLock);
    if (!m_capture) return;
    const int bytes = frames * 2 * static_cast<int>(sizeof(float));
    if (m_capture->getPos() > INT_MAX - bytes) {
        Log::warning("Capture file is full; closing file");
    } else if (m_capture->write(samples, bytes) == bytes) {
        return;
    } else {
        Log::error("Capture failed; closing file");
    }
    delete m_capture;
    m_capture = nullptr;
}

void GraphOutput::render(float* out, int frames)
{
    m_renderTimes.add(m_renderTimer.getElapsedMs());
    m_intervals.add(m_intervalTimer.getElapsedMs());
    const float interval = m_intervals.getAverage();
    m_load = interval > 0.0f ? m_renderTimes.getAverage() / interval : 0.0f;
    m_intervalTimer.reset();
    m_intervalTimer.start();
    m_renderTimer.stop();
    m_renderTimer.reset();
    m_renderTimer.start();

    RenderContext& context = RenderContext::get();
    context.renderTimer = &m_renderTimer;
    if (m_preRender) m_preRender(m_preRenderArg);
    const int chunkFrames = context.pool ? context.pool->getMaxFrames() : frames;
    for (int done = 0; done < frames;) {
        const int chunk = frames - done < chunkFrames ? frames - done : chunkFrames;
        float* dest = out + 2 * done;
        if (context.fixedPoint)
            renderChunk<Fixed>(dest, chunk);
        else
            renderChunk<float>(dest, chunk);
        capture(dest, chunk);
        done += chunk;
    }
    if (m_postRender) m_postRender(m_postRenderArg);
    context.renderTimer = nullptr;
    m_renderTimer.stop();
    ++m_blocks;
}

template <typename S> void GraphOutput::renderChunk(float* out, int frames)
{
    const RenderContext& context = RenderContext::get();
    const Kernels<S>& kernels = context.kernels<S>();
    MixBuffer sum;
    if (m_root && context.pool) {
        bool due = false;
        sum = m_root->renderAs<S>(frames, false, due);
        // Sounds chained to ones that ended in this block start in it too.
        for (int pass = 0; due && pass < kMaxFollowUpPasses; ++pass) {
            due = false;
            MixBuffer more = m_root->renderAs<S>(frames, true, due);
            if (!more) continue;
            if (sum)
                kernels.add(sum.samples<S>(), more.samples<S>(), 2 * frames);
            else
                sum = std::move(more);
        }
    }
    if (!sum) {
        std::memset(out, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
        return;
    }
    S* samples = sum.samples<S>();
    bool clipped;
    if constexpr (std::is_same<S, float>::value) {
        clipped = kernels.clamp(samples, out, 2 * frames);
    } else {
        clipped = kernels.clamp(samples, samples, 2 * frames);
        kernels.toFloat(samples, out, 2 * frames);
    }
    if (clipped) m_clipped = true;
}

// ---- the dummy output

std::atomic<bool> GraphOutputDummy::s_exists{false};

GraphOutputDummy* GraphOutputDummy::create(int blockFrames, bool withThread)
{
    if (s_exists.exchange(true)) return nullptr;
    GraphOutputDummy* output = new GraphOutputDummy(blockFrames, withThread);
    if (!output) s_exists = false;
    return output;
}

GraphOutputDummy::GraphOutputDummy(int blockFrames, bool withThread)
    : GraphOutput(blockFrames), m_withThread(withThread), m_thread(&GraphOutputDummy::threadEntry)
{
}

GraphOutputDummy::~GraphOutputDummy()
{
    stop();
    s_exists = false;
}

bool GraphOutputDummy::startDevice()
{
    if (!m_withThread) return true;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = false;
    }
    return m_thread.start(this);
}

void GraphOutputDummy::stopDevice()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.signal();
    m_thread.join();
}

unsigned GraphOutputDummy::threadEntry(void* arg)
{
    static_cast<GraphOutputDummy*>(arg)->run();
    return 0;
}

void GraphOutputDummy::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop) {
        lock.unlock();
        if (isRunning()) render(m_scratch, kScratchFrames);
        lock.lock();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeriodMs);
        while (!m_stop && std::chrono::steady_clock::now() < deadline) m_wake.waitUntil(lock, deadline);
    }
}

// ---- the pumped output

bool GraphOutputPumped::pump(float* out, int frames)
{
    if (!isRunning()) return false;
    render(out, frames);
    return true;
}

} // namespace Daz
