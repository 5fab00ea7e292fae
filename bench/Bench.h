// What every benchmark does: read its repetitions, build the model it measures, time repeated
// rounds and print the figures beside their floors and targets.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <vector>

class CGrid;

// Ends the program with what went wrong on stderr and exit code 1.
[[noreturn]] void BenchFailed(const std::string& what);

// The repetitions given at argv[index], or fallback when the command line stops before it.
// Anything but a positive number ends the program with usage.
int RepetitionsArgument(int argc, char** argv, int index, int fallback, const std::string& usage);

// The 70 grid with a smooth hill over a sunken floor: every height below 0, so every triangle is
// drawn, and all different enough that the file holds numbers of several lengths.
void CreateSculptedGrid(CGrid& grid);

// Median, minimum and maximum of a non-empty set of timings, in milliseconds.
struct Summary
{
    double median, min, max;
};

Summary Summarize(std::vector<double> milliseconds);

// How long one call of body took, in milliseconds of the steady clock.
template <typename Body> double TimeMs(Body&& body)
{
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

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
        figures[i] = Summarize(kept[i]);
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
void PrintTable(const std::string& title, int repetitions, const std::vector<Row>& rows);

// One line naming a target and whether the figure meets it.
void PrintTarget(const std::string& target, double figure, double limit, const std::string& unit);
