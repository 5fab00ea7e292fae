// The program's entry: the main window, the message loop, and a clear end when start-up fails.
#include "BaseWnd.h"
#include "UserTexts.h"

#include <windows.h>

namespace
{
const int kStartupFailedExitCode = 1;

// Owned by the main window when there is one: the box then keeps the user's input from the
// half-made view, whose model was never loaded and must not be saved over the file.
int StartupFailed(HWND owner, const char* text)
{
    MessageBoxA(owner, text, nullptr, MB_OK | MB_ICONHAND);
    return kStartupFailedExitCode;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Outside the try: its windows exist and go on painting while a start-up failure is shown,
    // so the objects behind them must outlive the box.
    CBaseWnd mainWindow;
    try
    {
        mainWindow.Create();
    }
    catch (unsigned int)
    {
        // The texture loader throws when the bitmap resource is missing or unusable.
        return StartupFailed(mainWindow.hwnd, kTextureFailedText);
    }
    catch (...)
    {
        // Out of memory, in practice: the same clear end as a window that cannot be made.
        return StartupFailed(mainWindow.hwnd, kWindowFailedText);
    }
    if (mainWindow.hwnd == nullptr)
        return StartupFailed(nullptr, kWindowFailedText);
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
