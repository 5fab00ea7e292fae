#include "EditorViewFixture.h"

#include <cmath>

namespace
{
const char* const kParentClass = "TESTPARENT";
}

void EditorView::SetUp()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass);
    parent = CreateWindowExA(0, kParentClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, kSide, kSide,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
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

void EditorView::PickAt(int index)
{
    const POINT at = ClientPointOf(index);
    Pick(at.x, at.y);
}
