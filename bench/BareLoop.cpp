#include "BareLoop.h"

#include "EditWnd.h"
#include "Texture.h"

#include <GL/glu.h>

namespace
{
// The view's own drawing values, repeated here so that the replay makes the same calls.
const double kPickWindowSize = 20.0;
const double kNearPlane = 0.1;
const double kFarPlane = 100.0;
const double kPointLift = 0.01;

void AppendLifted(std::vector<GLfloat>& to, const tagPOINT4& p)
{
    to.push_back(p.x);
    to.push_back(p.y);
    to.push_back(static_cast<GLfloat>(p.z - kPointLift));
}
} // namespace

CBareLoop::CBareLoop(const CEditWnd& view)
    : texture(modelTexture.texture), yaw(view.yaw), pitch(view.pitch),
      outlined(view.wireframe != 0), selectBuffer()
{
    const CGrid& grid = view.grid;
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        const tagPOINT4* p[3] = {&grid.points[triangle.vertex[0]], &grid.points[triangle.vertex[1]],
                                 &grid.points[triangle.vertex[2]]};
        if (p[0]->z == 0.0f && p[1]->z == 0.0f && p[2]->z == 0.0f)
            continue;
        const GLuint first = static_cast<GLuint>(corners.size() / kCornerFloats);
        for (int k = 0; k < 3; ++k)
        {
            corners.push_back(static_cast<GLfloat>((p[k]->x + 1.0) * 0.5));
            corners.push_back(static_cast<GLfloat>((p[k]->y + 1.0) * 0.5));
            corners.push_back(p[k]->x);
            corners.push_back(p[k]->y);
            corners.push_back(p[k]->z);
            edges.push_back(first + k);
            edges.push_back(first + (k + 1) % 3);
        }
    }
    for (const tagPOINT4& p : grid.points)
        AppendLifted(pickPoints, p);
    if (view.pickedPoint < 0)
        return;
    std::vector<int> markIndices = {view.pickedPoint};
    if (view.brushRadius >= 1)
    {
        const std::pair<int, int> cell = grid.IndexToCell(view.pickedPoint);
        const int r = view.brushRadius;
        markIndices.push_back(grid.CellToIndex(cell.first, cell.second - r));
        markIndices.push_back(grid.CellToIndex(cell.first, cell.second + r));
        markIndices.push_back(grid.CellToIndex(cell.first - r, cell.second));
        markIndices.push_back(grid.CellToIndex(cell.first + r, cell.second));
    }
    for (int index : markIndices)
        if (index >= 0)
            AppendLifted(marks, grid.points[index]);
}

CBareLoop::~CBareLoop() = default;

void CBareLoop::SelectPass(int x, int y)
{
    BeginFrame(true, x, y);
    TrianglePass();
    PointPass(true);
    EndFrame();
    glRenderMode(GL_RENDER);
}

void CBareLoop::DrawPass(HDC dc)
{
    BeginFrame(false, 0, 0);
    TrianglePass();
    PointPass(false);
    EndFrame();
    SwapBuffers(dc);
}

void CBareLoop::VertexArrayFrame(HDC dc)
{
    BeginFrame(false, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLsizei count = static_cast<GLsizei>(corners.size() / kCornerFloats);
    if (outlined)
    {
        glColor3f(0.8f, 0.9f, 0.9f);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, kCornerFloats * sizeof(GLfloat), corners.data() + 2);
        glDrawElements(GL_LINES, static_cast<GLsizei>(edges.size()), GL_UNSIGNED_INT, edges.data());
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    else
    {
        glColor3f(1.0f, 1.0f, 1.0f);
        glInterleavedArrays(GL_T2F_V3F, 0, corners.data());
        glDrawArrays(GL_TRIANGLES, 0, count);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glDisable(GL_BLEND);
    EndFrame();
    SwapBuffers(dc);
}

void CBareLoop::BeginFrame(bool select, int x, int y)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (select)
    {
        glSelectBuffer(kSelectBufferWords, selectBuffer);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (select)
        gluPickMatrix(x, viewport[3] - y, kPickWindowSize, kPickWindowSize, viewport);
    gluPerspective(0.0,
                   static_cast<double>(viewport[2] - viewport[0]) / (viewport[3] - viewport[1]),
                   kNearPlane, kFarPlane);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CBareLoop::TrianglePass()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1.0f, 1.0f, 1.0f);
    const GLfloat* const end = corners.data() + corners.size();
    if (outlined)
    {
        for (const GLfloat* c = corners.data(); c != end; c += 3 * kCornerFloats)
        {
            glColor3f(0.8f, 0.9f, 0.9f);
            glBegin(GL_LINE_LOOP);
            glVertex3f(c[2], c[3], c[4]);
            glVertex3f(c[7], c[8], c[9]);
            glVertex3f(c[12], c[13], c[14]);
            glEnd();
        }
    }
    else
    {
        for (const GLfloat* c = corners.data(); c != end; c += 3 * kCornerFloats)
        {
            glBegin(GL_TRIANGLES);
            glTexCoord2f(c[0], c[1]);
            glVertex3f(c[2], c[3], c[4]);
            glTexCoord2f(c[5], c[6]);
            glVertex3f(c[7], c[8], c[9]);
            glTexCoord2f(c[10], c[11]);
            glVertex3f(c[12], c[13], c[14]);
            glEnd();
        }
    }
    glDisable(GL_BLEND);
    glColor3f(0.9f, 0.6f, 0.6f);
}

void CBareLoop::PointPass(bool select)
{
    glPointSize(1.0f);
    if (select)
    {
        const GLuint count = static_cast<GLuint>(pickPoints.size() / 3);
        for (GLuint i = 0; i < count; ++i)
        {
            const GLfloat* p = &pickPoints[3 * i];
            glLoadName(i + 1);
            glBegin(GL_POINTS);
            glVertex3f(p[0], p[1], p[2]);
            glEnd();
        }
    }
    if (marks.empty())
        return;
    glPointSize(8.0f);
    glBegin(GL_POINTS);
    for (size_t k = 0; k < marks.size(); k += 3)
        glVertex3f(marks[k], marks[k + 1], marks[k + 2]);
    glEnd();
}

void CBareLoop::EndFrame()
{
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glFlush();
}
