#include "BaseWnd.h"

#include "ChildRegistry.h"
#include "UserTexts.h"
#include "resource.h"

namespace
{
const char* const kBaseClass = "BASEWND";
const char* const kMenuName = "IDM_MENU";
const char* const kTitle = "Tessmere";
const int kWindowWidth = 640;
const int kWindowHeight = 480;
// No sizing border and no maximise box: the layout is made once and never redone.
const DWORD kWindowStyle = WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX;
const int kStatusBarId = 1000;
} // namespace

void CBaseWnd::Create()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BaseWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TESSMERE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = kMenuName;
    windowClass.lpszClassName = kBaseClass;
    RegisterClassA(&windowClass);

    hwnd = CreateWindowExA(0, kBaseClass, kTitle, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    CreateChildren();
}

void CBaseWnd::CreateChildren()
{
    if (hwnd == nullptr)
        return;
    statusBar.Create(hwnd, kStatusBarId);
    RECT client = {};
    GetClientRect(hwnd, &client);
    // Without a status-bar control the editor takes the whole client area.
    RECT bar = {};
    if (statusBar.hwnd != nullptr)
        GetClientRect(statusBar.hwnd, &bar);
    editor.Create(hwnd, 0, 0, client.right, client.bottom - bar.bottom);
    RegisterChild("STATUS", &statusBar);
    RegisterChild("EDITOR", &editor);
    // A picture drawn while a start-up message box was open could not reach the status bar,
    // which is registered only now: ask for one more. A null handle would mean every window.
    if (editor.hwnd != nullptr)
        InvalidateRect(editor.hwnd, nullptr, FALSE);
    SetFocus(editor.hwnd);
}

LRESULT CALLBACK CBaseWnd::BaseWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CBaseWnd* self = reinterpret_cast<CBaseWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_PAINT:
        return self->OnPaint(message, wParam, lParam);
    case WM_CLOSE:
        return self->OnClose();
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam));
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CBaseWnd::OnPaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The children and the class brush cover the client area; the frame paints nothing.
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    EndPaint(hwnd, &paint);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CBaseWnd::OnClose()
{
    // The loop ends first; the windows go with the process.
    PostQuitMessage(0);
    return 0;
}

LRESULT CBaseWnd::OnCommand(WORD command)
{
    switch (command)
    {
    case IDM_FILE_OPEN:
    case IDM_FILE_SAVE:
        MessageBoxA(hwnd, kNotAvailableText, kInformationCaption, MB_OK | MB_ICONQUESTION);
        break;
    case IDM_FILE_EXIT:
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return 0;
}
