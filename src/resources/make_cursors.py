#!/usr/bin/env python3
"""Writes the viewer's cursors as 32 x 32 monochrome .cur files.

Each cursor is drawn below as text: 'X' black, 'o' white, anything else
transparent; the hot spot is given beside it. Usage: make_cursors.py OUTDIR
"""
import os
import struct
import sys

SIZE = 32

CURSORS = {
    # A pointing hand for links.
    "hotspot2.cur": ((5, 0), """
.....XX
....XooX
....XooX
....XooX
....XooX
....XooXXX
....XooXooXXX
....XooXooXooXX
.XX.XooXooXooXoX
XooXXooooooooXoX
XoooXooooooooooX
.XooXooooooooooX
..XoXoooooooooX
..XooooooooooooX
...XoooooooooooX
...XooooooooooX
....XoooooooooX
....XooooooooX
.....XoooooooX
.....XXXXXXXXX
"""),
    # A magnifying glass; the hot spot is the middle of the lens.
    "magnify.cur": ((6, 6), """
...XXXXXX
..XooooooX
.XooXXXXooX
XooX....XooX
XoX......XoX
XoX......XoX
XoX......XoX
XoX......XoX
XooX....XooX
.XooXXXXoooX
..XooooooooooX
...XXXXXXoooooX
..........XoooooX
...........XoooooX
............XoooooX
.............XoooX
..............XXX
"""),
    # An open hand: the page can be dragged.
    "pan1.cur": ((8, 8), """
.......XX
...XX.XooXXX
..XooXXooXooX
..XooXXooXooX.X
...XooXooXooXXoX
...XooXooXooXooX
.XX.XoooooooXooX
XooXXooooooooooX
XoooXoooooooooX
.XooooooooooooX
..XoooooooooooX
..XooooooooooX
...XoooooooooX
....XooooooooX
.....XoooooooX
......XXXXXXX
"""),
    # A closed hand: the page is being dragged.
    "pan2.cur": ((8, 8), """

....XX.XX.XX
...XooXooXooXX
...XooooooooXoX
....XoooooooooX
...XXoooooooooX
..XooooooooooX
..XoooooooooooX
...XooooooooooX
....XooooooooX
.....XoooooooX
......XXXXXXX
"""),
    # A pencil; the hot spot is its point at the bottom left.
    "pencil.cur": ((0, 15), """
............XXX
...........XoooX
..........XoooXX
.........XoooXoX
........XoooXoX
.......XoooXoX
......XoooXoX
.....XoooXoX
....XoooXoX
...XoooXoX
..XXooXoX
..XXXXoX
.XXXXXX
.XXXX
XXX
X
"""),
    # An eraser block; the hot spot is its middle.
    "eraser.cur": ((7, 7), """
......XXXXXXXXX
.....XoooooooXX
....XoooooooXoX
...XoooooooXooX
..XoooooooXooX
.XoooooooXooX
XXXXXXXXXooX
XoooooooXoX
XoooooooXX
XXXXXXXXX
"""),
}


def rows_of(art):
    lines = art.split("\n")[1:-1]
    rows = [line.ljust(SIZE, ".")[:SIZE] for line in lines]
    return rows + ["." * SIZE] * (SIZE - len(rows))


def cursor_file(hot_spot, art):
    rows = rows_of(art)
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bottom-up, as every DIB
        xor_bits = and_bits = 0
        for x, c in enumerate(row):
            bit = 1 << (SIZE - 1 - x)
            if c == "o":
                xor_bits |= bit
            elif c != "X":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    colours = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + colours + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot_spot[0], hot_spot[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (hot_spot, art) in CURSORS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(cursor_file(hot_spot, art))


if __name__ == "__main__":
    main()
