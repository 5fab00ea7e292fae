#include "ImportChecks.h"

#include "HeightMap.h"
#include "ModelFile.h"
#include "TestModels.h"

#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace
{
// Compared as bytes: a FileOf for every input would cost more than most imports.
bool Same(const CGrid& a, const CGrid& b)
{
    return std::memcmp(a.points.data(), b.points.data(), sizeof(tagPOINT4) * a.points.size()) ==
               0 &&
           std::memcmp(a.triangles.data(), b.triangles.data(),
                       sizeof(tagTRIANGLE3) * a.triangles.size()) == 0;
}

// Random changes would hardly ever get past the checksums to the decoder behind them; a wrong one
// is the tool's tests' to pin.
std::string WithRightChecksums(std::string png)
{
    for (size_t at = 8; png.size() >= at + 12;)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&png[at]);
        const size_t length = size_t(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
        if (length > png.size() - at - 12)
            break;
        const uLong crc = crc32(0, bytes + 4, static_cast<uInt>(4 + length));
        for (int k = 0; k < 4; ++k)
            png[at + 8 + length + k] = static_cast<char>(crc >> (24 - 8 * k));
        at += 12 + length;
    }
    return png;
}
} // namespace

std::string ImportInvariantBreach(const std::string& png)
{
    // Heights above 0, which no import makes, show any point it left out.
    static const CGrid before = [] {
        CGrid grid = FreshGrid(kProgramGridSize);
        for (tagPOINT4& point : grid.points)
            point.z = 1.0f;
        return grid;
    }();
    CGrid grid = before;
    std::optional<ZRange> range;
    const std::string checked = WithRightChecksums(png);
    try
    {
        range = ImportHeightMap("input", checked, std::nullopt, grid);
        if (!range && !Same(grid, before))
            return "an image without a range changed the grid";
        if (!range)
            range = ImportHeightMap("input", checked, ZRange{-12345, -10}, grid);
    }
    catch (const std::runtime_error&)
    {
    }
    if (!range)
        return Same(grid, before) ? "" : "a refused image changed the grid";
    const float low = ScaleFromFile(std::min(range->white, range->black));
    const float high = ScaleFromFile(std::max(range->white, range->black));
    for (tagPOINT4& point : grid.points)
    {
        if (!(point.z >= low && point.z <= high))
            return "a height of " + std::to_string(point.z) + " outside the range";
        point.z = before.points[0].z;
    }
    return Same(grid, before) ? "" : "an import changed more than the heights";
}
