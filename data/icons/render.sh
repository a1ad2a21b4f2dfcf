#!/usr/bin/env bash
# Renders the application icon's SVG into the PNG sizes of the hicolor theme
# (hicolor/<n>x<n>/apps/). Run after editing the SVG and commit the PNGs, so a
# build needs no SVG renderer. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.brellin.ZephyraSoundUtility
for n in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${n}x${n}/apps"
  rsvg-convert -w "$n" -h "$n" "$id.svg" -o "hicolor/${n}x${n}/apps/$id.png"
done
