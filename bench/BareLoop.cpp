#include "BareLoop.h"

#include "EditWnd.h"
#include "Texture.h"

namespace
{
const int kCornerFloats = 5;
const int kTriangleFloats = 3 * kCornerFloats;

void AppendLifted(std::vector<GLfloat>& to, const tagPOINT4& p)
{
    to.insert(to.end(), {p.x, p.y, LiftedHeight(p)});
}

void PointVertices(const std::vector<GLfloat>& points, size_t from, size_t to)
{
    for (size_t k = 3 * from; k < 3 * to; k += 3)
        glVertex3f(points[k], points[k + 1], points[k + 2]);
}
} // namespace

CBareLoop::CBareLoop(const CEditWnd& view)
    : texture(modelTexture.texture), yaw(view.yaw), pitch(view.pitch),
      outlined(view.wireframe != 0), selectBuffer()
{
    const CGrid& grid = view.grid;
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        if (!IsDrawn(grid, triangle))
            continue;
        const GLuint first = static_cast<GLuint>(corners.size() / kCornerFloats);
        for (GLuint k = 0; k < 3; ++k)
        {
            const tagPOINT4& p = grid.points[triangle.vertex[k]];
            corners.insert(corners.end(),
                           {TextureCoordinate(p.x), TextureCoordinate(p.y), p.x, p.y, p.z});
            edges.insert(edges.end(), {first + k, first + (k + 1) % 3});
        }
    }
    for (const tagPOINT4& p : grid.points)
        AppendLifted(pickPoints, p);
    if (view.pickedPoint != -1)
        for (int index : MarkedPoints(grid, view.pickedPoint, view.brushRadius))
            if (index >= 0)
                AppendLifted(marks, grid.points[index]);
}

void CBareLoop::SelectPass(int x, int y)
{
    Pass(true, x, y);
    glRenderMode(GL_RENDER);
}

void CBareLoop::DrawPass(HDC dc)
{
    Pass(false, 0, 0);
    SwapBuffers(dc);
}

void CBareLoop::VertexArrayFrame(HDC dc)
{
    BeginViewFrame(yaw, pitch, nullptr, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (outlined)
    {
        glColor3fv(kOutlineColour);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, kCornerFloats * sizeof(GLfloat), corners.data() + 2);
        glDrawElements(GL_LINES, static_cast<GLsizei>(edges.size()), GL_UNSIGNED_INT, edges.data());
    }
    else
    {
        glColor3fv(kSurfaceColour);
        glInterleavedArrays(GL_T2F_V3F, 0, corners.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size() / kCornerFloats));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_BLEND);
    EndViewFrame();
    SwapBuffers(dc);
}

void CBareLoop::Pass(bool select, int x, int y)
{
    BeginViewFrame(yaw, pitch, select ? selectBuffer : nullptr, x, y);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3fv(kSurfaceColour);
    const GLfloat* const end = corners.data() + corners.size();
    for (const GLfloat* triangle = corners.data(); triangle != end; triangle += kTriangleFloats)
    {
        if (outlined)
            glColor3fv(kOutlineColour);
        glBegin(outlined ? GL_LINE_LOOP : GL_TRIANGLES);
        for (const GLfloat* c = triangle; c != triangle + kTriangleFloats; c += kCornerFloats)
        {
            if (!outlined)
                glTexCoord2f(c[0], c[1]);
            glVertex3f(c[2], c[3], c[4]);
        }
        glEnd();
    }
    glDisable(GL_BLEND);
    glColor3fv(kMarkColour);
    glPointSize(kPickPointSize);
    const GLuint points = select ? static_cast<GLuint>(pickPoints.size() / 3) : 0;
    for (GLuint i = 0; i < points; ++i)
    {
        glLoadName(kTriangleName + i + 1);
        glBegin(GL_POINTS);
        PointVertices(pickPoints, i, i + 1);
        glEnd();
    }
    if (!marks.empty())
    {
        glPointSize(kMarkSize);
        glBegin(GL_POINTS);
        PointVertices(marks, 0, marks.size() / 3);
        glEnd();
    }
    EndViewFrame();
}
