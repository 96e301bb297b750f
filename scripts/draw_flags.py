#!/usr/bin/env python3
"""Draws the flag pictures of the shipped languages into resources/LANGUAGE.

48 x 48, 24-bit Windows bitmaps with the one-pixel grey frame of English.bmp.
Run it again after changing a colour; the pictures are kept in the repository.
"""
import os
import struct
import sys

SIZE = 48
FRAME = (154, 154, 154)

# Bands from left to right ("vertical") or top to bottom ("horizontal").
FLAGS = {
    "Italiano": ("vertical", [(0, 146, 70), (244, 245, 240), (206, 43, 55)]),
    "Deutsch": ("horizontal", [(0, 0, 0), (221, 0, 0), (255, 206, 0)]),
    "Français": ("vertical", [(0, 85, 164), (255, 255, 255), (239, 65, 53)]),
    # Equal bands, the yellow one given twice: red, yellow, red in 1 : 2 : 1.
    "Español": ("horizontal", [(170, 21, 27), (241, 191, 0), (241, 191, 0), (170, 21, 27)]),
}


def pixel(kind, bands, x, y):
    if x in (0, SIZE - 1) or y in (0, SIZE - 1):
        return FRAME
    inner = SIZE - 2
    pos = (x if kind == "vertical" else y) - 1
    return bands[min(pos * len(bands) // inner, len(bands) - 1)]


def bitmap(kind, bands):
    row_size = SIZE * 3  # already a multiple of four
    pixels = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        for x in range(SIZE):
            r, g, b = pixel(kind, bands, x, y)
            pixels += bytes((b, g, r))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, row_size * SIZE, 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "LANGUAGE")
    for name, (kind, bands) in FLAGS.items():
        with open(os.path.join(out_dir, name + ".bmp"), "wb") as f:
            f.write(bitmap(kind, bands))


if __name__ == "__main__":
    main()
