#!/bin/sh
# Starts the application from the build tree as a user would: settings, logs and
# pictures go to the user's normal data folder.
set -eu
BUILD=${BUILD:-build}
BIN="$BUILD/stage/bin/zarvocam"
[ -x "$BIN" ] || { echo "run.sh: $BIN is missing; run 'make run'" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: running on the offscreen platform (nothing will be shown)."
    export QT_QPA_PLATFORM=offscreen
fi

# Without a camera of the family, two virtual cameras stand in (ZARVO_SIMULATE=0 refuses).
export ZARVO_SIMULATE="${ZARVO_SIMULATE:-auto}"

exec "$BIN" "$@"
