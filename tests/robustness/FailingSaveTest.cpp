#include "ModelFile.h"
#include "ModelFiles.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// Permission bits bind root only once it has given up its effective identity; an ordinary
// user is bound by them already and stays as it is.
class OrdinaryUser
{
  public:
    OrdinaryUser() : wasRoot(geteuid() == 0)
    {
        active = !wasRoot || (setegid(kNobody) == 0 && seteuid(kNobody) == 0);
    }
    ~OrdinaryUser()
    {
        if (wasRoot)
        {
            EXPECT_EQ(seteuid(0), 0);
            EXPECT_EQ(setegid(0), 0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

    static const uid_t kNobody = 65534;
    bool active;

  private:
    bool wasRoot;
};

// Makes every write past bytes fail as on a full disk, root or not; restored on destruction.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes) : previousSignal(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit()
    {
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &previous), 0);
        std::signal(SIGXFSZ, previousSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous;
    void (*previousSignal)(int);
};

class FailingSave : public ::testing::Test
{
  protected:
    void SetUp() override { ClearReportedFailures(); }

    // The save over target must fail, say so once, and leave nothing of its own behind.
    void ExpectSaveFails(const fs::path& target)
    {
        EXPECT_FALSE(SaveModel(FreshGrid70(), target.string()));
        ASSERT_EQ(ReportedFailures().size(), 1u);
        EXPECT_EQ(ReportedFailures()[0], kSaveFailedText);
        ClearReportedFailures();
        EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
    }

    const ScratchDirectory scratch;
    const std::string old = FileOf(SculptedGrid70());
};
} // namespace

TEST_F(FailingSave, ReadOnlyTargetKeepsItsBytes)
{
    WriteBytes("model.dat", old);
    fs::permissions("model.dat",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExpectSaveFails("model.dat");
    EXPECT_TRUE(ReadBytes("model.dat") == old) << "the old file changed";
}

TEST_F(FailingSave, DirectoryInPlaceOfTheTargetStaysAsItWas)
{
    fs::create_directory("model.dat");
    WriteBytes("model.dat/inside", old);
    ExpectSaveFails("model.dat");
    EXPECT_TRUE(fs::is_directory("model.dat"));
    EXPECT_TRUE(ReadBytes("model.dat/inside") == old) << "the folder's file changed";
}

TEST_F(FailingSave, UnwritableDirectoryGetsTheFileRewrittenInPlace)
{
    // The folder and the file belong to the user who saves, the file is writable: only the
    // folder's missing write bit stands in the way of a new file beside it.
    fs::create_directory("locked");
    WriteBytes("locked/model.dat", old);
    if (geteuid() == 0)
    {
        ASSERT_EQ(chown("locked", OrdinaryUser::kNobody, OrdinaryUser::kNobody), 0);
        ASSERT_EQ(chown("locked/model.dat", OrdinaryUser::kNobody, OrdinaryUser::kNobody), 0);
    }
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    {
        const OrdinaryUser user;
        if (!user.active)
            GTEST_SKIP() << "cannot take an ordinary user's identity to make permission bits bind";
        // The write in place is checked like any other: a full disk fails the save.
        {
            const FileSizeLimit full(4096);
            ExpectSaveFails("locked/model.dat");
        }
        EXPECT_TRUE(SaveModel(FreshGrid70(), "locked/model.dat"));
    }
    EXPECT_TRUE(ReadBytes("locked/model.dat") == FileOf(FreshGrid70())) << "not the new file";
}

TEST_F(FailingSave, DiskFillingUpDuringTheWriteKeepsTheOldFile)
{
    WriteBytes("model.dat", old);
    const size_t needed = FileOf(FreshGrid70()).size();
    for (size_t room : {size_t{0}, size_t{4096}, needed / 2, needed - 1})
    {
        SCOPED_TRACE(room);
        {
            const FileSizeLimit full(room);
            ExpectSaveFails("model.dat");
        }
        EXPECT_TRUE(ReadBytes("model.dat") == old) << "the old file changed";
    }
    // Just enough room: the limit itself does not fail the save.
    {
        const FileSizeLimit full(needed);
        EXPECT_TRUE(SaveModel(FreshGrid70()));
    }
    EXPECT_TRUE(ReadBytes("model.dat") == FileOf(FreshGrid70())) << "the new file is not complete";
}
