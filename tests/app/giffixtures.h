// GIF files written byte by byte: frames of one solid colour each, with or without a graphic
// control extension, so that tests know every pixel, delay and disposal method, and where
// each block begins.
#pragma once

#include <windows.h>

#include <vector>

struct GifFrameSpec
{
    int left, top, width, height;
    COLORREF color;
    int delay;     // hundredths of a second; -1: the frame has no graphic control extension
    int disposal;  // 0 to 7
};

struct GifBytes
{
    std::vector<BYTE> bytes;
    // Where each block after the logical screen and global colour table begins, the trailer
    // last; `imageSubBlocks` where each image's first sub-block begins (its size byte).
    std::vector<size_t> blockStarts;
    std::vector<size_t> imageSubBlocks;
};

// A GIF89a of the given logical screen with a global colour table, a looping application
// extension and a comment before the first frame; every frame carries a two-colour local
// table whose first entry is its colour.
GifBytes MakeGif(int width, int height, const std::vector<GifFrameSpec>& frames);
