// What the tool tells about a model file: its size, heights, drawn and flipped cells, and
// every problem, by line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct ModelProblemLine
{
    long line;
    std::string text;
};

struct ModelReport
{
    long lineCount;
    int fileGridSize; // the grid the file's line count fits, or 0 when it fits none
    long stopLine;    // where the program stops reading, 0 when it reads every line it needs
    int lowestZ;      // file units, as the program holds the heights after loading
    int highestZ;
    int drawnTriangles;
    int triangleCount;
    int flippedCells;
    int cellCount;
    std::vector<ModelProblemLine> problems; // in line order
};

// Reads bytes, the whole model file, as the program would into its grid of gridSize, and
// again past every problem to find them all.
ModelReport InspectModel(const std::string& bytes, int gridSize);
void PrintReport(const std::string& path, const ModelReport& report, int gridSize,
                 std::ostream& out);
