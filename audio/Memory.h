// The engine's memory: every engine object and buffer comes from here, so a
// program can hand in its own allocation functions.
#pragma once

#include "audio/CkTypes.h"

#include <cstddef>
#include <cstdint>

namespace Daz {

class Allocator {
  public:
    virtual ~Allocator() = default;
    virtual void* alloc(std::size_t bytes) = 0;
    virtual void free(void* memory) = 0;
};

// The C runtime's malloc and free.
class SystemAllocator : public Allocator {
  public:
    void* alloc(std::size_t bytes) override;
    void free(void* memory) override;
};

// The program's own pair.
class FuncAllocator : public Allocator {
  public:
    FuncAllocator(CkAllocFunc allocFunc, CkFreeFunc freeFunc) : m_allocFunc(allocFunc), m_freeFunc(freeFunc)
    {
    }
    void* alloc(std::size_t bytes) override;
    void free(void* memory) override;

  private:
    CkAllocFunc m_allocFunc;
    CkFreeFunc m_freeFunc;
};

// Each block carries two 32-bit words in front of it: the filler words before
// the header, then the requested size. Every block is aligned to at least 16
// bytes. Without an installed allocator the system allocator serves.
class Memory {
  public:
    // The calling thread becomes the engine's main thread; null goes back to the system allocator.
    static void setAllocator(Allocator* allocator);
    static bool isMainThread();

    static void* alloc(std::size_t bytes);
    static void* allocAligned(std::size_t bytes, std::size_t align);
    static void* allocZeroed(std::size_t count, std::size_t bytes);
    static void* realloc(void* memory, std::size_t bytes);
    static void free(void* memory);
    // The size asked for when the block was made.
    static std::size_t getSize(const void* memory);
};

// Byte reversal for big-endian data.
float reverseBytes(float value);
std::uint64_t reverseBytes(std::uint64_t value);
std::int64_t reverseBytes(std::int64_t value);
double reverseBytes(double value);
std::uint32_t reverseBytes(std::uint32_t value);
std::int32_t reverseBytes(std::int32_t value);
std::uint16_t reverseBytes(std::uint16_t value);
std::int16_t reverseBytes(std::int16_t value);

} // namespace Daz
