#include "CommandLine.h"

#include "Decimal.h"
#include "Grid.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace
{
const char* const kCommands[] = {"info", "export", "import"};

// The z of white or black: a number at or below 0, where the program keeps every point.
std::string CheckHeight(std::string& text)
{
    int units = 0;
    if (!ParseUnits(text, units))
        return "needs a number, not '" + text + "'";
    return units > 0 ? text + " lies above height 0, where the program puts no point" : "";
}
} // namespace

bool ParseCommandLine(const std::vector<std::string>& args, ToolCommand& command,
                      std::string& error)
{
    command = ToolCommand{};
    if (args.empty() ||
        (args[0][0] != '-' && std::count(std::begin(kCommands), std::end(kCommands), args[0]) == 0))
    {
        error = args.empty() ? "no command given" : "unknown command '" + args[0] + "'";
        return false;
    }
    const std::string grid =
        std::to_string(kProgramGridSize) + " x " + std::to_string(kProgramGridSize);
    CLI::App app("tessmere-model: the program's model file checked, taken out to OBJ, glTF "
                 "and PNG, and made from a PNG.",
                 "tessmere-model");
    // A path that begins with / is a path, on Windows too.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.set_version_flag("--version", TESSMERE_VERSION_STRING);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.footer("Existing files are replaced only with --force. Exit codes: 0 done, 1 a file "
               "could not be read or written, 2 bad usage.");
    const auto file = [&command](CLI::App* sub, const char* name, const char* what) {
        sub->group("Commands");
        sub->add_option(name, command.input, what)->required()->type_name("");
    };

    CLI::App* info = app.add_subcommand(
        "info", "check a model file: grid size, height range, drawn triangles, flipped cells, "
                "and every problem by line");
    file(info, "FILE", "the model file");

    CLI::App* exporting = app.add_subcommand(
        "export", "the model's own triangles as a mesh, or its heights as an image");
    file(exporting, "FILE", "the model file");
    CLI::Option_group* output = exporting->add_option_group("output", "the file to write, one of");
    const auto format = [output, &command](const char* name, const std::string& what) {
        return output->add_option(name, command.output, what)->type_name("OUT");
    };
    CLI::Option* obj = format("--obj", "Wavefront OBJ mesh, elevation (-z) as z, texture "
                                       "coordinates");
    CLI::Option* gltf = format("--gltf", "binary glTF, elevation as +Y, north -Z, normals, "
                                         "textured with the program's bitmap");
    const std::string map = "16-bit greyscale " + grid + " height map, white highest, north up";
    CLI::Option* png = format("--png", map + ", its z range inside");
    output->require_option(1);
    exporting->add_flag("--drawn-only", command.drawnOnly, "only the triangles the program draws")
        ->excludes(png);

    const std::string resampled = "resampled bilinearly onto the " + grid + " grid";
    CLI::App* importing =
        app.add_subcommand("import", "a new model from a greyscale PNG, " + resampled);
    file(importing, "PNG", "the height map");
    importing->add_option("--out", command.output, "the new model file")
        ->required()
        ->type_name("FILE");
    std::string whiteText, blackText;
    const auto height = [importing](const char* name, std::string& text, const char* what) {
        return importing->add_option(name, text, what)
            ->type_name("Z")
            ->check(CLI::Validator(CheckHeight, ""));
    };
    CLI::Option* white = height("--white", whiteText, "the z of white (0 or below)");
    CLI::Option* black = height("--black", blackText, "the z of black (0 or below)");
    white->needs(black);
    black->needs(white);
    importing->footer("Elevation is -z. Without --white and --black, the z range that export "
                      "--png stored in the image is used.");
    for (CLI::App* writing : {exporting, importing})
        writing->add_flag("--force", command.force, "replace an existing file");

    try
    {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    }
    catch (const CLI::CallForHelp&)
    {
        command.help = app.help();
        return true;
    }
    catch (const CLI::CallForVersion& e)
    {
        command.help = e.what() + std::string("\n");
        return true;
    }
    catch (const CLI::ParseError& e)
    {
        error = e.what();
        return false;
    }
    if (info->parsed())
        command.action = ToolAction::Info;
    else if (exporting->parsed())
        command.action = obj->count()    ? ToolAction::ExportObj
                         : gltf->count() ? ToolAction::ExportGltf
                                         : ToolAction::ExportPng;
    else
    {
        command.action = ToolAction::Import;
        command.hasRange = white->count() > 0;
        if (command.hasRange)
        {
            ParseUnits(whiteText, command.range.white);
            ParseUnits(blackText, command.range.black);
        }
    }
    return true;
}
