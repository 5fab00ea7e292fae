// Pictures of the view, compared with the references kept in tests/view/pictures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // red, green, blue; the bottom row first, as OpenGL reads
};

// Whether picture shows what the reference name.png shows, to within what rasterisers differ
// by. On failure it writes name.actual.png and name.difference.png beside the test program.
// With TESSMERE_UPDATE_PICTURES set, the picture becomes the reference instead.
::testing::AssertionResult MatchesReference(const std::string& name, const Picture& picture);
