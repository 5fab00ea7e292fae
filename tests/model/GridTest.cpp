#include "Grid.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
using Triangle = std::array<int, 3>;

Triangle TriangleAt(const CGrid& grid, int t)
{
    const tagTRIANGLE3& tri = grid.triangles[t];
    return {tri.vertex[0], tri.vertex[1], tri.vertex[2]};
}

class FreshGrid : public ::testing::Test
{
  protected:
    void SetUp() override { grid.Create(70); }
    CGrid grid;
};
} // namespace

TEST_F(FreshGrid, PointsSpreadEvenlyOverTheUnitSquareAtHeightZero)
{
    ASSERT_EQ(grid.size, 70);
    ASSERT_EQ(grid.points.size(), 4900u);
    ASSERT_EQ(grid.triangles.size(), 9522u);
    EXPECT_EQ(grid.points[0].x, -1.0f);
    EXPECT_EQ(grid.points[0].y, -1.0f);
    EXPECT_EQ(grid.points[69].x, 1.0f);
    EXPECT_EQ(grid.points[69].y, -1.0f);
    EXPECT_EQ(grid.points[70].x, -1.0f);
    EXPECT_EQ(grid.points[70].y, -0.97101450f);
    EXPECT_EQ(grid.points[1].x, -0.97101450f);
    EXPECT_EQ(grid.points[35].x, 0.014492754f);
    EXPECT_EQ(grid.points[4899].x, 1.0f);
    EXPECT_EQ(grid.points[4899].y, 1.0f);
    for (const tagPOINT4& p : grid.points)
    {
        EXPECT_EQ(p.z, 0.0f);
        EXPECT_EQ(p.w, 0.0f);
        EXPECT_EQ(p.flags[0] | p.flags[2] | p.flags[3], 0);
    }
}

TEST_F(FreshGrid, DiagonalsFormACheckerboard)
{
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 71}));
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 0, 71}));
    EXPECT_EQ(TriangleAt(grid, 2), (Triangle{1, 71, 2}));
    EXPECT_EQ(TriangleAt(grid, 3), (Triangle{2, 71, 72}));
    EXPECT_EQ(TriangleAt(grid, 9520), (Triangle{4828, 4898, 4899}));
    EXPECT_EQ(TriangleAt(grid, 9521), (Triangle{4829, 4828, 4899}));
    EXPECT_EQ(grid.points[0].flags[1], 1);
    EXPECT_EQ(grid.points[2].flags[1], 1);
    EXPECT_EQ(grid.points[71].flags[1], 1);
    EXPECT_EQ(grid.points[1].flags[1], 0);
    EXPECT_EQ(grid.points[70].flags[1], 0);
    EXPECT_EQ(grid.points[69].flags[1], 0);
    EXPECT_EQ(grid.points[4830].flags[1], 0);
}

TEST(GridCreate, SmallestGridHasTwoTriangles)
{
    CGrid grid;
    grid.Create(2);
    ASSERT_EQ(grid.points.size(), 4u);
    ASSERT_EQ(grid.triangles.size(), 2u);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 2, 3}));
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 0, 3}));
    EXPECT_EQ(grid.points[0].flags[1], 1);
}

TEST(GridCreate, SizeBelowTwoLeavesAnEmptyGrid)
{
    for (int n : {1, 0, -3})
    {
        CGrid grid;
        grid.Create(70);
        grid.Create(n);
        EXPECT_EQ(grid.size, 0);
        EXPECT_TRUE(grid.points.empty());
        EXPECT_TRUE(grid.triangles.empty());
        EXPECT_EQ(grid.IndexToCell(0), std::make_pair(-1, -1));
        grid.FlipCellDiagonal(0, 0);
        grid.LowerPoint(0, 1.0f, true);
    }
}

TEST_F(FreshGrid, IndexAndCellArithmeticRejectsEverythingOutside)
{
    EXPECT_EQ(grid.IndexToCell(71), std::make_pair(1, 1));
    EXPECT_EQ(grid.IndexToCell(4899), std::make_pair(69, 69));
    EXPECT_EQ(grid.IndexToCell(-1), std::make_pair(-1, -1));
    EXPECT_EQ(grid.IndexToCell(4900), std::make_pair(-1, -1));
    EXPECT_EQ(grid.CellToIndex(0, 69), 4830);
    EXPECT_EQ(grid.CellToIndex(69, 69), 4899);
    EXPECT_EQ(grid.CellToIndex(70, 0), -1);
    EXPECT_EQ(grid.CellToIndex(0, -1), -1);
    EXPECT_EQ(grid.CellToIndex(-1, 0), -1);
    EXPECT_EQ(grid.CellToIndex(0, 70), -1);
}

TEST_F(FreshGrid, RaiseAndSetNeverLeaveAPointAboveZero)
{
    grid.points[5].z = -0.005f;
    grid.RaisePoint(5, 0.01f, true);
    EXPECT_EQ(grid.points[5].z, 0.0f);
    grid.SetPointHeight(6, 0.5f, true);
    EXPECT_EQ(grid.points[6].z, 0.0f);
    grid.SetPointHeight(6, -0.25f, true);
    EXPECT_EQ(grid.points[6].z, -0.25f);
    grid.RaisePoint(6, 0.05f, true);
    EXPECT_EQ(grid.points[6].z, -0.25f + 0.05f);
}

