#!/bin/sh
# Refreshes the six translation sources (resources/translations/*.ts) from
# the texts in tr() and in the .ui forms of src/, then lists what still
# needs a translator: entries marked unfinished and entries whose text left
# the sources (dropped: -no-obsolete). The build compiles the .ts files into
# <stage>/language/ZarvoCam_<lang>.qm (lrelease).
#
#   sh scripts/update-translations.sh          refresh, then report
#   sh scripts/update-translations.sh --check  report only; exit 1 when
#                                              anything is unfinished
set -eu
cd "$(dirname "$0")/.."
TS_DIR=resources/translations
LANGS="en_US zh_CN zh_HK jp_JP ge_GE es_ES"
LUPDATE=${LUPDATE:-lupdate}
[ -x /usr/lib/qt5/bin/lupdate ] && [ "$LUPDATE" = lupdate ] && LUPDATE=/usr/lib/qt5/bin/lupdate

if [ "${1:-}" != "--check" ]; then
    for lang in $LANGS; do
        ts="$TS_DIR/ZarvoCam_$lang.ts"
        echo "== $ts"
        "$LUPDATE" -silent -no-obsolete -locations relative -I src src -ts "$ts"
    done
fi

status=0
for lang in $LANGS; do
    ts="$TS_DIR/ZarvoCam_$lang.ts"
    total=$(grep -c '<message' "$ts" || true)
    unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
    vanished=$(grep -c 'type="vanished"\|type="obsolete"' "$ts" || true)
    echo "$ts: $total texts, $unfinished unfinished, $vanished vanished"
    if [ "$unfinished" -ne 0 ] || [ "$vanished" -ne 0 ]; then
        status=1
    fi
done
exit $status
