// The floors of the editor view's passes: the view's own OpenGL calls made from values prepared
// beforehand, and the same triangles from a vertex array.
#pragma once

#include "EditDrawing.h"

#include <windows.h>

#include <GL/gl.h>

#include <array>
#include <vector>

class CEditWnd;

// Makes exactly the OpenGL calls of one pass of the view for the scene it was made from, in the
// view's own frame: the same begin/end pairs, vertices, names and state changes, with nothing
// else around them: no skipping of flat triangles, no arithmetic, no status bar.
class CBareLoop
{
  public:
    explicit CBareLoop(const CEditWnd& view);

    // The view's pass of the same name: draw mode draws and swaps, select mode picks at (x, y).
    void Render(bool draw, int x, int y);
    // The same triangles drawn once from a vertex array in a draw frame of the same set-up,
    // swap included: the floor of this OpenGL implementation.
    void VertexArrayFrame();

  private:
    HDC dc;
    // s, t, x, y, z of each corner of each drawn triangle, in drawing order.
    std::vector<GLfloat> corners;
    // Two corners per edge, for the outlines from the vertex array.
    std::vector<GLuint> edges;
    // x, y and lifted z of each point in index order, and of each mark.
    std::vector<std::array<GLfloat, 3>> pickPoints, marks;
    GLuint texture;
    GLfloat yaw, pitch;
    bool outlined;
    GLuint selectBuffer[kSelectBufferWords];
};
