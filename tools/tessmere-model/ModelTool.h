// tessmere-model: the model file checked, taken out to OBJ, glTF and PNG, and made from a PNG.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name); reports go to out, errors to err. Returns
// the exit code: 0 done, 1 a file could not be read or written, 2 bad usage.
int RunTessmereModel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The tool's words for a file an in-place rewrite may have damaged; what names the file.
std::string DamagedText(const std::string& what);
