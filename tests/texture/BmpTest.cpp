#include "Bmp.h"
#include "ScratchDirectory.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
bool IsGdiObject(HBITMAP handle)
{
    BITMAP description;
    return GetObjectA(handle, sizeof(description), &description) != 0;
}
} // namespace

TEST(Bmp, ScanLinesOfAFileArePaddedToWholeWordsAndCountedFromTheTop)
{
    ScratchDirectory scratch;
    WriteBytes("odd.bmp", BitmapFileBytes(5, 3, 24));
    CBmp bmp;
    ASSERT_TRUE(bmp.LoadFromFile("odd.bmp"));
    EXPECT_EQ(bmp.GetWidth(), 5);
    EXPECT_EQ(bmp.GetHeight(), 3);
    EXPECT_EQ(bmp.GetBitCount(), 24);
    EXPECT_EQ(bmp.bytesPerPixel, 3);
    EXPECT_EQ(bmp.bytesPerLine, 16);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
        {
            const BYTE* bgr = bmp.ScanLine(y) + 3 * x;
            EXPECT_EQ((std::array<unsigned char, 3>{bgr[2], bgr[1], bgr[0]}), PatternPixel(x, y))
                << "pixel " << x << ", " << y;
        }
}

TEST(Bmp, OwnsItsBitmapUntilReleasedReloadedOrDestroyed)
{
    HBITMAP destroyed = nullptr;
    {
        CBmp bmp;
        ASSERT_TRUE(bmp.LoadFromResource("BMPTEST"));
        destroyed = bmp.GetHandle();
    }
    EXPECT_FALSE(IsGdiObject(destroyed));

    CBmp bmp;
    ASSERT_TRUE(bmp.LoadFromResource("BMPTEST"));
    const HBITMAP replaced = bmp.GetHandle();
    EXPECT_FALSE(bmp.LoadFromResource("NOSUCHBITMAP"));
    EXPECT_EQ(bmp.GetHandle(), nullptr);
    EXPECT_FALSE(IsGdiObject(replaced));

    ASSERT_TRUE(bmp.LoadFromResource("BMPTEST"));
    const HBITMAP released = bmp.GetHandle();
    bmp.Release();
    EXPECT_EQ(bmp.GetHandle(), nullptr);
    EXPECT_FALSE(IsGdiObject(released));
    EXPECT_FALSE(bmp.LoadFromFile("no such file.bmp"));
    EXPECT_EQ(bmp.GetHandle(), nullptr);
}
