#include "HeightMap.h"
#include "PngFile.h"
#include "ScratchDirectory.h"
#include "TestPng.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace
{
class PngCommands : public ::testing::Test
{
  protected:
    std::vector<int> Imported(const std::vector<std::string>& range = {"--white", "-1", "--black",
                                                                       "0"})
    {
        std::vector<std::string> args{"import", "in.png", "--out", "out.dat", "--force"};
        args.insert(args.end(), range.begin(), range.end());
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return HeightUnits(GridFromBytes(ReadBytes("out.dat")));
    }

    ScratchDirectory scratch;
};

class ImageSize : public GreyRowReceiver
{
  public:
    void Begin(int w, int h, int max) override { size = {w, h, max}; }
    void Row(int, const std::uint16_t*) override {}
    std::vector<int> size;
};

std::uint16_t Plane(int x, int y)
{
    return static_cast<std::uint16_t>(64 * x + 32 * y);
}
} // namespace

TEST_F(PngCommands, ExportThenImportGivesBackEveryHeight)
{
    CGrid sculpted = SculptedGrid(5);
    sculpted.SetPointHeight(9, -0.5f, true);
    WriteBytes("model.dat", ModelBytes(sculpted));
    ASSERT_EQ(RunTool({"export", "model.dat", "--png", "in.png"}).code, 0);

    ImageSize image;
    std::vector<PngText> texts;
    std::string error;
    ASSERT_TRUE(ReadGreyPng("in.png", image, texts, error)) << error;
    EXPECT_EQ(image.size, (std::vector<int>{70, 70, 65535}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].keyword, kRangeKeyword);
    EXPECT_EQ(texts[0].text, "white=-0.5000 black=0.0000");
    EXPECT_EQ(Imported({}), HeightUnits(sculpted));
    EXPECT_EQ(Imported({"--white", "-0.2", "--black", "-0.2"}), std::vector<int>(4900, -2000));
}

TEST_F(PngCommands, ImportResamplesA513By513ImageBilinearlyFromCornerToCorner)
{
    WriteBytes("in.png", MakePng(513, 513, 16, Plane));
    const std::vector<int> heights = Imported();
    for (int row = 0; row < 70; ++row)
        for (int column = 0; column < 70; ++column)
        {
            // A plane comes through bilinear resampling exactly: image rows run from the north.
            const double grey =
                Plane(0, 0) + 64 * column * 512 / 69.0 + 32 * (69 - row) * 512 / 69.0;
            ASSERT_NEAR(heights[row * 70 + column], grey / 65535 * -10000, 1)
                << column << ", " << row;
        }

    WriteBytes("in.png", MakePng(513, 513, 16, Plane, TestPngForm::GreyInterlaced));
    EXPECT_EQ(Imported(), heights);
    WriteBytes("in.png", MakePng(70, 70, 8, [](int x, int) { return std::uint16_t(x * 3); }));
    EXPECT_EQ(Imported()[69], std::lround(207 / 255.0 * -10000));
}

TEST_F(PngCommands, UnreadableOrUnsuitableImagesAreRefused)
{
    auto black = [](int, int) { return std::uint16_t(0); };
    const std::string good = MakePng(70, 70, 16, black);
    const struct
    {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"text", "0,1,0,0,-10000,-10000,0,0\r\n", "is not a PNG file"},
        {"truncated", good.substr(0, good.size() / 2), "damaged"},
        {"bit flipped", good.substr(0, 45) + char(good[45] ^ 0x55) + good.substr(46), "damaged"},
        {"colour", MakePng(70, 70, 16, black, TestPngForm::Colour), "not a greyscale PNG"},
        {"too wide", MakePng(40000, 1, 8, black), "Image width exceeds user limit"},
        {"interlaced, huge", MakePng(4097, 4097, 8, black, TestPngForm::GreyInterlaced),
         "without interlacing"},
    };
    for (const auto& c : cases)
    {
        WriteBytes("in.png", c.bytes);
        const ToolRun run =
            RunTool({"import", "in.png", "--out", "out.dat", "--white", "-1", "--black", "0"});
        EXPECT_EQ(run.code, 1) << c.name;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err;
    }
    EXPECT_EQ(RunTool({"import", "none.png", "--out", "out.dat"}).code, 1);
    EXPECT_FALSE(std::filesystem::exists("out.dat"));
}

TEST_F(PngCommands, AMissingOrBadStoredRangeNeedsOneOnTheCommandLine)
{
    auto grey = [](int, int) { return std::uint16_t(7); };
    WriteBytes("in.png", MakePng(70, 70, 16, grey));
    const ToolRun none = RunTool({"import", "in.png", "--out", "out.dat"});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("no stored height range"), std::string::npos);

    for (const char* stored : {"white=-0.5 black=oops", "white=-0.5000 black=0.1000"})
    {
        WriteBytes("in.png", MakePng(70, 70, 16, grey, TestPngForm::Grey, stored));
        const ToolRun bad = RunTool({"import", "in.png", "--out", "out.dat"});
        EXPECT_EQ(bad.code, 1) << stored;
        EXPECT_NE(bad.err.find("damaged or above 0"), std::string::npos) << bad.err;
    }
    EXPECT_FALSE(std::filesystem::exists("out.dat"));
}
