// The look at a picture file's header that the batch takes before GDI+ may read it: GDI+ and
// the codecs under it trust what a header says, so a damaged or hostile file can bring the
// program down or ask for gigabytes. A file is refused when its decoded size passes the
// limits below, its header is cut short, or the sizes it gives contradict the file's length.
// The check reads by content, whatever the file's extension says.
#pragma once

#include <windows.h>

// Decoded pictures of up to 100 megapixels: as 32-bit pixels, the form GDI+ decodes most
// pictures into, that is 400 MB, which a 32-bit process can still hold beside its output.
const ULONGLONG kMostPicturePixels = 100000000;

enum class PictureVerdict
{
    Accepted,
    Unreadable,  // no file, or no kind of picture that the batch reads
    TooLarge,    // more pixels than kMostPicturePixels
    Damaged,     // cut short, or sizes that contradict each other or the file
    Empty,       // a file of no bytes
};

PictureVerdict CheckPictureFile(LPCWSTR path);
