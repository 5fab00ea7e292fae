#include "ModelFile.h"
#include "Grid.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "text after the last CR LF";
    return lines;
}

std::string FileOf(const CGrid& grid)
{
    std::ostringstream out;
    EXPECT_TRUE(WriteModel(out, grid));
    return out.str();
}

std::string Join(const std::vector<std::string>& lines, const char* end)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

class ModelFile : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ClearReportedFailures();
        grid.Create(70);
    }

    ScratchDirectory scratch;
    CGrid grid;
};

// A grid with every kind of field changed: heights, flips, meaningless flags and w.
CGrid Sculpted(unsigned seed)
{
    CGrid grid;
    grid.Create(70);
    std::mt19937 random(seed);
    // Heights at the file's precision, so a loaded copy compares equal.
    for (int i = 0; i < 600; ++i)
        grid.points[random() % 4900].z = ScaleFromFile(-static_cast<int>(random() % 8000));
    for (int i = 0; i < 200; ++i)
        grid.FlipCellDiagonal(static_cast<int>(random() % 4900), 0);
    grid.points[12].flags[0] = 255;
    grid.points[13].flags[3] = 17;
    grid.points[14].w = ScaleFromFile(-173);
    return grid;
}
} // namespace

TEST_F(ModelFile, FreshGridWritesTheKnownLines)
{
    ASSERT_TRUE(SaveModel(grid));
    const std::vector<std::string> lines = Lines(ReadBytes("model.dat"));
    ASSERT_EQ(lines.size(), 14422u);
    EXPECT_EQ(lines[0], "0,1,0,0,-10000,-10000,0,0");
    EXPECT_EQ(lines[1], "0,0,0,0,-9710,-10000,0,0");
    EXPECT_EQ(lines[2], "0,1,0,0,-9420,-10000,0,0");
    EXPECT_EQ(lines[34], "0,1,0,0,-144,-10000,0,0");
    EXPECT_EQ(lines[35], "0,0,0,0,144,-10000,0,0");
    EXPECT_EQ(lines[69], "0,0,0,0,10000,-10000,0,0");
    EXPECT_EQ(lines[70], "0,0,0,0,-10000,-9710,0,0");
    EXPECT_EQ(lines[71], "0,1,0,0,-9710,-9710,0,0");
    EXPECT_EQ(lines[4899], "0,0,0,0,10000,10000,0,0");
    EXPECT_EQ(lines[4900], "0,70,71");
    EXPECT_EQ(lines[4901], "1,0,71");
    EXPECT_EQ(lines[4902], "1,71,2");
    EXPECT_EQ(lines[4903], "2,71,72");
    EXPECT_EQ(lines[14420], "4828,4898,4899");
    EXPECT_EQ(lines[14421], "4829,4828,4899");
}

TEST_F(ModelFile, TheLongestFieldsAreWrittenWhole)
{
    tagPOINT4& p = grid.points[0];
    p = {{255, 255, 255, 255}, 1e30f, -1e30f, -1e30f, 1e30f};
    grid.triangles[0] = {{INT_MIN, INT_MAX, -1}};
    const std::vector<std::string> lines = Lines(FileOf(grid));
    ASSERT_EQ(lines.size(), 14422u);
    EXPECT_EQ(lines[0], "255,255,255,255,2147483647,-2147483648,-2147483648,2147483647");
    EXPECT_EQ(lines[1], "0,0,0,0,-9710,-10000,0,0");
    EXPECT_EQ(lines[4900], "-2147483648,2147483647,-1");
    EXPECT_EQ(lines[4901], "1,0,71");
}

TEST_F(ModelFile, FreshGridWritesEveryColumnAndRowValue)
{
    const int left[35] = {-10000, -9710, -9420, -9130, -8840, -8550, -8260, -7971, -7681,
                          -7391,  -7101, -6811, -6521, -6231, -5942, -5652, -5362, -5072,
                          -4782,  -4492, -4202, -3913, -3623, -3333, -3043, -2753, -2463,
                          -2173,  -1884, -1594, -1304, -1014, -724,  -434,  -144};
    for (int c = 0; c < 70; ++c)
    {
        const int expected = c < 35 ? left[c] : -left[69 - c];
        EXPECT_EQ(ScaleToFile(grid.points[c].x), expected) << "column " << c;
        EXPECT_EQ(ScaleToFile(grid.points[c * 70].y), expected) << "row " << c;
    }
}

TEST_F(ModelFile, SaveLoadSaveWritesTheSameBytes)
{
    const CGrid sculpted = Sculpted(7);
    ASSERT_TRUE(SaveModel(sculpted));
    const std::string first = ReadBytes("model.dat");
    ASSERT_TRUE(LoadModel(grid));
    ASSERT_TRUE(SaveModel(grid));
    EXPECT_EQ(ReadBytes("model.dat"), first);
    for (size_t t = 0; t < grid.triangles.size(); ++t)
        ASSERT_EQ(grid.triangles[t].vertex[2], sculpted.triangles[t].vertex[2]);
    EXPECT_EQ(grid.points[12].flags[0], 255);
    EXPECT_EQ(grid.points[13].flags[3], 17);
    EXPECT_TRUE(ReportedFailures().empty());
}

