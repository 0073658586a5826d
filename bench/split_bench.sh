#!/usr/bin/env bash
# mrvtool split against the shell pipeline it replaces, in the same run, on a
# 200-page A4 Group 4 batch (300 dpi; every tenth page a separator sheet with a
# Code 128 symbol, every fifth a blank back):
#   split     mrvtool split --separator-prefix SEP --drop-blank 0.001
#   pipeline  tiffsplit of the file, then one mrvtool barcodes and one
#             mrvtool blank per page
# usage: split_bench.sh MRVTOOL   (a release build: build/native-release/tools/mrvtool/mrvtool)
set -euo pipefail
mrvtool=${1:?usage: split_bench.sh MRVTOOL}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page=(-size 2480x3508 xc:white -threshold 50% -type bilevel -compress Group4 -density 300 -units PixelsPerInch)
convert "${page[@]}" -fill black -pointsize 60 -draw "text 200,400 'Invoice 2026-0001'" \
  -draw "rectangle 200,600 2280,640" -draw "text 200,900 'Lines of a scanned letter, paragraph after paragraph.'" \
  "$work/content.tif"
convert "${page[@]}" -fill black -draw "rectangle 900,1700 901,1701" "$work/blank.tif"
zint --notext --height=60 --scale=4 --filetype=TIF -o "$work/symbol.tif" -b CODE128 -d "SEP-0042"
convert -size 2480x3508 xc:white "$work/symbol.tif" -geometry +400+400 -composite "${page[@]:3}" "$work/separator.tif"
pages=()
for i in $(seq 1 200); do
  if ((i % 10 == 1)); then pages+=("$work/separator.tif");
  elif ((i % 5 == 0)); then pages+=("$work/blank.tif");
  else pages+=("$work/content.tif"); fi
done
tiffcp "${pages[@]}" "$work/batch.tif"
mkdir "$work/split" "$work/pipeline"

now() { date +%s.%N; }
start=$(now)
"$mrvtool" split --separator-prefix SEP --drop-blank 0.001 --out-dir "$work/split" "$work/batch.tif" | tail -1
split=$(echo "$(now) - $start" | bc)
start=$(now)
(cd "$work/pipeline" && tiffsplit "$work/batch.tif" page-)
for file in "$work"/pipeline/page-*.tif; do
  "$mrvtool" barcodes "$file" >/dev/null
  "$mrvtool" blank "$file" >/dev/null
done
pipeline=$(echo "$(now) - $start" | bc)
printf 'split %.2f s, pipeline %.2f s, ratio %.3f (target 0.4)\n' "$split" "$pipeline" \
  "$(echo "$split / $pipeline" | bc -l)"
