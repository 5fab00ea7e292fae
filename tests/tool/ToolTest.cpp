#include "GltfExport.h"
#include "ModelFile.h"
#include "ModelInfo.h"
#include "ModelTool.h"
#include "ObjExport.h"
#include "PngFile.h"
#include "ScratchDirectory.h"
#include "TerrainBitmap.h"
#include "TestModels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::string_literals;
using ::testing::HasSubstr;

namespace
{
CGrid SculptedGrid()
{
    CGrid grid = FreshGrid(kProgramGridSize);
    grid.SetPointHeight(71, -0.25f, true); // where four diagonals meet, one turned away below
    grid.SetPointHeight(4899, -0.5f, true);
    grid.FlipCellDiagonal(0, 0);
    return grid;
}

struct ToolRun
{
    int code;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = RunTessmereModel(args, out, err);
    return {code, out.str(), err.str()};
}

// An image of the tool's writer whose every channel at (x, y), row 0 at the top, is sample.
std::string Png(int width, int height, int depth, int colour, std::uint16_t (*sample)(int, int))
{
    const int channels = colour == 2 ? 3 : colour == 4 ? 2 : 1;
    std::string rows;
    for (int y = 0; y < height; ++y)
        for (int k = 0; k < width * channels; ++k)
            for (int shift = depth - 8; shift >= 0; shift -= 8)
                rows += char(sample(k / channels, y) >> shift);
    return EncodePng({width, height, depth, colour, rows}, {});
}

// Every height of the model made from png, in file units.
std::vector<int> Imported(const std::string& png,
                          std::vector<std::string> args = {"--white", "-1", "--black", "0"})
{
    WriteBytes("in.png", png);
    args.insert(args.begin(), {"import", "in.png", "--out", "out.dat", "--force"});
    EXPECT_EQ(RunTool(args).err, "");
    CGrid grid = FreshGrid(kProgramGridSize);
    EXPECT_TRUE(LoadModel(grid, "out.dat"));
    std::vector<int> units;
    for (const tagPOINT4& point : grid.points)
        units.push_back(ScaleToFile(point.z));
    return units;
}
} // namespace

