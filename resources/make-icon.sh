#!/bin/sh
# Draws the program icons (Zephyrix.ico; ZephyrixService.ico for the launcher): the
# maker's mark, a rounded accent square with an "M" cut out, at 256 px and reduced to
# the sizes Windows asks for. Needs ImageMagick.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  \( -size 240x240 gradient:'#5090E0-#2F6FC0' -background none -gravity center -extent 256x256 \) -composite \
  \( -size 256x256 xc:black -fill white -draw 'roundrectangle 8,8 247,247 52,52' \) \
  -alpha off -compose CopyOpacity -composite \
  -fill white -draw 'polygon 56,195 56,61 89,61 128,117 167,61 200,61 200,195 169,195 169,113 128,169 87,113 87,195' \
  "$tmp/icon256.png"
convert "$tmp/icon256.png" -define icon:auto-resize=256,64,48,32,24,16 "$here/Zephyrix.ico"
# The launcher shows no window: Explorer's sizes are enough, and its file has a size
# budget (the 64 px picture alone is 17 KB; Explorer scales the 256 px one instead).
convert "$tmp/icon256.png" -define icon:auto-resize=256,48,32,24,16 "$here/ZephyrixService.ico"
