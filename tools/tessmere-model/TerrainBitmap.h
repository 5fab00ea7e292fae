// The program's terrain bitmap, built into the tool from the file of the program's resource.
#pragma once

#include <cstddef>

extern const unsigned char kTerrainBitmap[];
extern const std::size_t kTerrainBitmapSize;
