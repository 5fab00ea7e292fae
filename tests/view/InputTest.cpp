#include "PrimitiveStream.h"
#include "ViewFixture.h"

#include <imm.h>

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

TEST_F(EditorView, TheViewHasNoInputContextForAnOpenInputMethodToTakeItsKeysThrough)
{
    EXPECT_EQ(ImmGetContext(view.hwnd), nullptr);
}

TEST_F(EditorView, APickWindowInsideATriangleHitsItFilledButNotOutlined)
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
        {"on the closing edge", {90, 450}, 1, before},
    };
    // From arrays as well, which is not the default everywhere.
    for (const auto& row : rows)
        for (bool fromArrays : {false, true})
        {
            view.wireframe = row.outlined;
            view.selectFromArrays = fromArrays;
            view.pickedPoint = before;
            view.Render(false, row.at.x, row.at.y, true);
            EXPECT_EQ(view.pickedPoint, row.picked) << row.where << (fromArrays ? ", arrays" : "");
        }
}

TEST_F(EditorView, GatheredLoopsGoOutAsTheirEdges)
{
    // OpenGL's feedback mode gives back each line it would draw, after the matrices.
    auto linesOf = [](bool gathered) {
        std::vector<GLfloat> feedback(64);
        glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_2D, feedback.data());
        glRenderMode(GL_FEEDBACK);
        {
            PrimitiveStream out(gathered);
            for (float y : {0.0f, 0.5f})
            {
                out.Begin(GL_LINE_LOOP);
                for (float corner : {0.0f, 0.3f, 0.6f})
                    out.Vertex(corner, y + corner * corner, 0.0f);
                out.End();
            }
        }
        feedback.resize(glRenderMode(GL_RENDER));
        // Each line is a token and two window positions; the tokens differ between the modes.
        std::vector<GLfloat> ends;
        for (size_t at = 0; at + 5 <= feedback.size(); at += 5)
            ends.insert(ends.end(), feedback.begin() + at + 1, feedback.begin() + at + 5);
        return ends;
    };
    const std::vector<GLfloat> lines = linesOf(false);
    EXPECT_EQ(lines.size(), 6u * 4u);
    EXPECT_EQ(linesOf(true), lines);
}
