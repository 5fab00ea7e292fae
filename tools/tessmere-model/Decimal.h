// Model values as the model file holds them: whole numbers of 0.0001, shown as decimals.
#pragma once

#include <string>

// -5000 gives "-0.5000"; never a minus sign on zero.
std::string FormatUnits(long long units);

// A decimal number (as typed on a command line) in units of 0.0001, rounded to the nearest
// unit; false unless the whole text is one finite number within the file's 32-bit range.
bool ParseUnits(const std::string& text, int& units);
