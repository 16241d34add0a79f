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

# Xvfb takes a free display number itself and writes it once it accepts clients, so runs that
# start side by side never share a display (nor lose it when the other run ends).
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!

cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT

for _ in $(seq 200); do
  [ -s "$display_file" ] && break
  sleep 0.05
done
if [ ! -s "$display_file" ]; then
  echo "with-xvfb.sh: Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$(cat "$display_file")"
export DISPLAY

# A Wine server that outlives each test saves every Wine start about two seconds. Its output is
# detached so nothing waits on its pipes.
"$scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true
(exec "$wineserver" -p >/dev/null 2>&1 </dev/null &)

"$@"
