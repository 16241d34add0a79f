#!/usr/bin/env bash
# Builds and runs every test: the portable logic natively under the sanitizers, the fuzz targets
# for a bounded time, two clean builds of the release that must match byte for byte, then the
# 64-bit and 32-bit Windows builds with their release packages and their tests under Wine on a
# virtual display, one Wine session for each suite.
#
# On a host that runs no 32-bit Linux program, the 32-bit build is still made, packaged and its
# imports and header checked, but its Wine suite is skipped, and the output says so at that step
# and in its last lines. MOJIFIX_REQUIRE_X86_SUITE=1 makes that a failure instead, for a release,
# which must be tested both ways.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. scripts/wine-env.sh

scripts/install-deps.sh

cmake --workflow --preset native

# The scan and both rewrites over arbitrary bytes, for a bounded time.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

scripts/reproduce.sh

windows_suite() {
  MOJIFIX_WINEPREFIX="$PWD/build/$1/wineprefix" scripts/with-xvfb.sh scripts/wine-session.sh "${@:2}"
}

# Each build makes its package before its tests run, so the last test summary ends the output.
windows_suite windows cmake --workflow --preset windows

skipped=""
if why=$(wine32_unavailable); then
  skipped="SKIPPED: the x86 (32-bit) Wine suite. $why, so the 32-bit MOJIFIX.exe was built,
packaged and its imports and header checked, but went untested under Wine on this host."
  echo "$skipped"
  if [ "${MOJIFIX_REQUIRE_X86_SUITE:-0}" = 1 ]; then
    echo "MOJIFIX_REQUIRE_X86_SUITE=1: failing, since the x86 suite cannot run here." >&2
    exit 1
  fi
  cmake --preset windows32 -DMOJIFIX_TESTS_CANNOT_RUN="$why"
  cmake --build --preset windows32
  cpack --preset windows32
  ctest --preset windows32
  echo
  echo "$skipped"
else
  cmake --preset windows32 -DMOJIFIX_TESTS_CANNOT_RUN=
  windows_suite windows32 cmake --workflow --preset windows32
fi
