#include "ModelFile.h"

#include "FailureReport.h"
#include "FileStore.h"
#include "Grid.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

const char* const kModelFileName = "model.dat";

namespace
{
const double kFileScale = 10000.0;
const double kFileUnit = 0.0001;
const int kPointFields = 8;
const int kTriangleFields = 3;
// "-2147483648", and the longest line: eight such fields, seven commas and the CR LF.
const int kLongestField = 11;
const int kLongestLine = kPointFields * (kLongestField + 1) + 1;
const int kWriteBlockBytes = 16 * 1024;

bool IsFieldSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Split's cut, into fields left from an earlier line: reusing their strings spares the
// allocations of a new vector and new strings for every line, which dominated a load.
void SplitInto(const std::string& text, const std::string& delimiter,
               std::vector<std::string>& fields)
{
    size_t count = 0;
    size_t start = 0;
    for (;;)
    {
        // The reader's one-character delimiter is found without comparing strings.
        const size_t found = delimiter.empty()       ? std::string::npos
                             : delimiter.size() == 1 ? text.find(delimiter[0], start)
                                                     : text.find(delimiter, start);
        const size_t end = found == std::string::npos ? text.size() : found;
        if (count == fields.size())
            fields.emplace_back();
        fields[count++].assign(text, start, end - start);
        if (found == std::string::npos)
            break;
        start = found + delimiter.size();
    }
    fields.resize(count);
}

// Writes at `at` one line of integer fields joined by commas, with its CR LF, and returns its
// end: the digits exactly as printf's "%d" writes them, without interpreting a format for every
// number, which dominated a save.
char* FormatLine(char* at, const int* fields, int count)
{
    for (int k = 0; k < count; ++k)
    {
        if (k > 0)
            *at++ = ',';
        at = std::to_chars(at, at + kLongestField, fields[k]).ptr;
    }
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

// One line of the file, split into its fields; false once the file has ended.
bool ReadFields(std::istream& in, std::string& line, std::vector<std::string>& fields)
{
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    SplitInto(line, ",", fields);
    return true;
}

// The one rule for a point line: eight fields or nothing.
bool ApplyPointLine(const std::vector<std::string>& fields, tagPOINT4& point,
                    ModelLineProblem& problem)
{
    if (fields.size() < kPointFields)
    {
        problem.fault = ModelLineFault::ShortLine;
        problem.value = static_cast<long long>(fields.size());
        return false;
    }
    for (int k = 0; k < 4; ++k)
        point.flags[k] = static_cast<unsigned char>(ParseField(fields[k]) & 0xFF);
    point.x = ScaleFromFile(ParseField(fields[4]));
    point.y = ScaleFromFile(ParseField(fields[5]));
    point.z = ScaleFromFile(ParseField(fields[6]));
    point.w = ScaleFromFile(ParseField(fields[7]));
    return true;
}

// The one rule for a triangle line: three fields, each a point of the grid.
bool ApplyTriangleLine(const std::vector<std::string>& fields, long long pointCount,
                       tagTRIANGLE3& triangle, ModelLineProblem& problem)
{
    if (fields.size() < kTriangleFields)
    {
        problem.fault = ModelLineFault::ShortLine;
        problem.value = static_cast<long long>(fields.size());
        return false;
    }
    int vertex[kTriangleFields];
    for (int k = 0; k < kTriangleFields; ++k)
    {
        vertex[k] = ParseField(fields[k]);
        // The drawing code indexes points with these, so a bad index never gets stored.
        if (vertex[k] < 0 || vertex[k] >= pointCount)
        {
            problem.fault = ModelLineFault::IndexOutOfRange;
            problem.value = vertex[k];
            return false;
        }
    }
    for (int k = 0; k < kTriangleFields; ++k)
        triangle.vertex[k] = vertex[k];
    return true;
}

// The one loop over the file's lines: points first, then triangles, each line applied as it is
// read. A line that cannot be used goes to onProblem, which says whether to read on (its element
// keeps what it had); the end of the file always stops the walk. True when every line was used.
bool WalkModel(std::istream& in, CGrid& grid,
               const std::function<bool(const ModelLineProblem&)>& onProblem)
{
    std::string line;
    std::vector<std::string> fields;
    const size_t pointCount = grid.points.size();
    const long totalLines = static_cast<long>(pointCount + grid.triangles.size());
    ModelLineProblem problem{};
    bool complete = true;
    for (long lineNumber = 1; lineNumber <= totalLines; ++lineNumber)
    {
        if (!ReadFields(in, line, fields))
        {
            onProblem({lineNumber, ModelLineFault::MissingLines, totalLines - lineNumber + 1});
            return false;
        }
        problem.line = lineNumber;
        const size_t element = static_cast<size_t>(lineNumber - 1);
        const bool used = element < pointCount
                              ? ApplyPointLine(fields, grid.points[element], problem)
                              : ApplyTriangleLine(fields, static_cast<long long>(pointCount),
                                                  grid.triangles[element - pointCount], problem);
        if (!used)
        {
            complete = false;
            if (!onProblem(problem))
                return false;
        }
    }
    return complete;
}
} // namespace

std::vector<std::string> Split(std::string text, std::string delimiter)
{
    std::vector<std::string> fields;
    SplitInto(text, delimiter, fields);
    return fields;
}

int ParseField(const std::string& field)
{
    size_t i = 0;
    while (i < field.size() && IsFieldSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
    {
        negative = field[i] == '-';
        ++i;
    }
    // Accumulate as a magnitude capped just past the 32-bit range, then saturate.
    const long long cap = 2147483648LL;
    long long magnitude = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
    {
        magnitude = magnitude * 10 + (field[i] - '0');
        if (magnitude > cap)
            magnitude = cap;
    }
    if (negative)
        return static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

float ScaleFromFile(int value)
{
    return static_cast<float>(value * kFileUnit);
}

int ScaleToFile(float value)
{
    const double scaled = static_cast<double>(value) * kFileScale;
    if (std::isnan(scaled))
        return 0;
    if (scaled >= 2147483648.0)
        return INT_MAX;
    if (scaled <= -2147483649.0)
        return INT_MIN;
    int n = static_cast<int>(scaled);
    // Truncation alone lets a value drift toward zero on every load and save; take the
    // neighbour away from zero when only that one reads back as the same float.
    if (ScaleFromFile(n) != value && n != INT_MAX && n != INT_MIN)
    {
        const int away = value > 0.0f ? n + 1 : n - 1;
        if (ScaleFromFile(away) == value)
            n = away;
    }
    return n;
}

ModelReadResult ReadModel(std::istream& in, CGrid& grid)
{
    long stopLine = 0;
    const bool complete = WalkModel(in, grid, [&stopLine](const ModelLineProblem& problem) {
        stopLine = problem.line;
        return false;
    });
    return {complete, complete ? 0 : stopLine};
}

std::vector<ModelLineProblem> CheckModel(std::istream& in, CGrid& grid)
{
    std::vector<ModelLineProblem> problems;
    WalkModel(in, grid, [&problems](const ModelLineProblem& problem) {
        problems.push_back(problem);
        return true;
    });
    if (!problems.empty() && problems.back().fault == ModelLineFault::MissingLines)
        return problems;
    const long lastLine = static_cast<long>(grid.points.size() + grid.triangles.size());
    std::string line;
    long long extraLines = 0;
    while (std::getline(in, line))
        ++extraLines;
    if (extraLines > 0)
        problems.push_back({lastLine + 1, ModelLineFault::ExtraLines, extraLines});
    return problems;
}

bool WriteModel(std::ostream& out, const CGrid& grid)
{
    // Lines go out in blocks: a stream call for every line cost more than its digits.
    char block[kWriteBlockBytes];
    char* at = block;
    auto makeRoom = [&]() {
        if (block + sizeof block - at < kLongestLine)
        {
            out.write(block, at - block);
            at = block;
        }
    };
    for (const tagPOINT4& p : grid.points)
    {
        const int fields[kPointFields] = {p.flags[0],       p.flags[1],       p.flags[2],
                                          p.flags[3],       ScaleToFile(p.x), ScaleToFile(p.y),
                                          ScaleToFile(p.z), ScaleToFile(p.w)};
        makeRoom();
        at = FormatLine(at, fields, kPointFields);
    }
    for (const tagTRIANGLE3& t : grid.triangles)
    {
        makeRoom();
        at = FormatLine(at, t.vertex, kTriangleFields);
    }
    out.write(block, at - block);
    out.flush();
    return !out.fail();
}

bool LoadModel(CGrid& grid, const std::filesystem::path& path)
{
    std::ifstream in;
    if (!OpenForReading(path, in))
    {
        ReportModelFailure(ModelFailure::LoadFailed);
        return false;
    }
    return ReadModel(in, grid).complete;
}

bool SaveModel(const CGrid& grid, const std::filesystem::path& path)
{
    std::ostringstream out;
    WriteModel(out, grid);
    const SaveOutcome outcome = SaveFile(path, out.str());
    if (outcome != SaveOutcome::Saved)
        ReportModelFailure(outcome == SaveOutcome::Damaged ? ModelFailure::SaveLeftDamaged
                                                           : ModelFailure::SaveFailed);
    return outcome == SaveOutcome::Saved;
}
