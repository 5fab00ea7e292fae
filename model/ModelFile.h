// The model file: comma-separated decimal text, point lines then triangle lines.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

class CGrid;

// The file the program reads at start-up and on L, and writes on S, in the working directory.
extern const char* const kModelFileName;
// A file of the program's grid is about 300 KB: anything larger is no model of it, and is refused
// before it is read.
const std::size_t kMaxModelFileBytes = 16u << 20;

// Cuts text at every occurrence of delimiter: one field more than there are delimiters.
std::vector<std::string> Split(std::string text, std::string delimiter);

// Reads the file into the grid as ReadModel does. True when every element had its line. False
// after telling the user when the file cannot be read, is too large or has a damaged line, the
// grid then as it was; and false without a word when the file ends early.
bool LoadModel(CGrid& grid, const std::filesystem::path& path = kModelFileName);

// Saves the grid as SaveFile does, so a failed save leaves the old file as it was. False, after
// telling the user whether the file was left as it was or may be damaged, on any failure.
bool SaveModel(const CGrid& grid, const std::filesystem::path& path = kModelFileName);

// Where a read stopped: 0 when every element got its line, else the 1-based line number
// that was missing, short or out of range.
struct ModelReadResult
{
    bool complete;
    long stopLine;
    bool refused; // the line at stopLine was there but could not be used
};

// The stream halves of LoadModel and SaveModel, for callers that bring their own file. A line
// that cannot be used refuses the whole file and leaves the grid as it was; a file that ends early
// gives the elements it has lines for, and the rest keep what they had.
ModelReadResult ReadModel(std::istream& in, CGrid& grid);
bool WriteModel(std::ostream& out, const CGrid& grid);

// Why a line of the file cannot fill its element, or what the reader passes over.
enum class ModelLineFault
{
    MissingLines,    // the file ends before this line; value: how many lines are missing
    ShortLine,       // too few fields for its kind of line; value: the fields found
    IndexOutOfRange, // a triangle corner that is no point of the grid; value: the index read
    ExtraLines,      // lines after the last triangle, which the reader ignores; value: how many
};

struct ModelLineProblem
{
    long line;
    ModelLineFault fault;
    long long value;
};

// Reads by ReadModel's rules but in place, on past a line it cannot use (its element keeps what
// it had), and lists every such line, in file order.
std::vector<ModelLineProblem> CheckModel(std::istream& in, CGrid& grid);

// The integer form of one coordinate in the file, and back.
int ScaleToFile(float value);
float ScaleFromFile(int value);

// The lenient reader of one field: leading white space, optional sign, digits up to the first
// non-digit; no digits give 0, values beyond 32 bits saturate.
int ParseField(const std::string& field);
