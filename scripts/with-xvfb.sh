#!/usr/bin/env bash
# Runs a command on a private virtual display (Xvfb) with one Wine server kept alive for its
# length, then stops both. The server is that of MOJIFIX_WINEPREFIX, the prefix the command's
# Wine programs are to use. Usage: with-xvfb.sh COMMAND [ARG...]
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. "$scripts/wine-env.sh"
WINEPREFIX=$(mojifix_prefix "")
export WINEPREFIX

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done

cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# A Wine server that outlives each test saves every Wine start about two seconds. Its output is
# detached so nothing waits on its pipes.
"$scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true
(exec "$wineserver" -p >/dev/null 2>&1 </dev/null &)

"$@"
