// What every benchmark does: build the model it measures, time repeated rounds and print the
// figures beside their floors and targets.
#pragma once

#include "Grid.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Ends the program with what went wrong on stderr and exit code 1.
[[noreturn]] inline void BenchFailed(const std::string& what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// The 70 grid with a smooth hill over a sunken floor: every height below 0, so every triangle is
// drawn, and all different enough that the file holds numbers of several lengths.
inline void CreateSculptedGrid(CGrid& grid)
{
    grid.Create(kProgramGridSize);
    for (tagPOINT4& p : grid.points)
        p.z = -(0.05f + 0.3f * std::exp(-4.0f * (p.x * p.x + p.y * p.y)));
}

// How long one call of body took, in milliseconds of the steady clock.
template <typename Body> double TimeMs(Body&& body)
{
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Median, minimum and maximum of a figure's timings, in milliseconds.
struct Summary
{
    double median, min, max;
};

// Runs round warmUp times unkept and then repetitions times; each round returns a std::array
// with one time of each figure. Timing every figure in every round lets a busy moment of the
// machine fall on all of them alike.
template <typename Round> auto Repeat(int warmUp, int repetitions, Round round)
{
    constexpr size_t kFigures = std::tuple_size<decltype(round())>::value;
    std::array<std::vector<double>, kFigures> kept;
    for (int run = -warmUp; run < repetitions; ++run)
    {
        const auto times = round();
        for (size_t i = 0; run >= 0 && i < kFigures; ++i)
            kept[i].push_back(times[i]);
    }
    std::array<Summary, kFigures> figures;
    for (size_t i = 0; i < kFigures; ++i)
    {
        std::vector<double>& t = kept[i];
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        const double median = n % 2 == 1 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2.0;
        figures[i] = {median, t.front(), t.back()};
    }
    return figures;
}

// One line of a table: a figure, and the floor it is measured against unless floorLabel is empty.
struct Row
{
    std::string label;
    Summary figures;
    std::string floorLabel = "";
    Summary floor = {};
};

// Figures in milliseconds; the ratio column is the median of a figure over that of its floor.
inline void PrintTable(const std::string& title, int repetitions, const std::vector<Row>& rows)
{
    const int label = 44, floorLabel = 26;
    std::printf("\n%s (%d repetitions, ms)\n", title.c_str(), repetitions);
    std::printf("%-*s %10s %10s %10s   %-*s %10s %7s\n", label, "", "median", "min", "max",
                floorLabel, "floor", "median", "ratio");
    for (const Row& row : rows)
    {
        std::printf("%-*s %10.3f %10.3f %10.3f", label, row.label.c_str(), row.figures.median,
                    row.figures.min, row.figures.max);
        if (!row.floorLabel.empty())
            std::printf("   %-*s %10.3f %6.2fx", floorLabel, row.floorLabel.c_str(),
                        row.floor.median,
                        row.floor.median > 0.0 ? row.figures.median / row.floor.median : 0.0);
        std::printf("\n");
    }
}

// One line naming a target and whether the figure meets it.
inline void PrintTarget(const std::string& target, double figure, double limit,
                        const std::string& unit)
{
    std::printf("target  %-60s %8.3f %-3s (limit %.3f): %s\n", target.c_str(), figure, unit.c_str(),
                limit, figure <= limit ? "met" : "MISSED");
}
