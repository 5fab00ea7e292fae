#include "Picture.h"

#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
// A pixel differs when no pixel of the other picture next to it or at its place is within this
// of its every channel: rasterisers and their versions move shading and texture filtering by a
// step or two and an edge or a line by a pixel, a changed colour, light or view by more.
const int kChannelTolerance = 6;
// Of all the pixels of both pictures, this share may differ.
const double kDifferentShare = 0.001;

// Whether pixel (x, y) of picture has a near match in other.
bool MatchedNear(const Picture& picture, const Picture& other, int x, int y)
{
    const unsigned char* pixel = &picture.rgb[(size_t(y) * picture.width + x) * 3];
    for (int j = std::max(y - 1, 0); j <= std::min(y + 1, picture.height - 1); ++j)
        for (int i = std::max(x - 1, 0); i <= std::min(x + 1, picture.width - 1); ++i)
        {
            const unsigned char* candidate = &other.rgb[(size_t(j) * other.width + i) * 3];
            if (std::equal(pixel, pixel + 3, candidate,
                           [](int a, int b) { return std::abs(a - b) <= kChannelTolerance; }))
                return true;
        }
    return false;
}

bool Write(const fs::path& file, const Picture& picture)
{
    return stbi_write_png(file.string().c_str(), picture.width, picture.height, 3,
                          picture.rgb.data(), picture.width * 3) != 0;
}
} // namespace

::testing::AssertionResult MatchesReference(const std::string& name, const Picture& picture)
{
    const fs::path reference = fs::path(TESSMERE_PICTURES) / (name + ".png");
    stbi_flip_vertically_on_write(1);
    stbi_set_flip_vertically_on_load(1);
    if (std::getenv("TESSMERE_UPDATE_PICTURES") != nullptr)
        return Write(reference, picture)
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << "cannot write " << reference;
    Picture expected;
    int channels = 0;
    unsigned char* bytes =
        stbi_load(reference.string().c_str(), &expected.width, &expected.height, &channels, 3);
    if (bytes == nullptr)
        return ::testing::AssertionFailure() << "no reference " << reference;
    expected.rgb.assign(bytes, bytes + expected.width * expected.height * 3);
    stbi_image_free(bytes);
    if (expected.width != picture.width || expected.height != picture.height)
        return ::testing::AssertionFailure() << name << " and its reference differ in size";

    // The pixels that differ in red over the reference, dimmed.
    Picture difference = expected;
    long different = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const int differs =
                !MatchedNear(picture, expected, x, y) + !MatchedNear(expected, picture, x, y);
            different += differs;
            unsigned char* shown = &difference.rgb[(size_t(y) * picture.width + x) * 3];
            for (int k = 0; k < 3; ++k)
                shown[k] = differs > 0 ? (k == 0 ? 255 : 0) : shown[k] / 3;
        }
    const long allowed = static_cast<long>(kDifferentShare * 2 * picture.width * picture.height);
    if (different <= allowed)
        return ::testing::AssertionSuccess();
    const fs::path folder = TESSMERE_PICTURE_FAILURES;
    fs::create_directories(folder);
    Write(folder / (name + ".actual.png"), picture);
    Write(folder / (name + ".difference.png"), difference);
    return ::testing::AssertionFailure()
           << name << ": " << different
           << " pixels of it and its reference have no match near them (" << allowed
           << " may); the picture and the difference are " << (folder / name).string()
           << ".actual.png and .difference.png";
}
