#!/usr/bin/env bash
# Draws the hicolor icon set of the program (16 to 256 px) with ImageMagick, the same fan as
# app/resources/make-artwork.sh and kelvane.svg. The PNG files are committed; run it again only
# to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$size"
  "$convert" -size 256x256 xc:none \
    -fill '#1d4e89' -draw "roundrectangle 8,8 247,247 44,44" \
    -fill '#2f6fb5' -draw "circle 128,128 128,30" \
    -fill '#e8f1fb' \
    -draw "translate 128,128 rotate 20 ellipse 0,-52 26,50 0,360" \
    -draw "translate 128,128 rotate 110 ellipse 0,-52 26,50 0,360" \
    -draw "translate 128,128 rotate 200 ellipse 0,-52 26,50 0,360" \
    -draw "translate 128,128 rotate 290 ellipse 0,-52 26,50 0,360" \
    -fill '#1d4e89' -draw "circle 128,128 128,104" \
    -fill '#ffb000' -draw "circle 128,128 128,116" \
    -resize "${size}x${size}" -depth 8 -strip "PNG32:$size/kelvane.png"
done
