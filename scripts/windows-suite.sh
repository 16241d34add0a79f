#!/usr/bin/env bash
# Runs the tests of a configured and built Windows preset (windows, windows32, windows9x or
# windows9x-x64-test) under Wine, on a virtual display of its own and in one Wine session for the
# build's prefix, and says which MOJIFIX.exe they tested and how long they took.
# Usage: windows-suite.sh PRESET
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset=$1
start=$SECONDS
status=0
MOJIFIX_WINEPREFIX="$PWD/build/$preset/wineprefix" scripts/with-xvfb.sh \
  scripts/wine-session.sh ctest --preset "$preset" || status=$?
exe=build/$preset/src/app/MOJIFIX.exe
echo "The $preset suite tested $exe ($(objdump -f "$exe" | sed -n 's/.*file format //p'))."
echo "The $preset suite took $((SECONDS - start)) s under Wine, its session included."
exit $status
