#include "ViewFixture.h"

namespace
{
const WPARAM kWheelForward = MAKEWPARAM(0, WHEEL_DELTA);
const WPARAM kWheelBackward = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));

class EditorInput : public EditorView
{
  protected:
    float Z(int column, int row) const { return view.grid.points[Index(column, row)].z; }
    void SetZ(int column, int row, float z) { view.grid.points[Index(column, row)].z = z; }
    int Moved() const
    {
        int moved = 0;
        for (const tagPOINT4& p : view.grid.points)
            moved += p.z != 0.0f;
        return moved;
    }
    void Wheel(int column, int row, WPARAM notch)
    {
        view.pickedPoint = Index(column, row);
        view.OnMouseWheel(notch, 0);
    }
    void Key(WPARAM code) { view.OnKeyDown(code, 0); }
};
} // namespace

TEST_F(EditorInput, ForwardNotchDigsTheSquareAroundThePickByCityBlockDistance)
{
    Wheel(30, 30, kWheelForward);
    // 0.005 at the centre, 0.0006 less a step, negative near the corners.
    const float depth[11] = {-0.005f,  -0.0044f, -0.0038f, -0.0032f, -0.0026f, -0.002f,
                             -0.0014f, -0.0008f, -0.0002f, 0.0004f,  0.001f};
    for (int d = 0; d <= 10; ++d)
        EXPECT_NEAR(Z(30 - (d + 1) / 2, 30 - d / 2), depth[d], 1e-9) << "d = " << d;
    EXPECT_EQ(Moved(), 100) << "columns and rows 25 to 34";
    EXPECT_EQ(view.pickedPoint, Index(30, 30)) << "the wheel does not pick again";

    // Pushes down only what lies at or above the picked height.
    view.brushRadius = 1;
    SetZ(29, 29, -0.5f);
    Wheel(30, 30, kWheelForward);
    EXPECT_FLOAT_EQ(Z(30, 30), -0.01f);
    EXPECT_FLOAT_EQ(Z(29, 30), -0.0064f);
    EXPECT_EQ(Z(29, 29), -0.5f);
}

TEST_F(EditorInput, BackwardNotchLevelsFromZeroAndLiftsFromBelow)
{
    SetZ(26, 27, -0.3f);
    SetZ(35, 30, -0.1f);
    Wheel(30, 30, kWheelBackward);
    EXPECT_EQ(Z(26, 27), 0.0f);
    EXPECT_EQ(Z(35, 30), -0.1f);

    view.brushRadius = 2;
    for (int j = 28; j < 32; ++j)
        for (int i = 28; i < 32; ++i)
            SetZ(i, j, -0.02f);
    SetZ(30, 30, -0.01f);
    SetZ(31, 31, -0.005f);
    Wheel(30, 30, kWheelBackward);
    EXPECT_FLOAT_EQ(Z(30, 30), -0.005f);
    EXPECT_FLOAT_EQ(Z(29, 30), -0.0165f);
    EXPECT_FLOAT_EQ(Z(28, 28), -0.021f) << "the corner's amount is negative";
    EXPECT_EQ(Z(31, 31), -0.005f) << "above the picked height";
    EXPECT_EQ(Z(32, 30), 0.0f);
}

TEST_F(EditorInput, RadiusZeroMovesThePickedPointAloneByAHundredthAndNoPickNothing)
{
    view.brushRadius = 0;
    view.OnMouseWheel(kWheelForward, 0);
    EXPECT_EQ(Moved(), 0);
    Wheel(30, 30, kWheelForward);
    Wheel(30, 30, MAKEWPARAM(0, 3 * WHEEL_DELTA));
    EXPECT_FLOAT_EQ(Z(30, 30), -0.02f);
    EXPECT_EQ(Moved(), 1);
    for (int notch = 0; notch < 3; ++notch)
        Wheel(30, 30, kWheelBackward);
    EXPECT_EQ(Z(30, 30), 0.0f);
    view.brushRadius = 5;
    view.pickedPoint = -1;
    view.OnMouseWheel(kWheelForward, 0);
    EXPECT_EQ(Moved(), 0);
}

TEST_F(EditorInput, KeysTurnChooseStyleAndRadiusAndIgnoreTheRest)
{
    // Each key, then the yaw, pitch, style and radius it leaves.
    view.yaw = 85.0f;
    view.pitch = -85.0f;
    const struct
    {
        WPARAM key;
        float yaw, pitch;
        int wireframe, radius;
    } steps[] = {{VK_LEFT, 90, -85, 0, 5},   {VK_RIGHT, 80, -85, 0, 5}, {VK_UP, 80, -90, 0, 5},
                 {VK_DOWN, 80, -80, 0, 5},   {'2', 80, -80, 1, 5},      {'3', 80, -80, 1, 2},
                 {'9', 80, -80, 1, 8},       {'1', 80, -80, 0, 8},      {0x3A, 80, -80, 0, 0},
                 {VK_NUMPAD4, 80, -80, 0, 0}};
    for (const auto& step : steps)
    {
        Key(step.key);
        EXPECT_EQ(view.yaw, step.yaw) << step.key;
        EXPECT_EQ(view.pitch, step.pitch) << step.key;
        EXPECT_EQ(view.wireframe, step.wireframe) << step.key;
        EXPECT_EQ(view.brushRadius, step.radius) << step.key;
    }
}
