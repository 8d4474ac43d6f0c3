#include "audio/BufferSource.h"

#include <cstring>

namespace Daz {

BufferSource::BufferSource(const SampleInfo& info, const unsigned char* data)
    : m_info(info), m_data(data), m_loopCount(info.loopCount), m_loopStart(info.loopStart),
      m_loopEnd(info.loopEnd)
{
}

void BufferSource::setLoop(int startFrame, int endFrame)
{
    m_loopStart = startFrame;
    m_loopEnd = endFrame;
}

void BufferSource::reset()
{
    m_cursor = 0;
    m_loopsDone = 0;
    m_released = false;
}

bool BufferSource::isLooping() const
{
    return !m_released && (m_loopCount < 0 || m_loopsDone.load() < m_loopCount);
}

bool BufferSource::isAtEnd() const
{
    if (m_info.blocks <= 0) return true;
    return !isLooping() && m_cursor.load() >= m_info.blocks;
}

void BufferSource::setBlockPos(int block)
{
    m_cursor = block < 0 ? 0 : block > m_info.blocks ? m_info.blocks : block;
}

int BufferSource::read(void* buffer, int blocks)
{
    const int total = m_info.blocks;
    if (blocks <= 0 || total <= 0) return 0;
    const LoopBlocks loop(m_info, total, m_loopStart, m_loopEnd);
    auto* out = static_cast<unsigned char*>(buffer);
    int cursor = m_cursor.load();
    int got = 0;
    while (got < blocks) {
        const bool looping = isLooping();
        const int limit = looping ? loop.wrapPoint(cursor, total) : total;
        int count = limit - cursor;
        if (count > blocks - got) count = blocks - got;
        if (count > 0) {
            std::memcpy(out + static_cast<long long>(got) * m_info.blockBytes,
                        m_data + static_cast<long long>(cursor) * m_info.blockBytes,
                        static_cast<std::size_t>(count) * m_info.blockBytes);
            cursor += count;
            got += count;
        }
        // Back to the loop start as soon as its end is reached, so that the
        // cursor always names the next block played.
        if (looping && cursor >= limit) {
            cursor = loop.start;
            ++m_loopsDone;
        } else if (count <= 0) {
            break;
        }
    }
    m_cursor = cursor;
    return got;
}

} // namespace Daz
