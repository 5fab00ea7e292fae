// A hidden window with an OpenGL rendering context, current on this thread while it lives.
#pragma once

#include <windows.h>

class GlContext
{
  public:
    GlContext();
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    bool MakeCurrent() const { return wglMakeCurrent(dc, context) != FALSE; }

  private:
    HWND window;
    HDC dc;
    HGLRC context;
};
