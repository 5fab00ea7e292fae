#include "HeightMap.h"
#include "ModelFile.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

TEST(HeightMap, WhiteIsTheHighestPointAndNorthIsAtTheTop)
{
    CGrid grid = FreshGrid();
    grid.SetPointHeight(4899, -0.5f, true); // north-east corner
    grid.SetPointHeight(69, -0.25f, true);  // south-east corner
    const HeightMapImage image = MakeHeightMap(grid);
    EXPECT_EQ(image.range.white, -5000);
    EXPECT_EQ(image.range.black, 0);
    EXPECT_EQ(image.samples[69], 65535);           // top right
    EXPECT_EQ(image.samples[69 * 70 + 69], 32768); // bottom right
    EXPECT_EQ(image.samples[0], 0);
}

// Exact up to 65535 file units of range; beyond, within half a grey step (while a float still
// holds every unit, up to heights of about 200).
TEST(HeightMap, SixteenBitsKeepEveryHeightUpTo65535UnitsOfRange)
{
    for (int span : {0, 1, 1000, 65534, 65535, 65536, 200000, 2000000})
    {
        std::mt19937 random(span);
        std::vector<int> units(4900);
        CGrid grid = FreshGrid();
        for (size_t k = 0; k < units.size(); ++k)
        {
            units[k] = k == 17 ? -span : -static_cast<int>(random() % (span + 1u));
            grid.points[k].z = ScaleFromFile(units[k]);
        }
        const HeightMapImage image = MakeHeightMap(grid);
        GreyResampler resampler(70);
        resampler.Begin(70, 70, 65535);
        for (int y = 0; y < 70; ++y)
            resampler.Row(y, &image.samples[y * 70]);
        CGrid back = FreshGrid();
        ApplyHeightMap(resampler, image.range, back);

        const std::vector<int> read = HeightUnits(back);
        const double allowed = span <= 65535 ? 0 : span / 65535.0 / 2 + 1;
        for (size_t k = 0; k < units.size(); ++k)
            ASSERT_LE(std::abs(static_cast<double>(read[k]) - units[k]), allowed)
                << "span " << span << " point " << k;
    }
}
