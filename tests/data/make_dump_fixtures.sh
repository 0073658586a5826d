#!/usr/bin/env bash
# Makes the structure-dump fixtures in the folder given: real files written by
# ImageMagick and libtiff's tools, and a few byte-level oddities that no tool
# writes (unsorted tags, odd offsets, 300 entries, data beyond 100,000,000).
set -euo pipefail
out=${1:?usage: make_dump_fixtures.sh OUTDIR}
mkdir -p "$out"
cd "$out"

convert -size 64x48 gradient:black-white -compress LZW gray_lzw.tif
tiffset -s 297 2 5 gray_lzw.tif
tiffset -s 270 "$(printf 'Scan\tof page two, for the archive')" gray_lzw.tif
convert -size 40x30 xc:red -size 50x20 xc:blue -size 30x30 plasma:fractal -compress Zip three_pages.tif
convert -size 200x120 xc:white -fill black -draw 'rectangle 10,10 90,60' -monochrome -compress Group4 fax_g4.tif
convert -size 80x60 plasma:fractal -compress JPEG -quality 80 rgb_jpeg.tif
tiffcp -B three_pages.tif big_endian.tif
tiffcp -t -w 16 -l 16 gray_lzw.tif tiled.tif
tiffcp -8 three_pages.tif bigtiff.tif
tiffcp -8 -B fax_g4.tif bigtiff_be.tif

python3 - <<'PY'
import struct

def classic(entries, name, odd=False, next_offset=0, tail=b""):
    """entries: (tag, type, count, value-field bytes)."""
    start = 9 if odd else 8
    head = b"II" + struct.pack("<HI", 42, start) + (b"\0" if odd else b"")
    ifd = struct.pack("<H", len(entries))
    for tag, typ, count, field in entries:
        ifd += struct.pack("<HHI", tag, typ, count) + field.ljust(4, b"\0")
    ifd += struct.pack("<I", next_offset)
    with open(name, "wb") as f:
        f.write(head + ifd + tail)
    return len(head + ifd)

short = lambda v: struct.pack("<H", v)
page = [(256, 3, 1, short(4)), (257, 3, 1, short(4)), (259, 3, 1, short(1))]
classic([(257, 3, 1, short(4)), (256, 3, 1, short(4)), (262, 3, 1, short(1)), (259, 3, 1, short(1))],
        "unsorted.tif")
classic(page, "odd_offset.tif", odd=True)
classic([(1000 + i, 3, 1, short(i)) for i in range(300)], "three_hundred.tif")
name = "beyond_100m.tif"
classic(page + [(270, 2, 8, struct.pack("<I", 150000000))], name)
with open(name, "r+b") as f:
    f.seek(150000000)
    f.write(b"outside\0")
    f.truncate(200000000)
PY
