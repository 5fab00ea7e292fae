#include "RunningProgram.h"

#include "ScratchDirectory.h"

namespace
{
const int kGridSide = 70;

// In the file system's own 100-nanosecond steps: saves a moment apart differ.
ULONGLONG WriteTime(const std::filesystem::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(file.string().c_str(), GetFileExInfoStandard, &data);
    return static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition)
{
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!condition())
    {
        if (GetTickCount64() > end)
            return false;
        Sleep(10);
    }
    return true;
}

RunningProgram::RunningProgram(const std::string& program, const std::filesystem::path& where)
    : folder(where)
{
    // NOTE: under Wine the build tree's Unix paths are reached through drive Z:.
    std::string commandLine = (program.front() == '/' ? "Z:" : "") + program;
    // A window that appears under the pointer is told so, late enough to overtake the first
    // moves a test makes: the pointer waits in a corner no window reaches.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.string().c_str(), &startup, &process))
        return;
    WaitUntil([this] {
        main = Find("BASEWND");
        editor = FindWindowExA(main, nullptr, "EDITWND", nullptr);
        statusBar = GetDlgItem(main, 1000);
        return (main && editor && statusBar) || Find("#32770") ||
               WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
}

RunningProgram::~RunningProgram()
{
    if (process.hProcess == nullptr)
        return;
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

HWND RunningProgram::Find(const char* className) const
{
    // One program runs at a time, and only the program makes windows of these classes.
    const HWND found = FindWindowA(className, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    return owner == process.dwProcessId ? found : nullptr;
}

HWND RunningProgram::Box() const
{
    HWND box = nullptr;
    // Shown only once its text is in.
    WaitUntil([&] { return IsWindowVisible(box = Find("#32770")); });
    return box;
}

std::string RunningProgram::Text(HWND window)
{
    const HWND text = GetDlgItem(window, 0xFFFF); // a message box's text
    char buffer[256] = {};
    GetWindowTextA(text != nullptr ? text : window, buffer, sizeof buffer);
    return buffer;
}

void RunningProgram::PressOk(HWND box) const
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(box); });
}

bool RunningProgram::WaitForCount(int count) const
{
    // " 現在のポリゴン数=%05d"
    char expected[64];
    wsprintfA(expected,
              "\x20\x8C\xBB\x8D\xDD\x82\xCC\x83\x7C\x83\x8A\x83\x53\x83\x93\x90\x94\x3D%05d",
              count);
    return WaitUntil([&] {
        // The status bar's text is asked for: it is no window title another process can read.
        char text[64] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutA(statusBar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, &length);
        return length < sizeof text && std::string(text, length) == expected;
    });
}

POINT RunningProgram::OnView(int x, int y) const
{
    POINT at{x, y};
    ClientToScreen(editor, &at);
    return at;
}

POINT RunningProgram::OnGridPoint(int column, int row) const
{
    RECT client{};
    GetClientRect(editor, &client);
    // A pick takes the lowest index in a 20-pixel square, and neighbours lie about 9 pixels
    // apart sideways and 6 up: aiming a little right of and above the point leaves its west and
    // south neighbours outside the square.
    return OnView(column * client.right / (kGridSide - 1) + 4,
                  (kGridSide - 1 - row) * client.bottom / (kGridSide - 1) - 7);
}

void RunningProgram::MoveTo(POINT at) const
{
    // Rounded up so that the system's scaling back lands on the very pixel.
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = (at.x * 65536 + width - 1) / width;
    input.mi.dy = (at.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send({input});
    WaitUntil([&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
    });
}

void RunningProgram::Mouse(DWORD flags, int wheelNotches) const
{
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dwFlags = flags;
    input.mi.mouseData = static_cast<DWORD>(wheelNotches * WHEEL_DELTA);
    Send({input});
}

void RunningProgram::Keys(std::initializer_list<WORD> keys) const
{
    for (WORD key : keys)
    {
        std::vector<INPUT> inputs(2, {INPUT_KEYBOARD, {}});
        inputs[0].ki = {key, 0, 0, 0, 0};
        inputs[1].ki = {key, 0, KEYEVENTF_KEYUP, 0, 0};
        Send(inputs);
    }
}

void RunningProgram::Send(std::vector<INPUT> inputs) const
{
    // Mouse and keys alike go through the system's input queue, so they keep their order.
    SetForegroundWindow(main);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Lets the program take it in before the next: a move handled late would pick late.
    WaitForInputIdle(process.hProcess, 2000);
}

std::string RunningProgram::Save() const
{
    const std::filesystem::path file = folder / "model.dat";
    const ULONGLONG before = WriteTime(file);
    Keys({'S'});
    // Each save makes a new file: a newer one means the key was handled. NOTE: the rename
    // holds the file open for a moment after, and a reader is then refused.
    std::string bytes;
    WaitUntil([&] { return WriteTime(file) != before && !(bytes = ReadBytes(file)).empty(); });
    return bytes;
}

DWORD RunningProgram::WaitForExit() const
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    return code;
}
