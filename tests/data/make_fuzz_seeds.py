#!/usr/bin/env python3
"""Writes a seed corpus for each libFuzzer target into OUTPUT_FOLDER/<target>.

A short fuzz run only reaches faults that lie a few mutations away from its
seeds, so the seeds start where such faults live: classic and BigTIFF headers,
directories and entries whose offsets and counts sit at the limits of 16, 32
and 64 bits, pages in every compression and every photometric interpretation,
and, for the targets that take no TIFF, parameters and bitmaps at their edges.
The committed reproducers (REPRODUCER_FOLDER) and libtiff's own test images
(TIFF_IMAGES, optional) join every TIFF target's seeds.

usage: make_fuzz_seeds.py OUTPUT_FOLDER REPRODUCER_FOLDER [TIFF_IMAGES]
"""
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_decoder_fixtures as pictures  # noqa: E402

# Seeds longer than this are cut by the fuzz runs' -max_len.
MAX_SEED = 65536
# Small pictures: the fuzzer spends its time on structure, not on pixels.
pictures.WIDTH, pictures.HEIGHT = 24, 13

TIFF_TARGETS = ("fuzz_tag_dumper", "fuzz_page_directory", "fuzz_page_loader", "fuzz_page_analysis")

U16 = [0, 1, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF]
U32 = [0, 1, 7, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFC, 0xFFFFFFFE, 0xFFFFFFFF]
U64 = [0, 1, 0xFFFFFFFF, 0x100000000, 0x7FFFFFFFFFFFFFFF, 0x8000000000000000, 0xFFFFFFFFFFFFFFF0,
       0xFFFFFFFFFFFFFFF8, 0xFFFFFFFFFFFFFFFC, 0xFFFFFFFFFFFFFFFF]



def tiff(ifds, big=False, order="<", magic=None, first=None):
    """Builds a file from directories of entries (tag, type, values) or raw
    entries (tag, type, count, field) whose value field is written as given;
    a directory is a dict with "entries" and optional "next" (a raw offset or
    the index of another directory as ("ifd", i))."""
    count_fmt, count_size, entry_size, field_size = ("Q", 8, 20, 8) if big else ("H", 2, 12, 4)
    header_size = 16 if big else 8
    offsets, position = [], header_size
    for ifd in ifds:
        offsets.append(position)
        position += count_size + entry_size * len(ifd["entries"]) + field_size
    data = bytearray()
    body = bytearray()

    def pack(fmt, *values):
        return struct.pack(order + fmt, *values)

    def item(typ, value):
        fmt = {1: "B", 2: "B", 3: "H", 4: "I", 6: "b", 7: "B", 8: "h", 9: "i", 11: "I", 13: "I", 16: "Q", 17: "q",
               18: "Q", 12: "Q"}[typ]
        return pack(fmt, value)

    for ifd in ifds:
        body += pack(count_fmt, len(ifd["entries"]))
        for entry in ifd["entries"]:
            if len(entry) == 4:
                tag, typ, count, field = entry
                body += pack("HH", tag, typ) + pack("Q" if big else "I", count) + pack("Q" if big else "I", field)
                continue
            tag, typ, values = entry
            if typ in (5, 10):
                payload = b"".join(pack("I", v & 0xFFFFFFFF) for v in values)
                count = len(values) // 2
            elif typ == 2:
                payload, count = bytes(values), len(values)
            else:
                payload, count = b"".join(item(typ, v) for v in values), len(values)
            body += pack("HH", tag, typ) + pack("Q" if big else "I", count)
            if len(payload) <= field_size:
                body += payload.ljust(field_size, b"\0")
            else:
                at = position + len(data)
                data += payload + (b"\0" if len(payload) & 1 else b"")
                body += pack("Q" if big else "I", at)
        following = ifd.get("next", 0)
        if isinstance(following, tuple):
            following = offsets[following[1]]
        body += pack("Q" if big else "I", following)
    if first is None:
        first = offsets[0] if offsets else 0
    head = (magic or (b"II" if order == "<" else b"MM"))
    head += pack("HHHQ", 43, 8, 0, first) if big else pack("HI", 42, first)
    return bytes(head + body + data)


