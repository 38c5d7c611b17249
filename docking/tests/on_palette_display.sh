#!/bin/sh
# Runs a Windows test program under the build's Wine prefix on a display of
# its own with 256 colours (8 bits per pixel), then stops that display:
#   on_palette_display.sh BUILD_DIR PROGRAM [ARGS...]
set -u
build=$1
shift
here=$(cd "$(dirname "$0")/../.." && pwd)
n=120
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x8 -nolisten tcp >/dev/null 2>&1 </dev/null &
xvfb=$!
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
DISPLAY=":$n" "$here/scripts/wine-run" "$build" "$@"
rc=$?
kill "$xvfb"
wait "$xvfb" 2>/dev/null
exit $rc
