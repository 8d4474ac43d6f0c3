// The mix buffer pool: sample buffers of one capacity, lent out to the render
// graph by shared handles and recycled when the last handle lets go. Only the
// render thread touches it while the engine renders.
#pragma once

#include "audio/Allocatable.h"
#include "audio/Kernels.h"

namespace Daz {

class MixBufferPool;

// A shared handle to a pool buffer; empty when the node produced nothing.
class MixBuffer {
  public:
    MixBuffer() = default;
    MixBuffer(const MixBuffer& other);
    MixBuffer& operator=(const MixBuffer& other);
    MixBuffer(MixBuffer&& other) noexcept;
    MixBuffer& operator=(MixBuffer&& other) noexcept;
    ~MixBuffer() { release(); }

    explicit operator bool() const { return m_entry != nullptr; }
    void release();

    void* data() const;
    float* floats() const { return static_cast<float*>(data()); }
    Fixed* fixeds() const { return static_cast<Fixed*>(data()); }
    template <typename S> S* samples() const { return static_cast<S*>(data()); }

  private:
    friend class MixBufferPool;
    struct Entry;
    explicit MixBuffer(Entry* entry);
    Entry* m_entry = nullptr;
};

class MixBufferPool {
  public:
    // Buffers of `capacity` samples, 64-byte aligned, from the engine allocator.
    MixBufferPool(int capacity, int buffers);
    MixBufferPool(const MixBufferPool&) = delete;
    MixBufferPool& operator=(const MixBufferPool&) = delete;
    // Every handle must be gone; lent buffers stay their lenders'.
    ~MixBufferPool();

    int getCapacity() const { return m_capacity; }
    // The longest block one pass renders, in stereo frames.
    int getMaxFrames() const { return m_capacity / 2; }
    // Empty when every buffer is out.
    MixBuffer acquire();
    // A buffer of `getCapacity()` samples that its lender owns joins the pool
    // (a mix node's own buffer); false when the entry could not be had.
    bool lend(void* buffer);
    // The lent buffer leaves the pool again; it must not be out at the time.
    void withdraw(void* buffer);
    int getFreeCount() const;
    int getBufferCount() const;

    // Allocates a buffer the pool can take.
    void* allocBuffer() const;

    // The running engine's pool, null while the engine does not run.
    static MixBufferPool* get() { return s_instance; }
    static void setInstance(MixBufferPool* pool) { s_instance = pool; }

  private:
    friend class MixBuffer;
    void giveBack(MixBuffer::Entry* entry);

    int m_capacity;
    MixBuffer::Entry* m_free = nullptr;
    MixBuffer::Entry* m_all = nullptr;

    static MixBufferPool* s_instance;
};

struct MixBuffer::Entry : Allocatable {
    void* data = nullptr;
    MixBufferPool* pool = nullptr;
    int refs = 0;
    bool owned = false; // the pool's own buffer, freed with it
    Entry* nextFree = nullptr;
    Entry* nextAll = nullptr;
};

inline void* MixBuffer::data() const
{
    return m_entry ? m_entry->data : nullptr;
}

} // namespace Daz
