// The real program in the working folder, driven with real input and read back; waits throw.
#pragma once

#include "ScratchDirectory.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

class RunningProgram
{
  public:
    explicit RunningProgram(std::string commandLine)
    {
        // A window that appears under the pointer hears of it after a test's first moves.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            throw std::runtime_error("cannot start " + commandLine);
        WaitFor("the program's first picture, a box or its end", [this] {
            main = Find("BASEWND");
            editor = FindWindowExA(main, nullptr, "EDITWND", nullptr);
            statusBar = FindWindowExA(main, nullptr, "msctls_statusbar32", nullptr);
            return (editor && !StatusText().empty()) || Find("#32770") || Ended();
        });
    }

    ~RunningProgram()
    {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // The program's own visible top-level window of the class (and title): another's do not count.
    HWND Find(const char* className, const char* title = nullptr) const
    {
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, title));)
            if (GetWindowThreadProcessId(window, nullptr) == process.dwThreadId &&
                IsWindowVisible(window))
                return window;
        return nullptr;
    }

    // Its message box, once it shows, read as Unicode whatever the code pages; then OK closes it.
    struct Box
    {
        std::wstring text, caption;
        HWND owner;
    };
    Box CloseBox() const
    {
        HWND box = nullptr;
        WaitFor("a message box", [&] { return (box = Find("#32770")) != nullptr; });
        wchar_t text[256] = {}, caption[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256); // a message box's text
        GetWindowTextW(box, caption, 256);
        const Box shown{text, caption, GetWindow(box, GW_OWNER)};
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitFor("the box to close", [&] { return !IsWindow(box); });
        return shown;
    }

    void WaitForCount(int count) const
    {
        wchar_t expected[64];
        swprintf(expected, 64, L" 現在のポリゴン数=%05d", count);
        WaitFor("the status bar to count " + std::to_string(count) + " triangles",
                [&] { return StatusText() == expected; });
    }

    DWORD WaitForExit() const
    {
        WaitFor("the program's end", [this] { return Ended(); });
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    // The program's window that keys would reach: the focus of the foreground window's thread.
    HWND Focus() const
    {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        return GetGUIThreadInfo(process.dwThreadId, &thread) &&
                       GetForegroundWindow() == thread.hwndActive
                   ? thread.hwndFocus
                   : nullptr;
    }
    bool ViewHasFocus() const { return Focus() == editor; }

    void ClickView() const
    {
        MoveTo(100, 100);
        Mouse(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
        WaitForFocus(editor, "the view after a click in it");
    }

    void WaitForFocus(HWND window, const std::string& what) const
    {
        WaitFor("the keyboard focus on " + what, [&] { return Focus() == window; });
    }

    // Input waits for the picture it brings (keys unless told not to; no left button). With
    // givesFocusBack, the wheel and keys first give the view the focus, unless a box shows.
    void MoveTo(int x, int y) const
    {
        POINT at{x, y}, now{};
        ClientToScreen(editor, &at);
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y)
            return; // the system sends no move where the pointer does not move
        // Rounded up so that the system's scaling back lands on the very pixel.
        const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        const LONG dx = (at.x * 65536 + width - 1) / width,
                   dy = (at.y * 65536 + height - 1) / height;
        Send({INPUT{INPUT_MOUSE, {{dx, dy, 0, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0}}}},
             true, "a move to " + std::to_string(x) + ", " + std::to_string(y));
    }

    void Mouse(DWORD flags, int wheelNotches = 0) const
    {
        const bool wheel = (flags & MOUSEEVENTF_WHEEL) != 0;
        if (wheel)
            GiveFocusToView();
        Send({INPUT{INPUT_MOUSE,
                    {{0, 0, static_cast<DWORD>(wheelNotches * WHEEL_DELTA), flags, 0, 0}}}},
             wheel || (flags & MOUSEEVENTF_RIGHTDOWN) != 0, "mouse input " + std::to_string(flags));
    }

    void Keys(std::initializer_list<WORD> keys, bool drawn = true) const
    {
        GiveFocusToView();
        for (WORD key : keys)
        {
            std::vector<INPUT> inputs(2, {INPUT_KEYBOARD, {}});
            inputs[0].ki = {key, 0, 0, 0, 0};
            inputs[1].ki = {key, 0, KEYEVENTF_KEYUP, 0, 0};
            Send(inputs, drawn, KeyName(key));
        }
    }

    // Presses S and returns the new file the program wrote, once it stands in the old one's place.
    std::string Save() const
    {
        const ULONGLONG before = ModelWritten();
        Keys({'S'});
        // NOTE: Wine's ReplaceFileW moves the old file aside before the new one takes its name, so
        // for a moment there is none.
        WaitFor("a new model.dat", [&] {
            const ULONGLONG now = ModelWritten();
            return now != before && now != 0;
        });
        return ReadBytes("model.dat");
    }

    // Its resident memory, the OpenGL driver's included: Wine counts the whole Linux process.
    SIZE_T ResidentBytes() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        K32GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
        return counters.WorkingSetSize;
    }

    HWND main = nullptr, editor = nullptr, statusBar = nullptr;
    bool givesFocusBack = false;

  private:
    static const ULONGLONG kPatienceMs = 20000;
    // Each picture writes its count over this text: its going shows the input was drawn.
    static constexpr const wchar_t* kBeforePicture = L"(before the picture)";

    template <typename Condition> static void WaitFor(const std::string& what, Condition condition)
    {
        for (const ULONGLONG end = GetTickCount64() + kPatienceMs; !condition(); Sleep(5))
            if (GetTickCount64() > end)
                throw std::runtime_error("waited " + std::to_string(kPatienceMs / 1000) +
                                         " s in vain for " + what);
    }

    static std::string KeyName(WORD key)
    {
        // The arrows' scan codes are those of the numeric pad's keys, marked extended.
        const bool arrow = key >= VK_LEFT && key <= VK_DOWN;
        char name[32];
        if (!GetKeyNameTextA(MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16 | arrow << 24, name, 32))
            wsprintfA(name, "code 0x%02X", key);
        return "the key " + std::string(name);
    }

    // When model.dat was written (0: none), read without opening it, which would block a save.
    static ULONGLONG ModelWritten()
    {
        WIN32_FILE_ATTRIBUTE_DATA file{};
        GetFileAttributesExA("model.dat", GetFileExInfoStandard, &file);
        return ULONGLONG(file.ftLastWriteTime.dwHighDateTime) << 32 |
               file.ftLastWriteTime.dwLowDateTime;
    }

    bool Ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }

    std::wstring StatusText() const
    {
        // Asked of the status bar itself: it is no window title another process can read.
        wchar_t text[64] = {};
        SendMessageTimeoutW(statusBar, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                            kPatienceMs, nullptr);
        return text;
    }

    void GiveFocusToView() const
    {
        // While a box shows, keys go to it as they would for a user.
        if (!givesFocusBack || ViewHasFocus() || Find("#32770") != nullptr)
            return;
        std::printf("The view had lost the keyboard focus; a click in it gives it back.\n");
        ClickView();
    }

    void Send(std::vector<INPUT> inputs, bool drawn, const std::string& what) const
    {
        if (drawn)
            SendMessageTimeoutW(statusBar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kBeforePicture),
                                SMTO_NORMAL, kPatienceMs, nullptr);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (drawn)
            WaitFor("the picture after " + what, [this] {
                const std::wstring text = StatusText();
                return !text.empty() && text != kBeforePicture;
            });
    }

    PROCESS_INFORMATION process{};
};
