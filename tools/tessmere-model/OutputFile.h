// The tool's output files: never replaced without leave, and never left half written.
#pragma once

#include <filesystem>
#include <string>

// A path as the command line gives it: UTF-8 on every system.
std::filesystem::path PathOf(const std::string& argument);

// False, with the reason, when path exists and force was not given.
bool MayWrite(const std::string& path, bool force, std::string& error);

// The tool's words for a file an in-place rewrite may have damaged; what names the file.
std::string DamagedText(const std::string& what);

// Saves bytes to path as the program saves its model. False, with what became of the old file.
bool WriteOutput(const std::string& path, const std::string& bytes, std::string& error);
