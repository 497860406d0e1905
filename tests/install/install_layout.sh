#!/bin/sh
# install_layout.sh BUILD_DIR CMAKE
set -u
build=$1
cmake=$2
[ -x "$build/stage/bin/zarvoctl" ] || { echo "SKIP: zarvoctl is not built"; exit 77; }
[ -x "$build/stage/bin/zarvocam" ] || { echo "SKIP: zarvocam is not built"; exit 77; }

prefix=$(mktemp -d) || exit 1
trap 'rm -rf "$prefix"' EXIT
# Stage variables would let the program find the build tree instead.
unset ZARVO_STAGE_DIR ZARVO_DEVICES_CONFIG

"$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; exit 1; }
rm -f "$prefix.log"

fail=0
check() { [ "$@" ] || { echo "FAIL: test $*"; fail=1; }; }
root=$prefix/lib/kavora-zarvocam
for f in bin/zarvocam bin/zarvoctl config/kavora_win_x64.ini config/logging_zarvocam.ini \
         config/zarvo_devices.ini language/ZarvoCam_en_US.qm language/ZarvoCam_zh_CN.qm; do
    check -f "$root/$f"
done
for p in zarvocam zarvoctl; do
    check -L "$prefix/bin/$p"
    check "$(readlink -f "$prefix/bin/$p")" = "$(readlink -f "$root/bin/$p")"
done
check -f "$prefix/share/applications/com.kavora.ZarvoCam.desktop"
check -f "$prefix/share/metainfo/com.kavora.ZarvoCam.metainfo.xml"
check -f "$prefix/share/icons/hicolor/48x48/apps/com.kavora.ZarvoCam.png"
check -f "$prefix/share/man/man1/zarvoctl.1.gz"
rules=$prefix/lib/udev/rules.d/70-kavora-zarvocam.rules
check -f "$rules"
# Every vendor id of the shipped configuration has its rule.
for vid in $(sed -n 's/^vendor_ids[ \t]*=//p' "$root/config/zarvo_devices.ini" | tr ',' ' '); do
    grep -qi "idVendor}==\"$vid\".*uaccess" "$rules" || { echo "FAIL: no udev rule for $vid"; fail=1; }
done

# Through the link, the tool must find the installed root's configuration:
# with the build tree hidden it has nothing else.
out=$("$prefix/bin/zarvoctl" --verbose --simulate 1 status 2>&1)
rc=$?
case $out in *"no virtual cameras"*) echo "SKIP: zarvoctl is built without virtual cameras"; exit 77 ;; esac
[ $rc -eq 0 ] || { echo "FAIL: zarvoctl --simulate 1 status exited $rc"; echo "$out"; fail=1; }
case $out in
    *"No camera vendor ids configured"*) echo "FAIL: the linked zarvoctl did not find its root"; echo "$out"; fail=1 ;;
esac
out=$("$prefix/bin/zarvocam" --version 2>&1) || { echo "FAIL: zarvocam --version: $out"; fail=1; }
[ $fail -eq 0 ] && echo "PASS: installed layout under $prefix"
exit $fail
