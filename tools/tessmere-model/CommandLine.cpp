#include "CommandLine.h"

#include "Decimal.h"

#include <optional>

const char* const kUsageText =
    "usage: tessmere-model COMMAND ...\n"
    "\n"
    "  info FILE                      check a model file: grid size, height range, drawn\n"
    "                                 triangles, flipped cells, and every problem by line\n"
    "  export FILE --obj OUT [--drawn-only] [--force]\n"
    "                                 Wavefront OBJ mesh of the model's own triangles,\n"
    "                                 elevation (-z) up; --drawn-only keeps only the\n"
    "                                 triangles the program draws\n"
    "  export FILE --png OUT [--force]\n"
    "                                 16-bit greyscale 70 x 70 height map, white highest,\n"
    "                                 north up, with its height range in a text chunk\n"
    "  import PNG --out FILE [--white Z --black Z] [--force]\n"
    "                                 new model from an 8- or 16-bit greyscale PNG of any\n"
    "                                 size, resampled bilinearly onto the 70 x 70 grid;\n"
    "                                 --white and --black give the z of white and black\n"
    "                                 (both 0 or below; elevation is -z), otherwise the\n"
    "                                 range stored by export --png is used\n"
    "\n"
    "Existing files are replaced only with --force. Exit codes: 0 done, 1 a file could not\n"
    "be read or written, 2 bad usage (also: PNG commands in a build without PNG support).\n";

namespace
{
struct OptionParse
{
    const std::vector<std::string>& args;
    size_t next;
    std::string& error;

    bool More() const { return next < args.size(); }

    std::optional<std::string> Value(const std::string& option)
    {
        if (!More())
        {
            error = option + " needs a value";
            return std::nullopt;
        }
        return args[next++];
    }
};

bool ParseHeight(const std::string& option, const std::string& text, int& units, std::string& error)
{
    if (!ParseUnits(text, units))
    {
        error = option + " needs a number, not '" + text + "'";
        return false;
    }
    if (units > 0)
    {
        error = option + " " + text + " lies above height 0, where the program puts no point";
        return false;
    }
    return true;
}

bool SetOnce(std::string& target, const std::string& option, const std::string& value,
             std::string& error)
{
    if (!target.empty())
    {
        error = option + " given twice";
        return false;
    }
    target = value;
    return true;
}
} // namespace

bool ParseCommandLine(const std::vector<std::string>& args, ToolCommand& command,
                      std::string& error)
{
    command = ToolCommand{};
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h")
            return true;
    if (args.empty())
    {
        error = "no command given";
        return false;
    }
    const std::string& verb = args[0];
    if (verb != "info" && verb != "export" && verb != "import")
    {
        error = "unknown command '" + verb + "'";
        return false;
    }
    OptionParse parse{args, 1, error};
    std::string obj, png, out, white, black;
    while (parse.More())
    {
        const std::string arg = args[parse.next++];
        const bool exporting = verb == "export";
        const bool importing = verb == "import";
        std::optional<std::string> value;
        if ((arg == "--obj" || arg == "--png") && exporting)
        {
            if (!(value = parse.Value(arg)) ||
                !SetOnce(arg == "--obj" ? obj : png, arg, *value, error))
                return false;
        }
        else if ((arg == "--out" || arg == "--white" || arg == "--black") && importing)
        {
            std::string& target = arg == "--out" ? out : arg == "--white" ? white : black;
            if (!(value = parse.Value(arg)) || !SetOnce(target, arg, *value, error))
                return false;
        }
        else if (arg == "--drawn-only" && exporting)
            command.drawnOnly = true;
        else if (arg == "--force" && verb != "info")
            command.force = true;
        else if (arg.size() > 1 && arg[0] == '-')
        {
            error = "'" + arg + "' is no option of " + verb;
            return false;
        }
        else if (command.input.empty())
            command.input = arg;
        else
        {
            error = "one file for " + verb + ", not also '" + arg + "'";
            return false;
        }
    }
    if (command.input.empty())
    {
        error = verb + " needs a file";
        return false;
    }
    if (verb == "info")
    {
        command.action = ToolAction::Info;
        return true;
    }
    if (verb == "export")
    {
        if (obj.empty() == png.empty())
        {
            error = "export needs one of --obj OUT and --png OUT";
            return false;
        }
        if (command.drawnOnly && !png.empty())
        {
            error = "--drawn-only applies to --obj only";
            return false;
        }
        command.action = obj.empty() ? ToolAction::ExportPng : ToolAction::ExportObj;
        command.output = obj.empty() ? png : obj;
        return true;
    }
    if (out.empty())
    {
        error = "import needs --out FILE";
        return false;
    }
    if (white.empty() != black.empty())
    {
        error = "--white and --black go together";
        return false;
    }
    command.action = ToolAction::Import;
    command.output = out;
    command.hasRange = !white.empty();
    return !command.hasRange || (ParseHeight("--white", white, command.range.white, error) &&
                                 ParseHeight("--black", black, command.range.black, error));
}
