#!/usr/bin/env python3
"""Writes the documents the plug-in scenarios open, and the pictures that
mrvtool renders from them for the same page, size and settings, into a folder.

pages.tif holds three Group 4 pages of different shapes (tiffcp compresses
them); tiny.tif and wide.tif a page of one pixel and one 60000 pixels wide;
unshowable.tif holds the first of them and a second page too large to
decode, which the viewer lists but cannot show; each reference is the display bitmap the viewer should paint for one
scenario case, as `mrvtool render` computes it.

usage: make_e2e_fixtures.py OUTPUT_FOLDER [--drive Z:] MRVTOOL_COMMAND...
(--drive: mrvtool is a Windows program that sees this machine's files on that drive)
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data"))
from make_decoder_fixtures import pack_row, write_tiff  # noqa: E402

MIN_IS_WHITE = 0


def first_page(x, y):
    # A solid block at the top left (where a white-out shows), ruled lines,
    # and a fine checkerboard below that smoothing turns grey.
    if x < 300 and y < 300:
        return 1
    if y % 40 < 2 or x % 150 < 3:
        return 1
    return 1 if y > 700 and (x // 3 + y // 3) % 2 == 0 else 0


def second_page(x, y):
    border = x < 4 or y < 4 or x >= 496 or y >= 296
    return 1 if border or (x // 5) % 3 == 0 and 50 < y < 250 else 0


def third_page(x, y):
    ring = ((x - 600) ** 2 + (y - 450) ** 2) // 2500
    return 1 if ring % 3 == 0 or y % 90 < 4 else 0


PAGES = [(900, 1200, first_page), (500, 300, second_page), (1200, 900, third_page)]

# name: the render options of one case (page, orientation, settings, size).
REFERENCES = {
    "best": ["--page", "1", "--smooth", "--size", "300x400"],
    "best_plain": ["--page", "1", "--size", "300x400"],
    "height_third": ["--page", "3", "--smooth", "--size", "533x400"],
    "turned_negative": ["--page", "1", "--param", "orient=right", "--param", "negative=yes", "--param",
                        "smooth=no", "--size", "533x400"],
    "second_actual": ["--page", "2"],
    "first_actual": ["--page", "1"],
    # Best fit in the 600 x 374 image window below a 26-pixel toolbar (280.5 wide, rounded).
    "toolbar_best": ["--page", "1", "--smooth", "--size", "281x374"],
    "first_double": ["--page", "1", "--size", "1800x2400"],
}

# name: (reference, width, height, left, top): the part of a reference that a
# window showing only a region of the page should equal.
REGIONS = {
    "magnified_opened": ("first_actual", 900, 1024, 0, 10),
    "magnified_top": ("first_actual", 900, 1024, 0, 0),
    "magnified_bottom": ("first_actual", 900, 1024, 0, 176),
    "magnified_double": ("first_double", 1280, 1024, 260, 1376),
}


def append_oversized_page(path):
    """Links one more directory to the end of a little-endian classic TIFF: an
    8-bit grey page of 60000 x 60000 pixels whose single strip holds one byte.
    Its directory reads, but no viewer has the memory to decode it."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"II*\0":
        sys.exit("%s: expected a little-endian classic TIFF" % path)
    link = 4
    while True:
        ifd = struct.unpack_from("<I", data, link)[0]
        if ifd == 0:
            break
        count = struct.unpack_from("<H", data, ifd)[0]
        link = ifd + 2 + 12 * count
    entries = [(256, 4, 60000), (257, 4, 60000), (258, 3, 8), (259, 3, 1), (262, 3, 1),
               (273, 4, 8), (277, 3, 1), (278, 4, 60000), (279, 4, 1)]
    if len(data) % 2:
        data.append(0)
    struct.pack_into("<I", data, link, len(data))
    data += struct.pack("<H", len(entries))
    for tag, kind, value in entries:
        inline = struct.pack("<I", value) if kind == 4 else struct.pack("<HH", value, 0)
        data += struct.pack("<HHI", tag, kind, 1) + inline
    data += struct.pack("<I", 0)
    with open(path, "wb") as f:
        f.write(data)


