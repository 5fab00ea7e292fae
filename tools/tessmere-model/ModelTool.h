// tessmere-model: the model file checked, taken out to OBJ, glTF and PNG, and made from a PNG.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

enum ToolExitCode
{
    kExitDone = 0,
    kExitFileFailed = 1,
    kExitUsage = 2,
};

// Runs one command line (without the program name); reports go to out, errors to err.
int RunTessmereModel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
