#include "Grid.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <utility>

TEST(GridEdits, NothingOffTheGridChangesAndAFlipTogglesItsOwnCellOnly)
{
    // Cell (1, 0), whose column and row differ, split from SW to NE, or with a foreign flag.
    const CGrid fresh = FreshGrid(3);
    CGrid flipped = fresh, foreign = fresh, grid = fresh;
    flipped.triangles[2] = {{1, 4, 5}};
    flipped.triangles[3] = {{2, 1, 5}};
    flipped.points[1].flags[1] = 1;
    foreign.points[1].flags[1] = 7;
    // Points of no cell and no points; the heights given are pinned through the view's brush.
    for (int index : {2, 5, 6, 7, 8, -1, 9})
        grid.FlipCellDiagonal(index, 0);
    for (int index : {-1, 9})
    {
        grid.LowerPoint(index, 0.5f, true);
        grid.RaisePoint(index, -0.5f, true);
        grid.SetPointHeight(index, -0.5f, true);
    }
    EXPECT_EQ(FileOf(grid), FileOf(fresh));
    // Mode 0, the program's, toggles; a flag of neither orientation blocks it.
    const std::pair<int, const CGrid&> steps[] = {{0, flipped}, {1, fresh}, {7, foreign}};
    for (const auto& [flag, after] : steps)
    {
        grid.points[1].flags[1] = static_cast<unsigned char>(flag);
        grid.FlipCellDiagonal(1, 0);
        EXPECT_EQ(FileOf(grid), FileOf(after)) << "flag " << flag;
    }
}