def write_pages(folder):
    plain = []
    for number, (width, height, shade) in enumerate(PAGES, 1):
        rows = [pack_row([shade(x, y) for x in range(width)], 1) for y in range(height)]
        path = os.path.join(folder, "page%d.tif" % number)
        write_tiff(path, width, height, 1, 1, MIN_IS_WHITE, rows)
        plain.append(path)
    subprocess.run(["tiffcp", "-c", "g4"] + plain + [os.path.join(folder, "pages.tif")], check=True)
    unshowable = os.path.join(folder, "unshowable.tif")
    subprocess.run(["tiffcp", "-c", "g4", plain[0], unshowable], check=True)
    append_oversized_page(unshowable)
    for path in plain:
        os.remove(path)
    # The extremes of page shape: one pixel, and a strip 60000 pixels wide.
    for name, width, height in (("tiny", 1, 1), ("wide", 60000, 8)):
        plain = os.path.join(folder, name + "_plain.tif")
        rows = [pack_row([(x // 7 + y) % 2 for x in range(width)], 1) for y in range(height)]
        write_tiff(plain, width, height, 1, 1, MIN_IS_WHITE, rows)
        subprocess.run(["tiffcp", "-c", "g4", plain, os.path.join(folder, name + ".tif")], check=True)
        os.remove(plain)


def write_subifd_document(path):
    """Two 8 x 8 bilevel pages; the first names a third directory as its SubIFD."""
    pixels = bytes([0xAA, 0x55] * 4)
    entries_per_ifd = (10, 9, 9)
    ifd_sizes = [2 + 12 * n + 4 for n in entries_per_ifd]
    ifd_at = [8]
    for size in ifd_sizes[:-1]:
        ifd_at.append(ifd_at[-1] + size)
    pixels_at = ifd_at[-1] + ifd_sizes[-1]
    nexts = (ifd_at[1], 0, 0)  # main chain: first, second; the SubIFD ends its own chain
    data = b"II" + struct.pack("<HI", 42, ifd_at[0])
    for index, count in enumerate(entries_per_ifd):
        entries = [(256, 3, 1, 8), (257, 3, 1, 8), (258, 3, 1, 1), (259, 3, 1, 1), (262, 3, 1, 0),
                   (273, 4, 1, pixels_at + 8 * index), (277, 3, 1, 1), (278, 3, 1, 8), (279, 4, 1, 8)]
        if index == 0:
            entries.append((330, 13, 1, ifd_at[2]))
        data += struct.pack("<H", count)
        for tag, kind, number, value in entries:
            field = struct.pack("<H", value) + b"\0\0" if kind == 3 else struct.pack("<I", value)
            data += struct.pack("<HHI", tag, kind, number) + field
        data += struct.pack("<I", nexts[index])
    data += pixels * 3
    with open(path, "wb") as f:
        f.write(data)


def write_damaged_documents(folder):
    """subifd.tif with its second directory pointing back to the first, and cut short."""
    with open(os.path.join(folder, "subifd.tif"), "rb") as f:
        data = bytearray(f.read())
    count = struct.unpack_from("<H", data, 134)[0]
    struct.pack_into("<I", data, 134 + 2 + 12 * count, 8)
    with open(os.path.join(folder, "loop.tif"), "wb") as f:
        f.write(data)
    with open(os.path.join(folder, "cut.tif"), "wb") as f:
        f.write(data[:100])


def write_dumps(folder, drive, mrvtool):
    """The structure dumps the viewer's dialog must show, as mrvtool writes them."""
    for name, source, options in (("dump_page1.txt", "subifd.tif", ["--page", "1"]),
                                  ("dump_all.txt", "subifd.tif", []),
                                  ("dump_loop.txt", "loop.tif", []), ("dump_cut.txt", "cut.tif", [])):
        done = subprocess.run(mrvtool + ["dump", "--text"] + options + [drive + os.path.join(folder, source)],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        # A damaged file's dump ends in failure, but its text is what the viewer shows.
        if done.returncode != 0 and source == "subifd.tif":
            sys.exit("mrvtool dump failed:\n%s" % done.stderr.decode(errors="replace"))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(done.stdout.replace(b"\r\n", b"\n"))


def cut_regions(folder):
    for name, (source, width, height, left, top) in REGIONS.items():
        subprocess.run(["convert", os.path.join(folder, "ref_%s.bmp" % source), "-crop",
                        "%dx%d+%d+%d" % (width, height, left, top), "+repage", "-type", "TrueColor",
                        "BMP3:" + os.path.join(folder, "ref_%s.bmp" % name)], check=True)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, mrvtool = os.path.abspath(sys.argv[1]), sys.argv[2:]
    drive = ""
    if mrvtool[0] == "--drive":
        drive, mrvtool = mrvtool[1], mrvtool[2:]
    os.makedirs(folder, exist_ok=True)
    # What the save and mail scenarios wrote last time: the dialogs would ask to
    # replace it, and a stale record would pass for a new one.
    for name in os.listdir(folder):
        if name.startswith(("saved_", "mapi")):
            os.remove(os.path.join(folder, name))
    write_pages(folder)
    document = drive + os.path.join(folder, "pages.tif")
    for name, options in REFERENCES.items():
        out = os.path.join(folder, "ref_%s.bmp" % name)
        done = subprocess.run(mrvtool + ["render"] + options + ["--out", drive + out, document],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0 or not os.path.exists(out):
            sys.exit("mrvtool render %s failed:\n%s" % (" ".join(options), done.stdout))
    cut_regions(folder)
    write_subifd_document(os.path.join(folder, "subifd.tif"))
    write_damaged_documents(folder)
    write_dumps(folder, drive, mrvtool)
    write_report_head(folder)
    print("wrote pages.tif, unshowable.tif, tiny.tif, wide.tif and %d references to %s"
          % (len(REFERENCES) + len(REGIONS), folder))


def write_report_head(folder):
    # The information report's lines that do not depend on the machine, for
    # pages.tif streamed by nphost from this folder; the operating system's
    # line is the first that does.
    document = os.path.join(folder, "pages.tif")
    lines = [
        "------ Mervane TIFF Image Viewer ------",
        "Version 2.0.8 (64-bit Netscape-style plug-in) \u2013 May 22 2015",
        "Copyright \u00a9 2015 KOB. All rights reserved.",
        "https://mervane.example/",
        "",
        "------ Current TIFF File ------",
        "URL:\t" + document,
        "Local file:\t(in memory)",
        "Size:\t%d bytes" % os.path.getsize(document),
        "Number of pages:\t3",
        "",
        "------ Current Page ------",
        "Page number:\t1 of 3",
        "Dimensions:\t900 \u00d7 1200 pixels",
        "Pixel density:\t200.0 \u00d7 200.0 pixels/inch",
        "Image size:\t4.50 \u00d7 6.00 inches",
        "Color type:\tBW, min-is-white",
        "Bits/pixel:\t1",
        "Compression:\tCCITT Group 4",
        "",
        "------ Environment ------",
        "Last update check:\tNever",
        "Web browser:\tMozilla/5.0 (Windows NT 10.0; Win64; x64) nphost/1.0",
        "Plug-in API version:\t0.27",
    ]
    with open(os.path.join(folder, "report_head.txt"), "w", encoding="utf-8", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
