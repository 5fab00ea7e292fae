#include "Texture.h"
#include "ViewFixture.h"

#include <cstdint>
#include <vector>

namespace
{
using Texel = std::array<unsigned char, 4>;

// Pixel (x, y) of the test pattern, counted from the top left: distinct up to 4095.
Texel Pattern(int x, int y)
{
    return {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
            static_cast<unsigned char>((x >> 8 << 4 | y >> 8) ^ 0x5A), 255};
}

// A bottom-up, uncompressed bitmap file of the pattern, of 24 bits or 8 (grey palette).
std::string BitmapFile(int width, int height, int bitCount)
{
    const std::uint32_t palette = bitCount == 8 ? 1024 : 0, line = (width * bitCount + 31) / 32 * 4;
    std::string bytes = "BM";
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>(value >> (8 * i)));
    };
    for (std::uint32_t field :
         {54 + palette + line * height, 0u, 54 + palette, 40u, static_cast<std::uint32_t>(width),
          static_cast<std::uint32_t>(height)})
        put(field, 4);
    put(1, 2);
    put(bitCount, 2);
    bytes.append(24, '\0');
    for (std::uint32_t i = 0; i < palette / 4; ++i)
        put(i * 0x010101u, 4);
    for (int y = height - 1; y >= 0; --y)
    {
        std::string scan;
        for (int x = 0; x < width; ++x)
        {
            const Texel p = Pattern(x, y);
            scan += bitCount == 8 ? std::string(1, static_cast<char>(p[1]))
                                  : std::string{static_cast<char>(p[2]), static_cast<char>(p[1]),
                                                static_cast<char>(p[0])};
        }
        scan.resize(line, '\0');
        bytes += scan;
    }
    return bytes;
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

TEST(TextureSide, IsTheNextPowerOfTwoFrom2To1024)
{
    const int cases[][2] = {{-5, 2},    {1, 2},      {2, 2},       {3, 4},      {300, 512},
                            {512, 512}, {513, 1024}, {1024, 1024}, {2000, 1024}};
    for (const auto& [n, side] : cases)
        EXPECT_EQ(TextureSide(n), side) << "n = " << n;
}

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

TEST_F(EditorView, FileImagesSitUprightInTheUpperLeftOfAPowerOfTwoTexture)
{
    struct Case
    {
        int width, height, sideW, sideH;
        float sScale, tScale;
    };
    // Images over 1024 keep their first 1024 columns and top 1024 rows.
    for (const Case& c :
         {Case{300, 200, 512, 256, 0.5859375f, 0.78125f}, Case{5, 1500, 8, 1024, 0.625f, 1.0f}})
    {
        WriteBytes("pattern.bmp", BitmapFile(c.width, c.height, 24));
        CTexture texture;
        texture.Load("pattern.bmp", false);
        EXPECT_EQ(texture.sScale, c.sScale);
        EXPECT_EQ(texture.tScale, c.tScale);
        int width = 0, height = 0;
        const std::vector<Texel> texels = BoundTexels(width, height);
        ASSERT_EQ(width, c.sideW);
        ASSERT_EQ(height, c.sideH);
        int wrong = 0;
        for (int i = 0; i < width * height; ++i)
        {
            const int x = i % width, y = height - 1 - i / width;
            wrong += texels[i] != (x < c.width && y < c.height ? Pattern(x, y) : Texel{});
        }
        EXPECT_EQ(wrong, 0) << c.width << " x " << c.height;
    }
}

TEST_F(EditorView, RejectedBitmapsThrowOneAndLeaveTheTextureAsItWas)
{
    WriteBytes("grey.bmp", BitmapFile(4, 4, 8));
    CTexture empty;
    for (const auto& [name, fromResource] : {std::pair<const char*, bool>{"grey.bmp", false},
                                             {"absent.bmp", false},
                                             {"NOSUCHBITMAP", true}})
        for (CTexture* texture : {&modelTexture, &empty})
        {
            const CTexture& kept = *texture;
            const GLuint before = kept.texture;
            unsigned int thrown = 0;
            try
            {
                texture->Load(name, fromResource);
            }
            catch (unsigned int code)
            {
                thrown = code;
            }
            EXPECT_EQ(thrown, 1u) << name;
            EXPECT_EQ(kept.texture, before);
            const bool loaded = texture == &modelTexture;
            EXPECT_EQ(kept.loaded, loaded);
            EXPECT_EQ(kept.width, loaded ? 512 : 0);
            EXPECT_EQ(kept.height, loaded ? 512 : 0);
            EXPECT_EQ(kept.tScale, loaded ? 1.0f : 0.0f);
        }
}

TEST_F(EditorView, ATextureIsDeletedOnlyWhileAContextIsCurrent)
{
    WriteBytes("small.bmp", BitmapFile(4, 4, 24));
    GLuint name = 0;
    {
        CTexture texture;
        texture.Load("small.bmp", false);
        name = texture.texture;
    }
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    {
        CTexture texture;
        texture.Load("small.bmp", false);
        name = texture.texture;
        wglMakeCurrent(nullptr, nullptr);
    }
    wglMakeCurrent(GetDC(view.hwnd), view.glContext);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
}
