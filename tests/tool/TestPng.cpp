#include "TestPng.h"

#include "HeightMap.h"

#include <png.h>

#include <vector>

namespace
{
void Append(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}
} // namespace

std::string MakePng(int width, int height, int bitDepth,
                    const std::function<std::uint16_t(int, int)>& sample, TestPngForm form,
                    const std::string& rangeText)
{
    const int channels = form == TestPngForm::Colour ? 3 : 1;
    const size_t rowBytes = static_cast<size_t>(width) * channels * bitDepth / 8;
    std::vector<png_byte> data(rowBytes * height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
    {
        rows.push_back(data.data() + y * rowBytes);
        for (int k = 0; k < width * channels; ++k)
        {
            const std::uint16_t value = sample(k / channels, y);
            if (bitDepth == 16)
                rows[y][2 * k] = value >> 8, rows[y][2 * k + 1] = value & 0xFF;
            else
                rows[y][k] = static_cast<png_byte>(value);
        }
    }
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, Append, nullptr);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, width, height, bitDepth,
                 form == TestPngForm::Colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 form == TestPngForm::GreyInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>(kRangeKeyword);
    text.text = const_cast<png_charp>(rangeText.c_str());
    if (!rangeText.empty())
        png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}
