#include "LoaderInvariants.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectEveryFileKeepsTheInvariants(const fs::path& folder)
{
    const ScratchDirectory scratch;
    const std::vector<fs::path> files = FilesIn(folder);
    EXPECT_FALSE(files.empty()) << folder;
    for (const fs::path& file : files)
        EXPECT_EQ(LoaderInvariantBreach(ReadBytes(file), scratch.Path() / "model.dat"), "") << file;
}
} // namespace

// Inputs that once broke the loader, kept so the fault cannot come back unnoticed.
TEST(LoaderFuzzInputs, EveryCrashReproducerLoadsSafely)
{
    ExpectEveryFileKeepsTheInvariants(fs::path(TESSMERE_FUZZ_FOLDER) / "crashes");
}

TEST(LoaderFuzzInputs, EverySeedLoadsSafely)
{
    ExpectEveryFileKeepsTheInvariants(fs::path(TESSMERE_FUZZ_FOLDER) / "corpus");
}
