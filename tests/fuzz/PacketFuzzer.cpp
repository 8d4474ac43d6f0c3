// The libFuzzer target: built only by `make fuzz`, with clang, ASan and UBSan.
#include "tests/fuzz/PacketFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Marevane::Fuzzing::FeedInput(data, size);
    return 0;
}
