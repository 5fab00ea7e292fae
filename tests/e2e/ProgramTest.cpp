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
#include <set>
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
const DWORD kLeftClick = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
const DWORD kRightClick = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP;

int Index(int column, int row)
{
    return column + row * kProgramGridSize;
}

// The program's grid with one point lowered, or flat; and a model file read back.
CGrid Grid(int lowered = -1)
{
    CGrid grid = FreshGrid(kProgramGridSize);
    if (lowered >= 0)
        grid.points[lowered].z = -0.1f;
    return grid;
}

CGrid Read(const std::string& bytes)
{
    CGrid grid = Grid();
    std::istringstream in(bytes);
    EXPECT_TRUE(ReadModel(in, grid).complete);
    return grid;
}

int DrawnCount(const std::string& bytes)
{
    const CGrid grid = Read(bytes);
    return static_cast<int>(
        std::count_if(grid.triangles.begin(), grid.triangles.end(),
                      [&grid](const tagTRIANGLE3& triangle) { return IsDrawn(grid, triangle); }));
}

// The points whose height differs between two models.
std::set<int> Moved(const CGrid& before, const CGrid& after)
{
    std::set<int> moved;
    for (size_t i = 0; i < before.points.size(); ++i)
        if (before.points[i].z != after.points[i].z)
            moved.insert(static_cast<int>(i));
    return moved;
}

// The build's program, or another copy of it named by TESSMERE_PROGRAM, such as a release
// unpacked elsewhere.
std::string ProgramUnderTest()
{
    const char* other = std::getenv("TESSMERE_PROGRAM");
    return other && *other ? other : TESSMERE_PROGRAM;
}

class Program : public ::testing::Test
{
  protected:
    RunningProgram& Start(const std::string& model, const std::string& program = ProgramUnderTest())
    {
        if (!model.empty())
            WriteBytes("model.dat", model);
        running = std::make_unique<RunningProgram>(program, fs::current_path());
        return *running;
    }

    // The box the key brings must say text; a click in the view then gives the view its focus
    // back, as a user would.
    void ExpectBoxAfter(std::initializer_list<WORD> keys, const char* text)
    {
        running->Keys(keys);
        const HWND box = running->Box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(RunningProgram::Text(box), text);
        running->PressOk(box);
        running->Mouse(kLeftClick);
    }

    ScratchDirectory scratch;
    std::unique_ptr<RunningProgram> running;
};
} // namespace

