#include "FailureReport.h"
#include "ModelFile.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace
{
class Commands : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ClearReportedFailures();
        WriteBytes("model.dat", ModelBytes(SculptedGrid(6)));
    }

    ScratchDirectory scratch;
};

bool Says(const ToolRun& run, const std::string& text)
{
    return run.err.find(text) != std::string::npos;
}
} // namespace

TEST_F(Commands, HelpNamesEveryCommand)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"export", "-h"}, {"info", "x", "--help"}})
    {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.code, 0);
        for (const char* name : {"info FILE", "--obj OUT", "--png OUT", "import PNG --out FILE"})
            EXPECT_NE(run.out.find(name), std::string::npos) << name;
        EXPECT_TRUE(run.err.empty());
    }
}

TEST_F(Commands, BadUsageExitsWithTwoAndTouchesNothing)
{
    const struct
    {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{}, "no command given"},
        {{"show", "model.dat"}, "unknown command 'show'"},
        {{"info"}, "info needs a file"},
        {{"info", "model.dat", "other.dat"}, "one file for info"},
        {{"info", "model.dat", "--force"}, "'--force' is no option of info"},
        {{"export", "model.dat"}, "one of --obj OUT and --png OUT"},
        {{"export", "model.dat", "--obj", "a.obj", "--png", "a.png"}, "one of --obj"},
        {{"export", "model.dat", "--obj"}, "--obj needs a value"},
        {{"export", "model.dat", "--obj", "a", "--obj", "b"}, "--obj given twice"},
        {{"export", "model.dat", "--png", "a.png", "--drawn-only"}, "--obj only"},
        {{"export", "model.dat", "--out", "x"}, "'--out' is no option of export"},
        {{"import", "in.png"}, "import needs --out FILE"},
        {{"import", "in.png", "--out", "x", "--white", "-1"}, "go together"},
        {{"import", "in.png", "--out", "x", "--white", "deep", "--black", "0"}, "needs a number"},
        {{"import", "in.png", "--out", "x", "--white", "-1", "--black", "0.5"}, "above height 0"},
        {{"import", "in.png", "--out", "x", "--white", "-1", "--black", "1e9"}, "needs a number"},
    };
    for (const auto& c : cases)
    {
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.code, 2) << c.says;
        EXPECT_TRUE(Says(run, c.says)) << run.err;
        EXPECT_TRUE(Says(run, "Try 'tessmere-model --help'"));
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(Commands, InfoReportsTheModelAndFailsOnlyWhereTheProgramWouldStop)
{
    const ToolRun clean = RunTool({"info", "model.dat"});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_NE(clean.out.find("grid:            70 x 70 points"), std::string::npos);
    EXPECT_NE(clean.out.find("loads whole:     yes"), std::string::npos);
    EXPECT_NE(clean.out.find("heights:         z from -0.5000 to 0.0000"), std::string::npos);
    EXPECT_NE(clean.out.find("problems:        0"), std::string::npos);

    std::vector<std::string> lines = ModelLines(FreshGrid());
    lines[0] = "0,0,0,0,-10000,-10000,0,0"; // cell (0, 0): flag disagrees, the program loads it
    WriteBytes("flagged.dat", JoinLines(lines));
    const ToolRun flagged = RunTool({"info", "flagged.dat"});
    EXPECT_EQ(flagged.code, 0);
    EXPECT_NE(flagged.out.find("\nline 1: cell (0, 0) has the flag 0"), std::string::npos);

    lines[5000] = "1,2";
    WriteBytes("short.dat", JoinLines(lines));
    const ToolRun stopped = RunTool({"info", "short.dat"});
    EXPECT_EQ(stopped.code, 1);
    EXPECT_NE(stopped.out.find("no, the program stops at line 5001"), std::string::npos);
    EXPECT_NE(stopped.out.find("\nline 5001: triangle 100 has 2 fields, needs 3"),
              std::string::npos);

    fs::create_directory("folder.dat");
    for (const char* unreadable : {"missing.dat", "folder.dat"})
    {
        const ToolRun run = RunTool({"info", unreadable});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, std::string("tessmere-model: cannot open ") + unreadable + "\n");
    }
    WriteBytes("huge.dat", std::string((16u << 20) + 1, '0'));
    const ToolRun huge = RunTool({"info", "huge.dat"});
    EXPECT_EQ(huge.code, 1);
    EXPECT_TRUE(Says(huge, "too large to be a model file"));
}

