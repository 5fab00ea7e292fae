#include "EditorViewFixture.h"
#include "ModelFile.h"
#include "RecordedFailures.h"

#include <filesystem>

namespace
{
const WPARAM kWheelForward = MAKEWPARAM(0, WHEEL_DELTA);
const WPARAM kWheelBackward = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

class EditorInput : public EditorView
{
  protected:
    void SetUp() override
    {
        EditorView::SetUp();
        ClearReportedFailures();
        dragging = false;
    }

    float Z(int column, int row) const { return view.grid.points[Index(column, row)].z; }
    void SetZ(int column, int row, float z) { view.grid.points[Index(column, row)].z = z; }

    void Pick(int column, int row) { view.pickedPoint = Index(column, row); }
    void Key(WPARAM code) { view.OnKeyDown(code, 0); }
};
} // namespace

TEST(BrushAmount, FallsFromTheCentreAndTurnsNegativeNearTheCorners)
{
    const float expected[11] = {0.005f,  0.0044f, 0.0038f, 0.0032f,  0.0026f, 0.002f,
                                0.0014f, 0.0008f, 0.0002f, -0.0004f, -0.001f};
    for (int d = 0; d <= 10; ++d)
        EXPECT_NEAR(BrushAmount(d, 5), expected[d], 1e-9) << "d = " << d;
    EXPECT_EQ(BrushAmount(0, 5), 0.005f);
    EXPECT_EQ(BrushAmount(5, 5), static_cast<float>(0.005 - 0.0015 * 2.0f));
    EXPECT_EQ(BrushAmount(1, 3), static_cast<float>(0.005 - 0.0015 * (2.0f / 3.0f)));
}

TEST_F(EditorInput, ForwardNotchOnAFlatGridDigsASquareBowl)
{
    Pick(30, 30);
    view.OnMouseWheel(kWheelForward, 0);
    EXPECT_EQ(Z(30, 30), -0.005f);
    for (const auto& n : {std::make_pair(29, 30), std::make_pair(31, 30), std::make_pair(30, 29),
                          std::make_pair(30, 31)})
        EXPECT_EQ(Z(n.first, n.second), -BrushAmount(1, 5));
    EXPECT_NEAR(Z(29, 30), -0.0044f, 1e-9);
    for (const auto& tip : {std::make_pair(25, 26), std::make_pair(26, 25), std::make_pair(34, 25),
                            std::make_pair(25, 34)})
        EXPECT_NEAR(Z(tip.first, tip.second), 0.0004f, 1e-9);
    EXPECT_NEAR(Z(25, 25), 0.001f, 1e-9);
    for (int k = 20; k < 40; ++k)
    {
        EXPECT_EQ(Z(35, k), 0.0f) << "column pc + 5 is outside the square";
        EXPECT_EQ(Z(k, 35), 0.0f) << "row pr + 5 is outside the square";
    }
    EXPECT_EQ(Z(24, 30), 0.0f);
    EXPECT_EQ(view.pickedPoint, Index(30, 30)) << "the wheel does not pick again";
}

TEST_F(EditorInput, BackwardNotchFromHeightZeroLevelsTheSquare)
{
    Pick(30, 30);
    SetZ(26, 27, -0.3f);
    SetZ(34, 34, -0.2f);
    SetZ(35, 30, -0.1f);
    view.OnMouseWheel(kWheelBackward, 0);
    EXPECT_EQ(Z(26, 27), 0.0f);
    EXPECT_EQ(Z(34, 34), 0.0f);
    EXPECT_EQ(Z(35, 30), -0.1f);
}

