#include "ModelTool.h"

#include "CommandLine.h"
#include "FileStore.h"
#include "GltfExport.h"
#include "Grid.h"
#include "HeightMap.h"
#include "ModelFile.h"
#include "ModelInfo.h"
#include "ObjExport.h"
#include "OutputFile.h"
#include "PngFile.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace
{
const char* const kProgramName = "tessmere-model";
// A model file of the program's grid is about 300 KB; this leaves room for any that it reads.
const size_t kMaxModelFileBytes = 16u << 20;
// Far more than any height map of the largest size the tool reads.
const size_t kMaxPngFileBytes = 256u << 20;

int Fail(std::ostream& err, int code, const std::string& message)
{
    err << kProgramName << ": " << message << "\n";
    if (code == kExitUsage)
        err << "Try '" << kProgramName << " --help'.\n";
    return code;
}

// what names the kind of file for a message about one over limit bytes.
bool ReadWholeFile(const std::string& path, size_t limit, const char* what, std::string& bytes,
                   std::string& error)
{
    std::ifstream in;
    if (!OpenForReading(PathOf(path), in))
    {
        error = "cannot open " + path;
        return false;
    }
    // Read by blocks, no further than past the limit, so that a device or an endless pipe ends
    // too; memory goes only to what the file holds.
    char block[1 << 16];
    bytes.clear();
    do
    {
        in.read(block, sizeof block);
        bytes.append(block, static_cast<size_t>(in.gcount()));
    } while (in && bytes.size() <= limit);
    if (in.bad())
    {
        error = "cannot read " + path;
        return false;
    }
    if (bytes.size() > limit)
    {
        error = path + " is too large to be " + what + " (over " + std::to_string(limit >> 20) +
                " MiB)";
        return false;
    }
    return true;
}

// The model as the program would hold it; false unless the program would read it whole.
bool LoadWholeModel(const std::string& path, CGrid& grid, std::string& error)
{
    std::string bytes;
    if (!ReadWholeFile(path, kMaxModelFileBytes, "a model file", bytes, error))
        return false;
    grid.Create(kProgramGridSize);
    std::istringstream in(bytes);
    const ModelReadResult result = ReadModel(in, grid);
    if (!result.complete)
    {
        error = path + ": the program stops reading it at line " + std::to_string(result.stopLine) +
                "; see " + kProgramName + " info " + path;
        return false;
    }
    return true;
}

int Info(const ToolCommand& command, std::ostream& out, std::ostream& err)
{
    std::string bytes, error;
    if (!ReadWholeFile(command.input, kMaxModelFileBytes, "a model file", bytes, error))
        return Fail(err, kExitFileFailed, error);
    const ModelReport report = InspectModel(bytes, kProgramGridSize);
    PrintReport(command.input, report, kProgramGridSize, out);
    // A file the program cannot load whole counts as unreadable; the rest are warnings.
    return report.stopLine == 0 ? kExitDone : kExitFileFailed;
}

// The bytes of one export format, made from the model as the program holds it.
using Encoder = bool (*)(const ToolCommand& command, const CGrid& grid, std::string& bytes,
                         std::string& error);

int Export(const ToolCommand& command, Encoder encode, std::ostream& err)
{
    CGrid grid;
    std::string bytes, error;
    if (!LoadWholeModel(command.input, grid, error) ||
        !MayWrite(command.output, command.force, error) || !encode(command, grid, bytes, error))
        return Fail(err, kExitFileFailed, error);
    if (!WriteOutput(command.output, bytes, error))
        return Fail(err, kExitFileFailed, error);
    return kExitDone;
}

bool EncodeObj(const ToolCommand& command, const CGrid& grid, std::string& bytes, std::string&)
{
    std::ostringstream obj;
    WriteObj(grid, command.drawnOnly, obj);
    bytes = obj.str();
    return true;
}

bool EncodeGltf(const ToolCommand& command, const CGrid& grid, std::string& bytes,
                std::string& error)
{
    if (EncodeGlb(grid, command.drawnOnly, bytes, error))
        return true;
    error = command.input + ": " + error;
    return false;
}

bool EncodeHeightMap(const ToolCommand&, const CGrid& grid, std::string& bytes, std::string&)
{
    const HeightMapImage image = MakeHeightMap(grid);
    std::string rows;
    for (std::uint16_t sample : image.samples)
        rows += {static_cast<char>(sample >> 8), static_cast<char>(sample & 0xFF)};
    bytes = EncodePng({image.size, image.size, 16, 0, rows},
                      {{kRangeKeyword, FormatRange(image.range)}});
    return true;
}

int Import(const ToolCommand& command, std::ostream& err)
{
    std::string error;
    if (!MayWrite(command.output, command.force, error))
        return Fail(err, kExitFileFailed, error);
    GreyResampler image(kProgramGridSize);
    std::vector<PngText> texts;
    std::string bytes;
    if (!ReadWholeFile(command.input, kMaxPngFileBytes, "a height map", bytes, error))
        return Fail(err, kExitFileFailed, error);
    if (!DecodeGreyPng(bytes, image, texts, error))
        return Fail(err, kExitFileFailed, command.input + " " + error);
    ZRange range = command.range;
    if (!command.hasRange)
    {
        const PngText* stored = nullptr;
        for (const PngText& text : texts)
            if (text.keyword == kRangeKeyword)
                stored = &text;
        if (!stored)
            return Fail(err, kExitUsage,
                        command.input + " has no stored height range; give --white Z --black Z");
        if (!ParseRange(stored->text, range) || range.white > 0 || range.black > 0)
            return Fail(err, kExitFileFailed,
                        command.input + ": the stored height range '" + stored->text +
                            "' is damaged or above 0; give --white Z --black Z");
    }
    CGrid grid;
    grid.Create(kProgramGridSize);
    ApplyHeightMap(image, range, grid);
    // SaveModel has already told the user why through the failure seam.
    if (!SaveModel(grid, PathOf(command.output)))
        return Fail(err, kExitFileFailed, command.output + " was not written");
    return kExitDone;
}
} // namespace

int RunTessmereModel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ToolCommand command;
    std::string error;
    if (!ParseCommandLine(args, command, error))
        return Fail(err, kExitUsage, error);
    switch (command.action)
    {
    case ToolAction::Help:
        out << command.help;
        return kExitDone;
    case ToolAction::Info:
        return Info(command, out, err);
    case ToolAction::ExportObj:
        return Export(command, EncodeObj, err);
    case ToolAction::ExportGltf:
        return Export(command, EncodeGltf, err);
    case ToolAction::ExportPng:
        return Export(command, EncodeHeightMap, err);
    case ToolAction::Import:
        return Import(command, err);
    }
    return kExitUsage;
}
