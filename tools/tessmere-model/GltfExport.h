// The model as one binary glTF 2.0 file, textured with the program's terrain bitmap.
#pragma once

#include <string>
#include <vector>

class CGrid;

// The model's triangles as glTF holds them. One vertex per grid point and one triangle per
// triangle of the model (drawnOnly: those the program draws), so every flipped diagonal is
// kept. glTF's +Y is up, so a vertex is (x, elevation, -y) with elevation = -z, north toward
// -Z; triangles face up; normals are the surface's at each point; texture coordinates put the
// bitmap where the program shows it.
struct GltfMesh
{
    std::vector<float> positions;          // three per grid point
    std::vector<float> normals;            // three per grid point
    std::vector<float> textureCoordinates; // two per grid point
    std::vector<unsigned int> indices;     // three per triangle
};
GltfMesh MakeGltfMesh(const CGrid& grid, bool drawnOnly);

// The mesh with the bitmap within as a PNG. False, with the reason, when there is no triangle
// to write.
bool EncodeGlb(const CGrid& grid, bool drawnOnly, std::string& bytes, std::string& error);
