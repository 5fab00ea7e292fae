#include "ModelFile.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
struct Checked
{
    std::vector<ModelLineProblem> problems;
    CGrid grid;
};

Checked Check(const std::string& bytes)
{
    Checked checked{{}, FreshGrid()};
    std::istringstream in(bytes);
    checked.problems = CheckModel(in, checked.grid);
    return checked;
}

long StopLine(const std::string& bytes)
{
    CGrid grid = FreshGrid();
    std::istringstream in(bytes);
    return ReadModel(in, grid).stopLine;
}
} // namespace

TEST(CheckModel, ACleanFileHasNoProblemsAndReadsAsReadModelReadsIt)
{
    const CGrid sculpted = SculptedGrid(1);
    const Checked checked = Check(ModelBytes(sculpted));
    EXPECT_TRUE(checked.problems.empty());
    EXPECT_EQ(ModelBytes(checked.grid), ModelBytes(sculpted));
}

TEST(CheckModel, ListsEveryBadLineWhereReadModelStopsAtTheFirst)
{
    CGrid sculpted = SculptedGrid(2);
    std::vector<std::string> lines = ModelLines(sculpted);
    lines[9] = "1,2,3";           // point 9
    lines[4900 + 4] = "1,2";      // triangle 4
    lines[4900 + 6] = "0,4900,1"; // triangle 6
    lines[4900 + 7] = "-1,0,1";   // triangle 7
    const std::string bytes = JoinLines(lines);

    const Checked checked = Check(bytes);
    ASSERT_EQ(checked.problems.size(), 4u);
    EXPECT_EQ(checked.problems[0].line, 10);
    EXPECT_EQ(checked.problems[0].fault, ModelLineFault::ShortLine);
    EXPECT_EQ(checked.problems[0].value, 3);
    EXPECT_EQ(checked.problems[1].line, 4905);
    EXPECT_EQ(checked.problems[1].value, 2);
    EXPECT_EQ(checked.problems[2].line, 4907);
    EXPECT_EQ(checked.problems[2].fault, ModelLineFault::IndexOutOfRange);
    EXPECT_EQ(checked.problems[2].value, 4900);
    EXPECT_EQ(checked.problems[3].value, -1);
    EXPECT_EQ(StopLine(bytes), checked.problems[0].line);

    // Past each bad line the read goes on; the bad lines' elements keep what they had.
    EXPECT_EQ(checked.grid.points[9].z, 0.0f);
    EXPECT_EQ(checked.grid.points[10].z, sculpted.points[10].z);
    EXPECT_EQ(checked.grid.triangles[6].vertex[1], FreshGrid().triangles[6].vertex[1]);
    EXPECT_EQ(checked.grid.triangles[8].vertex[0], sculpted.triangles[8].vertex[0]);
}

TEST(CheckModel, CountsMissingAndExtraLines)
{
    std::vector<std::string> lines = ModelLines(FreshGrid());
    const std::vector<std::string> whole = lines;

    lines.resize(5000);
    const Checked truncated = Check(JoinLines(lines));
    ASSERT_EQ(truncated.problems.size(), 1u);
    EXPECT_EQ(truncated.problems[0].fault, ModelLineFault::MissingLines);
    EXPECT_EQ(truncated.problems[0].line, 5001);
    EXPECT_EQ(truncated.problems[0].value, 14422 - 5000);

    const Checked empty = Check("");
    ASSERT_EQ(empty.problems.size(), 1u);
    EXPECT_EQ(empty.problems[0].line, 1);
    EXPECT_EQ(empty.problems[0].value, 14422);

    lines = whole;
    lines.insert(lines.end(), {"1,2,3", "", "x"});
    const Checked longer = Check(JoinLines(lines));
    ASSERT_EQ(longer.problems.size(), 1u);
    EXPECT_EQ(longer.problems[0].fault, ModelLineFault::ExtraLines);
    EXPECT_EQ(longer.problems[0].line, 14423);
    EXPECT_EQ(longer.problems[0].value, 3);
}
