#include "ChildRegistry.h"
#include "EditorViewFixture.h"
#include "StatusBar.h"

#include <GL/gl.h>

#include <cmath>

namespace
{
// Every point out of the view cube, so that only the points a test brings back can be picked.
void MoveAllPointsOutOfView(CGrid& grid)
{
    for (tagPOINT4& p : grid.points)
        p.z = -5.0f;
}
} // namespace

TEST_F(EditorView, StartsWithTheDocumentedViewState)
{
    EXPECT_EQ(view.pickedPoint, -1);
    EXPECT_EQ(view.yaw, 0.0f);
    EXPECT_EQ(view.pitch, 0.0f);
    EXPECT_EQ(view.brushRadius, 5);
    EXPECT_EQ(view.wireframe, 0);
    EXPECT_EQ(view.polygonCount, 0);
    EXPECT_EQ(view.grid.points.size(), 4900u);
}

TEST_F(EditorView, PickFindsThePointUnderTheCursor)
{
    for (int index : {Index(30, 40), Index(1, 1), Index(68, 2), Index(35, 67)})
    {
        PickAt(index);
        EXPECT_EQ(view.pickedPoint, index);
    }
}

TEST_F(EditorView, PickOverEmptyBackgroundClearsThePick)
{
    PickAt(Index(30, 40));
    ASSERT_NE(view.pickedPoint, -1);
    // Turned by 60 degrees the grid spans only the middle half of the view.
    view.yaw = 60.0f;
    Pick(20, kSide / 2);
    EXPECT_EQ(view.pickedPoint, -1);
}

TEST_F(EditorView, PickOnTrianglesAloneKeepsThePreviousPoint)
{
    MoveAllPointsOutOfView(view.grid);
    // One large triangle over the lower left quarter, its corners far from the cursor.
    tagPOINT4* corners[3] = {&view.grid.points[0], &view.grid.points[1], &view.grid.points[70]};
    const float positions[3][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}};
    for (int k = 0; k < 3; ++k)
    {
        corners[k]->x = positions[k][0];
        corners[k]->y = positions[k][1];
        corners[k]->z = -0.5f;
    }
    view.grid.triangles[0] = {{0, 1, 70}};
    view.pickedPoint = 1234;
    Pick(kSide / 4, kSide * 3 / 4);
    EXPECT_EQ(view.pickedPoint, 1234);
    EXPECT_GE(view.polygonCount, 1);
}

TEST_F(EditorView, LowestIndexWinsEvenOverANearerPointInFront)
{
    MoveAllPointsOutOfView(view.grid);
    tagPOINT4& behind = view.grid.points[Index(20, 20)];
    tagPOINT4& inFront = view.grid.points[Index(21, 20)];
    behind.z = 0.5f;
    inFront.x = behind.x;
    inFront.y = behind.y;
    inFront.z = -0.5f;
    PickAt(Index(20, 20));
    EXPECT_EQ(view.pickedPoint, Index(20, 20));
}

TEST_F(EditorView, EdgeOnViewOverflowsTheBufferAndStillPicksTheLowestIndex)
{
    // At yaw 90 every row collapses to one screen spot; between two rows 140 points fall
    // into the pick window, more than the 128 records the buffer holds.
    view.yaw = 90.0f;
    const int row = 30;
    const POINT lower = ClientPointOf(Index(0, row));
    const POINT upper = ClientPointOf(Index(0, row + 1));
    const int x = static_cast<int>(std::lround((1.0 - 0.01) / 2.0 * kSide));
    Pick(x, (lower.y + upper.y) / 2);
    EXPECT_EQ(view.pickedPoint, Index(0, row));
}

TEST_F(EditorView, FlatGridDrawsNoTriangles)
{
    Draw();
    EXPECT_EQ(view.polygonCount, 0);
}

