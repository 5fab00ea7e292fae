// The two passes of every mouse move, under Wine with the program's real main window, status
// bar, editor view and OpenGL context, beside the bare calls of the same passes and the same
// triangles from a vertex array.
#include "BareLoop.h"
#include "BaseWnd.h"
#include "BenchMain.h"
#include "BenchTable.h"
#include "Machine.h"
#include "ScratchDirectory.h"
#include "SculptedGrid.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int kDefaultRepetitions = 100;
const int kWarmUpRuns = 5;
const double kMoveTargetRatio = 1.10;
const double kFrameMs = 1000.0 / 60.0;

// Handles whatever the last call left queued, as the program's message loop would: the status
// bar repaints after each new text.
void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct Timings
{
    std::vector<double> select, draw, move, bareSelect, bareDraw, bareMove, vertexArray;
};

// One scene, measured with the program's passes and its floors interleaved, so that a busy
// moment of the machine falls on all of them alike.
Timings Measure(CEditWnd& view, HDC dc, int x, int y, int repetitions)
{
    // The marks follow the pick, so the floor takes the scene after a first pick.
    view.Render(false, x, y, true);
    view.Render(true, 0, 0, true);
    PumpMessages();
    CBareLoop bare(view);
    const LPARAM at = MAKELPARAM(x, y);
    Timings t;
    for (int run = -kWarmUpRuns; run < repetitions; ++run)
    {
        const double select = TimeMs([&] { view.Render(false, x, y, true); });
        const double draw = TimeMs([&] { view.Render(true, 0, 0, true); });
        PumpMessages();
        const double move = TimeMs([&] {
            SendMessageA(view.hwnd, WM_MOUSEMOVE, 0, at);
            PumpMessages();
        });
        const double bareSelect = TimeMs([&] { bare.SelectPass(x, y); });
        const double bareDraw = TimeMs([&] { bare.DrawPass(dc); });
        const double bareMove = TimeMs([&] {
            bare.SelectPass(x, y);
            bare.DrawPass(dc);
        });
        const double vertexArray = TimeMs([&] { bare.VertexArrayFrame(dc); });
        if (run < 0)
            continue;
        t.select.push_back(select);
        t.draw.push_back(draw);
        t.move.push_back(move);
        t.bareSelect.push_back(bareSelect);
        t.bareDraw.push_back(bareDraw);
        t.bareMove.push_back(bareMove);
        t.vertexArray.push_back(vertexArray);
    }
    return t;
}

void PrintScene(CEditWnd& view, HDC dc, int x, int y, int repetitions, const std::string& scene)
{
    for (int wireframe : {0, 1})
    {
        view.wireframe = wireframe;
        const std::string name = scene + (wireframe ? ", outlined" : ", filled");
        const Timings t = Measure(view, dc, x, y, repetitions);
        const Summary move = Summarize(t.move);
        const Summary bareMove = Summarize(t.bareMove);
        {
            CBenchTable table(name + ": " + std::to_string(view.polygonCount) +
                                  " triangles drawn, pick at the view's centre",
                              "ms", repetitions);
            table.Row("select pass", Summarize(t.select), "bare select pass",
                      Summarize(t.bareSelect));
            table.Row("draw pass with swap and status text", Summarize(t.draw),
                      "bare draw pass with swap", Summarize(t.bareDraw));
            table.Row("mouse move (message, both passes, status)", move, "bare select + draw",
                      bareMove);
            if (view.polygonCount > 0)
            {
                const Summary vertexArray = Summarize(t.vertexArray);
                table.Row("mouse move", move, "vertex array frame", vertexArray);
                table.Row("bare select + draw", bareMove, "vertex array frame", vertexArray);
            }
        }
        PrintTarget(name + ": mouse move within 10 % of the bare loop",
                    move.median / bareMove.median, kMoveTargetRatio, "x");
        if (wireframe == 0 && view.polygonCount == static_cast<int>(view.grid.triangles.size()))
            PrintTarget(name + ": mouse move within one 60 Hz frame", move.median, kFrameMs, "ms");
    }
}
} // namespace

int main(int argc, char** argv)
{
    const int repetitions =
        RepetitionsArgument(argc, argv, 1, kDefaultRepetitions, "bench_render [repetitions]");
    PrintMachine("Editor view: the select and draw passes of a mouse move");
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
    std::printf("OpenGL: %s; %s; %s\nview: %ld x %ld pixels\n",
                reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), client.right,
                client.bottom);
    std::fflush(stdout);

    const HDC dc = GetDC(view.hwnd);
    const int x = client.right / 2;
    const int y = client.bottom / 2;
    PrintScene(view, dc, x, y, repetitions, "flat grid");
    CreateSculptedGrid(view.grid);
    PrintScene(view, dc, x, y, repetitions, "sculpted grid");
    return 0;
}
