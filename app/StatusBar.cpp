#include "StatusBar.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>

char statusText[1000];

// NOTE: the status-bar window class is registered when the common-controls library is loaded.
// Nothing else refers to that library, and a linker drops an import that nothing references,
// so this reference keeps the library loaded at start-up without initialising it.
void(WINAPI* volatile keepCommonControlsLoaded)(HDC, LPCRECT, LPCSTR, UINT) = DrawStatusTextA;

namespace
{
const char* const kStatusBarClass = "MSCTLS_STATUSBAR32";
}

void CStatusBar::Create(HWND parent, int id)
{
    hwnd = CreateWindowExA(0, kStatusBarClass, "", WS_CHILD | WS_VISIBLE | CCS_BOTTOM,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd, GWLP_ID, id);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
}

LRESULT CStatusBar::SetText(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(statusText, sizeof statusText, format, arguments);
    va_end(arguments);
    return SendMessageA(hwnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(statusText));
}
