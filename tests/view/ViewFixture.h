// A real editor view with its own OpenGL context in a plain parent window, driven through its
// window procedure as the system would, drawing into a framebuffer that the test reads back.
#pragma once

#include "EditWnd.h"
#include "Picture.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

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

    void Send(UINT message, WPARAM wParam = 0, POINT at = {});
    void MoveTo(POINT at) { Send(WM_MOUSEMOVE, 0, at); }
    void Key(WPARAM key) { Send(WM_KEYDOWN, key); }
    void Wheel(int notches) { Send(WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA)); }
    void Drag(POINT from, POINT to);

    // What the action draws; pixels it leaves undrawn keep a colour no picture of the view has.
    Picture PictureOf(const std::function<void()>& action);
    bool Redraws(const std::function<void()>& action);

    const int width;
    const int height;
    ScratchDirectory scratch;
    HWND parent = nullptr;
    CEditWnd view;
};
