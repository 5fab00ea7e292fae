#include "EditWnd.h"

#include "ModelFile.h"
#include "PrimitiveStream.h"
#include "Texture.h"

#include <GL/gl.h>
#include <imm.h>

namespace
{
const char* const kEditClass = "EDITWND";
const char* const kEditTitle = "editor window";

const GLfloat kLightAmbient[] = {0.01f, 0.01f, 0.01f, 1.0f};
const GLfloat kLightDiffuse[] = {0.7f, 0.7f, 0.7f, 1.0f};
const GLfloat kLightSpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat kLightPosition[] = {0.5f, 0.8f, 0.4f, 1.0f};

PIXELFORMATDESCRIPTOR ViewPixelFormat()
{
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 32;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}
} // namespace

CEditWnd::~CEditWnd()
{
    ReleaseGL();
}

void CEditWnd::Create(HWND parent, int x, int y, int width, int height)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = EditWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
    windowClass.lpszClassName = kEditClass;
    RegisterClassA(&windowClass);

    hwnd = CreateWindowExA(0, kEditClass, kEditTitle, WS_CHILD | WS_VISIBLE, x, y, width, height,
                           parent, nullptr, instance, nullptr);
    // The view takes keys and no text. With the thread's input context, an open input method
    // (the usual state for a Japanese user, as applications share its mode) would take L, S and
    // the digits for itself.
    ImmAssociateContext(hwnd, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetupGL();
    grid.Create(kProgramGridSize);
    modelTexture.Load("BMPTEST", true);
    LoadModel(grid);
}

void CEditWnd::SetupGL()
{
    HDC dc = GetDC(hwnd);
    const PIXELFORMATDESCRIPTOR format = ViewPixelFormat();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format);
    if (glContext != nullptr)
        wglDeleteContext(glContext);
    glContext = wglCreateContext(dc);
    wglMakeCurrent(dc, glContext);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    // Given while the model-view matrix is still the identity: the light stays put in eye space.
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    selectFromArrays = SelectKeepsVertexBuffers();
}

void CEditWnd::ReleaseGL()
{
    wglMakeCurrent(nullptr, nullptr);
    if (glContext != nullptr)
    {
        wglDeleteContext(glContext);
        glContext = nullptr;
    }
}

LRESULT CALLBACK CEditWnd::EditWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CEditWnd* self = reinterpret_cast<CEditWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        self->OnPaint();
        return 0;
    case WM_KEYDOWN:
        self->OnKeyDown(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        self->OnMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        self->OnLButtonDown(wParam, lParam);
        self->TakeFocus();
        return 0;
    case WM_LBUTTONUP:
        dragging = false;
        return 0;
    case WM_RBUTTONDOWN:
        self->OnRButtonDown(wParam, lParam);
        self->TakeFocus();
        return 0;
    case WM_MOUSEWHEEL:
        self->OnMouseWheel(wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void CEditWnd::OnPaint()
{
    // Validating first means the same invalidation brings no further paint messages.
    ValidateRect(hwnd, nullptr);
    Render(true, 0, 0, true);
}

void CEditWnd::TakeFocus()
{
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
}
