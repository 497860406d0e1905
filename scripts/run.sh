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
CTL="$BUILD/stage/bin/zarvoctl"

# What the stand-in offers: one firmware newer than the virtual cameras'
# (4.2.3.1) for each of their models, and one newer version of this
# application as this platform's installer (a Debian package) with release
# notes. Made once; delete $BUILD/cloudsim/firmware to make them again.
offer_updates() {
    dir="$BUILD/cloudsim/firmware"
    mkdir -p "$dir"
    if [ -x "$CTL" ]; then
        for platform in SSC336Q SSC339G; do
            pkg="$dir/Kavora_zarvo_OA_E_${platform}_4.2.4.0_release.bin"
            [ -f "$pkg" ] || "$CTL" fw build "$pkg" --product Kavora_zarvo --branch OA_E --platform "$platform" \
                --version 4.2.4.0 --status release --size 4M >/dev/null || true
        done
    fi
    # The application's version and platform as the shipped settings name them.
    version=$(sed -n 's/^project(KAVORA_ZarvoCam VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
    platform=$(sed -n 's/^pc_platform=//p' "$BUILD/stage/config/kavora_win_x64.ini")
    [ -n "$version" ] && [ -n "$platform" ] || return 0
    newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 + 1 }')
    pkg="$dir/Kavora_zarvo_pc_OA_E_${platform}_${newer}_release.deb"
    [ -f "$pkg" ] && return 0
    rm -f "$dir"/Kavora_zarvo_pc_OA_E_*
    # The project's own package when `make deb` made one, else a small
    # stand-in package that installs only a note.
    built=$(ls "$BUILD"/kavora-zarvocam_*.deb 2>/dev/null | head -n 1)
    if [ -n "$built" ]; then
        cp "$built" "$pkg"
    elif command -v dpkg-deb >/dev/null 2>&1; then
        tmp=$(mktemp -d)
        mkdir -p "$tmp/DEBIAN" "$tmp/usr/share/doc/kavora-zarvocam-update-demo"
        printf 'Package: kavora-zarvocam-update-demo\nVersion: %s\nArchitecture: all\nMaintainer: KAVORA <support@kavora.com>\nDescription: Stand-in update of KAVORA ZarvoCam served by zarvo-cloudsim\n' \
            "$newer" >"$tmp/DEBIAN/control"
        echo "Served by the local cloud stand-in to show the update flow." \
            >"$tmp/usr/share/doc/kavora-zarvocam-update-demo/README"
        dpkg-deb --build "$tmp" "$pkg" >/dev/null 2>&1 || true
        rm -rf "$tmp"
    fi
    [ -f "$pkg" ] || return 0
    cat >"$pkg.json" <<EOF
{"release_notes_en": "Faster start-up and smoother gimbal control.",
 "release_notes_cn": "启动更快，云台控制更平滑。",
 "release_notes_tc": "啟動更快，雲台控制更平滑。",
 "release_notes_ja": "起動の高速化とジンバル操作の改善。",
 "release_notes_de": "Schnellerer Start und ruhigere Schwenksteuerung.",
 "release_notes_es": "Inicio más rápido y control del gimbal más suave."}
EOF
}

if [ -x "$CLOUD" ] && [ "${ZARVO_CLOUDSIM:-1}" != 0 ]; then
    offer_updates
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
