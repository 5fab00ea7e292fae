// Greyscale PNG files through libpng, for the height maps.
#pragma once

#include "HeightMap.h"

#include <string>
#include <vector>

struct PngText
{
    std::string keyword;
    std::string text;
};

// Reads an 8- or 16-bit greyscale PNG (any alpha is ignored) row by row into receiver, and
// its text chunks into texts. False, with the reason in plain English, for a file that cannot
// be read, is damaged, is not greyscale, or is too large to read.
bool ReadGreyPng(const std::string& path, GreyRowReceiver& receiver, std::vector<PngText>& texts,
                 std::string& error);

// The PNG file of a 16-bit greyscale image, with text chunks before the image data.
bool EncodeGreyPng16(int width, int height, const std::vector<std::uint16_t>& samples,
                     const std::vector<PngText>& texts, std::string& bytes, std::string& error);
