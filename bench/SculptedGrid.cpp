#include "SculptedGrid.h"

#include "Grid.h"

#include <cmath>

namespace
{
const float kFloorDepth = 0.05f;
const float kHillHeight = 0.3f;
} // namespace

void CreateSculptedGrid(CGrid& grid)
{
    grid.Create(kProgramGridSize);
    for (tagPOINT4& p : grid.points)
        p.z = -(kFloorDepth + kHillHeight * std::exp(-4.0f * (p.x * p.x + p.y * p.y)));
}
