#include "ViewFixture.h"

#include <cmath>

TEST_F(EditorView, NoPointIsPickedOffTheGrid)
{
    // Turned by 60 degrees the grid spans only the middle half of the view.
    view.yaw = 60.0f;
    view.pickedPoint = 7;
    MoveTo({20, height / 2});
    EXPECT_EQ(view.pickedPoint, -1);
}

TEST_F(EditorView, TheLowestIndexInThePickWindowWinsEvenWhenTheHitsOverflow)
{
    // At yaw 90 every row collapses to one spot, nearer points with higher indices; between
    // two rows 140 points fall into the pick window, more than the 128 records the buffer holds.
    view.yaw = 90.0f;
    const POINT lower = ClientPointOf(Index(0, 30));
    const POINT upper = ClientPointOf(Index(0, 31));
    MoveTo({static_cast<LONG>(std::lround(0.99 / 2.0 * width)), (lower.y + upper.y) / 2});
    EXPECT_EQ(view.pickedPoint, Index(0, 30));
}

TEST_F(EditorView, APointIsPickedWhereTheTurnedViewShowsIt)
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
}

TEST_F(EditorView, ARightClickFlipsTheCellOfThePointUnderIt)
{
    const int corner = Index(10, 20);
    const unsigned char before = view.grid.points[corner].flags[1];
    const POINT at = ClientPointOf(corner);
    const Picture moved = PictureOf([&] { MoveTo(at); });
    // The flat grid shows no triangles: the picture after the click keeps the marks alone.
    EXPECT_EQ(PictureOf([&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, at); }).rgb, moved.rgb);
    EXPECT_EQ(view.pickedPoint, corner);
    EXPECT_EQ(view.grid.points[corner].flags[1], 1 - before);
}
