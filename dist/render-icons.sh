#!/bin/sh
# Renders the application icon (resources/icons/zarvocam.svg) into the
# hicolor PNG sizes shipped in dist/icons/. Run after changing the SVG.
set -eu
cd "$(dirname "$0")/.."
for s in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$s" -h "$s" resources/icons/zarvocam.svg -o "dist/icons/zarvocam-$s.png"
done
