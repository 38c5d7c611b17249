#!/bin/sh
# Runs the gallery under the build's Wine session and photographs the
# screen of its display once the gallery says it is ready:
#   screenshot.sh BUILD_DIR GALLERY_EXE OUTPUT_PNG [GALLERY_ARGS...]
set -u
build=$1
gallery=$2
out=$3
shift 3
here=$(cd "$(dirname "$0")/../../.." && pwd)
# The display scripts/wine-run puts the gallery on.
display=${DISPLAY:-$(cat "$build/wine-display")} || { echo "no display: start the wine session first"; exit 1; }
mkdir -p "$(dirname "$out")"
ready="$out.ready"  # one per picture: galleries on two displays may run at once
rm -f "$ready" "$out"
winready=$(printf 'Z:%s' "$ready" | tr / '\134')
"$here/scripts/wine-run" "$build" "$gallery" "$winready" 6 "$@" &
pid=$!
i=0
while [ ! -e "$ready" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
[ -e "$ready" ] || { echo "the gallery never became ready"; kill "$pid" 2>/dev/null; exit 1; }
sleep 0.5  # let the X server finish drawing what Wine sent
import -display "$display" -window root "$out" || { echo "import failed"; exit 1; }
wait "$pid"
rc=$?
[ $rc -eq 0 ] || { echo "the gallery ended with $rc"; exit 1; }
rm -f "$ready"
[ -s "$out" ] || { echo "no screenshot"; exit 1; }
echo "screenshot: $out"