TEST_F(Program, OpensAFixedFocusedWindowWhereRealInputSculptsFlipsAndTurns)
{
    RunningProgram& program = Start(FileOf(Grid()));
    ASSERT_TRUE(program.WaitForCount(0));
    EXPECT_EQ(RunningProgram::Text(program.main), "Tessmere");
    EXPECT_EQ(GetWindowLongA(program.main, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    RECT window{}, client{}, view{}, bar{};
    GetWindowRect(program.main, &window);
    GetClientRect(program.main, &client);
    MapWindowPoints(program.main, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(program.editor, &view);
    GetWindowRect(program.statusBar, &bar);
    EXPECT_EQ((std::vector<LONG>{window.right - window.left, window.bottom - window.top, view.left,
                                 view.top, view.right, view.bottom, bar.bottom}),
              (std::vector<LONG>{640, 480, client.left, client.top, client.right, bar.top,
                                 client.bottom}));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(program.process.dwThreadId, &thread));
    EXPECT_EQ(thread.hwndFocus, program.editor);

    // A wheel notch over point (20, 30) moves the square of radius 5 around it, centre down.
    program.MoveTo(program.OnGridPoint(20, 30));
    program.Mouse(MOUSEEVENTF_WHEEL, 1);
    const std::string dugFile = program.Save();
    const CGrid dug = Read(dugFile);
    const std::set<int> square = Moved(Grid(), dug);
    EXPECT_EQ(square.size(), 100u);
    EXPECT_EQ(*square.begin(), Index(15, 25));
    EXPECT_EQ(*square.rbegin(), Index(24, 34));
    EXPECT_LT(dug.points[Index(20, 30)].z, 0.0f);
    EXPECT_TRUE(program.WaitForCount(DrawnCount(dugFile)));

    // A right click flips the diagonal of the cell whose south-west corner it picks.
    program.MoveTo(program.OnGridPoint(40, 40));
    program.Mouse(kRightClick);
    const CGrid flipped = Read(program.Save());
    EXPECT_EQ(flipped.points[Index(40, 40)].flags[1], 0);
    EXPECT_EQ(flipped.triangles[2 * (40 * 69 + 40)].vertex[2], Index(41, 40));

    // Drags of one step to the right turn the view: the spot of point (60, 10) then shows
    // another, which alone the single-point brush of the key code 0x3A moves.
    program.Keys({0x3A});
    for (int step = 0; step < 10; ++step)
    {
        program.MoveTo(program.OnView(100, 100));
        program.Mouse(MOUSEEVENTF_LEFTDOWN);
        program.MoveTo(program.OnView(120, 100));
        program.Mouse(MOUSEEVENTF_LEFTUP);
    }
    program.MoveTo(program.OnGridPoint(60, 10));
    program.Mouse(MOUSEEVENTF_WHEEL, 1);
    const std::set<int> turned = Moved(flipped, Read(program.Save()));
    EXPECT_EQ(turned.size(), 1u);
    EXPECT_EQ(turned.count(Index(60, 10)), 0u);
}

TEST_F(Program, StartsWithoutAModelAndLAndSLoadAndSaveItAndSayWhenTheyCannot)
{
    RunningProgram& program = Start("");
    program.MoveTo(program.OnView(300, 200));
    ExpectBoxAfter({}, kLoadFailedText);
    ASSERT_TRUE(program.WaitForCount(0));
    // Edited on disk: a height a writer at odds with the reader would move, and a flip.
    CGrid edited = Grid(Index(5, 6));
    edited.points[Index(10, 10)].z = -0.02f;
    edited.FlipCellDiagonal(Index(5, 6), 0);
    WriteBytes("model.dat", FileOf(edited));
    program.Keys({'L'});
    EXPECT_TRUE(program.WaitForCount(DrawnCount(FileOf(edited))));
    EXPECT_TRUE(program.Save() == FileOf(edited));

    fs::remove("model.dat");
    ExpectBoxAfter({'L'}, kLoadFailedText);
    WriteBytes("model.dat", "old");
    fs::permissions("model.dat", fs::perms::owner_read);
    ExpectBoxAfter({'S'}, kSaveFailedText);
    EXPECT_EQ(ReadBytes("model.dat"), "old");
    fs::permissions("model.dat", fs::perms::owner_all);
    fs::remove("model.dat");
    // The program goes on, and the next save writes the loaded model.
    EXPECT_TRUE(program.Save() == FileOf(edited));
}

TEST_F(Program, MenuOpenAndSaveOnlySayTheyAreNotAvailableAndEveryWayOutEndsWithZero)
{
    const std::string model = FileOf(Grid(Index(30, 30)));
    const std::function<void(RunningProgram&)> waysOut[] = {
        [](RunningProgram& p) {
            p.Keys({VK_MENU, 'F', 'X'});
        },
        [](RunningProgram& p) { PostMessageA(p.main, WM_CLOSE, 0, 0); },
    };
    for (const auto& leave : waysOut)
    {
        Start(model);
        ASSERT_TRUE(running->WaitForCount(8));
        running->MoveTo(running->OnView(300, 200));
        ExpectBoxAfter({VK_MENU, 'F', 'L'}, kNotAvailableText);
        ExpectBoxAfter({VK_MENU, 'F', 'S'}, kNotAvailableText);
        leave(*running);
        EXPECT_EQ(running->WaitForExit(), 0u);
        EXPECT_TRUE(ReadBytes("model.dat") == model);
        EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    }
}

TEST_F(Program, WithoutItsBitmapTheProgramShowsAStopBoxThatSurvivesInputAndEndsWithOne)
{
    // Freed memory is poisoned, so that a window reaching a destroyed object shows at once.
    SetEnvironmentVariableA("WINEDEBUG", "warn+heap");
    const std::string model = FileOf(Grid(Index(30, 30)));
    RunningProgram& program = Start(model, TESSMERE_PROGRAM_WITHOUT_BITMAP);
    SetEnvironmentVariableA("WINEDEBUG", nullptr);
    const HWND box = program.Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(RunningProgram::Text(box), kTextureFailedText);
    for (int x = 100; x < 400 && program.editor != nullptr; x += 30)
        program.MoveTo(program.OnView(x, 150));
    RedrawWindow(program.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    // The model was never loaded: a save now would replace the user's file with a flat grid.
    program.Keys({'S'});
    EXPECT_EQ(WaitForSingleObject(program.process.hProcess, 1000), WAIT_TIMEOUT);
    program.PressOk(box);
    EXPECT_EQ(program.WaitForExit(), 1u);
    EXPECT_TRUE(ReadBytes("model.dat") == model);
}

TEST_F(Program, ARandomSessionLeavesEverySaveSoundAndTheProgramAnswering)
{
    const char* seedText = std::getenv("TESSMERE_SOAK_SEED");
    const char* eventsText = std::getenv("TESSMERE_SOAK_EVENTS");
    const unsigned seed = seedText ? std::stoul(seedText) : std::random_device()();
    const unsigned events = eventsText ? std::stoul(eventsText) : 600;
    std::printf("soak seed %u (TESSMERE_SOAK_SEED replays it), %u events\n", seed, events);
    std::mt19937 random(seed);
    auto below = [&random](unsigned n) { return static_cast<int>(random() % n); };
    RunningProgram& program = Start(FileOf(Grid()));
    ASSERT_TRUE(program.WaitForCount(0));
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
            if (kind == 2 || kind == 3)
                program.Mouse(kind == 2 ? MOUSEEVENTF_WHEEL : kRightClick,
                              kind == 2 ? below(3) - 1 : 0);
            if (kind == 4)
                program.Keys({keys[below(sizeof keys / sizeof keys[0])]});
        }
        program.Mouse(kLeftClick); // the main window keeps the focus when it is activated

        saved = program.Save();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", after " + std::to_string(sent));
        ASSERT_EQ(program.Find("#32770"), nullptr);
        // Read whole, every cell's two triangles as its flag says.
        const CGrid grid = Read(saved);
        for (int row = 0; row + 1 < kProgramGridSize; ++row)
            for (int column = 0; column + 1 < kProgramGridSize; ++column)
            {
                const int sw = Index(column, row);
                const int flag = grid.points[sw].flags[1];
                const std::array<tagTRIANGLE3, 2> cell = grid.CellTriangles(sw, flag);
                const tagTRIANGLE3* kept = &grid.triangles[2 * static_cast<size_t>(sw - row)];
                ASSERT_TRUE(flag <= 1 &&
                            std::equal(cell[0].vertex, cell[0].vertex + 3, kept[0].vertex) &&
                            std::equal(cell[1].vertex, cell[1].vertex + 3, kept[1].vertex))
                    << "cell (" << column << ", " << row << ")";
            }
        // The file keeps four decimals, so the count is the file's once the view has loaded it.
        program.Keys({'L'});
        ASSERT_TRUE(program.WaitForCount(DrawnCount(saved)));
    }
    EXPECT_TRUE(program.Save() == saved);
}
