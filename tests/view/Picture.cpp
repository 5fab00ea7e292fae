#include "ViewFixture.h"

#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace
{
// Rasterisers move shading and texture filtering by a channel step or two; a change of colour,
// light or view, by more.
const int kChannelTolerance = 6;
// This share of the pixels may differ: an edge or a line a rasteriser moves by a pixel.
const double kDifferentShare = 0.001;

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
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> bytes(
        stbi_load(reference.string().c_str(), &width, &height, &channels, 3), stbi_image_free);
    if (bytes == nullptr)
        return ::testing::AssertionFailure() << "no reference " << reference;
    if (width != picture.width || height != picture.height)
        return ::testing::AssertionFailure() << name << " and its reference differ in size";
    long different = 0;
    for (size_t i = 0; i < picture.rgb.size(); i += 3)
        different += !std::equal(&bytes.get()[i], &bytes.get()[i + 3], &picture.rgb[i],
                                 [](int a, int b) { return std::abs(a - b) <= kChannelTolerance; });
    const long allowed = static_cast<long>(kDifferentShare * width * height);
    if (different <= allowed)
        return ::testing::AssertionSuccess();
    const fs::path actual = fs::path(TESSMERE_PICTURE_FAILURES) / (name + ".actual.png");
    fs::create_directories(actual.parent_path());
    Write(actual, picture);
    return ::testing::AssertionFailure()
           << name << ": " << different << " pixels differ (" << allowed << " may); see " << actual;
}
