#include "ModelTool.h"

#include "Decimal.h"
#include "FileStore.h"
#include "GltfExport.h"
#include "Grid.h"
#include "HeightMap.h"
#include "ModelFile.h"
#include "ModelInfo.h"
#include "ObjExport.h"
#include "OutputFile.h"
#include "PngFile.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>

namespace
{
const char* const kProgramName = "tessmere-model";
// A model file of the program's grid is about 300 KB; this leaves room for any that it reads.
const size_t kMaxModelFileBytes = 16u << 20;
// Far more than any height map of the largest size the tool reads.
const size_t kMaxPngFileBytes = 256u << 20;

// What the command line asks of the command it names.
struct Request
{
    std::string input;
    std::string output;
    bool drawnOnly = false;
    bool force = false;
    ZRange range{0, 0}; // --white and --black, which come together
};

// The bytes of an export format, made from the model as the program holds it; false with the
// reason when the format cannot hold the model.
using Encoding = std::function<bool(const CGrid& grid, std::string& bytes, std::string& error)>;

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
    const auto fail = [&error](const std::string& why) {
        error = why;
        return false;
    };
    std::ifstream in;
    if (!OpenForReading(PathOf(path), in))
        return fail("cannot open " + path);
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
        return fail("cannot read " + path);
    if (bytes.size() > limit)
        return fail(path + " is too large to be " + what + " (over " + std::to_string(limit >> 20) +
                    " MiB)");
    return true;
}

int Info(const Request& request, std::ostream& out, std::ostream& err)
{
    std::string bytes, error;
    if (!ReadWholeFile(request.input, kMaxModelFileBytes, "a model file", bytes, error))
        return Fail(err, kExitFileFailed, error);
    // A file the program cannot load whole counts as unreadable; the rest are warnings.
    return PrintModelInfo(request.input, bytes, kProgramGridSize, out) ? kExitDone
                                                                       : kExitFileFailed;
}

int Export(const Request& request, const Encoding& encode, std::ostream& err)
{
    CGrid grid;
    grid.Create(kProgramGridSize);
    std::string bytes, error;
    if (!ReadWholeFile(request.input, kMaxModelFileBytes, "a model file", bytes, error))
        return Fail(err, kExitFileFailed, error);
    std::istringstream in(bytes);
    const ModelReadResult read = ReadModel(in, grid);
    if (!read.complete)
        return Fail(err, kExitFileFailed,
                    request.input + ": the program stops reading it at line " +
                        std::to_string(read.stopLine) + "; see " + kProgramName + " info " +
                        request.input);
    if (!MayWrite(request.output, request.force, error))
        return Fail(err, kExitFileFailed, error);
    if (!encode(grid, bytes, error))
        return Fail(err, kExitFileFailed, request.input + ": " + error);
    if (!WriteOutput(request.output, bytes, error))
        return Fail(err, kExitFileFailed, error);
    return kExitDone;
}

int Import(const Request& request, bool rangeGiven, std::ostream& err)
{
    std::string bytes, error;
    if (!MayWrite(request.output, request.force, error))
        return Fail(err, kExitFileFailed, error);
    if (!ReadWholeFile(request.input, kMaxPngFileBytes, "a height map", bytes, error))
        return Fail(err, kExitFileFailed, error);
    GreyImage image;
    std::optional<std::string> stored;
    if (!DecodeGreyPng(bytes, kRangeKeyword, image, stored, error))
        return Fail(err, kExitFileFailed, request.input + " " + error);
    ZRange range = request.range;
    if (!rangeGiven && !stored)
        return Fail(err, kExitUsage,
                    request.input + " has no stored height range; give --white Z --black Z");
    if (!rangeGiven && (!ParseRange(*stored, range) || range.white > 0 || range.black > 0))
        return Fail(err, kExitFileFailed,
                    request.input + ": the stored height range '" + *stored +
                        "' is damaged or above 0; give --white Z --black Z");
    CGrid grid;
    grid.Create(kProgramGridSize);
    ApplyHeightMap(image, range, grid);
    // SaveModel has already told the user why through the failure seam.
    if (!SaveModel(grid, PathOf(request.output)))
        return Fail(err, kExitFileFailed, request.output + " was not written");
    return kExitDone;
}
} // namespace

