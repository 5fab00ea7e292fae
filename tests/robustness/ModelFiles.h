// Grids to load and save in the robustness tests, and the file bytes the writer makes of them.
#pragma once

#include "Grid.h"

#include <string>

const CGrid& FreshGrid70();

// A 70 grid with every kind of field changed, flags[0] of point 0 among them.
const CGrid& SculptedGrid70();

CGrid FreshGrid(int size);

// The bytes SaveModel writes for grid.
std::string FileOf(const CGrid& grid);

// grid as a load of its own file gives it back: every coordinate at the file's precision.
CGrid AsStored(CGrid grid);

// Where two grids first differ ("" when equal), to say which element a test got wrong.
std::string FirstDifference(const CGrid& actual, const CGrid& expected);
