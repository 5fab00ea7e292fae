// A device-independent bitmap loaded from the program's resources or from a bitmap file.
#pragma once

#include <windows.h>

#include <string>

// A bitmap's header followed by its three bit-field colour masks.
struct tagBITMAPINFO3
{
    BITMAPINFOHEADER bmiHeader;
    DWORD bmiColorMasks[3];
};

class CBmp
{
  public:
    CBmp() = default;
    virtual ~CBmp();
    CBmp(const CBmp&) = delete;
    CBmp& operator=(const CBmp&) = delete;

    // Both loads give false, with no handle, when the platform loader finds no such bitmap.
    bool LoadFromResource(const std::string& name);
    bool LoadFromFile(const std::string& path);
    void Release();

    // Start of scan line row counted from the top of the image (it is stored bottom-up).
    BYTE* ScanLine(int row);
    HBITMAP GetHandle() const { return handle; }
    int GetWidth() const { return bitmapInfo.bmiHeader.biWidth; }
    int GetHeight() const { return bitmapInfo.bmiHeader.biHeight; }
    WORD GetBitCount() const { return bitmapInfo.bmiHeader.biBitCount; }

    HBITMAP handle = nullptr;
    int bytesPerLine = 0;
    int bytesPerPixel = 0;
    DIBSECTION dibSection{};
    tagBITMAPINFO3 bitmapInfo{};

  private:
    bool Complete(HANDLE loaded);
};