int RunTessmereModel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CLI::App app("tessmere-model: the program's model file checked, taken out to OBJ, glTF "
                 "and PNG, and made from a PNG.",
                 kProgramName);
    // On Windows too a path that begins with / is a path, never an option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", TESSMERE_VERSION_STRING);
    app.require_subcommand(1);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.footer("Existing files are replaced only with --force. Exit codes: 0 done, 1 a file "
               "could not be read or written, 2 bad usage.");

    Request request;
    int code = kExitDone;
    const auto command = [&](const char* name, const std::string& what, const char* file,
                             const char* fileWhat, const std::function<int()>& handler) {
        CLI::App* sub = app.add_subcommand(name, what);
        sub->group("Commands");
        sub->add_option(file, request.input, fileWhat)->required()->type_name("");
        sub->callback([&code, handler] { code = handler(); });
        return sub;
    };
    const auto grid = std::to_string(kProgramGridSize) + " x " + std::to_string(kProgramGridSize);

    command("info",
            "check a model file: grid size, height range, drawn triangles, flipped cells, and "
            "every problem by line",
            "FILE", "the model file", [&] { return Info(request, out, err); });

    CLI::Option *obj = nullptr, *gltf = nullptr;
    // The format is the option given; only glTF can fail to hold a model.
    const Encoding encode = [&](const CGrid& model, std::string& bytes, std::string& error) {
        if (gltf->count() > 0)
            return EncodeGlb(model, request.drawnOnly, bytes, error);
        bytes = obj->count() > 0 ? ObjText(model, request.drawnOnly) : HeightMapPng(model);
        return true;
    };
    CLI::App* exporting =
        command("export", "the model's own triangles as a mesh, or its heights as an image", "FILE",
                "the model file", [&] { return Export(request, encode, err); });
    CLI::Option_group* output = exporting->add_option_group("output", "the file to write, one of");
    const auto format = [&](const char* name, const std::string& what) {
        return output->add_option(name, request.output, what)->type_name("OUT");
    };
    obj = format("--obj", "Wavefront OBJ mesh, elevation (-z) as z, texture coordinates");
    gltf = format(
        "--gltf",
        "binary glTF, elevation as +Y, north -Z, normals, textured with the program's bitmap");
    CLI::Option* png =
        format("--png", "16-bit greyscale " + grid +
                            " height map, white highest, north up, its z range inside");
    output->require_option(1);
    exporting->add_flag("--drawn-only", request.drawnOnly, "only the triangles the program draws")
        ->excludes(png);

    CLI::Option* white = nullptr;
    CLI::App* importing =
        command("import",
                "a new model from a greyscale PNG, resampled bilinearly onto the " + grid + " grid",
                "PNG", "the height map", [&] { return Import(request, white->count() > 0, err); });
    importing->add_option("--out", request.output, "the new model file")
        ->required()
        ->type_name("FILE");
    // The z of white or black: a number at or below 0, where the program keeps every point.
    const auto height = [&](const char* name, int& units, const char* what) {
        const auto parse = [name, &units](const std::string& text) {
            if (!ParseUnits(text, units))
                throw CLI::ValidationError(name, "needs a number, not '" + text + "'");
            if (units > 0)
                throw CLI::ValidationError(
                    name, text + " lies above height 0, where the program puts no point");
        };
        return importing->add_option_function<std::string>(name, parse, what)->type_name("Z");
    };
    white = height("--white", request.range.white, "the z of white (0 or below)");
    height("--black", request.range.black, "the z of black (0 or below)")->needs(white);
    white->needs("--black");
    importing->footer("Elevation is -z. Without --white and --black, the z range that export "
                      "--png stored in the image is used.");
    for (CLI::App* writing : {exporting, importing})
        writing->add_flag("--force", request.force, "replace an existing file");

    try
    {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    }
    catch (const CLI::ParseError& e)
    {
        // What CLI11 finds no command in is a missing or an unknown command, help or not.
        if (app.get_subcommands().empty() && (args.empty() || args[0][0] != '-'))
            return Fail(err, kExitUsage,
                        args.empty() ? "no command given" : "unknown command '" + args[0] + "'");
        if (e.get_exit_code() == 0)
            return app.exit(e, out, err);
        return Fail(err, kExitUsage, e.what());
    }
    return code;
}
