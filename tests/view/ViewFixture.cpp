#include "ViewFixture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

void EditorView::SetUp()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TESTPARENT";
    RegisterClassA(&windowClass);
    parent = CreateWindowExA(0, windowClass.lpszClassName, "test", WS_POPUP | WS_VISIBLE, 0, 0,
                             kSide, kSide, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    view.Create(parent, 0, 0, kSide, kSide);
    ASSERT_NE(view.glContext, nullptr);
}

void EditorView::TearDown()
{
    // Detach the object first: its window's destruction would otherwise post a quit message.
    if (view.hwnd != nullptr)
        SetWindowLongPtrA(view.hwnd, GWLP_USERDATA, 0);
    view.ReleaseGL();
    if (parent != nullptr)
        DestroyWindow(parent);
}

POINT EditorView::ClientPointOf(int index) const
{
    const tagPOINT4& p = view.grid.points[index];
    return {static_cast<LONG>(std::lround((p.x + 1.0) / 2.0 * kSide)),
            static_cast<LONG>(std::lround((1.0 - p.y) / 2.0 * kSide))};
}

std::array<unsigned char, 3> EditorView::PixelAt(POINT p)
{
    std::array<unsigned char, 3> rgb = {};
    glReadBuffer(GL_BACK);
    // A point's vertex lies on a pixel corner: read the pixel up and right of it, in the view.
    glReadPixels(std::min<LONG>(p.x, kSide - 1), std::min<LONG>(kSide - p.y, kSide - 1), 1, 1,
                 GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
