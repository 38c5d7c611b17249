#!/bin/sh
# Runs a Windows test program on a display of its own with 256 colours
# (8 bits per pixel), under a Wine prefix of its own, then stops both:
#   on_palette_display.sh BUILD_DIR PROGRAM [ARGS...]
# Wine binds a prefix's desktop to the display its first window process
# saw, so the 8-bit display must never share the test run's prefix: a
# desktop left on a display that goes away breaks every later window test.
set -u
build=$1
shift
export WINEPREFIX="$build/wineprefix-8bpp"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
n=120
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x8 -nolisten tcp >/dev/null 2>&1 </dev/null &
xvfb=$!
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
export DISPLAY=":$n"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null
  /usr/lib/wine/wineserver -w
fi
log=$(mktemp "${TMPDIR:-/tmp}/wine-8bpp.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
kill "$xvfb"
wait "$xvfb" 2>/dev/null
exit $rc
