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

void Flush(png_structp) {}
} // namespace

std::string MakePng(const TestPngSpec& spec, const std::function<std::uint16_t(int, int)>& sample)
{
    const int channels = spec.colour ? 3 : 1;
    const int bytes = spec.bitDepth / 8;
    std::vector<png_byte> data(static_cast<size_t>(spec.width) * spec.height * channels * bytes);
    std::vector<png_bytep> rows(spec.height);
    for (int y = 0; y < spec.height; ++y)
    {
        rows[y] = data.data() + static_cast<size_t>(y) * spec.width * channels * bytes;
        for (int x = 0; x < spec.width; ++x)
            for (int c = 0; c < channels; ++c)
            {
                png_bytep out = rows[y] + (x * channels + c) * bytes;
                const std::uint16_t value = sample(x, y);
                if (bytes == 2)
                    out[0] = static_cast<png_byte>(value >> 8), out[1] = value & 0xFF;
                else
                    out[0] = static_cast<png_byte>(value);
            }
    }
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, Append, Flush);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth,
                 spec.colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text text{};
    if (!spec.rangeText.empty())
    {
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>(kRangeKeyword);
        text.text = const_cast<png_charp>(spec.rangeText.c_str());
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}
