#include "BareLoop.h"

#include "EditWnd.h"
#include "Texture.h"

namespace
{
const int kCornerFloats = 5;

std::array<GLfloat, 3> Lifted(const tagPOINT4& p)
{
    return {p.x, p.y, LiftedHeight(p)};
}
} // namespace

CBareLoop::CBareLoop(const CEditWnd& view)
    : dc(GetDC(view.hwnd)), texture(modelTexture.texture), yaw(view.yaw), pitch(view.pitch),
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
        pickPoints.push_back(Lifted(p));
    // No pick, no marks: every index is then -1.
    for (int index : MarkedPoints(grid, view.pickedPoint, view.brushRadius))
        if (index >= 0)
            marks.push_back(Lifted(grid.points[index]));
}

void CBareLoop::VertexArrayFrame()
{
    BeginViewFrame(yaw, pitch, nullptr, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3fv(outlined ? kOutlineColour : kSurfaceColour);
    if (outlined)
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, kCornerFloats * sizeof(GLfloat), corners.data() + 2);
        glDrawElements(GL_LINES, static_cast<GLsizei>(edges.size()), GL_UNSIGNED_INT, edges.data());
    }
    else
    {
        glInterleavedArrays(GL_T2F_V3F, 0, corners.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size() / kCornerFloats));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_BLEND);
    EndViewFrame();
    SwapBuffers(dc);
}

void CBareLoop::Render(bool draw, int x, int y)
{
    BeginViewFrame(yaw, pitch, draw ? nullptr : selectBuffer, x, y);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3fv(kSurfaceColour);
    const GLfloat* const end = corners.data() + corners.size();
    for (const GLfloat* triangle = corners.data(); triangle != end; triangle += 3 * kCornerFloats)
    {
        if (outlined)
            glColor3fv(kOutlineColour);
        glBegin(outlined ? GL_LINE_LOOP : GL_TRIANGLES);
        for (const GLfloat* c = triangle; c != triangle + 3 * kCornerFloats; c += kCornerFloats)
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
    const GLuint points = draw ? 0 : static_cast<GLuint>(pickPoints.size());
    for (GLuint i = 0; i < points; ++i)
    {
        glLoadName(kTriangleName + i + 1);
        glBegin(GL_POINTS);
        glVertex3f(pickPoints[i][0], pickPoints[i][1], pickPoints[i][2]);
        glEnd();
    }
    if (!marks.empty())
    {
        glPointSize(kMarkSize);
        glBegin(GL_POINTS);
        for (const std::array<GLfloat, 3>& p : marks)
            glVertex3f(p[0], p[1], p[2]);
        glEnd();
    }
    EndViewFrame();
    if (draw)
        SwapBuffers(dc);
    else
        glRenderMode(GL_RENDER);
}
