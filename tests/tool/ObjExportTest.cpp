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
// The OBJ as another program would read it back.
struct ObjMesh
{
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<double, 2>> textureCoordinates;
    std::vector<std::array<int, 3>> faces; // 0-based vertex indices
};

ObjMesh ReadObj(const std::string& text)
{
    ObjMesh mesh;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "v")
        {
            std::array<double, 3> v{};
            fields >> v[0] >> v[1] >> v[2];
            mesh.vertices.push_back(v);
        }
        else if (kind == "vt")
        {
            std::array<double, 2> t{};
            fields >> t[0] >> t[1];
            mesh.textureCoordinates.push_back(t);
        }
        else if (kind == "f")
        {
            std::array<int, 3> face{};
            for (int& corner : face)
            {
                std::string reference;
                fields >> reference;
                const size_t slash = reference.find('/');
                corner = std::stoi(reference.substr(0, slash)) - 1;
                EXPECT_EQ(reference.substr(slash + 1), reference.substr(0, slash));
            }
            mesh.faces.push_back(face);
        }
    }
    return mesh;
}

ObjMesh Export(const CGrid& grid, bool drawnOnly)
{
    std::ostringstream out;
    WriteObj(grid, drawnOnly, out);
    return ReadObj(out.str());
}

// The z of the face normal: above 0 when the corners turn counter-clockwise seen from above.
double NormalUp(const ObjMesh& mesh, const std::array<int, 3>& face)
{
    const auto& a = mesh.vertices[face[0]];
    const auto& b = mesh.vertices[face[1]];
    const auto& c = mesh.vertices[face[2]];
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
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
        EXPECT_EQ(mesh.faces[t], (std::array<int, 3>{v[0], v[2], v[1]})) << "triangle " << t;
        EXPECT_GT(NormalUp(mesh, mesh.faces[t]), 0.0) << "triangle " << t;
    }
}

TEST(ObjExport, KeepsAFlippedDiagonalThatReadsBackFromTheMesh)
{
    CGrid grid = FreshGrid();
    const int flipped = grid.CellToIndex(10, 20); // cells with an even i + j start SW-NE
    const int kept = grid.CellToIndex(12, 20);
    grid.FlipCellDiagonal(flipped, 0);
    const ObjMesh mesh = Export(grid, false);

    // From the mesh alone: which diagonal do the two faces of a cell share?
    auto sharedDiagonal = [&mesh](int column, int row, int sw) {
        const size_t first = 2 * static_cast<size_t>(row * 69 + column);
        auto has = [&mesh](size_t face, int index) {
            return std::count(mesh.faces[face].begin(), mesh.faces[face].end(), index) == 1;
        };
        const bool alongSwNe =
            has(first, sw) && has(first, sw + 71) && has(first + 1, sw) && has(first + 1, sw + 71);
        const bool alongSeNw = has(first, sw + 1) && has(first, sw + 70) &&
                               has(first + 1, sw + 1) && has(first + 1, sw + 70);
        return alongSwNe == alongSeNw ? "none" : alongSwNe ? "SW-NE" : "SE-NW";
    };
    EXPECT_STREQ(sharedDiagonal(10, 20, flipped), "SE-NW");
    EXPECT_STREQ(sharedDiagonal(12, 20, kept), "SW-NE");
}

TEST(ObjExport, DrawnOnlyKeepsExactlyTheTrianglesTheProgramDraws)
{
    CGrid grid = FreshGrid();
    grid.SetPointHeight(71, -0.01f, true);
    grid.SetPointHeight(4899, -0.01f, true);
    const ObjMesh mesh = Export(grid, true);
    EXPECT_EQ(mesh.vertices.size(), grid.points.size());
    ASSERT_EQ(mesh.faces.size(), 8u + 2u); // four diagonals meet at point 71
    for (const auto& face : mesh.faces)
    {
        const bool touches =
            std::count(face.begin(), face.end(), 71) + std::count(face.begin(), face.end(), 4899);
        EXPECT_TRUE(touches);
    }
    EXPECT_TRUE(Export(FreshGrid(), true).faces.empty());
}
