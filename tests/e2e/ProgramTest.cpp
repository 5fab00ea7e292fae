#include "Grid.h"
#include "ModelFailureBox.h"
#include "ModelFile.h"
#include "RunningProgram.h"
#include "ScratchDirectory.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
// "テクスチャの作成に失敗しました。"
const char* const kTextureFailedText = "\x83\x65\x83\x4E\x83\x58\x83\x60\x83\x83\x82\xCC\x8D\xEC"
                                       "\x90\xAC\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5"
                                       "\x82\xBD\x81\x42";
// "この機能は使えません。"
const char* const kNotAvailableText = "\x82\xB1\x82\xCC\x8B\x40\x94\x5C\x82\xCD\x8E\x67\x82\xA6"
                                      "\x82\xDC\x82\xB9\x82\xF1\x81\x42";

// The program's model file: a flat grid, or one with a point lowered in the middle.
std::string ModelBytes(bool lowered)
{
    CGrid grid = FreshGrid(kProgramGridSize);
    if (lowered)
        grid.points[30 + 30 * kProgramGridSize].z = -0.1f;
    return FileOf(grid);
}

class Program : public ::testing::Test
{
  protected:
    // The build's program unless TESSMERE_PROGRAM names another copy, such as a release unpacked
    // elsewhere.
    RunningProgram& Start(const std::string& model, std::string program = "")
    {
        const char* other = std::getenv("TESSMERE_PROGRAM");
        if (program.empty())
            program = other && *other ? other : TESSMERE_PROGRAM;
        if (!model.empty())
            WriteBytes("model.dat", model);
        running = std::make_unique<RunningProgram>(program, fs::current_path());
        return *running;
    }

    void ExpectBoxAfter(std::initializer_list<WORD> keys, const char* text)
    {
        running->Keys(keys, false);
        const HWND box = running->Box();
        EXPECT_EQ(RunningProgram::Text(box), text);
        running->PressOk(box);
    }

    ScratchDirectory scratch;
    std::unique_ptr<RunningProgram> running;
};
} // namespace

TEST_F(Program, OpensAFixedSizeWindowWithTheFocusedViewAboveTheStatusBar)
{
    RunningProgram& program = Start(ModelBytes(false));
    program.WaitForCount(0);
    EXPECT_EQ(RunningProgram::Text(program.main), "Tessmere");
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
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_TRUE(program.ViewHasFocus());
}

TEST_F(Program, WithoutAModelItSaysSoAndShowsTheFlatGrid)
{
    RunningProgram& program = Start("");
    EXPECT_EQ(RunningProgram::Text(program.Box()), kLoadFailedText);
    program.PressOk(program.Box());
    program.WaitForCount(0);
}

TEST_F(Program, LAndSSayWhenTheFileCannotBeReadOrWrittenAndTheProgramGoesOn)
{
    const std::string model = ModelBytes(true);
    RunningProgram& program = Start(model);
    fs::remove("model.dat");
    ExpectBoxAfter({'L'}, kLoadFailedText);
    WriteBytes("model.dat", "old");
    fs::permissions("model.dat", fs::perms::owner_read);
    ExpectBoxAfter({'S'}, kSaveFailedText);
    EXPECT_EQ(ReadBytes("model.dat"), "old");
    fs::permissions("model.dat", fs::perms::owner_all);
    fs::remove("model.dat");
    EXPECT_TRUE(program.Save() == model);
}

TEST_F(Program, TheMenusOpenAndSaveOnlySayTheyAreNotAvailable)
{
    const std::string model = ModelBytes(true);
    Start(model).MoveTo(running->OnView(300, 200));
    ExpectBoxAfter({VK_MENU, 'F', 'L'}, kNotAvailableText);
    ExpectBoxAfter({VK_MENU, 'F', 'S'}, kNotAvailableText);
    EXPECT_TRUE(ReadBytes("model.dat") == model);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(Program, TheMenusExitAndClosingTheWindowEndItWithZero)
{
    Start(ModelBytes(false)).Keys({VK_MENU, 'F', 'X'}, false);
    EXPECT_EQ(running->WaitForExit(), 0u);
    PostMessageA(Start(ModelBytes(false)).main, WM_CLOSE, 0, 0);
    EXPECT_EQ(running->WaitForExit(), 0u);
}

TEST_F(Program, WithoutItsBitmapItStopsWithABoxItsWindowOwnsAndEndsWithOne)
{
    const std::string model = ModelBytes(true);
    Start(model, TESSMERE_PROGRAM_WITHOUT_BITMAP);
    const HWND box = running->Box();
    EXPECT_EQ(RunningProgram::Text(box), kTextureFailedText);
    // Owned, the box keeps input from the half-made view, whose flat grid must not be saved.
    EXPECT_EQ(GetWindow(box, GW_OWNER), running->main);
    for (int x = 100; x < 400 && running->editor != nullptr; x += 30)
        running->MoveTo(running->OnView(x, 150), false);
    RedrawWindow(running->main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    running->Keys({'S'}, false);
    EXPECT_EQ(WaitForSingleObject(running->process.hProcess, 1000), WAIT_TIMEOUT);
    running->PressOk(box);
    EXPECT_EQ(running->WaitForExit(), 1u);
    EXPECT_TRUE(ReadBytes("model.dat") == model);
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
    auto below = [&random](unsigned n) { return static_cast<int>(random() % n); };
    RunningProgram& program = Start(ModelBytes(false));
    RECT client{};
    GetClientRect(program.editor, &client);
    auto anywhere = [&] { return program.OnView(below(client.right), below(client.bottom)); };
    const WORD keys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN,   '1',       '2', '3',
                         '4',     '5',   '6',      '7',       '8',       '9', 0x3A,
                         '0',     'A',   VK_SPACE, VK_RETURN, VK_ESCAPE, 'L'};
    std::string saved;
    for (unsigned sent = 0; sent < events;)
    {
        for (int batch = 20 + below(60); batch > 0; --batch, ++sent)
        {
            // Moves, wheel notches both ways, right clicks, keys and one-step drags.
            const int kind = below(6);
            if (kind == 5)
                program.Mouse(MOUSEEVENTF_LEFTDOWN);
            if (kind < 2 || kind == 5)
                program.MoveTo(anywhere());
            if (kind == 5)
                program.Mouse(MOUSEEVENTF_LEFTUP);
            if (kind == 2)
                program.Mouse(MOUSEEVENTF_WHEEL, below(2) ? 1 : -1);
            if (kind == 3)
                program.Mouse(MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP);
            if (kind == 4)
                program.Keys({keys[below(sizeof keys / sizeof keys[0])]});
        }
        saved = program.Save();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", after " + std::to_string(sent));
        ASSERT_EQ(program.Find("#32770"), nullptr);
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
