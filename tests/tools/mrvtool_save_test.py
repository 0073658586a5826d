#!/usr/bin/env python3
"""mrvtool save against libtiff's own tools: unmarked documents come out byte
for byte, marked ones as tiffinfo and tiff2rgba say the encoding table and the
merged picture require.

usage: mrvtool_save_test.py MRVTOOL DECODER_FIXTURE_SCRIPT
"""
import hashlib
import json
import os
import resource
import signal
import struct
import subprocess
import sys
import tempfile

from checks import check, finish
from pictures import page_picture, viewer_picture as viewer_picture_of

mrvtool, fixture_script = sys.argv[1], sys.argv[2]


def save(out, path, *options, limit=None):
    def limited():
        # Writes beyond the limit fail with an error instead of a signal.
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    run = subprocess.run([mrvtool, "save", *options, out, path], capture_output=True, text=True,
                         preexec_fn=limited if limit else None)
    return run.returncode, run.stdout + run.stderr


def digest(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()


def directories(path):
    """tiffinfo's fields of every directory, as dictionaries."""
    text = subprocess.run(["tiffinfo", path], capture_output=True, text=True).stdout
    pages = []
    for line in text.splitlines():
        if line.startswith("TIFF Directory"):
            pages.append({})
        elif ":" in line and pages:
            key, value = line.strip().split(":", 1)
            pages[-1][key] = value.strip()
    return pages


def viewer_picture(path, page, work):
    return viewer_picture_of(mrvtool, path, page, work)


def whited(picture, x, y, w, h):
    width, height, pixels = picture
    pixels = list(pixels)
    for row in range(y, min(y + h, height)):
        for col in range(x, min(x + w, width)):
            pixels[row * width + col] = (255, 255, 255)
    return width, height, pixels


def set_compression(path, directory, value):
    """Rewrites the Compression entry of one directory of a little-endian TIFF."""
    data = bytearray(open(path, "rb").read())
    ifd, = struct.unpack_from("<I", data, 4)
    for _ in range(directory):
        count, = struct.unpack_from("<H", data, ifd)
        ifd, = struct.unpack_from("<I", data, ifd + 2 + 12 * count)
    count, = struct.unpack_from("<H", data, ifd)
    for i in range(count):
        if struct.unpack_from("<H", data, ifd + 2 + 12 * i)[0] == 259:
            struct.pack_into("<H", data, ifd + 2 + 12 * i + 8, value)
    open(path, "wb").write(bytes(data))


def magick(*arguments):
    subprocess.run(["convert", *arguments], check=True, capture_output=True)


# (tiffinfo fields) each page of the mixed document must get after a white-out.
EXPECTED = [
    ("bilevel", {"Bits/Sample": "1", "Samples/Pixel": "1", "Compression Scheme": "CCITT Group 4",
                 "Photometric Interpretation": "min-is-white", "Rows/Strip": "128"}),
    ("grey", {"Bits/Sample": "8", "Samples/Pixel": "1", "Compression Scheme": "LZW",
              "Photometric Interpretation": "min-is-black", "Rows/Strip": "64"}),
    ("grey palette", {"Bits/Sample": "8", "Samples/Pixel": "1", "Compression Scheme": "LZW",
                      "Photometric Interpretation": "min-is-black"}),
    ("colour", {"Bits/Sample": "8", "Samples/Pixel": "3", "Compression Scheme": "LZW",
                "Photometric Interpretation": "RGB color", "Rows/Strip": "64", "Planar Configuration":
                "single image plane"}),
]

with tempfile.TemporaryDirectory() as work:
    # Every kind of file the decoder tests use is copied unchanged while nothing is marked.
    fixtures = os.path.join(work, "fixtures")
    listing = subprocess.run([sys.executable, fixture_script, fixtures], check=True, capture_output=True, text=True)
    cases = [json.loads(line) for line in listing.stdout.splitlines()]
    check("fixture list", len(cases) > 40)
    copy = os.path.join(work, "copy.tif")
    for case in cases:
        code, output = save(copy, case["file"])
        check(f"unmarked {case['name']}", code == 0 and digest(copy) == digest(case["file"]), output)

    # A mixed document: bilevel Group 4 at 200 dpi, grey LZW, a grey palette, colour.
    parts = [os.path.join(work, f"part{i}.tif") for i in range(4)]
    magick("-size", "160x90", "xc:white", "-fill", "black", "-draw", "rectangle 20,10 140,80", "-draw",
           "circle 40,40 50,50", "-monochrome", "-units", "PixelsPerInch", "-density", "200", "-compress",
           "Group4", parts[0])
    magick("-size", "90x70", "gradient:black-white", "-colorspace", "Gray", "-depth", "8", "-compress", "LZW",
           parts[1])
    magick("-size", "70x50", "gradient:black-white", "-colorspace", "Gray", "-depth", "8", "-type", "Palette",
           parts[2])
    magick("-size", "81x47", "gradient:red-blue", "-depth", "8", "-compress", "JPEG", parts[3])
    mixed = os.path.join(work, "mixed.tif")
    subprocess.run(["tiffcp", *parts, mixed], check=True, capture_output=True)
    subprocess.run(["tiffset", "-d", "2", "-s", "254", "2", mixed], check=True, capture_output=True)
    code, output = save(copy, mixed)
    check("unmarked mixed document", code == 0 and digest(copy) == digest(mixed), output)

    marked = os.path.join(work, "marked.tif")
    code, output = save(marked, mixed, "--whiteout", "2:10,5,30,20")
    check("white-out save", code == 0, output)
    pages = directories(marked)
    check("every page written", len(pages) == 4, f"{len(pages)} directories")
    for index, (name, fields) in enumerate(EXPECTED[:len(pages)]):
        for key, value in fields.items():
            check(f"{name} page {key}", pages[index].get(key) == value, f"{pages[index].get(key)!r}")
        want = viewer_picture(mixed, index + 1, work)
        if index == 1:
            want = whited(want, 10, 5, 30, 20)
        got = page_picture(marked, index, work)
        check(f"{name} page pixels", got == want, f"{got[:2]} against {want[:2]}")
    check("resolution carried", pages[0].get("Resolution") == "200, 200 pixels/inch", pages[0].get("Resolution"))
    check("subfile type carried", pages[2].get("Subfile Type", "").startswith("multi-page"),
          pages[2].get("Subfile Type"))

    # A red stroke makes its bilevel page RGB; black strokes keep it bilevel.
    code, output = save(marked, mixed, "--stroke", "1:#ff0000:5,3,60,3", "--stroke", "2:#000000:1,1,50,1")
    pages = directories(marked)
    check("red stroke save", code == 0, output)
    check("red stroke on bilevel page is RGB", pages[0].get("Photometric Interpretation") == "RGB color")
    got = page_picture(marked, 0, work)
    check("red stroke pixels", all(got[2][3 * got[0] + x] == (255, 0, 0) for x in range(5, 61))
          and got[2][3 * got[0] + 61] != (255, 0, 0))
    code, output = save(marked, parts[0], "--stroke", "1:#000000:5,3,60,3")
    check("black stroke keeps a bilevel page", directories(marked)[0].get("Compression Scheme") == "CCITT Group 4")

    # A page that does not decode is left out without a message; the others stay.
    damaged = os.path.join(work, "damaged.tif")
    subprocess.run(["tiffcp", parts[0], parts[1], parts[3], damaged], check=True, capture_output=True)
    set_compression(damaged, 1, 12345)
    code, output = save(marked, damaged, "--whiteout", "1:0,0,5,5")
    pages = directories(marked)
    check("damaged page left out", code == 0 and len(pages) == 2, f"{code} {len(pages)} {output}")
    check("pages after the damaged one kept", page_picture(marked, 1, work) == viewer_picture(damaged, 3, work))

    # Bad input: the target cannot be written, or fails half-way; bad options.
    missing = os.path.join(work, "no-such-folder", "out.tif")
    for options in ([], ["--whiteout", "1:0,0,5,5"]):
        code, output = save(missing, mixed, *options)
        check(f"unwritable folder {options}", code == 1 and "Failed to write file (" in output
              and missing in output and not os.path.exists(missing), output)
    many = os.path.join(work, "many.tif")
    subprocess.run(["tiffcp", *[parts[0]] * 2000, many], check=True, capture_output=True)
    cut = os.path.join(work, "cut.tif")
    code, output = save(cut, many, "--whiteout", "1000:0,0,40,40", limit=64 * 1024)
    check("failed write leaves no file", code == 1 and not os.path.exists(cut), output)
    code, output = save(cut, many, "--whiteout", "1000:0,0,40,40")
    pages = directories(cut)
    check("2,000 pages with one white-out", code == 0 and len(pages) == 2000, f"{len(pages)} {output}")
    got = page_picture(cut, 999, work)
    check("the white-out lands on page 1000", got == whited(viewer_picture(many, 1000, work), 0, 0, 40, 40))
    check("other pages untouched", page_picture(cut, 998, work) == viewer_picture(many, 999, work))
    for options in (["--whiteout", "0:1,1,1,1"], ["--whiteout", "1:1,1,0,1"], ["--stroke", "1:red:1,1"],
                    ["--stroke", "1:#ff0000:1"]):
        code, output = save(copy, mixed, *options)
        check(f"bad usage {options}", code == 2, output)
    code, output = save(copy, mixed, "--whiteout", "9:1,1,1,1")
    check("white-out on a missing page", code == 1 and "no page 9" in output, output)

finish()
