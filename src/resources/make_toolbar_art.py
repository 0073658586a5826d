#!/usr/bin/env python3
"""Draws the toolbar's icons and its logo from the shapes below and writes
them as files for the resource compiler.

Every icon is drawn on a 32 x 32 grid of shapes (polygons, rectangles,
circles, rings, arcs, thick lines), rasterised with anti-aliased edges at
each size the toolbar loads (32 for the 26-pixel toolbar, larger ones for
scaled buttons) and written as icon<ID>.ico with 32-bit images. The logo is
a 64 x 22 picture of 16 colours written as logo.bmp.

usage: make_toolbar_art.py OUTDIR
"""
import math
import os
import struct
import sys

SIZES = (32, 48, 64, 96, 128)
SUB = 4  # sub-rows per pixel row for the edges

# Colours (r, g, b) chosen to read on a grey button face.
INK = (40, 40, 48)
PAPER = (255, 255, 255)
LINE = (150, 160, 176)
BLUE = (32, 96, 192)
RED = (200, 48, 32)
GREEN = (32, 144, 64)
YELLOW = (240, 200, 64)
METAL = (176, 184, 196)
DARK = (80, 88, 104)


# ---- shapes: each is (colour, [contour, ...]) where the contours of one
# shape are filled even-odd and the shapes of one call are painted in order.

def poly(colour, *points):
    return (colour, [list(points)])


def rect(colour, x0, y0, x1, y1):
    return (colour, [[(x0, y0), (x1, y0), (x1, y1), (x0, y1)]])


def frame(colour, x0, y0, x1, y1, w=1.5):
    outer = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    inner = [(x0 + w, y0 + w), (x1 - w, y0 + w), (x1 - w, y1 - w), (x0 + w, y1 - w)]
    return (colour, [outer, inner])


def circle_points(cx, cy, r, n=48):
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def circle(colour, cx, cy, r):
    return (colour, [circle_points(cx, cy, r)])


def ring(colour, cx, cy, r, w):
    return (colour, [circle_points(cx, cy, r), circle_points(cx, cy, r - w)])


def arc(colour, cx, cy, r, w, start, end, n=32):
    """A thick arc from angle `start` to `end` (degrees, clockwise on screen)."""
    angles = [math.radians(start + (end - start) * i / n) for i in range(n + 1)]
    outer = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in angles]
    inner = [(cx + (r - w) * math.cos(a), cy + (r - w) * math.sin(a)) for a in reversed(angles)]
    return (colour, [outer + inner])


def arc_end(cx, cy, r, w, angle, clockwise, size=5.5):
    """The arrow head at the end of an arc, pointing along it."""
    a = math.radians(angle)
    mid = r - w / 2
    px, py = cx + mid * math.cos(a), cy + mid * math.sin(a)
    tx, ty = -math.sin(a), math.cos(a)  # clockwise tangent on screen
    if not clockwise:
        tx, ty = -tx, -ty
    nx, ny = math.cos(a), math.sin(a)
    return [(px + nx * size, py + ny * size), (px - nx * size, py - ny * size),
            (px + tx * size * 1.2, py + ty * size * 1.2)]


