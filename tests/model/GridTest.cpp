#include "Grid.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

TEST(GridPoints, PointOperationsKeepToTheGridsRules)
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

TEST(GridFlip, TheToggleSwitchesTheDiagonalOfTheCellOnly)
{
    // Cell (1, 0) split from SW to NE instead, and with a flag of neither orientation. Its column
    // and row differ, so that a flip of cell (0, 1) instead shows.
    const CGrid fresh = FreshGrid(3);
    CGrid flipped = fresh, foreign = fresh;
    flipped.triangles[2] = {{1, 4, 5}};
    flipped.triangles[3] = {{2, 1, 5}};
    flipped.points[1].flags[1] = 1;
    foreign.points[1].flags[1] = 7;
    CGrid grid = fresh;
    for (int index : {2, 5, 6, 7, 8, -1, 9})
        grid.FlipCellDiagonal(index, 0);
    EXPECT_EQ(FileOf(grid), FileOf(fresh)) << "a point outside any cell flipped something";
    // Mode 0, the one the program uses, toggles; a flag of neither orientation blocks it.
    const std::pair<int, const CGrid&> steps[] = {{0, flipped}, {1, fresh}, {7, foreign}};
    for (const auto& [flag, after] : steps)
    {
        grid.points[1].flags[1] = static_cast<unsigned char>(flag);
        grid.FlipCellDiagonal(1, 0);
        EXPECT_EQ(FileOf(grid), FileOf(after)) << "flag " << flag;
    }
}
