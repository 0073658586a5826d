#!/usr/bin/env bash
# Pages with Code 128 symbols for the barcode reader's tests, made by zint and
# ImageMagick at test time: make_barcode_fixtures.sh OUTDIR
# Every symbol is drawn without text and without zint's own quiet zones, so
# the page decides what surrounds it.
set -euo pipefail
out=${1:?usage: make_barcode_fixtures.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# symbol NAME SCALE ZINT-ARGS...: a black-on-white symbol, SCALE x 2 pixels per module.
symbol() {
  local name=$1 scale=$2
  shift 2
  zint --notext --height=30 --scale="$scale" --filetype=TIF -o "$work/$name.tif" "$@"
}

# page OUT WIDTH HEIGHT DPI BACKGROUND [SYMBOL X Y]...: symbols placed on a
# white page; OUT decides the format through the extra options in $format.
page() {
  local target=$1 width=$2 height=$3 dpi=$4 background=$5
  shift 5
  local args=(-size "${width}x${height}" "xc:$background")
  while [ $# -gt 0 ]; do
    args+=("$work/$1.tif" -geometry "+$2+$3" -composite)
    shift 3
  done
  convert "${args[@]}" "${format[@]}" -density "$dpi" -units PixelsPerInch "$out/$target"
}
bilevel=(-threshold 50% -type bilevel -compress Group4)

# The table against zint's own encoding of every code set B character: one
# line per symbol value with the hexadecimal module dump (start, value, check, stop).
: >"$work/dump.txt"
for value in $(seq 0 95); do
  printf '%d %s\n' "$value" "$(zint -b CODE128B --esc --dump -d "$(printf '\\x%02X' $((value + 32)))")" \
    >>"$work/dump.txt"
done
mv "$work/dump.txt" "$out/code128_dump.txt"

symbol sep200 1 -b CODE128B -d "Mervane batch 0042"
symbol sep300 1.5 -b CODE128B -d "Sep/Invoice-77;x"
# Every printable character, in two symbols (zint's limit is 60 characters).
awk 'BEGIN { for (i = 32; i < 80; i++) printf "%c", i }' >"$work/low.txt"
awk 'BEGIN { for (i = 80; i < 127; i++) printf "%c", i }' >"$work/high.txt"
symbol low 1 -b CODE128B -i "$work/low.txt"
symbol high 1 -b CODE128B -i "$work/high.txt"
format=("${bilevel[@]}")
page a4_200.tif 1654 2339 200 white sep200 300 400
page a4_300.tif 2480 3508 300 white sep300 700 2900
page all_chars.tif 2480 600 300 white low 160 100 high 160 400

# Grey ink on grey paper, softened as a scanner softens edges.
zint --notext --height=30 --scale=1.5 --fg=303030 --bg=E0E0E0 --filetype=TIF -o "$work/grey.tif" \
  -b CODE128B -d "Grey 8-bit page"
format=(-blur 0x0.8 -colorspace Gray -type Grayscale -depth 8 -compress LZW)
page grey8.tif 2480 1200 300 '#D8D8D8' grey 400 500
zint --notext --height=30 --scale=1.5 --fg=102060 --bg=F8F0C0 --filetype=TIF -o "$work/rgb.tif" \
  -b CODE128B -d "RGB page: 24 bit"
format=(-type TrueColor -depth 8 -compress LZW)
page rgb24.tif 2480 1200 300 '#F8F0C0' rgb 300 300

symbol same 1 -b CODE128B -d "SEPARATOR"
symbol first 1 -b CODE128B -d "first code"
symbol left 1 -b CODE128B -d "left"
symbol right 1 -b CODE128B -d "right"
symbol last 1 -b CODE128B -d "Last one"
format=("${bilevel[@]}")
# Two side by side in one row and a third below: one text.
page twice.tif 1654 1200 200 white same 100 100 same 800 100 same 400 700
# Reading order: top to bottom, left to right where symbols share rows.
page four.tif 1654 1400 200 white first 600 100 left 100 500 right 900 500 last 300 1000

# Symbols that are not code set B text: Start A (a control character first),
# Start C (digits only) and a symbol whose check character belongs to other data.
symbol start_a 1 -b CODE128 --esc -d '\x01ABC'
symbol start_c 1 -b CODE128 -d "12345678"
symbol check_ab 1 -b CODE128B -d "AB"
symbol check_ac 1 -b CODE128B -d "AC"
# Symbols are 2 pixels per module: the second data symbol starts at module 22.
convert "$work/check_ab.tif" \( "$work/check_ac.tif" -crop 22x60+44+0 +repage \) -geometry +44+0 -composite \
  "$work/bad_check.tif"
page not_set_b.tif 1654 900 200 white start_a 200 100 start_c 200 400 bad_check 200 700

# Quiet zones of 3 modules (6 pixels): after two bars the symbol is refused,
# after one bar (the symbol's quiet zone is then the row's third run) and at
# the left page edge it is read.
symbol narrow 1 -b CODE128B -d "after two bars"
symbol near 1 -b CODE128B -d "after one bar"
symbol edge 1 -b CODE128B -d "at the edge"
convert -size 1654x700 xc:white -fill black -draw "rectangle 100,100 139,159" -draw "rectangle 180,100 219,159" \
  "$work/narrow.tif" -geometry +226+100 -composite -draw "rectangle 180,300 219,359" \
  "$work/near.tif" -geometry +226+300 -composite "$work/edge.tif" -geometry +6+500 -composite \
  "${bilevel[@]}" -density 200 -units PixelsPerInch "$out/quiet_zone.tif"
