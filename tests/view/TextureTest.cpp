#include "Texture.h"
#include "Bmp.h"
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

void Append(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A bottom-up, uncompressed bitmap file of the pattern, of 8 (grey palette), 24 or 32 bits.
std::string BitmapFile(int width, int height, int bitCount)
{
    const int palette = bitCount == 8 ? 256 * 4 : 0;
    const int line = (width * bitCount + 31) / 32 * 4;
    std::string bytes = "BM";
    for (std::uint32_t field : {54u + palette + line * height, 0u, 54u + palette, 40u})
        Append(bytes, field, 4);
    Append(bytes, width, 4);
    Append(bytes, height, 4);
    Append(bytes, 1, 2);
    Append(bytes, bitCount, 2);
    for (int field = 0; field < 6; ++field)
        Append(bytes, 0, 4);
    for (int i = 0; i < palette / 4; ++i)
        Append(bytes, i * 0x010101u, 4);
    for (int y = height - 1; y >= 0; --y)
    {
        std::string scan;
        for (int x = 0; x < width; ++x)
        {
            const Texel p = Pattern(x, y);
            scan += bitCount == 8 ? std::string(1, static_cast<char>(p[1]))
                                  : std::string{static_cast<char>(p[2]), static_cast<char>(p[1]),
                                                static_cast<char>(p[0])};
            if (bitCount == 32)
                scan.push_back('\0');
        }
        scan.resize(line, '\0');
        bytes += scan;
    }
    return bytes;
}

// What OpenGL holds for the bound texture: its sides and texels, row 0 (t = 0) first.
std::vector<Texel> BoundTexels(int& width, int& height)
{
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<Texel> texels(static_cast<size_t>(width) * height);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

unsigned int LoadFailure(const std::string& name, bool fromResource)
{
    try
    {
        modelTexture.Load(name, fromResource);
    }
    catch (unsigned int code)
    {
        return code;
    }
    return 0;
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
    ASSERT_EQ(width, 512);
    ASSERT_EQ(height, 512);
    const HRSRC found = FindResourceA(nullptr, "BMPTEST", RT_BITMAP);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_EQ(header->biBitCount, 24);
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
         {Case{300, 200, 512, 256, 0.5859375f, 0.78125f}, Case{2000, 3, 1024, 4, 1.0f, 0.75f},
          Case{5, 1500, 8, 1024, 0.625f, 1.0f}})
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
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
            {
                const int y = height - 1 - row;
                const Texel expected =
                    x < c.width && y < c.height ? Pattern(x, y) : Texel{0, 0, 0, 0};
                wrong += texels[static_cast<size_t>(row) * width + x] != expected;
            }
        EXPECT_EQ(wrong, 0) << c.width << " x " << c.height;
    }
}

TEST_F(EditorView, RejectedBitmapsThrowOneAndLeaveModelTextureEmpty)
{
    // The view made modelTexture from "BMPTEST"; a failed load leaves it as it was.
    const GLuint before = modelTexture.texture;
    WriteBytes("grey.bmp", BitmapFile(4, 4, 8));
    WriteBytes("deep.bmp", BitmapFile(4, 4, 32));
    WriteBytes("text.bmp", "not a bitmap");
    for (const auto& [name, fromResource] : {std::pair<const char*, bool>{"grey.bmp", false},
                                             {"deep.bmp", false},
                                             {"text.bmp", false},
                                             {"absent.bmp", false},
                                             {"NOSUCHBITMAP", true}})
    {
        EXPECT_EQ(LoadFailure(name, fromResource), 1u) << name;
        EXPECT_TRUE(modelTexture.loaded);
        EXPECT_EQ(modelTexture.texture, before);
        EXPECT_EQ(modelTexture.width, 512);
    }
}

TEST_F(EditorView, ATextureIsDeletedOnlyWhileAContextIsCurrent)
{
    GLuint name = 0;
    WriteBytes("small.bmp", BitmapFile(4, 4, 24));
    {
        CTexture texture;
        texture.Load("small.bmp", false);
        name = texture.texture;
        ASSERT_EQ(glIsTexture(name), GL_TRUE);
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

TEST(Bmp, OwnsItsBitmapUntilReleasedReloadedOrDestroyed)
{
    BITMAP description;
    CBmp bmp;
    ASSERT_TRUE(bmp.LoadFromResource("BMPTEST"));
    const HBITMAP replaced = bmp.GetHandle();
    EXPECT_FALSE(bmp.LoadFromResource("NOSUCHBITMAP"));
    EXPECT_EQ(bmp.GetHandle(), nullptr);
    EXPECT_EQ(GetObjectA(replaced, sizeof description, &description), 0);
    ASSERT_TRUE(bmp.LoadFromResource("BMPTEST"));
    const HBITMAP released = bmp.GetHandle();
    bmp.Release();
    EXPECT_EQ(bmp.GetHandle(), nullptr);
    EXPECT_EQ(GetObjectA(released, sizeof description, &description), 0);
}
