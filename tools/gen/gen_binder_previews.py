#!/usr/bin/env python3
"""Draws the three 64 x 64 previews of the "Day Binder Layout" dialog as 24-bit BMP files:
binder_portrait.bmp (one day on an upright sheet), binder_single.bmp (one day across a sheet
lying on its side) and binder_dual.bmp (two days side by side on such a sheet, folded between
them). Each sheet shows a title band, the hour lines of the day and the binder's punched holes.

Usage: gen_binder_previews.py OUTPUT_FOLDER
"""
import os
import struct
import sys

SIZE = 64
FACE = (240, 240, 240)      # the dialog's face colour around the sheet
PAPER = (255, 255, 255)
INK = (0, 0, 0)
RULE = (160, 160, 160)
BAND = (0, 84, 166)
HOLE = (200, 200, 200)


class Picture:
    def __init__(self):
        self.px = [[FACE] * SIZE for _ in range(SIZE)]

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, SIZE)):
            for x in range(max(x0, 0), min(x1, SIZE)):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0 + 1, colour)
        self.fill(x0, y1 - 1, x1, y1, colour)
        self.fill(x0, y0, x0 + 1, y1, colour)
        self.fill(x1 - 1, y0, x1, y1, colour)

    def bmp(self):
        row_bytes = SIZE * 3
        data = bytearray()
        for y in range(SIZE - 1, -1, -1):  # bottom-up rows
            for (r, g, b) in self.px[y]:
                data += bytes((b, g, r))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        assert row_bytes % 4 == 0
        return header + info + bytes(data)


def day(p, x0, y0, x1, y1):
    """One day page: title band, then hour lines down to the bottom margin."""
    p.fill(x0 + 3, y0 + 3, x1 - 3, y0 + 7, BAND)
    y = y0 + 10
    while y < y1 - 3:
        p.fill(x0 + 3, y, x1 - 3, y + 1, RULE)
        p.fill(x0 + 3, y, x0 + 6, y + 1, INK)   # the hour's number
        y += 4


def sheet(p, x0, y0, x1, y1):
    p.fill(x0 + 1, y0 + 1, x1 + 1, y1 + 1, RULE)  # shadow
    p.fill(x0, y0, x1, y1, PAPER)
    p.frame(x0, y0, x1, y1, INK)


def portrait():
    p = Picture()
    sheet(p, 12, 3, 52, 61)
    day(p, 16, 3, 52, 61)
    for y in (12, 31, 50):
        p.fill(14, y, 16, y + 2, HOLE)
    return p


def landscape(dual):
    p = Picture()
    sheet(p, 3, 12, 61, 52)
    if dual:
        day(p, 3, 12, 32, 52)
        day(p, 32, 12, 61, 52)
        for y in range(13, 51, 2):
            p.fill(32, y, 33, y + 1, INK)  # the fold
    else:
        day(p, 3, 12, 61, 52)
    for x in (15, 31, 47):
        p.fill(x, 14, x + 2, 16, HOLE)
    return p


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, picture in (("binder_portrait.bmp", portrait()), ("binder_single.bmp", landscape(False)),
                          ("binder_dual.bmp", landscape(True))):
        with open(os.path.join(out, name), "wb") as f:
            f.write(picture.bmp())


if __name__ == "__main__":
    main()
