// libFuzzer entry: the bytes go whole to the invariant check the build names, which reads them
// from memory; a broken invariant aborts.
#include "ImportChecks.h"
#include "TestModels.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string breach = TESSMERE_FUZZ_CHECK(std::string(data, data + size));
    if (!breach.empty())
    {
        std::fprintf(stderr, "invariant broken: %s\n", breach.c_str());
        std::abort();
    }
    return 0;
}
