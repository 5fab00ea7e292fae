// The model's OpenGL texture, made from a 24-bit bitmap resource or bitmap file.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <string>

// The first of 2, 4, 8, ..., 1024 that is at least n; 1024 for anything larger.
int TextureSide(int n);

class CTexture
{
  public:
    CTexture() = default;
    // Deletes the texture only while a rendering context is current: at program exit the
    // context is already gone, and the texture with it.
    virtual ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Makes an RGBA texture of power-of-two sides from the bitmap name (a resource name when
    // fromResource, else a file path), with the image upright in its upper left corner and
    // the rest transparent black, and leaves it bound. Needs a current rendering context.
    // Throws the unsigned int 1, leaving this object as it was, when there is no such bitmap
    // or it has other than 24 bits per pixel.
    void Load(const std::string& name, bool fromResource);

    bool loaded = false;
    GLuint texture = 0;
    // Size of the loaded bitmap in pixels.
    int width = 0;
    int height = 0;
    // Share of the texture's width and height that holds the image: at most 1, since an image
    // wider or taller than 1024 keeps only its first 1024 columns and top 1024 rows.
    float sScale = 0.0f;
    float tScale = 0.0f;
};

// The one texture of the program, bound for every picture of the model.
extern CTexture modelTexture;
