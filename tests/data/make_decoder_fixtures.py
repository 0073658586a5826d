#!/usr/bin/env python3
"""Writes the decoder's oracle fixtures into a folder and prints a case list.

Base pictures are written as plain uncompressed TIFF by this script; libtiff's
tiffcp then recompresses, tiles, separates planes and changes the fill order,
so the variants come from a real encoder. Each line of the printed case list
is JSON: {"name", "file", "oracle", "tolerance"} where oracle is
"tiff2rgba" (libtiff's RGBA reader), "imagemagick" (convert -auto-orient) or
"expected" (a PPM the script wrote from the picture it generated, for pages
libtiff's RGBA reader cannot show).

usage: make_decoder_fixtures.py OUTPUT_FOLDER
"""
import json
import os
import struct
import subprocess
import sys

WIDTH, HEIGHT = 67, 43  # odd and not square: row padding and orientation show


def value(x, y, levels):
    # Smooth ramps with a hard-edged pattern on top: compressors get runs and
    # every sample value gets used.
    v = (x * 5 + y * 3 + ((x // 4) ^ (y // 3)) * 7) % levels
    return v


def pack_row(samples, bits):
    out = bytearray()
    acc = nbits = 0
    for s in samples:
        if bits >= 8:
            out += int(s).to_bytes(bits // 8, "little")
            continue
        acc = (acc << bits) | s
        nbits += bits
        if nbits == 8:
            out.append(acc)
            acc = nbits = 0
    if nbits:
        out.append(acc << (8 - nbits))
    return bytes(out)


def write_tiff(path, width, height, bits, spp, photometric, rows, colormap=None, orientation=None,
               planar=1, extra=None, tile=None):
    """Little-endian, uncompressed, one strip (one per plane when `rows` holds planes),
    or one tile of tile = (width, length) covering the picture."""
    strips = [b"".join(plane) for plane in rows] if planar == 2 else [b"".join(rows)]

    def layout(starts):
        entries = []  # (tag, type, count, payload bytes)

        def short(tag, *values):
            entries.append((tag, 3, len(values), b"".join(struct.pack("<H", v) for v in values)))

        def long(tag, *values):
            entries.append((tag, 4, len(values), b"".join(struct.pack("<I", v) for v in values)))

        long(256, width)
        long(257, height)
        short(258, *([bits] * spp))
        short(259, 1)
        short(262, photometric)
        if not tile:
            long(273, *starts)
        if orientation:
            short(274, orientation)
        short(277, spp)
        if tile:
            long(322, tile[0])
            long(323, tile[1])
            long(324, *starts)
            long(325, *[len(strip) for strip in strips])
        else:
            long(278, height)
            long(279, *[len(strip) for strip in strips])
        entries.append((282, 5, 1, struct.pack("<II", 200, 1)))
        entries.append((283, 5, 1, struct.pack("<II", 200, 1)))
        short(284, planar)
        short(296, 2)
        if colormap:
            short(320, *colormap)
        entries += extra or []
        entries.sort(key=lambda e: e[0])
        blob_at = 8 + 2 + 12 * len(entries) + 4
        blob = bytearray()
        out = bytearray(b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", len(entries)))
        for tag, typ, count, payload in entries:
            if len(payload) <= 4:
                field = payload.ljust(4, b"\0")
            else:
                field = struct.pack("<I", blob_at + len(blob))
                blob += payload + b"\0" * (len(payload) % 2)
            out += struct.pack("<HHI", tag, typ, count) + field
        out += struct.pack("<I", 0) + blob
        return out

    header = layout([0] * len(strips))
    starts = [len(header) + sum(len(x) for x in strips[:i]) for i in range(len(strips))]
    with open(path, "wb") as f:
        f.write(layout(starts) + b"".join(strips))


def grey_rows(bits, levels=None):
    levels = levels or (1 << bits)
    scale = ((1 << bits) - 1) // (levels - 1) if bits < 16 else 257
    return [pack_row([value(x, y, levels) * scale for x in range(WIDTH)], bits) for y in range(HEIGHT)]


def rgb_pixel(x, y):
    return (value(x, y, 256), value(y * 2, x, 256), (x * 11 + y * 17) % 256)


def rgb_rows(bits=8):
    rows = []
    for y in range(HEIGHT):
        samples = []
        for x in range(WIDTH):
            samples += [c * 257 if bits == 16 else c for c in rgb_pixel(x, y)]
        rows.append(pack_row(samples, bits))
    return rows


def palette(bits):
    n = 1 << bits
    reds = [(i * 97 + 13) % 256 for i in range(n)]
    greens = [(i * 59 + 200) % 256 for i in range(n)]
    blues = [(i * 31 + 77) % 256 for i in range(n)]
    if n == 2:
        reds, greens, blues = [250, 10], [240, 20], [230, 30]  # a light entry first
    return reds, greens, blues


def colormap_tag(bits):
    r, g, b = palette(bits)
    return [v * 257 for v in r + g + b]


def write_ppm(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(bytes(c for p in pixels for c in p))


def ycbcr_file(path, width, height, h, v, tile=None):
    """Uncompressed YCbCr with h x v subsampling, in one strip or one tile."""
    def ycc(x, y):
        return (value(x, y, 256), 128 + (x * 3 - y) % 60 - 30, 128 + (y * 2 + x) % 50 - 25)
    data = bytearray()
    across, down = tile or (width, height)
    for by in range(0, down, v):
        for bx in range(0, across, h):
            lumas = []
            for iy in range(v):
                for ix in range(h):
                    x, y = min(bx + ix, width - 1), min(by + iy, height - 1)
                    lumas.append(ycc(x, y)[0])
            _, cb, cr = ycc(min(bx, width - 1), min(by, height - 1))
            data += bytes(lumas) + bytes([cb, cr])
    write_tiff(path, width, height, 8, 3, 6, [bytes(data)], extra=[(530, 3, 2, struct.pack("<HH", h, v))],
               tile=tile)


def cmyk_rows():
    rows = []
    for y in range(HEIGHT):
        samples = []
        for x in range(WIDTH):
            samples += [value(x, y, 256), (y * 5) % 256, (x * 3) % 256, (x + y) % 128]
        rows.append(pack_row(samples, 8))
    return rows


def lab_rows():
    rows = []
    for y in range(HEIGHT):
        samples = []
        for x in range(WIDTH):
            samples += [40 + (x * 3) % 200, (x * 7 + y) % 256, (y * 9) % 256]
        rows.append(pack_row(samples, 8))
    return rows


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    cases = []

    def case(name, oracle="tiff2rgba", tolerance=0):
        cases.append({"name": name, "file": os.path.join(out, name + ".tif"), "oracle": oracle,
                      "tolerance": tolerance})

    def path(name):
        return os.path.join(out, name + ".tif")

    def tiffcp(source, name, *options):
        subprocess.run(["tiffcp", *options, path(source), path(name)], check=True)

    # Bilevel, min-is-white as faxes and scanners write it, in every compression tiffcp writes.
    write_tiff(path("bilevel-white"), WIDTH, HEIGHT, 1, 1, 0, grey_rows(1))
    write_tiff(path("bilevel-black"), WIDTH, HEIGHT, 1, 1, 1, grey_rows(1))
    case("bilevel-white")
    case("bilevel-black")
    for name, options in [("g3-1d", ["-c", "g3:1d"]), ("g3-2d", ["-c", "g3:2d"]), ("g3-fill", ["-c", "g3:fill"]),
                          ("g4", ["-c", "g4"]), ("packbits", ["-c", "packbits"]), ("lzw", ["-c", "lzw"]),
                          ("deflate", ["-c", "zip"]), ("g4-lsb", ["-c", "g4", "-f", "lsb2msb"]),
                          ("g3-lsb", ["-c", "g3:2d", "-f", "lsb2msb"]), ("g4-strips", ["-c", "g4", "-r", "5"]),
                          ("tiled", ["-t", "-w", "32", "-l", "16"])]:
        tiffcp("bilevel-white", "bilevel-" + name, *options)
        case("bilevel-" + name)

    # Grey of every depth; 8-bit also with a predictor, Deflate, min-is-white and tiles.
    for bits in (2, 4, 8, 16):
        write_tiff(path("grey-%d" % bits), WIDTH, HEIGHT, bits, 1, 1, grey_rows(bits, 256 if bits == 16 else None))
        # libtiff's RGBA reader rounds 16-bit samples; the viewer keeps the high byte.
        case("grey-%d" % bits, tolerance=1 if bits == 16 else 0)
    write_tiff(path("grey-8-white"), WIDTH, HEIGHT, 8, 1, 0, grey_rows(8))
    case("grey-8-white")
    tiffcp("grey-8", "grey-8-lzw-predictor", "-c", "lzw:2", "-r", "7")
    tiffcp("grey-8", "grey-8-deflate", "-c", "zip")
    tiffcp("grey-8", "grey-8-tiled", "-t", "-w", "16", "-l", "32")
    tiffcp("grey-4", "grey-4-tiled", "-t", "-w", "32", "-l", "16")
    tiffcp("grey-8", "grey-8-jpeg", "-c", "jpeg")
    tiffcp("grey-2", "grey-2-packbits", "-c", "packbits")
    for name in ("grey-8-lzw-predictor", "grey-8-deflate", "grey-8-tiled", "grey-4-tiled", "grey-8-jpeg",
                 "grey-2-packbits"):
        case(name)

    # Palettes; 16-bit palettes are beyond libtiff's RGBA reader, so the script
    # writes what the page must show.
    for bits in (1, 2, 4, 8):
        write_tiff(path("palette-%d" % bits), WIDTH, HEIGHT, bits, 1, 3, grey_rows(bits), colormap_tag(bits))
        case("palette-%d" % bits)
    tiffcp("palette-8", "palette-8-lzw", "-c", "lzw")
    tiffcp("palette-8", "palette-8-tiled", "-t", "-w", "16", "-l", "16")
    case("palette-8-lzw")
    case("palette-8-tiled")
    indexes = [[(x * 977 + y * 5003) % 65536 for x in range(WIDTH)] for y in range(HEIGHT)]
    cmap16 = [((i * 7) % 65536) for i in range(65536)] + [((i * 13 + 5000) % 65536) for i in range(65536)] + \
             [((65535 - i) % 65536) for i in range(65536)]
    write_tiff(path("palette-16"), WIDTH, HEIGHT, 16, 1, 3, [pack_row(r, 16) for r in indexes], cmap16)
    write_ppm(path("palette-16") + ".ppm", WIDTH, HEIGHT,
              [(cmap16[v] >> 8, cmap16[65536 + v] >> 8, cmap16[131072 + v] >> 8) for r in indexes for v in r])
    case("palette-16", oracle="expected")

    # RGB chunky and planar in 8 and 16 bits; JPEG as YCbCr and as RGB; tiles.
    write_tiff(path("rgb-8"), WIDTH, HEIGHT, 8, 3, 2, rgb_rows())
    write_tiff(path("rgb-16"), WIDTH, HEIGHT, 16, 3, 2, rgb_rows(16))
    case("rgb-8")
    case("rgb-16", tolerance=1)
    planes = [[pack_row([rgb_pixel(x, y)[c] * 257 for x in range(WIDTH)], 16) for y in range(HEIGHT)] for c in range(3)]
    write_tiff(path("rgb-16-planar"), WIDTH, HEIGHT, 16, 3, 2, planes, planar=2)
    case("rgb-16-planar", tolerance=1)
    for source, name, options, tolerance in [
            ("rgb-8", "rgb-8-planar", ["-p", "separate"], 0),
            ("rgb-8", "rgb-8-lzw", ["-c", "lzw:2", "-r", "8"], 0),
            ("rgb-8", "rgb-8-planar-deflate", ["-p", "separate", "-c", "zip"], 0),
            ("rgb-8", "rgb-8-tiled", ["-t", "-w", "32", "-l", "16"], 0),
            ("rgb-8", "rgb-8-jpeg-ycbcr", ["-c", "jpeg", "-r", "16"], 0),
            ("rgb-8", "rgb-8-jpeg-rgb", ["-c", "jpeg:r"], 0),
            ("rgb-8", "rgb-8-jpeg-tiled", ["-c", "jpeg", "-t", "-w", "32", "-l", "32"], 0)]:
        tiffcp(source, name, *options)
        case(name, tolerance=tolerance)

    # All eight orientation tags; ImageMagick turns the picture for comparison.
    for orientation in range(1, 9):
        name = "orientation-%d" % orientation
        write_tiff(path(name), WIDTH, HEIGHT, 8, 3, 2, rgb_rows(), orientation=orientation)
        case(name, oracle="imagemagick")
    write_tiff(path("orientation-6-bilevel"), WIDTH, HEIGHT, 1, 1, 0, grey_rows(1), orientation=6)
    write_tiff(path("orientation-5-grey-4"), WIDTH, HEIGHT, 4, 1, 1, grey_rows(4), orientation=5)
    case("orientation-6-bilevel", oracle="imagemagick")
    case("orientation-5-grey-4", oracle="imagemagick")

    # Colour spaces converted by the viewer's own formulas.
    write_tiff(path("cmyk-8"), WIDTH, HEIGHT, 8, 4, 5, cmyk_rows())
    case("cmyk-8", tolerance=1)
    tiffcp("cmyk-8", "cmyk-8-planar", "-p", "separate")
    case("cmyk-8-planar", tolerance=1)
    ycbcr_file(path("ycbcr-101-2x2"), 101, 37, 2, 2)
    ycbcr_file(path("ycbcr-4x2"), 66, 21, 4, 2)
    # libtiff converts through integer tables; the viewer uses the plain formulas.
    case("ycbcr-101-2x2", tolerance=2)
    case("ycbcr-4x2", tolerance=2)
    # One tile wider and longer than the picture: its blocks past the right
    # edge are padding, and the rows below them must still show.
    ycbcr_file(path("ycbcr-tile-2x2"), 45, 27, 2, 2, tile=(64, 32))
    case("ycbcr-tile-2x2", tolerance=2)
    write_tiff(path("lab-8"), WIDTH, HEIGHT, 8, 3, 8, lab_rows())
    # libtiff's RGBA reader maps L*a*b* through its own display model, far from
    # sRGB; ImageMagick's sRGB conversion rounds and clips differently.
    case("lab-8", oracle="imagemagick", tolerance=20)

    for c in cases:
        print(json.dumps(c))


if __name__ == "__main__":
    main()
