// The editor view's drawing values, where its points go and the frame around a pass, named
// once for the view and for the benchmark floor that makes the view's calls again.
#pragma once

#include "Grid.h"

#include <array>
#include <utility>

const int kSelectBufferWords = 512;
const double kPickWindowSize = 20.0;
const double kFieldOfView = 0.0; // GLU leaves the matrix alone: the view stays parallel
const double kNearPlane = 0.1;
const double kFarPlane = 100.0;
const float kPickPointSize = 1.0f;
const float kMarkSize = 8.0f;
// Name 0 covers the triangles; point i is drawn under name i + 1.
const unsigned int kTriangleName = 0;
// Red, green and blue of the textured surface, of the outlines and of the points and marks.
const float kSurfaceColour[3] = {1.0f, 1.0f, 1.0f};
const float kOutlineColour[3] = {0.8f, 0.9f, 0.9f};
const float kMarkColour[3] = {0.9f, 0.6f, 0.6f};
// Points and marks sit just in front of the surface so that they are not buried in it.
const double kPointLift = 0.01;

inline float LiftedHeight(const tagPOINT4& point)
{
    return static_cast<float>(point.z - kPointLift);
}

// The points marked around picked: itself and, with a brush, the four tips of the brush's
// reach along the grid axes; -1 for a tip off the grid.
inline std::array<int, 5> MarkedPoints(const CGrid& grid, int picked, int radius)
{
    if (radius < 1)
        return {picked, -1, -1, -1, -1};
    const std::pair<int, int> cell = grid.IndexToCell(picked);
    return {picked, grid.CellToIndex(cell.first, cell.second - radius),
            grid.CellToIndex(cell.first, cell.second + radius),
            grid.CellToIndex(cell.first - radius, cell.second),
            grid.CellToIndex(cell.first + radius, cell.second)};
}

// Sets up the matrices of a frame of the view turned by yaw and pitch, and clears it. With a
// select buffer of kSelectBufferWords, the frame picks instead: only the pick window around
// window position (x, y) is drawn, and the hits go to the buffer.
void BeginViewFrame(float yaw, float pitch, unsigned int* selectBuffer, int x, int y);
// Restores the matrices and flushes the frame.
void EndViewFrame();
