#include "LoaderInvariants.h"

#include "Grid.h"
#include "ModelFile.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

namespace
{
const CGrid& FreshGrid()
{
    static const CGrid fresh = [] {
        CGrid grid;
        grid.Create(kProgramGridSize);
        return grid;
    }();
    return fresh;
}

std::string ShapeBreach(const CGrid& grid)
{
    const CGrid& fresh = FreshGrid();
    if (grid.size != fresh.size || grid.points.size() != fresh.points.size() ||
        grid.triangles.size() != fresh.triangles.size())
        return "the load changed the size of the grid";
    const long long pointCount = static_cast<long long>(grid.points.size());
    for (size_t t = 0; t < grid.triangles.size(); ++t)
        for (int v : grid.triangles[t].vertex)
            if (v < 0 || v >= pointCount)
                return "triangle " + std::to_string(t) + " holds index " + std::to_string(v);
    return "";
}
} // namespace

std::string LoaderInvariantBreach(const std::string& bytes, const std::filesystem::path& modelFile)
{
    const std::string path = modelFile.string();
    WriteBytes(modelFile, bytes);
    CGrid grid = FreshGrid();
    ClearReportedFailures();
    const bool loaded = LoadModel(grid, path);
    if (!ReportedFailures().empty())
        return "a readable file was reported as failing to open";
    const std::string shape = ShapeBreach(grid);
    if (!shape.empty() || !loaded)
        return shape;
    if (!SaveModel(grid, path))
        return "a loaded grid could not be saved";
    const std::string saved = ReadBytes(modelFile);
    if (!LoadModel(grid, path))
        return "a saved file did not load";
    if (!SaveModel(grid, path))
        return "a reloaded grid could not be saved";
    if (ReadBytes(modelFile) != saved)
        return "save, load and save wrote different bytes";
    return "";
}
