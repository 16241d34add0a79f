#!/usr/bin/env bash
# Builds the optimised native benchmark and the Windows executables, then prints the rewrite
# figures per file size and the size of the 64-bit and 32-bit executables.
# Usage: scripts/benchmark.sh [SIZE_MB...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --workflow --preset bench >/dev/null
for preset in windows windows32; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target MOJIFIX
done

work=$(mktemp -d "${TMPDIR:-/tmp}/mojifix-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
build/bench/bench/mojifix_benchmark "$work" "$@"

for preset in windows windows32; do
  size=$(stat -c %s "build/$preset/src/app/MOJIFIX.exe")
  echo "MOJIFIX.exe ($preset): $size bytes ($((size / 1024)) KiB)"
done
