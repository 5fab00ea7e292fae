#include "ModelInfo.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <sstream>

namespace
{
// Every cell of a grid of one size under each orientation, and under the fresh checkerboard:
// taken from CGrid itself so that the corner orders have one source.
struct CellPatterns
{
    explicit CellPatterns(int size)
    {
        fresh.Create(size);
        split[0].Create(size);
        split[1].Create(size);
        for (int index = 0; index < static_cast<int>(fresh.points.size()); ++index)
        {
            split[0].FlipCellDiagonal(index, 2);
            split[1].FlipCellDiagonal(index, 1);
        }
    }
    CGrid fresh;
    CGrid split[2];
};

bool SameTriangle(const tagTRIANGLE3& a, const tagTRIANGLE3& b)
{
    return std::equal(a.vertex, a.vertex + 3, b.vertex);
}

// 1 or 0 for the diagonal that the cell's two triangles follow, -1 when they follow neither.
int Orientation(const CGrid& grid, const CellPatterns& patterns, size_t firstTriangle)
{
    for (int orientation = 0; orientation < 2; ++orientation)
    {
        const std::vector<tagTRIANGLE3>& expected = patterns.split[orientation].triangles;
        if (SameTriangle(grid.triangles[firstTriangle], expected[firstTriangle]) &&
            SameTriangle(grid.triangles[firstTriangle + 1], expected[firstTriangle + 1]))
            return orientation;
    }
    return -1;
}

const char* DiagonalName(int orientation)
{
    return orientation == 1 ? "SW-NE" : "SE-NW";
}

// The grid size n whose file has exactly lineCount lines: n * n points, 2 (n - 1)^2 triangles.
int GridSizeForLines(long lineCount)
{
    for (long n = 2; 3 * n * n - 4 * n + 2 <= lineCount; ++n)
        if (3 * n * n - 4 * n + 2 == lineCount)
            return static_cast<int>(n);
    return 0;
}

long CountLines(const std::string& bytes)
{
    long lines = static_cast<long>(std::count(bytes.begin(), bytes.end(), '\n'));
    if (!bytes.empty() && bytes.back() != '\n')
        ++lines;
    return lines;
}

std::string LineProblemText(const ModelLineProblem& problem, const CGrid& grid)
{
    const long points = static_cast<long>(grid.points.size());
    const bool pointLine = problem.line <= points;
    std::ostringstream text;
    switch (problem.fault)
    {
    case ModelLineFault::MissingLines:
        text << "the file ends here, " << problem.value << " lines short; the program keeps "
             << "the rest of its grid as it was";
        break;
    case ModelLineFault::ShortLine:
        text << (pointLine ? "point " : "triangle ")
             << (pointLine ? problem.line - 1 : problem.line - 1 - points) << " has "
             << problem.value << (problem.value == 1 ? " field" : " fields") << ", needs "
             << (pointLine ? 8 : 3) << "; the program stops reading at such a line";
        break;
    case ModelLineFault::IndexOutOfRange:
        text << "triangle " << problem.line - 1 - points << " has the corner " << problem.value
             << ", which is no point (0 to " << points - 1
             << "); the program stops reading at such a line";
        break;
    case ModelLineFault::ExtraLines:
        text << problem.value << (problem.value == 1 ? " line" : " lines")
             << " after the last triangle, which the program ignores";
        break;
    }
    return text.str();
}

// Lines that gave their element nothing: cells that touch them are not compared.
std::set<long> UnusedLines(const std::vector<ModelLineProblem>& problems)
{
    std::set<long> lines;
    for (const ModelLineProblem& problem : problems)
        if (problem.fault == ModelLineFault::ShortLine ||
            problem.fault == ModelLineFault::IndexOutOfRange)
            lines.insert(problem.line);
    return lines;
}

void CheckCells(const CGrid& grid, const CellPatterns& patterns,
                const std::vector<ModelLineProblem>& lineProblems,
                std::vector<ModelProblemLine>& problems)
{
    const std::set<long> unused = UnusedLines(lineProblems);
    long firstMissing = 0;
    for (const ModelLineProblem& problem : lineProblems)
        if (problem.fault == ModelLineFault::MissingLines)
            firstMissing = problem.line;
    auto read = [&](long line) {
        return unused.count(line) == 0 && (firstMissing == 0 || line < firstMissing);
    };
    const long points = static_cast<long>(grid.points.size());
    for (int row = 0; row + 1 < grid.size; ++row)
    {
        for (int column = 0; column + 1 < grid.size; ++column)
        {
            const int sw = grid.CellToIndex(column, row);
            const size_t first = 2 * static_cast<size_t>(row * (grid.size - 1) + column);
            const long flagLine = sw + 1;
            const long triangleLine = points + static_cast<long>(first) + 1;
            if (!read(flagLine) || !read(triangleLine) || !read(triangleLine + 1))
                continue;
            const int orientation = Orientation(grid, patterns, first);
            const int flag = grid.points[sw].flags[1];
            std::ostringstream text;
            text << "cell (" << column << ", " << row << ")";
            if (orientation < 0)
            {
                text << ": the triangles on lines " << triangleLine << " and " << triangleLine + 1
                     << " follow neither diagonal of the cell";
                problems.push_back({triangleLine, text.str()});
            }
            else if (flag != orientation)
            {
                text << " has the flag " << flag << " but its triangles (lines " << triangleLine
                     << " and " << triangleLine + 1 << ") run " << DiagonalName(orientation)
                     << (flag > 1 ? "; a right click cannot flip it" : "");
                problems.push_back({flagLine, text.str()});
            }
        }
    }
}

void CheckHeights(const CGrid& grid, std::vector<ModelProblemLine>& problems)
{
    for (size_t index = 0; index < grid.points.size(); ++index)
    {
        const int z = ScaleToFile(grid.points[index].z);
        if (z > 0)
            problems.push_back({static_cast<long>(index) + 1,
                                "point " + std::to_string(index) + " lies above height 0 (z " +
                                    FormatUnits(z) + "), where the program never puts one"});
    }
}
} // namespace

