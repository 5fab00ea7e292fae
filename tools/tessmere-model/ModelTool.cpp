#include "ModelTool.h"

#include "Decimal.h"
#include "FileStore.h"
#include "Grid.h"
#include "HeightMap.h"
#include "MeshExport.h"
#include "ModelFile.h"
#include "ModelInfo.h"
#include "PngFile.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace
{
const char* const kProgramName = "tessmere-model";
const int kExitFileFailed = 1;
const int kExitUsage = 2;
// Far more than any height map of the largest size the tool reads.
const size_t kMaxPngFileBytes = 256u << 20;

// Paths come in UTF-8 on every system. what names the kind of file for a message about one over
// limit bytes.
std::string ReadInput(const std::string& path, size_t limit, const char* what)
{
    std::string bytes;
    const FileRead read = ReadWholeFile(fs::u8path(path), limit, bytes);
    if (read == FileRead::CannotOpen)
        throw std::runtime_error("cannot open " + path);
    if (read == FileRead::Failed)
        throw std::runtime_error("cannot read " + path);
    if (read == FileRead::TooLarge)
        throw std::runtime_error(path + " is too large to be " + what + " (over " +
                                 std::to_string(limit >> 20) + " MiB)");
    return bytes;
}

// The model as the program loads it, which must be whole.
CGrid ReadProgramModel(const std::string& path)
{
    CGrid grid;
    grid.Create(kProgramGridSize);
    std::istringstream in(ReadInput(path, kMaxModelFileBytes, "a model file"));
    const ModelReadResult read = ReadModel(in, grid);
    if (!read.complete)
        throw std::runtime_error(
            path +
            (read.refused ? ": the program refuses it for line " : ": the file ends at line ") +
            std::to_string(read.stopLine) + "; see " + kProgramName + " info " + path);
    return grid;
}

void RefuseToReplace(const std::string& path, bool force)
{
    if (!force && Exists(fs::u8path(path)))
        throw std::runtime_error(path + " already exists; give --force to replace it");
}

// Saved as the program saves its model, so that a failure never leaves half a file.
void WriteOutput(const std::string& path, const std::string& bytes)
{
    const SaveOutcome outcome = SaveFile(fs::u8path(path), bytes);
    if (outcome == SaveOutcome::Unchanged)
        throw std::runtime_error(
            "cannot write " + path +
            " (a read-only file, not a file, or the write failed); any old file is left as it was");
    if (outcome == SaveOutcome::Damaged)
        throw std::runtime_error(DamagedText(path));
}
} // namespace

std::string DamagedText(const std::string& what)
{
    return what + " could not be rewritten in place and its old contents could not be put back: "
                  "it may be damaged";
}

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

    std::string input, output;
    bool drawnOnly = false, force = false;
    ZRange range{0, 0}; // --white and --black, which come together
    int code = 0;
    // The handlers throw a CLI11 error for bad usage and any other for a file that failed.
    const auto command = [&](const char* name, const std::string& what, const char* file,
                             const char* fileWhat) {
        CLI::App* sub = app.add_subcommand(name, what);
        sub->group("Commands");
        sub->add_option(file, input, fileWhat)->required()->type_name("");
        return sub;
    };
    const auto grid = std::to_string(kProgramGridSize) + " x " + std::to_string(kProgramGridSize);

    command("info",
            "check a model file: grid size, height range, drawn triangles, flipped cells, and "
            "every problem by line",
            "FILE", "the model file")
        ->callback([&] {
            // A file the program cannot load whole counts as unreadable; the rest are warnings.
            const std::string bytes = ReadInput(input, kMaxModelFileBytes, "a model file");
            code = PrintModelInfo(input, bytes, kProgramGridSize, out) ? 0 : kExitFileFailed;
        });

    CLI::App* exporting =
        command("export", "the model's own triangles as a mesh, or its heights as an image", "FILE",
                "the model file");
    CLI::Option_group* formats = exporting->add_option_group("output", "the file to write, one of");
    const auto format = [&](const char* name, const std::string& what) {
        return formats->add_option(name, output, what)->type_name("OUT");
    };
    CLI::Option* obj =
        format("--obj", "Wavefront OBJ mesh, elevation (-z) as z, texture coordinates");
    CLI::Option* gltf = format(
        "--gltf",
        "binary glTF, elevation as +Y, north -Z, normals, textured with the program's bitmap");
    CLI::Option* png =
        format("--png", "16-bit greyscale " + grid +
                            " height map, white highest, north up, its z range inside");
    formats->require_option(1);
    exporting->add_flag("--drawn-only", drawnOnly, "only the triangles the program draws")
        ->excludes(png);
    exporting->callback([&] {
        const CGrid model = ReadProgramModel(input);
        RefuseToReplace(output, force);
        const std::string bytes = gltf->count() > 0  ? GlbFile(model, drawnOnly)
                                  : obj->count() > 0 ? ObjText(model, drawnOnly)
                                                     : HeightMapPng(model);
        if (bytes.empty())
            throw std::runtime_error(
                input + ": the program draws none of its triangles, and a glTF mesh needs one");
        WriteOutput(output, bytes);
    });

    CLI::App* importing =
        command("import",
                "a new model from a greyscale PNG, resampled bilinearly onto the " + grid + " grid",
                "PNG", "the height map");
    importing->add_option("--out", output, "the new model file")->required()->type_name("FILE");
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
    CLI::Option* white = height("--white", range.white, "the z of white (0 or below)");
    height("--black", range.black, "the z of black (0 or below)")->needs(white);
    white->needs("--black");
    importing->footer("Elevation is -z. Without --white and --black, the z range that export "
                      "--png stored in the image is used.");
    importing->callback([&] {
        RefuseToReplace(output, force);
        CGrid model;
        model.Create(kProgramGridSize);
        const std::optional<ZRange> given =
            white->count() > 0 ? std::optional<ZRange>(range) : std::nullopt;
        if (!ImportHeightMap(input, ReadInput(input, kMaxPngFileBytes, "a height map"), given,
                             model))
            throw CLI::ValidationError(input +
                                       " has no stored height range; give --white Z --black Z");
        // SaveModel has already told the user why through the failure seam.
        if (!SaveModel(model, fs::u8path(output)))
            throw std::runtime_error(output + " was not written");
    });
    for (CLI::App* writing : {exporting, importing})
        writing->add_flag("--force", force, "replace an existing file");

    try
    {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    }
    catch (const CLI::ParseError& e)
    {
        // What CLI11 finds no command in is a missing or an unknown command, help or not.
        const bool noCommand = app.get_subcommands().empty() && (args.empty() || args[0][0] != '-');
        if (e.get_exit_code() == 0 && !noCommand)
            return app.exit(e, out, err);
        err << kProgramName << ": "
            << (!noCommand     ? std::string(e.what())
                : args.empty() ? "no command given"
                               : "unknown command '" + args[0] + "'")
            << "\nTry '" << kProgramName << " --help'.\n";
        return kExitUsage;
    }
    catch (const std::exception& e)
    {
        // A file that could not be read or written; out of memory too, said plainly.
        err << kProgramName << ": " << e.what() << "\n";
        return kExitFileFailed;
    }
    return code;
}
