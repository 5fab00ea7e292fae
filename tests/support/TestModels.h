// Grids and their model-file bytes, shared by the suites that build, read or write models.
#pragma once

#include "Grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

CGrid FreshGrid(int size);
std::string FileOf(const CGrid& grid);
// A file's lines without their CR LF, and back.
std::vector<std::string> LinesOf(const std::string& bytes);
std::string Joined(const std::vector<std::string>& lines);
// Whether a file holds the expected bytes, or else the first line where it does not.
::testing::AssertionResult SameFile(const std::string& expected, const std::string& actual);

// Reads input past its first byte, which chooses the grid size, and names the first rule broken:
// size kept, nothing changed if refused, indices in range, a whole file writing back; or "".
std::string ReadInvariantBreach(const std::string& input);
