#!/usr/bin/env python3
"""mrvtool render against real readers: libtiff's tiff2rgba, ImageMagick and
the reference pictures that ship with libtiff's test images.

usage: mrvtool_render_test.py MRVTOOL FIXTURE_SCRIPT LIBTIFF_IMAGES
"""
import json
import os
import subprocess
import sys
import tempfile

from checks import check, finish
from pictures import read_bmp, read_rgba_tiff

mrvtool, fixture_script, images = sys.argv[1], sys.argv[2], sys.argv[3]


def read_netpbm(data):
    """PBM, PGM or PPM (binary), 8 or 16 bits; 16-bit samples keep their high byte."""
    fields, pos = [], 2
    magic = data[:2]
    needed = 3 if magic in (b"P5", b"P6") else 2
    while len(fields) < needed:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    pos += 1
    width, height = fields[0], fields[1]
    pixels = []
    if magic == b"P4":
        stride = (width + 7) // 8
        for y in range(height):
            for x in range(width):
                bit = data[pos + y * stride + x // 8] >> (7 - x % 8) & 1
                pixels.append((0, 0, 0) if bit else (255, 255, 255))
        return width, height, pixels
    channels = 3 if magic == b"P6" else 1
    wide = fields[2] > 255
    step = 2 if wide else 1
    for i in range(width * height):
        samples = [data[pos + (i * channels + c) * step] for c in range(channels)]
        pixels.append(tuple(samples) if channels == 3 else (samples[0],) * 3)
    return width, height, pixels


def render(path, out, *options):
    run = subprocess.run([mrvtool, "render", *options, "--out", out, path], capture_output=True, text=True)
    return run.returncode, run.stdout + run.stderr


def compare(name, ours, theirs, tolerance):
    if ours[:2] != theirs[:2]:
        check(name, False, f"size {ours[:2]} against {theirs[:2]}")
        return
    worst = max((abs(a - b) for p, q in zip(ours[2], theirs[2]) for a, b in zip(p, q)), default=0)
    check(name, worst <= tolerance, f"differs by {worst} (tolerance {tolerance})")


def oracle(case, work):
    kind, source = case["oracle"], case["file"]
    if kind == "tiff2rgba":
        target = os.path.join(work, "oracle.tif")
        subprocess.run(["tiff2rgba", "-c", "none", source, target], check=True, capture_output=True)
        return read_rgba_tiff(target)
    if kind == "imagemagick":
        ppm = subprocess.run(["convert", source, "-auto-orient", "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        return read_netpbm(ppm)
    return read_netpbm(open(source + ".ppm", "rb").read())


def turned_clockwise(picture):
    width, height, pixels = picture
    return height, width, [pixels[(height - 1 - x) * width + y] for y in range(width) for x in range(height)]


with tempfile.TemporaryDirectory() as work:
    fixtures = os.path.join(work, "fixtures")
    listing = subprocess.run([sys.executable, fixture_script, fixtures], check=True, capture_output=True, text=True)
    cases = [json.loads(line) for line in listing.stdout.splitlines()]
    check("fixture list", len(cases) > 40)
    bmp = os.path.join(work, "page.bmp")
    for case in cases:
        rc, text = render(case["file"], bmp)
        if rc != 0 or "Error:" in text:
            check(case["name"], False, text)
            continue
        compare(case["name"], read_bmp(bmp), oracle(case, work), case["tolerance"])

    # The viewer's own turns and negative on top of the file's orientation.
    plain = os.path.join(fixtures, "rgb-8.tif")
    render(plain, bmp)
    upright = read_bmp(bmp)
    rc, _ = render(plain, bmp, "--orient", "1")
    compare("viewer quarter turn", read_bmp(bmp), turned_clockwise(upright), 0)
    render(plain, bmp, "--orient", "2")
    compare("viewer half turn", read_bmp(bmp), turned_clockwise(turned_clockwise(upright)), 0)
    render(plain, bmp, "--orient", "3")
    compare("viewer counter-clockwise turn", read_bmp(bmp),
            turned_clockwise(turned_clockwise(turned_clockwise(upright))), 0)
    # Numbers outside 0-3 turn as the viewer turns: quarter turns modulo 4.
    for beyond, within in (("5", "1"), ("-1", "3"), ("6", "2"), ("4", "0")):
        rc, text = render(plain, bmp, "--orient", within)
        expected = read_bmp(bmp)
        rc, text = render(plain, bmp, "--orient", beyond)
        check(f"orientation {beyond} turns as {within}", rc == 0 and read_bmp(bmp) == expected, text)
    render(plain, bmp, "--negative")
    compare("negative", read_bmp(bmp), (upright[0], upright[1], [tuple(255 - c for c in p) for p in upright[2]]), 0)
    render(os.path.join(fixtures, "palette-4.tif"), bmp)
    palette = read_bmp(bmp)
    render(os.path.join(fixtures, "palette-4.tif"), bmp, "--negative")
    compare("negative palette", read_bmp(bmp), (palette[0], palette[1], [tuple(255 - c for c in p) for p in palette[2]]), 0)

    # Page parameters and settings reach the render as they reach the viewer.
    render(plain, bmp, "--param", "orient=right", "--param", "negative=yes")
    compare("orient and negative parameters", read_bmp(bmp),
            (upright[1], upright[0], [tuple(255 - c for c in p) for p in turned_clockwise(upright)[2]]), 0)
    render(plain, bmp, "--param", "orient=right", "--orient", "0")
    compare("the command's own orientation wins", read_bmp(bmp), upright, 0)
    rc, text = render(plain, bmp, "--setting", "memorylimit=1", "--param", "orient=sideways")
    check("bad parameter value is reported", 'Warning: Ignored parameter orient="sideways"' in text, text)
    rc, text = render(os.path.join(fixtures, "bilevel-g4.tif"), bmp, "--setting", "memorylimit=1")
    check("a page within the memory limit", rc == 0, text)
    rc, text = render(plain, bmp, "--param", "orient")
    check("malformed parameter refused", rc == 2, text)

    # Scaling to the display size: a 2 x 2 checkerboard halved with smoothing is
    # the even grey of its white share; without smoothing pixels are dropped.
    board = os.path.join(work, "board.tif")
    subprocess.run(["convert", "-size", "64x32", "pattern:gray50", "-monochrome", "-compress", "Group4", board],
                   check=True, capture_output=True)
    rc, text = render(board, bmp, "--size", "32x16", "--smooth")
    width, height, pixels = read_bmp(bmp)
    check("smoothed halving size", rc == 0 and (width, height) == (32, 16), text)
    check("smoothed halving is even grey", set(pixels) == {(127, 127, 127)} or set(pixels) == {(128, 128, 128)},
          str(set(pixels)))
    rc, text = render(board, bmp, "--size", "32x16")
    check("unsmoothed halving keeps black and white", rc == 0 and set(read_bmp(bmp)[2]) <= {(0, 0, 0), (255, 255, 255)})
    rc, text = render(board, bmp, "--size", "32x16", "--param", "smooth=yes")
    check("smooth parameter", rc == 0 and len(set(read_bmp(bmp)[2])) == 1 and read_bmp(bmp)[2][0] not in
          {(0, 0, 0), (255, 255, 255)})
    rc, text = render(board, bmp, "--size", "0x16")
    check("bad size refused", rc == 2, text)
    rc, text = render(plain, bmp, "--page", "2")
    check("missing page", rc == 1)
    rc, text = render(os.path.join(fixtures, "bilevel-g4.tif"), bmp)
    check("page facts", "size: 67 x 43" in text and "compression: CCITT Group 4" in text and
          "photometric: BW, min-is-white" in text and "resolution: 200 x 200 per inch" in text, text)

    # libtiff's own test images: they decode without errors, and match the
    # references that come with them and libtiff's RGBA reader.
    references = {"minisblack-1c-8b.tiff": "minisblack-1c-8b.pgm", "miniswhite-1c-1b.tiff": "miniswhite-1c-1b.pbm",
                  "rgb-3c-8b.tiff": "rgb-3c-8b.ppm", "rgb-3c-16b.tiff": "rgb-3c-16b.ppm"}
    unsupported = {"test_float64_predictor2_be_lzw.tif", "test_float64_predictor2_le_lzw.tif"}
    # LogLuv goes through libtiff's 8-bit SGILog path in both readers; 16-bit
    # samples are rounded by the RGBA reader and cut by the viewer.
    # The viewer converts YCbCr as full range and ignores ReferenceBlackWhite;
    # the zackthecat pictures declare studio range (16-235), which libtiff applies.
    tolerances = {"minisblack-1c-16b.tiff": 1, "rgb-3c-16b.tiff": 1, "logluv-3c-16b.tiff": 2,
                  "ojpeg_chewey_subsamp21_multi_strip.tiff": 3, "ojpeg_zackthecat_subsamp22_single_strip.tiff": 24,
                  "ojpeg_single_strip_no_rowsperstrip.tiff": 24}
    for name in sorted(os.listdir(images)):
        if not name.endswith((".tif", ".tiff")):
            continue
        path = os.path.join(images, name)
        rc, text = render(path, bmp)
        if name in unsupported:
            check(name + " refused", rc == 1 and "Error: Unsupported sample format (3)" in text, text)
            continue
        # Errors of libtiff's own directory parsing belong to the file, not the decode.
        decode_errors = [l for l in text.splitlines() if l.startswith("Error:") and "TIFFFetchNormalTag" not in l]
        check(name + " decodes", rc == 0 and not decode_errors, text)
        if rc != 0:
            continue
        size = read_bmp(bmp, 1 << 30)
        step = max(1, size[0] * size[1] // 300000)  # the large fax pages are sampled by rows
        ours = read_bmp(bmp, step)
        if name in references:
            compare(name + " reference", ours, read_netpbm(open(os.path.join(images, references[name]), "rb").read()),
                    tolerances.get(name, 0))
        target = os.path.join(work, "oracle.tif")
        if subprocess.run(["tiff2rgba", "-c", "none", path, target], capture_output=True).returncode == 0:
            compare(name + " tiff2rgba", ours, read_rgba_tiff(target, step), tolerances.get(name, 0))

finish()
