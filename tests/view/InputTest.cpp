#include "ViewFixture.h"

#include <array>

TEST_F(EditorView, TheSinglePointBrushMovesThePickByAHundredthAMessage)
{
    Key(0x3A);
    view.pickedPoint = Index(30, 30);
    for (int notches : {1, 3, 1, -1})
        Wheel(notches);
    EXPECT_FLOAT_EQ(view.grid.points[Index(30, 30)].z, -0.02f);
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
        {"right arrow", key(VK_RIGHT), 0, 0, -10, 0},
        {"up arrow", key(VK_UP), 0, 0, 0, -10},
        {"down arrow", key(VK_DOWN), 0, 0, 0, 10},
        {"drag a pixel down and right", drag(401, 401), 0, 0, 4, 2},
        {"drag far up and left", drag(100, 100), 0, 0, -4, -2},
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

TEST_F(EditorView, AMovePicksWhatTheTurnedViewShowsUnderIt)
{
    // Lifted towards the viewer, the point stands clear of the flat points of lower index.
    const int lifted = Index(30, 40);
    view.grid.points[lifted].z = -0.3f;
    const struct
    {
        float yaw, pitch;
    } rows[] = {{0, 40}, {-40, 0}, {-30, 60}, {-90, 20}};
    for (const auto& row : rows)
    {
        view.yaw = row.yaw;
        view.pitch = row.pitch;
        MoveTo(ClientPointOf(lifted));
        EXPECT_EQ(view.pickedPoint, lifted) << "yaw " << row.yaw << ", pitch " << row.pitch;
    }
    // Turned by 90 degrees the flat grid is a line down the middle: nothing lies left of it.
    MoveTo({20, height / 2});
    EXPECT_EQ(view.pickedPoint, -1);
}

TEST_F(EditorView, ARightClickFlipsTheCellOfThePointUnderIt)
{
    const int corner = Index(10, 20);
    EXPECT_TRUE(Redraws([&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, ClientPointOf(corner)); }));
    EXPECT_EQ(view.grid.points[corner].flags[1], 0) << "split the other way on a fresh grid";
}

// The select pass from arrays, beside the one in immediate mode where that is not the default.
class SelectPass : public EditorView
{
  protected:
    // What each way of sending the pass leaves in pickedPoint, from before.
    std::array<int, 2> Picks(POINT at, int before)
    {
        std::array<int, 2> picked{};
        for (bool fromArrays : {false, true})
        {
            view.selectFromArrays = fromArrays;
            view.pickedPoint = before;
            view.Render(false, at.x, at.y, true);
            picked[fromArrays] = view.pickedPoint;
        }
        return picked;
    }
};

TEST_F(SelectPass, AWindowInsideATriangleHitsItFilledButNotOutlined)
{
    // One large triangle in the view; every other point and triangle lies behind the far plane.
    const int a = Index(0, 0), b = Index(1, 0), c = Index(0, 1), hidden = Index(5, 5);
    for (tagPOINT4& p : view.grid.points)
        p.z = 5.0f;
    for (tagTRIANGLE3& triangle : view.grid.triangles)
        triangle = {{hidden, hidden, hidden}};
    view.grid.triangles[0] = {{a, b, c}};
    view.grid.points[a] = {{}, -0.8f, -0.8f, -0.5f, 1.0f};
    view.grid.points[b] = {{}, 0.8f, -0.8f, -0.5f, 1.0f};
    view.grid.points[c] = {{}, -0.8f, 0.8f, -0.5f, 1.0f};
    const int before = hidden; // no pick window here reaches it
    const struct
    {
        const char* where;
        POINT at;
        int outlined, picked;
    } rows[] = {
        {"inside, filled", {330, 570}, 0, before},
        {"inside, outlined", {330, 570}, 1, -1},
        {"on the first edge", {450, 810}, 1, before},
        {"on the second edge", {450, 450}, 1, before},
        {"on the closing edge", {90, 450}, 1, before},
    };
    for (const auto& row : rows)
    {
        view.wireframe = row.outlined;
        EXPECT_EQ(Picks(row.at, before), (std::array<int, 2>{row.picked, row.picked})) << row.where;
    }
}

TEST_F(SelectPass, FromArraysItPicksWhatImmediateModePicksOverTheView)
{
    // A bowl: stretched triangles on its sides, an undrawn flat rim; turned edge-on the buffer
    // overflows.
    for (tagPOINT4& p : view.grid.points)
        p.z = static_cast<float>(std::min(0.0, 3.0 * (p.x * p.x + p.y * p.y) - 0.9));
    const int before = Index(69, 69);
    for (float yaw : {-30.0f, 90.0f})
        for (int y = 10; y < height; y += 120)
            for (int x = 10; x < width; x += 120)
            {
                view.yaw = yaw;
                view.pitch = yaw < 0 ? 60.0f : 20.0f;
                const std::array<int, 2> picked = Picks({x, y}, before);
                EXPECT_EQ(picked[1], picked[0]) << "at " << x << ", " << y << ", yaw " << yaw;
            }
}
