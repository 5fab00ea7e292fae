#include "ModelInfo.h"
#include "ModelTool.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

namespace
{
ModelReport Inspect(const std::string& bytes)
{
    return InspectModel(bytes, kProgramGridSize);
}

std::vector<long> ProblemLines(const ModelReport& report)
{
    std::vector<long> lines;
    for (const ModelProblemLine& problem : report.problems)
        lines.push_back(problem.line);
    return lines;
}
} // namespace

TEST(ModelInfo, CountsDrawnTrianglesFlippedCellsAndHeightsAsTheProgramHoldsThem)
{
    CGrid grid = FreshGrid();
    grid.SetPointHeight(71, -0.25f, true);     // where four diagonals meet: eight triangles
    grid.SetPointHeight(4899, -0.0001f, true); // the last corner: two
    grid.FlipCellDiagonal(0, 0);               // turns one diagonal away from point 71
    grid.FlipCellDiagonal(grid.CellToIndex(5, 7), 0);

    const ModelReport report = Inspect(ModelBytes(grid));
    EXPECT_EQ(report.fileGridSize, 70);
    EXPECT_EQ(report.stopLine, 0);
    EXPECT_EQ(report.drawnTriangles, 9);
    EXPECT_EQ(report.flippedCells, 2);
    EXPECT_EQ(report.lowestZ, -2500);
    EXPECT_EQ(report.highestZ, 0);
    EXPECT_TRUE(report.problems.empty());
}

TEST(ModelInfo, ReportsFlagsAndTrianglesThatDisagreeByLine)
{
    CGrid grid = FreshGrid();
    grid.points[71].flags[1] = 0;                    // cell (1, 1) runs SW-NE
    grid.points[72].flags[1] = 7;                    // cell (2, 1): no diagonal at all
    std::swap(grid.triangles[6], grid.triangles[7]); // cell (3, 0): corners out of order
    grid.points[6].z = 0.25f;                        // above 0: never made by the program

    const ModelReport report = Inspect(ModelBytes(grid));
    EXPECT_EQ(ProblemLines(report), (std::vector<long>{7, 72, 73, 4907}));
    EXPECT_EQ(report.problems[1].text,
              "cell (1, 1) has the flag 0 but its triangles (lines 5041 and 5042) run SW-NE");
    EXPECT_NE(report.problems[2].text.find("a right click cannot flip it"), std::string::npos);
    EXPECT_NE(report.problems[3].text.find("neither diagonal"), std::string::npos);
}

TEST(ModelInfo, BlamesOnlyTheLinesTheReaderCouldNotUse)
{
    std::vector<std::string> lines = ModelLines(SculptedGrid(3));
    lines[4900 + 10] = "5";
    lines[71] = "0,0,0"; // the flag of cell (1, 1)
    lines.resize(12000); // every cell after this keeps a fresh triangle pair
    const ModelReport report = Inspect(JoinLines(lines));
    EXPECT_EQ(ProblemLines(report), (std::vector<long>{72, 4911, 12001}));
    EXPECT_EQ(report.problems.back().text, "the file ends here, 2422 lines short; the program "
                                           "keeps the rest of its grid as it was");
    EXPECT_EQ(report.stopLine, 72);
}

TEST(ModelInfo, RecognisesAFileOfAnotherGridSizeByItsLineCount)
{
    CGrid small;
    small.Create(50);
    const ModelReport report = Inspect(ModelBytes(small));
    EXPECT_EQ(report.fileGridSize, 50);
    EXPECT_EQ(report.stopLine, 2501); // a triangle line where the program wants a point
    EXPECT_EQ(Inspect(ModelBytes(FreshGrid()) + "1,2,3\r\n").fileGridSize, 0);
}
