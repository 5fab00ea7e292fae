#include "ModelFiles.h"

#include "ModelFile.h"

#include <cstring>
#include <random>
#include <sstream>

const CGrid& FreshGrid70()
{
    static const CGrid grid = FreshGrid(70);
    return grid;
}

const CGrid& SculptedGrid70()
{
    static const CGrid grid = [] {
        CGrid g = FreshGrid(70);
        std::mt19937 random(41);
        for (int i = 0; i < 1500; ++i)
            g.points[random() % g.points.size()].z =
                ScaleFromFile(-static_cast<int>(random() % 9000));
        for (int i = 0; i < 300; ++i)
            g.FlipCellDiagonal(static_cast<int>(random() % g.points.size()), 0);
        g.points[0].flags[0] = 9;
        g.points[0].z = ScaleFromFile(-250);
        g.points[0].w = ScaleFromFile(31);
        return g;
    }();
    return grid;
}

CGrid FreshGrid(int size)
{
    CGrid grid;
    grid.Create(size);
    return grid;
}

std::string FileOf(const CGrid& grid)
{
    std::ostringstream out;
    WriteModel(out, grid);
    return out.str();
}

CGrid AsStored(CGrid grid)
{
    for (tagPOINT4& p : grid.points)
        for (float* v : {&p.x, &p.y, &p.z, &p.w})
            *v = ScaleFromFile(ScaleToFile(*v));
    return grid;
}

std::string FirstDifference(const CGrid& actual, const CGrid& expected)
{
    if (actual.size != expected.size || actual.points.size() != expected.points.size() ||
        actual.triangles.size() != expected.triangles.size())
        return "the grids differ in size";
    for (size_t i = 0; i < actual.points.size(); ++i)
    {
        const tagPOINT4& a = actual.points[i];
        const tagPOINT4& e = expected.points[i];
        if (std::memcmp(a.flags, e.flags, sizeof a.flags) != 0 || a.x != e.x || a.y != e.y ||
            a.z != e.z || a.w != e.w)
            return "point " + std::to_string(i);
    }
    for (size_t t = 0; t < actual.triangles.size(); ++t)
        if (std::memcmp(actual.triangles[t].vertex, expected.triangles[t].vertex,
                        sizeof actual.triangles[t].vertex) != 0)
            return "triangle " + std::to_string(t);
    return "";
}
