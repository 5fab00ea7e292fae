// Timings of repeated runs and the tables the benchmarks print them in.
#pragma once

#include <chrono>
#include <string>
#include <vector>

// Median, minimum and maximum of a set of timings, in milliseconds.
struct Summary
{
    double median;
    double min;
    double max;
};

Summary Summarize(std::vector<double> milliseconds);

// How long one call of body took, in milliseconds of the steady clock.
template <typename Body> double TimeMs(Body&& body)
{
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    body();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// A table of figures, each optionally beside the floor it is measured against. Figures are
// given in milliseconds and shown in the table's unit ("ms" or "us").
class CBenchTable
{
  public:
    CBenchTable(const std::string& title, const std::string& unit, int repetitions);
    virtual ~CBenchTable();

    void Row(const std::string& label, const Summary& figures);
    // The ratio column is the median of figures over the median of floor.
    void Row(const std::string& label, const Summary& figures, const std::string& floorLabel,
             const Summary& floor);

  private:
    double scale;
};

// One line naming a target and whether the figure meets it.
void PrintTarget(const std::string& target, double figure, double limit, const std::string& unit);
