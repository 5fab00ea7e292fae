#include "ObjExport.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"

#include <cstdio>
#include <sstream>

std::string ObjText(const CGrid& grid, bool drawnOnly)
{
    std::ostringstream out;
    out << "# tessmere-model: " << grid.size << " x " << grid.size
        << " height field, z up is elevation\n";
    for (const tagPOINT4& point : grid.points)
        out << "v " << FormatUnits(ScaleToFile(point.x)) << ' ' << FormatUnits(ScaleToFile(point.y))
            << ' ' << FormatUnits(-static_cast<long long>(ScaleToFile(point.z))) << '\n';
    char line[64];
    for (const tagPOINT4& point : grid.points)
    {
        std::snprintf(line, sizeof line, "vt %.6f %.6f\n", TextureCoordinate(point.x),
                      TextureCoordinate(point.y));
        out << line;
    }
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        if (drawnOnly && !IsDrawn(grid, triangle))
            continue;
        // The program's triangles turn clockwise seen from above (x east, y north), and OBJ
        // takes counter-clockwise corners as the front: reversed, the terrain faces up.
        out << 'f';
        for (int k : {0, 2, 1})
            out << ' ' << triangle.vertex[k] + 1 << '/' << triangle.vertex[k] + 1;
        out << '\n';
    }
    return out.str();
}
