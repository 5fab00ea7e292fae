// The view's pictures at a handful of states, compared with references: scripts/pictures
// makes them again when the drawing changes on purpose.
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

    // Lines and points take the texel where the last triangle ended: one point lowered on the
    // white of the texture's E makes it the last, so they show their own colours.
    void LowerOnTheE() { view.grid.points[Index(64, 34)].z = -0.05f; }

    // Two hills of their own shapes in the south: a mirrored texture, the light elsewhere or a
    // view turned the other way all show.
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
        LowerOnTheE();
    }
};
} // namespace

TEST_F(ViewPicture, AFreshGridShowsTheBrushMarksAlone)
{
    EXPECT_TRUE(
        MatchesReference("fresh", PictureOf([&] { MoveTo(ClientPointOf(Index(30, 40))); })));
}

TEST_F(ViewPicture, TheMarksOfABrushOverTheEdgeStopAtTheEdge)
{
    LowerOnTheE();
    EXPECT_TRUE(MatchesReference("edge", PictureOf([&] { MoveTo(ClientPointOf(Index(2, 30))); })));
}

TEST_F(ViewPicture, TheSinglePointBrushMarksThePickedPointAlone)
{
    LowerOnTheE();
    Key(0x3A);
    EXPECT_TRUE(MatchesReference("single", PictureOf([&] { MoveTo({1, height - 1}); })));
    EXPECT_EQ(view.pickedPoint, 0);
}

TEST_F(ViewPicture, ASculptedModelShowsItsTrianglesTexturedAndLit)
{
    Sculpt();
    EXPECT_TRUE(
        MatchesReference("sculpted", PictureOf([&] { MoveTo(ClientPointOf(Index(18, 22))); })));
}

TEST_F(ViewPicture, OutlinesShowAndCountTheSameTriangles)
{
    Sculpt();
    Key('1');
    const int filled = view.polygonCount;
    EXPECT_TRUE(MatchesReference("outlined", PictureOf([&] { Key('2'); })));
    EXPECT_EQ(view.polygonCount, filled);
}

TEST_F(ViewPicture, TurnedAndPitchedTheNearerHillHidesWhatLiesBehind)
{
    Sculpt();
    MoveTo(ClientPointOf(Index(18, 22)));
    for (WPARAM key : {VK_LEFT, VK_LEFT, VK_LEFT, VK_UP, VK_UP, VK_UP, VK_UP})
        Key(key);
    EXPECT_TRUE(MatchesReference("turned", PictureOf([&] { Key(VK_UP); })));
}
