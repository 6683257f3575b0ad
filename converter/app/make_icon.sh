#!/bin/sh
# Draws Vellumcast's window icon (a sheet with a folded corner and a red PDF band, with a
# printer-ink arrow) with ImageMagick; writes vellumcast.ico (32x32 and 16x16).
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 32x32 xc:none \
    -fill '#fbf6e4' -stroke '#6b6250' -strokewidth 1 \
    -draw 'polygon 6,1 21,1 27,7 27,30 6,30' \
    -fill '#e8dfc2' -draw 'polygon 21,1 21,7 27,7' \
    -stroke none -fill '#c0282d' -draw 'rectangle 3,17 24,26' \
    -fill white -draw 'rectangle 6,19 8,24' -draw 'rectangle 9,19 10,21' \
    -draw 'rectangle 12,19 14,24' -draw 'rectangle 15,20 15,23' \
    -draw 'rectangle 18,19 20,24' -draw 'rectangle 21,19 22,19' -draw 'rectangle 21,21 22,21' \
    -fill '#1f3f8f' -draw 'rectangle 10,5 16,9' -draw 'polygon 8,9 18,9 13,14' \
    -stroke '#8a8270' -strokewidth 1 -draw 'line 9,3 18,3' \
    "$tmp/icon32.png"
convert "$tmp/icon32.png" -resize 16x16 "$tmp/icon16.png"
convert "$tmp/icon32.png" "$tmp/icon16.png" vellumcast.ico
