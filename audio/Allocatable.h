// Engine objects take their memory from the engine allocator.
#pragma once

#include "audio/Memory.h"

#include <cstddef>

namespace Daz {

class Allocatable {
  public:
    // Null on failure, which the new-expression then yields: no exceptions here.
    static void* operator new(std::size_t bytes) noexcept { return Memory::alloc(bytes); }
    static void operator delete(void* memory) noexcept { Memory::free(memory); }
};

} // namespace Daz
