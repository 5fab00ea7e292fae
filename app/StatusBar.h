// The status bar along the bottom of the main window: one part, one line of text.
#pragma once

#include <windows.h>

// The last text given to SetText, terminator included.
extern char statusText[1000];

class CStatusBar
{
  public:
    virtual ~CStatusBar() = default;

    void Create(HWND parent, int id);

    // Formats like printf (cut to fit statusText) and shows the result.
    LRESULT SetText(const char* format, ...);

    HWND hwnd = nullptr;
};
