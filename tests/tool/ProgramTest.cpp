#include "Grid.h"
#include "ModelFile.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

// The built program: exit codes through the shell, and the model layer's failure in English.
TEST(Program, ExitCodesAndTheFailureSeamSpeakPlainEnglish)
{
    ScratchDirectory scratch;
    auto run = [](const std::string& arguments) {
        const std::string command =
            std::string("'") + TESSMERE_MODEL_PROGRAM + "' " + arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run(""), 2);
    CGrid grid;
    grid.Create(kProgramGridSize);
    grid.SetPointHeight(5, -0.5f, true);
    ASSERT_TRUE(SaveModel(grid, "model.dat"));
    ASSERT_EQ(run("export model.dat --png map.png"), 0);
    const std::string before = ReadBytes("model.dat");
    EXPECT_EQ(run("import map.png --out model.dat"), 1); // no --force
    std::filesystem::permissions("model.dat", std::filesystem::perms::owner_read);
    EXPECT_EQ(run("import map.png --out model.dat --force"), 1);
    EXPECT_EQ(ReadBytes("model.dat"), before);
    EXPECT_EQ(ReadBytes("err.txt"),
              "tessmere-model: the model file cannot be written (read-only, not a file, or the "
              "folder or disk refused it); any old file is left as it was\n"
              "tessmere-model: model.dat was not written\n");
}
