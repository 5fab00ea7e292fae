#include "HeightMap.h"
#include "Decimal.h"
#include "ModelFile.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <random>

namespace
{
// Feeds an image given by a function of (x, y) to a resampler for the 70 grid.
GreyResampler Resample(int width, int height, int maxValue,
                       const std::function<std::uint16_t(int, int)>& sample)
{
    GreyResampler resampler(70);
    resampler.Begin(width, height, maxValue);
    std::vector<std::uint16_t> row(width);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
            row[x] = sample(x, y);
        resampler.Row(y, row.data());
    }
    return resampler;
}

GreyResampler Resample(const HeightMapImage& image)
{
    return Resample(image.size, image.size, 65535,
                    [&image](int x, int y) { return image.samples[y * image.size + x]; });
}

CGrid WithHeights(const std::vector<int>& units)
{
    CGrid grid = FreshGrid();
    for (size_t k = 0; k < units.size(); ++k)
        grid.points[k].z = ScaleFromFile(units[k]);
    return grid;
}

// Heights at or below 0 spread over exactly span file units, extremes included.
std::vector<int> RandomHeights(unsigned seed, int span)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> depth(-span, 0);
    std::vector<int> units(4900);
    for (int& u : units)
        u = depth(random);
    units[17] = -span;
    units[4000] = 0;
    return units;
}
} // namespace

TEST(Decimal, FormatsAndReadsFileUnits)
{
    EXPECT_EQ(FormatUnits(-5000), "-0.5000");
    EXPECT_EQ(FormatUnits(0), "0.0000");
    EXPECT_EQ(FormatUnits(123456789), "12345.6789");
    EXPECT_EQ(FormatUnits(INT_MIN), "-214748.3648");
    int units = 0;
    EXPECT_TRUE(ParseUnits("-0.5", units));
    EXPECT_EQ(units, -5000);
    EXPECT_TRUE(ParseUnits("-214748.3648", units));
    EXPECT_EQ(units, INT_MIN);
    EXPECT_TRUE(ParseUnits("0.00004", units));
    EXPECT_EQ(units, 0);
    for (const char* bad : {"", "abc", "1x", "-", "nan", "inf", "214748.3648", "1e300"})
        EXPECT_FALSE(ParseUnits(bad, units)) << bad;
}

TEST(HeightMap, RangeTextTravelsWholeAndDamageIsRefused)
{
    const ZRange range{-123456, -7};
    EXPECT_EQ(FormatRange(range), "white=-12.3456 black=-0.0007");
    ZRange read{0, 0};
    ASSERT_TRUE(ParseRange(FormatRange(range), read));
    EXPECT_EQ(read.white, range.white);
    EXPECT_EQ(read.black, range.black);
    for (const char* bad :
         {"", "white=-1", "black=0 white=-1", "white=x black=0", "white=-1 black="})
        EXPECT_FALSE(ParseRange(bad, read)) << bad;
}

TEST(HeightMap, WhiteIsTheHighestPointAndNorthIsAtTheTop)
{
    CGrid grid = FreshGrid();
    grid.SetPointHeight(4899, -0.5f, true); // north-east corner
    grid.SetPointHeight(69, -0.25f, true);  // south-east corner
    const HeightMapImage image = MakeHeightMap(grid);
    EXPECT_EQ(image.size, 70);
    EXPECT_EQ(image.range.white, -5000);
    EXPECT_EQ(image.range.black, 0);
    EXPECT_EQ(image.samples[69], 65535);           // top right
    EXPECT_EQ(image.samples[69 * 70 + 69], 32768); // bottom right
    EXPECT_EQ(image.samples[0], 0);

    const HeightMapImage flat = MakeHeightMap(FreshGrid());
    EXPECT_EQ(flat.range.white, 0);
    EXPECT_EQ(flat.range.black, 0);
    EXPECT_EQ(std::count(flat.samples.begin(), flat.samples.end(), 0), 4900);
}

TEST(HeightMap, SixteenBitsKeepEveryHeightWhenTheRangeSpansAtMost65535Units)
{
    for (int span : {1, 3, 1000, 65534, 65535})
    {
        const std::vector<int> units = RandomHeights(span, span);
        const HeightMapImage image = MakeHeightMap(WithHeights(units));
        CGrid back = FreshGrid();
        ApplyHeightMap(Resample(image), image.range, back);
        EXPECT_EQ(HeightUnits(back), units) << "span " << span;
    }
}

TEST(HeightMap, WiderRangesComeBackWithinHalfAGreyStep)
{
    // Up to heights of 200, where a float still holds every file unit.
    for (int span : {65536, 200000, 2000000})
    {
        const std::vector<int> units = RandomHeights(span, span);
        const HeightMapImage image = MakeHeightMap(WithHeights(units));
        CGrid back = FreshGrid();
        ApplyHeightMap(Resample(image), image.range, back);
        const std::vector<int> read = HeightUnits(back);
        const double halfStep = span / 65535.0 / 2;
        for (size_t k = 0; k < units.size(); ++k)
            ASSERT_LE(std::abs(static_cast<double>(read[k]) - units[k]), halfStep + 1)
                << "span " << span << " point " << k;
    }
}

TEST(HeightMap, ResamplesBilinearlyFromCornerToCorner)
{
    // A plane comes through bilinear resampling exactly, wherever the grid points fall.
    const GreyResampler plane =
        Resample(513, 513, 65535, [](int x, int y) { return std::uint16_t(64 * x + 32 * y); });
    for (int row = 0; row < 70; ++row)
        for (int column = 0; column < 70; ++column)
            ASSERT_NEAR(plane.SampleAt(column, row),
                        64 * column * 512 / 69.0 + 32 * (69 - row) * 512 / 69.0, 1e-6);

    // One bright corner pixel lights the one grid point over it and no other.
    const GreyResampler spot = Resample(
        513, 513, 255, [](int x, int y) { return std::uint16_t(x == 512 && y == 0 ? 255 : 0); });
    CGrid grid = FreshGrid();
    ApplyHeightMap(spot, {-10000, 0}, grid);
    EXPECT_EQ(grid.points[4899].z, -1.0f);
    int raised = 0;
    for (const tagPOINT4& p : grid.points)
        raised += p.z != 0.0f;
    EXPECT_EQ(raised, 1);

    // A single pixel, or a single row, stretches over the whole grid.
    CGrid single = FreshGrid();
    ApplyHeightMap(Resample(1, 1, 255, [](int, int) { return std::uint16_t(51); }), {-10000, 0},
                   single);
    EXPECT_EQ(HeightUnits(single), std::vector<int>(4900, -2000));
}