def page_entries(width=8, height=4, bits=1, compression=1, photometric=0, strip=None, count=None):
    strip_bytes = count if count is not None else (width * bits + 7) // 8 * height
    return [(256, 4, [width]), (257, 4, [height]), (258, 3, [bits]), (259, 3, [compression]),
            (262, 3, [photometric]), (273, 4, [strip if strip is not None else 8]), (277, 3, [1]),
            (278, 4, [height]), (279, 4, [strip_bytes])]


def structure_seeds():
    """Headers, directories and entries at the limits, classic and BigTIFF, in both byte orders."""
    seeds = {}
    for order, tag in (("<", "le"), (">", "be")):
        for big in (False, True):
            kind = "big" if big else "classic"
            limits = U64 if big else U32
            plain = {"entries": page_entries()}
            for value in limits:
                seeds["%s-%s-first-%x" % (kind, tag, value)] = tiff([plain], big, order, first=value)
                seeds["%s-%s-next-%x" % (kind, tag, value)] = tiff([dict(plain, next=value)], big, order)
            # Entry counts beyond the file, and a directory whose count wraps.
            for value in (U64 if big else U16):
                body = tiff([plain], big, order)
                at = 16 if big else 8
                width = 8 if big else 2
                packed = struct.pack(order + ("Q" if big else "H"), value)
                seeds["%s-%s-entries-%x" % (kind, tag, value)] = body[:at] + packed + body[at + width:]
            # Entries whose count or data offset sits at a limit, for each kind of data.
            for entry_tag, typ in ((270, 2), (273, 4), (279, 4), (320, 3), (282, 5), (330, 4), (330, 13),
                                   (330, 16 if big else 4), (34665, 4), (34853, 13), (40965, 4), (297, 3),
                                   (339, 11), (50716, 12), (400, 18 if big else 4)):
                for count in (2, 0xFFFFFFFF) + ((0xFFFFFFFFFFFFFFFF,) if big else ()):
                    for field in (limits[4], limits[-2], limits[-1]):
                        ifd = {"entries": page_entries()[:3] + [(entry_tag, typ, count, field)]}
                        seeds["%s-%s-entry-%d-%d-%x-%x" % (kind, tag, entry_tag, typ, count, field)] = \
                            tiff([ifd], big, order)
            # Child directories (SubIFDs, Exif, GPS) at the limits and in loops.
            child_type = 16 if big else 4
            for value in limits:
                ifd = {"entries": page_entries() + [(330, child_type, [value, 8]), (34665, 4, [value & 0xFFFFFFFF])]}
                seeds["%s-%s-children-%x" % (kind, tag, value)] = tiff([ifd], big, order)
            loop = [{"entries": page_entries(), "next": ("ifd", 1)}, {"entries": page_entries(), "next": ("ifd", 0)}]
            seeds["%s-%s-loop" % (kind, tag)] = tiff(loop, big, order)
            # Pages whose sizes, strips and samples are at the limits.
            for name, entries in (
                    ("width", page_entries(width=0xFFFFFFFF)), ("height", page_entries(height=0xFFFFFFFF)),
                    ("huge", page_entries(width=0x10000, height=0x10000)), ("bits-0", page_entries(bits=0)),
                    ("bits-64", page_entries(bits=64)), ("bits-33", page_entries(bits=33)),
                    ("strip-end", page_entries(strip=0xFFFFFFFF)), ("strip-count", page_entries(count=0xFFFFFFFF)),
                    ("strip-wrap", page_entries(strip=0xFFFFFFF0, count=0x20)),
                    ("rows-0", page_entries()[:7] + [(278, 4, [0]), (279, 4, [4])]),
                    ("samples", page_entries()[:6] + [(277, 3, [0xFFFF])] + page_entries()[7:]),
                    ("tiles", page_entries()[:5] + [(322, 4, [0xFFFFFFF0]), (323, 4, [16]), (324, 4, [8]),
                                                    (325, 4, [0xFFFFFFFF])])):
                seeds["%s-%s-page-%s" % (kind, tag, name)] = tiff([{"entries": entries}], big, order)
        seeds["bigtiff-%s-bytesize" % tag] = tiff([{"entries": page_entries()}], True, order)[:4] + \
            struct.pack(order + "HH", 4, 0) + tiff([{"entries": page_entries()}], True, order)[8:]
    seeds["mdi"] = tiff([{"entries": page_entries()}], magic=b"EP")
    return seeds


