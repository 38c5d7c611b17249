#!/bin/sh
# scripts/run without a display, in a fresh prefix, on a tree already
# built: the client comes up against the stand-in server and is seen from
# another process.
#   run_check.sh X86_64_TREE
set -u
tree=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
dir="$tree/run-check"
rm -rf "$dir"
out=$(ORVO_RUN_NO_BUILD=1 ORVO_RUN_TREE="$tree" ORVO_RUN_DIR="$dir" env -u DISPLAY "$top/scripts/run" 2>&1)
rc=$?
printf '%s\n' "$out"
fail=0
expect() {
  printf '%s\n' "$out" | grep -qxF "$1" || { echo "missing: $1"; fail=1; }
}
expect "title: Untitled* - Orvo - [Hotkey: Ctrl+Alt+D]"
expect "pane 0: Ready"
expect "pane 2: Global Deblock : Off"
expect "pane 3: Modified *"
# The stand-in's state holds one amplifier of eight channels.
expect "tree item: Orvo System"
expect "tree item:   All Amplifiers"
expect "tree item:     Amplifier 1 ( SN: 0 )"
expect "tree item:       Channel 8"
[ -s "$dir/orvo_client.png" ] || { echo "no screenshot in $dir"; fail=1; }
[ $rc -eq 0 ] || { echo "scripts/run ended with $rc"; fail=1; }
[ $fail -eq 0 ] && rm -rf "$dir/wineprefix"
exit $fail
