#include "PrimitiveStream.h"

#include <cstdio>
#include <cstring>

bool SelectKeepsVertexBuffers()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* mesa = version != nullptr ? std::strstr(version, "Mesa ") : nullptr;
    int major = 0, minor = 0;
    if (mesa == nullptr || std::sscanf(mesa, "Mesa %d.%d", &major, &minor) != 2)
        return false;
    return major < 23 || (major == 23 && minor < 3);
}

PrimitiveStream::PrimitiveStream(bool gathered) : gathered(gathered)
{
    if (gathered)
        glEnableClientState(GL_VERTEX_ARRAY);
}

PrimitiveStream::~PrimitiveStream()
{
    if (!gathered)
        return;
    Send();
    glDisableClientState(GL_VERTEX_ARRAY);
}

void PrimitiveStream::Begin(GLenum newMode)
{
    if (!gathered)
    {
        glBegin(newMode);
        return;
    }
    // A loop is gathered as the lines of its edges, so that loops go out together too.
    loop = newMode == GL_LINE_LOOP;
    const GLenum gatheredMode = loop ? GL_LINES : newMode;
    if (gatheredMode != mode)
        Send();
    mode = gatheredMode;
    loopStart = vertices.size();
}

void PrimitiveStream::TexCoord(GLfloat s, GLfloat t)
{
    if (!gathered)
        glTexCoord2f(s, t);
}

void PrimitiveStream::Vertex(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gathered)
    {
        glVertex3f(x, y, z);
        return;
    }
    // From a loop's third corner on, each edge starts where the last one ended.
    if (loop && vertices.size() - loopStart >= 6)
        Repeat(vertices.size() - 3);
    vertices.insert(vertices.end(), {x, y, z});
}

void PrimitiveStream::End()
{
    if (!gathered)
    {
        glEnd();
        return;
    }
    if (!loop)
        return;
    // The closing edge, back to the first corner; a lone corner makes no edge.
    if (vertices.size() - loopStart >= 6)
    {
        Repeat(vertices.size() - 3);
        Repeat(loopStart);
    }
    else
    {
        vertices.resize(loopStart);
    }
}

void PrimitiveStream::LoadName(GLuint name)
{
    if (gathered)
        Send();
    glLoadName(name);
}

void PrimitiveStream::Repeat(size_t at)
{
    // Copied first: the vector may move as it grows.
    const GLfloat vertex[3] = {vertices[at], vertices[at + 1], vertices[at + 2]};
    vertices.insert(vertices.end(), vertex, vertex + 3);
}

void PrimitiveStream::Send()
{
    if (vertices.empty())
        return;
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size() / 3));
    vertices.clear();
}
