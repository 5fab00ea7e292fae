// What every benchmark program does with its command line and when something goes wrong.
#pragma once

#include <string>

// Ends the program with what went wrong on stderr and exit code 1.
[[noreturn]] void BenchFailed(const std::string& what);

// The repetitions given at argv[index], or fallback when the command line stops before it.
// Anything but a positive number ends the program with usage.
int RepetitionsArgument(int argc, char** argv, int index, int fallback, const std::string& usage);
