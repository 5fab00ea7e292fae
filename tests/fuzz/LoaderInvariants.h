// What must hold after the loader has read any bytes at all into a fresh 70 grid.
#pragma once

#include <filesystem>
#include <string>

// Writes bytes to modelFile, loads it into a fresh 70 grid and, when the load succeeds, saves,
// loads and saves again. Returns a description of the first invariant broken, or "".
std::string LoaderInvariantBreach(const std::string& bytes, const std::filesystem::path& modelFile);
