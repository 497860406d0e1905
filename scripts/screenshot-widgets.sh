#!/bin/sh
# Renders the shared widgets (message boxes, progress windows, direction pad,
# control looks, icons) to PNG files for a look by eye.
#   BUILD=build-ui sh scripts/screenshot-widgets.sh [output folder]
# Uses Xvfb when it is installed (closest to a real desktop), otherwise Qt's
# offscreen platform.
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-$BUILD/screenshots/widgets}

[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target widget_gallery -j2 >/dev/null
mkdir -p "$OUT"

if command -v xvfb-run >/dev/null 2>&1 && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/tools/widget_gallery" "$OUT"
else
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/tools/widget_gallery" "$OUT"
fi
echo "Screenshots in $OUT"
