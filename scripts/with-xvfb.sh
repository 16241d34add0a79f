#!/usr/bin/env bash
# Runs a command on a private virtual display (Xvfb), then stops it and any Wine server left for
# the prefix of MOJIFIX_WINEPREFIX. Usage: with-xvfb.sh COMMAND [ARG...]
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

"$@"
