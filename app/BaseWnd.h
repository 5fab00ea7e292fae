// The main window: frame, menu and owner of the status bar and the editor view.
#pragma once

#include "EditWnd.h"
#include "StatusBar.h"

#include <windows.h>

class CBaseWnd
{
  public:
    virtual ~CBaseWnd() = default;

    void Create();
    void CreateChildren();

    static LRESULT CALLBACK BaseWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    CEditWnd editor;
    CStatusBar statusBar;

  private:
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnClose();
    LRESULT OnCommand(WORD command);
};
