#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the welcome banner (JPEG,
# 767x263), the logo (PNG with alpha, 48x48) and the 32x32 tool-bar icons
# (PNG with alpha). Run it from anywhere; it writes beside itself.
set -euo pipefail
cd "$(dirname "$0")"
IM=${IM:-convert}
mkdir -p icons

BLUE='#2b5797'; DARK='#1b3a66'; LIGHT='#5b8bd0'; ORANGE='#f0a030'; GREY='#6b7785'

# Welcome banner: a night-blue gradient with a winding route, its dashed
# centre line, and two route points.
"$IM" -size 767x263 gradient:'#0e2447'-'#2c5a9c' -rotate 0 \
  \( -size 767x263 xc:none -fill none -stroke '#ffffff20' -strokewidth 1 \
     -draw "path 'M 0,60 L 767,20'" -draw "path 'M 0,120 L 767,90'" -draw "path 'M 0,190 L 767,170'" \) -composite \
  -fill none -stroke '#0a1a33' -strokewidth 34 \
  -draw "path 'M 400,275 C 480,235 540,205 590,150 C 640,95 690,60 780,48'" \
  -stroke '#3a4a60' -strokewidth 28 \
  -draw "path 'M 400,275 C 480,235 540,205 590,150 C 640,95 690,60 780,48'" \
  -stroke '#f6d27a' -strokewidth 3 -draw "stroke-dasharray 14 10 path 'M 400,275 C 480,235 540,205 590,150 C 640,95 690,60 780,48'" \
  -stroke none -fill "$ORANGE" -draw "circle 600,150 600,138" -fill '#0e2447' -draw "circle 600,150 600,144" \
  -fill '#7fd1ff' -draw "circle 690,68 690,60" \
  -quality 82 -strip welcome.jpg

# Logo: a rounded blue square with a white V made of two strokes.
"$IM" -size 48x48 xc:none \
  -fill "$BLUE" -stroke "$DARK" -strokewidth 2 -draw "roundrectangle 2,2 45,45 9,9" \
  -fill none -stroke white -strokewidth 5 \
  -draw "stroke-linecap round stroke-linejoin round polyline 13,13 24,35 35,13" \
  -strip PNG32:logo.png

icon() { # name, then drawing arguments
  local name=$1; shift
  "$IM" -size 32x32 xc:none "$@" -strip "PNG32:icons/$name.png"
}

# File menu: a sheet with a folded corner and text lines.
icon file -fill white -stroke "$DARK" -strokewidth 1.5 -draw "polygon 7,3 20,3 26,9 26,29 7,29" \
  -fill "$LIGHT" -draw "polygon 20,3 20,9 26,9" \
  -stroke "$GREY" -strokewidth 1.5 -draw "line 10,14 23,14" -draw "line 10,18 23,18" -draw "line 10,22 19,22"
# Edit menu: a pencil over a sheet.
icon edit -fill white -stroke "$DARK" -strokewidth 1.5 -draw "rectangle 4,6 21,29" \
  -stroke "$GREY" -draw "line 7,12 17,12" -draw "line 7,16 15,16" -draw "line 7,20 13,20" \
  -stroke "$DARK" -strokewidth 1.2 -fill "$ORANGE" -draw "polygon 26,4 30,8 16,22 12,18" \
  -fill "$DARK" -draw "polygon 12,18 16,22 10,24"
# Open project: an open folder.
icon open -fill "$ORANGE" -stroke '#8a5a10' -strokewidth 1.5 -draw "polygon 3,8 12,8 15,11 27,11 27,27 3,27" \
  -fill '#ffd27a' -draw "polygon 7,15 30,15 26,27 3,27"
# Save project: a floppy disc.
icon save -fill "$BLUE" -stroke "$DARK" -strokewidth 1.5 -draw "polygon 4,4 24,4 28,8 28,28 4,28" \
  -fill white -stroke none -draw "rectangle 9,5 22,12" -fill "$DARK" -draw "rectangle 18,6 20,11" \
  -fill '#dfe8f5' -draw "rectangle 8,17 24,27"
# Code page: two letter blocks, one Latin-like, one Cyrillic-like.
icon codepage -fill "$BLUE" -stroke "$DARK" -strokewidth 1 -draw "roundrectangle 2,6 16,26 3,3" \
  -fill "$ORANGE" -stroke '#8a5a10' -draw "roundrectangle 15,6 29,26 3,3" \
  -fill none -stroke white -strokewidth 2 -draw "polyline 5,22 9,10 13,22" -draw "line 6,18 12,18" \
  -draw "polyline 19,10 19,22 23,22 25,20 25,17 23,15 19,15" -draw "line 19,10 26,10"
