// Start-up of the real program under Wine with a warm prefix, beside that of a bare window with
// a status bar: from process creation to the first text in its status bar, which the first frame
// of the editor view writes. A model file in the working directory keeps the missing-file
// message box away.
#include "Bench.h"
#include "ModelFile.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

#include <windows.h>

#include <commctrl.h>

namespace
{
const int kRepetitions = 10;
const int kWarmUpRuns = 1;
const double kTargetMs = 1500.0;
const double kGiveUpMs = 30000.0;
const UINT kReplyTimeoutMs = 5000;
const DWORD kExitTimeoutMs = 10000;

// The status bar of a top-level window of process, or null while it has none.
HWND FindStatusBar(DWORD process)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        HWND statusBar =
            owner == process ? FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
        if (statusBar != nullptr)
            return statusBar;
    }
    return nullptr;
}

// Starts program, waits for the first status text, closes the program and checks that it
// ended with code 0. Returns the milliseconds from process creation to the answer that brought
// the text: the program answers only between its own messages, so a question asked while it
// draws its first frame is answered after that frame.
double StartToFirstText(const std::string& program, std::string& text)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        BenchFailed("bench_startup: cannot start " + program + ", error " +
                    std::to_string(GetLastError()));
    double elapsed = 0.0;
    HWND statusBar = nullptr;
    char got[256] = {};
    while (got[0] == '\0')
    {
        if (elapsed > kGiveUpMs)
            BenchFailed("bench_startup: " + program + " showed no status text in time");
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            BenchFailed("bench_startup: " + program + " ended before its status bar showed a text");
        statusBar = statusBar != nullptr ? statusBar : FindStatusBar(process.dwProcessId);
        DWORD_PTR copied = 0;
        if (statusBar != nullptr)
            SendMessageTimeoutA(statusBar, WM_GETTEXT, sizeof got, reinterpret_cast<LPARAM>(got),
                                SMTO_NORMAL, kReplyTimeoutMs, &copied);
        elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    text = got;
    PostMessageA(GetParent(statusBar), WM_CLOSE, 0, 0);
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code) || code != 0)
        BenchFailed("bench_startup: " + program + " did not end cleanly after WM_CLOSE");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        BenchFailed("usage: bench_startup PROGRAM.exe FLOOR.exe");
    ScratchDirectory scratch;
    CGrid grid;
    CreateSculptedGrid(grid);
    if (!SaveModel(grid) || !ReportedFailures().empty())
        BenchFailed("bench_startup: cannot write the model file");

    std::string programText, floorText;
    const auto [figures, floor] = Repeat(kWarmUpRuns, kRepetitions, [&] {
        const double programMs = StartToFirstText(argv[1], programText);
        return std::array<double, 2>{programMs, StartToFirstText(argv[2], floorText)};
    });
    // The count of a full frame of the sculpted model shows that the model was read and drawn.
    std::printf("Start-up: process creation to the first status bar text, warm prefix\n"
                "first status text of the program ends in \"%s\"\n",
                programText.substr(programText.find('=') + 1).c_str());
    PrintTable("Start-up under Wine, wineserver running", kRepetitions,
               {{"program to first status text", figures, "tiny window with status", floor}});
    PrintTarget("start-up to the first frame at most 1.5 s", figures.median, kTargetMs, "ms");
    return 0;
}
