// Drawing and picking of the editor view: one routine for both, so a pick lands where the
// picture shows the point.
#include "ChildRegistry.h"
#include "EditDrawing.h"
#include "EditWnd.h"
#include "PrimitiveStream.h"
#include "StatusBar.h"
#include "Texture.h"
#include "UserTexts.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace
{
void LiftedVertex(PrimitiveStream& out, const tagPOINT4& point)
{
    out.Vertex(point.x, point.y, LiftedHeight(point));
}
} // namespace

void BeginViewFrame(float yaw, float pitch, unsigned int* selectBuffer, int x, int y)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (selectBuffer != nullptr)
    {
        glSelectBuffer(kSelectBufferWords, selectBuffer);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(kTriangleName);
    }

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (selectBuffer != nullptr)
        gluPickMatrix(x, viewport[3] - y, kPickWindowSize, kPickWindowSize, viewport);
    const double aspect =
        static_cast<double>(viewport[2] - viewport[0]) / (viewport[3] - viewport[1]);
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void EndViewFrame()
{
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glFlush();
}

void CEditWnd::Render(bool draw, int x, int y, bool showPoints)
{
    GLuint selectBuffer[kSelectBufferWords] = {};
    BeginViewFrame(yaw, pitch, draw ? nullptr : selectBuffer, x, y);
    const bool gathered = !draw && selectFromArrays;
    DrawTriangles(gathered);
    glDisable(GL_BLEND);
    glColor3fv(kMarkColour);
    if (showPoints)
    {
        glPointSize(kPickPointSize);
        if (!draw)
            DrawPickPoints(gathered);
        DrawMarks(gathered);
    }
    EndViewFrame();

    if (draw)
    {
        SwapBuffers(GetDC(hwnd));
        ShowPolygonCount();
    }
    else
    {
        PickFromHits(glRenderMode(GL_RENDER), selectBuffer);
    }
}

void CEditWnd::DrawTriangles(bool gathered)
{
    PrimitiveStream out(gathered);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, modelTexture.texture);
    glColor3fv(kSurfaceColour);
    polygonCount = 0;
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        // A flat part of the model stays invisible.
        if (!IsDrawn(grid, triangle))
            continue;
        ++polygonCount;
        if (wireframe != 0)
            glColor3fv(kOutlineColour);
        out.Begin(wireframe == 0 ? GL_TRIANGLES : GL_LINE_LOOP);
        for (int index : triangle.vertex)
        {
            const tagPOINT4& p = grid.points[index];
            // Outlines give none: they take the texel where the last triangle ended.
            if (wireframe == 0)
                out.TexCoord(TextureCoordinate(p.x), TextureCoordinate(p.y));
            out.Vertex(p.x, p.y, p.z);
        }
        out.End();
    }
}

void CEditWnd::DrawPickPoints(bool gathered)
{
    PrimitiveStream out(gathered);
    const GLuint count = static_cast<GLuint>(grid.points.size());
    for (GLuint i = 0; i < count; ++i)
    {
        out.LoadName(i + 1);
        out.Begin(GL_POINTS);
        LiftedVertex(out, grid.points[i]);
        out.End();
    }
}

void CEditWnd::DrawMarks(bool gathered)
{
    if (pickedPoint == -1)
        return;
    glPointSize(kMarkSize);
    PrimitiveStream out(gathered);
    out.Begin(GL_POINTS);
    for (int index : MarkedPoints(grid, pickedPoint, brushRadius))
        if (index >= 0)
            LiftedVertex(out, grid.points[index]);
    out.End();
}

void CEditWnd::PickFromHits(int hits, const unsigned int* buffer)
{
    if (hits == 0)
    {
        pickedPoint = -1;
        return;
    }
    // A negative count means the buffer overflowed; the records that fit are the first ones
    // drawn, so the same scan still finds the lowest point index. Only whole records are read.
    const size_t words = kSelectBufferWords;
    size_t at = 0;
    for (long record = 0; at + 3 < words && (hits < 0 || record < hits); ++record)
    {
        const size_t names = buffer[at];
        if (names > words - 3 - at)
            return;
        const unsigned int first = buffer[at + 3];
        if (names > 0 && first != kTriangleName && first <= grid.points.size())
        {
            pickedPoint = static_cast<int>(first - 1);
            return;
        }
        at += 3 + names;
    }
}

void CEditWnd::ShowPolygonCount()
{
    // The status bar is registered only after the view exists; a draw before that leaves it.
    CStatusBar* statusBar = static_cast<CStatusBar*>(FindChild("STATUS"));
    if (statusBar != nullptr)
        statusBar->SetText(kPolygonCountFormat, polygonCount);
}