def line(colour, w, *points):
    """A thick polyline: one quad per segment and a disc at every joint."""
    contours = []
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1
        nx, ny = -dy / length * w / 2, dx / length * w / 2
        contours.append([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
    for x, y in points:
        contours.append(circle_points(x, y, w / 2, 16))
    return (colour, contours, "union")


def turned(shapes, quarters):
    """The shapes turned by quarter turns clockwise about the grid's centre."""
    def turn(p):
        x, y = p
        for _ in range(quarters % 4):
            x, y = 32 - y, x
        return (x, y)
    out = []
    for shape in shapes:
        out.append((shape[0], [[turn(p) for p in c] for c in shape[1]]) + tuple(shape[2:]))
    return out


# ---- the drawings

def page(x0=7, y0=3, x1=25, y1=29, lines=True):
    shapes = [poly(INK, (x0, y0), (x1 - 6, y0), (x1, y0 + 6), (x1, y1), (x0, y1)),
              poly(PAPER, (x0 + 1.5, y0 + 1.5), (x1 - 6.6, y0 + 1.5), (x1 - 1.5, y0 + 6.6), (x1 - 1.5, y1 - 1.5),
                   (x0 + 1.5, y1 - 1.5)),
              poly(LINE, (x1 - 6, y0 + 1.5), (x1 - 1.5, y0 + 6), (x1 - 6, y0 + 6))]
    if lines:
        for y in range(y0 + 9, y1 - 3, 4):
            shapes.append(rect(LINE, x0 + 4, y, x1 - 4, y + 1.6))
    return shapes


def oriented_page(quarters):
    # The page's top is marked by a red arrow; the whole drawing turns with it.
    shapes = page(8, 6, 24, 30) + [poly(RED, (16, 1), (23, 9), (19, 9), (19, 14), (13, 14), (13, 9), (9, 9))]
    return turned(shapes, quarters)


def printer(extra=()):
    return ([rect(INK, 3, 12, 29, 25), rect(METAL, 4.5, 13.5, 27.5, 23.5), rect(GREEN, 23, 15, 26, 17)]
            + [rect(INK, 8, 3, 24, 13), rect(PAPER, 9.5, 4.5, 22.5, 13)]
            + [rect(INK, 8, 20, 24, 30), rect(PAPER, 9.5, 21.5, 22.5, 28.5), rect(LINE, 11, 24, 21, 25.5)]
            + list(extra))


def magnifier():
    return [line(DARK, 5, (20, 20), (28, 28)), circle(INK, 13, 13, 10), circle((220, 236, 255), 13, 13, 7.5),
            circle(PAPER, 10.5, 10.5, 2.5)]


def double_arrow(vertical):
    shapes = [rect(INK, 2, 4, 4.5, 28), rect(INK, 27.5, 4, 30, 28), rect(BLUE, 8, 14.5, 24, 17.5),
              poly(BLUE, (5.5, 16), (12, 9.5), (12, 22.5)), poly(BLUE, (26.5, 16), (20, 9.5), (20, 22.5))]
    return turned(shapes, 1) if vertical else shapes


def rotation(start, end, clockwise):
    head = arc_end(16, 17, 11, 4, end, clockwise)
    return page(11, 10, 21, 24, lines=False) + [arc(BLUE, 16, 17, 11, 4, start, end), poly(BLUE, *head)]


ICONS = {
    105: printer(),  # print
    157: printer([poly(YELLOW, (20, 0), (13, 9), (17, 9), (12, 17), (22, 7), (18, 7), (23, 0)),
                  line(INK, 1, (20, 0), (13, 9), (17, 9), (12, 17), (22, 7), (18, 7), (23, 0))]),  # quick print
    110: [rect(INK, 3, 3, 29, 29), rect(BLUE, 4.5, 4.5, 27.5, 27.5), rect(PAPER, 8, 4.5, 24, 14),
          rect(LINE, 10, 7, 22, 8.5), rect(LINE, 10, 10, 22, 11.5), rect(METAL, 9, 19, 23, 27.5),
          rect(DARK, 17, 21, 20, 26)],  # save
    109: page(3, 2, 19, 23) + page(12, 9, 28, 30),  # copy
    140: magnifier(),  # zoom mode
    141: [line(BLUE, 3, (16, 5), (16, 27)), line(BLUE, 3, (5, 16), (27, 16)),
          poly(BLUE, (16, 1), (21.5, 7.5), (10.5, 7.5)), poly(BLUE, (16, 31), (21.5, 24.5), (10.5, 24.5)),
          poly(BLUE, (1, 16), (7.5, 10.5), (7.5, 21.5)), poly(BLUE, (31, 16), (24.5, 10.5), (24.5, 21.5)),
          circle(INK, 16, 16, 4), circle(PAPER, 16, 16, 2)],  # pan mode
    131: page(9, 7, 23, 25, lines=False) + [frame(INK, 2, 2, 30, 30),
                                            poly(BLUE, (3.5, 3.5), (9, 3.5), (3.5, 9)),
                                            poly(BLUE, (28.5, 3.5), (23, 3.5), (28.5, 9)),
                                            poly(BLUE, (3.5, 28.5), (9, 28.5), (3.5, 23)),
                                            poly(BLUE, (28.5, 28.5), (23, 28.5), (28.5, 23))],  # best fit
    117: double_arrow(False),  # fit width
    118: double_arrow(True),  # fit height
    133: [frame(INK, 2, 6, 30, 26), rect(PAPER, 3.5, 7.5, 28.5, 24.5),
          line(BLUE, 2.6, (7, 12), (9.5, 10), (9.5, 22)), rect(BLUE, 14.8, 12, 17.2, 14.4),
          rect(BLUE, 14.8, 18, 17.2, 20.4), line(BLUE, 2.6, (21, 12), (23.5, 10), (23.5, 22))],  # fixed size
    111: oriented_page(0),  # upright
    113: oriented_page(1),  # rotated right
    112: oriented_page(2),  # upside down
    114: oriented_page(3),  # rotated left
    115: [circle(INK, 16, 16, 13), circle(PAPER, 16, 16, 11), poly(INK, (16, 5), (16, 27), (5.2, 23), (3, 16),
                                                                   (5.2, 9))] +
         [(INK, [circle_points(16, 16, 11)[12:37] + [(16, 16)]])],  # negative
    108: [poly(BLUE, (22, 4), (22, 28), (7, 16)), line(INK, 1.2, (22, 4), (22, 28), (7, 16), (22, 4))],  # previous
    107: [poly(BLUE, (10, 4), (10, 28), (25, 16)), line(INK, 1.2, (10, 4), (10, 28), (25, 16), (10, 4))],  # next
    151: [rect(INK, 5, 7, 27, 10.5), rect(INK, 5, 14.25, 27, 17.75), rect(INK, 5, 21.5, 27, 25)],  # menu
    106: [circle(BLUE, 16, 16, 13), circle(PAPER, 16, 9.5, 2.4), rect(PAPER, 14, 13.5, 18, 24),
          rect(PAPER, 12, 22, 20, 24.5)],  # information
    123: [poly(INK, (2, 7), (11, 7), (13, 10), (27, 10), (27, 27), (2, 27)),
          poly(YELLOW, (3.5, 8.5), (10.2, 8.5), (12.2, 11.5), (25.5, 11.5), (25.5, 25.5), (3.5, 25.5)),
          poly(INK, (2, 27), (7, 15), (31, 15), (27, 27)),
          poly((250, 224, 120), (4.2, 25.8), (8, 16.5), (29, 16.5), (26, 25.8))],  # open
    136: [rect(PAPER, 3, 3, 29, 29), frame(INK, 3, 3, 29, 29),
          line(LINE, 3, (6, 26), (6, 22), (10, 22), (10, 18), (14, 18), (14, 14)),
          line(BLUE, 3, (14, 26), (18, 17), (22, 11), (26, 7))],  # smooth
    154: rotation(-10, 230, False),  # rotate left
    155: rotation(190, 430, True),  # rotate right
    168: rotation(-90, 145, True),  # rotate half
    156: [rect(INK, 2, 7, 30, 26), rect(PAPER, 3.5, 8.5, 28.5, 24.5),
          line(INK, 1.5, (3.5, 9), (16, 18), (28.5, 9)), line(LINE, 1.2, (3.5, 24), (12, 16)),
          line(LINE, 1.2, (28.5, 24), (20, 16))],  # send by mail
    161: page(4, 3, 24, 29) + [rect(PAPER, 10, 10, 30, 22), frame(RED, 10, 10, 30, 22, 1.2)],  # white-out
    165: [line(INK, 7, (7, 25), (25, 7)), line(YELLOW, 4.6, (8, 24), (24, 8)), line(RED, 4.6, (22.5, 9.5), (25, 7)),
          poly(INK, (3, 29), (4.2, 22.6), (9.4, 27.8)), poly((240, 200, 150), (5.5, 24), (8, 26.5), (6.2, 27))],
    166: [poly(INK, (3, 21), (15, 9), (27, 21), (20, 28), (10, 28)),
          poly((230, 120, 140), (5.2, 21), (15, 11.2), (24.8, 21), (19.3, 26.5), (10.7, 26.5)),
          poly(PAPER, (5.2, 21), (10, 16.2), (19.8, 26), (19.3, 26.5), (10.7, 26.5)),
          rect(INK, 3, 28.5, 29, 30)],  # erase
    167: [rect(INK, 3, 18, 29, 29), rect(METAL, 4.5, 19.5, 27.5, 27.5), rect(DARK, 10, 19.5, 22, 22),
          poly(GREEN, (16, 1), (25, 10), (20, 10), (20, 20), (12, 20), (12, 10), (7, 10)),
          line(INK, 1, (16, 1), (25, 10), (20, 10), (20, 20), (12, 20), (12, 10), (7, 10), (16, 1))],  # upload
}


# ---- rasteriser

def crossings(contour, y):
    xs = []
    n = len(contour)
    for i in range(n):
        x0, y0 = contour[i]
        x1, y1 = contour[(i + 1) % n]
        if (y0 <= y < y1) or (y1 <= y < y0):
            xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
    return xs


def spans(shape, y):
    """Intervals covered on the sub-row at y: even-odd over the contours, or
    the union of each contour's own intervals for thick lines."""
    contours = shape[1]
    if len(shape) > 2:  # union
        out = []
        for c in contours:
            xs = sorted(crossings(c, y))
            out += [(xs[i], xs[i + 1]) for i in range(0, len(xs) - 1, 2)]
        out.sort()
        merged = []
        for a, b in out:
            if merged and a <= merged[-1][1]:
                merged[-1] = (merged[-1][0], max(merged[-1][1], b))
            else:
                merged.append((a, b))
        return merged
    xs = sorted(x for c in contours for x in crossings(c, y))
    return [(xs[i], xs[i + 1]) for i in range(0, len(xs) - 1, 2)]


def rasterise(shapes, width, height, scale_x, scale_y):
    """Anti-aliased RGBA pixels (straight alpha), rows top-down."""
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]
    for shape in shapes:
        scaled = (shape[0], [[(x * scale_x, y * scale_y) for x, y in c] for c in shape[1]]) + tuple(shape[2:])
        ys = [p[1] for c in scaled[1] for p in c]
        top, bottom = max(0, int(min(ys))), min(height, int(math.ceil(max(ys))))
        r, g, b = (v / 255.0 for v in shape[0])
        for row in range(top, bottom):
            cover = [0.0] * width
            for s in range(SUB):
                for a, bx in spans(scaled, row + (s + 0.5) / SUB):
                    a, bx = max(a, 0.0), min(bx, float(width))
                    x = int(a)
                    while x < bx and x < width:
                        cover[x] += (min(bx, x + 1) - max(a, x)) / SUB
                        x += 1
            for x in range(width):
                c = min(cover[x], 1.0)
                if c <= 0:
                    continue
                p = pixels[row * width + x]
                out_a = c + p[3] * (1 - c)
                for i, v in enumerate((r, g, b)):
                    p[i] = (v * c + p[i] * p[3] * (1 - c)) / out_a
                p[3] = out_a
    return pixels


def icon_image(shapes, size):
    pixels = rasterise(shapes, size, size, size / 32.0, size / 32.0)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = pixels[row * size + x]
            alpha = int(round(a * 255))
            if alpha == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
                colour += b"\0\0\0\0"
            else:
                colour += bytes((int(round(b * 255)), int(round(g * 255)), int(round(r * 255)), alpha))
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_icon(path, shapes):
    images = [icon_image(shapes, size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


# ---- the logo: the name in strokes beside a small page, 16 colours

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]

# Letters on a 4 x 8 box, as polylines.
LETTERS = {
    "M": [[(0, 8), (0, 0), (2, 4), (4, 0), (4, 8)]],
    "E": [[(4, 0), (0, 0), (0, 8), (4, 8)], [(0, 4), (3, 4)]],
    "R": [[(0, 8), (0, 0), (3, 0), (4, 1), (4, 3), (3, 4), (0, 4)], [(2, 4), (4, 8)]],
    "V": [[(0, 0), (2, 8), (4, 0)]],
    "A": [[(0, 8), (2, 0), (4, 8)], [(1, 5), (3, 5)]],
    "N": [[(0, 8), (0, 0), (4, 8), (4, 0)]],
}


def logo_shapes():
    navy = (0, 0, 128)
    shapes = [rect(navy, 0, 0, 64, 22), rect((255, 255, 255), 3, 3, 13, 19), rect((0, 255, 255), 5, 6, 11, 7.3),
              rect((0, 255, 255), 5, 9, 11, 10.3), rect((0, 255, 255), 5, 12, 11, 13.3),
              poly((255, 255, 0), (9, 15), (13, 15), (13, 19), (9, 19))]
    x = 16.5
    for letter in "MERVANE":
        for stroke in LETTERS[letter]:
            shapes.append(line((255, 255, 255), 1.3, *[(x + px * 0.9, 6.5 + py * 1.1) for px, py in stroke]))
        x += 6.6
    return shapes


def write_logo(path):
    width, height = 64, 22
    pixels = rasterise(logo_shapes(), width, height, 1.0, 1.0)
    stride = ((width * 4 + 31) // 32) * 4
    rows = bytearray()
    for row in reversed(range(height)):
        line_bytes = bytearray(stride)
        for x in range(width):
            r, g, b, a = pixels[row * width + x]
            rgb = tuple(v * 255 * a for v in (r, g, b))
            index = min(range(16), key=lambda i: sum((rgb[k] - VGA[i][k]) ** 2 for k in range(3)))
            line_bytes[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows += line_bytes
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + bytes(rows))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for ident, shapes in ICONS.items():
        write_icon(os.path.join(out, "icon%d.ico" % ident), shapes)
    write_logo(os.path.join(out, "logo.bmp"))


if __name__ == "__main__":
    main()