TEST_F(Commands, ExportRefusesAModelTheProgramWouldNotReadWhole)
{
    std::vector<std::string> lines = ModelLines(FreshGrid());
    lines.resize(6000);
    WriteBytes("short.dat", JoinLines(lines));
    for (const char* format : {"--obj", "--png"})
    {
        const ToolRun run = RunTool({"export", "short.dat", format, "out"});
#if TESSMERE_MODEL_TOOL_PNG
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(Says(run, "the program stops reading it at line 6001")) << run.err;
#else
        EXPECT_EQ(run.code, std::string(format) == "--obj" ? 1 : 2);
#endif
        EXPECT_FALSE(fs::exists("out"));
    }
    EXPECT_EQ(RunTool({"export", "missing.dat", "--obj", "out"}).code, 1);
}

TEST_F(Commands, OutputsAreReplacedOnlyWithForceAndNeverHalfWritten)
{
    WriteBytes("mesh.obj", "keep");
    const ToolRun refused = RunTool({"export", "model.dat", "--obj", "mesh.obj"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Says(refused, "mesh.obj already exists; give --force"));
    EXPECT_EQ(ReadBytes("mesh.obj"), "keep");

    EXPECT_EQ(RunTool({"export", "model.dat", "--obj", "mesh.obj", "--force"}).code, 0);
    EXPECT_EQ(ReadBytes("mesh.obj").substr(0, 1), "#");

    fs::create_directory("folder.obj");
    for (const char* target : {"folder.obj", "nowhere/mesh.obj"})
    {
        const ToolRun run = RunTool({"export", "model.dat", "--obj", target, "--force"});
        EXPECT_EQ(run.code, 1) << target;
        EXPECT_FALSE(fs::exists(std::string(target) + ".tmp"));
    }
    EXPECT_TRUE(fs::is_directory("folder.obj"));

    WriteBytes("locked.obj", "keep");
    fs::permissions("locked.obj", fs::perms::owner_read);
    EXPECT_EQ(RunTool({"export", "model.dat", "--obj", "locked.obj", "--force"}).code, 1);
    EXPECT_EQ(ReadBytes("locked.obj"), "keep");
}

#if TESSMERE_MODEL_TOOL_PNG
TEST_F(Commands, ImportSavesLikeTheProgramAndKeepsAReadOnlyModel)
{
    ASSERT_EQ(RunTool({"export", "model.dat", "--png", "map.png"}).code, 0);
    const std::string before = ReadBytes("model.dat");
    const ToolRun refused = RunTool({"import", "map.png", "--out", "model.dat"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Says(refused, "model.dat already exists"));

    fs::permissions("model.dat", fs::perms::owner_read);
    const ToolRun locked = RunTool({"import", "map.png", "--out", "model.dat", "--force"});
    EXPECT_EQ(locked.code, 1);
    EXPECT_TRUE(Says(locked, "model.dat was not written"));
    EXPECT_EQ(ReportedFailures(), std::vector<std::string>{kSaveFailedText});
    EXPECT_EQ(ReadBytes("model.dat"), before);
    EXPECT_FALSE(fs::exists("model.dat.tmp"));
}
#else
TEST_F(Commands, PngCommandsSayThisBuildHasNoPngSupport)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", "model.dat", "--png", "map.png"},
          {"import", "map.png", "--out", "new.dat", "--white", "-1", "--black", "0"}})
    {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(Says(run, "this build has no PNG support"));
    }
    EXPECT_FALSE(fs::exists("map.png"));
    EXPECT_FALSE(fs::exists("new.dat"));
}
#endif
