#!/usr/bin/env bash
# Multi-directory files for the page-directory tests, made with ImageMagick and
# libtiff's tools: make_directory_fixtures.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"

page() {  # page NAME TEXT: a small bilevel page with some text-like marks
  convert -size 120x80 xc:white -fill black -draw "rectangle 10,10 $((20 + ${#2} * 5)),20" \
    -draw "rectangle 10,40 60,44" -monochrome -compress Group4 "$1"
}

page p1.tif one
page p2.tif two
page p3.tif three

# Three pages, little and big endian, and as BigTIFF.
tiffcp p1.tif p2.tif p3.tif three-pages.tif
convert p1.tif p2.tif p3.tif -endian MSB -compress Group4 three-pages-msb.tif
tiffcp -8 three-pages.tif three-pages-bigtiff.tif

# A full page followed by its reduced-resolution version.
convert p1.tif -resize 50% -monochrome -compress Group4 reduced.tif
tiffset -s 254 1 reduced.tif
tiffcp p1.tif reduced.tif with-reduced.tif

# A page whose only directory is a transparency mask.
cp p2.tif mask-only.tif
tiffset -s 254 4 mask-only.tif

# A page, a mask, a page.
cp p3.tif mask.tif
tiffset -s 254 4 mask.tif
tiffcp p1.tif mask.tif p2.tif page-mask-page.tif

rm -f p1.tif p2.tif p3.tif reduced.tif mask.tif
