// PNG files made for the tests with libpng directly, independent of the tool's own writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct TestPngSpec
{
    int width = 70;
    int height = 70;
    int bitDepth = 16;
    bool colour = false;
    bool interlaced = false;
    std::string rangeText; // stored under the tool's keyword when not empty
};

std::string MakePng(const TestPngSpec& spec, const std::function<std::uint16_t(int, int)>& sample);
