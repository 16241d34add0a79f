#!/usr/bin/env bash
# Builds the 64-bit and 32-bit release packages into build/packages/ and lists what each holds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
for preset in windows windows32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  (cd "build/$preset" && cpack -C Release >/dev/null)
done
for zip in build/windows/packages/*.zip build/windows32/packages/*.zip; do
  mkdir -p build/packages
  cp "$zip" build/packages/
  echo "build/packages/$(basename "$zip"):"
  cmake -E tar tf "$zip" | sed 's/^/  /'
done
