#include "ModelFile.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <limits>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

TEST(ModelFileWrite, FreshGridsWriteTheKnownLines)
{
    CGrid grid = FreshGrid(3);
    grid.points[4] = {{1, 2, 3, 4}, 0.5f, 0.5f, -0.5f, 0.5f};
    grid.Create(70);
    // Creating again rebuilds every field; the program's fresh grid is among the fuzzer's seeds.
    EXPECT_TRUE(SameFile(ReadBytes(TESSMERE_FUZZ_FOLDER "/corpus/fresh-70"), FileOf(grid)));
}

TEST(ModelFileScale, CoordinatesGoToTheFileWithoutDriftAndSaturate)
{
    // Truncated, 0.02f would go out as 199 and drift on every save.
    EXPECT_EQ(ScaleToFile(0.02f), 200);
    EXPECT_EQ(ScaleToFile(-0.02f), -200);
    EXPECT_EQ(ScaleToFile(214749.0f), INT_MAX);
    EXPECT_EQ(ScaleToFile(-1e30f), INT_MIN);
    EXPECT_EQ(ScaleToFile(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ModelFileRead, FieldsAndLinesAreReadLeniently)
{
    EXPECT_EQ(ParseField("\t\v\f\r\n12"), 12);
    EXPECT_EQ(ParseField("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseField(std::string(30, '9')), INT_MAX);
    // Flags keep their low 8 bits; a 9th field and lines past the end are ignored; LF ends lines.
    std::vector<std::string> lines = LinesOf(FileOf(FreshGrid(3)));
    lines[0] = "300,7, 12,-1,12abc,+7,-,abc";
    lines[1] = "256,0,0,0,1,2,3,4,99";
    std::string file = Joined(lines) + "1,2,3\r\ngarbage";
    file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
    CGrid grid = FreshGrid(3);
    std::istringstream in(file);
    EXPECT_EQ(ReadModel(in, grid).stopLine, 0);
    lines[0] = "44,7,12,255,12,7,0,0";
    lines[1] = "0,0,0,0,1,2,3,4";
    EXPECT_EQ(FileOf(grid), Joined(lines));
}

TEST(ModelFileRead, ADamagedFileIsRefusedWholeAndOneEndingEarlyGivesWhatItHolds)
{
    const ScratchDirectory scratch;
    std::vector<std::string> good(9, "9,0,9,9,1,2,-5,7");
    good.resize(17, "8,7,6");
    CGrid before = FreshGrid(3);
    before.points[4].z = -0.5f;
    const std::vector<std::string> kept = LinesOf(FileOf(before));
    // The line the read stops at, and its text; none: the file ends before it.
    const std::pair<long, const char*> cases[] = {
        {1, nullptr},   {3, ""},     {3, "0,0,0,0,1,2,3"},  {10, nullptr},
        {11, "-1,0,4"}, {16, "1,2"}, {17, "0,4,2147483648"}};
    for (const auto& [stop, text] : cases)
    {
        std::vector<std::string> lines = good;
        lines.resize(text ? 17 : stop - 1);
        if (text)
            lines[stop - 1] = text;
        WriteBytes("model.dat", Joined(lines));
        ReportedFailures().clear();
        CGrid grid = before;
        EXPECT_FALSE(LoadModel(grid, "model.dat")) << stop;
        EXPECT_EQ(ReportedFailures(), std::vector(text ? 1 : 0, ModelFailure::FileDamaged)) << stop;
        const std::vector<std::string> loaded = LinesOf(FileOf(grid));
        for (long i = 0; i < 17; ++i)
            EXPECT_EQ(loaded[i], !text && i + 1 < stop ? good[i] : kept[i]) << stop;
    }
}

TEST(ModelFileOnDisk, WhatCannotBeReadOrWrittenIsReportedAndLeftAsItWas)
{
    const ScratchDirectory scratch;
    ReportedFailures().clear();
    CGrid grid = FreshGrid(3);
    fs::create_directories("folder/model.dat");
    // A file larger than any model is not read; one at the limit is, and is no model.
    WriteBytes("huge.dat", std::string(kMaxModelFileBytes + 1, '\0'));
    WriteBytes("limit.dat", std::string(kMaxModelFileBytes, '\0'));
    for (const char* path : {"model.dat", "folder/model.dat", "huge.dat", "limit.dat"})
        EXPECT_FALSE(LoadModel(grid, path)) << path;
    WriteBytes("model.dat", "old");
    fs::permissions("model.dat", fs::perms::owner_read);
    for (const char* path : {"model.dat", "folder/model.dat", "no-such-folder/model.dat"})
        EXPECT_FALSE(SaveModel(grid, path)) << path;
    EXPECT_EQ(ReadBytes("model.dat"), "old");
    const ModelFailure load = ModelFailure::LoadFailed, save = ModelFailure::SaveFailed;
    EXPECT_EQ(
        ReportedFailures(),
        (std::vector<ModelFailure>{load, load, load, ModelFailure::FileDamaged, save, save, save}));
}
