// The two passes of every mouse move, under Wine with the program's real main window, status
// bar, editor view and OpenGL context, beside their floors: the view's own OpenGL calls made
// from values prepared beforehand, and the same triangles from a vertex array.
#include "BaseWnd.h"
#include "Bench.h"
#include "EditDrawing.h"
#include "PrimitiveStream.h"
#include "ScratchDirectory.h"
#include "Texture.h"

#include <GL/gl.h>

namespace
{
const int kRepetitions = 100;
const int kWarmUpRuns = 5;
const double kMoveTargetRatio = 1.10;
const double kFrameMs = 1000.0 / 60.0;
const int kCornerFloats = 5;

// The view's scene as the floor draws it, with nothing left to work out while it is timed.
struct BareScene
{
    HDC dc;
    GLfloat yaw, pitch;
    bool outlined;
    // Whether a select pass sends its primitives as arrays, as the view's does on this OpenGL.
    bool selectFromArrays;
    // s, t, x, y, z of each corner of each drawn triangle, in drawing order.
    std::vector<GLfloat> corners = {};
    // Two corners per edge, for the outlines from the vertex array.
    std::vector<GLuint> edges = {};
    // x, y and lifted z of each point in index order, and of each mark.
    std::vector<std::array<GLfloat, 3>> pickPoints = {}, marks = {};
};

BareScene Prepare(const CEditWnd& view)
{
    BareScene scene{GetDC(view.hwnd), view.yaw, view.pitch, view.wireframe != 0,
                    view.selectFromArrays};
    const CGrid& grid = view.grid;
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        if (!IsDrawn(grid, triangle))
            continue;
        const GLuint first = static_cast<GLuint>(scene.corners.size() / kCornerFloats);
        for (GLuint k = 0; k < 3; ++k)
        {
            const tagPOINT4& p = grid.points[triangle.vertex[k]];
            scene.corners.insert(scene.corners.end(),
                                 {TextureCoordinate(p.x), TextureCoordinate(p.y), p.x, p.y, p.z});
            scene.edges.insert(scene.edges.end(), {first + k, first + (k + 1) % 3});
        }
    }
    for (const tagPOINT4& p : grid.points)
        scene.pickPoints.push_back({p.x, p.y, LiftedHeight(p)});
    // No pick, no marks: every index is then -1.
    for (int index : MarkedPoints(grid, view.pickedPoint, view.brushRadius))
        if (index >= 0)
            scene.marks.push_back(scene.pickPoints[index]);
    return scene;
}

// Exactly the OpenGL calls of the view's pass of the same mode, through the same stream: the
// same begin/end pairs, vertices, names and state changes, with nothing else around them: no
// skipping of flat triangles, no arithmetic, no status bar.
void BareRender(const BareScene& scene, bool draw, int x, int y)
{
    const bool gathered = !draw && scene.selectFromArrays;
    GLuint selectBuffer[kSelectBufferWords];
    BeginViewFrame(scene.yaw, scene.pitch, draw ? nullptr : selectBuffer, x, y);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, modelTexture.texture);
    glColor3fv(kSurfaceColour);
    {
        PrimitiveStream out(gathered);
        const GLfloat* const end = scene.corners.data() + scene.corners.size();
        for (const GLfloat* triangle = scene.corners.data(); triangle != end;
             triangle += 3 * kCornerFloats)
        {
            if (scene.outlined)
                glColor3fv(kOutlineColour);
            out.Begin(scene.outlined ? GL_LINE_LOOP : GL_TRIANGLES);
            for (const GLfloat* c = triangle; c != triangle + 3 * kCornerFloats; c += kCornerFloats)
            {
                if (!scene.outlined)
                    out.TexCoord(c[0], c[1]);
                out.Vertex(c[2], c[3], c[4]);
            }
            out.End();
        }
    }
    glDisable(GL_BLEND);
    glColor3fv(kMarkColour);
    glPointSize(kPickPointSize);
    const GLuint points = draw ? 0 : static_cast<GLuint>(scene.pickPoints.size());
    {
        PrimitiveStream out(gathered);
        for (GLuint i = 0; i < points; ++i)
        {
            out.LoadName(kTriangleName + i + 1);
            out.Begin(GL_POINTS);
            out.Vertex(scene.pickPoints[i][0], scene.pickPoints[i][1], scene.pickPoints[i][2]);
            out.End();
        }
    }
    if (!scene.marks.empty())
    {
        glPointSize(kMarkSize);
        PrimitiveStream out(gathered);
        out.Begin(GL_POINTS);
        for (const std::array<GLfloat, 3>& p : scene.marks)
            out.Vertex(p[0], p[1], p[2]);
        out.End();
    }
    EndViewFrame();
    if (draw)
        SwapBuffers(scene.dc);
    else
        glRenderMode(GL_RENDER);
}

