#!/bin/sh
# Builds a firmware-like pair from real compiled code: this project's
# programs built at an older commit and as they are in the build tree that
# holds DIR, both stripped of debugging data (the same build type, so the
# code differs only by what changed in between), laid out as a camera fills
# a new package's layout: every new module in its slot, the old module in
# the same slot (cut or zero-padded to the slot).
#
#   bench-own-pair.sh DIR      (DIR is BUILD/bench-data/own)
#
# Writes DIR/old.bin, DIR/new.bin and DIR/splits (the module ends, one per
# line). The older commit is built once under DIR/old-build. Exits 1 when
# the history or the build is not available.
set -eu
OLD_COMMIT=ec37636
DIR=$1
BUILD=$(cd "$DIR/../.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
PROGRAMS="zarvocam zarvoctl"
mkdir -p "$DIR"
cd "$DIR"

for p in $PROGRAMS; do
    [ -x "$BUILD/stage/bin/$p" ] || { echo "$p not built in $BUILD" >&2; exit 1; }
done

if [ ! -f old-build/.done ]; then
    git -C "$SRC" rev-parse --verify -q "$OLD_COMMIT^{commit}" >/dev/null || { echo "commit $OLD_COMMIT not in the history" >&2; exit 1; }
    rm -rf old-src old-build
    mkdir -p old-src
    git -C "$SRC" archive "$OLD_COMMIT" | tar -x -C old-src
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
    launcher=""
    command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    echo "building $PROGRAMS at $OLD_COMMIT (once)" >&2
    cmake -S old-src -B old-build -DCMAKE_BUILD_TYPE="${type:-RelWithDebInfo}" $launcher >/dev/null
    cmake --build old-build -j"$(nproc)" --target $PROGRAMS >/dev/null
    touch old-build/.done
fi

: > old.bin.part
: > new.bin.part
: > splits.part
end=0
for p in $PROGRAMS; do
    old=$(find old-build -name "$p" -type f -perm -u+x | head -1)
    [ -n "$old" ] || { echo "old $p missing" >&2; exit 1; }
    strip -o "old-$p" "$old"
    strip -o "new-$p" "$BUILD/stage/bin/$p"
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
