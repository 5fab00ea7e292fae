#include "HeightMap.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"

#include <algorithm>
#include <cmath>

const char* const kRangeKeyword = "Tessmere z range";

namespace
{
const int kMaxSample16 = 65535;
const char* const kWhiteLabel = "white=";
const char* const kBlackLabel = " black=";

std::vector<int> HeightUnits(const CGrid& grid)
{
    std::vector<int> units;
    units.reserve(grid.points.size());
    for (const tagPOINT4& point : grid.points)
        units.push_back(ScaleToFile(point.z));
    return units;
}

// Where each of count grid positions falls among length pixels, corner to corner.
std::vector<double> Positions(int count, int length)
{
    std::vector<double> positions(count, 0.0);
    for (int i = 0; i < count && count > 1; ++i)
        positions[i] = static_cast<double>(i) * (length - 1) / (count - 1);
    return positions;
}
} // namespace

std::string FormatRange(const ZRange& range)
{
    return kWhiteLabel + FormatUnits(range.white) + kBlackLabel + FormatUnits(range.black);
}

bool ParseRange(const std::string& text, ZRange& range)
{
    const std::string white(kWhiteLabel);
    const size_t black = text.find(kBlackLabel);
    if (text.compare(0, white.size(), white) != 0 || black == std::string::npos)
        return false;
    const size_t blackValue = black + std::string(kBlackLabel).size();
    return ParseUnits(text.substr(white.size(), black - white.size()), range.white) &&
           ParseUnits(text.substr(blackValue), range.black);
}

HeightMapImage MakeHeightMap(const CGrid& grid)
{
    HeightMapImage image{grid.size, {0, 0}, {}};
    const std::vector<int> units = HeightUnits(grid);
    if (units.empty())
        return image;
    const auto [lowest, highest] = std::minmax_element(units.begin(), units.end());
    image.range = {*lowest, *highest};
    const double span = static_cast<double>(image.range.white) - image.range.black;
    image.samples.resize(units.size());
    for (size_t index = 0; index < units.size(); ++index)
    {
        const auto [column, row] = grid.IndexToCell(static_cast<int>(index));
        const double level =
            span == 0.0 ? 0.0 : (static_cast<double>(units[index]) - image.range.black) / span;
        const size_t pixel = static_cast<size_t>(grid.size - 1 - row) * grid.size + column;
        image.samples[pixel] = static_cast<std::uint16_t>(std::llround(level * kMaxSample16));
    }
    return image;
}

GreyResampler::GreyResampler(int gridSize) : gridSize(gridSize), maxValue(0) {}

void GreyResampler::Begin(int width, int height, int maxSample)
{
    maxValue = maxSample;
    auto taps = [this](int length) {
        std::vector<Tap> result;
        for (double position : Positions(gridSize, length))
        {
            const int first = static_cast<int>(std::floor(position));
            const int second = std::min(first + 1, length - 1);
            result.push_back({first, second, position - first});
        }
        return result;
    };
    columns = taps(width);
    rows = taps(height);
    kept.assign(height, {});
}

void GreyResampler::Row(int y, const std::uint16_t* samples)
{
    const bool needed = std::any_of(rows.begin(), rows.end(), [y](const Tap& tap) {
        return tap.first == y || tap.second == y;
    });
    if (!needed || y < 0 || y >= static_cast<int>(kept.size()))
        return;
    std::vector<std::uint16_t>& row = kept[y];
    row.clear();
    for (const Tap& tap : columns)
    {
        row.push_back(samples[tap.first]);
        row.push_back(samples[tap.second]);
    }
}

double GreyResampler::SampleAt(int column, int row) const
{
    // Image rows run from the top, grid rows from the south.
    const Tap& vertical = rows[gridSize - 1 - row];
    const Tap& across = columns[column];
    auto along = [&](int imageRow) {
        const std::vector<std::uint16_t>& samples = kept[imageRow];
        return samples[2 * column] +
               across.weight * (samples[2 * column + 1] - samples[2 * column]);
    };
    const double top = along(vertical.first);
    return top + vertical.weight * (along(vertical.second) - top);
}

void ApplyHeightMap(const GreyResampler& image, const ZRange& range, CGrid& grid)
{
    const double span = static_cast<double>(range.white) - range.black;
    for (int index = 0; index < static_cast<int>(grid.points.size()); ++index)
    {
        const auto [column, row] = grid.IndexToCell(index);
        const double sample = image.SampleAt(column, row);
        const long long units = range.black + std::llround(sample * span / image.MaxValue());
        grid.SetPointHeight(index, ScaleFromFile(static_cast<int>(units)), true);
    }
}
