#include "TestModels.h"

#include "ModelFile.h"

#include <algorithm>
#include <sstream>
#include <string_view>

CGrid FreshGrid(int size)
{
    CGrid grid;
    grid.Create(size);
    return grid;
}

std::string FileOf(const CGrid& grid)
{
    std::ostringstream out;
    WriteModel(out, grid);
    return out.str();
}

std::vector<std::string> LinesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

::testing::AssertionResult SameFile(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const auto at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    return ::testing::AssertionFailure()
           << "the file differs first at line " << std::count(expected.begin(), at.first, '\n') + 1
           << " (" << actual.size() << " bytes, " << expected.size() << " expected)";
}

std::string ReadInvariantBreach(const std::string& input)
{
    // Small grids keep files short, so that many inputs read whole; the reader is the same for
    // every size. A size byte of 0 or '0' chooses the program's grid: its seed files start so.
    // Grids are kept between inputs, as making a 70 grid for each would cost more than its read.
    // The read goes into one unlike a fresh grid, which a refused file must leave as it was.
    static CGrid before[6], grids[6];
    if (input.empty())
        return "";
    const int k = static_cast<unsigned char>(input[0]) % 6;
    if (before[k].size == 0)
        before[k].Create(k == 0 ? kProgramGridSize : k + 1);
    before[k].points[0].z = -1.0f;
    CGrid& grid = grids[k] = before[k];
    std::istringstream in(input.substr(1));
    const ModelReadResult read = ReadModel(in, grid);
    if (grid.points.size() != before[k].points.size() ||
        grid.triangles.size() != before[k].triangles.size())
        return "the read changed the size of the grid";
    // As bytes: writing the files of a 70 grid for each would slow the fuzzer a hundredfold.
    const auto bytes = [](const auto& v) {
        return std::string_view(reinterpret_cast<const char*>(v.data()), sizeof v[0] * v.size());
    };
    if (read.refused && (bytes(grid.points) != bytes(before[k].points) ||
                         bytes(grid.triangles) != bytes(before[k].triangles)))
        return "a refused file changed the grid";
    for (const tagTRIANGLE3& t : grid.triangles)
        for (int v : t.vertex)
            if (v < 0 || static_cast<size_t>(v) >= grid.points.size())
                return "a triangle holds index " + std::to_string(v);
    const std::string written = read.complete ? FileOf(grid) : "";
    grid = before[k];
    std::istringstream back(written);
    if (read.complete && (!ReadModel(back, grid).complete || FileOf(grid) != written))
        return "write, read and write gave different bytes";
    return "";
}
