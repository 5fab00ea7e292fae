#include "ModelFile.h"
#include "RunningProgram.h"
#include "ScratchDirectory.h"
#include "TestModels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

namespace
{
// A failed load's or save's box: no owner, and the system's caption in the user's language.
void ExpectFileBox(const RunningProgram::Box& box, const std::wstring& text)
{
    const bool japanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
    EXPECT_EQ(box.text + L" / " + box.caption, text + (japanese ? L" / エラー" : L" / Error"));
    EXPECT_EQ(box.owner, nullptr);
}

// The tests' model file: a point lowered in the middle tells it from the flat grid of no load.
std::string Model()
{
    CGrid grid = FreshGrid(kProgramGridSize);
    grid.points[30 + 30 * kProgramGridSize].z = -0.1f;
    return FileOf(grid);
}

// The triangles the program draws once it has loaded the file whole.
int DrawnCount(const std::string& file)
{
    CGrid grid = FreshGrid(kProgramGridSize);
    std::istringstream in(file);
    EXPECT_TRUE(ReadModel(in, grid).complete);
    return DrawnCount(grid);
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

TEST_F(Program, AFailedLoadOrSaveIsReportedWithoutEndingTheProgram)
{
    // A missing model is reported before the flat grid shows.
    RunningProgram& program = Start("");
    ExpectFileBox(program.CloseBox(), L"ファイルのオープンに失敗しました。");
    program.WaitForCount(0);
    EXPECT_TRUE(program.ViewHasFocus()) << "given to the view once the box is closed";
    // Another program holds the file, sharing all but deletion, past the save's patience.
    WriteBytes("model.dat", "old");
    const HANDLE held = CreateFileA("model.dat", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    program.Keys({'S'}, false);
    ExpectFileBox(program.CloseBox(), L"マップファイルのオープンに失敗しました。");
    // The box owns nothing: closing it activates the main window, which keeps the focus itself.
    program.WaitForFocus(program.main, "the main window");
    EXPECT_EQ(ReadBytes("model.dat"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "a temporary";
    program.ClickView();
    std::thread letGo([held] {
        Sleep(600);
        CloseHandle(held);
    });
    EXPECT_TRUE(SameFile(FileOf(FreshGrid(kProgramGridSize)), program.Save()));
    letGo.join();
}

TEST_F(Program, AFixedWindowWhoseMenuOnlyEndsTheProgramWithZeroAsClosingItDoes)
{
    RunningProgram& program = Start(Model());
    EXPECT_EQ(program.Find("BASEWND", "Tessmere"), program.main) << "its title";
    EXPECT_EQ(GetWindowLongA(program.main, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    RECT window{};
    GetWindowRect(program.main, &window);
    EXPECT_EQ(window.right - window.left, 640);
    EXPECT_EQ(window.bottom - window.top, 480);
    EXPECT_TRUE(program.ViewHasFocus());
    for (WORD item : {'L', 'S'})
    {
        program.Keys({VK_MENU, 'F', item}, false);
        const RunningProgram::Box box = program.CloseBox();
        EXPECT_EQ(box.text + L" / " + box.caption, L"この機能は使えません。 / 情報");
        EXPECT_EQ(box.owner, program.main);
        program.WaitForFocus(program.main, "the box's owner, active again");
    }
    program.Keys({VK_MENU, 'F', 'X'}, false);
    EXPECT_EQ(running->WaitForExit(), 0u);
    PostMessageA(Start(Model()).main, WM_CLOSE, 0, 0);
    EXPECT_EQ(running->WaitForExit(), 0u);
}

TEST_F(Program, AMissingBitmapStopsTheProgramBehindAnOwnedBox)
{
    RunningProgram& program = Start(Model(), TESSMERE_PROGRAM_WITHOUT_BITMAP);
    const RunningProgram::Box box = program.CloseBox();
    EXPECT_EQ(box.text, L"テクスチャの作成に失敗しました。");
    // Owned, the box keeps input from the half-made view, whose flat grid must not be saved.
    EXPECT_EQ(box.owner, program.main);
    EXPECT_EQ(program.WaitForExit(), 1u);
    EXPECT_TRUE(SameFile(Model(), ReadBytes("model.dat")));
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
    program.givesFocusBack = true;
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
    SIZE_T startBytes = 0;
    for (unsigned sent = 0; sent < events;)
    {
        // From after the first batch, when every kind of pass has run once.
        if (sent > 0 && startBytes == 0)
            startBytes = program.ResidentBytes();
        for (int batch = 20 + below(60); batch > 0; --batch, ++sent)
            inputs[below(inputs.size())]();
        saved = program.Save();
        // The file keeps four decimals, so the count is the file's once the view has loaded it.
        program.Keys({'L'});
        program.WaitForCount(DrawnCount(saved));
    }
    EXPECT_TRUE(SameFile(saved, program.Save()));
    const SIZE_T endBytes = program.ResidentBytes();
    std::printf("resident memory %zu MB after the first batch, %zu MB at the end\n",
                startBytes >> 20, endBytes >> 20);
    // A session of any length may add 20 MB: a sound program holds the same model and views.
    EXPECT_LE(endBytes, startBytes + (SIZE_T(20) << 20));
}

TEST_F(Program, LLoadsAModelUnlikeTheOneShownRefusesADamagedOneAndSSavesItByteForByte)
{
    RunningProgram& program = Start(Model());
    // Other heights, flags and diagonals.
    CGrid grid = FreshGrid(kProgramGridSize);
    for (size_t k = 0; k < grid.points.size(); k += 7)
        grid.points[k].z = -0.0001f * static_cast<float>(k);
    grid.points[5].flags[0] = 9;
    grid.FlipCellDiagonal(75, 0);
    const std::string other = FileOf(grid);
    WriteBytes("model.dat", other);

    program.WaitForCount(DrawnCount(Model()));
    program.Keys({'L'});
    program.WaitForCount(DrawnCount(other));

    // Lines that would lower the first 99 points, then an empty line 100: refused whole.
    std::string damaged;
    for (int line = 1; line < 100; ++line)
        damaged += "0,0,0,0,0,0,-2000,0\r\n";
    WriteBytes("model.dat", damaged + "\r\n");
    program.Keys({'L'}, false);
    ExpectFileBox(program.CloseBox(), L"モデルファイルの100行目が壊れています。");
    program.ClickView();
    EXPECT_TRUE(SameFile(other, program.Save())) << "the model shown was not kept";
}
