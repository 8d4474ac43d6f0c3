#include "audio/Memory.h"

#include "audio/Log.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

namespace Daz {

namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kMinAlign = 16;
constexpr std::size_t kMaxAlign = std::size_t(1) << 20;

SystemAllocator g_systemAllocator;
std::atomic<Allocator*> g_allocator{&g_systemAllocator};
std::thread::id g_mainThread;

std::uint32_t* headerOf(const void* memory)
{
    return reinterpret_cast<std::uint32_t*>(const_cast<char*>(static_cast<const char*>(memory)) -
                                            kHeaderBytes);
}

void* outOfMemory()
{
    Log::error("out of memory!");
    return nullptr;
}

} // namespace

void* SystemAllocator::alloc(std::size_t bytes)
{
    return std::malloc(bytes);
}

void SystemAllocator::free(void* memory)
{
    std::free(memory);
}

void* FuncAllocator::alloc(std::size_t bytes)
{
    return m_allocFunc(bytes);
}

void FuncAllocator::free(void* memory)
{
    m_freeFunc(memory);
}

void Memory::setAllocator(Allocator* allocator)
{
    g_allocator = allocator ? allocator : &g_systemAllocator;
    g_mainThread = std::this_thread::get_id();
}

bool Memory::isMainThread()
{
    return std::this_thread::get_id() == g_mainThread;
}

void* Memory::alloc(std::size_t bytes)
{
    return allocAligned(bytes, kMinAlign);
}

void* Memory::allocAligned(std::size_t bytes, std::size_t align)
{
    // Engine objects hold SSE members, so no block is aligned to less than 16;
    // an alignment that is not a power of two is taken up to the next one.
    if (align > kMaxAlign) return outOfMemory();
    std::size_t used = kMinAlign;
    while (used < align) used *= 2;
    align = used;
    const std::size_t extra = (align / 4 + 1) * 4;
    if (bytes > std::numeric_limits<std::uint32_t>::max() - extra) return outOfMemory();
    const std::size_t rawBytes = (bytes + extra + 3) / 4 * 4;
    char* raw = static_cast<char*>(g_allocator.load()->alloc(rawBytes));
    if (!raw) return outOfMemory();
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + kHeaderBytes;
    const std::uintptr_t aligned = (first + align - 1) / align * align;
    char* memory = reinterpret_cast<char*>(aligned);
    std::uint32_t* header = headerOf(memory);
    header[0] = static_cast<std::uint32_t>((memory - kHeaderBytes - raw) / 4);
    header[1] = static_cast<std::uint32_t>(bytes);
    return memory;
}

void* Memory::allocZeroed(std::size_t count, std::size_t bytes)
{
    if (bytes != 0 && count > std::numeric_limits<std::uint32_t>::max() / bytes) return outOfMemory();
    void* memory = alloc(count * bytes);
    if (memory) std::memset(memory, 0, count * bytes);
    return memory;
}

void* Memory::realloc(void* memory, std::size_t bytes)
{
    if (bytes == 0) {
        free(memory);
        return nullptr;
    }
    void* fresh = alloc(bytes);
    if (!fresh) return nullptr;
    if (memory) {
        const std::size_t old = getSize(memory);
        std::memcpy(fresh, memory, old < bytes ? old : bytes);
        free(memory);
    }
    return fresh;
}

void Memory::free(void* memory)
{
    if (!memory) return;
    const std::uint32_t* header = headerOf(memory);
    char* raw = static_cast<char*>(memory) - kHeaderBytes - 4 * static_cast<std::size_t>(header[0]);
    g_allocator.load()->free(raw);
}

std::size_t Memory::getSize(const void* memory)
{
    return memory ? headerOf(memory)[1] : 0;
}

namespace {

template <typename T> T reverseAny(T value)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
        const unsigned char b = bytes[i];
        bytes[i] = bytes[sizeof(T) - 1 - i];
        bytes[sizeof(T) - 1 - i] = b;
    }
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

} // namespace

float reverseBytes(float value)
{
    return reverseAny(value);
}
std::uint64_t reverseBytes(std::uint64_t value)
{
    return reverseAny(value);
}
std::int64_t reverseBytes(std::int64_t value)
{
    return reverseAny(value);
}
double reverseBytes(double value)
{
    return reverseAny(value);
}
std::uint32_t reverseBytes(std::uint32_t value)
{
    return reverseAny(value);
}
std::int32_t reverseBytes(std::int32_t value)
{
    return reverseAny(value);
}
std::uint16_t reverseBytes(std::uint16_t value)
{
    return reverseAny(value);
}
std::int16_t reverseBytes(std::int16_t value)
{
    return reverseAny(value);
}

} // namespace Daz
