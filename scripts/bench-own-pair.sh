#!/bin/sh
# Builds a firmware-like pair from real compiled code: this project's
# programs built at two fixed commits, both stripped of debugging data (the
# same build type, so the code differs only by what changed in between),
# laid out as a camera fills a new package's layout: every new module in
# its slot, the old module in the same slot (cut or zero-padded to the
# slot). Both sides are fixed, so every run and every later commit measures
# the same pair.
#
#   bench-own-pair.sh DIR      (DIR is BUILD/bench-data/own)
#
# Writes DIR/old.bin, DIR/new.bin and DIR/splits (the module ends, one per
# line). Each commit is built once, under DIR/old-build and DIR/new-build.
# Exits 1 when the history or the build is not available.
set -eu
OLD_COMMIT=ec37636
NEW_COMMIT=ffc1272
DIR=$1
BUILD=$(cd "$DIR/../.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
PROGRAMS="zarvocam zarvoctl"
mkdir -p "$DIR"
cd "$DIR"

# build SIDE COMMIT: the programs at COMMIT under DIR/SIDE-build, once.
build() {
    side=$1
    commit=$2
    [ -f "$side-build/.done" ] && [ "$(cat "$side-build/.done")" = "$commit" ] && return 0
    git -C "$SRC" rev-parse --verify -q "$commit^{commit}" >/dev/null || { echo "commit $commit not in the history" >&2; exit 1; }
    rm -rf "$side-src" "$side-build"
    mkdir -p "$side-src"
    git -C "$SRC" archive "$commit" | tar -x -C "$side-src"
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
    launcher=""
    command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    echo "building $PROGRAMS at $commit (once)" >&2
    cmake -S "$side-src" -B "$side-build" -DCMAKE_BUILD_TYPE="${type:-RelWithDebInfo}" $launcher >/dev/null
    cmake --build "$side-build" -j"$(nproc)" --target $PROGRAMS >/dev/null
    rm -rf "$side-src"
    echo "$commit" > "$side-build/.done"
}
build old "$OLD_COMMIT"
build new "$NEW_COMMIT"

: > old.bin.part
: > new.bin.part
: > splits.part
end=0
for p in $PROGRAMS; do
    old=$(find old-build -name "$p" -type f -perm -u+x | head -1)
    new=$(find new-build -name "$p" -type f -perm -u+x | head -1)
    [ -n "$old" ] && [ -n "$new" ] || { echo "$p missing" >&2; exit 1; }
    strip -o "old-$p" "$old"
    strip -o "new-$p" "$new"
    size=$(stat -c %s "new-$p")
    cat "new-$p" >> new.bin.part
    head -c "$size" "old-$p" >> old.bin.part
    osize=$(stat -c %s "old-$p")
    if [ "$osize" -lt "$size" ]; then
        head -c $((size - osize)) /dev/zero >> old.bin.part
    fi
    end=$((end + size))
    echo "$end" >> splits.part
    rm -f "old-$p" "new-$p"
done
mv old.bin.part old.bin
mv new.bin.part new.bin
mv splits.part splits
