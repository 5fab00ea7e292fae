// A second Win32 process that reads the running program's windows and posts messages to them.
//
// Usage: tessprobe COMMAND [ARG] [COMMAND [ARG]]...
// Every command prints tab-separated lines to stdout, texts as UTF-8 with tab, line breaks and
// backslash escaped. The exit code is 0 when every command worked, 1 when the program's main
// window was missing (or a command failed), 2 on a usage error.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace
{
const char* const kMainClass = "BASEWND";
const char* const kEditorClass = "EDITWND";
const char* const kMessageBoxClass = "#32770";
const char* const kPopupMenuClass = "#32768";
const int kStatusBarId = 1000;
const int kMessageBoxTextId = 0xFFFF;
const UINT kSendTimeoutMs = 2000;
const DWORD kPollMs = 20;

struct Target
{
    HWND main = nullptr;
    HWND editor = nullptr;
    HWND statusBar = nullptr;
    DWORD process = 0;
    DWORD thread = 0;
};

Target FindTarget()
{
    Target target;
    target.main = FindWindowA(kMainClass, nullptr);
    if (!target.main)
        return target;
    target.editor = FindWindowExA(target.main, nullptr, kEditorClass, nullptr);
    target.statusBar = GetDlgItem(target.main, kStatusBarId);
    target.thread = GetWindowThreadProcessId(target.main, &target.process);
    return target;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length,
                        nullptr, nullptr);
    return utf8;
}

// Keeps one record on one line whatever the text holds.
std::string Escape(const std::string& text)
{
    std::string escaped;
    for (char c : text)
    {
        switch (c)
        {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// Reads the title a window keeps in the window manager; no message reaches the target.
std::string StoredText(HWND window)
{
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return Escape(ToUtf8(buffer));
}

// Asks the window itself, which is the only way to a status bar's text; Wine carries
// WM_GETTEXT between processes, unlike the control's own SB_GETTEXT.
std::string AskedText(HWND window)
{
    // Only the characters the reply counts are valid: for an empty text Wine hands back the
    // buffer with stray contents.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        copied = 0;
    return Escape(ToUtf8(std::wstring(buffer, copied < 1024 ? copied : 1023)));
}

void PrintRect(const char* name, const RECT& rect)
{
    std::printf("%s\t%ld\t%ld\t%ld\t%ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

// Client area as screen origin and size: what a pointer tool needs.
void PrintClient(const char* name, HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("%s\t%ld\t%ld\t%ld\t%ld\n", name, origin.x, origin.y, rect.right, rect.bottom);
}

const char* FocusName(const Target& target)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(target.thread, &info) || !info.hwndFocus)
        return "none";
    if (info.hwndFocus == target.editor)
        return "editor";
    if (info.hwndFocus == target.main)
        return "main";
    return "other";
}

struct OwnedWindows
{
    const char* className;
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnedWindow(HWND window, LPARAM context)
{
    OwnedWindows& owned = *reinterpret_cast<OwnedWindows*>(context);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(className, owned.className) == 0 && IsWindowVisible(window) &&
        (owned.process == 0 || process == owned.process))
        owned.found.push_back(window);
    return TRUE;
}

// Top-level windows of one class that belong to the program. Without a main window every such
// window counts: a box shown when start-up fails has no main window to be traced from.
std::vector<HWND> FindOwned(const Target& target, const char* className)
{
    OwnedWindows owned = {className, target.main ? target.process : 0, {}};
    EnumWindows(CollectOwnedWindow, reinterpret_cast<LPARAM>(&owned));
    return owned.found;
}

bool Usable(const Target& target)
{
    if (target.main)
        return true;
    std::printf("error\tno main window\n");
    return false;
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && PostMessageA(window, message, wParam, lParam))
        return true;
    std::printf("error\tpost failed\n");
    return false;
}

bool WaitForWindow(const char* argument)
{
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argument, nullptr, 10));
    const DWORD start = GetTickCount();
    for (;;)
    {
        const Target target = FindTarget();
        if (target.main && target.editor && IsWindowVisible(target.main))
            return true;
        if (GetTickCount() - start >= timeout)
        {
            std::printf("error\tno main window after %lu ms\n", timeout);
            return false;
        }
        Sleep(kPollMs);
    }
}

