// PNG files: read through stb_image once every chunk is checked, written over zlib.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// An image as a PNG file stores it: at least one row, rows top first, samples big-endian.
struct PngImage
{
    int width;
    int height;
    int bitDepth;
    int colourType; // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    std::string rows;
};

// A greyscale image: rows top first, each sample 0 to maxValue.
struct GreyImage
{
    int width;
    int height;
    int maxValue;
    std::vector<std::uint16_t> samples;
};

// The image of a PNG file's bytes, 1- to 16-bit greyscale (any alpha is ignored), and the text of
// its last uncompressed text chunk (tEXt) under keyword in text; other text chunks are checked
// like every chunk, then dropped. Throws std::runtime_error, saying what is wrong with the file of
// that name, for one that is damaged, not greyscale, or more than 8192 pixels on a side.
GreyImage DecodeGreyPng(const std::string& name, const std::string& bytes,
                        const std::string& keyword, std::optional<std::string>& text);

// The PNG file of image, with an uncompressed text chunk (tEXt) for each keyword and text before
// the image data.
std::string EncodePng(const PngImage& image,
                      const std::vector<std::pair<std::string, std::string>>& texts);

// A bitmap file as an RGB PNG file; throws for bytes that are no bitmap stb_image reads.
std::string BitmapToPng(const unsigned char* bitmap, std::size_t size);
