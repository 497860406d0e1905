#!/bin/sh
# Runs every benchmark built under bench/. Benchmarks print figures and ratios;
# they never fail on timing.
set -eu
BUILD=${BUILD:-build}
for b in "$BUILD"/bench/*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" || echo "(benchmark $(basename "$b") exited with $?)"
done
