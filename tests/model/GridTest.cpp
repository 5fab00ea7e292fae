#include "Grid.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace
{
// Every triangle's corners, then every point's diagonal flag, of a grid of at most 3 x 3.
std::string Diagonals(const CGrid& grid)
{
    std::string text;
    for (const tagTRIANGLE3& t : grid.triangles)
        for (int k : {0, 1, 2, 3})
            text += k < 3 ? static_cast<char>('0' + t.vertex[k]) : ' ';
    for (const tagPOINT4& p : grid.points)
        text += static_cast<char>('0' + p.flags[1]);
    return text;
}

// The fresh 3 grid; the same with cell (1, 0) split the other way; and with a foreign flag. The
// cell's column and row differ, so that a flip of cell (0, 1) instead shows.
const char* const kFresh3 = "034 104 142 245 364 467 478 548 100010000";
const char* const kFlipped = "034 104 145 215 364 467 478 548 110010000";
const char* const kForeign = "034 104 142 245 364 467 478 548 170010000";
} // namespace

TEST(GridPoints, HeightsMoveByTheRulesAndIndicesOutsideTheGridAreRefused)
{
    CGrid grid = FreshGrid(3);
    grid.LowerPoint(0, 0.5f, true);
    grid.RaisePoint(0, 0.25f, true);
    grid.LowerPoint(1, -0.25f, true);
    grid.RaisePoint(2, 0.0625f, true);
    grid.SetPointHeight(3, 0.0625f, true);
    grid.SetPointHeight(4, -0.125f, true);
    for (const auto& [index, apply] : {std::pair{5, false}, {-1, true}, {9, true}})
    {
        grid.LowerPoint(index, 0.5f, apply);
        grid.RaisePoint(index, -0.5f, apply);
        grid.SetPointHeight(index, -0.5f, apply);
    }
    const float heights[9] = {-0.25f, 0.25f, 0.0f, 0.0f, -0.125f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(grid.points[i].z, heights[i]) << "point " << i;
    EXPECT_EQ(CGrid().CellToIndex(0, 0), -1);
    EXPECT_EQ(grid.IndexToCell(9), std::make_pair(-1, -1));
    EXPECT_EQ(grid.CellToIndex(0, 2), 6);
    EXPECT_EQ(grid.CellToIndex(2, 0), 2);
    for (const auto& [column, row] : {std::pair{-1, 1}, {3, 0}, {0, -1}, {0, 3}})
        EXPECT_EQ(grid.CellToIndex(column, row), -1) << column << "," << row;
}

TEST(GridFlip, TheModeAndTheFlagDecideTheDiagonalOfTheCellOnly)
{
    CGrid grid = FreshGrid(3);
    for (int index : {2, 5, 6, 7, 8, -1, 9})
        for (int mode : {0, 1, 2})
            grid.FlipCellDiagonal(index, mode);
    EXPECT_EQ(Diagonals(grid), kFresh3) << "a point outside any cell flipped something";
    // Cell (1, 0), south-west corner 1, with its flag set first: mode 0 toggles, 1 and 2 force,
    // any other does nothing; a flag of neither orientation blocks the toggle only.
    const std::tuple<int, int, const char*> steps[] = {
        {0, 0, kFlipped}, {1, 0, kFresh3}, {0, 3, kFresh3},  {0, 1, kFlipped}, {1, 1, kFlipped},
        {1, 2, kFresh3},  {0, 2, kFresh3}, {7, 1, kFlipped}, {7, 2, kFresh3},  {7, 0, kForeign}};
    for (const auto& [flag, mode, after] : steps)
    {
        grid.points[1].flags[1] = static_cast<unsigned char>(flag);
        grid.FlipCellDiagonal(1, mode);
        EXPECT_EQ(Diagonals(grid), after) << "flag " << flag << ", mode " << mode;
    }
}
