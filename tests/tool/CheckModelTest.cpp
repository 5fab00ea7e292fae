#include "ModelFile.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
std::vector<ModelLineProblem> Check(const std::string& bytes, CGrid& grid)
{
    std::istringstream in(bytes);
    return CheckModel(in, grid);
}
} // namespace

TEST(CheckModel, ListsEveryBadLineWhereReadModelStopsAtTheFirst)
{
    const CGrid sculpted = SculptedGrid(2);
    std::vector<std::string> lines = ModelLines(sculpted);
    lines[9] = "1,2,3";           // point 9
    lines[4900 + 4] = "1,2";      // triangle 4
    lines[4900 + 6] = "0,4900,1"; // triangle 6
    lines.push_back("");
    const std::string bytes = JoinLines(lines);

    CGrid grid = FreshGrid();
    const std::vector<ModelLineProblem> problems = Check(bytes, grid);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].line, 10);
    EXPECT_EQ(problems[0].fault, ModelLineFault::ShortLine);
    EXPECT_EQ(problems[0].value, 3);
    EXPECT_EQ(problems[1].line, 4905);
    EXPECT_EQ(problems[1].value, 2);
    EXPECT_EQ(problems[2].fault, ModelLineFault::IndexOutOfRange);
    EXPECT_EQ(problems[2].value, 4900);
    EXPECT_EQ(problems[3].fault, ModelLineFault::ExtraLines);
    EXPECT_EQ(problems[3].line, 14423);
    EXPECT_EQ(problems[3].value, 1);

    CGrid stopped = FreshGrid();
    std::istringstream in(bytes);
    EXPECT_EQ(ReadModel(in, stopped).stopLine, 10);

    // Past each bad line the read goes on; the bad lines' elements keep what they had.
    EXPECT_EQ(grid.points[9].z, 0.0f);
    EXPECT_EQ(grid.points[10].z, sculpted.points[10].z);
    EXPECT_EQ(grid.triangles[6].vertex[1], FreshGrid().triangles[6].vertex[1]);
    EXPECT_EQ(grid.triangles[8].vertex[0], sculpted.triangles[8].vertex[0]);
}
