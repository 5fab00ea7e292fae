// The real program started in a folder of its own, driven with real input and read back through
// its windows, as a user and a second program would.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

class RunningProgram
{
  public:
    // Starts program in folder and waits for its main window or a box, whichever comes first.
    RunningProgram(const std::filesystem::path& program, const std::filesystem::path& folder);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The first top-level message box of the program, waited for; null when none came.
    HWND WaitForBox() const;
    HWND Box() const;
    static std::string BoxText(HWND box);
    static std::string BoxCaption(HWND box);
    void PressOk(HWND box) const;

    std::string Status() const;
    // Waits until the status bar shows count drawn triangles; false when it never does.
    bool WaitForCount(int count) const;

    // The screen position of client point (x, y) of the editor view.
    POINT OnView(int x, int y) const;
    // A screen position that picks grid point (column, row) before the view is turned.
    POINT OnGridPoint(int column, int row) const;

    void MoveTo(POINT at) const;
    void Wheel(int notches) const;
    void Click(DWORD down, DWORD up) const;
    void Keys(std::initializer_list<WORD> keys) const;
    // Holds modifier down while key is pressed.
    void Chord(WORD modifier, WORD key) const;
    // Saves with S and waits for the program to have handled everything sent before.
    std::string Save() const;

    // Exit code once the program has ended, or STILL_ACTIVE when it has not within a while.
    DWORD WaitForExit() const;

    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    HWND editor = nullptr;
    HWND statusBar = nullptr;
    std::filesystem::path folder;

  private:
    void Send(INPUT* inputs, UINT count) const;
};

// Polls condition until it holds or a generous time has passed.
bool WaitUntil(const std::function<bool()>& condition);
