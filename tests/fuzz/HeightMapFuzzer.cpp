// libFuzzer entry: a height map's PNG bytes (checksums taken as right in this build), imported
// from memory onto the program's grid; a broken rule aborts.
#include "HeightMap.h"
#include "ModelFile.h"
#include "TestModels.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Heights above 0, which no import makes, show a point that an import left out or that a
    // refused one changed. Inputs of odd length bring a range of their own.
    static const CGrid fresh = FreshGrid(kProgramGridSize);
    CGrid grid = fresh;
    for (tagPOINT4& point : grid.points)
        point.z = 1.0f;
    std::optional<ZRange> range = size % 2 ? std::optional(ZRange{-12345, -10}) : std::nullopt;
    try
    {
        range = ImportHeightMap("input", {data, data + size}, range, grid);
    }
    catch (const std::runtime_error&)
    {
        range.reset();
    }
    const float low = range ? ScaleFromFile(std::min(range->white, range->black)) : 1.0f;
    const float high = range ? ScaleFromFile(std::max(range->white, range->black)) : 1.0f;
    for (const tagPOINT4& point : grid.points)
        if (!(point.z >= low && point.z <= high))
            std::abort();
    return 0;
}
