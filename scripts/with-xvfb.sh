#!/usr/bin/env bash
# Runs a command on a private virtual display (Xvfb), with the Wine prefix of MOJIFIX_WINEPREFIX
# made ready first, then stops both. Usage: with-xvfb.sh COMMAND [ARG...]
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

# The prefix is made (or found) once, and its server is let go before the command starts. Each
# test then starts a Wine server of its own, which costs about two seconds, but nothing carries
# over from one test to the next: with one server kept for all of them, which window is active
# after a message box closes came to depend on the tests before.
"$scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null || true
"$wineserver" -w >/dev/null 2>&1 || true

"$@"
