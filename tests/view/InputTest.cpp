#include "TestModels.h"
#include "ViewFixture.h"

#include <filesystem>
#include <tuple>
#include <utility>

TEST_F(EditorView, EachKeyAndDragSetsTheViewAndRedrawsUnlessTheFileFails)
{
    using Setting = std::tuple<float, float, int, int>; // yaw, pitch, wireframe, brushRadius
    auto setting = [this] {
        return std::tie(view.yaw, view.pitch, view.wireframe, view.brushRadius);
    };
    auto key = [this](WPARAM key) { return [this, key] { Key(key); }; };
    auto mouse = [this](UINT message, int x, int y) { return [=] { Send(message, 0, {x, y}); }; };
    // L or S meeting model.dat as these bytes or, given none, as a folder; Shift held or not.
    auto onFile = [this](WPARAM key, const std::string& file, BYTE shift) {
        return [this, key, file, shift] {
            std::filesystem::remove_all("model.dat");
            file.empty() ? void(std::filesystem::create_directory("model.dat"))
                         : WriteBytes("model.dat", file);
            BYTE state[256] = {};
            state[VK_SHIFT] = shift;
            SetKeyboardState(state);
            Key(key);
        };
    };
    const std::string model = FileOf(view.grid), cut = model.substr(0, 999);
    const Setting start{0, 0, 0, 5}, set{30, -20, 1, 7};
    const std::tuple<const char*, std::function<void()>, Setting, Setting, bool> rows[] = {
        {"left arrow", key(VK_LEFT), start, {10, 0, 0, 5}, true},
        {"left arrow at 85", key(VK_LEFT), {85, 0, 0, 5}, {90, 0, 0, 5}, true},
        {"right arrow", key(VK_RIGHT), start, {-10, 0, 0, 5}, true},
        {"up arrow", key(VK_UP), start, {0, -10, 0, 5}, true},
        {"up arrow at -85", key(VK_UP), {0, -85, 0, 5}, {0, -90, 0, 5}, true},
        {"down arrow", key(VK_DOWN), start, {0, 10, 0, 5}, true},
        {"1", key('1'), {0, 0, 1, 5}, start, true},
        {"2", key('2'), start, {0, 0, 1, 5}, true},
        {"3", key('3'), start, {0, 0, 0, 2}, true},
        {"4", key('4'), start, {0, 0, 0, 3}, true},
        {"5", key('5'), start, {0, 0, 0, 4}, true},
        {"6", key('6'), {0, 0, 0, 0}, start, true},
        {"7", key('7'), start, {0, 0, 0, 6}, true},
        {"8", key('8'), start, {0, 0, 0, 7}, true},
        {"9", key('9'), start, {0, 0, 0, 8}, true},
        {"the colon's code", key(0x3A), start, {0, 0, 0, 0}, true},
        {"0", key('0'), set, set, true},
        {"numeric pad 3", key(VK_NUMPAD3), set, set, true},
        {"Shift", key(VK_SHIFT), set, set, true},
        {"Control", key(VK_CONTROL), set, set, true},
        {"L", onFile('L', model, 0), set, set, true},
        {"Shift+L", onFile('L', model, 0x80), set, set, true},
        {"L of a folder", onFile('L', "", 0), set, set, false},
        {"L of a file that ends early", onFile('L', cut, 0), set, set, false},
        {"S", onFile('S', cut, 0), set, set, true},
        {"S onto a folder", onFile('S', "", 0), set, set, false},
        // One drag, message by message: the press draws nothing, each move turns by a fixed step.
        {"left press", mouse(WM_LBUTTONDOWN, 400, 400), start, start, false},
        {"drag down right", mouse(WM_MOUSEMOVE, 401, 401), start, {4, 2, 0, 5}, true},
        {"drag far up left", mouse(WM_MOUSEMOVE, 100, 100), start, {-4, -2, 0, 5}, true},
        {"drag past 90", mouse(WM_MOUSEMOVE, 101, 101), {88, 89, 0, 5}, {90, 90, 0, 5}, true},
        {"drag past -90", mouse(WM_MOUSEMOVE, 100, 100), {-88, -89, 0, 5}, {-90, -90, 0, 5}, true},
        {"left release", mouse(WM_LBUTTONUP, 100, 100), start, start, false},
        {"move after the release", mouse(WM_MOUSEMOVE, 300, 300), start, start, true},
    };
    for (const auto& [input, send, before, after, redraws] : rows)
    {
        setting() = before;
        EXPECT_EQ(Redraws(send), redraws) << input;
        EXPECT_EQ(setting(), after) << input;
    }
}

TEST_F(EditorView, TheTurnedViewPicksAndFlipsWhatItShowsUnderThePointer)
{
    // A right click flips the cell of the point under it: on a fresh grid, the other way.
    const int corner = Index(10, 20);
    EXPECT_TRUE(Redraws([&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, ClientPointOf(corner)); }));
    EXPECT_EQ(view.grid.points[corner].flags[1], 0);
    // Lifted towards the viewer, the point stands clear of the flat points of lower index.
    const int lifted = Index(30, 40);
    view.grid.points[lifted].z = -0.3f;
    for (const std::pair<float, float> turn : {std::pair{0, 40}, {-40, 0}, {-30, 60}, {-90, 20}})
    {
        std::tie(view.yaw, view.pitch) = turn;
        MoveTo(ClientPointOf(lifted));
        EXPECT_EQ(view.pickedPoint, lifted) << "yaw " << turn.first << ", pitch " << turn.second;
    }
    // Turned by 90 degrees the flat grid is a line down the middle: nothing lies left of it.
    MoveTo({20, height / 2});
    EXPECT_EQ(view.pickedPoint, -1);
}

TEST_F(EditorView, APickWindowInsideATriangleHitsItFilledButNotOutlined)
{
    // One large triangle, the others behind the far plane: loops from arrays close on their own.
    const int a = Index(0, 0), b = Index(1, 0), c = Index(0, 1), hidden = Index(5, 5);
    for (tagPOINT4& p : view.grid.points)
        p.z = 5.0f;
    for (tagTRIANGLE3& triangle : view.grid.triangles)
        triangle = {{hidden, hidden, hidden}};
    view.grid.triangles[2] = {{a, b, c}};
    view.grid.points[a] = {{}, -0.8f, -0.8f, -0.5f, 1.0f};
    view.grid.points[b] = {{}, 0.8f, -0.8f, -0.5f, 1.0f};
    view.grid.points[c] = {{}, -0.8f, 0.8f, -0.5f, 1.0f};
    const int before = hidden; // no pick window here reaches it
    const std::tuple<const char*, POINT, int, int> rows[] = {
        {"inside, filled", {330, 570}, 0, before},
        {"inside, outlined", {330, 570}, 1, -1},
        {"on the closing edge", {90, 450}, 1, before},
    };
    // From arrays as well, which is not the default everywhere.
    for (const auto& [where, at, outlined, picked] : rows)
        for (bool fromArrays : {false, true})
        {
            view.wireframe = outlined;
            view.selectFromArrays = fromArrays;
            view.pickedPoint = before;
            view.Render(false, at.x, at.y, true);
            EXPECT_EQ(view.pickedPoint, picked) << where << (fromArrays ? ", arrays" : "");
        }
}
