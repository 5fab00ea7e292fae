#include "HeightMap.h"
#include "ModelFile.h"
#include "PngFile.h"
#include "ScratchDirectory.h"
#include "TestPng.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Records what a PNG reader delivers.
class RecordedImage : public GreyRowReceiver
{
  public:
    void Begin(int w, int h, int max) override
    {
        width = w;
        height = h;
        maxValue = max;
    }
    void Row(int y, const std::uint16_t* row) override
    {
        rows.emplace_back(row, row + width);
        EXPECT_EQ(y + 1, static_cast<int>(rows.size()));
    }
    int width = 0;
    int height = 0;
    int maxValue = 0;
    std::vector<std::vector<std::uint16_t>> rows;
};

class PngCommands : public ::testing::Test
{
  protected:
    CGrid Imported(const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> args{"import", "in.png", "--out", "out.dat", "--force"};
        args.insert(args.end(), extra.begin(), extra.end());
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return GridFromBytes(ReadBytes("out.dat"));
    }

    // z of a grey level (0 to 1) under the range white -1.0, black 0.
    static int Expected(double level) { return static_cast<int>(std::llround(level * -10000)); }

    ScratchDirectory scratch;
};
} // namespace

TEST_F(PngCommands, ExportThenImportGivesBackEveryHeight)
{
    CGrid sculpted = SculptedGrid(5);
    sculpted.SetPointHeight(9, -0.5f, true);
    WriteBytes("model.dat", ModelBytes(sculpted));
    ASSERT_EQ(RunTool({"export", "model.dat", "--png", "in.png"}).code, 0);

    RecordedImage image;
    std::vector<PngText> texts;
    std::string error;
    ASSERT_TRUE(ReadGreyPng("in.png", image, texts, error)) << error;
    EXPECT_EQ(image.width, 70);
    EXPECT_EQ(image.height, 70);
    EXPECT_EQ(image.maxValue, 65535);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].keyword, kRangeKeyword);
    EXPECT_EQ(texts[0].text, "white=-0.5000 black=0.0000");

    EXPECT_EQ(HeightUnits(Imported()), HeightUnits(sculpted));
    // The rest of the new model is a fresh grid.
    const CGrid imported = Imported();
    EXPECT_EQ(imported.triangles[0].vertex[2], FreshGrid().triangles[0].vertex[2]);
}

TEST_F(PngCommands, ImportResamplesA513By513ImageOntoTheGrid)
{
    TestPngSpec spec;
    spec.width = spec.height = 513;
    auto plane = [](int x, int y) { return std::uint16_t(64 * x + 32 * y); };
    WriteBytes("in.png", MakePng(spec, plane));
    const std::vector<int> heights = HeightUnits(Imported({"--white", "-1", "--black", "0"}));
    for (int row = 0; row < 70; ++row)
        for (int column = 0; column < 70; ++column)
        {
            const double x = column * 512 / 69.0;
            const double y = (69 - row) * 512 / 69.0;
            ASSERT_NEAR(heights[row * 70 + column], Expected((64 * x + 32 * y) / 65535), 1)
                << column << ", " << row;
        }

    // The same image interlaced, and as eight bits, reads the same way.
    spec.interlaced = true;
    WriteBytes("in.png", MakePng(spec, plane));
    EXPECT_EQ(HeightUnits(Imported({"--white", "-1", "--black", "0"})), heights);
    TestPngSpec eight;
    eight.bitDepth = 8;
    WriteBytes("in.png", MakePng(eight, [](int x, int) { return std::uint16_t(x * 3); }));
    const std::vector<int> ramp = HeightUnits(Imported({"--white", "-1", "--black", "0"}));
    EXPECT_EQ(ramp[69], Expected(207 / 255.0));
    EXPECT_EQ(ramp[69 * 70 + 1], Expected(3 / 255.0));
}

TEST_F(PngCommands, TheCommandLineRangeOverridesTheStoredOne)
{
    TestPngSpec spec;
    spec.rangeText = "white=-0.5000 black=0.0000";
    WriteBytes("in.png", MakePng(spec, [](int, int) { return std::uint16_t(65535); }));
    EXPECT_EQ(HeightUnits(Imported())[0], -5000);
    EXPECT_EQ(HeightUnits(Imported({"--white", "-0.2", "--black", "-0.1"}))[0], -2000);
}

TEST_F(PngCommands, UnreadableOrUnsuitableImagesAreRefused)
{
    auto grey = [](int, int) { return std::uint16_t(0); };
    const std::string good = MakePng(TestPngSpec{}, grey);
    TestPngSpec colour, wide, interlacedHuge;
    colour.colour = true;
    wide.width = 40000;
    wide.height = 1;
    interlacedHuge.width = interlacedHuge.height = 4097;
    interlacedHuge.bitDepth = 8;
    interlacedHuge.interlaced = true;
    const struct
    {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"text", "0,1,0,0,-10000,-10000,0,0\r\n", "is not a PNG file"},
        {"empty", "", "is not a PNG file"},
        {"truncated", good.substr(0, good.size() / 2), "damaged"},
        {"bit flipped", good.substr(0, 45) + char(good[45] ^ 0x55) + good.substr(46), "damaged"},
        {"colour", MakePng(colour, grey), "not a greyscale PNG"},
        {"too wide", MakePng(wide, grey), "Image width exceeds user limit"},
        {"interlaced and huge", MakePng(interlacedHuge, grey), "without interlacing"},
    };
    for (const auto& c : cases)
    {
        WriteBytes("in.png", c.bytes);
        const ToolRun run =
            RunTool({"import", "in.png", "--out", "out.dat", "--white", "-1", "--black", "0"});
        EXPECT_EQ(run.code, 1) << c.name;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists("out.dat")) << c.name;
    }
    const ToolRun missing = RunTool({"import", "none.png", "--out", "out.dat"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "tessmere-model: cannot open none.png\n");
}

TEST_F(PngCommands, AMissingOrBadStoredRangeNeedsOneOnTheCommandLine)
{
    auto grey = [](int, int) { return std::uint16_t(7); };
    WriteBytes("in.png", MakePng(TestPngSpec{}, grey));
    const ToolRun none = RunTool({"import", "in.png", "--out", "out.dat"});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("no stored height range"), std::string::npos);

    for (const char* stored : {"white=-0.5 black=oops", "white=-0.5000 black=0.1000"})
    {
        TestPngSpec spec;
        spec.rangeText = stored;
        WriteBytes("in.png", MakePng(spec, grey));
        const ToolRun bad = RunTool({"import", "in.png", "--out", "out.dat"});
        EXPECT_EQ(bad.code, 1) << stored;
        EXPECT_NE(bad.err.find("damaged or above 0"), std::string::npos) << bad.err;
    }
    EXPECT_FALSE(std::filesystem::exists("out.dat"));
    EXPECT_EQ(
        RunTool({"import", "in.png", "--out", "out.dat", "--white", "-1", "--black", "0"}).code, 0);
}
