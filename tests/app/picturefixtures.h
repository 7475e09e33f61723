// Pictures made at test time: every kind the batch reads, with known pixel sizes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class PictureKind { Bmp, Gif, Jpg, Png, Tif, Wmf, Emf };

// Writes a width × height picture of the kind to path (wmf: with the placeable header).
// dpi is stored where the format keeps a resolution. Returns false when nothing was written.
bool MakePicture(const std::wstring& path, PictureKind kind, int width, int height, float dpi = 96.0f);

// A JPEG of four solid quadrants: top left, top right, bottom left, bottom right. The given
// segments go right after its start of image (an Exif block, say).
bool MakeQuadrantJpeg(const std::wstring& path, int width, int height, const COLORREF (&quadrants)[4],
                      const std::vector<BYTE>& segments);

// Pictures with clear parts: a PNG whose ground is clear, with a black bar at (4, 4, 16, 26)
// and a blue one of alpha 128 at (24, 4, 36, 26); and the two-colour GIF of MakePicture whose
// second colour (the right half) is its transparent index.
bool MakeClearPartsPng(const std::wstring& path, int width, int height);
bool MakeClearHalfGif(const std::wstring& path, int width, int height);

// One pixel of a picture as GDI+ reads it; CLR_INVALID when the picture cannot be read.
COLORREF ReadPixel(const std::wstring& path, int x, int y);

// Pixel size, resolution and pixel format of a picture file as GDI+ reads it.
struct PictureInfo
{
    bool loaded = false;
    unsigned width = 0, height = 0;
    float dpiX = 0, dpiY = 0;
    int pixelFormat = 0;
    bool jpeg = false;  // the file starts with FF D8
};
PictureInfo ReadPictureInfo(const std::wstring& path);

// Size of a file in bytes, or -1 when it is missing.
long long FileBytes(const std::wstring& path);
