// PNG files made for the tests with libpng directly, independent of the tool's own writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class TestPngForm
{
    Grey,
    GreyInterlaced,
    Colour,
};

// An image whose every channel at (x, y), row 0 at the top, is sample(x, y); a range text, when
// given, is stored under the tool's keyword.
std::string MakePng(int width, int height, int bitDepth,
                    const std::function<std::uint16_t(int, int)>& sample,
                    TestPngForm form = TestPngForm::Grey, const std::string& rangeText = "");
