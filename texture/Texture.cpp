#include "Texture.h"

#include "Bmp.h"

#include <algorithm>
#include <cstddef>
#include <vector>

CTexture modelTexture;

namespace
{
const int largestSide = 1024;
const unsigned int loadFailure = 1;
} // namespace

int TextureSide(int n)
{
    int side = 2;
    while (side < n && side < largestSide)
        side *= 2;
    return side;
}

CTexture::~CTexture()
{
    if (loaded && wglGetCurrentContext() != nullptr)
        glDeleteTextures(1, &texture);
}

void CTexture::Load(const std::string& name, bool fromResource)
{
    CBmp bmp;
    // The bitmap goes with bmp, on the way out too.
    if (!(fromResource ? bmp.LoadFromResource(name) : bmp.LoadFromFile(name)) ||
        bmp.GetBitCount() != 24)
        throw loadFailure;

    const int w = bmp.GetWidth();
    const int h = bmp.GetHeight();
    const int sideW = TextureSide(w);
    const int sideH = TextureSide(h);
    std::vector<unsigned char> texels(static_cast<std::size_t>(sideW) * sideH * 4);
    // OpenGL's first row is the bottom one, so the image's top row goes to the last row.
    const int rows = std::min(h, sideH);
    const int columns = std::min(w, sideW);
    for (int row = 0; row < rows; ++row)
    {
        const BYTE* source = bmp.ScanLine(row);
        unsigned char* target = &texels[static_cast<std::size_t>(sideH - 1 - row) * sideW * 4];
        for (int column = 0; column < columns; ++column, source += 3, target += 4)
        {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
            target[3] = 255;
        }
    }

    GLuint generated = 0;
    glGenTextures(1, &generated);
    glBindTexture(GL_TEXTURE_2D, generated);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, sideW, sideH, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());

    texture = generated;
    width = w;
    height = h;
    // The share of each side that holds the image: all of it once the image was cut to fit.
    sScale = static_cast<float>(columns) / static_cast<float>(sideW);
    tScale = static_cast<float>(rows) / static_cast<float>(sideH);
    loaded = true;
}
