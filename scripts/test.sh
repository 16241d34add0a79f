#!/usr/bin/env bash
# Builds and runs every test: the portable logic natively under the sanitizers, the fuzz targets
# for a bounded time, two clean builds of the release that must match byte for byte, then the
# 64-bit and 32-bit Windows builds with their release packages and their tests under Wine on a
# virtual display. Each build's steps are its CMake workflow preset.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

cmake --workflow --preset native

# The scan and both rewrites over arbitrary bytes, for a bounded time.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

scripts/reproduce.sh

# Each workflow makes its package before its tests run, so the last test summary ends the output.
# The virtual display keeps one Wine server for the prefix the tests use.
for preset in windows windows32; do
  MOJIFIX_WINEPREFIX="$PWD/build/$preset/wineprefix" scripts/with-xvfb.sh \
    cmake --workflow --preset "$preset"
done
