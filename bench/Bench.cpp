#include "Bench.h"

#include "Grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
const int kLabelWidth = 44;
const int kFloorLabelWidth = 26;
const float kFloorDepth = 0.05f;
const float kHillHeight = 0.3f;
} // namespace

void BenchFailed(const std::string& what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

int RepetitionsArgument(int argc, char** argv, int index, int fallback, const std::string& usage)
{
    const int repetitions = argc > index ? std::atoi(argv[index]) : fallback;
    if (repetitions < 1)
        BenchFailed("usage: " + usage);
    return repetitions;
}

void CreateSculptedGrid(CGrid& grid)
{
    grid.Create(kProgramGridSize);
    for (tagPOINT4& p : grid.points)
        p.z = -(kFloorDepth + kHillHeight * std::exp(-4.0f * (p.x * p.x + p.y * p.y)));
}

Summary Summarize(std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    const size_t n = milliseconds.size();
    const double median =
        n % 2 == 1 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2.0;
    return {median, milliseconds.front(), milliseconds.back()};
}

void PrintTable(const std::string& title, int repetitions, const std::vector<Row>& rows)
{
    std::printf("\n%s (%d repetitions, ms)\n", title.c_str(), repetitions);
    std::printf("%-*s %10s %10s %10s   %-*s %10s %7s\n", kLabelWidth, "", "median", "min", "max",
                kFloorLabelWidth, "floor", "median", "ratio");
    for (const Row& row : rows)
    {
        std::printf("%-*s %10.3f %10.3f %10.3f", kLabelWidth, row.label.c_str(), row.figures.median,
                    row.figures.min, row.figures.max);
        if (!row.floorLabel.empty())
            std::printf("   %-*s %10.3f %6.2fx", kFloorLabelWidth, row.floorLabel.c_str(),
                        row.floor.median,
                        row.floor.median > 0.0 ? row.figures.median / row.floor.median : 0.0);
        std::printf("\n");
    }
}

void PrintTarget(const std::string& target, double figure, double limit, const std::string& unit)
{
    std::printf("target  %-60s %8.3f %-3s (limit %.3f): %s\n", target.c_str(), figure, unit.c_str(),
                limit, figure <= limit ? "met" : "MISSED");
}
