#!/usr/bin/env bash
# Builds and runs every test: the portable logic natively under the sanitizers, then the Windows
# build under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows
scripts/with-xvfb.sh ctest --preset windows
