// The floors of the editor view's passes: the view's own OpenGL calls made from values prepared
// beforehand, and the same triangles from a vertex array.
#pragma once

#include "EditDrawing.h"

#include <windows.h>

#include <GL/gl.h>

#include <vector>

class CEditWnd;

// Makes exactly the OpenGL calls of one pass of the view for the scene it was made from, in the
// view's own frame: the same begin/end pairs, vertices, names and state changes, with nothing
// else around them: no skipping of flat triangles, no arithmetic, no status bar.
class CBareLoop
{
  public:
    explicit CBareLoop(const CEditWnd& view);

    void SelectPass(int x, int y);
    void DrawPass(HDC dc);
    // The same triangles drawn once from a vertex array in a draw frame of the same set-up,
    // swap included: the floor of this OpenGL implementation.
    void VertexArrayFrame(HDC dc);

  private:
    void Pass(bool select, int x, int y);

    // s, t, x, y, z of each corner of each drawn triangle, in drawing order.
    std::vector<GLfloat> corners;
    // Two corners per edge, for the outlines from the vertex array.
    std::vector<GLuint> edges;
    // x, y and lifted z of each point in index order, and of each mark.
    std::vector<GLfloat> pickPoints;
    std::vector<GLfloat> marks;
    GLuint texture;
    GLfloat yaw;
    GLfloat pitch;
    bool outlined;
    GLuint selectBuffer[kSelectBufferWords];
};
