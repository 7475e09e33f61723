// Pictures made at test time: every kind the batch reads, with known pixel sizes.
#pragma once

#include <string>

enum class PictureKind { Bmp, Gif, Jpg, Png, Tif, Wmf, Emf };

// Writes a width × height picture of the kind to path (wmf: with the placeable header).
// dpi is stored where the format keeps a resolution. Returns false when nothing was written.
bool MakePicture(const std::wstring& path, PictureKind kind, int width, int height, float dpi = 96.0f);

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
