#!/bin/sh
# Builds a firmware-like pair from real compiled code: two releases of the
# same Debian binaries (libc6, libssl3, git, perl-base as published in
# bookworm and its update suites), laid out as a camera fills a new
# package's layout: every module of the new release in its slot, the old
# release's module in the same slot (cut or zero-padded to the slot).
#
#   bench-debian-pair.sh DIR
#
# Writes DIR/old.bin, DIR/new.bin and DIR/splits (the module ends, one per
# line). The .deb files are fetched once with apt-get download and kept in
# DIR/debs. Exits 1 when a package release cannot be had.
set -eu
DIR=$1
mkdir -p "$DIR/debs"
cd "$DIR/debs"

# package old-release new-release
PAIRS="
libc6 2.36-9+deb12u7 2.36-9+deb12u14
libssl3 3.0.17-1~deb12u2 3.0.22-1~deb12u2
git 1:2.39.5-0+deb12u2 1:2.39.5-0+deb12u3
perl-base 5.36.0-7+deb12u3 5.36.0-7+deb12u4
"
# module paths inside the packages, in slot order
MODULES="
usr/lib/x86_64-linux-gnu/libcrypto.so.3
usr/bin/perl
usr/bin/git
usr/lib/git-core/git-remote-http
usr/bin/scalar
usr/lib/git-core/git-daemon
usr/bin/git-shell
lib/x86_64-linux-gnu/libc.so.6
lib/x86_64-linux-gnu/libmvec.so.1
lib/x86_64-linux-gnu/libm.so.6
usr/lib/x86_64-linux-gnu/libssl.so.3
usr/lib/x86_64-linux-gnu/perl-base/auto/re/re.so
usr/lib/x86_64-linux-gnu/gconv/libCNS.so
lib/x86_64-linux-gnu/ld-linux-x86-64.so.2
"

echo "$PAIRS" | while read -r pkg old new; do
    [ -n "$pkg" ] || continue
    for v in "$old" "$new"; do
        tree="tree-$pkg-$(echo "$v" | tr -c 'A-Za-z0-9.\n' '_')"
        [ -d "$tree" ] && continue
        deb=$(ls "${pkg}_"*"$(echo "${v#*:}" | sed 's/~/%7e/')"*.deb 2>/dev/null | head -1 || true)
        if [ -z "$deb" ]; then
            apt-get download "$pkg=$v" >/dev/null 2>&1 || { echo "cannot fetch $pkg $v" >&2; exit 1; }
            deb=$(ls -t "${pkg}"_*.deb | head -1)
        fi
        mkdir -p "$tree.part" && dpkg-deb -x "$deb" "$tree.part" && mv "$tree.part" "$tree"
    done
done

# Which tree holds a module, for the old (1) or new (2) release.
tree_of() {
    echo "$PAIRS" | while read -r pkg old new; do
        [ -n "$pkg" ] || continue
        if [ "$2" = 1 ]; then v=$old; else v=$new; fi
        t="tree-$pkg-$(echo "$v" | tr -c 'A-Za-z0-9.\n' '_')"
        if [ -f "$t/$1" ]; then echo "$t"; break; fi
    done
}

: > ../old.bin.part
: > ../new.bin.part
: > ../splits.part
end=0
for m in $MODULES; do
    o=$(tree_of "$m" 1)
    n=$(tree_of "$m" 2)
    [ -n "$o" ] && [ -n "$n" ] || { echo "module $m missing" >&2; exit 1; }
    size=$(stat -c %s "$n/$m")
    cat "$n/$m" >> ../new.bin.part
    # The old module in the new module's slot: cut or padded with zeros.
    head -c "$size" "$o/$m" >> ../old.bin.part
    osize=$(stat -c %s "$o/$m")
    if [ "$osize" -lt "$size" ]; then
        head -c $((size - osize)) /dev/zero >> ../old.bin.part
    fi
    end=$((end + size))
    echo "$end" >> ../splits.part
done
mv ../old.bin.part ../old.bin
mv ../new.bin.part ../new.bin
mv ../splits.part ../splits
