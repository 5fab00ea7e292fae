// libFuzzer entry: a grid-size byte and a model file, read from memory; a broken invariant aborts.
#include "TestModels.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string breach = ReadInvariantBreach(std::string(data, data + size));
    if (!breach.empty())
    {
        std::fprintf(stderr, "model reader invariant broken: %s\n", breach.c_str());
        std::abort();
    }
    return 0;
}
