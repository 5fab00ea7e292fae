#include "HeightMap.h"
#include "MeshExport.h"
#include "ModelFile.h"
#include "ModelTool.h"
#include "PngFile.h"
#include "ScratchDirectory.h"
#include "TestModels.h"

#include <gmock/gmock.h>
#include <stb_image.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>
#ifdef _WIN32
#include <process.h>
#include <windows.h>
#endif

namespace fs = std::filesystem;
using ::testing::ContainsRegex;
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

// Everything the tool prints, on either stream, when it must end with code.
std::string RunTool(int code, const std::vector<std::string>& args)
{
    std::ostringstream printed;
    EXPECT_EQ(RunTessmereModel(args, printed, printed), code) << ::testing::PrintToString(args);
    return printed.str();
}

// An image of the tool's writer whose every channel at (x, y), row 0 at the top, is sample.
std::string Png(int width, int height, int depth, int colour, int (*sample)(int, int))
{
    const int channels = colour == 4 ? 2 : 1;
    std::string rows;
    for (int k = 0; k < width * height * channels; ++k)
        for (int shift = depth - 8; shift >= 0; shift -= 8)
            rows += char(sample(k / channels % width, k / channels / width) >> shift);
    return EncodePng({width, height, depth, colour, rows}, {});
}

// Every height of the model made from png, in file units. Paths come in UTF-8, on Windows too.
std::vector<int> Imported(const std::string& png,
                          std::vector<std::string> args = {"--white", "-1", "--black", "0"})
{
    const std::string in = "\xE9\xAB\x98\xE3\x81\x95.png", out = "\xE5\x87\xBA.dat";
    WriteBytes(fs::u8path(in), png);
    args.insert(args.begin(), {"import", in, "--out", out, "--force"});
    EXPECT_EQ(RunTool(0, args), "");
    CGrid grid = FreshGrid(kProgramGridSize);
    EXPECT_TRUE(LoadModel(grid, fs::u8path(out)));
    std::vector<int> units;
    for (const tagPOINT4& point : grid.points)
        units.push_back(ScaleToFile(point.z));
    return units;
}
} // namespace

TEST(Commands, ADamagedModelIsReportedProblemByProblem)
{
    ScratchDirectory scratch;
    CGrid grid = SculptedGrid();
    grid.points[71].flags[1] = 0;                    // cell (1, 1) runs SW-NE
    grid.points[72].flags[1] = 7;                    // cell (2, 1): no diagonal at all
    std::swap(grid.triangles[6], grid.triangles[7]); // cell (3, 0): corners out of order
    grid.points[6].z = 0.25f;                        // above 0: never made by the program

    // Past a line for which the program refuses the file, the check reads on.
    grid.triangles[2].vertex[1] = 4900; // no such point, on the line after the flipped cell's
    grid.FlipCellDiagonal(30, 0);       // on lines after that one
    std::vector<std::string> lines = LinesOf(FileOf(grid));
    lines[4961] = "1,2"; // the flipped cell's second triangle, too short
    WriteBytes("bad.dat", Joined(lines) + "1,2,3\r\n");
    EXPECT_THAT(RunTool(1, {"info", "bad.dat"}),
                ContainsRegex(
                    "no grid has 14423 lines; the program's 70 x 70 grid needs 14422\n  "
                    "loads whole:     no, the program refuses it for line 4903\n  heights:         "
                    "z from -0.5000 to 0.2500\n  drawn triangles: 13 of 9522\n  flipped "
                    "cells:   1 of 4761 against a fresh grid\n  problems:        7\nline 7: "
                    ".*\nline 72: .* run SW-NE\nline 73: .* run SE-NW; a right click cannot "
                    "flip it\nline 4903: triangle 2 has the corner 4900, .*\nline 4907: "
                    ".*\nline 4962: triangle 61 has 2 fields, .*\nline 14423: 1 line .*\n$"));
    EXPECT_THAT(RunTool(1, {"export", "bad.dat", "--gltf", "out"}),
                HasSubstr("the program refuses it for line 4903;"));
}

TEST(HeightMapFiles, ExportThenImportKeepsEveryHeight)
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
        const std::vector<int> read = Imported(HeightMapPng(grid), {});
        for (size_t k = 0; k < units.size(); ++k)
            ASSERT_LE(std::abs(read[k] - units[k]), span <= 65535 ? 0 : span / 131070.0 + 1)
                << span << " point " << k;
    }
}

