// Where the view's primitives go: to OpenGL in immediate mode or, for a select pass on an OpenGL
// whose select pass keeps its buffers, gathered in the program's memory and sent as arrays.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <vector>

// NOTE: Mesa's select pass before release 23.3 keeps a reference to every vertex buffer it reads
// and so never frees one: the immediate-mode vertices of every frame with a pick stay in memory
// (1.2 MB a mouse move over a sculpted grid with Mesa 22.3.6; docs/select-leak.c shows it).
// Vertices sent from the program's own memory are not kept.
bool SelectKeepsVertexBuffers();

class PrimitiveStream
{
  public:
    // Gathered: the primitives go out as vertex arrays from the program's memory, those of one
    // mode together, at each change of name and at the end. The select pass's hits are the same
    // either way, and it has no picture; texture coordinates are left out.
    explicit PrimitiveStream(bool gathered);
    ~PrimitiveStream();
    PrimitiveStream(const PrimitiveStream&) = delete;
    PrimitiveStream& operator=(const PrimitiveStream&) = delete;

    void Begin(GLenum mode);
    void TexCoord(GLfloat s, GLfloat t);
    void Vertex(GLfloat x, GLfloat y, GLfloat z);
    void End();
    void LoadName(GLuint name);

  private:
    // Gathers again the vertex whose x is at index at.
    void Repeat(size_t at);
    void Send();

    const bool gathered;
    GLenum mode = GL_POINTS;
    bool loop = false;
    // x, y, z of each vertex gathered; the current loop's own start at loopStart.
    std::vector<GLfloat> vertices;
    size_t loopStart = 0;
};