def retagged(path, changes):
    """The little-endian classic file at `path` with inline SHORT values replaced."""
    data = bytearray(open(path, "rb").read())
    first = struct.unpack_from("<I", data, 4)[0]
    count = struct.unpack_from("<H", data, first)[0]
    for k in range(count):
        at = first + 2 + 12 * k
        tag = struct.unpack_from("<H", data, at)[0]
        if tag in changes:
            struct.pack_into("<HHI", data, at + 2, 3, 1, changes[tag])
    return bytes(data)


def picture_seeds(work):
    """Pages in every compression and photometric interpretation: tiffcp encodes
    what it can write; the other codecs get a valid directory over raw data."""
    seeds = {}

    def path(name):
        return os.path.join(work, name + ".tif")

    def tiffcp(source, name, *options):
        result = subprocess.run(["tiffcp", *options, path(source), path(name)], capture_output=True)
        if result.returncode == 0 and os.path.exists(path(name)):
            seeds[name] = open(path(name), "rb").read()

    w, h = pictures.WIDTH, pictures.HEIGHT
    pictures.write_tiff(path("bilevel-white"), w, h, 1, 1, 0, pictures.grey_rows(1))
    pictures.write_tiff(path("bilevel-black"), w, h, 1, 1, 1, pictures.grey_rows(1))
    pictures.write_tiff(path("mask"), w, h, 1, 1, 4, pictures.grey_rows(1))
    for bits in (2, 4, 8, 16):
        pictures.write_tiff(path("grey-%d" % bits), w, h, bits, 1, 1,
                            pictures.grey_rows(bits, 256 if bits == 16 else None))
    for bits in (1, 2, 4, 8):
        pictures.write_tiff(path("palette-%d" % bits), w, h, bits, 1, 3, pictures.grey_rows(bits),
                            pictures.colormap_tag(bits))
    pictures.write_tiff(path("rgb-8"), w, h, 8, 3, 2, pictures.rgb_rows())
    pictures.write_tiff(path("rgb-16"), w, h, 16, 3, 2, pictures.rgb_rows(16))
    pictures.write_tiff(path("cmyk-8"), w, h, 8, 4, 5, pictures.cmyk_rows())
    pictures.write_tiff(path("lab-8"), w, h, 8, 3, 8, pictures.lab_rows())
    pictures.ycbcr_file(path("ycbcr-2x2"), w, h, 2, 2)
    pictures.ycbcr_file(path("ycbcr-4x2-tile"), 13, 7, 4, 2, tile=(16, 16))
    # A palette page with an unassociated alpha sample, as office suites write it.
    rows = [bytes(b for x in range(w) for b in ((x + y) % 256, 255)) for y in range(h)]
    pictures.write_tiff(path("palette-alpha"), w, h, 8, 2, 3, rows, pictures.colormap_tag(8),
                        extra=[(338, 3, 1, struct.pack("<H", 2))])
    for name in ("bilevel-white", "bilevel-black", "mask", "grey-2", "grey-4", "grey-8", "grey-16", "palette-1",
                 "palette-2", "palette-4", "palette-8", "rgb-8", "rgb-16", "cmyk-8", "lab-8", "ycbcr-2x2",
                 "ycbcr-4x2-tile", "palette-alpha"):
        seeds[name] = open(path(name), "rb").read()

    # Every compression tiffcp writes.
    for name, options in (("g3-1d", ["-c", "g3:1d"]), ("g3-2d-fill", ["-c", "g3:2d:fill"]), ("g4", ["-c", "g4"]),
                          ("g4-lsb", ["-c", "g4", "-f", "lsb2msb"]), ("packbits", ["-c", "packbits"]),
                          ("lzw", ["-c", "lzw"]), ("deflate", ["-c", "zip"]), ("jbig", ["-c", "jbig"]),
                          ("tiled", ["-t", "-w", "16", "-l", "16"])):
        tiffcp("bilevel-white", "bilevel-" + name, *options)
    for source, name, options in (
            ("grey-8", "grey-8-lzw-predictor", ["-c", "lzw:2", "-r", "3"]),
            ("grey-8", "grey-8-jpeg", ["-c", "jpeg"]), ("grey-8", "grey-8-lzma", ["-c", "lzma"]),
            ("grey-8", "grey-8-zstd", ["-c", "zstd"]), ("grey-8", "grey-8-lerc", ["-c", "lerc"]),
            ("grey-16", "grey-16-deflate-predictor", ["-c", "zip:2"]),
            ("palette-8", "palette-8-lzw-tiled", ["-c", "lzw", "-t", "-w", "16", "-l", "16"]),
            ("palette-alpha", "palette-alpha-lzw", ["-c", "lzw"]),
            ("rgb-8", "rgb-8-jpeg-ycbcr", ["-c", "jpeg", "-r", "8"]), ("rgb-8", "rgb-8-jpeg-rgb", ["-c", "jpeg:r"]),
            ("rgb-8", "rgb-8-jpeg-tiled", ["-c", "jpeg", "-t", "-w", "16", "-l", "16"]),
            ("rgb-8", "rgb-8-webp", ["-c", "webp"]), ("rgb-8", "rgb-8-planar-deflate", ["-p", "separate", "-c", "zip"]),
            ("cmyk-8", "cmyk-8-planar-packbits", ["-p", "separate", "-c", "packbits"])):
        tiffcp(source, name, *options)
    # Codecs no tool here writes: a valid page whose strip the codec must refuse or decode.
    for compression in (2, 6, 32766, 32771, 32809, 32909, 34676, 34677, 34712, 34892, 50000, 65535):
        seeds["grey-8-compression-%d" % compression] = retagged(path("grey-8"), {259: compression})
    seeds["bilevel-compression-2"] = retagged(path("bilevel-white"), {259: 2})
    seeds["bilevel-compression-32771"] = retagged(path("bilevel-white"), {259: 32771})
    # Every photometric interpretation, on pages of the layouts it is written with.
    for photometric, source in ((4, "bilevel-black"), (5, "rgb-8"), (6, "rgb-8"), (8, "rgb-8"), (9, "rgb-8"),
                                (10, "rgb-8"), (32803, "grey-8"), (32844, "grey-16"), (32845, "rgb-16"),
                                (34892, "grey-8"), (65535, "grey-8")):
        seeds["photometric-%d-%s" % (photometric, source)] = retagged(path(source), {262: photometric})
    for photometric, source in ((32844, "grey-16"), (32845, "rgb-16")):
        seeds["photometric-%d-sgilog" % photometric] = retagged(path(source), {262: photometric, 259: 34676})
    # Several pages, and multi-page files with every page in another layout.
    pages = [path(name) for name in ("bilevel-white", "grey-8", "palette-4", "rgb-8")]
    subprocess.run(["tiffcp", *pages, path("four-pages")], capture_output=True, check=False)
    if os.path.exists(path("four-pages")):
        seeds["four-pages"] = open(path("four-pages"), "rb").read()
        tiffcp("four-pages", "four-pages-bigtiff", "-8")
        tiffcp("four-pages", "four-pages-be", "-B")
    return seeds


