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

namespace fs = std::filesystem;

namespace
{
// The fresh 3 grid's file: x and y of -1, 0 and 1, checkerboard diagonals.
const char* const kFresh3 =
    "0,1,0,0,-10000,-10000,0,0\r\n0,0,0,0,0,-10000,0,0\r\n0,0,0,0,10000,-10000,0,0\r\n"
    "0,0,0,0,-10000,0,0,0\r\n0,1,0,0,0,0,0,0\r\n0,0,0,0,10000,0,0,0\r\n"
    "0,0,0,0,-10000,10000,0,0\r\n0,0,0,0,0,10000,0,0\r\n0,0,0,0,10000,10000,0,0\r\n"
    "0,3,4\r\n1,0,4\r\n1,4,2\r\n2,4,5\r\n3,6,4\r\n4,6,7\r\n4,7,8\r\n5,4,8\r\n";

} // namespace

TEST(ModelFileWrite, FreshGridsWriteTheKnownLines)
{
    CGrid grid = FreshGrid(70);
    grid.points[4] = {{1, 2, 3, 4}, 0.5f, 0.5f, -0.5f, 0.5f};
    grid.Create(3);
    EXPECT_EQ(FileOf(grid), kFresh3) << "creating again rebuilds every field";
    EXPECT_EQ(LinesOf(FileOf(FreshGrid(2))).size(), 6u) << "the smallest grid";
    grid.Create(1);
    EXPECT_EQ(grid.size, 0);
    EXPECT_EQ(FileOf(grid), "");
    const std::vector<std::string> lines = LinesOf(FileOf(FreshGrid(70)));
    ASSERT_EQ(lines.size(), 14422u);
    EXPECT_EQ(lines[7], "0,0,0,0,-7971,-10000,0,0");
}