TEST_F(EditorInput, BackwardNotchBelowZeroLiftsOnlyWhatLiesAtOrBelowThePick)
{
    view.brushRadius = 2;
    Pick(30, 30);
    for (int j = 28; j < 32; ++j)
        for (int i = 28; i < 32; ++i)
            SetZ(i, j, -0.02f);
    SetZ(30, 30, -0.01f);
    SetZ(31, 31, -0.005f);
    view.OnMouseWheel(kWheelBackward, 0);
    EXPECT_EQ(Z(30, 30), -0.01f + 0.005f);
    EXPECT_EQ(Z(29, 30), -0.02f + BrushAmount(1, 2));
    EXPECT_EQ(Z(31, 30), -0.02f + BrushAmount(1, 2));
    EXPECT_EQ(Z(28, 28), -0.02f - 0.001f) << "the corner's amount is negative";
    EXPECT_EQ(Z(31, 31), -0.005f) << "above the picked height";
    EXPECT_EQ(Z(32, 30), 0.0f);
}

TEST_F(EditorInput, RadiusOneTouchesFourPositions)
{
    view.brushRadius = 1;
    Pick(30, 30);
    view.OnMouseWheel(kWheelForward, 0);
    EXPECT_EQ(Z(30, 30), -0.005f);
    EXPECT_EQ(Z(29, 30), -0.002f);
    EXPECT_EQ(Z(30, 29), -0.002f);
    EXPECT_EQ(Z(29, 29), 0.001f);
    EXPECT_EQ(Z(31, 30), 0.0f);
    EXPECT_EQ(Z(30, 31), 0.0f);
}

TEST_F(EditorInput, RadiusZeroMovesThePickedPointAloneByAHundredth)
{
    view.brushRadius = 0;
    Pick(30, 30);
    SetZ(31, 30, -0.5f);
    view.OnMouseWheel(kWheelForward, 0);
    view.OnMouseWheel(MAKEWPARAM(0, 3 * WHEEL_DELTA), 0);
    EXPECT_EQ(Z(30, 30), -0.01f - 0.01f);
    view.OnMouseWheel(kWheelBackward, 0);
    view.OnMouseWheel(kWheelBackward, 0);
    view.OnMouseWheel(kWheelBackward, 0);
    EXPECT_EQ(Z(30, 30), 0.0f);
    EXPECT_EQ(Z(31, 30), -0.5f);
}

TEST_F(EditorInput, BrushAtTheGridEdgeSkipsPositionsOutside)
{
    view.brushRadius = 3;
    Pick(0, 30);
    view.OnMouseWheel(kWheelForward, 0);
    int moved = 0;
    for (const tagPOINT4& p : view.grid.points)
        moved += p.z != 0.0f;
    EXPECT_EQ(moved, 3 * 6) << "columns 0 to 2 of six rows";
    EXPECT_EQ(Z(69, 29), 0.0f) << "nothing wraps round to the far column";
}

TEST_F(EditorInput, WheelWithoutAPickChangesNothing)
{
    for (int radius : {5, 0})
    {
        view.brushRadius = radius;
        view.OnMouseWheel(kWheelForward, 0);
        view.OnMouseWheel(kWheelBackward, 0);
    }
    for (const tagPOINT4& p : view.grid.points)
        ASSERT_EQ(p.z, 0.0f);
}

TEST_F(EditorInput, RightClickFlipsThePickedCellBackAndForth)
{
    const POINT at = ClientPointOf(Index(10, 10));
    view.OnRButtonDown(0, At(at.x, at.y));
    EXPECT_EQ(view.pickedPoint, Index(10, 10));
    EXPECT_EQ(view.grid.points[Index(10, 10)].flags[1], 0);
    view.OnRButtonDown(0, At(at.x, at.y));
    EXPECT_EQ(view.grid.points[Index(10, 10)].flags[1], 1);
    const POINT edge = ClientPointOf(Index(69, 10));
    view.OnRButtonDown(0, At(edge.x - 1, edge.y));
    EXPECT_EQ(view.pickedPoint, Index(69, 10));
    EXPECT_EQ(view.grid.points[Index(69, 10)].flags[1], 0);
}

