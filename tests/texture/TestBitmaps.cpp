#include "TestBitmaps.h"

#include <cstdint>

namespace
{
void Append(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}
} // namespace

std::array<unsigned char, 3> PatternPixel(int x, int y)
{
    return {static_cast<unsigned char>(x & 0xFF), static_cast<unsigned char>(y & 0xFF),
            static_cast<unsigned char>((x >> 8 << 4 | y >> 8) ^ 0x5A)};
}

std::string BitmapFileBytes(int width, int height, int bitCount)
{
    const int paletteSize = bitCount <= 8 ? (1 << bitCount) * 4 : 0;
    const int lineSize = (width * bitCount + 31) / 32 * 4;
    const int pixelOffset = 14 + 40 + paletteSize;
    const int imageSize = lineSize * height;

    std::string bytes = "BM";
    Append(bytes, pixelOffset + imageSize, 4);
    Append(bytes, 0, 4);
    Append(bytes, pixelOffset, 4);
    Append(bytes, 40, 4);
    Append(bytes, width, 4);
    Append(bytes, height, 4);
    Append(bytes, 1, 2);
    Append(bytes, bitCount, 2);
    Append(bytes, BI_RGB, 4);
    Append(bytes, imageSize, 4);
    Append(bytes, 2835, 4);
    Append(bytes, 2835, 4);
    Append(bytes, 0, 4);
    Append(bytes, 0, 4);
    for (int i = 0; i < paletteSize / 4; ++i)
        Append(bytes, i * 255 / ((1 << bitCount) - 1) * 0x010101u, 4);

    for (int y = height - 1; y >= 0; --y)
    {
        std::string line;
        for (int x = 0; x < width; ++x)
        {
            const auto [r, g, b] = PatternPixel(x, y);
            if (bitCount == 24 || bitCount == 32)
                line += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
            if (bitCount == 32)
                line.push_back('\0');
            if (bitCount == 8)
                line.push_back(static_cast<char>(g));
        }
        line.resize(lineSize, '\0');
        bytes += line;
    }
    return bytes;
}

StoredBitmap StoredResourceBitmap()
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, "BMPTEST", RT_BITMAP);
    if (found == nullptr)
        return {nullptr, nullptr};
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    const auto* bits = reinterpret_cast<const unsigned char*>(header) + header->biSize +
                       header->biClrUsed * sizeof(RGBQUAD);
    return {header, bits};
}