TEST(Commands, InfoCountsAndListsEveryProblemAndFailsWhereTheProgramWouldNotReadTheFileWhole)
{
    ScratchDirectory scratch;
    CGrid grid = SculptedGrid();
    grid.points[71].flags[1] = 0;                    // cell (1, 1) runs SW-NE
    grid.points[72].flags[1] = 7;                    // cell (2, 1): no diagonal at all
    std::swap(grid.triangles[6], grid.triangles[7]); // cell (3, 0): corners out of order
    grid.points[6].z = 0.25f;                        // above 0: never made by the program
    SaveModel(grid, "odd.dat");
    const ToolRun odd = RunTool({"info", "odd.dat"}); // the program loads it whole
    EXPECT_EQ(odd.code, 0);
    EXPECT_THAT(odd.out, HasSubstr("70 x 70 points\n  loads whole:     yes\n  heights:         z "
                                   "from -0.5000 to 0.2500\n  drawn triangles: 13 of 9522\n  "
                                   "flipped cells:   1 of 4761 against a fresh grid\n"));
    EXPECT_THAT(odd.out, HasSubstr("\nline 72: cell (1, 1) has the flag 0 but its triangles (lines "
                                   "5041 and 5042) run SW-NE\nline 73: cell (2, 1) has the flag 7 "
                                   "but its triangles (lines 5043 and 5044) run SE-NW; a right "
                                   "click cannot flip it\n"));

    // Past a line that the program stops at, the check reads on.
    grid.triangles[12].vertex[1] = 4900; // no such point
    SaveModel(grid, "bad.dat");
    std::string bytes = ReadBytes("bad.dat") + "1,2,3\r\n";
    WriteBytes("bad.dat", bytes.replace(0, bytes.find('\r'), "1,2,3")); // point 0, too short
    const ModelReport report = InspectModel(bytes, 70);
    std::vector<long> problemLines;
    for (const ModelProblemLine& problem : report.problems)
        problemLines.push_back(problem.line);
    EXPECT_EQ(problemLines, (std::vector<long>{1, 7, 72, 73, 4907, 4913, 14423}));
    EXPECT_EQ(RunTool({"info", "bad.dat"}).code, 1);
    const ToolRun refused = RunTool({"export", "bad.dat", "--gltf", "out"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_THAT(refused.err, HasSubstr("the program stops reading it at line 1;"));

    WriteBytes("huge.dat", std::string((16u << 20) + 1, '0'));
    for (const char* unreadable : {"missing.dat", ".", "huge.dat"})
        EXPECT_EQ(RunTool({"info", unreadable}).code, 1) << unreadable;
}

TEST(Commands, OutputsAreReplacedOnlyWithForceAndNeverHalfWritten)
{
    ScratchDirectory scratch;
    SaveModel(SculptedGrid(), "model.dat");
    WriteBytes("mesh.glb", "keep");
    EXPECT_THAT(RunTool({"export", "model.dat", "--gltf", "mesh.glb"}).err,
                HasSubstr("mesh.glb already exists; give --force"));
    EXPECT_EQ(RunTool({"export", "model.dat", "--gltf=mesh.glb", "--force"}).code, 0);
    EXPECT_EQ(ReadBytes("mesh.glb").substr(0, 4), "glTF");
    EXPECT_EQ(RunTool({"export", "model.dat", "--obj", "mesh.obj"}).code, 0);
    SaveModel(FreshGrid(kProgramGridSize), "fresh.dat"); // of which the program draws nothing
    EXPECT_EQ(RunTool({"export", "fresh.dat", "--gltf", "none.glb", "--drawn-only"}).code, 1);
    EXPECT_FALSE(fs::exists("none.glb"));
    fs::permissions("mesh.glb", fs::perms::owner_read);
    EXPECT_EQ(RunTool({"export", "model.dat", "--obj", "mesh.glb", "--force"}).code, 1);
    EXPECT_EQ(ReadBytes("mesh.glb").substr(0, 4), "glTF");
}

TEST(Commands, PathsAreUtf8AndMayBeginWithASlash)
{
    ScratchDirectory scratch;
    SaveModel(SculptedGrid(), "model.dat");
    const std::string obj = "\xE5\x87\xBA\xE5\x8A\x9B.obj", png = "\xE9\xAB\x98\xE3\x81\x95.png";
    EXPECT_EQ(RunTool({"export", "model.dat", "--obj", obj}).err, "");
    EXPECT_EQ(RunTool({"export", "model.dat", "--png", png}).err, "");
    EXPECT_EQ(RunTool({"export", "model.dat", "--png", png}).code, 1) << "an existing one is seen";
    EXPECT_EQ(RunTool({"import", png, "--out", "back.dat"}).err, "");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.insert(entry.path().filename().u8string());
    EXPECT_EQ(names, (std::set<std::string>{"back.dat", "model.dat", obj, png}));
    // Taken as a path, not as an option, on Windows too.
    EXPECT_EQ(RunTool({"info", "/no-such-folder/model.dat"}).err,
              "tessmere-model: cannot open /no-such-folder/model.dat\n");
}

TEST(HeightMapFiles, ExportAndImportKeepEveryHeightAndResampleAnyGreyImageCornerToCorner)
{
    ScratchDirectory scratch;
    // Exact over a range of up to 65535 file units; beyond, within half a grey step.
    for (int span : {0, 1, 5000, 65535, 65536, 2000000})
    {
        std::mt19937 random(span);
        std::vector<int> units(4900);
        CGrid grid = FreshGrid(kProgramGridSize);
        for (size_t k = 0; k < units.size(); ++k)
            grid.points[k].z =
                ScaleFromFile(units[k] = k == 17 ? -span : -int(random() % (span + 1u)));
        SaveModel(grid, "model.dat");
        ASSERT_EQ(RunTool({"export", "model.dat", "--png", "map.png", "--force"}).code, 0);
        const std::vector<int> read = Imported(ReadBytes("map.png"), {});
        for (size_t k = 0; k < units.size(); ++k)
            ASSERT_LE(std::abs(read[k] - units[k]), span <= 65535 ? 0 : span / 131070.0 + 1)
                << span << " point " << k;
    }
    EXPECT_THAT(ReadBytes("map.png"), HasSubstr("tEXtTessmere z range\0white=-200.0000 black="s));

    const auto plane = [](int x, int y) { return std::uint16_t(64 * x + 32 * y); };
    const std::vector<int> heights = Imported(Png(513, 513, 16, 0, plane));
    // A plane comes through bilinear resampling exactly; image rows run from the north.
    for (int k = 0; k < 4900; ++k)
        ASSERT_NEAR(heights[k], (64 * (k % 70) + 32 * (69 - k / 70)) * 512 / 69.0 / 65535 * -10000,
                    1)
            << k;
    // Alpha is ignored; 8 bits span the same range.
    EXPECT_EQ(Imported(Png(513, 513, 16, 4, plane)), heights);
    const auto steps = [](int x, int) { return std::uint16_t(x * 3); };
    EXPECT_EQ(Imported(Png(70, 70, 8, 0, steps))[69], std::lround(207 / 255.0 * -10000));
}

TEST(HeightMapFiles, ImportRefusesDamagedUnsuitableHugeAndRangelessImagesAndWritesNothing)
{
    ScratchDirectory scratch;
    const auto black = [](int, int) { return std::uint16_t(0); };
    const std::string good = Png(70, 70, 16, 0, black);
    const struct
    {
        std::string bytes;
        int code;
        const char* says;
    } cases[] = {
        {"0,1,0,0,-10000,-10000,0,0\r\n", 1, "is not a PNG file"},
        {good.substr(0, good.size() - 20), 1, "is damaged: it ends inside a chunk"},
        {good.substr(0, 45) + char(good[45] ^ 0x55) + good.substr(46), 1, "IDAT chunk is not"},
        {Png(10, 10, 8, 2, black), 1, "is not a greyscale PNG"},
        {Png(10, 10, 8, 3, black), 1, "is not a greyscale PNG"},
        {EncodePng({8192, 8193, 1, 0, std::string(1024 * 8193, '\0')}, {}), 1,
         "too large: 8192 x 8193"},
        {EncodePng({10, 10, 8, 0, std::string(10000, '\0')}, {}), 1, "far more than the image"},
        {EncodePng({1, 1, 8, 0, "\xFF"}, {{"Tessmere z range", "white=-0.5 black=0.1"}}), 1,
         "'white=-0.5 black=0.1' is damaged or above 0"},
        {EncodePng({1, 1, 8, 0, "\xFF"}, {}), 2, "in.png has no stored height range"},
    };
    for (const auto& c : cases)
    {
        WriteBytes("in.png", c.bytes);
        const ToolRun run = RunTool({"import", "in.png", "--out", "out.dat"});
        EXPECT_EQ(run.code, c.code) << c.says;
        EXPECT_THAT(run.err, HasSubstr(c.says));
    }
    EXPECT_FALSE(fs::exists("out.dat"));
}

// A vertex and a texture coordinate per point, numbered as the point + 1, then a face per
// triangle, turned to face up.
TEST(ObjExport, KeepsEveryTriangleFacingUpWithTheProgramsTextureCoordinates)
{
    std::stringstream all, drawn;
    WriteObj(SculptedGrid(), false, all);
    WriteObj(SculptedGrid(), true, drawn);
    const std::string obj = all.str(), drawnObj = drawn.str();
    // The last vertex, the first texture coordinates; the last, the first faces.
    EXPECT_THAT(obj, HasSubstr("\nv 1.0000 1.0000 0.5000\nvt 0.000000 0.000000\nvt 0.014493 0"));
    EXPECT_THAT(obj, HasSubstr("\nvt 1.000000 1.000000\nf 1/1 2/2 71/71\nf 2/2 72/72 71/71\n"));
    EXPECT_EQ(std::count(obj.begin(), obj.end(), '\n'), 1 + 4900 + 4900 + 9522);
    EXPECT_EQ(std::count(drawnObj.begin(), drawnObj.end(), '\n'), 1 + 4900 + 4900 + 9);
}

TEST(GltfExport, KeepsEveryTriangleFacingUpUnderGltfsAxesWithNormalsAndTheBitmapUpright)
{
    const GltfMesh mesh = MakeGltfMesh(SculptedGrid(), false);
    EXPECT_EQ(MakeGltfMesh(SculptedGrid(), true).indices.size(), 3 * 9u);
    // Point 4899 is the north-east corner; -Z is north; v runs down the bitmap.
    EXPECT_EQ(std::vector<float>(mesh.positions.end() - 3, mesh.positions.end()),
              (std::vector<float>{1, 0.5, -1}));
    EXPECT_EQ(std::vector<unsigned>(mesh.indices.begin(), mesh.indices.begin() + 6),
              (std::vector<unsigned>{0, 1, 70, 1, 71, 70}));
    const std::vector<float>& uv = mesh.textureCoordinates; // of points 69 (SE) and 4830 (NW)
    EXPECT_EQ((std::vector<float>{uv[138], uv[139], uv[9660], uv[9661]}),
              (std::vector<float>{1, 1, 0, 0}));

    CGrid slope = FreshGrid(kProgramGridSize);
    for (tagPOINT4& point : slope.points)
        point.z = -(point.x + 1) / 4 - (point.y + 1) / 8; // rising east and north
    const std::vector<float> normals = MakeGltfMesh(slope, false).normals;
    for (size_t k = 0; k < normals.size(); ++k)
        ASSERT_NEAR(normals[k], (std::vector{-0.2407717f, 0.9630868f, 0.1203859f})[k % 3], 1e-5);

    std::string png;
    ASSERT_TRUE(BitmapToPng(kTerrainBitmap, kTerrainBitmapSize, png));
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                            int(png.size()), &width, &height, &channels, 3);
    // The bitmap's top left, which the program shows in the north-west.
    EXPECT_EQ((std::vector<int>{width, height, pixels[0], pixels[1], pixels[2]}),
              (std::vector<int>{512, 512, 30, 64, 111}));
    stbi_image_free(pixels);
}
