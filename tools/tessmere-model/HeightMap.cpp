#include "HeightMap.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

const char* const kRangeKeyword = "Tessmere z range";

namespace
{
const int kMaxSample16 = 65535;
const char* const kWhiteLabel = "white=";
const char* const kBlackLabel = " black=";

// The two pixels between which a grid position falls, and the weight of the second.
struct Tap
{
    int first;
    int second;
    double weight;
};

// Where grid position i of count falls among length pixels, corner to corner.
Tap TapAt(int i, int count, int length)
{
    const double position = static_cast<double>(i) * (length - 1) / (count - 1);
    const int first = static_cast<int>(std::floor(position));
    return {first, std::min(first + 1, length - 1), position - first};
}
} // namespace

bool ParseRange(const std::string& text, ZRange& range)
{
    const size_t white = std::strlen(kWhiteLabel), black = text.find(kBlackLabel);
    return text.compare(0, white, kWhiteLabel) == 0 && black != std::string::npos &&
           ParseUnits(text.substr(white, black - white), range.white) &&
           ParseUnits(text.substr(black + std::strlen(kBlackLabel)), range.black);
}

std::string HeightMapPng(const CGrid& grid)
{
    std::vector<int> units;
    for (const tagPOINT4& point : grid.points)
        units.push_back(ScaleToFile(point.z));
    const auto [lowest, highest] = std::minmax_element(units.begin(), units.end());
    const ZRange range{*lowest, *highest};
    const double span = static_cast<double>(range.white) - range.black;
    std::string rows(2 * units.size(), '\0');
    for (size_t index = 0; index < units.size(); ++index)
    {
        const auto [column, row] = grid.IndexToCell(static_cast<int>(index));
        const double level =
            span == 0.0 ? 0.0 : (static_cast<double>(units[index]) - range.black) / span;
        const auto sample = static_cast<std::uint16_t>(std::llround(level * kMaxSample16));
        const size_t pixel = static_cast<size_t>(grid.size - 1 - row) * grid.size + column;
        rows[2 * pixel] = static_cast<char>(sample >> 8);
        rows[2 * pixel + 1] = static_cast<char>(sample & 0xFF);
    }
    const std::string text =
        kWhiteLabel + FormatUnits(range.white) + kBlackLabel + FormatUnits(range.black);
    return EncodePng({grid.size, grid.size, 16, 0, rows}, {{kRangeKeyword, text}});
}

void ApplyHeightMap(const GreyImage& image, const ZRange& range, CGrid& grid)
{
    const double span = static_cast<double>(range.white) - range.black;
    for (int index = 0; index < static_cast<int>(grid.points.size()); ++index)
    {
        const auto [column, row] = grid.IndexToCell(index);
        const Tap across = TapAt(column, grid.size, image.width);
        // Image rows run from the top, grid rows from the south.
        const Tap down = TapAt(grid.size - 1 - row, grid.size, image.height);
        const auto along = [&](int y) {
            const std::uint16_t* line = &image.samples[static_cast<size_t>(y) * image.width];
            return line[across.first] + across.weight * (line[across.second] - line[across.first]);
        };
        const double top = along(down.first);
        const double sample = top + down.weight * (along(down.second) - top);
        const long long units = range.black + std::llround(sample * span / image.maxValue);
        grid.SetPointHeight(index, ScaleFromFile(static_cast<int>(units)), true);
    }
}

std::optional<ZRange> ImportHeightMap(const std::string& name, const std::string& png,
                                      const std::optional<ZRange>& given, CGrid& grid)
{
    std::optional<std::string> stored;
    const GreyImage image = DecodeGreyPng(name, png, kRangeKeyword, stored);
    ZRange range{0, 0};
    if (given)
        range = *given;
    else if (!stored)
        return std::nullopt;
    else if (!ParseRange(*stored, range) || range.white > 0 || range.black > 0)
        throw std::runtime_error(name + ": the stored height range '" + *stored +
                                 "' is damaged or above 0; give --white Z --black Z");
    ApplyHeightMap(image, range, grid);
    return range;
}
