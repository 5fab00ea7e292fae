#include "LoaderInvariants.h"
#include "ModelFile.h"
#include "ModelFiles.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <vector>

namespace
{
const long kFirstTriangleLine = 4901;

struct HostileFile
{
    std::string name;
    std::function<std::string()> bytes;
    bool loads;
    // 1-based line at which the load stops, 0 when it reads every element.
    long stopLine;
    // Turns the fresh grid the file is loaded into into what the load must leave.
    std::function<void(CGrid&)> expected;
};

void PrintTo(const HostileFile& file, std::ostream* out)
{
    *out << file.name;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

const CGrid& Sculpted()
{
    static const CGrid stored = AsStored(SculptedGrid70());
    return stored;
}

// The sculpted grid's file with the lines at the given 0-based indices replaced.
std::string SculptedWith(const std::map<size_t, std::string>& replaced)
{
    std::vector<std::string> lines = Lines(FileOf(Sculpted()));
    for (const auto& [index, text] : replaced)
        lines[index] = text;
    return Joined(lines);
}

// Every line of the sculpted grid's file through edit.
std::string SculptedEdited(const std::function<std::string(size_t, const std::string&)>& edit)
{
    std::vector<std::string> lines = Lines(FileOf(Sculpted()));
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i] = edit(i, lines[i]);
    return Joined(lines);
}

std::string Fields(const std::string& field, int count)
{
    std::string line = field;
    for (int i = 1; i < count; ++i)
        line += "," + field;
    return line;
}

std::string Utf16LittleEndian(const std::string& ascii)
{
    std::string wide = "\xFF\xFE";
    for (char c : ascii)
        wide += std::string{c, '\0'};
    return wide;
}

std::string Garbage(size_t length)
{
    std::mt19937 random(6);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// The point a line gives whose eight fields all read value: its low byte in every flag.
tagPOINT4 PointOfFields(int value)
{
    const unsigned char flag = static_cast<unsigned char>(value & 0xFF);
    const float v = ScaleFromFile(value);
    return tagPOINT4{{flag, flag, flag, flag}, v, v, v, v};
}

void Unchanged(CGrid&) {}

void BecomesSculpted(CGrid& grid)
{
    grid = Sculpted();
}

// Point 0 gets the first value read, point 1 the second; the rest of the file loads.
HostileFile PointFieldsBeyond32Bits(const std::string& name, const std::string& up,
                                    const std::string& down, int upRead, int downRead)
{
    return {name,
            [=] {
                return SculptedWith({{0, Fields(up, 8)}, {1, Fields(down, 8)}});
            },
            true, 0,
            [=](CGrid& grid) {
                grid = Sculpted();
                grid.points[0] = PointOfFields(upRead);
                grid.points[1] = PointOfFields(downRead);
            }};
}

// Triangle 100 carries a bad index: the points and the triangles before it load, the rest stay.
HostileFile BadTriangleIndex(const std::string& name, const std::string& line)
{
    return {name,
            [=] {
                return SculptedWith({{kFirstTriangleLine - 1 + 100, line}});
            },
            false, kFirstTriangleLine + 100,
            [](CGrid& grid) {
                grid.points = Sculpted().points;
                std::copy_n(Sculpted().triangles.begin(), 100, grid.triangles.begin());
            }};
}

std::vector<HostileFile> HostileFiles()
{
    return {
        {"BinaryGarbage", [] { return Garbage(1 << 16); }, false, 1, Unchanged},
        {"OnlyNulBytes", [] { return std::string(1 << 16, '\0'); }, false, 1, Unchanged},
        // A field is read up to its first non-digit, so a NUL there ends the number and no more.
        {"NulByteEndingEveryLine",
         [] { return ReplaceAll(FileOf(Sculpted()), "\r\n", std::string("\0\r\n", 3)); }, true, 0,
         BecomesSculpted},
        {"OneLineOf10Megabytes", [] { return std::string(10 << 20, '7'); }, false, 1, Unchanged},
        PointFieldsBeyond32Bits("ThirtyDigitPointFields", std::string(30, '9'),
                                "-" + std::string(30, '9'), INT_MAX, INT_MIN),
        PointFieldsBeyond32Bits("PointFieldsJustBeyond32Bits", "2147483648", "-2147483649", INT_MAX,
                                INT_MIN),
        BadTriangleIndex("ThirtyDigitTriangleIndex", "0,70," + std::string(30, '9')),
        BadTriangleIndex("TriangleIndex2147483648", "2147483648,70,71"),
        BadTriangleIndex("TriangleIndexMinus2147483649", "0,-2147483649,71"),
        BadTriangleIndex("NegativeTriangleIndex", "0,70,-1"),
        BadTriangleIndex("TriangleIndexPastTheLastPoint", "4900,70,71"),
        // Without a line feed the whole file is one line: point 0 reads its own eight fields.
        {"CarriageReturnLineEnds", [] { return ReplaceAll(FileOf(Sculpted()), "\r\n", "\r"); },
         false, 2, [](CGrid& grid) { grid.points[0] = Sculpted().points[0]; }},
        {"Utf8ByteOrderMark", [] { return "\xEF\xBB\xBF" + FileOf(Sculpted()); }, true, 0,
         [](CGrid& grid) {
             grid = Sculpted();
             grid.points[0].flags[0] = 0;
         }},
        // Every field starts with a NUL byte and reads as 0, so the lines are all there and all 0.
        {"Utf16Text", [] { return Utf16LittleEndian(FileOf(Sculpted())); }, true, 0,
         [](CGrid& grid) {
             std::fill(grid.points.begin(), grid.points.end(), PointOfFields(0));
             std::fill(grid.triangles.begin(), grid.triangles.end(), tagTRIANGLE3{{0, 0, 0}});
         }},
        {"OnlyCommas", [] { return std::string(1 << 20, ','); }, false, 2,
         [](CGrid& grid) { grid.points[0] = PointOfFields(0); }},
        {"SevenFieldPointLines",
         [] {
             return SculptedEdited([](size_t i, const std::string& line) {
                 return i < 4900 ? line.substr(0, line.rfind(',')) : line;
             });
         },
         false, 1, Unchanged},
        {"NineFieldPointLines",
         [] {
             return SculptedEdited(
                 [](size_t i, const std::string& line) { return i < 4900 ? line + ",5" : line; });
         },
         true, 0, BecomesSculpted},
        // Its triangle lines stand where the 70 grid's point lines go on: too short to be points.
        {"FileOfA10Grid", [] { return FileOf(FreshGrid(10)); }, false, 101,
         [](CGrid& grid) {
             const CGrid ten = AsStored(FreshGrid(10));
             std::copy(ten.points.begin(), ten.points.end(), grid.points.begin());
         }},
        // Nothing in the file tells its size: its first 4900 points fill the 70 grid, its further
        // point lines give triangles of their flags, then its own triangles follow, all in range.
        {"FileOfA100Grid", [] { return FileOf(FreshGrid(100)); }, true, 0,
         [](CGrid& grid) {
             const CGrid hundred = AsStored(FreshGrid(100));
             std::copy_n(hundred.points.begin(), grid.points.size(), grid.points.begin());
             for (size_t t = 0; t < grid.triangles.size(); ++t)
             {
                 const size_t line = grid.points.size() + t;
                 if (line < hundred.points.size())
                 {
                     const unsigned char* f = hundred.points[line].flags;
                     grid.triangles[t] = tagTRIANGLE3{{f[0], f[1], f[2]}};
                 }
                 else
                     grid.triangles[t] = hundred.triangles[line - hundred.points.size()];
             }
         }},
    };
}

class HostileModelFile : public ::testing::TestWithParam<HostileFile>
{
};
} // namespace

TEST_P(HostileModelFile, LoadsOrStopsAsExpectedWithEveryIndexInRange)
{
    const HostileFile& file = GetParam();
    const ScratchDirectory scratch;
    const std::string bytes = file.bytes();
    WriteBytes("model.dat", bytes);
    ClearReportedFailures();
    CGrid grid = FreshGrid70();
    EXPECT_EQ(LoadModel(grid), file.loads);
    EXPECT_TRUE(ReportedFailures().empty());
    CGrid expected = FreshGrid70();
    file.expected(expected);
    EXPECT_EQ(FirstDifference(grid, expected), "");

    std::istringstream in(bytes);
    CGrid again = FreshGrid70();
    EXPECT_EQ(ReadModel(in, again).stopLine, file.stopLine);
    // Size, index range and, where it loads, a stable save, load and save.
    EXPECT_EQ(LoaderInvariantBreach(bytes, scratch.Path() / "model.dat"), "");
}

INSTANTIATE_TEST_SUITE_P(Table, HostileModelFile, ::testing::ValuesIn(HostileFiles()),
                         [](const ::testing::TestParamInfo<HostileFile>& info) {
                             return info.param.name;
                         });
