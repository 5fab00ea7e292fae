// The real program started in a folder of its own, driven with real input and read back through
// its windows and files, as a user and a second program would. A wait that runs out throws an
// exception naming what it waited for, which ends the test there.
#pragma once

#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

class RunningProgram
{
  public:
    // Starts program in folder and waits for its first picture, a box, or its end.
    RunningProgram(const std::string& program, const std::filesystem::path& folder);
    ~RunningProgram();

    // The program's visible top-level window of the class, or null.
    HWND Find(const char* className) const;
    // Its message box, once it shows; the box's text; OK pressed and the box gone.
    HWND Box() const;
    static std::string Text(HWND window);
    void PressOk(HWND box) const;
    void WaitForCount(int count) const;
    DWORD WaitForExit() const;

    // The screen position of client point (x, y) of the view.
    POINT OnView(int x, int y) const;

    // Moves, right clicks, wheel turns and keys wait for the picture they bring, unless told
    // they bring none; the wheel and keys first give the view the focus, unless a box shows.
    void MoveTo(POINT at, bool drawn = true) const;
    void Mouse(DWORD flags, int wheelNotches = 0) const;
    void Keys(std::initializer_list<WORD> keys, bool drawn = true) const;
    // Presses S and returns the new file the program wrote.
    std::string Save() const;

    // Whether keys would reach the view: its window is in front, the view has the focus.
    bool ViewHasFocus() const;

    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    HWND editor = nullptr;
    HWND statusBar = nullptr;
    std::filesystem::path folder;

  private:
    std::string StatusText() const;
    void GiveFocusToView() const;
    void Send(std::vector<INPUT> inputs, bool drawn, const std::string& what) const;
};
