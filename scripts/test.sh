#!/usr/bin/env bash
# Builds and runs every test: the portable logic natively under the sanitizers, the fuzz targets
# for a bounded time, then the 64-bit and 32-bit Windows builds under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The scan and both rewrites over arbitrary bytes, for a bounded time.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

for preset in windows windows32; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done

# The release packages build and hold the executable and the readme.
scripts/package.sh

for preset in windows windows32; do
  MOJIFIX_WINEPREFIX="$PWD/build/wineprefix-$preset" scripts/with-xvfb.sh ctest --preset "$preset"
done
