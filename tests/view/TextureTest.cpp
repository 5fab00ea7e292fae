#include "Texture.h"
#include "ViewFixture.h"

#include <cstdint>
#include <vector>

namespace
{
using Texel = std::array<unsigned char, 4>;

// A 4 x 4 bottom-up bitmap file of 8 bits a pixel with a grey palette, which the loader refuses.
std::string GreyBitmapFile()
{
    std::string bytes = "BM";
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>(value >> (8 * i)));
    };
    for (std::uint32_t field : {54u + 1024 + 16, 0u, 54u + 1024, 40u, 4u, 4u})
        put(field, 4);
    put(1, 2);
    put(8, 2);
    bytes.append(24, '\0');
    for (std::uint32_t i = 0; i < 256; ++i)
        put(i * 0x010101u, 4);
    return bytes + std::string(16, '\x80');
}

// What OpenGL holds for the bound texture, row 0 (t = 0) first.
std::vector<Texel> BoundTexels(int& width, int& height)
{
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<Texel> texels(static_cast<size_t>(width) * height);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}
} // namespace

TEST_F(EditorView, TheResourceBitmapBecomesA512SquareOfItsScanLinesBottomUp)
{
    // The view made modelTexture from "BMPTEST": texture row 0 is its first stored scan line.
    EXPECT_TRUE(modelTexture.loaded);
    EXPECT_EQ(modelTexture.width, 512);
    EXPECT_EQ(modelTexture.sScale, 1.0f);
    glBindTexture(GL_TEXTURE_2D, modelTexture.texture);
    int width = 0, height = 0;
    const std::vector<Texel> texels = BoundTexels(width, height);
    ASSERT_EQ(width * height, 512 * 512);
    const HRSRC found = FindResourceA(nullptr, "BMPTEST", RT_BITMAP);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    const unsigned char* bits = reinterpret_cast<const unsigned char*>(header) + header->biSize;
    int wrong = 0;
    for (size_t i = 0; i < texels.size(); ++i)
        wrong += texels[i] != Texel{bits[3 * i + 2], bits[3 * i + 1], bits[3 * i], 255};
    EXPECT_EQ(wrong, 0);
}

TEST_F(EditorView, RejectedBitmapsThrowOneAndLeaveTheTextureEmpty)
{
    WriteBytes("grey.bmp", GreyBitmapFile());
    CTexture texture;
    for (const auto& [name, fromResource] : {std::pair<const char*, bool>{"grey.bmp", false},
                                             {"absent.bmp", false},
                                             {"NOSUCHBITMAP", true}})
    {
        unsigned int thrown = 0;
        try
        {
            texture.Load(name, fromResource);
        }
        catch (unsigned int code)
        {
            thrown = code;
        }
        EXPECT_EQ(thrown, 1u) << name;
        EXPECT_EQ(
            (std::vector<float>{float(texture.loaded), float(texture.texture), float(texture.width),
                                float(texture.height), texture.sScale, texture.tScale}),
            std::vector<float>(6, 0.0f));
    }
}
