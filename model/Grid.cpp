#include "Grid.h"

#include <algorithm>
#include <cstddef>

CGrid::CGrid() : size(0) {}

CGrid::~CGrid() = default;

void CGrid::Create(int n)
{
    if (n < 2)
    {
        size = 0;
        points.clear();
        triangles.clear();
        return;
    }
    points.resize(static_cast<std::size_t>(n) * n);
    triangles.resize(static_cast<std::size_t>(2 * n - 2) * (n - 1));
    for (int j = 0; j < n; ++j)
    {
        for (int i = 0; i < n; ++i)
        {
            tagPOINT4& p = points[i + j * n];
            p = tagPOINT4{};
            p.x = static_cast<float>(static_cast<double>(i) / (n - 1) * 2.0 - 1.0);
            p.y = static_cast<float>(static_cast<double>(j) / (n - 1) * 2.0 - 1.0);
        }
    }
    size = n;
    for (int j = 0; j < n - 1; ++j)
        for (int i = 0; i < n - 1; ++i)
            SetCellOrientation(i + j * n, (i + j) % 2 == 0 ? 1 : 0);
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
    if (!apply || !HasPoint(index))
        return;
    float& z = points[index].z;
    z = z - amount;
}

void CGrid::RaisePoint(int index, float amount, bool apply)
{
    if (!apply || !HasPoint(index))
        return;
    float& z = points[index].z;
    z = z + amount;
    if (z > 0.0f)
        z = 0.0f;
}

void CGrid::SetPointHeight(int index, float value, bool apply)
{
    if (!apply || !HasPoint(index))
        return;
    float& z = points[index].z;
    z = value;
    if (z > 0.0f)
        z = 0.0f;
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

// Orientation 1 splits a cell from SW to NE, orientation 0 from SE to NW. The corner orders
// keep all four triangles turning the same way.
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
    const std::pair<int, int> cell = IndexToCell(southWest);
    const int t = 2 * (cell.second * (size - 1) + cell.first);
    const std::array<tagTRIANGLE3, 2> pair = CellTriangles(southWest, orientation);
    std::copy(pair.begin(), pair.end(), &triangles[t]);
    points[southWest].flags[1] = static_cast<unsigned char>(orientation);
}

bool IsDrawn(const CGrid& grid, const tagTRIANGLE3& triangle)
{
    for (int vertex : triangle.vertex)
        if (grid.points[vertex].z != 0.0f)
            return true;
    return false;
}

float TextureCoordinate(float modelCoordinate)
{
    return static_cast<float>((modelCoordinate + 1.0) * 0.5);
}
