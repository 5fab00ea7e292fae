// The height brush of one wheel notch at the largest radius the keys give, without the redraw.
#include "BenchMain.h"
#include "BenchTable.h"
#include "EditWnd.h"
#include "Machine.h"
#include "SculptedGrid.h"

#include <vector>

namespace
{
const int kDefaultRepetitions = 200;
const int kWarmUpRuns = 5;
// Notches per timing: one notch is a few microseconds, near the clock's resolution.
const int kNotchesPerRun = 100;
const int kLargestRadius = 8;

// Per-notch time of kNotchesPerRun notches in each direction, forward first, so that the
// heights swing around where they started instead of running away.
Summary MeasureNotches(CEditWnd& view, int repetitions, bool forwardFirst)
{
    std::vector<double> perNotch;
    for (int run = -kWarmUpRuns; run < repetitions; ++run)
    {
        const double ms = TimeMs([&] {
            for (int notch = 0; notch < kNotchesPerRun; ++notch)
                view.ApplyBrush(forwardFirst);
        });
        for (int notch = 0; notch < kNotchesPerRun; ++notch)
            view.ApplyBrush(!forwardFirst);
        if (run >= 0)
            perNotch.push_back(ms / kNotchesPerRun);
    }
    return Summarize(perNotch);
}
} // namespace

int main(int argc, char** argv)
{
    const int repetitions =
        RepetitionsArgument(argc, argv, 1, kDefaultRepetitions, "bench_brush [repetitions]");
    PrintMachine("Height brush: one wheel notch at radius 8 (256 positions), without the redraw");
    // The brush needs only the model and the view state; no window, no context.
    CEditWnd view;
    view.brushRadius = kLargestRadius;
    view.grid.Create(kProgramGridSize);
    view.pickedPoint = view.grid.CellToIndex(kProgramGridSize / 2, kProgramGridSize / 2);
    CBenchTable table("Height brush", "us", repetitions);
    table.Row("forward notch, flat grid", MeasureNotches(view, repetitions, true));
    CreateSculptedGrid(view.grid);
    table.Row("forward notch, sculpted grid", MeasureNotches(view, repetitions, true));
    table.Row("backward notch, sculpted grid", MeasureNotches(view, repetitions, false));
    return 0;
}
