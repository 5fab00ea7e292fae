// A real editor view with its own OpenGL context in a plain parent window, for tests.
#pragma once

#include "EditWnd.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>

class EditorView : public ::testing::Test
{
  protected:
    // Points 13 pixels apart: a 20-pixel pick window round a point's own pixel holds it alone.
    static const int kSide = 900;

    void SetUp() override;
    void TearDown() override;

    static int Index(int column, int row) { return column + row * kProgramGridSize; }
    // The client position where grid point index lies at zero view angles.
    POINT ClientPointOf(int index) const;
    void Pick(int x, int y) { view.Render(false, x, y, true); }
    void Draw() { view.Render(true, 0, 0, true); }
    // Red, green and blue of the last picture at client position p.
    static std::array<unsigned char, 3> PixelAt(POINT p);

    ScratchDirectory scratch;
    HWND parent = nullptr;
    CEditWnd view;
};
