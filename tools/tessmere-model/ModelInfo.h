// What the tool tells about a model file: its size, heights, drawn and flipped cells, and
// every problem, by line.
#pragma once

#include <iosfwd>
#include <string>

// Prints what the program makes of bytes, the whole model file at path, read into its grid of
// gridSize, and every problem found reading on past each one. True when the program would read
// the file whole.
bool PrintModelInfo(const std::string& path, const std::string& bytes, int gridSize,
                    std::ostream& out);
