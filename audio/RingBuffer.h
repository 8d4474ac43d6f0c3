// The ring buffer of a stream source: one writer (the stream file thread) and
// one reader (the render thread). Only the filled count is shared between
// them, under a lock of its own, so neither waits for the other's copying.
#pragma once

#include <mutex>

namespace Daz {

class RingBuffer {
  public:
    RingBuffer() = default;
    RingBuffer(const RingBuffer&) = delete;
    RingBuffer& operator=(const RingBuffer&) = delete;
    ~RingBuffer();

    // Memory for `capacity` bytes from the engine allocator; false when it cannot be had.
    bool allocate(int capacity);
    int getCapacity() const { return m_capacity; }
    int getFilled() const;
    // Empties the ring; neither side may be at work meanwhile.
    void clear();

    // Reader: copies up to `bytes` bytes out, from two spans when the data wraps.
    int read(void* out, int bytes);
    // Reader: drops up to `bytes` bytes.
    int skip(int bytes);

    // Writer: the free bytes that follow the write position without a wrap.
    int getWriteSpan(unsigned char*& span) const;
    // Writer: the first `bytes` bytes of the span now hold data.
    void commitWrite(int bytes);

  private:
    int take(unsigned char* out, int bytes);

    unsigned char* m_memory = nullptr;
    int m_capacity = 0;
    int m_read = 0;
    int m_write = 0;
    int m_filled = 0;
    mutable std::mutex m_countLock;
};

} // namespace Daz
