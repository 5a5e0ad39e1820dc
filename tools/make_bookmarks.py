#!/usr/bin/env python3
"""Draws the ten bookmark glyphs MARK_0.bmp .. MARK_9.bmp into resources/.

Each is 11 x 14 pixels, 4 bits per pixel, uncompressed: a raised silver tile
(white top and left highlight, grey bottom and right shadow, silver outer
frame) with its digit in black in the middle. Run once; the files are kept.
"""
import os
import struct

# 5 x 7 digits, one string per row, '#' is ink.
DIGITS = {
    0: [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    1: ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    2: [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    3: ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    4: ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    5: ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    6: ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    7: ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    8: [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    9: [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
}

# The 16-colour palette (blue, green, red, 0); the tile uses four entries.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0x80, 0x80, 0x80),
    (0xC0, 0xC0, 0xC0), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREY, SILVER, WHITE = 0, 7, 8, 15
WIDTH, HEIGHT = 11, 14


def tile(digit):
    rows = [[SILVER] * WIDTH for _ in range(HEIGHT)]
    for x in range(1, WIDTH - 1):
        rows[1][x] = WHITE
        rows[HEIGHT - 2][x] = GREY
    for y in range(1, HEIGHT - 1):
        rows[y][1] = WHITE
        rows[y][WIDTH - 2] = GREY
    for dy, line in enumerate(DIGITS[digit]):
        for dx, ch in enumerate(line):
            if ch == "#":
                rows[3 + dy][3 + dx] = BLACK
    return rows


def bmp(rows):
    stride = ((WIDTH * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):  # bottom-up
        packed = bytes((row[x] << 4) | (row[x + 1] if x + 1 < WIDTH else 0) for x in range(0, WIDTH, 2))
        pixels += packed + b"\0" * (stride - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    return header + info + palette + pixels


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for digit in range(10):
        with open(os.path.join(out, f"MARK_{digit}.bmp"), "wb") as f:
            f.write(bmp(tile(digit)))


if __name__ == "__main__":
    main()
