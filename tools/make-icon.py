#!/usr/bin/env python3
"""Draws Quandrel's icon: a yellow box with a grey zipper and the letters ZIP.

Writes one 32 x 32, 32-bit image as a .ico file (the committed app/res/quandrel.ico
comes from this script): python3 tools/make-icon.py app/res/quandrel.ico
"""
import struct
import sys

SIZE = 32
CLEAR = (0, 0, 0, 0)
YELLOW = (255, 214, 0, 255)
YELLOW_DARK = (214, 160, 0, 255)
OUTLINE = (120, 84, 0, 255)
GREY = (150, 150, 150, 255)
GREY_DARK = (90, 90, 90, 255)
INK = (40, 40, 40, 255)

# 3 x 5 pixel letters.
LETTERS = {
    "Z": ["111", "001", "010", "100", "111"],
    "I": ["111", "010", "010", "010", "111"],
    "P": ["110", "101", "110", "100", "100"],
}


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]  # rows from the top

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    # The box, with its outline and a shaded lid band.
    fill(3, 3, 28, 28, OUTLINE)
    fill(4, 4, 27, 27, YELLOW)
    fill(4, 4, 27, 7, YELLOW_DARK)
    # The zipper: a grey track down the middle with teeth on both sides, and a pull tab.
    fill(15, 4, 16, 17, GREY_DARK)
    for y in range(4, 18, 2):
        fill(13, y, 14, y, GREY)
        fill(17, y + 1, 18, y + 1, GREY)
    fill(14, 17, 17, 19, GREY)
    fill(15, 18, 16, 18, GREY_DARK)
    # ZIP, two pixels per font pixel across and one down, under the zipper.
    x = 7
    for letter in "ZIP":
        for row, bits in enumerate(LETTERS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    fill(x + col * 2 - 0, 21 + row, x + col * 2 + 1, 21 + row, INK)
        x += 7
    return pixels


def ico_bytes(pixels):
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico_bytes(draw()))
