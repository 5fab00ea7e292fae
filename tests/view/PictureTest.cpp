// The view's pictures, compared with references that scripts/pictures draws again.
#include "ViewFixture.h"

#include <algorithm>
#include <cmath>

namespace
{
class ViewPicture : public EditorView
{
  protected:
    // The program's view at half its size.
    ViewPicture() : EditorView(317, 208) {}

    // Two unlike hills in the south: a mirrored texture, light or view all show.
    void Sculpt()
    {
        for (tagPOINT4& p : view.grid.points)
        {
            const double west = 1.0 - (std::pow(p.x + 0.4, 2) + std::pow(p.y + 0.4, 2)) / 0.14;
            const double east =
                1.0 - std::pow(p.x - 0.45, 2) / 0.09 - std::pow(p.y + 0.55, 2) / 0.16;
            p.z = static_cast<float>(-0.4 * std::pow(std::max(west, 0.0), 2) -
                                     0.3 * std::pow(std::max(east, 0.0), 2));
        }
        // Lines and points take the last triangle's texel: one on the white of the texture's E,
        // north of all else, lets them show their own colours.
        view.grid.points[Index(64, 34)].z = -0.05f;
    }
};
} // namespace

TEST_F(ViewPicture, OutlineModeShowsTheCountedTriangles)
{
    Sculpt();
    Key('1');
    const int filled = view.polygonCount;
    Key('2');
    // The marks stop at the south and west edges; the corner point, the first, has its own.
    const Picture picture = PictureOf([&] { MoveTo(ClientPointOf(0)); });
    EXPECT_TRUE(MatchesReference("outlined", picture));
    EXPECT_NE(picture.rgb[0], 0) << "no mark in the corner";
    EXPECT_EQ(view.polygonCount, filled);
}

TEST_F(ViewPicture, SeenTurnedTheNearerHillHidesWhatLiesBehind)
{
    Sculpt();
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_LEFT, VK_LEFT, VK_LEFT})
        Key(key);
    // The marks stand on the western hill, which would bury them were they not lifted.
    Key('5');
    view.pickedPoint = Index(22, 22);
    // A repaint, as when a window that covered the view goes, draws the marks too.
    EXPECT_TRUE(MatchesReference("turned", PictureOf([&] { Send(WM_PAINT, 0); })));
}