// The same triangles drawn once from a vertex array in a draw frame of the same set-up, swap
// included: the floor of this OpenGL implementation.
void VertexArrayFrame(const BareScene& scene)
{
    BeginViewFrame(scene.yaw, scene.pitch, nullptr, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, modelTexture.texture);
    glColor3fv(scene.outlined ? kOutlineColour : kSurfaceColour);
    if (scene.outlined)
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, kCornerFloats * sizeof(GLfloat), scene.corners.data() + 2);
        glDrawElements(GL_LINES, static_cast<GLsizei>(scene.edges.size()), GL_UNSIGNED_INT,
                       scene.edges.data());
    }
    else
    {
        glInterleavedArrays(GL_T2F_V3F, 0, scene.corners.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scene.corners.size() / kCornerFloats));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_BLEND);
    EndViewFrame();
    SwapBuffers(scene.dc);
}

// Handles what the last call left queued, as the program's loop would: status text repaints.
void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PrintScene(CEditWnd& view, int x, int y, const std::string& scene)
{
    for (int wireframe : {0, 1})
    {
        view.wireframe = wireframe;
        // The marks follow the pick, so the floor takes the scene after a first pick.
        view.Render(false, x, y, true);
        view.Render(true, 0, 0, true);
        PumpMessages();
        const BareScene bare = Prepare(view);
        const auto [select, draw, move, bareSelect, bareDraw, bareMove, vertexArray] =
            Repeat(kWarmUpRuns, kRepetitions, [&] {
                const double select = TimeMs([&] { view.Render(false, x, y, true); });
                const double draw = TimeMs([&] { view.Render(true, 0, 0, true); });
                PumpMessages();
                const double move = TimeMs([&] {
                    SendMessageA(view.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
                    PumpMessages();
                });
                const double bareSelect = TimeMs([&] { BareRender(bare, false, x, y); });
                const double bareDraw = TimeMs([&] { BareRender(bare, true, 0, 0); });
                const double bareMove = TimeMs([&] {
                    BareRender(bare, false, x, y);
                    BareRender(bare, true, 0, 0);
                });
                const double vertexArray = TimeMs([&] { VertexArrayFrame(bare); });
                return std::array<double, 7>{select,   draw,     move,       bareSelect,
                                             bareDraw, bareMove, vertexArray};
            });
        std::vector<Row> rows = {
            {"select pass", select, "bare select pass", bareSelect},
            {"draw pass with swap and status text", draw, "bare draw pass with swap", bareDraw},
            {"mouse move (message, both passes, status)", move, "bare select + draw", bareMove}};
        if (view.polygonCount > 0)
        {
            rows.push_back({"mouse move", move, "vertex array frame", vertexArray});
            rows.push_back({"bare select + draw", bareMove, "vertex array frame", vertexArray});
        }
        const std::string name = scene + (wireframe ? ", outlined" : ", filled");
        PrintTable(name + ": " + std::to_string(view.polygonCount) +
                       " triangles drawn, pick at the view's centre",
                   kRepetitions, rows);
        PrintTarget(name + ": mouse move within 10 % of the bare loop",
                    move.median / bareMove.median, kMoveTargetRatio, "x");
        if (wireframe == 0 && view.polygonCount == static_cast<int>(view.grid.triangles.size()))
            PrintTarget(name + ": mouse move within one 60 Hz frame", move.median, kFrameMs, "ms");
    }
}
} // namespace

int main()
{
    // No model file here: the view starts with the flat grid, as on a first start.
    ScratchDirectory scratch;
    CBaseWnd frame;
    frame.Create();
    PumpMessages();
    CEditWnd& view = frame.editor;
    if (view.glContext == nullptr)
        BenchFailed("bench_render: no OpenGL context");
    RECT client = {};
    GetClientRect(view.hwnd, &client);
    std::printf("Editor view: the select and draw passes of a mouse move\n"
                "OpenGL: %s; %s; %s\nview: %ld x %ld pixels\n",
                reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), client.right,
                client.bottom);
    PrintScene(view, client.right / 2, client.bottom / 2, "flat grid");
    CreateSculptedGrid(view.grid);
    PrintScene(view, client.right / 2, client.bottom / 2, "sculpted grid");
    return 0;
}
