#include "ModelFile.h"
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
    void SetUp() override { WriteBytes("model.dat", ModelBytes(SculptedGrid(6))); }

    ScratchDirectory scratch;
};

bool Says(const ToolRun& run, const std::string& text)
{
    return run.err.find(text) != std::string::npos;
}
} // namespace

TEST_F(Commands, BadUsageExitsWithTwoAndTouchesNothing)
{
    const struct
    {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{}, "no command given"},
        {{"show", "model.dat"}, "unknown command 'show'"},
        {{"info"}, "FILE is required"},
        {{"info", "model.dat", "other.dat"}, "not expected: other.dat"},
        {{"info", "model.dat", "--force"}, "not expected: --force"},
        {{"export", "model.dat", "--obj", "a.obj", "--png", "a.png"}, "2 were given"},
        {{"export", "model.dat", "--obj"}, "--obj: 1 required"},
        {{"export", "model.dat", "--png", "a.png", "--drawn-only"}, "--drawn-only excludes --png"},
        {{"import", "in.png"}, "--out is required"},
        {{"import", "in.png", "--out", "x", "--white", "-1"}, "--white requires --black"},
        {{"import", "in.png", "--out", "x", "--white", "deep", "--black", "0"}, "needs a number"},
        {{"import", "in.png", "--out=x", "--white=-1", "--black", "0.5"}, "above height 0"},
    };
    for (const auto& c : cases)
    {
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.code, 2) << c.says;
        EXPECT_TRUE(Says(run, c.says)) << run.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    EXPECT_NE(RunTool({"export", "-h"}).out.find("--png OUT"), std::string::npos);
}

TEST_F(Commands, InfoFailsOnlyWhereTheProgramWouldNotReadTheFileWhole)
{
    const ToolRun clean = RunTool({"info", "model.dat"});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_NE(clean.out.find("heights:         z from -0.5000 to 0.0000"), std::string::npos);

    std::vector<std::string> lines = ModelLines(FreshGrid());
    lines[0] = "0,0,0,0,-10000,-10000,0,0"; // a flag at odds with its cell: the program loads it
    WriteBytes("flagged.dat", JoinLines(lines));
    const ToolRun flagged = RunTool({"info", "flagged.dat"});
    EXPECT_EQ(flagged.code, 0);
    EXPECT_NE(flagged.out.find("\nline 1: cell (0, 0) has the flag 0"), std::string::npos);

    lines[5000] = "1,2";
    WriteBytes("short.dat", JoinLines(lines));
    const ToolRun stopped = RunTool({"info", "short.dat"});
    EXPECT_EQ(stopped.code, 1);
    EXPECT_NE(stopped.out.find("\nline 5001: triangle 100 has 2 fields, needs 3"),
              std::string::npos);

    fs::create_directory("folder.dat");
    WriteBytes("huge.dat", std::string((16u << 20) + 1, '0'));
    for (const char* unreadable : {"missing.dat", "folder.dat", "huge.dat"})
        EXPECT_EQ(RunTool({"info", unreadable}).code, 1) << unreadable;
}

TEST_F(Commands, ExportRefusesAModelTheProgramWouldNotReadWhole)
{
    std::vector<std::string> lines = ModelLines(FreshGrid());
    lines.resize(6000);
    WriteBytes("short.dat", JoinLines(lines));
    const ToolRun run = RunTool({"export", "short.dat", "--obj", "out"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Says(run, "the program stops reading it at line 6001")) << run.err;
    EXPECT_FALSE(fs::exists("out"));
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
    WriteBytes("locked.obj", "keep");
    fs::permissions("locked.obj", fs::perms::owner_read);
    for (const char* target : {"folder.obj", "nowhere/mesh.obj", "locked.obj"})
    {
        EXPECT_EQ(RunTool({"export", "model.dat", "--obj", target, "--force"}).code, 1) << target;
        EXPECT_FALSE(fs::exists(std::string(target) + ".tmp"));
    }
    EXPECT_EQ(ReadBytes("locked.obj"), "keep");
}

#if !TESSMERE_MODEL_TOOL_PNG
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
}
#endif
