// Drawing in the skin's colours and parts: solid fills and frame outlines, edges and frame
// controls drawn like the system's DrawEdge and DrawFrameControl, and the loader of skin
// bitmap resources. Colours and line widths come from the skin metrics of the process's
// skin manager.
#pragma once

#include <afxwin.h>

// Fills (x, y, x + cx, y + cy) with a colour; the DC's background colour is kept.
BOOL HLMSkinFillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF color);
BOOL HLMSkinFillSolidRect(HDC dc, const RECT* rect, COLORREF color);
int HLMSkinFillBrush(HDC dc, int x, int y, int cx, int cy, HBRUSH brush);

// The four bands of width `width` just inside the rectangle.
void HLMSkinFillFrame(HDC dc, const RECT* rect, int width, COLORREF color);
void HLMSkinBrushFrame(HDC dc, const RECT* rect, int width, HBRUSH brush);

// DrawEdge in the skin's colours; FALSE for an edge that is raised and sunken at once.
BOOL HLMSkinDrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL HLMSkinDrawDiagonalEdge(HDC dc, RECT* rect, COLORREF topLeft, COLORREF bottomRight, UINT flags);
// A staircase of `count` lines across the rectangle; returns MAKELONG of the width and
// height of one step's fill, 0 for an empty rectangle. direction -1 climbs from the top.
LONG HLMSkinDrawDiagonalLine(HDC dc, const RECT* rect, int direction, int count, UINT flags, COLORREF color);
// The size grip, push buttons and scroll arrows from the skin; FALSE for anything else,
// which the caller leaves to the system.
BOOL HLMSkinDrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// The icon's size from its mask; 32 x 32 when it cannot be read.
void GetIconSize(HICON icon, int* cx, int* cy);

// The alpha flag of a bitmap whose header declares an alpha channel: its alpha counts even
// when every pixel is transparent (the form PremultiplyBitmap accepts as input).
const BOOL kDeclaredAlpha = -1;

// A skin bitmap resource: a PNG resource of that name, or a packed DIB (a 40-, 108- or
// 124-byte header; BI_RGB, or 32-bit BI_BITFIELDS with the standard masks); the alpha flag
// says whether the bitmap carries alpha, kDeclaredAlpha when its header declares it. Null
// for anything it cannot read safely.
HBITMAP HLMSkinLoadBitmapResource(HMODULE module, LPCWSTR name, BOOL* alpha);
HPALETTE HLMSkinCreateDibPalette(const BITMAPINFOHEADER* header);
HBITMAP HLMSkinCreateDibFromPacked(const BITMAPINFOHEADER* header, HPALETTE palette);

// The clip box of a paint; 0 when nothing is to be painted.
BOOL HLMSkinGetPaintClipBox(HWND window, HDC dc, RECT* rect);
