// The real program started in a folder of its own, driven with real input and read back through
// its windows and files, as a user and a second program would.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Polls condition until it holds or a generous time has passed.
bool WaitUntil(const std::function<bool()>& condition);

class RunningProgram
{
  public:
    // Starts program in folder and waits for its windows or a box, whichever comes first.
    RunningProgram(const std::string& program, const std::filesystem::path& folder);
    ~RunningProgram();

    // The program's top-level window of the class, or null; its message box, waited for.
    HWND Find(const char* className) const;
    HWND Box() const;
    static std::string Text(HWND window);
    void PressOk(HWND box) const;
    // Waits until the status bar shows count drawn triangles; false when it never does.
    bool WaitForCount(int count) const;

    // The screen position of client point (x, y) of the view, and one that picks grid point
    // (column, row) while the view is not turned.
    POINT OnView(int x, int y) const;
    POINT OnGridPoint(int column, int row) const;
    void MoveTo(POINT at) const;
    void Mouse(DWORD flags, int wheelNotches = 0) const;
    void Keys(std::initializer_list<WORD> keys) const;
    // Presses S and returns the file once the program has written it.
    std::string Save() const;
    // The exit code once the program has ended, or STILL_ACTIVE.
    DWORD WaitForExit() const;

    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    HWND editor = nullptr;
    HWND statusBar = nullptr;
    std::filesystem::path folder;

  private:
    void Send(std::vector<INPUT> inputs) const;
};
