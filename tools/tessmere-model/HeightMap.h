// Height maps: the grid's heights as grey levels and back, resampled bilinearly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CGrid;

// The heights that the darkest and the brightest grey stand for, in file units (0.0001).
// White is normally the highest point, which is the smallest z.
struct ZRange
{
    int white;
    int black;
};

// The form in which a range travels in the height map's text chunk: "white=-0.5000 black=0.0000".
extern const char* const kRangeKeyword;
std::string FormatRange(const ZRange& range);
bool ParseRange(const std::string& text, ZRange& range);

// The grid as a 16-bit image of size x size pixels, north (the last row) at the top, west at
// the left; black is the grid's largest z and white its smallest, so that every height is
// kept exactly whenever the range spans at most 65535 file units.
struct HeightMapImage
{
    int size;
    ZRange range;
    std::vector<std::uint16_t> samples;
};
HeightMapImage MakeHeightMap(const CGrid& grid);

// Receives a greyscale image one row at a time, top row first, samples 0 to maxValue.
class GreyRowReceiver
{
  public:
    virtual ~GreyRowReceiver() = default;
    virtual void Begin(int width, int height, int maxValue) = 0;
    virtual void Row(int y, const std::uint16_t* samples) = 0;
};

// Bilinear resampling onto a square grid, corner to corner: the grid's corner points fall on
// the centres of the image's corner pixels. Keeps only the samples it needs, so an image of
// any size passes through a few kilobytes.
class GreyResampler : public GreyRowReceiver
{
  public:
    explicit GreyResampler(int gridSize);
    void Begin(int width, int height, int maxValue) override;
    void Row(int y, const std::uint16_t* samples) override;

    // The grey level at a grid point, in samples (0 to maxValue), row 0 being the south edge.
    double SampleAt(int column, int row) const;
    int MaxValue() const { return maxValue; }

  private:
    struct Tap
    {
        int first;
        int second;
        double weight; // of the second
    };
    int gridSize;
    int maxValue;
    std::vector<Tap> columns;
    std::vector<Tap> rows;
    // Per image row that some grid row needs: the two samples of every grid column.
    std::vector<std::vector<std::uint16_t>> kept;
};

// Sets every point's height from the resampled image, black to white mapped linearly onto
// the range; both ends at or below 0 keep every height there too.
void ApplyHeightMap(const GreyResampler& image, const ZRange& range, CGrid& grid);
