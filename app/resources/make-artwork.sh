#!/usr/bin/env bash
# Draws the program's own artwork with ImageMagick: the program icon, the tray icon and the
# 415 x 119 banner of the Common page. The PNG files it writes are committed beside it; run it
# again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

# A four-bladed fan on a rounded square, drawn at 256 px and scaled down for sharp edges.
fan() {
  local size=$1 out=$2
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
    -resize "${size}x${size}" -depth 8 "$out"
}

fan 64 icon.png
fan 32 tray.png

fan 96 banner-fan.png
"$convert" -size 415x119 gradient:'#0f2f57'-'#2f6fb5' -rotate 90 -resize 415x119! \
  banner-fan.png -geometry +14+12 -composite \
  -font DejaVu-Sans-Bold -pointsize 40 -fill white -annotate +126+58 'Kelvane' \
  -font DejaVu-Sans -pointsize 15 -fill '#cfe0f5' -annotate +128+84 'QV-725 six-channel fan controller' \
  -fill '#ffb000' -draw "rectangle 128,66 330,68" \
  -depth 8 banner.png
rm -f banner-fan.png