bool PrintGeometry(const char*)
{
    const Target target = FindTarget();
    if (!Usable(target))
        return false;
    RECT rect = {};
    GetWindowRect(target.main, &rect);
    PrintRect("window", rect);
    PrintClient("client", target.main);
    if (target.editor)
        PrintClient("editor", target.editor);
    else
        std::printf("editor\tnone\n");
    if (target.statusBar && GetWindowRect(target.statusBar, &rect))
        PrintRect("statusbar", rect);
    else
        std::printf("statusbar\tnone\n");
    std::printf("title\t%s\n", StoredText(target.main).c_str());
    std::printf("focus\t%s\n", FocusName(target));
    return true;
}

bool PrintStatus(const char*)
{
    const Target target = FindTarget();
    if (!Usable(target))
        return false;
    if (!target.statusBar)
    {
        std::printf("error\tno status bar\n");
        return false;
    }
    std::printf("status\t%s\n", AskedText(target.statusBar).c_str());
    return true;
}

bool PrintBoxes(const char*)
{
    const Target target = FindTarget();
    for (HWND box : FindOwned(target, kMessageBoxClass))
    {
        const HWND text = GetDlgItem(box, kMessageBoxTextId);
        RECT rect = {};
        GetWindowRect(box, &rect);
        std::printf("box\t%p\t%ld\t%ld\t%ld\t%ld\t%s\t%s\n", static_cast<void*>(box), rect.left,
                    rect.top, rect.right, rect.bottom, StoredText(box).c_str(),
                    text ? StoredText(text).c_str() : "");
    }
    return true;
}

bool PrintMenus(const char*)
{
    const Target target = FindTarget();
    for (HWND menu : FindOwned(target, kPopupMenuClass))
    {
        RECT rect = {};
        GetWindowRect(menu, &rect);
        PrintRect("menu", rect);
    }
    return true;
}

// Presses OK on the given box, or on the program's first box for "first".
bool PressOk(const char* argument)
{
    HWND box = nullptr;
    if (std::strcmp(argument, "first") == 0)
    {
        const std::vector<HWND> boxes = FindOwned(FindTarget(), kMessageBoxClass);
        if (!boxes.empty())
            box = boxes.front();
    }
    else
        box = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argument, nullptr, 16)));
    const HWND ok = box ? GetDlgItem(box, IDOK) : nullptr;
    if (!ok)
    {
        std::printf("error\tno OK button\n");
        return false;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    return true;
}

// For key codes no keyboard layout can type; a repeat count of 1 as a real press has.
bool PostKey(const char* argument)
{
    const Target target = FindTarget();
    const WPARAM key = std::strtoul(argument, nullptr, 0);
    return Usable(target) && Post(target.editor, WM_KEYDOWN, key, 1);
}

bool PostCommand(const char* argument)
{
    const Target target = FindTarget();
    const WPARAM id = std::strtoul(argument, nullptr, 0);
    return Usable(target) && Post(target.main, WM_COMMAND, id, 0);
}

bool PostClose(const char*)
{
    const Target target = FindTarget();
    return Usable(target) && Post(target.main, WM_CLOSE, 0, 0);
}

struct Command
{
    const char* name;
    bool takesArgument;
    bool (*run)(const char* argument);
};

const Command kCommands[] = {
    {"wait", true, WaitForWindow},  {"geometry", false, PrintGeometry},
    {"status", false, PrintStatus}, {"boxes", false, PrintBoxes},
    {"menus", false, PrintMenus},   {"ok", true, PressOk},
    {"key", true, PostKey},         {"command", true, PostCommand},
    {"close", false, PostClose},
};

const Command* FindCommand(const char* name)
{
    for (const Command& command : kCommands)
        if (std::strcmp(command.name, name) == 0)
            return &command;
    return nullptr;
}
} // namespace

int main(int argc, char** argv)
{
    // Line ends stay LF, so the reader on the Linux side sees exactly the bytes printed.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: tessprobe COMMAND [ARG] ...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i)
    {
        const Command* command = FindCommand(argv[i]);
        if (!command || (command->takesArgument && i + 1 >= argc))
        {
            std::fprintf(stderr, "tessprobe: bad command or missing argument: %s\n", argv[i]);
            return 2;
        }
        const char* argument = command->takesArgument ? argv[++i] : "";
        const bool worked = command->run(argument);
        std::fflush(stdout);
        if (!worked)
            return 1;
    }
    return 0;
}
