// The height-field model: a square grid of points joined into two triangles per cell.
#pragma once

#include <array>
#include <utility>
#include <vector>

// Points per side of the grid the program builds and its model file holds.
const int kProgramGridSize = 70;

// One grid point. flags[1] holds the diagonal orientation of the cell whose south-west corner
// this point is; the other flag bytes and w are carried through the model file untouched.
struct tagPOINT4
{
    unsigned char flags[4];
    float x;
    float y;
    float z;
    float w;
};

// One triangle: indices into CGrid::points, in drawing order.
struct tagTRIANGLE3
{
    int vertex[3];
};

class CGrid
{
  public:
    CGrid();
    virtual ~CGrid();

    // Builds size x size points over [-1, 1]^2 at height 0 with checkerboard diagonals.
    // A size below 2 leaves the grid empty.
    void Create(int size);

    // (column, row) of a point index, or (-1, -1) for an index outside the grid.
    std::pair<int, int> IndexToCell(int index) const;
    // Point index of (column, row), or -1 outside the grid.
    int CellToIndex(int column, int row) const;

    void LowerPoint(int index, float amount, bool apply);
    void RaisePoint(int index, float amount, bool apply);
    void SetPointHeight(int index, float value, bool apply);

    // mode 0 toggles the diagonal of the cell whose SW corner is index; 1 and 2 force
    // orientation 1 or 0.
    void FlipCellDiagonal(int index, int mode);

    // The two triangles, in the grid's order, of the cell whose SW corner is southWest when it
    // is split in orientation 1 (SW to NE) or 0 (SE to NW).
    std::array<tagTRIANGLE3, 2> CellTriangles(int southWest, int orientation) const;

    int size;
    std::vector<tagPOINT4> points;
    std::vector<tagTRIANGLE3> triangles;

  private:
    bool HasPoint(int index) const;
    void SetCellOrientation(int southWest, int orientation);
};

// Whether the view draws a triangle: only those with a corner off height 0.
bool IsDrawn(const CGrid& grid, const tagTRIANGLE3& triangle);
// How many of the grid's triangles the view draws, the count its status bar shows.
int DrawnCount(const CGrid& grid);
// The texture coordinate of a model coordinate in [-1, 1]: the bitmap spans the grid once.
float TextureCoordinate(float modelCoordinate);
