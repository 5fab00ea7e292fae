// The two passes of every mouse move, under Wine with the program's real main window, status
// bar, editor view and OpenGL context, beside the bare calls of the same passes and the same
// triangles from a vertex array.
#include "BareLoop.h"
#include "BaseWnd.h"
#include "Bench.h"
#include "ScratchDirectory.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

namespace
{
const int kRepetitions = 100;
const int kWarmUpRuns = 5;
const double kMoveTargetRatio = 1.10;
const double kFrameMs = 1000.0 / 60.0;

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
        CBareLoop bare(view);
        const auto [select, draw, move, bareSelect, bareDraw, bareMove, vertexArray] =
            Repeat(kWarmUpRuns, kRepetitions, [&] {
                const double select = TimeMs([&] { view.Render(false, x, y, true); });
                const double draw = TimeMs([&] { view.Render(true, 0, 0, true); });
                PumpMessages();
                const double move = TimeMs([&] {
                    SendMessageA(view.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
                    PumpMessages();
                });
                const double bareSelect = TimeMs([&] { bare.Render(false, x, y); });
                const double bareDraw = TimeMs([&] { bare.Render(true, 0, 0); });
                const double bareMove = TimeMs([&] {
                    bare.Render(false, x, y);
                    bare.Render(true, 0, 0);
                });
                const double vertexArray = TimeMs([&] { bare.VertexArrayFrame(); });
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
