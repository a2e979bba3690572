#!/usr/bin/env bash
# Draws the program's icon, a page of lines under a magnifying glass, as a 32x32 picture of 16 colours.
# The result is committed as src/vcl/widgets/icons/mainicon.png; run this again only to change the picture.
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/.." && pwd)/src/vcl/widgets/icons/mainicon.png}
convert -size 32x32 xc:none \
  -fill '#FFFFFF' -stroke '#000080' -strokewidth 1 -draw 'rectangle 4,2 23,28' \
  -fill none -stroke '#808080' -draw 'line 7,7 20,7' -draw 'line 7,11 20,11' -draw 'line 7,15 16,15' \
  -draw 'line 7,19 13,19' -draw 'line 7,23 12,23' \
  -fill '#C0E0FF' -stroke '#000080' -strokewidth 2 -draw 'circle 19,18 19,25' \
  -fill none -stroke '#FFFFFF' -strokewidth 1 -draw 'arc 15,14 21,20 180,270' \
  -stroke '#800000' -strokewidth 4 -draw 'line 24,23 29,28' \
  -strip -dither None -colors 16 "PNG8:$out"
