// Load and save of a fully sculpted model beside a plain read and write of the same bytes.
#include "Bench.h"
#include "Grid.h"
#include "ModelFile.h"
#include "RecordedFailures.h"
#include "ScratchDirectory.h"

#include <sstream>

namespace
{
const int kRepetitions = 200;
const int kWarmUpRuns = 5;
const double kTargetMs = 3.0;
const double kTargetRatio = 3.0;
const char* const kPlainFile = "plain.dat";

// The floor of a load: open, read every byte into a buffer made beforehand, close.
size_t PlainRead(const char* path, std::vector<char>& buffer)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return 0;
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    std::fclose(file);
    return got;
}

// The floor of a save: create or truncate, write the bytes, close.
bool PlainWrite(const char* path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
} // namespace

int main()
{
    ScratchDirectory scratch;
    CGrid sculpted;
    CreateSculptedGrid(sculpted);
    if (!SaveModel(sculpted))
        BenchFailed("bench_model: the first save failed");
    const std::string bytes = ReadBytes(kModelFileName);
    std::vector<char> buffer(bytes.size() + 1);
    std::printf("Model file: load and save of a fully sculpted 70 grid\n"
                "model.dat: %zu bytes, %zu lines\n",
                bytes.size(), sculpted.points.size() + sculpted.triangles.size());

    CGrid loaded;
    loaded.Create(sculpted.size);
    bool ok = true;
    const auto [load, read, save, write, parse, format] = Repeat(kWarmUpRuns, kRepetitions, [&] {
        const double loadMs = TimeMs([&] { ok = LoadModel(loaded) && ok; });
        const double readMs =
            TimeMs([&] { ok = PlainRead(kModelFileName, buffer) == bytes.size() && ok; });
        const double saveMs = TimeMs([&] { ok = SaveModel(sculpted) && ok; });
        const double writeMs = TimeMs([&] { ok = PlainWrite(kPlainFile, bytes) && ok; });
        // The same work without the file: where the time goes besides the input and output.
        std::istringstream in(bytes);
        const double parseMs = TimeMs([&] { ok = ReadModel(in, loaded).complete && ok; });
        std::ostringstream out;
        const double formatMs = TimeMs([&] { ok = WriteModel(out, sculpted) && ok; });
        ok = ok && out.str() == bytes;
        return std::array<double, 6>{loadMs, readMs, saveMs, writeMs, parseMs, formatMs};
    });
    if (!ok || !ReportedFailures().empty())
        BenchFailed("bench_model: a load or save failed, reported a failure or wrote other bytes");

    PrintTable("Model file", kRepetitions,
               {{"LoadModel", load, "plain read, same bytes", read},
                {"SaveModel", save, "plain write, same bytes", write},
                {"  of which ReadModel from memory", parse},
                {"  of which WriteModel to memory", format}});
    PrintTarget("LoadModel at most 3 ms", load.median, kTargetMs, "ms");
    PrintTarget("LoadModel within 3x a plain read", load.median / read.median, kTargetRatio, "x");
    PrintTarget("SaveModel at most 3 ms", save.median, kTargetMs, "ms");
    PrintTarget("SaveModel within 3x a plain write", save.median / write.median, kTargetRatio, "x");
    return 0;
}