TEST_F(EditorView, OnePointOffZeroShowsExactlyTheTrianglesAroundIt)
{
    // The checkerboard of diagonals: both diagonals of four cells meet at an even point,
    // none at an odd one.
    view.grid.points[Index(30, 40)].z = -0.1f;
    Draw();
    EXPECT_EQ(view.polygonCount, 8);
    view.wireframe = 1;
    Draw();
    EXPECT_EQ(view.polygonCount, 8);
    view.grid.points[Index(30, 40)].z = 0.0f;
    view.grid.points[Index(31, 40)].z = -0.0001f;
    Draw();
    EXPECT_EQ(view.polygonCount, 4);
    view.wireframe = 0;
    Pick(10, 10);
    EXPECT_EQ(view.polygonCount, 4) << "select mode counts too";
}

TEST_F(EditorView, NegativeZeroCountsAsFlat)
{
    view.grid.points[Index(30, 40)].z = -0.0f;
    Draw();
    EXPECT_EQ(view.polygonCount, 0);
}

TEST_F(EditorView, DrawShowsTheCountInTheRegisteredStatusBar)
{
    CStatusBar statusBar;
    statusBar.Create(parent, 1000);
    RegisterChild("STATUS", &statusBar);
    view.grid.points[Index(30, 40)].z = -0.1f;
    Draw();
    char shown[64] = {};
    GetWindowTextA(statusBar.hwnd, shown, sizeof shown);
    // " 現在のポリゴン数=00008"
    EXPECT_STREQ(shown, "\x20\x8C\xBB\x8D\xDD\x82\xCC\x83\x7C\x83\x8A\x83\x53\x83\x93\x90\x94\x3D"
                        "00008");
    statusBar.SetText("%05d", 123456);
    EXPECT_STREQ(statusText, "123456");
    childWindows.clear();
}

TEST_F(EditorView, RenderLeavesTheMatrixStacksAndModesAsItFoundThem)
{
    GLint projectionDepth = 0, modelviewDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    PickAt(Index(30, 40));
    Draw();
    GLint after = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after);
    EXPECT_EQ(after, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, modelviewDepth);
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
}

TEST(ChildRegistry, LooksUpWithoutInsertingAndKeepsTheLaterPointer)
{
    int first = 1, second = 2;
    EXPECT_EQ(FindChild("NOBODY"), nullptr);
    EXPECT_EQ(childWindows.count("NOBODY"), 0u);
    RegisterChild("EDITOR", &first);
    RegisterChild("EDITOR", &second);
    EXPECT_EQ(childWindows.size(), 1u);
    EXPECT_EQ(FindChild("EDITOR"), &second);
    childWindows.clear();
}

namespace
{
// Whether the last picture has a mark (a point of size 8, lit pink) centred on pixel p.
bool MarkedAt(POINT p, int side)
{
    unsigned char rgb[3] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(p.x, side - p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] != 0 || rgb[1] != 0 || rgb[2] != 0;
}
} // namespace

TEST_F(EditorView, MarksShowTheBrushReachAndStopAtTheGridEdge)
{
    view.pickedPoint = Index(2, 30);
    Draw();
    for (int marked : {Index(2, 30), Index(2, 25), Index(2, 35), Index(7, 30)})
        EXPECT_TRUE(MarkedAt(ClientPointOf(marked), kSide)) << marked;
    // The western tip falls off the grid; it must not wrap round to the row below.
    EXPECT_FALSE(MarkedAt(ClientPointOf(Index(67, 29)), kSide));
    EXPECT_FALSE(MarkedAt(ClientPointOf(Index(10, 10)), kSide));

    view.brushRadius = 70;
    Draw();
    EXPECT_TRUE(MarkedAt(ClientPointOf(Index(2, 30)), kSide));
    EXPECT_FALSE(MarkedAt(ClientPointOf(Index(2, 25)), kSide));

    view.brushRadius = 0;
    Draw();
    EXPECT_TRUE(MarkedAt(ClientPointOf(Index(2, 30)), kSide));
    EXPECT_FALSE(MarkedAt(ClientPointOf(Index(7, 30)), kSide));

    view.pickedPoint = -1;
    Draw();
    EXPECT_FALSE(MarkedAt(ClientPointOf(Index(2, 30)), kSide));
}
