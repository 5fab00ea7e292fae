// Model files and in-process tool runs for the tool's tests.
#pragma once

#include "Grid.h"

#include <string>
#include <vector>

CGrid FreshGrid();
// Random heights from -0.5 to 0 and a scattering of flipped cells.
CGrid SculptedGrid(unsigned seed);

std::string ModelBytes(const CGrid& grid);
CGrid GridFromBytes(const std::string& bytes);
// The file's lines without their CR LF, and back.
std::vector<std::string> ModelLines(const CGrid& grid);
std::string JoinLines(const std::vector<std::string>& lines);
// Every height in file units.
std::vector<int> HeightUnits(const CGrid& grid);

struct ToolRun
{
    int code;
    std::string out;
    std::string err;
};
ToolRun RunTool(const std::vector<std::string>& args);