def parameter_seeds():
    """Page parameters and registry texts at the edges of their ranges, a line each."""
    names = ("access allowselect autoprint bgcolor cropselect enableevents enablesketchbuttons height href "
             "kobprinthack mousemode negative orient page smooth target toolbar toolbaritems uploadfilename "
             "uploadparamname uploadurl width zoom").split()
    settings = ("access allowautoprint allowscript autoupdate bgcolor fixratio ignorespecialimages lctrl "
                "localaccess memorylimit miscflags mousemode mousewheeldir negative orientation pansens pencolor "
                "printautorotate printcenter printfull printstretched resample scalepct sendmethod sizemode "
                "supportmultcopies tbbuttonsize toolbar toolbaritems tooltips zoomloc zoommon zoomrect zoomsize "
                "zscalepct").split()
    values = ("0", "1", "-1", "2147483647", "-2147483648", "4294967296", "0x7fffffff", "#ff00ff", "yes", "none",
              "fit", " 3", "9" * 40, "a\r\nb\"c", "%00", "\u00e9\u20ac")
    seeds = {}
    for k, value in enumerate(values):
        lines = ["%s=%s" % (name, value) for name in names]
        seeds["parameters-%d" % k] = "\n".join(lines).encode("utf-8")
        lines = ["!%s=%s" % (name, value) for name in settings]
        seeds["settings-%d" % k] = "\n".join(lines).encode("utf-8")
    seeds["empty-names"] = b"=\n=1\n!=\n"
    return seeds


