#!/usr/bin/env bash
# Builds and runs every test: the portable logic natively under the sanitizers, the fuzz targets
# for a bounded time, then the Windows build under Wine on a virtual display.
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

cmake --preset windows
cmake --build --preset windows
scripts/with-xvfb.sh ctest --preset windows
