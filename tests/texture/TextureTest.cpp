#include "Texture.h"
#include "GlContext.h"
#include "ScratchDirectory.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace
{
using Texel = std::array<unsigned char, 4>;

Texel Opaque(const std::array<unsigned char, 3>& rgb)
{
    return {rgb[0], rgb[1], rgb[2], 255};
}

// What OpenGL holds for a texture, row 0 (t = 0) first.
struct TextureContents
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    Texel At(int column, int row) const
    {
        const unsigned char* p = &rgba[(static_cast<std::size_t>(row) * width + column) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

TextureContents ReadTexture(GLuint name)
{
    TextureContents contents;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &contents.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &contents.height);
    contents.rgba.resize(static_cast<std::size_t>(contents.width) * contents.height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, contents.rgba.data());
    return contents;
}

// The w by h pattern must stand upright in the upper left corner, all else left transparent
// black, so a flipped, shifted or mirrored copy shows up here.
void ExpectPatternInUpperLeft(const TextureContents& contents, int w, int h)
{
    int wrong = 0;
    for (int row = 0; row < contents.height; ++row)
    {
        const int y = contents.height - 1 - row;
        for (int column = 0; column < contents.width; ++column)
        {
            const bool inImage = column < w && y < h;
            const Texel expected = inImage ? Opaque(PatternPixel(column, y)) : Texel{0, 0, 0, 0};
            if (contents.At(column, row) != expected && ++wrong <= 5)
                ADD_FAILURE() << "texel at column " << column << ", row " << row;
        }
    }
    EXPECT_EQ(wrong, 0);
}

unsigned int ModelTextureLoadFailure(const std::string& name, bool fromResource)
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

class TextureTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { context = std::make_unique<GlContext>(); }
    static void TearDownTestSuite() { context.reset(); }
    void SetUp() override { ASSERT_TRUE(context->MakeCurrent()); }

    static TextureContents LoadPattern(CTexture& texture, int width, int height)
    {
        WriteBytes("pattern.bmp", BitmapFileBytes(width, height, 24));
        texture.Load("pattern.bmp", false);
        return ReadTexture(texture.texture);
    }

    static inline std::unique_ptr<GlContext> context;
    ScratchDirectory scratch;
};
} // namespace

TEST(TextureSide, IsTheNextPowerOfTwoFrom2To1024)
{
    const std::array<std::array<int, 2>, 11> cases = {{{-5, 2},
                                                       {0, 2},
                                                       {1, 2},
                                                       {2, 2},
                                                       {3, 4},
                                                       {200, 256},
                                                       {300, 512},
                                                       {512, 512},
                                                       {513, 1024},
                                                       {1024, 1024},
                                                       {2000, 1024}}};
    for (const auto& [n, side] : cases)
        EXPECT_EQ(TextureSide(n), side) << "n = " << n;
}

TEST_F(TextureTest, ResourceBitmapBecomesA512SquareCopyOfItsStoredScanLines)
{
    CTexture texture;
    texture.Load("BMPTEST", true);
    EXPECT_TRUE(texture.loaded);
    EXPECT_EQ(texture.width, 512);
    EXPECT_EQ(texture.height, 512);
    EXPECT_EQ(texture.sScale, 1.0f);
    EXPECT_EQ(texture.tScale, 1.0f);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture.texture) << "left bound";
    GLint format = 0;
    GLint minFilter = 0;
    GLint magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(format, GL_RGBA8);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);

    const TextureContents contents = ReadTexture(texture.texture);
    ASSERT_EQ(contents.width, 512);
    ASSERT_EQ(contents.height, 512);
    const StoredBitmap stored = StoredResourceBitmap();
    ASSERT_NE(stored.header, nullptr);
    // Texture row 0 is the first stored scan line (the image's bottom row), and so on upwards.
    int wrong = 0;
    for (int row = 0; row < 512; ++row)
        for (int column = 0; column < 512; ++column)
        {
            const unsigned char* bgr = stored.bits + row * 1536 + column * 3;
            if (contents.At(column, row) != Texel{bgr[2], bgr[1], bgr[0], 255} && ++wrong <= 5)
                ADD_FAILURE() << "texel at column " << column << ", row " << row;
        }
    EXPECT_EQ(wrong, 0);
}

// An image and the texture made from it: its sides and the share of each that the image covers.
struct Placement
{
    int width;
    int height;
    int sideW;
    int sideH;
    float sScale;
    float tScale;
};

class ImagePlacement : public TextureTest, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(ImagePlacement, SitsUprightInTheUpperLeftOfAPowerOfTwoTexture)
{
    const Placement expected = GetParam();
    CTexture texture;
    const TextureContents contents = LoadPattern(texture, expected.width, expected.height);
    EXPECT_EQ(texture.width, expected.width);
    EXPECT_EQ(texture.height, expected.height);
    EXPECT_EQ(texture.sScale, expected.sScale);
    EXPECT_EQ(texture.tScale, expected.tScale);
    ASSERT_EQ(contents.width, expected.sideW);
    ASSERT_EQ(contents.height, expected.sideH);
    ExpectPatternInUpperLeft(contents, expected.width, expected.height);
}

// Images wider or taller than 1024 keep their first 1024 columns and top 1024 rows, which then
// cover the whole side.
INSTANTIATE_TEST_SUITE_P(Sizes, ImagePlacement,
                         ::testing::Values(Placement{300, 200, 512, 256, 0.5859375f, 0.78125f},
                                           Placement{1, 1, 2, 2, 0.5f, 0.5f},
                                           Placement{2000, 3, 1024, 4, 1.0f, 0.75f},
                                           Placement{3, 1500, 4, 1024, 0.75f, 1.0f}));

TEST_F(TextureTest, RejectedBitmapsThrowOneAndLeaveModelTextureEmpty)
{
    WriteBytes("grey.bmp", BitmapFileBytes(4, 4, 8));
    WriteBytes("deep.bmp", BitmapFileBytes(4, 4, 32));
    WriteBytes("text.bmp", "not a bitmap");
    const struct
    {
        const char* name;
        bool fromResource;
    } cases[] = {{"grey.bmp", false},   {"deep.bmp", false},    {"text.bmp", false},
                 {"absent.bmp", false}, {"NOSUCHBITMAP", true}, {"grey.bmp", true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ModelTextureLoadFailure(c.name, c.fromResource), 1u);
        EXPECT_FALSE(modelTexture.loaded);
        EXPECT_EQ(modelTexture.texture, 0u);
        EXPECT_EQ(modelTexture.width, 0);
        EXPECT_EQ(modelTexture.height, 0);
        EXPECT_EQ(modelTexture.sScale, 0.0f);
        EXPECT_EQ(modelTexture.tScale, 0.0f);
    }
}

TEST_F(TextureTest, DestructorDeletesTheTextureOnlyWhileAContextIsCurrent)
{
    GLuint name = 0;
    {
        CTexture texture;
        LoadPattern(texture, 4, 4);
        name = texture.texture;
        ASSERT_EQ(glIsTexture(name), GL_TRUE);
    }
    EXPECT_EQ(glIsTexture(name), GL_FALSE);

    {
        CTexture texture;
        LoadPattern(texture, 4, 4);
        name = texture.texture;
        wglMakeCurrent(nullptr, nullptr);
    }
    ASSERT_TRUE(context->MakeCurrent());
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    glDeleteTextures(1, &name);
}