TEST_F(ModelFile, ValuesThatTruncationWouldMoveComeBackUnchanged)
{
    for (int n : {200, -200, 1, -1, 9999, -9419, 123457, -1999999, 0})
    {
        EXPECT_EQ(ScaleToFile(ScaleFromFile(n)), n) << n;
    }
    EXPECT_EQ(ScaleFromFile(200), 0.0199999996f);
}

TEST_F(ModelFile, FieldsOutsideThe32BitRangeSaturate)
{
    EXPECT_EQ(ParseField("2147483647"), INT_MAX);
    EXPECT_EQ(ParseField("2147483648"), INT_MAX);
    EXPECT_EQ(ParseField("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseField("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseField("999999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ScaleToFile(1e30f), INT_MAX);
    EXPECT_EQ(ScaleToFile(-1e30f), INT_MIN);
    EXPECT_EQ(ScaleToFile(-214749.0f), INT_MIN);
    EXPECT_EQ(ScaleToFile(214749.0f), INT_MAX);
    EXPECT_EQ(ScaleToFile(std::numeric_limits<float>::infinity()), INT_MAX);
    EXPECT_EQ(ScaleToFile(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST_F(ModelFile, FieldsAreReadLeniently)
{
    EXPECT_EQ(ParseField(" 12"), 12);
    EXPECT_EQ(ParseField("\t\v\f\r\n12"), 12);
    EXPECT_EQ(ParseField("12abc"), 12);
    EXPECT_EQ(ParseField(""), 0);
    EXPECT_EQ(ParseField("abc"), 0);
    EXPECT_EQ(ParseField("-"), 0);
    EXPECT_EQ(ParseField("+7"), 7);
    EXPECT_EQ(ParseField("-0042x"), -42);
    EXPECT_EQ(ParseField("1 2"), 1);
}

TEST_F(ModelFile, FlagsKeepTheirLowEightBitsAndTheRestOfTheLineIsRead)
{
    std::vector<std::string> lines = Lines(FileOf(grid));
    lines[0] = "300,7, 12,-1,12abc,+7,-,abc";
    lines[1] = "256,0,0,0,1,2,3,4,99";
    WriteBytes("model.dat", Join(lines, "\r\n"));
    ASSERT_TRUE(LoadModel(grid));
    EXPECT_EQ(grid.points[0].flags[0], 44);
    EXPECT_EQ(grid.points[0].flags[1], 7);
    EXPECT_EQ(grid.points[0].flags[2], 12);
    EXPECT_EQ(grid.points[0].flags[3], 255);
    EXPECT_EQ(grid.points[0].x, ScaleFromFile(12));
    EXPECT_EQ(grid.points[0].y, ScaleFromFile(7));
    EXPECT_EQ(grid.points[0].z, 0.0f);
    EXPECT_EQ(grid.points[0].w, 0.0f);
    EXPECT_EQ(grid.points[1].flags[0], 0);
    EXPECT_EQ(grid.points[1].w, ScaleFromFile(4));
    grid.FlipCellDiagonal(0, 0);
    EXPECT_EQ(grid.points[0].flags[1], 7) << "a foreign flag blocks the toggle";
}

TEST_F(ModelFile, LineFeedOnlyFilesAndAMissingLastBreakReadAlike)
{
    const CGrid sculpted = Sculpted(11);
    std::vector<std::string> lines = Lines(FileOf(sculpted));
    std::string lfOnly = Join(lines, "\n");
    lfOnly.pop_back();
    WriteBytes("model.dat", lfOnly);
    ASSERT_TRUE(LoadModel(grid));
    EXPECT_EQ(FileOf(grid), FileOf(sculpted));
}

TEST_F(ModelFile, LinesAfterTheLastTriangleAreIgnored)
{
    WriteBytes("model.dat", FileOf(Sculpted(3)) + "1,2,3\r\ngarbage\r\n");
    ASSERT_TRUE(LoadModel(grid));
    EXPECT_EQ(FileOf(grid), FileOf(Sculpted(3)));
}

TEST_F(ModelFile, PointLinesAloneUpdateThePointsAndReturnFalse)
{
    const CGrid sculpted = Sculpted(5);
    std::vector<std::string> lines = Lines(FileOf(sculpted));
    lines.resize(4900);
    WriteBytes("model.dat", Join(lines, "\r\n"));
    EXPECT_FALSE(LoadModel(grid));
    EXPECT_TRUE(ReportedFailures().empty());
    for (size_t i = 0; i < 4900; ++i)
        ASSERT_EQ(grid.points[i].z, sculpted.points[i].z);
    CGrid fresh;
    fresh.Create(70);
    for (size_t t = 0; t < grid.triangles.size(); ++t)
        ASSERT_EQ(grid.triangles[t].vertex[1], fresh.triangles[t].vertex[1]);
}

TEST_F(ModelFile, EmptyFileChangesNothingAndSaysNothing)
{
    WriteBytes("model.dat", "");
    EXPECT_FALSE(LoadModel(grid));
    EXPECT_TRUE(ReportedFailures().empty());
    EXPECT_EQ(FileOf(grid), FileOf(CGrid(grid)));
    CGrid fresh;
    fresh.Create(70);
    EXPECT_EQ(FileOf(grid), FileOf(fresh));
}

TEST_F(ModelFile, MissingFileIsReportedAndLeavesTheGridAlone)
{
    grid.points[40].z = -0.5f;
    EXPECT_FALSE(LoadModel(grid));
    ASSERT_EQ(ReportedFailures().size(), 1u);
    EXPECT_EQ(ReportedFailures()[0],
              "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x83\x49\x81\x5B\x83\x76"
              "\x83\x93\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
              "\x81\x42");
    EXPECT_EQ(grid.points[40].z, -0.5f);
    fs::create_directory("model.dat");
    EXPECT_FALSE(LoadModel(grid));
    EXPECT_EQ(ReportedFailures().size(), 2u);
}

TEST_F(ModelFile, ShortOrBadLinesStopTheLoadWhereTheyStand)
{
    const CGrid sculpted = Sculpted(9);
    const std::vector<std::string> good = Lines(FileOf(sculpted));
    struct Case
    {
        size_t line;
        const char* text;
    };
    for (const Case& bad :
         {Case{100, ""}, Case{100, "0,0,0,0,1,2,3"}, Case{5000, "1,2"}, Case{5000, "-1,0,71"},
          Case{5000, "0,4900,71"}, Case{5000, "0,70,2147483648"}})
    {
        CGrid target;
        target.Create(70);
        std::vector<std::string> lines = good;
        lines[bad.line] = bad.text;
        WriteBytes("model.dat", Join(lines, "\r\n"));
        EXPECT_FALSE(LoadModel(target)) << bad.text;
        std::istringstream in(Join(lines, "\r\n"));
        CGrid again;
        again.Create(70);
        EXPECT_EQ(ReadModel(in, again).stopLine, static_cast<long>(bad.line + 1));
        const size_t appliedPoints = std::min<size_t>(bad.line, 4900);
        for (size_t i = 0; i < 4900; ++i)
            ASSERT_EQ(target.points[i].z, i < appliedPoints ? sculpted.points[i].z : 0.0f) << i;
        for (const tagTRIANGLE3& t : target.triangles)
            for (int v : t.vertex)
                ASSERT_TRUE(v >= 0 && v < 4900);
    }
    EXPECT_TRUE(ReportedFailures().empty());
}

TEST_F(ModelFile, SaveReplacesALongerFileEntirely)
{
    WriteBytes("model.dat", std::string(2000000, 'x'));
    ASSERT_TRUE(SaveModel(grid));
    EXPECT_EQ(ReadBytes("model.dat"), FileOf(grid));
    EXPECT_FALSE(fs::exists("model.dat.tmp"));
}

TEST_F(ModelFile, SaveNeverWritesThroughALeftoverAtTheTemporaryName)
{
    WriteBytes("elsewhere.txt", "keep me");
    std::error_code ec;
    fs::create_symlink("elsewhere.txt", "model.dat.tmp", ec);
    if (ec)
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_TRUE(SaveModel(grid));
    EXPECT_EQ(ReadBytes("elsewhere.txt"), "keep me");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status("model.dat")));
    EXPECT_TRUE(ReadBytes("model.dat") == FileOf(grid));
}

TEST_F(ModelFile, FailedSavesReportAndKeepTheOldFile)
{
    const std::string old = FileOf(Sculpted(1));
    WriteBytes("model.dat", old);
    fs::permissions("model.dat", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(SaveModel(grid));
    EXPECT_EQ(ReadBytes("model.dat"), old);
    fs::create_directory("folder");
    fs::create_directory("folder/model.dat");
    EXPECT_FALSE(SaveModel(grid, "folder/model.dat"));
    EXPECT_TRUE(fs::is_directory("folder/model.dat"));
    EXPECT_FALSE(SaveModel(grid, "no-such-folder/model.dat"));
    ASSERT_EQ(ReportedFailures().size(), 3u);
    for (const std::string& message : ReportedFailures())
        EXPECT_EQ(message, "\x83\x7D\x83\x62\x83\x76\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC"
                           "\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xC9\x8E\xB8\x94\x73\x82\xB5"
                           "\x82\xDC\x82\xB5\x82\xBD\x81\x42");
    EXPECT_FALSE(fs::exists("model.dat.tmp"));
}

TEST(SplitLine, GivesOneFieldMoreThanDelimiters)
{
    using Fields = std::vector<std::string>;
    EXPECT_EQ(Split("a,b", ","), (Fields{"a", "b"}));
    EXPECT_EQ(Split(",", ","), (Fields{"", ""}));
    EXPECT_EQ(Split("1,2,3", ","), (Fields{"1", "2", "3"}));
    EXPECT_EQ(Split("", ","), (Fields{""}));
    EXPECT_EQ(Split("5", ","), (Fields{"5"}));
    EXPECT_EQ(Split("1,,3,", ","), (Fields{"1", "", "3", ""}));
    EXPECT_EQ(Split("1::2:3::", "::"), (Fields{"1", "2:3", ""}));
}
