#include "Grid.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

TEST(GridPoints, OperationsOffTheGridOrNotAppliedChangeNothing)
{
    // The heights the operations give are pinned through the view's brush.
    const CGrid fresh = FreshGrid(3);
    CGrid grid = fresh;
    for (const auto& [index, apply] : {std::pair{5, false}, {-1, true}, {9, true}})
    {
        grid.LowerPoint(index, 0.5f, apply);
        grid.RaisePoint(index, -0.5f, apply);
        grid.SetPointHeight(index, -0.5f, apply);
    }
    EXPECT_EQ(FileOf(grid), FileOf(fresh));
    EXPECT_EQ(CGrid().CellToIndex(0, 0), -1);
    EXPECT_EQ(grid.IndexToCell(9), std::make_pair(-1, -1));
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
