// The model as a Wavefront OBJ mesh for other 3D programs.
#pragma once

#include <string>

class CGrid;

// One vertex and one texture coordinate per grid point (both numbered as the point index + 1),
// then one face per triangle of the model, so every flipped diagonal is kept. Vertices are
// (x, y, elevation) with elevation = -z, so z up in the OBJ is up in the terrain; texture
// coordinates are the program's. drawnOnly keeps only the triangles the program draws.
std::string ObjText(const CGrid& grid, bool drawnOnly);
