#include "ObjExport.h"
#include "ModelFile.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace
{
// The OBJ as another program would read it back: positions, texture coordinates, and faces
// whose vertex and texture references agree.
struct ObjMesh
{
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<double, 2>> textureCoordinates;
    std::vector<std::array<int, 3>> faces; // 0-based
};

ObjMesh Export(const CGrid& grid, bool drawnOnly)
{
    std::stringstream obj;
    WriteObj(grid, drawnOnly, obj);
    ObjMesh mesh;
    std::string kind;
    while (obj >> kind)
    {
        if (kind == "v")
        {
            std::array<double, 3> v{};
            obj >> v[0] >> v[1] >> v[2];
            mesh.vertices.push_back(v);
        }
        else if (kind == "vt")
        {
            std::array<double, 2> t{};
            obj >> t[0] >> t[1];
            mesh.textureCoordinates.push_back(t);
        }
        else if (kind == "f")
        {
            std::array<int, 3> face{};
            for (int& corner : face)
            {
                std::string reference;
                obj >> reference;
                const size_t slash = reference.find('/');
                EXPECT_EQ(reference.substr(slash + 1), reference.substr(0, slash));
                corner = std::stoi(reference) - 1;
            }
            mesh.faces.push_back(face);
        }
        else
            std::getline(obj, kind); // a comment
    }
    return mesh;
}
} // namespace

TEST(ObjExport, GivesEveryTriangleOneUpwardFaceAndEveryPointItsElevation)
{
    // As the program holds a model: read from its file.
    const CGrid grid = GridFromBytes(ModelBytes(SculptedGrid(4)));
    const ObjMesh mesh = Export(grid, false);
    ASSERT_EQ(mesh.vertices.size(), grid.points.size());
    ASSERT_EQ(mesh.textureCoordinates.size(), grid.points.size());
    ASSERT_EQ(mesh.faces.size(), grid.triangles.size());
    for (size_t k = 0; k < grid.points.size(); ++k)
    {
        const tagPOINT4& p = grid.points[k];
        EXPECT_EQ(std::lround(mesh.vertices[k][0] * 10000), ScaleToFile(p.x));
        EXPECT_EQ(std::lround(mesh.vertices[k][1] * 10000), ScaleToFile(p.y));
        EXPECT_EQ(std::lround(mesh.vertices[k][2] * 10000), -ScaleToFile(p.z));
        EXPECT_NEAR(mesh.textureCoordinates[k][0], (p.x + 1.0) * 0.5, 1e-6);
        EXPECT_NEAR(mesh.textureCoordinates[k][1], (p.y + 1.0) * 0.5, 1e-6);
    }
    for (size_t t = 0; t < grid.triangles.size(); ++t)
    {
        const int* v = grid.triangles[t].vertex;
        const std::array<int, 3>& f = mesh.faces[t];
        EXPECT_EQ(f, (std::array<int, 3>{v[0], v[2], v[1]})) << "triangle " << t;
        // Counter-clockwise seen from above: the face's normal points up.
        const auto &a = mesh.vertices[f[0]], &b = mesh.vertices[f[1]], &c = mesh.vertices[f[2]];
        EXPECT_GT((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]), 0.0);
    }
}

TEST(ObjExport, KeepsAFlippedDiagonalThatReadsBackFromTheMesh)
{
    CGrid grid = FreshGrid();
    grid.FlipCellDiagonal(grid.CellToIndex(10, 20), 0); // even i + j: SW-NE on a fresh grid
    const ObjMesh mesh = Export(grid, false);

    // From the mesh alone: which diagonal do the two faces of a cell share?
    auto sharedDiagonal = [&mesh](int column, int row) {
        const int sw = column + row * 70;
        const size_t first = 2 * static_cast<size_t>(row * 69 + column);
        auto both = [&](int p, int q) {
            auto has = [&](size_t face, int i) {
                return std::count(mesh.faces[face].begin(), mesh.faces[face].end(), i) == 1;
            };
            return has(first, p) && has(first, q) && has(first + 1, p) && has(first + 1, q);
        };
        return both(sw, sw + 71) == both(sw + 1, sw + 70) ? "none"
               : both(sw, sw + 71)                        ? "SW-NE"
                                                          : "SE-NW";
    };
    EXPECT_STREQ(sharedDiagonal(10, 20), "SE-NW");
    EXPECT_STREQ(sharedDiagonal(12, 20), "SW-NE");
}

TEST(ObjExport, DrawnOnlyKeepsExactlyTheTrianglesTheProgramDraws)
{
    CGrid grid = FreshGrid();
    grid.SetPointHeight(71, -0.01f, true);
    grid.SetPointHeight(4899, -0.01f, true);
    const ObjMesh mesh = Export(grid, true);
    EXPECT_EQ(mesh.vertices.size(), grid.points.size());
    ASSERT_EQ(mesh.faces.size(), 8u + 2u); // four diagonals meet at point 71
    for (const auto& f : mesh.faces)
        EXPECT_TRUE(std::count(f.begin(), f.end(), 71) + std::count(f.begin(), f.end(), 4899));
}
