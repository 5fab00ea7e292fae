// tessmere-model: the model file checked, taken out to OBJ and PNG, and made from a PNG.
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

// The grid size the program works with; every model file is read into a grid of this size.
extern const int kProgramGridSize;

// Runs one command line (without the program name); reports go to out, errors to err.
int RunTessmereModel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
