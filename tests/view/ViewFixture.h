// A real editor view in a plain parent window, driven through its window procedure, drawing
// into a framebuffer that the test reads back.
#pragma once

#include "EditWnd.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct Picture
{
    int width = 0, height = 0;
    std::vector<unsigned char> rgb; // red, green, blue; the bottom row first, as OpenGL reads
};

// Whether picture matches pictures/name.png as closely as rasterisers agree; failing, it writes
// name.actual.png. With TESSMERE_UPDATE_PICTURES set, it becomes the reference instead.
::testing::AssertionResult MatchesReference(const std::string& name, const Picture& picture);

class EditorView : public ::testing::Test
{
  protected:
    // Square, with points 13 pixels apart: a 20-pixel pick window round a point holds it alone.
    explicit EditorView(int width = 900, int height = 900) : width(width), height(height) {}
    void SetUp() override;
    void TearDown() override;

    static int Index(int column, int row) { return column + row * kProgramGridSize; }
    // Where grid point index lies in the view at its current angles, in client pixels.
    POINT ClientPointOf(int index) const;

    void Send(UINT message, WPARAM wParam = 0, POINT at = {})
    {
        SendMessageA(view.hwnd, message, wParam, MAKELPARAM(at.x, at.y));
    }
    void MoveTo(POINT at) { Send(WM_MOUSEMOVE, 0, at); }
    void Key(WPARAM key) { Send(WM_KEYDOWN, key); }

    // What the action draws; pixels it leaves undrawn keep kUndrawn.
    Picture PictureOf(const std::function<void()>& action);
    // Whether the action makes the view run a pass, which clears the whole frame first.
    bool Redraws(const std::function<void()>& action)
    {
        return !std::equal(kUndrawn, kUndrawn + 3, PictureOf(action).rgb.data());
    }
    // No picture of the view has it: the view clears to black, and its light never reaches 1.
    static constexpr unsigned char kUndrawn[3] = {255, 0, 255};

    const int width;
    const int height;
    ScratchDirectory scratch;
    HWND parent = nullptr;
    CEditWnd view;
};
