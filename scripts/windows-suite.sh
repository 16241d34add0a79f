#!/usr/bin/env bash
# Runs the tests of a configured and built Windows preset (windows, windows32 or windows9x) under
# Wine, on a virtual display of its own and in one Wine session for the build's prefix, and says
# which MOJIFIX.exe they tested, how, and how long they took.
# Usage: windows-suite.sh PRESET
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset=$1
start=$SECONDS
status=0
MOJIFIX_WINEPREFIX="$PWD/build/$preset/wineprefix" scripts/with-xvfb.sh \
  scripts/wine-session.sh ctest --preset "$preset" || status=$?
exe=build/$preset/src/app/MOJIFIX.exe
format=$(objdump -f "$exe" | sed -n 's/.*file format //p')
how=""
[ "$preset" != windows9x ] || how=", under the Windows 95 model"
if [ "$format" = pei-i386 ]; then
  # shellcheck source=wine-env.sh source-path=SCRIPTDIR
  . scripts/wine-env.sh
  if grep -qs qemu-i386 "$wine32"; then how+=", Wine's 32-bit loader under qemu-user"
  else how+=", Wine's 32-bit loader run natively"; fi
fi
echo "The $preset suite tested $exe ($format$how)."
echo "The $preset suite took $((SECONDS - start)) s under Wine, its session included."
exit $status
