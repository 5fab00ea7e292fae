// The editor view: the OpenGL child window, its context, the model and the view state.
#pragma once

#include "Grid.h"

#include <windows.h>

// Drag state shared by the mouse handlers; one editor view per process.
extern bool dragging;
extern short lastMouseX;
extern short lastMouseY;

class CEditWnd
{
  public:
    virtual ~CEditWnd();

    void Create(HWND parent, int x, int y, int width, int height);
    void SetupGL();
    void ReleaseGL();

    // The one drawing routine: draw mode shows the model, select mode picks the grid point
    // at window position (x, y).
    void Render(bool draw, int x, int y, bool showPoints);

    // Turn the view, keeping each angle within [-90, 90].
    void AddYaw(float degrees);
    void AddPitch(float degrees);

    void OnKeyDown(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnRButtonDown(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK EditWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    HGLRC glContext = nullptr;
    CGrid grid;
    int pickedPoint = -1;
    float yaw = 0.0f;
    float pitch = 0.0f;
    int brushRadius = 5; // the radius that key 6 gives
    int wireframe = 0;
    int polygonCount = 0;
    // Whether select passes send their vertices from arrays in the program's memory: set by
    // SetupGL for an OpenGL that would keep the buffers of immediate-mode ones.
    bool selectFromArrays = false;

  private:
    void OnPaint();
    void TakeFocus();
    // The height edit of one wheel notch around pickedPoint, which must name a point; no redraw.
    void ApplyBrush(bool forward);

    // Gathered: sent from the program's memory, for a select pass with selectFromArrays.
    void DrawTriangles(bool gathered);
    void DrawPickPoints(bool gathered);
    void DrawMarks(bool gathered);
    void PickFromHits(int hits, const unsigned int* buffer);
    void ShowPolygonCount();
};
