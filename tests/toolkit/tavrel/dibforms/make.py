#!/usr/bin/env python3
"""Writes the bitmaps of the packed-DIB header test: one 4 x 4 picture in every header form
that skin bitmaps come in, and forms that must be refused. Run it after a change and commit
the files it writes."""
import os
import struct

os.chdir(os.path.dirname(os.path.abspath(__file__)))

# Top row first, as (blue, green, red, alpha).
PICTURE = [
    [(0, 0, 255, 255), (0, 255, 0, 255), (255, 0, 0, 255), (255, 255, 255, 255)],
    [(100, 100, 100, 128), (50, 60, 70, 0), (0, 0, 0, 255), (30, 20, 10, 255)],
    [(255, 0, 0, 255), (0, 255, 0, 64), (0, 0, 255, 255), (10, 200, 10, 255)],
    [(40, 40, 40, 255), (80, 80, 80, 255), (120, 120, 120, 0), (200, 200, 200, 255)],
]
RED, GREEN, BLUE, ALPHA = 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000
BI_RGB, BI_BITFIELDS = 0, 3


def rows(bits, alpha=None):
    """Bottom-up rows padded to 4 bytes; alpha replaces every pixel's alpha when given."""
    data = b""
    for row in reversed(PICTURE):
        line = b""
        for b, g, r, a in row:
            if bits == 24:
                line += bytes((b, g, r))
            else:
                line += bytes((b, g, r, a if alpha is None else alpha))
        data += line + b"\0" * (-len(line) % 4)
    return data


def info_header(size, bits, compression, image_size, masks=(0, 0, 0, 0)):
    header = struct.pack("<IiiHHIIiiII", size, 4, 4, 1, bits, compression, image_size, 2835, 2835, 0, 0)
    if size >= 108:
        # Masks, the colour space (sRGB), end points and gammas.
        header += struct.pack("<IIII", *masks) + b"sRGB"[::-1] + b"\0" * 36 + b"\0" * 12
    if size >= 124:
        header += struct.pack("<IIII", 4, 0, 0, 0)  # intent, profile data, profile size, reserved
    return header


def write(name, header, pixels, extra=b""):
    body = header + extra + pixels
    with open(name, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + len(header) + len(extra)) + body)


def form(name, size, bits, compression, masks=(0, 0, 0, 0), extra=b"", alpha=None, cut=0):
    pixels = rows(bits, alpha)
    write(name, info_header(size, bits, compression, len(pixels), masks), pixels[: len(pixels) - cut], extra)


standard = (RED, GREEN, BLUE, ALPHA)
# The same picture with alpha in three headers, and opaque in four.
form("alpha40.bmp", 40, 32, BI_RGB)
form("alpha108.bmp", 108, 32, BI_BITFIELDS, standard)
form("alpha124.bmp", 124, 32, BI_BITFIELDS, standard)
form("opaque40.bmp", 40, 24, BI_RGB)
form("opaque108.bmp", 108, 24, BI_RGB)
form("opaque124.bmp", 124, 24, BI_RGB)
form("fields40.bmp", 40, 32, BI_BITFIELDS, extra=struct.pack("<III", RED, GREEN, BLUE), alpha=0)
# Alpha 0 everywhere: transparent when the header declares alpha, opaque when it does not.
form("clear124.bmp", 124, 32, BI_BITFIELDS, standard, alpha=0)
form("clear40.bmp", 40, 32, BI_RGB, alpha=0)
# Refused: other masks, 16-bit fields, an unknown header size, pixels cut short.
form("swapped124.bmp", 124, 32, BI_BITFIELDS, (BLUE, GREEN, RED, ALPHA))
form("halfalpha124.bmp", 124, 32, BI_BITFIELDS, (RED, GREEN, BLUE, 0x0F000000))
form("rgb565.bmp", 124, 16, BI_BITFIELDS, (0xF800, 0x07E0, 0x001F, 0))
form("size100.bmp", 100, 32, BI_RGB)
form("short124.bmp", 124, 32, BI_BITFIELDS, standard, cut=4)
