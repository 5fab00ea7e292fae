#include "ViewFixture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <imm.h>

#include <cmath>

// OpenGL's framebuffer calls come from the driver at run time.
#define GL_CALL(name)                                                                              \
    reinterpret_cast<decltype(&name)>(reinterpret_cast<void (*)()>(wglGetProcAddress(#name)))

const double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

void EditorView::SetUp()
{
    // The drag state outlives views: the program starts without a drag; each test ends its own.
    EXPECT_FALSE(dragging);
    lastMouseX = lastMouseY = 0;
    parent = CreateWindowExA(0, "STATIC", "test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    view.Create(parent, 0, 0, width, height);
    ASSERT_NE(view.glContext, nullptr);
    // No input context, through which an open input method would take the view's keys.
    EXPECT_EQ(ImmGetContext(view.hwnd), nullptr);

    // NOTE: a window's pixels are undefined after a swap and under other windows.
    GLuint frameBuffer = 0, buffers[2] = {};
    const GLenum formats[2] = {GL_RGB8, GL_DEPTH_COMPONENT32};
    const GLenum slots[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    GL_CALL(glGenFramebuffers)(1, &frameBuffer);
    GL_CALL(glBindFramebuffer)(GL_FRAMEBUFFER, frameBuffer);
    GL_CALL(glGenRenderbuffers)(2, buffers);
    for (int k = 0; k < 2; ++k)
    {
        GL_CALL(glBindRenderbuffer)(GL_RENDERBUFFER, buffers[k]);
        GL_CALL(glRenderbufferStorage)(GL_RENDERBUFFER, formats[k], width, height);
        GL_CALL(glFramebufferRenderbuffer)(GL_FRAMEBUFFER, slots[k], GL_RENDERBUFFER, buffers[k]);
    }
    ASSERT_EQ(GL_CALL(glCheckFramebufferStatus)(GL_FRAMEBUFFER), GL_FRAMEBUFFER_COMPLETE);
}

void EditorView::TearDown()
{
    // Detached first, or its destruction would post a quit message; a failed set-up's null is safe.
    SetWindowLongPtrA(view.hwnd, GWLP_USERDATA, 0);
    view.ReleaseGL();
    DestroyWindow(parent);
}

POINT EditorView::ClientPointOf(int index) const
{
    // Turned about x by the pitch, then about y by the yaw, seen along z without perspective.
    const tagPOINT4& p = view.grid.points[index];
    const double pitch = view.pitch * kRadiansPerDegree;
    const double yaw = view.yaw * kRadiansPerDegree;
    const double y = p.y * std::cos(pitch) - p.z * std::sin(pitch);
    const double z = p.y * std::sin(pitch) + p.z * std::cos(pitch);
    const double x = p.x * std::cos(yaw) + z * std::sin(yaw);
    return {std::lround((x + 1.0) / 2.0 * width), std::lround((1.0 - y) / 2.0 * height)};
}

Picture EditorView::PictureOf(const std::function<void()>& action)
{
    glClearColor(kUndrawn[0] / 255.0f, kUndrawn[1] / 255.0f, kUndrawn[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    action();
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * height * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
}
