#!/usr/bin/env bash
# Draws the program's icon (a green download and a blue upload arrow on a light disc) and
# writes resources/VemoIco.png (the tray and window icon) and resources/VemoIco.ico (16, 32
# and 48 pixels, beside the program for desktop shortcuts). Run once; the results are checked in.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
    -fill '#f4f7fb' -stroke '#2b3a55' -strokewidth 12 -draw 'circle 128,128 128,10' \
    -stroke none -fill '#008000' -draw 'polygon 58,60 102,60 102,140 130,140 80,206 30,140 58,140' \
    -fill '#0000ff' -draw 'polygon 154,196 198,196 198,116 226,116 176,50 126,116 154,116' \
    "$work/icon256.png"

for size in 16 32 48; do
    convert "$work/icon256.png" -filter Lanczos -resize ${size}x${size} -depth 8 "$work/icon$size.png"
done
cp "$work/icon48.png" resources/VemoIco.png
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" resources/VemoIco.ico
