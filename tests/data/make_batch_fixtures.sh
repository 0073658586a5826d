#!/usr/bin/env bash
# A scanned batch for mrvtool split, made with zint and ImageMagick at test
# time: make_batch_fixtures.sh OUTDIR
# Writes OUTDIR/batch.tif (11 pages, Group 4 unless said):
#   1 content "A1"            2 blank back with scanner specks
#   3 separator SEP-00421     4 content "B1"       5 content "B2"
#   6 blank back with specks  7 separator SEP/2024/0815
#   8 content "C1" (grey, LZW)  9 content "C2" (tiled: re-encoded when split)
#  10 damaged (a compression no reader knows)   11 content "C3"
# and OUTDIR/plain.tif (pages 4, 5, 6: no separators) and OUTDIR/separators.tif
# (pages 3 and 7 only).
set -euo pipefail
out=${1:?usage: make_batch_fixtures.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=850x1100
bilevel=(-threshold 50% -type bilevel -compress Group4 -density 100 -units PixelsPerInch)

content() {  # NAME TEXT
  convert -size $size xc:white -fill black -pointsize 140 -draw "text 150,400 '$2'" \
    -draw "rectangle 100,700 750,760" "${bilevel[@]}" "$work/$1.tif"
}
blank() {  # NAME SEED: a few specks of scanner dust
  local args=(-size $size xc:white -fill black) x y i
  for i in $(seq 1 12); do
    x=$(((i * 7919 + $2 * 104729) % 800 + 20))
    y=$(((i * 6007 + $2 * 15485863) % 1050 + 20))
    args+=(-draw "rectangle $x,$y $((x + 1)),$((y + 1))")
  done
  convert "${args[@]}" "${bilevel[@]}" "$work/$1.tif"
}
separator() {  # NAME TEXT: zint chooses code sets, so digit runs switch to set C
  zint --notext --height=40 --scale=2 --filetype=TIF -o "$work/$1-symbol.tif" -b CODE128 -d "$2"
  convert -size $size xc:white "$work/$1-symbol.tif" -geometry +150+300 -composite "${bilevel[@]}" "$work/$1.tif"
}

content p01 A1
blank p02 1
separator p03 "SEP-00421"
content p04 B1
content p05 B2
blank p06 2
separator p07 "SEP/2024/0815"
convert -size $size xc:white -fill gray30 -pointsize 140 -draw "text 150,400 'C1'" -colorspace Gray \
  -depth 8 -compress LZW -density 100 -units PixelsPerInch "$work/p08.tif"
convert -size $size xc:white -fill navy -pointsize 140 -draw "text 150,400 'C2'" \
  -draw "rectangle 100,700 750,760" -colorspace CMYK -compress LZW -density 100 -units PixelsPerInch "$work/p09.tif"
content p10 D1
content p11 C3
tiffcp "$work"/p0{1,2,3,4,5,6,7,8,9}.tif "$work/p10.tif" "$work/p11.tif" "$out/batch.tif"
# Page 10's Compression entry gets a scheme number no reader knows.
python3 - "$out/batch.tif" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
order = "<" if data[:2] == b"II" else ">"
ifd, = struct.unpack_from(order + "I", data, 4)
for _ in range(9):
    count, = struct.unpack_from(order + "H", data, ifd)
    ifd, = struct.unpack_from(order + "I", data, ifd + 2 + 12 * count)
count, = struct.unpack_from(order + "H", data, ifd)
for i in range(count):
    if struct.unpack_from(order + "H", data, ifd + 2 + 12 * i)[0] == 259:
        struct.pack_into(order + "H", data, ifd + 2 + 12 * i + 8, 12345)
open(path, "wb").write(bytes(data))
PY
tiffcp "$work/p04.tif" "$work/p05.tif" "$work/p06.tif" "$out/plain.tif"
tiffcp "$work/p03.tif" "$work/p07.tif" "$out/separators.tif"
