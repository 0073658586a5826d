#!/usr/bin/env python3
"""Writes the installer's icon, MAINICON, as a .ico file with a 16 x 16 and a
32 x 32 image (32-bit colour with alpha, plus the AND mask older shells use).

The picture is drawn below as text, one character per pixel of the 16 x 16
image; the 32 x 32 image doubles every pixel. A sheet of paper with a folded
corner and a green arrow into a tray: the plug-in going onto the machine.
Usage: make_installer_icon.py OUT.ico
"""
import struct
import sys

PICTURE = """
..KKKKKKKK......
..KWWWWWWKK.....
..KWWWWWWKWK....
..KWBBBBWKKKK...
..KWWWWWWWWWK...
..KWBBBBBBBWK...
..KWWWGGWWWWK...
..KWBBGGBBBWK...
..KWWWGGWWWWK...
..KWWGGGGWWWK...
..KKKKGGKKKKK...
.DDDDDDDDDDDDDD.
.DLLLLLLLLLLLLD.
.DLLLLLLLLLLLLD.
.DDDDDDDDDDDDDD.
................
"""

COLOURS = {  # (red, green, blue)
    "K": (32, 32, 32),
    "W": (255, 255, 255),
    "B": (64, 96, 160),
    "G": (0, 150, 40),
    "D": (0, 64, 64),
    "L": (64, 128, 128),
}


def rows():
    lines = [line for line in PICTURE.strip("\n").split("\n")]
    assert len(lines) == 16 and all(len(line) == 16 for line in lines), "the picture is 16 x 16"
    return lines


def image(scale):
    size = 16 * scale
    picture = rows()
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):  # bottom-up
        line = picture[y // scale]
        mask_row = bytearray(mask_stride)
        for x in range(size):
            char = line[x // scale]
            if char in COLOURS:
                red, green, blue = COLOURS[char]
                pixels += bytes((blue, green, red, 255))
            else:
                pixels += bytes(4)
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return size, header + bytes(pixels) + bytes(mask)


def main():
    images = [image(1), image(2)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