TEST(ModelFileScale, CoordinatesGoToTheFileWithoutDriftAndSaturate)
{
    // Truncated, 0.02f would go out as 199 and drift on every save; from 1024 up several integers
    // read back as the same float, and the truncated one is kept.
    EXPECT_EQ(ScaleToFile(0.02f), 200);
    EXPECT_EQ(ScaleToFile(-0.02f), -200);
    EXPECT_EQ(ScaleToFile(1024.0001f), 10240001);
    EXPECT_EQ(ScaleToFile(1024.00024f), 10240002);
    EXPECT_EQ(ScaleToFile(-1024.00037f), -10240004);
    EXPECT_EQ(ScaleToFile(-2000.5f), -20005000);
    EXPECT_EQ(ScaleToFile(123456.7f), 1234567031);
    EXPECT_EQ(ScaleToFile(214749.0f), INT_MAX);
    EXPECT_EQ(ScaleToFile(-1e30f), INT_MIN);
    EXPECT_EQ(ScaleToFile(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ModelFileRead, FieldsAndLinesAreReadLeniently)
{
    EXPECT_EQ(ParseField("\t\v\f\r\n12"), 12);
    EXPECT_EQ(ParseField("-0042x"), -42);
    EXPECT_EQ(ParseField("2147483648"), INT_MAX);
    EXPECT_EQ(ParseField("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseField(std::string(30, '9')), INT_MAX);
    EXPECT_EQ(Split("1::2:3::", "::"), (std::vector<std::string>{"1", "2:3", ""}));
    // Flags keep their low 8 bits; a 9th field and lines past the end are ignored; LF ends lines.
    std::vector<std::string> lines = LinesOf(kFresh3);
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

TEST(ModelFileRead, AShortOrBadLineStopsTheReadWhereItStands)
{
    std::vector<std::string> good(9, "9,0,9,9,1,2,-5,7");
    good.resize(17, "8,7,6");
    const std::vector<std::string> fresh = LinesOf(kFresh3);
    // The 1-based line the read stops at and its text, none where the file ends before it; and
    // what the check says of it.
    const struct
    {
        long stop;
        const char* text;
        ModelLineFault fault;
        long long value;
    } cases[] = {{1, nullptr, ModelLineFault::MissingLines, 17},
                 {3, "", ModelLineFault::ShortLine, 1},
                 {3, "0,0,0,0,1,2,3", ModelLineFault::ShortLine, 7},
                 {10, nullptr, ModelLineFault::MissingLines, 8},
                 {11, "1,2", ModelLineFault::ShortLine, 2},
                 {11, "-1,0,4", ModelLineFault::IndexOutOfRange, -1},
                 {11, "0,9,4", ModelLineFault::IndexOutOfRange, 9},
                 {17, "0,4,2147483648", ModelLineFault::IndexOutOfRange, 2147483647}};
    for (const auto& [stop, text, fault, value] : cases)
    {
        std::vector<std::string> lines = good;
        lines.resize(text ? 17 : stop - 1);
        if (text)
            lines[stop - 1] = text;
        CGrid grid = FreshGrid(3);
        std::istringstream in(Joined(lines));
        const ModelReadResult result = ReadModel(in, grid);
        EXPECT_EQ(std::make_pair(result.complete, result.stopLine), std::make_pair(false, stop));
        // The check reads on past a bad line, and counts the lines a short file lacks.
        CGrid checked = FreshGrid(3);
        std::istringstream again(Joined(lines));
        const ModelLineProblem last = CheckModel(again, checked).back();
        EXPECT_EQ(last.line, stop);
        EXPECT_EQ(last.fault, fault) << "stop " << stop;
        EXPECT_EQ(last.value, value) << "stop " << stop;
        lines = LinesOf(FileOf(grid));
        for (long i = 0; i < 17; ++i)
            EXPECT_EQ(lines[i], i + 1 < stop ? good[i] : fresh[i]) << "stop " << stop;
    }
}

TEST(ModelFileOnDisk, SaveThenLoadKeepsEveryField)
{
    const ScratchDirectory scratch;
    WriteBytes("model.dat", std::string(300000, 'x'));
    CGrid grid = FreshGrid(70);
    grid.points[1] = {{255, 1, 9, 17}, 0.5f, -0.25f, -0.0012f, -0.0173f};
    ASSERT_TRUE(SaveModel(grid));
    const std::string saved = ReadBytes("model.dat");
    EXPECT_EQ(LinesOf(saved)[1], "255,1,9,17,5000,-2500,-12,-173");
    grid = FreshGrid(70);
    ASSERT_TRUE(LoadModel(grid));
    EXPECT_TRUE(FileOf(grid) == saved) << "a longer old file must not show through";
}

TEST(ModelFileOnDisk, WhatCannotBeReadOrWrittenIsReportedAndLeftAsItWas)
{
    const ScratchDirectory scratch;
    ReportedFailures().clear();
    CGrid grid = FreshGrid(3);
    EXPECT_FALSE(LoadModel(grid));
    fs::create_directories("folder/model.dat");
    EXPECT_FALSE(LoadModel(grid, "folder/model.dat"));
    WriteBytes("model.dat", "old");
    fs::permissions("model.dat", fs::perms::owner_read);
    EXPECT_FALSE(SaveModel(grid));
    EXPECT_FALSE(SaveModel(grid, "folder/model.dat"));
    EXPECT_FALSE(SaveModel(grid, "no-such-folder/model.dat"));
    EXPECT_EQ(ReadBytes("model.dat"), "old");
    const ModelFailure load = ModelFailure::LoadFailed, save = ModelFailure::SaveFailed;
    EXPECT_EQ(ReportedFailures(), (std::vector<ModelFailure>{load, load, save, save, save}));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2)
        << "no temporary is left behind";
}

// Inputs that once broke the reader, and the seeds: each as the program's model file, behind a
// size byte of 0, and as it stands, as the fuzzer saves the inputs it finds.
TEST(ModelFileRead, EveryCommittedFuzzInputReadsSafely)
{
    for (const char* folder : {"/crashes", "/corpus"})
        for (const auto& entry : fs::directory_iterator(TESSMERE_FUZZ_FOLDER + std::string(folder)))
        {
            const std::string bytes = ReadBytes(entry.path());
            EXPECT_EQ(ReadInvariantBreach(std::string(1, '\0') + bytes), "") << entry.path();
            EXPECT_EQ(ReadInvariantBreach(bytes), "") << entry.path();
        }
}
