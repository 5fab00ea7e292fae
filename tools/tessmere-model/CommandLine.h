// The tool's command line: what to do, on which files, with which options.
#pragma once

#include "HeightMap.h"

#include <string>
#include <vector>

enum class ToolAction
{
    Help,
    Info,
    ExportObj,
    ExportGltf,
    ExportPng,
    Import,
};

struct ToolCommand
{
    ToolAction action = ToolAction::Help;
    std::string help; // the text asked for with --help: the tool's, or one command's
    std::string input;
    std::string output;
    bool drawnOnly = false;
    bool force = false;
    bool hasRange = false; // --white and --black given
    ZRange range{0, 0};
};

// False, with the reason, for a command line that does not make one whole command.
bool ParseCommandLine(const std::vector<std::string>& args, ToolCommand& command,
                      std::string& error);