TEST(HeightMapFiles, ImportResamplesAnyGreyImageCornerToCorner)
{
    ScratchDirectory scratch;
    const auto plane = [](int x, int y) { return 64 * x + 32 * y; };
    const std::vector<int> heights = Imported(Png(513, 513, 16, 0, plane));
    // A plane comes through bilinear resampling exactly; image rows run from the north.
    for (int k = 0; k < 4900; ++k)
        ASSERT_NEAR(heights[k], plane(k % 70, 69 - k / 70) * 512 / 69.0 / 65535 * -10000, 1) << k;
    // Alpha is ignored; 8 bits span the same range.
    EXPECT_EQ(Imported(Png(513, 513, 16, 4, plane)), heights);
    const auto steps = [](int x, int) { return x * 3; };
    EXPECT_EQ(Imported(Png(70, 70, 8, 0, steps))[69], std::lround(207 / 255.0 * -10000));
    // Image data may run on 16 bytes a row past the rows' whole bytes (one for 1 bit or 8 here).
    for (int depth : {1, 8})
        EXPECT_EQ(Imported(EncodePng({1, 1, depth, 0, std::string(16, '\xFF')}, {}))[0], -10000);
}

TEST(HeightMapFiles, ImportRefusesEveryUnsuitableImageWithoutWriting)
{
    ScratchDirectory scratch;
    const std::string good = EncodePng({1, 1, 8, 0, "\xFF"}, {});
    const std::string text = EncodePng({1, 1, 8, 0, "\xFF"}, {{"a", "b"}}).substr(33, 15);
    const std::string zeros(8193 * 3, '\0');
    const std::tuple<std::string, int, const char*> cases[] = {
        {"", 1, "in.png is not a PNG file"},
        {good.substr(0, 8) + text + good.substr(8), 1, "its tEXt chunk is not what it should be"},
        {EncodePng({1, 1, 1, 0, zeros.substr(0, 17)}, {}), 1, "far more than the image"},
        {EncodePng({1, 1, 8, 0, zeros.substr(0, 17)}, {}), 1, "far more than the image"},
        {good.substr(0, good.size() - 20), 1, "is damaged: it ends inside a chunk"},
        {good.substr(0, 45) + char(good[45] ^ 0x55) + good.substr(46), 1, "IDAT chunk is not"},
        {EncodePng({10, 10, 8, 2, zeros.substr(0, 300)}, {}), 1, "is not a greyscale PNG"},
        {EncodePng({8193, 1, 8, 0, zeros.substr(0, 8193)}, {}), 1, "too large: 8193 x 1"},
        // Among other text chunks, only the tool's own one holds the range.
        {EncodePng({1, 1, 8, 0, "\xFF"},
                   {{"Comment", "x"}, {kRangeKeyword, "white=0.0001 black=-1"}}),
         1, "'white=0.0001 black=-1' is damaged or above 0"},
        {EncodePng({1, 1, 8, 0, "\xFF"}, {{"Tessmere z ranges", "white=-1 black=0"}}), 2,
         "in.png has no stored height range"},
    };
    for (const auto& [bytes, code, says] : cases)
    {
        WriteBytes("in.png", bytes);
        EXPECT_THAT(RunTool(code, {"import", "in.png", "--out", "out.dat"}), HasSubstr(says));
    }
    EXPECT_FALSE(fs::exists("out.dat"));
}

