#!/bin/sh
# Installs the Debian packages the build and the tests need; with the
# argument "bench" also what the benchmarks compare against (nginx).
# Idempotent: asks apt only for what is missing, and refreshes the package
# lists only when something has to be installed.
set -eu

PACKAGES="
build-essential
cmake
pkg-config
qtbase5-dev
qttools5-dev
qttools5-dev-tools
libqt5svg5-dev
fonts-noto-cjk
libhttp-parser-dev
libbz2-dev
liblzma-dev
libdivsufsort-dev
zlib1g-dev
libxcb1-dev
libxcb-keysyms1-dev
libqt5x11extras5-dev
xdotool
xvfb
xauth
bsdiff
xz-utils
curl
python3
"
if [ "${1:-}" = "bench" ]; then
    PACKAGES="$PACKAGES nginx"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "Need root (or sudo) to install:$missing" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
