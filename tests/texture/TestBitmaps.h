// Bitmaps for the texture tests: files with a known pattern, and the stored "BMPTEST" resource.
#pragma once

#include <windows.h>

#include <array>
#include <string>

// Red, green, blue of pixel (x, y), counted from the top left; distinct for x, y below 4096.
std::array<unsigned char, 3> PatternPixel(int x, int y);

// A bottom-up, uncompressed bitmap file of the pattern, of 8 (grey palette), 24 or 32 bits.
std::string BitmapFileBytes(int width, int height, int bitCount);

// The "BMPTEST" resource of this module as stored: its header and its first scan line.
struct StoredBitmap
{
    const BITMAPINFOHEADER* header;
    const unsigned char* bits;
};
StoredBitmap StoredResourceBitmap();
