#include "ModelFile.h"

#include "FailureReport.h"
#include "FileStore.h"
#include "Grid.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <sstream>

const char* const kModelFileName = "model.dat";

namespace
{
const double kFileScale = 10000.0;
const double kFileUnit = 0.0001;
const size_t kPointFields = 8;
const size_t kTriangleFields = 3;
// "-2147483648", and the longest line: eight such fields, their commas and the CR LF.
const int kLongestField = 11;
const int kLongestLine = kPointFields * (kLongestField + 1) + 1;
const int kWriteBlockBytes = 16 * 1024;

// Split's cut, into fields left from an earlier line: reusing their strings spares the allocations
// of a new vector and new strings for every line, which dominated a load.
void SplitInto(const std::string& text, const std::string& delimiter,
               std::vector<std::string>& fields)
{
    size_t count = 0;
    for (size_t start = 0;; ++count)
    {
        // An empty delimiter cuts nowhere, where finding it would cut at every step forever; the
        // reader's one character is found without comparing strings.
        const size_t found = delimiter.empty()       ? std::string::npos
                             : delimiter.size() == 1 ? text.find(delimiter[0], start)
                                                     : text.find(delimiter, start);
        if (count == fields.size())
            fields.emplace_back();
        fields[count].assign(text, start, found == std::string::npos ? found : found - start);
        if (found == std::string::npos)
            break;
        start = found + delimiter.size();
    }
    fields.resize(count + 1);
}

// The one loop over the file's lines: points first, then triangles, each line applied as soon as it
// is read. A line that cannot be used is listed and its element keeps what it had; the walk stops
// there unless checkAll, which also counts the lines after the last. The file's end stops it.
std::vector<ModelLineProblem> WalkModel(std::istream& in, CGrid& grid, bool checkAll)
{
    std::vector<ModelLineProblem> problems;
    std::string line;
    std::vector<std::string> fields;
    const long pointCount = static_cast<long>(grid.points.size());
    const long lineCount = pointCount + static_cast<long>(grid.triangles.size());
    for (long number = 1; number <= lineCount && (checkAll || problems.empty()); ++number)
    {
        if (!std::getline(in, line))
        {
            problems.push_back({number, ModelLineFault::MissingLines, lineCount - number + 1});
            break;
        }
        // A CR before the LF stays on the last field, whose number ends before it all the same.
        SplitInto(line, ",", fields);
        const long element = number - 1;
        const bool isPoint = element < pointCount;
        if (fields.size() < (isPoint ? kPointFields : kTriangleFields))
        {
            problems.push_back(
                {number, ModelLineFault::ShortLine, static_cast<long long>(fields.size())});
        }
        else if (isPoint)
        {
            tagPOINT4& point = grid.points[element];
            for (int k = 0; k < 4; ++k)
                point.flags[k] = static_cast<unsigned char>(ParseField(fields[k]));
            point.x = ScaleFromFile(ParseField(fields[4]));
            point.y = ScaleFromFile(ParseField(fields[5]));
            point.z = ScaleFromFile(ParseField(fields[6]));
            point.w = ScaleFromFile(ParseField(fields[7]));
        }
        else
        {
            int vertex[kTriangleFields];
            std::transform(fields.begin(), fields.begin() + kTriangleFields, vertex, ParseField);
            // The drawing code indexes points with these, so a bad index never gets stored.
            const int* bad = std::find_if(std::begin(vertex), std::end(vertex),
                                          [&](int v) { return v < 0 || v >= pointCount; });
            if (bad != std::end(vertex))
                problems.push_back({number, ModelLineFault::IndexOutOfRange, *bad});
            else
                std::copy(std::begin(vertex), std::end(vertex),
                          grid.triangles[element - pointCount].vertex);
        }
    }
    long long extraLines = 0;
    while (checkAll && std::getline(in, line))
        ++extraLines;
    if (extraLines > 0)
        problems.push_back({lineCount + 1, ModelLineFault::ExtraLines, extraLines});
    return problems;
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
    const char* at = field.data();
    const char* const end = at + field.size();
    at = std::find_if_not(at, end, [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
    const bool negative = at != end && *at == '-';
    if (at != end && (negative || *at == '+'))
        ++at;
    // Unsigned, so that from_chars takes no second sign; beyond 64 bits it leaves the value.
    unsigned long long magnitude = 0;
    if (std::from_chars(at, end, magnitude).ec == std::errc::result_out_of_range)
        magnitude = ULLONG_MAX;
    const long long limit = negative ? 1LL << 31 : INT_MAX;
    const auto value = static_cast<long long>(std::min<unsigned long long>(magnitude, limit));
    return static_cast<int>(negative ? -value : value);
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
    const int n = static_cast<int>(std::clamp(scaled, double(INT_MIN), double(INT_MAX)));
    // Truncation alone lets a value drift toward zero on every load and save; take the neighbour
    // away from zero when only that one reads back as the same float.
    if (ScaleFromFile(n) == value || n == INT_MAX || n == INT_MIN)
        return n;
    const int away = value > 0.0f ? n + 1 : n - 1;
    return ScaleFromFile(away) == value ? away : n;
}

ModelReadResult ReadModel(std::istream& in, CGrid& grid)
{
    // Into a copy: one bad line, a hand edit or another program's, must not cost the model every
    // line after it. A file that ends early has nothing more to lose, and what it holds is taken.
    CGrid read = grid;
    const std::vector<ModelLineProblem> problems = WalkModel(in, read, false);
    const bool refused =
        !problems.empty() && problems.front().fault != ModelLineFault::MissingLines;
    if (!refused)
    {
        grid.points.swap(read.points);
        grid.triangles.swap(read.triangles);
    }
    return {problems.empty(), problems.empty() ? 0 : problems.front().line, refused};
}

std::vector<ModelLineProblem> CheckModel(std::istream& in, CGrid& grid)
{
    return WalkModel(in, grid, true);
}

bool WriteModel(std::ostream& out, const CGrid& grid)
{
    // Lines go out in blocks: a stream call for every line cost more than its digits. The digits
    // are exactly printf's "%d", without interpreting a format for every number, which dominated a
    // save.
    char block[kWriteBlockBytes];
    char* at = block;
    const auto writeLine = [&](std::initializer_list<int> fields) {
        if (block + sizeof block - at < kLongestLine)
        {
            out.write(block, at - block);
            at = block;
        }
        for (int field : fields)
        {
            at = std::to_chars(at, block + sizeof block, field).ptr;
            *at++ = ',';
        }
        at[-1] = '\r';
        *at++ = '\n';
    };
    for (const tagPOINT4& p : grid.points)
        writeLine({p.flags[0], p.flags[1], p.flags[2], p.flags[3], ScaleToFile(p.x),
                   ScaleToFile(p.y), ScaleToFile(p.z), ScaleToFile(p.w)});
    for (const tagTRIANGLE3& t : grid.triangles)
        writeLine({t.vertex[0], t.vertex[1], t.vertex[2]});
    out.write(block, at - block);
    return !out.flush().fail();
}

// Out of memory, in practice, is caught in both: the program goes on, with the model as it was.
bool LoadModel(CGrid& grid, const std::filesystem::path& path)
{
    bool readable = false;
    ModelReadResult read{false, 0, false};
    try
    {
        std::string bytes;
        readable = ReadWholeFile(path, kMaxModelFileBytes, bytes) == FileRead::Read;
        if (readable)
        {
            std::istringstream in(bytes);
            read = ReadModel(in, grid);
        }
    }
    catch (const std::exception&)
    {
        readable = false;
    }
    if (!readable)
        ReportModelFailure(ModelFailure::LoadFailed);
    else if (read.refused)
        ReportModelFailure(ModelFailure::FileDamaged, read.stopLine);
    return read.complete;
}

bool SaveModel(const CGrid& grid, const std::filesystem::path& path)
{
    SaveOutcome outcome = SaveOutcome::Unchanged;
    try
    {
        std::ostringstream out;
        WriteModel(out, grid);
        outcome = SaveFile(path, out.str());
    }
    catch (const std::exception&)
    {
        // The file is as it was; out of memory part way, a temporary may be left beside it.
    }
    if (outcome != SaveOutcome::Saved)
        ReportModelFailure(outcome == SaveOutcome::Damaged ? ModelFailure::SaveLeftDamaged
                                                           : ModelFailure::SaveFailed);
    return outcome == SaveOutcome::Saved;
}