TEST(Meshes, ObjAndGlbFaceUpTheGlbOnItsAxesTexturedWithTheProgramsBitmap)
{
    const std::string obj = ObjText(SculptedGrid(), false);
    const std::string drawnObj = ObjText(SculptedGrid(), true);
    // The last vertex, the first texture coordinates; the last, the first faces.
    EXPECT_THAT(obj, HasSubstr("\nv 1.0000 1.0000 0.5000\nvt 0.000000 0.000000\nvt 0.014493 0"));
    EXPECT_THAT(obj, HasSubstr("\nvt 1.000000 1.000000\nf 1/1 2/2 71/71\nf 2/2 72/72 71/71\n"));
    EXPECT_EQ(std::count(drawnObj.begin(), drawnObj.end(), '\n'), 1 + 4900 + 4900 + 9);

    // A plane rising east and north, one cell flipped: every normal is the plane's.
    const double east = 0.25, north = 0.125, length = std::hypot(east, 1.0, north);
    CGrid grid = FreshGrid(kProgramGridSize);
    for (tagPOINT4& point : grid.points)
        point.z = static_cast<float>(-(point.x + 1) * east - (point.y + 1) * north);
    grid.FlipCellDiagonal(75, 0);
    const GltfMesh mesh = MakeGltfMesh(grid, false);
    // Elevation -z up along +Y, north toward -Z; the bitmap's top row at the north edge.
    for (size_t k = 0; k < grid.points.size(); ++k)
    {
        const tagPOINT4& point = grid.points[k];
        const double expected[] = {point.x,           -point.z,         -point.y,
                                   -east / length,    1 / length,       north / length,
                                   (point.x + 1) / 2, (1 - point.y) / 2};
        const float* at[] = {&mesh.positions[3 * k], &mesh.normals[3 * k],
                             &mesh.textureCoordinates[2 * k]};
        for (int value = 0; value < 8; ++value)
            ASSERT_NEAR(at[value / 3][value % 3], expected[value], 1e-5) << k << ", " << value;
    }
    // Each of the model's triangles, its corners turning counter-clockwise seen from above.
    for (size_t t = 0; t < grid.triangles.size(); ++t)
    {
        const unsigned* corner = &mesh.indices.at(3 * t);
        EXPECT_TRUE(std::is_permutation(corner, corner + 3, grid.triangles[t].vertex)) << t;
        const auto along = [&](int k, int axis) {
            return mesh.positions[3 * corner[k] + axis] - mesh.positions[3 * corner[0] + axis];
        };
        EXPECT_GT(along(1, 2) * along(2, 0) - along(1, 0) * along(2, 2), 0) << "triangle " << t;
    }

    // The image within is the bitmap file's pixels, whose rows run from the bottom, blue first.
    const std::string glb = GlbFile(grid, false), bmp = ReadBytes(TESSMERE_BITMAP);
    const size_t png = glb.find("\x89PNG");
    int width = 0, height = 0, row = 512 * 3;
    std::unique_ptr<stbi_uc, void (*)(void*)> image(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(&glb.at(png)),
                              static_cast<int>(glb.size() - png), &width, &height, nullptr, 3),
        stbi_image_free);
    ASSERT_EQ(width * height, 512 * 512);
    uint32_t pixels = 0;
    std::memcpy(&pixels, &bmp.at(10), sizeof pixels);
    for (int at = 0; at < 512 * row; ++at)
        ASSERT_EQ(image.get()[at],
                  static_cast<unsigned char>(
                      bmp.at(pixels + (511 - at / row) * row + at % row / 3 * 3 + 2 - at % 3)))
            << "row " << at / row << ", byte " << at % row;
}

#ifdef _WIN32
TEST(WindowsFiles, AReplacementKeepsTheFileHiddenAndTakesItsPlaceFromAScanner)
{
    ScratchDirectory scratch;
    SaveModel(SculptedGrid(), "model.dat");
    WriteBytes("out.obj", "old");
    SetFileAttributesA("out.obj", FILE_ATTRIBUTE_HIDDEN);
    // As virus scanners and indexers hold a file, sharing deletion too: replaced at once.
    const HANDLE scanned =
        CreateFileA("out.obj", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(RunTool(0, {"export", "model.dat", "--png", "out.obj", "--force"}), "");
    CloseHandle(scanned);
    EXPECT_EQ(ReadBytes("out.obj").substr(1, 3), "PNG");
    EXPECT_EQ(GetFileAttributesA("out.obj") & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));
}

TEST(WindowsConsole, TheToolLeavesTheConsolesOutputCodePageAsItFoundIt)
{
    // NOTE: under Wine, output to a file comes with a console of no code page; the tool shares it.
    if (GetConsoleOutputCP() == 0 && FreeConsole())
        AllocConsole();
    ASSERT_TRUE(SetConsoleOutputCP(932));
    const char* const runs[][2] = {{"--version"}, {"info", "no-such.dat"}, {"no-such-command"}};
    for (const auto& args : runs)
    {
        _spawnl(_P_WAIT, TESSMERE_TOOL, "tessmere-model", args[0], args[1], nullptr);
        EXPECT_EQ(GetConsoleOutputCP(), 932u) << args[0];
    }
}
#endif