def scale_seeds():
    """Bitmaps of each depth and flag, scaled to sizes at the ends of the range
    (the target's raw values 0 and 319 give -2 and 317)."""
    seeds = {}
    pixels = bytes((i * 37 + (i >> 5)) & 0xFF for i in range(512))
    for bits in range(4):
        for width, height in ((1, 1), (199, 1), (1, 199), (64, 48)):
            for tw, th in ((0, 0), (3, 3), (319, 319), (319, 3), (4, 319), (132, 98)):
                for flags in (0, 1, 3, 15):
                    head = struct.pack("<BHHHHBBB", bits, width - 1, height - 1, tw, th, flags, 3, 0)
                    seeds["scale-%d-%dx%d-%dx%d-%d" % (bits, width, height, tw, th, flags)] = head + pixels
    return seeds


def script_seeds():
    """Calls of every method with its own argument count, then with each kind of
    value at its edges: Int32 limits, NaN and the infinities, strings of digits,
    letters, invalid UTF-8 and a long string at the 1 MB limit; and the object
    used after its instance is destroyed (the flags byte's upper bits)."""
    arg_counts = (0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 3, 1, 2, 2, 6, 4, 0, 0, 4, 4, 2, 1, 3, 2, 2, 2, 2, 1)
    def integer(v):
        return bytes([3]) + struct.pack("<i", v)
    def double(v):
        return bytes([4]) + struct.pack("<d", v)
    def string(b):
        return bytes([5, len(b)]) + b
    def long_string(n, fill):
        return bytes([7]) + struct.pack("<I", n)[:3] + fill
    edges = [integer(0), integer(1), integer(-1), integer(2 ** 31 - 1), integer(-2 ** 31), double(2.9999999999),
             double(-1.5), double(float("nan")), double(float("inf")), double(float("-inf")), string(b"12abc"),
             string(b"abc"), string(b"\xc3\x28\xff\xfe"), string(b"#a0b0c0"), string(b"a&b c"), bytes([0]),
             bytes([1]), bytes([2, 1]), bytes([6]), long_string(1048576, b"7"), long_string(1048577, b"#")]
    seeds = {}
    never = 63 << 2
    calls = b"".join(bytes([m, n]) + integer(2) * n for m, n in enumerate(arg_counts))
    seeds["every-method"] = bytes([never]) + calls
    seeds["every-method-gate-closed"] = bytes([never | 1]) + calls
    seeds["after-destroy"] = bytes([(3 << 2)]) + calls
    for k, edge in enumerate(edges):
        seeds["edge-%d" % k] = bytes([never]) + b"".join(bytes([m, n]) + edge * n for m, n in enumerate(arg_counts))
    seeds["wrong-counts"] = bytes([never]) + b"".join(bytes([m, n + 1]) + integer(1) * (n + 1)
                                                      for m, n in enumerate(arg_counts))
    return seeds


def write(folder, seeds):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds.items():
        if len(data) <= MAX_SEED:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out, reproducers = sys.argv[1], sys.argv[2]
    images = sys.argv[3] if len(sys.argv) > 3 else ""
    with tempfile.TemporaryDirectory() as work:
        tiffs = structure_seeds()
        tiffs.update(picture_seeds(work))
    for name in sorted(glob.glob(os.path.join(images, "*.tif*")) if images else []):
        tiffs["libtiff-" + os.path.basename(name)] = open(name, "rb").read()
    for name in sorted(glob.glob(os.path.join(reproducers, "*"))):
        tiffs["reproducer-" + os.path.basename(name)] = open(name, "rb").read()
    for target in TIFF_TARGETS:
        write(os.path.join(out, target), tiffs)
    write(os.path.join(out, "fuzz_parameters"), parameter_seeds())
    write(os.path.join(out, "fuzz_scale_for_display"), scale_seeds())
    write(os.path.join(out, "fuzz_script_object"), script_seeds())


if __name__ == "__main__":
    main()
