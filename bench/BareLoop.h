// The floors of the editor view's passes: the bare OpenGL calls of one pass, and the same
// triangles from a vertex array.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <vector>

class CEditWnd;

// Replays exactly the OpenGL calls that one pass of the view makes for a given scene (the same
// begin/end pairs, vertices, names and state changes) from values prepared beforehand, with
// nothing else around them: no skipping of flat triangles, no arithmetic, no status bar.
class CBareLoop
{
  public:
    // Takes the scene of view as it stands: the triangles a pass would draw, the pick position
    // of every point, the brush marks, the angles, the drawing style and the texture.
    explicit CBareLoop(const CEditWnd& view);
    virtual ~CBareLoop();

    void SelectPass(int x, int y);
    void DrawPass(HDC dc);

    // The same triangles drawn once from a vertex array in a draw frame of the same set-up,
    // swap included: the floor of this OpenGL implementation.
    void VertexArrayFrame(HDC dc);

    size_t TriangleCount() const { return corners.size() / kCornerFloats / 3; }

  private:
    static const int kCornerFloats = 5;
    static const int kSelectBufferWords = 512;

    void BeginFrame(bool select, int x, int y);
    void TrianglePass();
    void PointPass(bool select);
    void EndFrame();

    // s, t, x, y, z of each corner of each drawn triangle, in drawing order.
    std::vector<GLfloat> corners;
    // x, y and lifted z of each point, in index order.
    std::vector<GLfloat> pickPoints;
    // x, y and lifted z of each brush mark.
    std::vector<GLfloat> marks;
    // Two corners per edge for drawing the outlines from the vertex array.
    std::vector<GLuint> edges;
    GLuint texture;
    GLfloat yaw;
    GLfloat pitch;
    bool outlined;
    GLuint selectBuffer[kSelectBufferWords];
};
