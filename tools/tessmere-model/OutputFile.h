// The tool's output files: never replaced without leave, and never left half written.
#pragma once

#include <string>

// False, with the reason, when path exists and force was not given.
bool MayWrite(const std::string& path, bool force, std::string& error);

// Writes bytes beside path and renames the result over it, as the program saves its model;
// a read-only or non-regular target is refused and left as it was. False with the reason.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);
