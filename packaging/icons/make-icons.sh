#!/bin/sh
# Writes the application icon for the desktop's icon theme: 16, 32 and 64 pixels
# taken from the program's own logo.ico (drawn per size, so the small ones stay
# sharp), 128 and 256 rendered from the scalable drawing beside this script.
# The PNG files are committed; run this only after changing the logo:
#   cd packaging/icons && ./make-icons.sh
set -eu
cd "$(dirname "$0")"
for px in 16 32 64; do
    convert "../../resources/icons/${px}x${px}/logo.ico" -strip "PNG32:$px.png"
done
for px in 128 256; do
    convert -background none -density $((px * 3)) com.norvanelabs.VantrelStudio.svg \
        -resize "${px}x${px}" -strip "PNG32:$px.png"
done
echo "icons written"
