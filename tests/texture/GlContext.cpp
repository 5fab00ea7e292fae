#include "GlContext.h"

namespace
{
const char className[] = "TEXTURETESTGL";

ATOM RegisterWindowClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    return RegisterClassA(&wc);
}
} // namespace

GlContext::GlContext() : window(nullptr), dc(nullptr), context(nullptr)
{
    [[maybe_unused]] static const ATOM registered = RegisterWindowClass();
    window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
    context = wglCreateContext(dc);
    MakeCurrent();
}

GlContext::~GlContext()
{
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
