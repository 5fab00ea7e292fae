#include "ViewFixture.h"

#include <GL/gl.h>

#include <cmath>

namespace
{
bool Dark(const std::array<unsigned char, 3>& rgb)
{
    return rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0;
}
} // namespace

TEST_F(EditorView, PickTakesTheLowestIndexEvenWhenTheHitsOverflowAndNoneOffTheGrid)
{
    // Turned by 60 degrees the grid spans only the middle half of the view: no pick at the edge.
    view.yaw = 60.0f;
    view.pickedPoint = 7;
    Pick(20, kSide / 2);
    EXPECT_EQ(view.pickedPoint, -1);
    // At yaw 90 every row collapses to one spot, nearer points with higher indices; between
    // two rows 140 points fall into the pick window, more than the 128 records the buffer holds.
    view.yaw = 90.0f;
    const POINT lower = ClientPointOf(Index(0, 30));
    const POINT upper = ClientPointOf(Index(0, 31));
    Pick(static_cast<int>(std::lround(0.99 / 2.0 * kSide)), (lower.y + upper.y) / 2);
    EXPECT_EQ(view.pickedPoint, Index(0, 30));
}

TEST_F(EditorView, MovesAndClicksPickWhereTheyAreAndDrawTexturedWithPinkMarksUpToTheEdge)
{
    for (int index : {Index(40, 40), Index(41, 40), Index(40, 41), Index(41, 41)})
        view.grid.points[index].z = -0.2f;
    const POINT inside = {ClientPointOf(Index(40, 40)).x + 6, ClientPointOf(Index(40, 40)).y - 6};
    Draw();
    const std::array<unsigned char, 3> textured = PixelAt(inside);
    // Without the texture, which also tints the marks by whatever texel was last named.
    glDisable(GL_TEXTURE_2D);
    Draw();
    EXPECT_NE(PixelAt(inside), textured);
    const POINT at = ClientPointOf(Index(2, 30));
    view.OnMouseMove(0, MAKELPARAM(at.x, at.y));
    for (int marked : {Index(2, 30), Index(2, 25), Index(2, 35), Index(7, 30)})
    {
        // Lit pink: red half as strong again as green and blue.
        const std::array<unsigned char, 3> rgb = PixelAt(ClientPointOf(marked));
        EXPECT_NEAR(rgb[0], rgb[1] * 1.5, 2.0) << marked;
        EXPECT_EQ(rgb[1], rgb[2]) << marked;
        EXPECT_GT(rgb[1], 40) << marked;
    }
    // The western tip falls off the grid; it must not wrap round to the row below.
    EXPECT_TRUE(Dark(PixelAt(ClientPointOf(Index(67, 29)))));
    EXPECT_TRUE(Dark(PixelAt(ClientPointOf(Index(10, 10)))));

    view.brushRadius = 0;
    view.pickedPoint = 0;
    Draw();
    EXPECT_FALSE(Dark(PixelAt(ClientPointOf(0))));
    EXPECT_TRUE(Dark(PixelAt(ClientPointOf(Index(0, 5)))));
    view.pickedPoint = -1;
    Draw();
    EXPECT_TRUE(Dark(PixelAt(ClientPointOf(0))));
    glEnable(GL_TEXTURE_2D);
    const POINT click = ClientPointOf(Index(10, 10));
    view.OnRButtonDown(0, MAKELPARAM(click.x, click.y));
    EXPECT_EQ(view.grid.points[Index(10, 10)].flags[1], 0) << "a right click picks where it is";
}
