#!/usr/bin/env bash
# Builds the optimised native benchmark and the Windows executable, then prints the rewrite
# figures per file size and the executable's size. Usage: scripts/benchmark.sh [SIZE_MB...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
cmake --preset windows >/dev/null
cmake --build --preset windows --target MOJIFIX

work=$(mktemp -d "${TMPDIR:-/tmp}/mojifix-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
build/bench/bench/mojifix_benchmark "$work" "$@"

exe=build/windows/src/app/MOJIFIX.exe
echo "MOJIFIX.exe: $(stat -c %s "$exe") bytes ($(( $(stat -c %s "$exe") / 1024 )) KiB)"
