#include "ModelFile.h"
#include "RunningProgram.h"
#include "ScratchDirectory.h"
#include "TestModels.h"
#include "UserTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

namespace
{
// The model file the tests start from: a point lowered in the middle tells it from the flat grid
// the program holds when it has loaded nothing.
std::string Model()
{
    CGrid grid = FreshGrid(kProgramGridSize);
    grid.points[30 + 30 * kProgramGridSize].z = -0.1f;
    return FileOf(grid);
}

// Lines that would lower the first 99 points, and an empty line 100.
std::string DamagedModel()
{
    std::string lines;
    for (int line = 1; line < 100; ++line)
        lines += "0,0,0,0,0,0,-2000,0\r\n";
    return lines + "\r\n";
}

class Program : public ::testing::Test
{
  protected:
    // The build's program unless TESSMERE_PROGRAM names another copy, such as an unpacked release.
    RunningProgram& Start(const std::string& model,
                          const char* program = std::getenv("TESSMERE_PROGRAM"))
    {
        if (!model.empty())
            WriteBytes("model.dat", model);
        running.emplace(program && *program ? program : TESSMERE_PROGRAM);
        return *running;
    }

    ScratchDirectory scratch;
    std::optional<RunningProgram> running;
};
} // namespace

TEST_F(Program, OpensAFixedSizeWindowWithTheFocusedViewAboveTheStatusBar)
{
    RunningProgram& program = Start(Model());
    EXPECT_EQ(program.Find("BASEWND", "Tessmere"), program.main) << "its title";
    EXPECT_EQ(GetWindowLongA(program.main, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    RECT window{}, client{}, view{}, bar{};
    GetWindowRect(program.main, &window);
    GetClientRect(program.main, &client);
    MapWindowPoints(program.main, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(program.editor, &view);
    GetWindowRect(program.statusBar, &bar);
    EXPECT_EQ(window.right - window.left, 640);
    EXPECT_EQ(window.bottom - window.top, 480);
    const RECT aboveBar{client.left, client.top, client.right, bar.top};
    EXPECT_TRUE(EqualRect(&view, &aboveBar)) << "the view fills the client area above the bar";
    EXPECT_TRUE(program.ViewHasFocus());
}

TEST_F(Program, AMissingModelIsReportedBeforeTheFlatGridShows)
{
    EXPECT_EQ(Start("").CloseBox(), kLoadFailedText);
    running->WaitForCount(0);
}

TEST_F(Program, AFailedLoadOrSaveIsReportedWithoutEndingTheProgram)
{
    RunningProgram& program = Start(Model());
    std::filesystem::remove("model.dat");
    program.Keys({'L'}, false);
    EXPECT_EQ(program.CloseBox(), kLoadFailedText);
    WriteBytes("model.dat", "old");
    std::filesystem::permissions("model.dat", std::filesystem::perms::owner_read);
    program.Keys({'S'}, false);
    EXPECT_EQ(program.CloseBox(), kSaveFailedText);
    std::filesystem::permissions("model.dat", std::filesystem::perms::owner_all);
    EXPECT_TRUE(program.Save() == Model());
}

TEST_F(Program, TheMenusOpenAndSaveSayTheyAreNotAvailable)
{
    RunningProgram& program = Start(Model());
    program.Keys({VK_MENU, 'F', 'L'}, false);
    EXPECT_EQ(program.CloseBox(), kNotAvailableText);
    program.Keys({VK_MENU, 'F', 'S'}, false);
    EXPECT_EQ(program.CloseBox(), kNotAvailableText);
}

TEST_F(Program, EndingByTheMenuOrTheWindowExitsWithZero)
{
    Start(Model()).Keys({VK_MENU, 'F', 'X'}, false);
    EXPECT_EQ(running->WaitForExit(), 0u);
    PostMessageA(Start(Model()).main, WM_CLOSE, 0, 0);
    EXPECT_EQ(running->WaitForExit(), 0u);
}

TEST_F(Program, AMissingBitmapStopsTheProgramBehindAnOwnedBox)
{
    RunningProgram& program = Start(Model(), TESSMERE_PROGRAM_WITHOUT_BITMAP);
    // Owned, the box keeps input from the half-made view, whose flat grid must not be saved.
    EXPECT_EQ(GetWindow(program.Find("#32770"), GW_OWNER), program.main);
    EXPECT_EQ(program.CloseBox(), kTextureFailedText);
    EXPECT_EQ(program.WaitForExit(), 1u);
    EXPECT_TRUE(ReadBytes("model.dat") == Model());
}

TEST_F(Program, ARandomSessionLeavesEverySaveSound)
{
    // A fixed seed, so that a failure replays; scripts/soak draws one and prints it.
    const char* seedText = std::getenv("TESSMERE_SOAK_SEED");
    const char* eventsText = std::getenv("TESSMERE_SOAK_EVENTS");
    const unsigned seed = seedText ? std::stoul(seedText) : 1;
    const unsigned events = eventsText ? std::stoul(eventsText) : 600;
    std::printf("seed %u (TESSMERE_SOAK_SEED replays it), %u events\n", seed, events);
    std::mt19937 random(seed);
    auto below = [&random](size_t n) { return static_cast<int>(random() % n); };
    RunningProgram& program = Start(Model());
    RECT view{};
    GetClientRect(program.editor, &view);
    auto moveAnywhere = [&] { program.MoveTo(below(view.right), below(view.bottom)); };
    const std::vector<WORD> keys = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN,   '1',       '2', '3',
                                    '4',     '5',   '6',      '7',       '8',       '9', 0x3A,
                                    '0',     'A',   VK_SPACE, VK_RETURN, VK_ESCAPE, 'L'};
    // Moves, wheel notches both ways, right clicks, keys bound and unbound, one-step drags.
    const std::vector<std::function<void()>> inputs = {
        moveAnywhere, [&] { program.Mouse(MOUSEEVENTF_WHEEL, below(2) ? 1 : -1); },
        [&] { program.Mouse(MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP); },
        [&] { program.Keys({keys[below(keys.size())]}); },
        [&] {
            program.Mouse(MOUSEEVENTF_LEFTDOWN);
            moveAnywhere();
            program.Mouse(MOUSEEVENTF_LEFTUP);
        }};
    std::string saved;
    moveAnywhere(); // a first click must not land where the pointer waits, outside the view
    for (unsigned sent = 0; sent < events;)
    {
        for (int batch = 20 + below(60); batch > 0; --batch, ++sent)
            inputs[below(inputs.size())]();
        saved = program.Save();
        // Read whole; the file keeps four decimals, so the count is the file's once the view has
        // loaded it.
        CGrid grid = FreshGrid(kProgramGridSize);
        std::istringstream in(saved);
        ASSERT_TRUE(ReadModel(in, grid).complete);
        program.Keys({'L'});
        program.WaitForCount(static_cast<int>(std::count_if(
            grid.triangles.begin(), grid.triangles.end(),
            [&grid](const tagTRIANGLE3& triangle) { return IsDrawn(grid, triangle); })));
    }
    EXPECT_TRUE(program.Save() == saved);
}

TEST_F(Program, AFileWithADamagedLineIsRefusedAndTheModelShownIsKept)
{
    char damaged[128];
    wsprintfA(damaged, kModelDamagedFormat, 100);
    RunningProgram& program = Start(DamagedModel());
    EXPECT_EQ(program.CloseBox(), damaged);
    program.WaitForCount(0);
    WriteBytes("model.dat", Model());
    program.Keys({'L'});
    program.WaitForCount(8); // both triangles of the four cells around Model()'s lowered point
    WriteBytes("model.dat", DamagedModel());
    program.Keys({'L'}, false);
    EXPECT_EQ(program.CloseBox(), damaged);
    program.MoveTo(200, 200);
    program.WaitForCount(8);
    EXPECT_TRUE(program.Save() == Model());
}

TEST_F(Program, AFileFarLargerThanAnyModelIsRefusedUnreadAtStartAndOnL)
{
    WriteBytes("model.dat", "");
    std::filesystem::resize_file("model.dat", 4ull << 30); // sparse: no room taken on the disk
    RunningProgram& program = Start("");
    EXPECT_EQ(program.CloseBox(), kLoadFailedText);
    program.Keys({'L'}, false);
    EXPECT_EQ(program.CloseBox(), kLoadFailedText);
}
