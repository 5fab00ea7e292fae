#include "ViewFixture.h"

TEST_F(EditorView, AForwardNotchDigsTheSquareAroundThePickByCityBlockDistance)
{
    view.pickedPoint = Index(30, 30);
    Wheel(1);
    // 0.005 at the centre, 0.0006 less a step, negative near the corners.
    const float depth[11] = {-0.005f,  -0.0044f, -0.0038f, -0.0032f, -0.0026f, -0.002f,
                             -0.0014f, -0.0008f, -0.0002f, 0.0004f,  0.001f};
    for (int d = 0; d <= 10; ++d)
        EXPECT_NEAR(view.grid.points[Index(30 - (d + 1) / 2, 30 - d / 2)].z, depth[d], 1e-9) << d;
    int moved = 0;
    for (const tagPOINT4& p : view.grid.points)
        moved += p.z != 0.0f;
    EXPECT_EQ(moved, 100) << "columns and rows 25 to 34";
}

TEST_F(EditorView, TheSinglePointBrushMovesThePickAloneByAHundredthAMessage)
{
    Key(0x3A);
    view.pickedPoint = Index(30, 30);
    for (int notches : {1, 3, 1, -1})
        Wheel(notches);
    EXPECT_FLOAT_EQ(view.grid.points[Index(30, 30)].z, -0.02f);
    EXPECT_EQ(view.grid.points[Index(29, 30)].z, 0.0f);
}

TEST_F(EditorView, APaintLeavesNothingToPaint)
{
    InvalidateRect(view.hwnd, nullptr, FALSE);
    EXPECT_TRUE(Redraws([&] { UpdateWindow(view.hwnd); }));
    EXPECT_FALSE(GetUpdateRect(view.hwnd, nullptr, FALSE));
}

TEST_F(EditorView, EachTurningInputStepsTheAnglesWithinNinetyDegrees)
{
    auto key = [this](WPARAM key) { return [this, key] { Key(key); }; };
    auto drag = [this](int x, int y) { return [this, x, y] { Drag({400, 400}, {x, y}); }; };
    auto move = [this] { MoveTo({300, 300}); };
    const struct
    {
        const char* input;
        std::function<void()> send;
        float yawBefore, pitchBefore, yaw, pitch;
    } rows[] = {
        {"left arrow", key(VK_LEFT), 0, 0, 10, 0},
        {"right arrow", key(VK_RIGHT), 0, 0, -10, 0},
        {"up arrow", key(VK_UP), 0, 0, 0, -10},
        {"down arrow", key(VK_DOWN), 0, 0, 0, 10},
        {"drag a pixel right", drag(401, 400), 0, 0, 4, 0},
        {"drag far left", drag(100, 400), 0, 0, -4, 0},
        {"drag a pixel down", drag(400, 401), 0, 0, 0, 2},
        {"drag far up", drag(400, 100), 0, 0, 0, -2},
        {"drag up and left", drag(395, 395), 0, 0, -4, -2},
        {"drag down and right near the limits", drag(401, 401), 88, 89, 90, 90},
        {"drag up and left near the limits", drag(399, 399), -88, -89, -90, -90},
        {"move after a drag", move, 0, 0, 0, 0},
    };
    for (const auto& row : rows)
    {
        view.yaw = row.yawBefore;
        view.pitch = row.pitchBefore;
        EXPECT_TRUE(Redraws(row.send)) << row.input;
        EXPECT_EQ(view.yaw, row.yaw) << row.input;
        EXPECT_EQ(view.pitch, row.pitch) << row.input;
    }
}
