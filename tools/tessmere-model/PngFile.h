// PNG files: read through stb_image once every chunk is checked, written over zlib.
#pragma once

#include "HeightMap.h"

#include <string>
#include <vector>

struct PngText
{
    std::string keyword;
    std::string text;
};

// An image as a PNG file stores it: at least one row, rows top first, samples big-endian.
struct PngImage
{
    int width;
    int height;
    int bitDepth;
    int colourType; // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    std::string rows;
};

// Reads a PNG file's bytes, 1- to 16-bit greyscale (any alpha is ignored), row by row into
// receiver, and its uncompressed text chunks (tEXt) into texts. False, with what is wrong as a
// phrase to follow the file's name ("is not a PNG file"), for a file that is damaged, not
// greyscale, or too large.
bool DecodeGreyPng(const std::string& bytes, GreyRowReceiver& receiver, std::vector<PngText>& texts,
                   std::string& error);

// The PNG file of image, with uncompressed text chunks before the image data.
std::string EncodePng(const PngImage& image, const std::vector<PngText>& texts);

// A bitmap file as an RGB PNG file; false for bytes that are no bitmap stb_image reads.
bool BitmapToPng(const unsigned char* bitmap, std::size_t size, std::string& png);
