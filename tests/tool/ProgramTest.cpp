#include "ScratchDirectory.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace
{
// Runs the built program with its output in files; the exit code as the shell sees it.
ToolRun RunProgram(const std::string& arguments)
{
    const std::string command =
        std::string("'") + TESSMERE_MODEL_PROGRAM + "' " + arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes("out.txt"),
            ReadBytes("err.txt")};
}
} // namespace

TEST(Program, ExitCodesAndTheFailureSeamSpeakPlainEnglish)
{
    ScratchDirectory scratch;
    EXPECT_EQ(RunProgram("--help").code, 0);
    EXPECT_EQ(RunProgram("").code, 2);
    EXPECT_EQ(RunProgram("info missing.dat").code, 1);

    WriteBytes("model.dat", ModelBytes(SculptedGrid(7)));
    ASSERT_EQ(RunProgram("export model.dat --png map.png").code, 0);
    std::filesystem::permissions("model.dat", std::filesystem::perms::owner_read);
    const ToolRun locked = RunProgram("import map.png --out model.dat --force");
    EXPECT_EQ(locked.code, 1);
    EXPECT_EQ(locked.err, "tessmere-model: the model file cannot be written (read-only, not a "
                          "file, or the folder or disk refused it); any old file is left as it "
                          "was\ntessmere-model: model.dat was not written\n");
}
