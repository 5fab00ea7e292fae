#include "RunningProgram.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;

namespace
{
const char* const kMessageBoxClass = "#32770";
const int kStatusBarId = 1000;
const int kBoxTextId = 0xFFFF;
const auto kPatience = std::chrono::seconds(20);
const auto kPoll = std::chrono::milliseconds(10);
const int kGridSide = 70;

struct BoxSearch
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBoxOf(HWND window, LPARAM param)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner != search->process || lstrcmpA(name, kMessageBoxClass) != 0 ||
        !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

struct MainSearch
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainOf(HWND window, LPARAM param)
{
    MainSearch* search = reinterpret_cast<MainSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner != search->process || lstrcmpA(name, "BASEWND") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
// In the file system's own 100-nanosecond steps: two saves a second apart must differ.
ULONGLONG WriteTime(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.string().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

RunningProgram::RunningProgram(const fs::path& program, const fs::path& workFolder)
    : folder(workFolder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program.string() + "\"";
    if (!CreateProcessA(program.string().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, folder.string().c_str(), &startup, &process))
        return;
    WaitUntil([this] {
        MainSearch search{process.dwProcessId, nullptr};
        EnumWindows(FindMainOf, reinterpret_cast<LPARAM>(&search));
        main = search.found;
        editor = main ? FindWindowExA(main, nullptr, "EDITWND", nullptr) : nullptr;
        statusBar = main ? GetDlgItem(main, kStatusBarId) : nullptr;
        return (editor != nullptr && statusBar != nullptr) || Box() != nullptr ||
               WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
}

RunningProgram::~RunningProgram()
{
    if (process.hProcess == nullptr)
        return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

HWND RunningProgram::Box() const
{
    BoxSearch search{process.dwProcessId, nullptr};
    EnumWindows(FindBoxOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::WaitForBox() const
{
    HWND box = nullptr;
    WaitUntil([&] { return (box = Box()) != nullptr; });
    return box;
}

std::string RunningProgram::BoxText(HWND box)
{
    char text[256] = {};
    GetWindowTextA(GetDlgItem(box, kBoxTextId), text, sizeof text);
    return text;
}

std::string RunningProgram::BoxCaption(HWND box)
{
    char text[256] = {};
    GetWindowTextA(box, text, sizeof text);
    return text;
}

void RunningProgram::PressOk(HWND box) const
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(box); });
}

std::string RunningProgram::Status() const
{
    char text[256] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(statusBar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    return std::string(text, length < sizeof text ? length : 0);
}

bool RunningProgram::WaitForCount(int count) const
{
    char digits[16];
    wsprintfA(digits, "=%05d", count);
    return WaitUntil([&] {
        const std::string status = Status();
        return status.size() > 6 && status.compare(status.size() - 6, 6, digits) == 0;
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

void RunningProgram::Send(INPUT* inputs, UINT count) const
{
    SetForegroundWindow(main);
    SendInput(count, inputs, sizeof(INPUT));
}

void RunningProgram::MoveTo(POINT at) const
{
    // Through the same queue as the buttons, wheel and keys, so that they keep their order;
    // rounded up so that the system's scaling back lands on the very pixel.
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = (at.x * 65536 + width - 1) / width;
    input.mi.dy = (at.y * 65536 + height - 1) / height;
    Send(&input, 1);
}

void RunningProgram::Wheel(int notches) const
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    Send(&input, 1);
}

void RunningProgram::Click(DWORD down, DWORD up) const
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    Send(inputs, 2);
}

void RunningProgram::Keys(std::initializer_list<WORD> keys) const
{
    for (WORD key : keys)
    {
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = inputs[1].ki.wVk = key;
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        Send(inputs, 2);
    }
}

std::string RunningProgram::Save() const
{
    const fs::path file = folder / "model.dat";
    const ULONGLONG before = WriteTime(file);
    Keys({'S'});
    // Each save makes a new file: a newer one means the key was handled. NOTE: the rename
    // holds the file open for a moment after, and a reader is then refused.
    std::string bytes;
    WaitUntil([&] { return WriteTime(file) != before && !(bytes = ReadFile(file)).empty(); });
    return bytes;
}

DWORD RunningProgram::WaitForExit() const
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    return code;
}

void RunningProgram::Chord(WORD modifier, WORD key) const
{
    INPUT inputs[4] = {};
    const WORD order[4] = {modifier, key, key, modifier};
    for (int k = 0; k < 4; ++k)
    {
        inputs[k].type = INPUT_KEYBOARD;
        inputs[k].ki.wVk = order[k];
        inputs[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    Send(inputs, 4);
}
