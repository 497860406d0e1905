#!/bin/sh
# Pictures of the main window with virtual cameras: awake, asleep, no camera,
# virtual background on (plus green screen, auto framing and the compact
# layout), taken under Xvfb with a private data folder.
#   BUILD=build-main sh scripts/screenshots.sh [output folder]
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-$BUILD/screenshots/mainwindow}

[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target mainwindow_shots zarvo_translations -j2 >/dev/null
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# The window stores camera names and settings: keep them away from the user's.
DATA=$(mktemp -d)
trap 'rm -rf "$DATA"' EXIT INT TERM
export HOME="$DATA" XDG_DATA_HOME="$DATA/data" XDG_CONFIG_HOME="$DATA/config" XDG_CACHE_HOME="$DATA/cache"
export ZARVO_REAL_CAMERAS=0
case "$BUILD" in
    /*) export ZARVO_STAGE_DIR="$BUILD/stage" ;;
    *) export ZARVO_STAGE_DIR="$(pwd)/$BUILD/stage" ;;
esac

if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/tools/mainwindow_shots" "$OUT"
else
    echo "xvfb-run not found: using the offscreen platform" >&2
    QT_QPA_PLATFORM=offscreen "$BUILD/tools/mainwindow_shots" "$OUT"
fi
echo "Screenshots in $OUT"
