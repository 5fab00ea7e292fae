#include "BenchTable.h"

#include <algorithm>
#include <cstdio>

namespace
{
const int kLabelWidth = 44;
const int kFloorLabelWidth = 26;
} // namespace

Summary Summarize(std::vector<double> milliseconds)
{
    if (milliseconds.empty())
        return {0.0, 0.0, 0.0};
    std::sort(milliseconds.begin(), milliseconds.end());
    const size_t n = milliseconds.size();
    const double median =
        n % 2 == 1 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2.0;
    return {median, milliseconds.front(), milliseconds.back()};
}

CBenchTable::CBenchTable(const std::string& title, const std::string& unit, int repetitions)
    : scale(unit == "us" ? 1000.0 : 1.0)
{
    std::printf("\n%s (%d repetitions, %s)\n", title.c_str(), repetitions, unit.c_str());
    std::printf("%-*s %10s %10s %10s   %-*s %10s %7s\n", kLabelWidth, "", "median", "min", "max",
                kFloorLabelWidth, "floor", "median", "ratio");
}

CBenchTable::~CBenchTable()
{
    std::fflush(stdout);
}

void CBenchTable::Row(const std::string& label, const Summary& figures)
{
    std::printf("%-*s %10.3f %10.3f %10.3f\n", kLabelWidth, label.c_str(), figures.median * scale,
                figures.min * scale, figures.max * scale);
}

void CBenchTable::Row(const std::string& label, const Summary& figures,
                      const std::string& floorLabel, const Summary& floor)
{
    const double ratio = floor.median > 0.0 ? figures.median / floor.median : 0.0;
    std::printf("%-*s %10.3f %10.3f %10.3f   %-*s %10.3f %6.2fx\n", kLabelWidth, label.c_str(),
                figures.median * scale, figures.min * scale, figures.max * scale, kFloorLabelWidth,
                floorLabel.c_str(), floor.median * scale, ratio);
}

void PrintTarget(const std::string& target, double figure, double limit, const std::string& unit)
{
    std::printf("target  %-60s %8.3f %-3s (limit %.3f): %s\n", target.c_str(), figure, unit.c_str(),
                limit, figure <= limit ? "met" : "MISSED");
    std::fflush(stdout);
}
