// Which way up a picture is meant to be seen. Cameras and phones store a photo as the sensor
// saw it and say in the Exif orientation tag (PropertyTagOrientation, 0x0112) how to turn it:
// 1 as stored, 2 to 8 mirrored and turned. Every viewer turns a photo by it, so the batch does.
#pragma once

#include <windows.h>
#include <gdiplus.h>

// The tag's value, 1 to 8; 0 when the picture has no usable tag (none, one of another type
// or count, a value outside 1 to 8, or an Exif block that cannot be read).
using Orientation = WORD;

// The tag of an opened picture: GDI+'s property where it gives one; otherwise, for a JPEG
// file, the tag read from the file itself (Wine's GDI+ gives no properties for JPEG files).
Orientation ReadPictureOrientation(Gdiplus::Image& picture, LPCWSTR path);

// The tag in IFD0 of a JPEG file's Exif block, in either byte order. Reads nothing outside
// that block and follows no offset out of it; anything malformed is no tag.
Orientation ReadJpegOrientation(LPCWSTR path);

// Turns the picture so that it shows upright: by 2 to 8 the way the tag says, by anything
// else not at all. The first failing step's status.
Gdiplus::Status TurnUpright(Gdiplus::Image& picture, Orientation orientation);

// Whether the upright picture's width is the stored picture's height (a quarter turn).
BOOL SwapsSides(Orientation orientation);
