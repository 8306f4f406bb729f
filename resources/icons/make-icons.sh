#!/bin/sh
# Draws the program's icons with ImageMagick and writes them as .ico files into
# 16x16/, 32x32/ and 64x64/. Every icon is drawn in a 64x64 design space and
# rendered at each size (not shrunk from the large one), so that the outlines
# stay sharp at 16 pixels. The .ico files are committed; run this only after
# changing a drawing:   cd resources/icons && ./make-icons.sh
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

OUTLINE='#2b2b2b'

# draw <name> <mvg drawing in the 64x64 design space>
draw() {
    name=$1
    mvg=$2
    for px in 16 32 64; do
        mkdir -p "${px}x${px}"
        scale=$(echo "scale=4; $px / 64" | bc)
        # SW(w) marks a stroke width; at small sizes it is raised to one whole
        # pixel so that outlines do not fade away.
        mvg_sized=$(echo "$mvg" | awk -v m="$(echo "scale=4; 64 / $px" | bc)" '{
            out = ""; line = $0
            while (match(line, /SW\([0-9.]+\)/)) {
                v = substr(line, RSTART + 3, RLENGTH - 4) + 0
                if (v < m) v = m
                out = out substr(line, 1, RSTART - 1) "stroke-width " v
                line = substr(line, RSTART + RLENGTH)
            }
            print out line }')
        convert -size "${px}x${px}" xc:none \
            -draw "scale $scale,$scale stroke-linejoin round stroke-linecap round $mvg_sized" \
            "$tmp/$name-$px.png"
        convert "$tmp/$name-$px.png" "${px}x${px}/$name.ico"
    done
}

# A sheet of paper with a folded corner.
draw new "fill white stroke $OUTLINE SW(3) path 'M 12,4 L 40,4 L 52,16 L 52,60 L 12,60 Z'
          fill '#d8d8d8' path 'M 40,4 L 40,16 L 52,16 Z'
          fill '#2e9e3e' stroke '#1d6b28' SW(2) path 'M 32,30 h 6 v 8 h 8 v 6 h -8 v 8 h -6 v -8 h -8 v -6 h 8 Z'"

# An open folder.
draw open "fill '#e0a526' stroke '#7a5410' SW(3) path 'M 4,14 L 22,14 L 27,20 L 56,20 L 56,56 L 4,56 Z'
           fill '#f6cc56' path 'M 4,56 L 13,30 L 62,30 L 54,56 Z'"

# A floppy disk.
draw save "fill '#2f6fb8' stroke '#173a63' SW(3) path 'M 6,6 L 50,6 L 58,14 L 58,58 L 6,58 Z'
           fill '#e8eef6' stroke none rectangle 16,8 46,24
           fill '#173a63' rectangle 36,10 42,22
           fill white stroke '#173a63' SW(2) rectangle 14,36 50,56"

# A USB plug with its cable.
draw connector "fill '#9aa3ad' stroke $OUTLINE SW(3) rectangle 20,4 44,24
                fill $OUTLINE stroke none rectangle 26,10 30,15 rectangle 34,10 38,15
                fill '#3c4650' stroke $OUTLINE SW(3) roundrectangle 14,24 50,46 4,4
                fill none stroke '#3c4650' SW(8) line 32,46 32,62"

# Read from the unit: green arrow down into a tray.
draw read "fill '#cfd6dd' stroke $OUTLINE SW(3) path 'M 4,40 L 4,60 L 60,60 L 60,40 L 48,40 L 48,48 L 16,48 L 16,40 Z'
           fill '#2e9e3e' stroke '#1d6b28' SW(3) path 'M 24,2 L 40,2 L 40,20 L 52,20 L 32,42 L 12,20 L 24,20 Z'"

# Write to the unit: orange arrow up out of a tray.
draw write "fill '#cfd6dd' stroke $OUTLINE SW(3) path 'M 4,40 L 4,60 L 60,60 L 60,40 L 48,40 L 48,48 L 16,48 L 16,40 Z'
            fill '#e8731c' stroke '#8a3f08' SW(3) path 'M 24,42 L 40,42 L 40,24 L 52,24 L 32,2 L 12,24 L 24,24 Z'"

# A column of cells whose top value is copied downwards.
draw fill_down "fill '#2f6fb8' stroke $OUTLINE SW(3) rectangle 4,4 30,20
                fill white rectangle 4,22 30,40 rectangle 4,42 30,60
                fill '#9cc0e8' stroke none rectangle 7,25 27,37 rectangle 7,45 27,57
                fill '#2e9e3e' stroke '#1d6b28' SW(3) path 'M 40,4 L 52,4 L 52,40 L 62,40 L 46,60 L 30,40 L 40,40 Z'"

# Two overlapping sheets.
draw copy "fill '#e6e6e6' stroke $OUTLINE SW(3) rectangle 4,4 38,44
           fill white rectangle 24,20 58,60
           fill none stroke '#7f7f7f' SW(3) line 31,33 51,33 line 31,45 47,45"

# A clipboard with a sheet.
draw paste "fill '#b07a3c' stroke '#5a3b14' SW(3) roundrectangle 6,8 50,60 4,4
            fill '#c8c8c8' stroke $OUTLINE SW(2) roundrectangle 18,2 38,14 3,3
            fill white stroke $OUTLINE SW(3) rectangle 26,24 58,62
            fill none stroke '#7f7f7f' SW(3) line 32,36 52,36 line 32,48 48,48"

# A padlock.
draw lock "fill none stroke '#5c6670' SW(6) path 'M 19,30 L 19,20 A 13,13 0 0,1 45,20 L 45,30'
           fill '#e2b424' stroke '#7a5d08' SW(3) roundrectangle 8,28 56,60 5,5
           fill '#5a4506' stroke none circle 32,40 32,45 rectangle 30,42 34,53"

# The program's mark: a white V on an orange disc.
draw logo "fill '#e8731c' stroke '#8a3f08' SW(3) circle 32,32 32,3
           fill white stroke none path 'M 13,15 L 23,15 L 32,40 L 41,15 L 51,15 L 37,51 L 27,51 Z'"

# Two arrows chasing each other round a circle.
draw refresh "fill none stroke '#2e9e3e' SW(8) path 'M 52,28 A 21,21 0 0,0 14,20'
              path 'M 12,36 A 21,21 0 0,0 50,44'
              fill '#2e9e3e' stroke '#2e9e3e' SW(2) path 'M 4,10 L 22,26 L 6,30 Z' path 'M 60,54 L 42,38 L 58,34 Z'"

echo "icons written"
