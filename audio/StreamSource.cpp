#include "audio/StreamSource.h"

#include "audio/Log.h"
#include "audio/System.h"

#include <cmath>

namespace Daz {

namespace {

constexpr float kDefaultBufferMs = 500.0f;

} // namespace

StreamSource::StreamSource(AudioStream* stream) : m_stream(stream)
{
    StreamList::add(this);
}

StreamSource::~StreamSource()
{
    StreamList::remove(this);
    delete m_stream;
}

int StreamSource::capacityFor(const SampleInfo& info, float bufferMs)
{
    if (info.blockBytes == 0 || info.blockFrames == 0) return 0;
    const double bytesPerSecond =
        static_cast<double>(info.sampleRate) * info.blockBytes / static_cast<double>(info.blockFrames);
    const long long bytes = std::llround(static_cast<double>(bufferMs) * 0.001 * bytesPerSecond);
    long long blocks = bytes / info.blockBytes;
    // However short the time asked for, a block must fit.
    if (blocks < 1) blocks = 1;
    const long long capacity = blocks * info.blockBytes;
    return capacity > 0x7fffffff ? 0x7fffffff / info.blockBytes * info.blockBytes
                                 : static_cast<int>(capacity);
}

void StreamSource::setLoopCount(int count)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_loopCount = count;
    m_loopCountSet = true;
}

void StreamSource::releaseLoop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_released = true;
}

void StreamSource::setLoop(int startFrame, int endFrame)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_loopStart = startFrame;
    m_loopEnd = endFrame;
    m_loopSet = true;
}

void StreamSource::reset()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_opened.load()) return;
    // The refill empties the ring and starts the stream over.
    m_resetRequested = true;
    m_seekTarget = 0;
    m_buffered = false;
    m_pos = 0;
    m_loopsDone = 0;
    m_endOfData = false;
    m_finished = false;
    m_released = false;
}

void StreamSource::advance(int blocks)
{
    const LoopBlocks loop = loopBlocks();
    const int total = m_info.blocks;
    int pos = m_pos.load();
    // The position wraps where the refill looped the stream back, and only there.
    for (;;) {
        const int wrapAt = loop.wrapPoint(pos, total);
        if (pos >= wrapAt && m_loopsDone.load() < m_fillLoops) {
            pos = loop.start;
            ++m_loopsDone;
            continue;
        }
        if (blocks <= 0) break;
        const int step = wrapAt - pos < blocks ? wrapAt - pos : blocks;
        if (step <= 0) {
            pos += blocks;
            break;
        }
        pos += step;
        blocks -= step;
    }
    m_pos = pos;
}

int StreamSource::read(void* buffer, int blocks)
{
    std::lock_guard<std::mutex> lock(m_lock);
    // Silence, and no underrun, while a seek or a restart waits for the refill.
    if (!m_ready.load() || !m_buffered || m_resetRequested || blocks <= 0) return 0;
    const int got = m_ring.read(buffer, blocks * m_info.blockBytes) / m_info.blockBytes;
    advance(got);
    if (got == blocks) {
        m_underrunWarned = false;
    } else if (m_endOfData) {
        m_finished = true;
        m_pos = 0;
    } else if (!m_underrunWarned) {
        Log::warning("Stream buffer underrun! Try increasing CkConfig.streamBufferMs.");
        m_underrunWarned = true;
    }
    return got;
}

void StreamSource::setBlockPos(int block)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (block < 0) block = 0;
    if (m_opened.load() && block > m_info.blocks) block = m_info.blocks;
    const int pos = m_pos.load();
    if (m_opened.load() && m_buffered && !m_resetRequested && block >= pos) {
        const int buffered = m_ring.getFilled() / m_info.blockBytes;
        const int wrapAt = loopBlocks().wrapPoint(pos, m_info.blocks);
        // Ahead in the ring, and not past a point where the refill looped back.
        if (block - pos < buffered && (block < wrapAt || m_loopsDone.load() == m_fillLoops)) {
            m_ring.skip((block - pos) * m_info.blockBytes);
            m_pos = block;
            if (!m_endOfData && m_ring.getFilled() < m_ring.getCapacity() / 2) m_buffered = false;
            return;
        }
    }
    m_resetRequested = true;
    m_seekTarget = block;
    m_buffered = false;
    m_pos = block;
    m_finished = false;
}

bool StreamSource::openStream()
{
    if (!m_stream || !m_stream->open()) return false;
    m_info = m_stream->getSampleInfo();
    m_info.blocks = m_stream->getTotalBlocks();
    const System* system = System::get();
    const float bufferMs = system ? system->getConfig().streamBufferMs : kDefaultBufferMs;
    if (!m_ring.allocate(capacityFor(m_info, bufferMs))) return false;
    if (!m_loopSet) {
        m_loopStart = m_info.loopStart;
        m_loopEnd = m_info.loopEnd;
    }
    if (!m_loopCountSet) m_loopCount = m_info.loopCount;
    // Such a loop would repeat the last block as a buzz.
    if (m_loopStart >= m_info.getFrames()) {
        Log::warning("Loop start frame %d is at or beyond the end of the stream (%d frames)", m_loopStart,
                     m_info.getFrames());
    }
    m_opened = true;
    return true;
}

void StreamSource::fileUpdate()
{
    if (m_failed.load()) return;
    std::unique_lock<std::mutex> lock(m_lock);
    if (!m_opened.load() && !openStream()) {
        m_failed = true;
        return;
    }
    if (m_resetRequested) {
        m_ring.clear();
        m_stream->setBlockPos(m_seekTarget);
        m_pos = m_stream->getBlockPos();
        m_fillLoops = m_loopsDone.load();
        m_endOfData = false;
        m_resetRequested = false;
    }
    if (!m_endOfData && m_ring.getFilled() < m_ring.getCapacity() / 2) fill(lock);
    if (m_failed.load() || m_resetRequested) return;
    m_buffered = true;
    m_ready = true;
}

void StreamSource::fill(std::unique_lock<std::mutex>& lock)
{
    const int blockBytes = m_info.blockBytes;
    const int total = m_info.blocks;
    bool loopedOnNothing = false;
    for (;;) {
        unsigned char* span;
        int want = m_ring.getWriteSpan(span) / blockBytes;
        if (want <= 0) return;
        const LoopBlocks loop = loopBlocks();
        const bool looping = !m_released && (m_loopCount < 0 || m_fillLoops < m_loopCount);
        const int pos = m_stream->getBlockPos();
        const int wrapAt = loop.wrapPoint(pos, total);
        if (looping && wrapAt - pos < want) want = wrapAt - pos > 0 ? wrapAt - pos : 0;
        int got = 0;
        if (want > 0) {
            // The disk is read outside the section: the render thread never waits for it.
            lock.unlock();
            got = m_stream->read(span, want);
            lock.lock();
        }
        if (got > 0) m_ring.commitWrite(got * blockBytes);
        if (m_stream->isFailed()) {
            m_failed = true;
            return;
        }
        // A seek or restart came meanwhile: the next pass starts over.
        if (m_resetRequested) return;
        if (looping && (pos + got >= wrapAt || got < want)) {
            // A loop that yields nothing at all would spin here.
            if (got == 0 && loopedOnNothing) {
                m_endOfData = true;
                return;
            }
            loopedOnNothing = got == 0;
            m_stream->setBlockPos(loop.start);
            ++m_fillLoops;
            continue;
        }
        loopedOnNothing = false;
        if (got < want) {
            m_endOfData = true;
            return;
        }
    }
}

} // namespace Daz
