#!/bin/sh
# Starts the application from the build tree as a user would: settings, logs and
# pictures go to the user's normal data folder.
set -eu
BUILD=${BUILD:-build}
BIN="$BUILD/stage/bin/zarvocam"
CLOUD="$BUILD/stage/bin/zarvo-cloudsim"
[ -x "$BIN" ] || { echo "run.sh: $BIN is missing; run 'make run'" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: running on the offscreen platform (nothing will be shown)."
    export QT_QPA_PLATFORM=offscreen
fi

# Without a camera of the family, two virtual cameras stand in (ZARVO_SIMULATE=0 refuses).
export ZARVO_SIMULATE="${ZARVO_SIMULATE:-auto}"

# The shipped settings point the cloud queries and reports at 127.0.0.1:18080:
# a local stand-in of the cloud service answers there for this run, and keeps
# what it received in $BUILD/cloudsim/records.jsonl.
cloud_pid=""
if [ -x "$CLOUD" ] && [ "${ZARVO_CLOUDSIM:-1}" != 0 ]; then
    mkdir -p "$BUILD/cloudsim/firmware"
    "$CLOUD" --port 18080 --bind 127.0.0.1 --firmware-dir "$BUILD/cloudsim/firmware" \
        --record "$BUILD/cloudsim/records.jsonl" >"$BUILD/cloudsim/cloudsim.log" 2>&1 &
    cloud_pid=$!
    echo "Cloud service stand-in on http://127.0.0.1:18080 (log: $BUILD/cloudsim/cloudsim.log)."
fi
stop_cloud() { [ -n "$cloud_pid" ] && kill "$cloud_pid" 2>/dev/null; cloud_pid=""; }
trap 'stop_cloud' EXIT
trap 'stop_cloud; exit 130' INT TERM

status=0
"$BIN" "$@" || status=$?
exit $status