ModelReport InspectModel(const std::string& bytes, int gridSize)
{
    ModelReport report{};
    report.lineCount = CountLines(bytes);
    report.fileGridSize = GridSizeForLines(report.lineCount);

    CGrid loaded;
    loaded.Create(gridSize);
    std::istringstream programRead(bytes);
    report.stopLine = ReadModel(programRead, loaded).stopLine;

    const CellPatterns patterns(gridSize);
    std::vector<int> heights;
    for (const tagPOINT4& point : loaded.points)
        heights.push_back(ScaleToFile(point.z));
    const auto [lowest, highest] = std::minmax_element(heights.begin(), heights.end());
    report.lowestZ = *lowest;
    report.highestZ = *highest;
    report.triangleCount = static_cast<int>(loaded.triangles.size());
    report.cellCount = (gridSize - 1) * (gridSize - 1);
    for (const tagTRIANGLE3& triangle : loaded.triangles)
        report.drawnTriangles += IsDrawn(loaded, triangle) ? 1 : 0;
    for (size_t first = 0; first < loaded.triangles.size(); first += 2)
    {
        const int orientation = Orientation(loaded, patterns, first);
        const int freshOrientation = Orientation(patterns.fresh, patterns, first);
        report.flippedCells += orientation >= 0 && orientation != freshOrientation ? 1 : 0;
    }

    CGrid checked;
    checked.Create(gridSize);
    std::istringstream checkRead(bytes);
    const std::vector<ModelLineProblem> lineProblems = CheckModel(checkRead, checked);
    for (const ModelLineProblem& problem : lineProblems)
        report.problems.push_back({problem.line, LineProblemText(problem, checked)});
    CheckCells(checked, patterns, lineProblems, report.problems);
    CheckHeights(checked, report.problems);
    std::stable_sort(
        report.problems.begin(), report.problems.end(),
        [](const ModelProblemLine& a, const ModelProblemLine& b) { return a.line < b.line; });
    return report;
}

void PrintReport(const std::string& path, const ModelReport& report, int gridSize,
                 std::ostream& out)
{
    out << path << ":\n";
    out << "  grid:            ";
    if (report.fileGridSize == gridSize)
        out << gridSize << " x " << gridSize << " points\n";
    else if (report.fileGridSize > 0)
        out << report.fileGridSize << " x " << report.fileGridSize << " points by its "
            << report.lineCount << " lines; the program reads it into its " << gridSize << " x "
            << gridSize << " grid, where its points land in the wrong places\n";
    else
        out << "no grid has " << report.lineCount << " lines; the program's " << gridSize << " x "
            << gridSize << " grid needs " << report.triangleCount + gridSize * gridSize << "\n";
    out << "  loads whole:     ";
    if (report.stopLine == 0)
        out << "yes\n";
    else
        out << "no, the program stops at line " << report.stopLine << "\n";
    out << "  heights:         z from " << FormatUnits(report.lowestZ) << " to "
        << FormatUnits(report.highestZ) << "\n";
    out << "  drawn triangles: " << report.drawnTriangles << " of " << report.triangleCount << "\n";
    out << "  flipped cells:   " << report.flippedCells << " of " << report.cellCount
        << " against a fresh grid\n";
    out << "  problems:        " << report.problems.size() << "\n";
    for (const ModelProblemLine& problem : report.problems)
        out << "line " << problem.line << ": " << problem.text << "\n";
}
