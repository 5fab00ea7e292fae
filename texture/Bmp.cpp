#include "Bmp.h"

#include <cstddef>

CBmp::~CBmp()
{
    Release();
}

bool CBmp::LoadFromResource(const std::string& name)
{
    Release();
    return Complete(LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION));
}

bool CBmp::LoadFromFile(const std::string& path)
{
    Release();
    return Complete(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION | LR_LOADFROMFILE));
}

bool CBmp::Complete(HANDLE loaded)
{
    handle = static_cast<HBITMAP>(loaded);
    if (handle == nullptr)
        return false;
    // Anything but a full section description means the pixel bits are not ours to read.
    if (GetObjectA(handle, sizeof(dibSection), &dibSection) != sizeof(dibSection))
    {
        Release();
        return false;
    }
    bitmapInfo.bmiHeader = dibSection.dsBmih;
    for (int i = 0; i < 3; ++i)
        bitmapInfo.bmiColorMasks[i] = dibSection.dsBitfields[i];
    bytesPerPixel = (GetBitCount() + 7) / 8;
    bytesPerLine = (GetWidth() * bytesPerPixel + 3) / 4 * 4;
    return true;
}

void CBmp::Release()
{
    if (handle == nullptr)
        return;
    // GDI may still be drawing into the section in a batch.
    GdiFlush();
    DeleteObject(handle);
    handle = nullptr;
}

BYTE* CBmp::ScanLine(int row)
{
    const std::ptrdiff_t fromBottom = GetHeight() - row - 1;
    return static_cast<BYTE*>(dibSection.dsBm.bmBits) + fromBottom * bytesPerLine;
}
