#include "ViewFixture.h"

TEST_F(EditorView, NoPointIsPickedOffTheGrid)
{
    // Turned by 60 degrees the grid spans only the middle half of the view.
    view.yaw = 60.0f;
    view.pickedPoint = 7;
    MoveTo({20, height / 2});
    EXPECT_EQ(view.pickedPoint, -1);
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
    EXPECT_TRUE(Redraws([&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, ClientPointOf(corner)); }));
    EXPECT_EQ(view.pickedPoint, corner);
    EXPECT_EQ(view.grid.points[corner].flags[1], 1 - before);
}