# No filter: a list of rows, all shown.
icon nofilter -fill white -stroke "$DARK" -strokewidth 1.5 -draw "rectangle 4,4 28,28" \
  -fill "$LIGHT" -stroke none -draw "rectangle 7,8 25,11" -draw "rectangle 7,14 25,17" -draw "rectangle 7,20 25,23"
# No hidden: a list with a grey row crossed out.
icon nohidden -fill white -stroke "$DARK" -strokewidth 1.5 -draw "rectangle 4,4 28,28" \
  -fill "$LIGHT" -stroke none -draw "rectangle 7,8 25,11" -draw "rectangle 7,20 25,23" \
  -fill '#c0c0c0' -draw "rectangle 7,14 25,17" -stroke '#c03030' -strokewidth 2.5 -draw "line 9,19 23,12"
# Only edited: a list with a pencil.
icon onlyedited -fill white -stroke "$DARK" -strokewidth 1.5 -draw "rectangle 4,4 24,28" \
  -fill "$LIGHT" -stroke none -draw "rectangle 7,8 21,11" -draw "rectangle 7,14 21,17" \
  -stroke "$DARK" -strokewidth 1.2 -fill "$ORANGE" -draw "polygon 27,12 31,16 20,27 16,23" \
  -fill "$DARK" -draw "polygon 16,23 20,27 14,29"
# Final release: a check mark in a box.
icon result -fill white -stroke "$DARK" -strokewidth 1.5 -draw "roundrectangle 4,4 28,28 4,4" \
  -fill none -stroke '#2e9a48' -strokewidth 4 -draw "polyline 9,16 14,22 24,9"
# Language: a globe.
icon language -fill "$LIGHT" -stroke "$DARK" -strokewidth 1.5 -draw "circle 16,16 16,3" \
  -fill none -stroke white -strokewidth 1.2 -draw "ellipse 16,16 6,13 0,360" -draw "line 3,16 29,16" \
  -draw "line 5,10 27,10" -draw "line 5,22 27,22" -draw "line 16,3 16,29"
# Help: a question mark in a circle.
icon help -fill "$BLUE" -stroke "$DARK" -strokewidth 1.5 -draw "circle 16,16 16,3" \
  -fill white -stroke none -font DejaVu-Sans-Bold -pointsize 21 -gravity center -annotate +0+1 "?"

# The application icon for the desktop's menu and file manager: the logo's
# blue square and V over a night road with a route point, as SVG for the
# scalable theme folder and as PNG at the theme's fixed sizes.
mkdir -p app
cat > app/velmora.svg <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#3a6db5"/>
      <stop offset="1" stop-color="#1b3a66"/>
    </linearGradient>
    <clipPath id="tile">
      <rect x="12" y="12" width="232" height="232" rx="44"/>
    </clipPath>
  </defs>
  <rect x="12" y="12" width="232" height="232" rx="44" fill="url(#sky)"/>
  <g clip-path="url(#tile)" fill="none">
    <path d="M 60,250 C 120,200 150,176 176,140 C 200,106 214,84 250,66" stroke="#0a1a33" stroke-width="34" stroke-opacity="0.45"/>
    <path d="M 60,250 C 120,200 150,176 176,140 C 200,106 214,84 250,66" stroke="#f6d27a" stroke-width="5" stroke-dasharray="16 12"/>
  </g>
  <rect x="12" y="12" width="232" height="232" rx="44" fill="none" stroke="#0e2447" stroke-width="8"/>
  <path d="M 64,64 L 128,196 L 192,64" fill="none" stroke="#ffffff" stroke-width="30" stroke-linecap="round" stroke-linejoin="round"/>
  <circle cx="196" cy="182" r="22" fill="#f0a030" stroke="#8a5a10" stroke-width="5"/>
  <circle cx="196" cy="182" r="8" fill="#0e2447"/>
</svg>
SVG
for size in 32 48 128 256; do
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w "$size" -h "$size" app/velmora.svg -o "app/velmora-$size.png"
  else
    "$IM" -background none -density 384 app/velmora.svg -resize "${size}x$size" "PNG32:app/velmora-$size.png"
  fi
done

ls -l welcome.jpg logo.png icons/*.png app/*
