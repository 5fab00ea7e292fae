#include "Decimal.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatUnits(long long units)
{
    const unsigned long long magnitude =
        units < 0 ? 0ULL - static_cast<unsigned long long>(units) : units;
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%04llu", units < 0 ? "-" : "", magnitude / 10000,
                  magnitude % 10000);
    return text;
}

bool ParseUnits(const std::string& text, int& units)
{
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    const double scaled = std::round(value * 10000.0);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
        !std::isfinite(value) || scaled < INT_MIN || scaled > INT_MAX)
        return false;
    units = static_cast<int>(scaled);
    return true;
}
