#include "ViewFixture.h"

namespace
{
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
    void WheelAt(int column, int row, int notches)
    {
        view.pickedPoint = Index(column, row);
        Wheel(notches);
    }
};
} // namespace

TEST_F(EditorInput, AForwardNotchDigsTheSquareAroundThePickByCityBlockDistance)
{
    WheelAt(30, 30, 1);
    // 0.005 at the centre, 0.0006 less a step, negative near the corners.
    const float depth[11] = {-0.005f,  -0.0044f, -0.0038f, -0.0032f, -0.0026f, -0.002f,
                             -0.0014f, -0.0008f, -0.0002f, 0.0004f,  0.001f};
    for (int d = 0; d <= 10; ++d)
        EXPECT_NEAR(Z(30 - (d + 1) / 2, 30 - d / 2), depth[d], 1e-9) << "d = " << d;
    EXPECT_EQ(Moved(), 100) << "columns and rows 25 to 34";
    EXPECT_EQ(view.pickedPoint, Index(30, 30)) << "the wheel does not pick again";
}

TEST_F(EditorInput, AForwardNotchPushesDownOnlyWhatLiesAtOrAboveThePick)
{
    Key('3');
    SetZ(29, 29, -0.5f);
    WheelAt(30, 30, 1);
    EXPECT_FLOAT_EQ(Z(30, 30), -0.005f);
    EXPECT_FLOAT_EQ(Z(29, 30), -0.0035f);
    EXPECT_EQ(Z(29, 29), -0.5f);
}

TEST_F(EditorInput, ABackwardNotchLevelsFromZeroAndLiftsFromBelow)
{
    SetZ(26, 27, -0.3f);
    SetZ(35, 30, -0.1f);
    WheelAt(30, 30, -1);
    EXPECT_EQ(Z(26, 27), 0.0f);
    EXPECT_EQ(Z(35, 30), -0.1f);

    Key('3');
    for (int j = 28; j < 32; ++j)
        for (int i = 28; i < 32; ++i)
            SetZ(i, j, -0.02f);
    SetZ(30, 30, -0.01f);
    SetZ(31, 31, -0.005f);
    WheelAt(30, 30, -1);
    EXPECT_FLOAT_EQ(Z(30, 30), -0.005f);
    EXPECT_FLOAT_EQ(Z(29, 30), -0.0165f);
    EXPECT_FLOAT_EQ(Z(28, 28), -0.021f) << "the corner's amount is negative";
    EXPECT_EQ(Z(31, 31), -0.005f) << "above the picked height";
    EXPECT_EQ(Z(32, 30), 0.0f);
}

TEST_F(EditorInput, TheSinglePointBrushMovesThePickAloneByAHundredthANotch)
{
    Key(0x3A);
    WheelAt(30, 30, 1);
    WheelAt(30, 30, 3);
    EXPECT_FLOAT_EQ(Z(30, 30), -0.02f);
    EXPECT_EQ(Moved(), 1);
    for (int notch = 0; notch < 3; ++notch)
        WheelAt(30, 30, -1);
    EXPECT_EQ(Z(30, 30), 0.0f);
}

TEST_F(EditorInput, TheWheelWithoutAPickMovesNothing)
{
    Wheel(1);
    Key(0x3A);
    Wheel(1);
    EXPECT_EQ(Moved(), 0);
}

TEST_F(EditorInput, DigitKeysChooseOutlinesAndTheBrushRadius)
{
    const struct
    {
        WPARAM key;
        int wireframe;
        int radius;
    } rows[] = {{'2', 1, 5},  {'3', 1, 2}, {'9', 1, 8},        {'1', 0, 8},
                {0x3A, 0, 0}, {'0', 0, 0}, {VK_NUMPAD4, 0, 0}, {'6', 0, 5}};
    for (const auto& row : rows)
    {
        EXPECT_TRUE(Redraws([&] { Key(row.key); })) << row.key;
        EXPECT_EQ(view.wireframe, row.wireframe) << row.key;
        EXPECT_EQ(view.brushRadius, row.radius) << row.key;
    }
}

TEST_F(EditorInput, ArrowKeysTurnByTenDegreesUpToNinetyAndRedraw)
{
    const struct
    {
        WPARAM key;
        float yawBefore, pitchBefore, yaw, pitch;
    } rows[] = {{VK_LEFT, 0, 0, 10, 0},  {VK_RIGHT, 0, 0, -10, 0}, {VK_UP, 0, 0, 0, -10},
                {VK_DOWN, 0, 0, 0, 10},  {VK_LEFT, 85, 0, 90, 0},  {VK_RIGHT, -85, 0, -90, 0},
                {VK_UP, 0, -85, 0, -90}, {VK_DOWN, 0, 85, 0, 90}};
    for (const auto& row : rows)
    {
        view.yaw = row.yawBefore;
        view.pitch = row.pitchBefore;
        EXPECT_TRUE(Redraws([&] { Key(row.key); })) << row.key;
        EXPECT_EQ(view.yaw, row.yaw) << row.key;
        EXPECT_EQ(view.pitch, row.pitch) << row.key;
    }
}

TEST_F(EditorInput, EachDragMessageTurnsFourDegreesSidewaysAndTwoUpOrDown)
{
    const struct
    {
        POINT by;
        float yawBefore, pitchBefore, yaw, pitch;
    } rows[] = {{{1, 0}, 0, 0, 4, 0},          {{-300, 0}, 0, 0, -4, 0}, {{0, 1}, 0, 0, 0, 2},
                {{0, -300}, 0, 0, 0, -2},      {{-5, -5}, 0, 0, -4, -2}, {{1, 1}, 88, 89, 90, 90},
                {{-1, -1}, -88, -89, -90, -90}};
    for (const auto& row : rows)
    {
        view.yaw = row.yawBefore;
        view.pitch = row.pitchBefore;
        Drag({400, 400}, {400 + row.by.x, 400 + row.by.y});
        EXPECT_EQ(view.yaw, row.yaw) << row.by.x << ", " << row.by.y;
        EXPECT_EQ(view.pitch, row.pitch) << row.by.x << ", " << row.by.y;
    }
}

TEST_F(EditorInput, MovesAfterTheButtonIsUpDoNotTurn)
{
    Drag({400, 400}, {410, 410});
    MoveTo({300, 300});
    EXPECT_EQ(view.yaw, 4.0f);
    EXPECT_EQ(view.pitch, 2.0f);
}
