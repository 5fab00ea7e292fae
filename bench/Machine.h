// The machine and platform a benchmark ran on, printed atop its output.
#pragma once

#include <string>

// The processor's own brand string, or "unknown processor".
std::string CpuModel();

// Prints the processor, its logical cores and the platform (native, or the Wine version).
void PrintMachine(const char* benchmark);
