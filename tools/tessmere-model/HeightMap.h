// Height maps: the grid's heights as a greyscale PNG file and back, resampled bilinearly.
#pragma once

#include "PngFile.h"

#include <optional>
#include <string>

class CGrid;

// The heights that the darkest and the brightest grey stand for, in file units (0.0001).
// White is normally the highest point, which is the smallest z.
struct ZRange
{
    int white;
    int black;
};

// The keyword of the text chunk in which a height map keeps its range, as text such as
// "white=-0.5000 black=0.0000".
extern const char* const kRangeKeyword;
bool ParseRange(const std::string& text, ZRange& range);

// The grid as a 16-bit PNG file of size x size pixels, north (the last row) at the top, west at
// the left, black the grid's largest z and white its smallest, with that range inside: every
// height comes back exactly whenever the range spans at most 65535 file units.
std::string HeightMapPng(const CGrid& grid);

// Sets every point's height from the image resampled bilinearly onto the grid, corner to
// corner (the grid's corner points on the centres of the image's corner pixels), black to
// white mapped linearly onto the range; both ends at or below 0 keep every height there too.
void ApplyHeightMap(const GreyImage& image, const ZRange& range, CGrid& grid);

// The model a height map's PNG bytes make in grid, with the range given or else the one stored in
// the file, which is returned. Without either, nothing; for a file that cannot be used, throws
// std::runtime_error saying why of the file that name names. Either way the grid is untouched.
std::optional<ZRange> ImportHeightMap(const std::string& name, const std::string& png,
                                      const std::optional<ZRange>& given, CGrid& grid);
