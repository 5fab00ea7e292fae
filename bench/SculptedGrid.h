// The model the benchmarks measure: every point off height 0, so every triangle is drawn.
#pragma once

class CGrid;

// The 70 grid with a smooth hill over a sunken floor: every height below 0 and all different
// enough that the file holds numbers of several lengths.
void CreateSculptedGrid(CGrid& grid);