TEST_F(EditorInput, DragTurnsByFixedStepsAndStopsAtNinety)
{
    view.OnLButtonDown(0, At(100, 100));
    EXPECT_TRUE(dragging);
    view.OnMouseMove(0, At(400, 100));
    EXPECT_EQ(view.yaw, 4.0f);
    EXPECT_EQ(view.pitch, 0.0f);
    view.OnMouseMove(0, At(390, 50));
    EXPECT_EQ(view.yaw, 0.0f);
    EXPECT_EQ(view.pitch, -2.0f);
    view.yaw = 88.0f;
    view.OnMouseMove(0, At(395, 50));
    EXPECT_EQ(view.yaw, 90.0f);
    view.pitch = -89.0f;
    view.OnMouseMove(0, At(395, 40));
    EXPECT_EQ(view.pitch, -90.0f);
    dragging = false;
    view.OnMouseMove(0, At(10, 10));
    EXPECT_EQ(view.yaw, 90.0f);
    EXPECT_EQ(view.pitch, -90.0f);
    EXPECT_EQ(lastMouseX, 10);
    EXPECT_EQ(lastMouseY, 10);
}

TEST_F(EditorInput, CoordinatesLeftOrAboveTheViewAreSigned)
{
    view.OnLButtonDown(0, At(-5, -7));
    EXPECT_EQ(lastMouseX, -5);
    EXPECT_EQ(lastMouseY, -7);
    view.OnMouseMove(0, At(-10, -3));
    EXPECT_EQ(view.yaw, -4.0f);
    EXPECT_EQ(view.pitch, 2.0f);
}

TEST_F(EditorInput, ArrowKeysTurnByTenAndClamp)
{
    for (int i = 0; i < 12; ++i)
        Key(VK_LEFT);
    EXPECT_EQ(view.yaw, 90.0f);
    Key(VK_RIGHT);
    EXPECT_EQ(view.yaw, 80.0f);
    view.pitch = -85.0f;
    Key(VK_UP);
    EXPECT_EQ(view.pitch, -90.0f);
    Key(VK_DOWN);
    EXPECT_EQ(view.pitch, -80.0f);
}

TEST_F(EditorInput, DigitKeysChooseStyleAndRadius)
{
    Key('2');
    EXPECT_EQ(view.wireframe, 1);
    Key('1');
    EXPECT_EQ(view.wireframe, 0);
    Key('3');
    EXPECT_EQ(view.brushRadius, 2);
    Key('9');
    EXPECT_EQ(view.brushRadius, 8);
    Key('6');
    EXPECT_EQ(view.brushRadius, 5);
    Key(0x3A);
    EXPECT_EQ(view.brushRadius, 0);
    Key('0');
    Key(VK_NUMPAD4);
    Key(VK_SHIFT);
    EXPECT_EQ(view.brushRadius, 0);
    EXPECT_EQ(view.wireframe, 0);
}

TEST_F(EditorInput, SaveThenLoadRestoresTheModel)
{
    view.grid.points[Index(30, 40)].z = -0.25f;
    view.grid.FlipCellDiagonal(Index(5, 5), 0);
    Key('S');
    ASSERT_TRUE(std::filesystem::exists("model.dat"));
    view.grid.points[Index(30, 40)].z = 0.0f;
    view.grid.FlipCellDiagonal(Index(5, 5), 0);
    Key('L');
    EXPECT_EQ(view.grid.points[Index(30, 40)].z, -0.25f);
    EXPECT_EQ(view.grid.points[Index(5, 5)].flags[1], 0);
    EXPECT_EQ(view.polygonCount, 8) << "a successful load redraws";
    EXPECT_TRUE(ReportedFailures().empty());
}

TEST_F(EditorInput, LoadWithoutAFileReportsAndChangesNothing)
{
    view.grid.points[Index(30, 40)].z = -0.25f;
    Key('L');
    ASSERT_EQ(ReportedFailures().size(), 1u);
    EXPECT_EQ(view.grid.points[Index(30, 40)].z, -0.25f);
    EXPECT_EQ(view.polygonCount, 0) << "a failed load does not redraw";
}
