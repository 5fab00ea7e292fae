#include "ModelInfo.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <ostream>
#include <sstream>
#include <vector>

namespace
{
// What is wrong, by line; problems on one line in the order found.
using Problems = std::multimap<long, std::string>;

// 1 or 0 for the diagonal that the cell's two triangles, from first on, follow; -1 for neither.
int Orientation(const CGrid& grid, int southWest, size_t first)
{
    for (int orientation = 0; orientation < 2; ++orientation)
    {
        const std::array<tagTRIANGLE3, 2> expected = grid.CellTriangles(southWest, orientation);
        if (std::memcmp(expected.data(), &grid.triangles[first], sizeof expected) == 0)
            return orientation;
    }
    return -1;
}

// The grid size n whose file has exactly lineCount lines: n * n points, 2 (n - 1)^2 triangles.
int GridSizeForLines(long lineCount)
{
    for (long n = 2; 3 * n * n - 4 * n + 2 <= lineCount; ++n)
        if (3 * n * n - 4 * n + 2 == lineCount)
            return static_cast<int>(n);
    return 0;
}

std::string LineProblemText(const ModelLineProblem& problem, long points)
{
    const bool pointLine = problem.line <= points;
    const std::string value = std::to_string(problem.value);
    switch (problem.fault)
    {
    case ModelLineFault::MissingLines:
        return "the file ends here, " + value +
               " lines short; the program keeps the rest of its grid as it was";
    case ModelLineFault::ShortLine:
        return (pointLine ? "point " : "triangle ") +
               std::to_string(pointLine ? problem.line - 1 : problem.line - 1 - points) + " has " +
               value + (problem.value == 1 ? " field" : " fields") + ", needs " +
               (pointLine ? "8" : "3") + "; the program refuses a file with such a line";
    case ModelLineFault::IndexOutOfRange:
        return "triangle " + std::to_string(problem.line - 1 - points) + " has the corner " +
               value + ", which is no point (0 to " + std::to_string(points - 1) +
               "); the program refuses a file with such a line";
    case ModelLineFault::ExtraLines:
        return value + (problem.value == 1 ? " line" : " lines") +
               " after the last triangle, which the program ignores";
    }
    return "";
}

// Lists the cells whose flag and triangles disagree in checked, the grid read past every
// problem, where each of the cell's lines gave its element something; returns how many cells
// of shown, the grid whose figures are printed, are flipped against fresh.
int CheckCells(const CGrid& checked, const CGrid& shown, const CGrid& fresh,
               const std::vector<ModelLineProblem>& lineProblems, Problems& problems)
{
    // By line number: whether the line was there and could be used.
    std::vector<bool> read(checked.points.size() + checked.triangles.size() + 1, true);
    for (const ModelLineProblem& problem : lineProblems)
        if (problem.fault == ModelLineFault::MissingLines)
            std::fill(read.begin() + problem.line, read.end(), false);
        else if (problem.fault != ModelLineFault::ExtraLines)
            read[problem.line] = false;
    const long points = static_cast<long>(checked.points.size());
    int flippedCells = 0;
    for (int row = 0; row + 1 < checked.size; ++row)
    {
        for (int column = 0; column + 1 < checked.size; ++column)
        {
            const int sw = checked.CellToIndex(column, row);
            const size_t first = 2 * static_cast<size_t>(row * (checked.size - 1) + column);
            const int shownOrientation = Orientation(shown, sw, first);
            flippedCells += shownOrientation >= 0 && shownOrientation != fresh.points[sw].flags[1];
            const long flagLine = sw + 1;
            const long triangleLine = points + static_cast<long>(first) + 1;
            if (!read[flagLine] || !read[triangleLine] || !read[triangleLine + 1])
                continue;
            const int orientation = Orientation(checked, sw, first);
            const int flag = checked.points[sw].flags[1];
            std::ostringstream text;
            text << "cell (" << column << ", " << row << ")";
            if (orientation < 0)
            {
                text << ": the triangles on lines " << triangleLine << " and " << triangleLine + 1
                     << " follow neither diagonal of the cell";
                problems.emplace(triangleLine, text.str());
            }
            else if (flag != orientation)
            {
                text << " has the flag " << flag << " but its triangles (lines " << triangleLine
                     << " and " << triangleLine + 1 << ") run "
                     << (orientation == 1 ? "SW-NE" : "SE-NW")
                     << (flag > 1 ? "; a right click cannot flip it" : "");
                problems.emplace(flagLine, text.str());
            }
        }
    }
    return flippedCells;
}
} // namespace

bool PrintModelInfo(const std::string& path, const std::string& bytes, int gridSize,
                    std::ostream& out)
{
    CGrid fresh;
    fresh.Create(gridSize);
    CGrid checked = fresh, loaded = fresh;
    std::istringstream in(bytes), again(bytes);
    const std::vector<ModelLineProblem> lineProblems = CheckModel(in, checked);
    // What the program holds after starting with the file: the lines of one that ends early, the
    // rest fresh; nothing of one it refuses, whose figures below are then of what it reads past
    // the problems.
    const ModelReadResult read = ReadModel(again, loaded);
    const CGrid& shown = read.refused ? checked : loaded;
    const size_t points = fresh.points.size();

    Problems problems;
    for (const ModelLineProblem& problem : lineProblems)
        problems.emplace(problem.line, LineProblemText(problem, static_cast<long>(points)));
    const int flippedCells = CheckCells(checked, shown, fresh, lineProblems, problems);
    for (size_t index = 0; index < points; ++index)
    {
        const int z = ScaleToFile(checked.points[index].z);
        if (z > 0)
            problems.emplace(index + 1, "point " + std::to_string(index) +
                                            " lies above height 0 (z " + FormatUnits(z) +
                                            "), where the program never puts one");
    }
    // The last line may lack its line end.
    const long lineCount = static_cast<long>(std::count(bytes.begin(), bytes.end(), '\n')) +
                           (!bytes.empty() && bytes.back() != '\n');
    const int fileGridSize = GridSizeForLines(lineCount);
    out << path << ":\n  grid:            ";
    if (fileGridSize == gridSize)
        out << gridSize << " x " << gridSize << " points\n";
    else if (fileGridSize > 0)
        out << fileGridSize << " x " << fileGridSize << " points by its " << lineCount
            << " lines; the program reads it into its " << gridSize << " x " << gridSize
            << " grid, where its points land in the wrong places\n";
    else
        out << "no grid has " << lineCount << " lines; the program's " << gridSize << " x "
            << gridSize << " grid needs " << points + fresh.triangles.size() << "\n";
    const std::string stopLine = std::to_string(read.stopLine);
    out << "  loads whole:     "
        << (read.complete  ? "yes"
            : read.refused ? "no, the program refuses it for line " + stopLine
                           : "no, it ends at line " + stopLine)
        << "\n";
    const auto [lowest, highest] =
        std::minmax_element(shown.points.begin(), shown.points.end(),
                            [](const tagPOINT4& a, const tagPOINT4& b) { return a.z < b.z; });
    out << "  heights:         z from " << FormatUnits(ScaleToFile(lowest->z)) << " to "
        << FormatUnits(ScaleToFile(highest->z)) << "\n";
    out << "  drawn triangles: " << DrawnCount(shown) << " of " << shown.triangles.size() << "\n";
    out << "  flipped cells:   " << flippedCells << " of " << (gridSize - 1) * (gridSize - 1)
        << " against a fresh grid\n";
    out << "  problems:        " << problems.size() << "\n";
    for (const auto& [line, text] : problems)
        out << "line " << line << ": " << text << "\n";
    return read.complete;
}
