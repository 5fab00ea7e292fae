#include "ViewFixture.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace
{
// One notch as the user is promised it, at offset (i, j) from a pick of height h: radius 0 moves
// the pick alone by 0.01; otherwise the square from -r to r - 1 moves what lies at or above h
// (forward) or at or below it (backward) by 0.005 - 0.0015 * 2d / r at city-block distance d
// (a raise stops at 0), and backward from height 0 or above it levels them.
float Brushed(float z, float h, int i, int j, int r, bool forward)
{
    if (r < 1)
        return i != 0 || j != 0 ? z : forward ? z - 0.01f : std::min(z + 0.01f, 0.0f);
    if (i < -r || i >= r || j < -r || j >= r || (forward ? z < h : z > h))
        return z;
    const float m = static_cast<float>(2 * (std::abs(i) + std::abs(j))) / static_cast<float>(r);
    const float amount = static_cast<float>(0.005 - 0.0015 * m);
    return forward ? z - amount : h >= 0.0f ? 0.0f : std::min(z + amount, 0.0f);
}
} // namespace

TEST_F(EditorView, ANotchMovesTheBrushSquareByItsFallOffAndNothingElse)
{
    // Ground in steps (a height read again after the pick moved shows), the pick (-1: none), the
    // radius and the wheel's delta, of which only the sign counts, as for a fine wheel's steps.
    const std::tuple<float, int, int, int, short> rows[] = {
        {0, 1, 1, 3, 120},          {0, 68, 68, 3, 1},       {0, 30, 30, 0, 120},
        {0, -1, -1, 5, 120},        {0, -1, -1, 0, -120},    {-0.002f, 33, 30, 5, 1},
        {-0.002f, 33, 30, 2, -120}, {-0.002f, 31, 30, 5, 0}, {-0.002f, 34, 30, 0, -1},
        {0, 30, 30, 5, 120},
    };
    const int size = kProgramGridSize;
    for (const auto& [step, column, row, radius, delta] : rows)
    {
        for (int q = 0; q < size * size; ++q)
            view.grid.points[q].z = step * ((q % size + q / size * 2) % 7);
        view.brushRadius = radius;
        view.pickedPoint = column < 0 ? -1 : Index(column, row);
        const CGrid before = view.grid;
        EXPECT_TRUE(Redraws([&, notch = delta] { Send(WM_MOUSEWHEEL, MAKEWPARAM(0, notch)); }));
        const float h = column < 0 ? 0.0f : before.points[view.pickedPoint].z;
        for (int q = 0; q < size * size; ++q)
        {
            const float was = before.points[q].z;
            const int i = q % size - column, j = q / size - row;
            const float expected = column < 0 ? was : Brushed(was, h, i, j, radius, delta > 0);
            ASSERT_EQ(view.grid.points[q].z, expected)
                << "step " << step << ", radius " << radius << ", pick " << column << "," << row
                << ", delta " << delta << ": " << i << "," << j;
        }
    }
}