TEST_F(FreshGrid, LowerHasNoLimitInEitherDirection)
{
    grid.LowerPoint(7, 0.01f, true);
    EXPECT_EQ(grid.points[7].z, -0.01f);
    grid.LowerPoint(8, -0.01f, true);
    EXPECT_EQ(grid.points[8].z, 0.01f);
    grid.RaisePoint(9, -0.01f, true);
    EXPECT_EQ(grid.points[9].z, -0.01f);
}

TEST_F(FreshGrid, HeightOperationsIgnoreOutsideIndicesAndApplyFalse)
{
    const CGrid before = grid;
    for (int index : {-1, 4900})
    {
        grid.LowerPoint(index, 0.01f, true);
        grid.RaisePoint(index, -0.01f, true);
        grid.SetPointHeight(index, -0.5f, true);
    }
    grid.LowerPoint(10, 0.01f, false);
    grid.RaisePoint(10, -0.01f, false);
    grid.SetPointHeight(10, -0.5f, false);
    for (size_t i = 0; i < grid.points.size(); ++i)
        ASSERT_EQ(grid.points[i].z, before.points[i].z) << "point " << i;
}

TEST_F(FreshGrid, ModeZeroTogglesTheCellAndBack)
{
    grid.FlipCellDiagonal(0, 0);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 1}));
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 70, 71}));
    EXPECT_EQ(grid.points[0].flags[1], 0);
    grid.FlipCellDiagonal(0, 0);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 71}));
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 0, 71}));
    EXPECT_EQ(grid.points[0].flags[1], 1);
}

TEST_F(FreshGrid, FlipFindsTheCellByPosition)
{
    // Cell (5, 7): SW corner 5 + 7 * 70, triangles at 2 * (7 * 69 + 5).
    const int sw = 5 + 7 * 70;
    const int t = 2 * (7 * 69 + 5);
    ASSERT_EQ(grid.points[sw].flags[1], 1);
    grid.FlipCellDiagonal(sw, 0);
    EXPECT_EQ(TriangleAt(grid, t), (Triangle{sw, sw + 70, sw + 1}));
    EXPECT_EQ(TriangleAt(grid, t + 1), (Triangle{sw + 1, sw + 70, sw + 71}));
    EXPECT_EQ(TriangleAt(grid, t + 2), (Triangle{sw + 1, sw + 71, sw + 2}));
}

TEST_F(FreshGrid, FlipOutsideAnyCellChangesNothing)
{
    const CGrid before = grid;
    for (int index : {69, 139, 4830, 4899, -1, 4900})
    {
        for (int mode : {0, 1, 2})
            grid.FlipCellDiagonal(index, mode);
    }
    for (size_t t = 0; t < grid.triangles.size(); ++t)
        ASSERT_EQ(TriangleAt(grid, static_cast<int>(t)), TriangleAt(before, static_cast<int>(t)));
    for (size_t i = 0; i < grid.points.size(); ++i)
        ASSERT_EQ(grid.points[i].flags[1], before.points[i].flags[1]);
}

TEST_F(FreshGrid, ForcedModesRewriteTheCellWhateverTheFlagSays)
{
    grid.FlipCellDiagonal(0, 1);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 71}));
    EXPECT_EQ(grid.points[0].flags[1], 1);
    grid.FlipCellDiagonal(0, 2);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 1}));
    EXPECT_EQ(grid.points[0].flags[1], 0);
    grid.FlipCellDiagonal(0, 2);
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 70, 71}));
    grid.FlipCellDiagonal(0, 3);
    EXPECT_EQ(grid.points[0].flags[1], 0);
}

TEST_F(FreshGrid, ForeignFlagBlocksTheToggleButNotTheForcedModes)
{
    grid.points[0].flags[1] = 7;
    grid.FlipCellDiagonal(0, 0);
    EXPECT_EQ(grid.points[0].flags[1], 7);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 71}));
    grid.FlipCellDiagonal(0, 2);
    EXPECT_EQ(grid.points[0].flags[1], 0);
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 1}));
    grid.points[0].flags[1] = 7;
    grid.FlipCellDiagonal(0, 1);
    EXPECT_EQ(grid.points[0].flags[1], 1);
    EXPECT_EQ(TriangleAt(grid, 1), (Triangle{1, 0, 71}));
}

TEST_F(FreshGrid, CreateAgainRebuildsEverything)
{
    grid.LowerPoint(100, 0.5f, true);
    grid.FlipCellDiagonal(0, 0);
    grid.points[3].flags[2] = 9;
    grid.Create(70);
    CGrid fresh;
    fresh.Create(70);
    for (size_t i = 0; i < grid.points.size(); ++i)
    {
        ASSERT_EQ(grid.points[i].z, 0.0f);
        ASSERT_EQ(grid.points[i].flags[1], fresh.points[i].flags[1]);
        ASSERT_EQ(grid.points[i].flags[2], 0);
    }
    EXPECT_EQ(TriangleAt(grid, 0), (Triangle{0, 70, 71}));
}
