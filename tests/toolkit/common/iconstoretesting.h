// Pictures for the icon store's tests: 32-bit sections and icons made from pixel lists, and
// the pixels of the store's images read back.
#pragma once

#include "common/hlmimagemanagericon.h"

#include <windows.h>

#include <vector>

// A bottom-up 32-bit section, as the store makes them, of pixels given top row first (BGRA).
HBITMAP AlphaBitmap(int width, int height, const std::vector<DWORD>& pixels);
// An icon of colours given top row first; `transparent` (may be empty) marks mask pixels.
HICON PlainIcon(int width, int height, const std::vector<COLORREF>& colors,
                const std::vector<bool>& transparent = {});
// The pixel premultiplied as the store does it (channel x alpha / 255).
DWORD Premultiplied(DWORD bgra);
std::vector<DWORD> Premultiplied(std::vector<DWORD> pixels);
// The premultiplied pixels of an alpha image, top row first (taken out of its strip first).
std::vector<DWORD> AlphaPixels(const CHLMImageManagerIconImage& image);
// The colours of an icon image's opaque pixels, top row first; CLR_NONE where transparent.
std::vector<COLORREF> IconColors(const CHLMImageManagerIconImage& image);
