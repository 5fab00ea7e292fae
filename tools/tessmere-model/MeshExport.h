// The model as a mesh for other 3D programs: Wavefront OBJ text and binary glTF 2.0.
#pragma once

#include <string>
#include <vector>

class CGrid;

// Both keep one vertex per grid point and one triangle per triangle of the model (drawnOnly:
// those the program draws), so every flipped diagonal is kept, facing up, with texture
// coordinates that put the bitmap where the program shows it.

// OBJ: vertices (x, y, elevation) with elevation = -z, so z up in the OBJ is up in the terrain;
// a vertex and a texture coordinate per point, both numbered as the point index + 1.
std::string ObjText(const CGrid& grid, bool drawnOnly);

// glTF's +Y is up, so a vertex is (x, elevation, -y), north toward -Z; normals are the surface's
// at each point.
struct GltfMesh
{
    std::vector<float> positions;          // three per grid point
    std::vector<float> normals;            // three per grid point
    std::vector<float> textureCoordinates; // two per grid point
    std::vector<unsigned int> indices;     // three per triangle
};
GltfMesh MakeGltfMesh(const CGrid& grid, bool drawnOnly);

// The mesh as a .glb file, textured with the program's bitmap within as a PNG; empty when there
// is no triangle to write, as a glTF mesh needs one.
std::string GlbFile(const CGrid& grid, bool drawnOnly);
