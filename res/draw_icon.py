#!/usr/bin/env python3
"""Draws the program icon into digestor.ico beside this script.

A dark grey page with a light grey dog-ear and a light grey hash mark, at
16, 32 and 48 pixels. Every image is a classic 32-bit DIB with alpha and an
AND mask (no PNG entries), which every Windows version and windres accept.
The drawing is pure integer arithmetic, so the file comes out byte for byte
the same on every run.
"""

import os
import struct

SIZES = (16, 32, 48)

DARK = (0x59, 0x59, 0x59)  # the program's palette: bars and page
LIGHT = (0xE1, 0xE1, 0xE1)  # dog-ear and hash mark
EDGE = (0x3A, 0x3A, 0x3A)  # outline, so the page reads on dark taskbars

# The design lives on a 16-unit grid; a pixel of a larger image is 1/s unit.
PAGE_LEFT, PAGE_RIGHT, PAGE_TOP, PAGE_BOTTOM = 2, 14, 1, 15  # half-open
FOLD = 4  # side of the dog-ear square at the top right
BARS_V = (5, 10)  # left column of each vertical hash bar
BARS_H = (6, 10)  # top row of each horizontal hash bar
HASH_X = (4, 12)  # columns spanned by the horizontal bars, half-open
HASH_Y = (5, 12)  # rows spanned by the vertical bars, half-open


def pixel(x, y, s):
    """Colour of pixel (x, y), top-down, in an image of 16 * s pixels; None is transparent."""
    left, right = PAGE_LEFT * s, PAGE_RIGHT * s
    top, bottom = PAGE_TOP * s, PAGE_BOTTOM * s
    if not (left <= x < right and top <= y < bottom):
        return None

    fold_left, fold_bottom = right - FOLD * s, top + FOLD * s
    if x >= fold_left and y < fold_bottom:
        u, v = x - fold_left, y - top
        if u > v:
            return None  # cut away by the dog-ear
        return EDGE if u == v else LIGHT

    on_edge = x in (left, right - 1) or y in (top, bottom - 1) or (x == fold_left and y < fold_bottom)
    if on_edge:
        return EDGE

    along_x = HASH_X[0] * s <= x < HASH_X[1] * s
    along_y = HASH_Y[0] * s <= y < HASH_Y[1] * s
    if along_y and any(b * s <= x < (b + 1) * s for b in BARS_V):
        return LIGHT
    if along_x and any(b * s <= y < (b + 1) * s for b in BARS_H):
        return LIGHT
    return DARK


def image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask rows bottom-up."""
    s = size // 16
    rows = [[pixel(x, y, s) for x in range(size)] for y in range(size)]

    colour = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c is None:
                colour += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = c
                colour += bytes((b, g, r, 0xFF))
        mask += bits

    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: colour and mask together
        1,  # biPlanes
        32,  # biBitCount
        0,  # biCompression: BI_RGB
        len(colour) + len(mask),  # biSizeImage
        0,
        0,
        0,
        0,
    )
    return header + bytes(colour) + bytes(mask)


def icon_file():
    images = [image(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "digestor.ico")
    with open(path, "wb") as f:
        f.write(icon_file())


if __name__ == "__main__":
    main()
