#include "Grid.h"

#include <cstddef>

namespace
{
// Orientation 1 splits a cell from SW to NE, orientation 0 from SE to NW. The corner orders
// keep all four triangles turning the same way.
void WriteCellTriangles(tagTRIANGLE3* pair, int sw, int size, int orientation)
{
    const int se = sw + 1;
    const int nw = sw + size;
    const int ne = sw + size + 1;
    if (orientation == 1)
    {
        pair[0] = {{sw, nw, ne}};
        pair[1] = {{se, sw, ne}};
    }
    else
    {
        pair[0] = {{sw, nw, se}};
        pair[1] = {{se, nw, ne}};
    }
}
} // namespace

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
    int t = 0;
    for (int j = 0; j < n - 1; ++j)
    {
        for (int i = 0; i < n - 1; ++i)
        {
            const int sw = i + j * n;
            const int orientation = (i + j) % 2 == 0 ? 1 : 0;
            WriteCellTriangles(&triangles[t], sw, n, orientation);
            points[sw].flags[1] = static_cast<unsigned char>(orientation);
            t += 2;
        }
    }
    size = n;
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

bool CGrid::HasPoint(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < points.size();
}

void CGrid::SetCellOrientation(int southWest, int orientation)
{
    const std::pair<int, int> cell = IndexToCell(southWest);
    const int t = 2 * (cell.second * (size - 1) + cell.first);
    WriteCellTriangles(&triangles[t], southWest, size, orientation);
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
