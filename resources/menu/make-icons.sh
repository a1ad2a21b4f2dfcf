#!/usr/bin/env bash
# Draws the four 16x16 icons of the file list's context menu with ImageMagick.
# Run from anywhere; rewrites the PNG files beside this script.
set -euo pipefail
cd "$(dirname "$0")"

draw() {  # draw <file> <ImageMagick drawing arguments...>
    local file=$1
    shift
    convert -size 16x16 xc:none "$@" -strip -define png:exclude-chunks=date,time "PNG32:$file"
}

# Preview: a speaker with two sound waves.
draw preview.png \
    -fill '#5a6f8c' -stroke '#2b3a52' -draw 'polygon 1,6 4,6 8,2 8,13 4,9 1,9' \
    -fill none -stroke '#2f7fd8' -strokewidth 1.3 \
    -draw 'arc 6,4 12,11 -60,60' -draw 'arc 6,1 15,14 -60,60'

# Convert - Single: one page and an arrow.
draw convert-single.png \
    -fill '#ffffff' -stroke '#55606e' -draw 'rectangle 1,1 8,12' \
    -stroke '#9aa5b1' -draw 'line 3,4 6,4' -draw 'line 3,6 6,6' -draw 'line 3,8 6,8' \
    -fill '#2e9b3e' -stroke '#1c6b28' -draw 'polygon 7,9 11,9 11,7 15,11 11,15 11,13 7,13'

# Convert - Batch: stacked pages and an arrow.
draw convert-batch.png \
    -fill '#e8ecf0' -stroke '#55606e' -draw 'rectangle 4,0 11,9' \
    -fill '#ffffff' -draw 'rectangle 1,3 8,12' \
    -stroke '#9aa5b1' -draw 'line 3,6 6,6' -draw 'line 3,8 6,8' \
    -fill '#2e9b3e' -stroke '#1c6b28' -draw 'polygon 7,9 11,9 11,7 15,11 11,15 11,13 7,13'

# Delete: a red cross.
draw delete.png \
    -stroke '#8c1414' -strokewidth 4 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12' \
    -stroke '#e03131' -strokewidth 2 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12'
