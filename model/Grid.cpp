#include "Grid.h"

#include <algorithm>
#include <cstddef>

CGrid::CGrid() : size(0) {}

CGrid::~CGrid() = default;

void CGrid::Create(int n)
{
    // Below 2 there is no cell, and 1 would divide the coordinates by zero.
    size = n < 2 ? 0 : n;
    const std::size_t cells = size == 0 ? 0 : static_cast<std::size_t>(size - 1) * (size - 1);
    points.assign(static_cast<std::size_t>(size) * size, tagPOINT4{});
    triangles.resize(2 * cells);
    for (int index = 0; index < size * size; ++index)
    {
        const auto [i, j] = IndexToCell(index);
        points[index].x = static_cast<float>(static_cast<double>(i) / (size - 1) * 2.0 - 1.0);
        points[index].y = static_cast<float>(static_cast<double>(j) / (size - 1) * 2.0 - 1.0);
        if (i < size - 1 && j < size - 1)
            SetCellOrientation(index, (i + j) % 2 == 0 ? 1 : 0);
    }
}

std::pair<int, int> CGrid::IndexToCell(int index) const
{
    if (!HasPoint(index))
        return {-1, -1};
    return {index % size, index / size};
}

int CGrid::CellToIndex(int column, int row) const
{
    if (column < 0 || column >= size || row < 0 || row >= size)
        return -1;
    return column + row * size;
}

void CGrid::LowerPoint(int index, float amount, bool apply)
{
    if (apply && HasPoint(index))
        points[index].z -= amount;
}

void CGrid::RaisePoint(int index, float amount, bool apply)
{
    if (apply && HasPoint(index))
        SetPointHeight(index, points[index].z + amount, true);
}

void CGrid::SetPointHeight(int index, float value, bool apply)
{
    if (apply && HasPoint(index))
        points[index].z = std::min(value, 0.0f);
}

void CGrid::FlipCellDiagonal(int index, int mode)
{
    const std::pair<int, int> cell = IndexToCell(index);
    if (cell.first == -1 || cell.first == size - 1 || cell.second == size - 1)
        return;
    const unsigned char f = points[index].flags[1];
    if ((f == 0 && mode == 0) || mode == 1)
        SetCellOrientation(index, 1);
    else if ((f == 1 && mode == 0) || mode == 2)
        SetCellOrientation(index, 0);
}

// Orientation 1 splits a cell from SW to NE, orientation 0 from SE to NW. The
// corner orders keep all four triangles turning the same way.
std::array<tagTRIANGLE3, 2> CGrid::CellTriangles(int sw, int orientation) const
{
    const int se = sw + 1;
    const int nw = sw + size;
    const int ne = sw + size + 1;
    if (orientation == 1)
        return {{{{sw, nw, ne}}, {{se, sw, ne}}}};
    return {{{{sw, nw, se}}, {{se, nw, ne}}}};
}

bool CGrid::HasPoint(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < points.size();
}

void CGrid::SetCellOrientation(int southWest, int orientation)
{
    const auto [column, row] = IndexToCell(southWest);
    const std::array<tagTRIANGLE3, 2> pair = CellTriangles(southWest, orientation);
    std::copy(pair.begin(), pair.end(), triangles.begin() + 2 * (row * (size - 1) + column));
    points[southWest].flags[1] = static_cast<unsigned char>(orientation);
}

bool IsDrawn(const CGrid& grid, const tagTRIANGLE3& triangle)
{
    return std::any_of(std::begin(triangle.vertex), std::end(triangle.vertex),
                       [&grid](int vertex) { return grid.points[vertex].z != 0.0f; });
}

int DrawnCount(const CGrid& grid)
{
    return static_cast<int>(
        std::count_if(grid.triangles.begin(), grid.triangles.end(),
                      [&grid](const tagTRIANGLE3& t) { return IsDrawn(grid, t); }));
}

float TextureCoordinate(float modelCoordinate)
{
    return static_cast<float>((modelCoordinate + 1.0) * 0.5);
}
