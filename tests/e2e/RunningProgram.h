// The real program started in the working folder, driven with real input and read back through
// its windows and files, as a user and a second program would. A wait that runs out throws an
// exception naming what it waited for, which ends the test there.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

class RunningProgram
{
  public:
    // Starts the program and waits for its first picture, a box, or its end.
    explicit RunningProgram(std::string commandLine);
    ~RunningProgram();

    // The program's visible top-level window of the class (and title, if given), or null.
    HWND Find(const char* className, const char* title = nullptr) const;
    // Its message box, once it shows; the box's text, read before OK closes it.
    HWND Box() const;
    std::string CloseBox() const;
    void WaitForCount(int count) const;
    DWORD WaitForExit() const;
    // Whether keys would reach the view: its window is in front, the view has the focus.
    bool ViewHasFocus() const;

    // Moves to a point of the view, right clicks, wheel turns and keys wait for the picture they
    // bring, unless told they bring none; the wheel and keys first give the view the focus,
    // unless a box shows.
    void MoveTo(int x, int y, bool drawn = true) const;
    void Mouse(DWORD flags, int wheelNotches = 0) const;
    void Keys(std::initializer_list<WORD> keys, bool drawn = true) const;
    // Presses S and returns the new file the program wrote.
    std::string Save() const;

    HWND main = nullptr;
    HWND editor = nullptr;
    HWND statusBar = nullptr;

  private:
    std::string StatusText() const;
    void GiveFocusToView() const;
    void Send(std::vector<INPUT> inputs, bool drawn, const std::string& what) const;

    PROCESS_INFORMATION process{};
};
