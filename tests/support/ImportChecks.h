// The rules every height map import keeps, whatever the bytes: checked by its fuzzer and tests.
#pragma once

#include <string>

// Imports png, its chunks' checksums made right, onto a grid of the program's size, with the range
// stored in it or else a given one, and names the first rule broken: a refused file changes
// nothing; an accepted one sets every height, within the range, and nothing else; or "".
std::string ImportInvariantBreach(const std::string& png);
