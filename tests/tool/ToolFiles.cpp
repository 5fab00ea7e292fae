#include "ToolFiles.h"

#include "ModelFile.h"
#include "ModelTool.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

CGrid FreshGrid()
{
    CGrid grid;
    grid.Create(kProgramGridSize);
    return grid;
}

CGrid SculptedGrid(unsigned seed)
{
    CGrid grid = FreshGrid();
    std::mt19937 random(seed);
    for (tagPOINT4& p : grid.points)
        p.z = random() % 3 == 0 ? 0.0f : ScaleFromFile(-static_cast<int>(random() % 5001));
    for (int flips = 0; flips < 300; ++flips)
        grid.FlipCellDiagonal(static_cast<int>(random() % grid.points.size()), 0);
    return grid;
}

std::string ModelBytes(const CGrid& grid)
{
    std::ostringstream out;
    EXPECT_TRUE(WriteModel(out, grid));
    return out.str();
}

CGrid GridFromBytes(const std::string& bytes)
{
    CGrid grid = FreshGrid();
    std::istringstream in(bytes);
    EXPECT_TRUE(ReadModel(in, grid).complete);
    return grid;
}

std::vector<std::string> ModelLines(const CGrid& grid)
{
    std::vector<std::string> lines;
    std::istringstream in(ModelBytes(grid));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

std::vector<int> HeightUnits(const CGrid& grid)
{
    std::vector<int> units;
    for (const tagPOINT4& point : grid.points)
        units.push_back(ScaleToFile(point.z));
    return units;
}

ToolRun RunTool(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = RunTessmereModel(args, out, err);
    return {code, out.str(), err.str()};
}
