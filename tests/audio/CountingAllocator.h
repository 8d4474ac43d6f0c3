// An allocation pair for the engine that counts its calls.
#pragma once

#include <cstddef>
#include <cstdlib>

struct CountingAllocs {
    inline static int allocs = 0;
    inline static int frees = 0;
    static void* alloc(std::size_t bytes)
    {
        ++allocs;
        return std::malloc(bytes);
    }
    static void free(void* memory)
    {
        ++frees;
        std::free(memory);
    }
};
