#!/usr/bin/env bash
# Forms for mark reading and pages for the ink measure, drawn by ImageMagick
# at test time: make_omr_fixtures.sh OUTDIR
# A form's four solid marks have outer corners spanning the reference
# rectangle (100, 100, 1400, 1900); it is "scanned" 2 % larger and shifted by
# (13, 21) pixels onto an A4 page at 200 dpi.
set -euo pipefail
out=${1:?usage: make_omr_fixtures.sh OUTDIR}
mkdir -p "$out"

page_x() { echo $((($1 * 102 + 50) / 100 + 13)); }
page_y() { echo $((($1 * 102 + 50) / 100 + 21)); }
# A filled reference rectangle x y w h as an ImageMagick drawing.
box() {
  printf 'rectangle %d,%d %d,%d ' "$(page_x "$1")" "$(page_y "$2")" $(($(page_x $(($1 + $3))) - 1)) \
    $(($(page_y $(($2 + $4))) - 1))
}
frame() { box "$1" "$2" "$3" 3; box "$1" $(($2 + $3 - 3)) "$3" 3; box "$1" "$2" 3 "$3"; box $(($1 + $3 - 3)) "$2" 3 "$3"; }

marks=("$(box 100 100 60 60)" "$(box 1440 100 60 60)" "$(box 1440 1940 60 60)" "$(box 100 1940 60 60)")
# Filled, left half filled and empty answer boxes.
answers="$(frame 300 800 100)$(box 300 800 100 100)$(frame 500 800 100)$(box 500 800 50 100)$(frame 700 800 100)"
bilevel=(-threshold 50% -type bilevel -compress Group4 -density 200 -units PixelsPerInch)

form() {
  local target=$1 drawing=$2
  shift 2
  convert -size 1700x2200 xc:white -fill black -draw "$drawing" "$@" "$out/$target"
}
form form.tif "${marks[*]}$answers" "${bilevel[@]}"
# A black band where the sheet did not cover the scanner's glass.
form form_margin.tif "${marks[*]}$answers rectangle 0,0 59,2199" "${bilevel[@]}"
form form_three_marks.tif "${marks[0]}${marks[1]}${marks[2]}$answers" "${bilevel[@]}"
form form_grey.tif "${marks[*]}$answers" -colorspace Gray -type Grayscale -depth 8 -compress LZW

convert -size 1654x2339 xc:white "${bilevel[@]}" "$out/blank.tif"
# The left 827 of 1654 columns black: of the 1653 columns a scan counts, 827 are.
convert -size 1654x2339 xc:white -fill black -draw "rectangle 0,0 826,2338" "${bilevel[@]}" "$out/half_black.tif"
